// The template loader on arbitrary bytes: it either refuses the file or loads
// tables that save and load again unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "fuzz_check.h"
#include "template/marginal_table.h"
#include "template/numerator_table.h"
#include "template/template_file.h"

using namespace zirvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SheetHeader header;
  NumeratorTable numerators;
  MarginalTable marginals;
  try {
    if (LoadTemplateLines(SplitTemplateBytes(bytes), "/fuzz/Input.pla", header, numerators,
                          marginals) != LoadResult::Loaded) {
      FUZZ_CHECK(numerators.Empty() && marginals.Empty());
      return 0;
    }
  } catch (const ZirvoError&) {
    return 0;
  }
  FUZZ_CHECK(numerators.RowCount() <= TextTable::kMaxRows);
  FUZZ_CHECK(marginals.RowCount() <= TextTable::kMaxRows);
  try {
    numerators.ExportRecords();
    marginals.ExportRecords();
  } catch (const ConversionError&) {
  }

  SheetHeader again = header;
  NumeratorTable numeratorsAgain;
  MarginalTable marginalsAgain;
  const TemplateLines saved = BuildTemplateLines(again, numerators, marginals, "/fuzz/Out.pla");
  FUZZ_CHECK(LoadTemplateLines(saved, "/fuzz/Out.pla", again, numeratorsAgain, marginalsAgain) ==
             LoadResult::Loaded);
  FUZZ_CHECK(numeratorsAgain.RowCount() == numerators.RowCount());
  FUZZ_CHECK(marginalsAgain.RowCount() == marginals.RowCount());
  for (int r = 0; r < numerators.RowCount(); ++r) FUZZ_CHECK(numeratorsAgain.Row(r) == numerators.Row(r));
  for (int r = 0; r < marginals.RowCount(); ++r) FUZZ_CHECK(marginalsAgain.Row(r) == marginals.Row(r));
  return 0;
}
