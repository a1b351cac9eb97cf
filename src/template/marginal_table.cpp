#include "template/marginal_table.h"

#include <cstddef>
#include <utility>

#include "template/cell_values.h"

namespace zirvo {
namespace {

TableLayout MarginalLayout() {
  TableLayout layout;
  layout.marker = "MAR";
  layout.cells = {
      {CommitRule::None, "", ""},                      // position
      {CommitRule::Verbatim, "", ""},                  // text
      {CommitRule::Fixed2, "0.00", "0.00"},            // horizontal
      {CommitRule::Fixed2, "0.00", "0.00"},            // vertical
      {CommitRule::Rotation, "000", "000"},            // rotation
      {CommitRule::DefaultIfEmpty, "Arial", "Arial"},  // font
      {CommitRule::DefaultIfEmpty, "12", "12"},        // size
      {CommitRule::Colour, "0", "0"},                  // colour
      {CommitRule::None, "", ""},                      // blank
  };
  layout.horizontalCell = MarginalTable::kHorizontal;
  layout.verticalCell = MarginalTable::kVertical;
  return layout;
}

}  // namespace

MarginalTable::MarginalTable() : TextTable(MarginalLayout()) {}

std::string MarginalTable::PrintedText(int row) const {
  return Trim(CellText(Cell(row, kText), MarginalText::kTextCapacity));
}

MarginalTextList MarginalTable::ExportRecords() const {
  MarginalTextList records;
  records.reserve(static_cast<std::size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) {
    MarginalText rec;
    rec.Position = CellInt32(Cell(r, kPosition), -1);
    rec.Text = CellText(Cell(r, kText), MarginalText::kTextCapacity);
    rec.Horizontal = CellReal(Cell(r, kHorizontal), 0.0);
    rec.Vertical = CellReal(Cell(r, kVertical), 0.0);
    rec.Rotation = CellReal(Cell(r, kRotation), 0.0);
    rec.Barcode = Barcode(r);
    rec.Font = CellTrimmedText(Cell(r, kFont), "Arial", MarginalText::kFontCapacity);
    rec.Size = CellInt32(Cell(r, kSize), 12);
    rec.Colour = CellInt32(Cell(r, kColour), 0);
    records.push_back(std::move(rec));
  }
  return records;
}

}  // namespace zirvo
