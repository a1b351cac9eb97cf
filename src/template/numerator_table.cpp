#include "template/numerator_table.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

#include "base/helpers.h"
#include "base/messages.h"
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
  return PrintedText(row, CellInt32(Cell(SourceRow(row), kNumber), 0));
}

std::string NumeratorTable::PrintedText(int row, int32_t number) const {
  return FormatNumeratorText(CellText(Cell(row, kPrefix), Numerator::kAffixCapacity), number,
                             CellInt32(Cell(row, kMask), 4),
                             CellText(Cell(row, kSuffix), Numerator::kAffixCapacity),
                             Rule(SourceRow(row)).checkDigit);
}

const NumberingRule& NumeratorTable::Rule(int row) const {
  return rules_.at(static_cast<std::size_t>(row));
}

int NumeratorTable::SourceRow(int row) const {
  const int32_t mirror = Rule(row).mirror;
  return mirror >= 1 && mirror <= RowCount() ? mirror - 1 : row;
}

void NumeratorTable::SetRule(int row, const NumberingRule& rule) {
  const std::string position = FormatInt(row + 1);
  if (row < 0 || row >= RowCount() || !ValidNumberingRule(rule, row + 1))
    throw ZirvoError(OwnText(OwnMessage::NumberingRuleInvalid));
  if (rule.mirror > 0) {
    if (rule.mirror > RowCount())
      throw ZirvoError(OwnText(OwnMessage::MirrorMissing, FormatInt(rule.mirror)));
    if (Rule(rule.mirror - 1).mirror > 0)
      throw ZirvoError(OwnText(OwnMessage::MirrorOfMirror, FormatInt(rule.mirror)));
    for (const NumberingRule& other : rules_)
      if (other.mirror == row + 1)
        throw ZirvoError(OwnText(OwnMessage::MirroredCannotMirror, position));
  }
  NumeratorTable changed = *this;
  changed.rules_[static_cast<std::size_t>(row)] = rule;
  // The row and every row printing its number must still fit their barcodes.
  for (int r = 0; r < RowCount(); ++r) {
    if (r != row && changed.SourceRow(r) != row) continue;
    if (const auto& barcode = Barcode(r)) {
      changed.RequireBarcodeAllowed(r, *barcode);
      RequireBarcodeText(*barcode, changed.PrintedText(r));
    }
  }
  rules_[static_cast<std::size_t>(row)] = rule;
}

void NumeratorTable::AttachRule(int row, const NumberingRule& rule) {
  rules_.at(static_cast<std::size_t>(row)) = rule;
}

std::vector<int> NumeratorTable::DropUnusableRules() {
  std::vector<int> dropped;
  for (int r = 0; r < RowCount(); ++r) {
    const int32_t mirror = Rule(r).mirror;
    if (mirror == 0) continue;
    // A mirror of a mirror: the chain is cut at its end (a loop is cut whole).
    if (mirror > RowCount() || Rule(mirror - 1).mirror != 0) dropped.push_back(r);
  }
  for (int r : dropped) rules_[static_cast<std::size_t>(r)] = NumberingRule{};
  for (int r = 0; r < RowCount(); ++r) {
    const auto& barcode = Barcode(r);
    const int source = SourceRow(r);
    if (!barcode || barcode->kind != BarcodeKind::Ean13 ||
        Rule(source).checkDigit == CheckDigit::None)
      continue;
    rules_[static_cast<std::size_t>(source)] = NumberingRule{};
    dropped.push_back(source);
  }
  std::sort(dropped.begin(), dropped.end());
  dropped.erase(std::unique(dropped.begin(), dropped.end()), dropped.end());
  return dropped;
}

void NumeratorTable::RowAppended() { rules_.emplace_back(); }

void NumeratorTable::RowRemoved(int row) {
  rules_.erase(rules_.begin() + row);
  // Mirrors follow their source's new position; a mirror of the removed row
  // prints its own number again.
  for (NumberingRule& rule : rules_) {
    if (rule.mirror == row + 1)
      rule.mirror = 0;
    else if (rule.mirror > row + 1)
      --rule.mirror;
  }
}

void NumeratorTable::RowsCleared() { rules_.clear(); }

void NumeratorTable::RequireBarcodeAllowed(int row, const BarcodeSetting& setting) const {
  if (setting.kind == BarcodeKind::Ean13 && Rule(SourceRow(row)).checkDigit != CheckDigit::None)
    throw ZirvoError(OwnText(OwnMessage::CheckDigitWithEan13, FormatInt(row + 1)));
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
    numbers.push_back(sum);
  }
  for (int r = 0; r < RowCount(); ++r)
    if (Barcode(r)) CheckBarcodeOf(r, PrintedText(r, numbers[SourceRow(r)]));
  for (int r = 0; r < RowCount(); ++r) SetCell(r, kNumber, FormatInt(numbers[r]));
}

void NumeratorTable::AdvanceNumbers(int32_t sheets, int32_t increment) {
  std::vector<int32_t> numbers;
  numbers.reserve(static_cast<std::size_t>(RowCount()));
  for (int r = 0; r < RowCount(); ++r) {
    const int32_t number = CellInt32(Cell(r, kNumber), 0);
    const NumberingRule& rule = Rule(r);
    // A mirror's own number is not printed: it stays as it is.
    const int64_t next = rule.mirror > 0 ? number
                                         : RuleNumberAfter(number, Trim(Cell(r, kDirection)) == "R",
                                                           rule, increment, sheets);
    if (next < std::numeric_limits<int32_t>::min() || next > std::numeric_limits<int32_t>::max())
      throw IntegerConversionError(FormatInt(next));
    numbers.push_back(static_cast<int32_t>(next));
  }
  for (int r = 0; r < RowCount(); ++r)
    if (Barcode(r)) CheckBarcodeOf(r, PrintedText(r, numbers[SourceRow(r)]));
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
    rec.Rule = Rule(r);
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

std::size_t MirrorSource(const NumeratorList& numerators, std::size_t i) {
  const int32_t mirror = numerators[i].Rule.mirror;
  if (mirror <= 0) return i;
  for (std::size_t k = 0; k < numerators.size(); ++k)
    if (numerators[k].Position == mirror) return k;
  return i;
}

void SheetNumbers(const NumeratorList& numerators, int64_t increment, int64_t sheet,
                  std::vector<int64_t>& numbers) {
  numbers.resize(numerators.size());
  for (std::size_t i = 0; i < numerators.size(); ++i) {
    const Numerator& n = numerators[i];
    numbers[i] = RuleNumber(n.Number, n.Reverse, n.Rule, increment, sheet);
  }
  for (std::size_t i = 0; i < numerators.size(); ++i)
    numbers[i] = numbers[MirrorSource(numerators, i)];
}

std::string FormatNumeratorText(std::string_view prefix, int32_t number, int32_t mask,
                                std::string_view suffix, CheckDigit check) {
  std::string text;
  FormatNumeratorTextInto(text, prefix, number, mask, suffix, check);
  return text;
}

void FormatListedNumeratorInto(std::string& text, const NumeratorList& numerators, std::size_t i,
                               int32_t number) {
  const Numerator& n = numerators[i];
  FormatNumeratorTextInto(text, n.Prefix, number, n.Mask, n.Suffix,
                          numerators[MirrorSource(numerators, i)].Rule.checkDigit);
}

void FormatNumeratorTextInto(std::string& text, std::string_view prefix, int32_t number,
                             int32_t mask, std::string_view suffix, CheckDigit check) {
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
  if (const char c = CheckCharacter(check, wide); c != '\0') text += c;
  text += suffix;
}

}  // namespace zirvo
