// Every cell of both tables committed with arbitrary text: a commit either
// refuses the text or stores a value that survives a save and a load.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "fuzz_check.h"
#include "template/marginal_table.h"
#include "template/numerator_table.h"

using namespace zirvo;

namespace {

void CommitEveryCell(TextTable& table, TextTable& reloaded, std::string_view text) {
  table.AddRow();
  table.AddRow();
  for (int cell = 0; cell < table.CellCount(); ++cell) {
    const std::string before = table.Cell(1, cell);
    try {
      table.CommitCell(1, cell, text);
    } catch (const ZirvoError&) {
      FUZZ_CHECK(table.Cell(1, cell) == before);
    }
    FUZZ_CHECK(table.Cell(1, cell).find('|') == std::string::npos);
  }
  FUZZ_CHECK(table.RowCount() == 2);
  FUZZ_CHECK(table.Cell(1, 0) == "02");
  TemplateLines lines;
  table.SaveToLines(lines);
  reloaded.LoadFromLines(lines);
  FUZZ_CHECK(reloaded.RowCount() == 2);
  FUZZ_CHECK(reloaded.Row(1) == table.Row(1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  NumeratorTable numerators, numeratorsReloaded;
  CommitEveryCell(numerators, numeratorsReloaded, text);
  try {
    numerators.ExportRecords();
    numerators.ApplyIncrement(2147483647);
  } catch (const ConversionError&) {
  }
  MarginalTable marginals, marginalsReloaded;
  CommitEveryCell(marginals, marginalsReloaded, text);
  try {
    marginals.ExportRecords();
    marginals.ApplyDisplacement(1e308, -1e308);
  } catch (const ConversionError&) {
  }
  return 0;
}
