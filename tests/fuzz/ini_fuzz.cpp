// The language setting's INI handling on arbitrary files: reading never
// fails, and a written value always reads back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/ini_file.h"
#include "fuzz_check.h"

using namespace zirvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string value;
  ReadIniValue(bytes, "Language", "Predet", value);
  const std::string written = WithIniValue(bytes, "Language", "Predet", "2");
  FUZZ_CHECK(ReadIniValue(written, "Language", "Predet", value));
  FUZZ_CHECK(value == "2");
  // Writing the same value again changes nothing more.
  FUZZ_CHECK(WithIniValue(written, "Language", "Predet", "2") == written);
  return 0;
}
