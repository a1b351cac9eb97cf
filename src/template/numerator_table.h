// The numerator table: up to 60 rows of 13 text cells, one per numerator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "template/records.h"
#include "template/text_table.h"

namespace zirvo {

class NumeratorTable : public TextTable {
 public:
  // Cell numbers of a numerator row. (Not named "Cell": that would hide
  // TextTable::Cell for every caller.)
  enum CellIndex {
    kPosition = 0,
    kPrefix = 1,
    kNumber = 2,
    kSuffix = 3,
    kHorizontal = 4,
    kVertical = 5,
    kRotation = 6,
    kMask = 7,
    kFont = 8,
    kSize = 9,
    kColour = 10,
    kDirection = 11,
    kBlank = 12,
    kCellCount = 13
  };

  NumeratorTable();

  // Prefix, number zero-padded to the mask, check digit, suffix, as a sheet
  // prints them; a mirror prints the number (and check digit) of the
  // numerator it repeats.
  std::string PrintedText(int row) const override;
  // The same for another number.
  std::string PrintedText(int row, int32_t number) const;

  // The numbering rule of each row; plain for a row without one.
  const NumberingRule& Rule(int row) const;
  const std::vector<NumberingRule>& Rules() const { return rules_; }
  // Gives a row a rule. Throws ZirvoError, changing nothing, for a rule out
  // of range, a mirror of no row, of itself or of a mirror, a row others
  // mirror becoming a mirror, a check digit on an EAN-13 barcode, or a text
  // the row's barcode cannot carry.
  void SetRule(int row, const NumberingRule& rule);
  // The same as a file holds it: only the rule's own values are checked.
  void AttachRule(int row, const NumberingRule& rule);
  // Rules whose mirror names no row or a mirror, and check digits an EAN-13
  // barcode would print, are taken back to plain;
  // returns the rows changed, for a reader to list.
  std::vector<int> DropUnusableRules();

  // Adds k to the number of every row. Every row is checked first: a number
  // that does not convert, a sum outside the signed 32-bit range, or a new
  // text the row's barcode cannot carry throws and no row changes.
  void ApplyIncrement(int32_t k);
  // Each number moves by sheets x increment, down for a row counting down
  // ("R"); nothing is stored unless every row converts and fits.
  void AdvanceNumbers(int32_t sheets, int32_t increment);

  // One record per row, in row order. Throws ConversionError for a cell that
  // does not convert; nothing is returned then.
  NumeratorList ExportRecords() const;

 protected:
  void RowAppended() override;
  void RowRemoved(int row) override;
  void RowsCleared() override;
  void RequireBarcodeAllowed(int row, const BarcodeSetting& setting) const override;

 private:
  // The row whose number and check digit `row` prints: itself, or the row
  // it mirrors.
  int SourceRow(int row) const;

  std::vector<NumberingRule> rules_;  // one per row
};

// The index of the numerator whose number numerator `i` of the list prints:
// i itself, or the one it mirrors when the list holds it.
std::size_t MirrorSource(const NumeratorList& numerators, std::size_t i);
// The numbers the list prints on sheet `sheet` (0-based) of a run with that
// increment (never negative), by each numerator's rule and a mirror's
// source; not checked against the 32-bit range. `numbers` is reused.
void SheetNumbers(const NumeratorList& numerators, int64_t increment, int64_t sheet,
                  std::vector<int64_t>& numbers);

// The number a numerator prints on the sheet after a run of `sheets` sheets
// with that increment: counting down when `reverse`. Not checked against
// the 32-bit range.
int64_t NumberAfterRun(int32_t number, bool reverse, int32_t sheets, int32_t increment);

// prefix + sign of a negative number + its digits zero-padded to `mask`
// characters + its check character, if any + suffix.
std::string FormatNumeratorText(std::string_view prefix, int32_t number, int32_t mask,
                                std::string_view suffix, CheckDigit check = CheckDigit::None);
// The same text written over `text`, whose memory is reused: a run formats
// each sheet's numbers into the same strings.
void FormatNumeratorTextInto(std::string& text, std::string_view prefix, int32_t number,
                             int32_t mask, std::string_view suffix,
                             CheckDigit check = CheckDigit::None);
// The text numerator `i` of the list prints for `number`: its own prefix,
// mask and suffix, and the check digit of its source (see MirrorSource).
void FormatListedNumeratorInto(std::string& text, const NumeratorList& numerators, std::size_t i,
                               int32_t number);

}  // namespace zirvo
