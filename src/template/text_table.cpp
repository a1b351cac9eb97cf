#include "template/text_table.h"

#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <utility>

#include "base/csv.h"
#include "base/helpers.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "template/cell_values.h"

namespace zirvo {
namespace {

constexpr char kDelimiter = '|';
// Grid columns before cell 1 of a marked line: row index, the empty field
// before the first "|", the marker and the stored position.
constexpr int kFirstCellColumn = 4;
// The largest mask a commit stores.
constexpr int32_t kMaxMask = 12;

std::string PositionText(int row) { return ZeroPad(FormatInt(row + 1), 2); }

// A text stored as typed must not hold the line delimiter or a line end: the
// template line has no escape for them, and the row would read back with its
// fields shifted or cut in two. Nor may it hold a character the file's
// Windows-1252 cannot: the file would keep a "?" instead.
void RefuseUnstorable(std::string_view text) {
  if (text.find(kDelimiter) != std::string_view::npos) {
    throw ZirvoError(OwnText(OwnMessage::PipeInText, text));
  }
  if (text.find_first_of("\r\n") != std::string_view::npos || !FitsCp1252(text)) {
    throw ZirvoError(OwnText(OwnMessage::NotCp1252, text));
  }
}

// A real written as a whole number, halves to the even neighbour.
std::string WholeNumber(const std::string& trimmed) {
  const double value = std::nearbyint(ParseDouble(trimmed));
  if (!(std::fabs(value) <= 2147483647.0)) throw FloatConversionError(trimmed);
  return FormatInt(static_cast<int64_t>(value));
}

std::string MaskText(const std::string& trimmed) {
  const int32_t mask = ParseInt32(trimmed);
  if (mask > kMaxMask) return FormatInt(kMaxMask);
  return ZeroPad(FormatInt(mask), 2);
}

}  // namespace

TextTable::TextTable(TableLayout layout) : layout_(std::move(layout)) {}

const std::string& TextTable::Cell(int row, int cell) const {
  return Row(row).at(static_cast<std::size_t>(cell));
}

const std::vector<std::string>& TextTable::Row(int row) const {
  return rows_.at(static_cast<std::size_t>(row));
}

std::vector<std::string>& TextTable::MutableRow(int row) {
  return rows_.at(static_cast<std::size_t>(row));
}

void TextTable::SetCell(int row, int cell, std::string value) {
  MutableRow(row).at(static_cast<std::size_t>(cell)) = std::move(value);
}

const std::optional<BarcodeSetting>& TextTable::Barcode(int row) const {
  return barcodes_.at(static_cast<std::size_t>(row));
}

std::string TextTable::PrintedText(int row) const { return Trim(Cell(row, 1)); }

void TextTable::CheckBarcodeOf(int row, std::string_view text) const {
  if (const auto& barcode = Barcode(row)) RequireBarcodeText(*barcode, text);
}

void TextTable::SetBarcode(int row, const std::optional<BarcodeSetting>& setting) {
  auto& stored = barcodes_.at(static_cast<std::size_t>(row));
  if (!setting) {
    stored.reset();
    return;
  }
  const BarcodeSetting rounded = StoredBarcodeSetting(*setting);
  if (!ValidBarcodeSetting(*setting) || !ValidBarcodeSetting(rounded))
    throw ZirvoError(OwnText(OwnMessage::BarcodeSizeInvalid));
  RequireBarcodeAllowed(row, rounded);
  RequireBarcodeText(rounded, PrintedText(row));
  stored = rounded;
}

void TextTable::AttachBarcode(int row, const BarcodeSetting& setting) {
  barcodes_.at(static_cast<std::size_t>(row)) = setting;
}

bool TextTable::AddRow() {
  if (RowCount() >= kMaxRows) return false;
  std::vector<std::string> row;
  row.reserve(layout_.cells.size());
  for (const CellRule& rule : layout_.cells) row.push_back(rule.newRowValue);
  if (!row.empty()) row[0] = PositionText(RowCount());
  rows_.push_back(std::move(row));
  barcodes_.emplace_back();
  RowAppended();
  return true;
}

bool TextTable::AppendCopyOf(int row) {
  if (RowCount() >= kMaxRows) return false;
  std::vector<std::string> copy = Row(row);
  std::optional<BarcodeSetting> barcode = Barcode(row);
  if (!copy.empty()) copy[0] = PositionText(RowCount());
  rows_.push_back(std::move(copy));
  barcodes_.push_back(std::move(barcode));
  RowAppended();
  return true;
}

int TextTable::DeleteRow(int row) {
  if (row >= 0 && row < RowCount()) {
    rows_.erase(rows_.begin() + row);
    barcodes_.erase(barcodes_.begin() + row);
    RowRemoved(row);
    Renumber();
  }
  if (rows_.empty()) return -1;
  if (row < 0) return 0;
  return row < RowCount() ? row : RowCount() - 1;
}

void TextTable::Clear() {
  rows_.clear();
  barcodes_.clear();
  RowsCleared();
}

void TextTable::Renumber() {
  for (int r = 0; r < RowCount(); ++r) {
    if (!rows_[r].empty()) rows_[r][0] = PositionText(r);
  }
}

std::string TextTable::Normalised(int cell, std::string_view text,
                                  const std::string& current) const {
  const CellRule& rule = layout_.cells.at(static_cast<std::size_t>(cell));
  if (rule.rule == CommitRule::Verbatim) {
    RefuseUnstorable(text);
    return std::string(text);
  }
  if (rule.rule == CommitRule::Toggle) return current == "A" ? "R" : "A";
  // No cell may hold the delimiter; it is named as such whatever the rule.
  if (text.find(kDelimiter) != std::string_view::npos) {
    throw ZirvoError(OwnText(OwnMessage::PipeInText, text));
  }

  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return rule.emptyValue;
  switch (rule.rule) {
    case CommitRule::Integer:
    case CommitRule::Colour:
      return FormatInt(ParseInt32(trimmed));
    case CommitRule::Fixed2:
      return FormatFixed(ParseDouble(trimmed), 2);
    case CommitRule::Rotation:
      return WholeNumber(trimmed);
    case CommitRule::Mask:
      return MaskText(trimmed);
    case CommitRule::DefaultIfEmpty:
      RefuseUnstorable(trimmed);
      return trimmed;
    case CommitRule::None:
    case CommitRule::Verbatim:
    case CommitRule::Toggle:
      break;
  }
  return current;
}

void TextTable::CommitCell(int row, int cell, std::string_view text) {
  std::string& stored = MutableRow(row).at(static_cast<std::size_t>(cell));
  if (layout_.cells[static_cast<std::size_t>(cell)].rule == CommitRule::None) return;
  std::string value = Normalised(cell, text, stored);
  if (Barcode(row)) {
    // A value that changes the text the row prints must leave a text the
    // row's barcode carries. Other cells (position, font, colour, direction)
    // commit whatever the text is.
    const auto textNow = [this, row]() -> std::optional<std::string> {
      try {
        return PrintedText(row);
      } catch (const ZirvoError&) {
        return std::nullopt;  // a cell that does not convert: the export says so
      }
    };
    const std::optional<std::string> before = textNow();
    std::swap(stored, value);
    const std::optional<std::string> after = textNow();
    if (after && after != before) {
      try {
        CheckBarcodeOf(row, *after);
      } catch (...) {
        std::swap(stored, value);
        throw;
      }
    }
    return;
  }
  stored = std::move(value);
}

void TextTable::ApplyDisplacement(double dx, double dy) {
  if (layout_.horizontalCell < 0 || layout_.verticalCell < 0) return;
  // Every new text is computed before any is stored, so a failure changes nothing.
  std::vector<std::pair<std::string, std::string>> moved;
  moved.reserve(rows_.size());
  for (int r = 0; r < RowCount(); ++r) {
    auto shifted = [&](int cell, double delta) {
      const std::string& text = Cell(r, cell);
      const double value = CellReal(text, 0.0) + delta;
      if (!std::isfinite(value)) throw FloatConversionError(Trim(text));
      return FormatFixed(value, 2);
    };
    moved.emplace_back(shifted(layout_.horizontalCell, dx), shifted(layout_.verticalCell, dy));
  }
  for (int r = 0; r < RowCount(); ++r) {
    SetCell(r, layout_.horizontalCell, std::move(moved[r].first));
    SetCell(r, layout_.verticalCell, std::move(moved[r].second));
  }
}

void TextTable::LoadFromLines(const TemplateLines& lines) {
  Clear();
  const std::string prefix = "|" + layout_.marker + "|";
  std::vector<std::string> marked;
  for (const std::string& line : lines) {
    if (static_cast<int>(marked.size()) == kMaxRows) break;
    if (line.compare(0, prefix.size(), prefix) == 0) marked.push_back(line);
  }
  if (marked.empty()) return;

  CsvGrid grid;
  int32_t rows = 0;
  int32_t cols = 0;
  LinesToGrid(marked, grid, rows, cols, kDelimiter, kFirstCellColumn + CellCount() - 1);
  for (int r = 0; r < rows && r < kMaxRows; ++r) {
    std::vector<std::string> row(layout_.cells.size());
    row[0] = PositionText(r);
    for (int c = 1; c < CellCount(); ++c) {
      const int column = kFirstCellColumn + c - 1;
      if (column < cols) row[static_cast<std::size_t>(c)] = grid[column][r];
    }
    rows_.push_back(std::move(row));
    barcodes_.emplace_back();
    RowAppended();
  }
}

std::string TextTable::LineOf(int row) const {
  std::string line = "|" + layout_.marker;
  for (const std::string& cell : Row(row)) {
    line += kDelimiter;
    line += cell;
  }
  line += kDelimiter;
  return line;
}

int TextTable::SaveToLines(TemplateLines& lines) const {
  for (int r = 0; r < RowCount(); ++r) lines.push_back(LineOf(r));
  return RowCount();
}

}  // namespace zirvo
