#include "template/numerator_table.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

#include "base/helpers.h"
#include "base/text.h"
#include "template/cell_values.h"

namespace zirvo {
namespace {

// A mask only comes above 12 from a hand-edited file; the padding is bounded
// so that such a file cannot make a print run build enormous texts.
constexpr int32_t kMaxPadding = 255;

TableLayout NumeratorLayout() {
  TableLayout layout;
  layout.marker = "FOL";
  layout.cells = {
      {CommitRule::None, "", ""},                      // position
      {CommitRule::Verbatim, "", ""},                  // prefix
      {CommitRule::Integer, "0", "0"},                 // number
      {CommitRule::Verbatim, "", ""},                  // suffix
      {CommitRule::Fixed2, "0.00", "0.00"},            // horizontal
      {CommitRule::Fixed2, "0.00", "0.00"},            // vertical
      {CommitRule::Rotation, "0.00", "000"},           // rotation
      {CommitRule::Mask, "04", "04"},                  // mask
      {CommitRule::DefaultIfEmpty, "Arial", "Arial"},  // font
      {CommitRule::DefaultIfEmpty, "12", "12"},        // size
      {CommitRule::Colour, "0", "0"},                  // colour
      {CommitRule::Toggle, "A", "A"},                  // direction
      {CommitRule::None, "", ""},                      // blank
  };
  layout.horizontalCell = NumeratorTable::kHorizontal;
  layout.verticalCell = NumeratorTable::kVertical;
  return layout;
}

}  // namespace

NumeratorTable::NumeratorTable() : TextTable(NumeratorLayout()) {}

std::string NumeratorTable::PrintedText(int row) const {
  return PrintedText(row, CellInt32(Cell(row, kNumber), 0));
}

std::string NumeratorTable::PrintedText(int row, int32_t number) const {
  return FormatNumeratorText(CellText(Cell(row, kPrefix), Numerator::kAffixCapacity), number,
                             CellInt32(Cell(row, kMask), 4),
                             CellText(Cell(row, kSuffix), Numerator::kAffixCapacity));
}

void NumeratorTable::ApplyIncrement(int32_t k) {
  // Every new number is computed before any is stored, so a failure changes nothing.
  std::vector<int32_t> numbers;
  numbers.reserve(static_cast<std::size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) {
    const int32_t number = CellInt32(Cell(r, kNumber), 0);
    int32_t sum = 0;
    if (!CheckedAdd32(number, k, sum)) {
      throw IntegerConversionError(FormatInt(static_cast<int64_t>(number) + k));
    }
    if (Barcode(r)) CheckBarcodeOf(r, PrintedText(r, sum));
    numbers.push_back(sum);
  }
  for (int r = 0; r < RowCount(); ++r) SetCell(r, kNumber, FormatInt(numbers[r]));
}

void NumeratorTable::AdvanceNumbers(int32_t sheets, int32_t increment) {
  std::vector<int32_t> numbers;
  numbers.reserve(static_cast<std::size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) {
    const int32_t number = CellInt32(Cell(r, kNumber), 0);
    const int64_t next =
        NumberAfterRun(number, Trim(Cell(r, kDirection)) == "R", sheets, increment);
    if (next < std::numeric_limits<int32_t>::min() || next > std::numeric_limits<int32_t>::max())
      throw IntegerConversionError(FormatInt(next));
    if (Barcode(r)) CheckBarcodeOf(r, PrintedText(r, static_cast<int32_t>(next)));
    numbers.push_back(static_cast<int32_t>(next));
  }
  for (int r = 0; r < RowCount(); ++r) SetCell(r, kNumber, FormatInt(numbers[r]));
}

NumeratorList NumeratorTable::ExportRecords() const {
  NumeratorList records;
  records.reserve(static_cast<std::size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) {
    Numerator rec;
    rec.Position = CellInt32(Cell(r, kPosition), -1);
    rec.Number = CellInt32(Cell(r, kNumber), 0);
    rec.Prefix = CellText(Cell(r, kPrefix), Numerator::kAffixCapacity);
    rec.Suffix = CellText(Cell(r, kSuffix), Numerator::kAffixCapacity);
    rec.Horizontal = CellReal(Cell(r, kHorizontal), 0.0);
    rec.Vertical = CellReal(Cell(r, kVertical), 0.0);
    rec.Rotation = CellReal(Cell(r, kRotation), 0.0);
    rec.Mask = CellInt32(Cell(r, kMask), 4);
    rec.Reverse = Trim(Cell(r, kDirection)) == "R";
    rec.Barcode = Barcode(r);
    rec.Font = CellTrimmedText(Cell(r, kFont), "Arial", Numerator::kFontCapacity);
    rec.Size = CellInt32(Cell(r, kSize), 12);
    rec.Colour = CellInt32(Cell(r, kColour), 0);
    records.push_back(std::move(rec));
  }
  return records;
}

int64_t NumberAfterRun(int32_t number, bool reverse, int32_t sheets, int32_t increment) {
  // 32-bit counts: the product cannot overflow 64 bits.
  return int64_t{number} + (reverse ? -1 : 1) * int64_t{increment} * int64_t{sheets};
}

std::string FormatNumeratorText(std::string_view prefix, int32_t number, int32_t mask,
                                std::string_view suffix) {
  std::string text;
  FormatNumeratorTextInto(text, prefix, number, mask, suffix);
  return text;
}

void FormatNumeratorTextInto(std::string& text, std::string_view prefix, int32_t number,
                             int32_t mask, std::string_view suffix) {
  text.assign(prefix);
  // The sign goes before the padding: the mask counts the digits only.
  const int64_t wide = number;
  if (wide < 0) text += '-';
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, wide < 0 ? -wide : wide).ptr;
  const int64_t count = end - digits;
  const int64_t width = std::min(mask, kMaxPadding);
  if (count < width) text.append(static_cast<std::size_t>(width - count), '0');
  text.append(digits, static_cast<std::size_t>(count));
  text += suffix;
}

}  // namespace zirvo
