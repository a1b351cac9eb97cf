// The template codec on arbitrary bytes: it either refuses the file or
// decodes a template that encodes, decodes and encodes again unchanged.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/text.h"
#include "fuzz_check.h"
#include "template/template_codec.h"

using namespace zirvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::optional<Template> doc;
  try {
    doc = DecodeTemplate(bytes, "/fuzz/Input.pla");
  } catch (const ZirvoError&) {
    return 0;
  }
  if (!doc) return 0;
  FUZZ_CHECK(doc->Numerators().RowCount() <= TextTable::kMaxRows);
  FUZZ_CHECK(doc->Marginals().RowCount() <= TextTable::kMaxRows);
  try {
    doc->ToPrintJob();
  } catch (const ConversionError&) {
  }

  const std::string saved = EncodeTemplate(*doc, "/fuzz/Out.pla");
  const std::optional<Template> again = DecodeTemplate(saved, "/fuzz/Out.pla", doc->Header());
  FUZZ_CHECK(again.has_value());
  FUZZ_CHECK(again->Numerators().Rows() == doc->Numerators().Rows());
  FUZZ_CHECK(again->Marginals().Rows() == doc->Marginals().Rows());
  FUZZ_CHECK(again->Series() == doc->Series());
  FUZZ_CHECK(EncodeTemplate(*again, "/fuzz/Out.pla") == saved);
  return 0;
}
