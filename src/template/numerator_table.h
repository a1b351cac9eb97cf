// The numerator table: up to 60 rows of 13 text cells, one per numerator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

  // Prefix, number zero-padded to the mask, suffix, as a sheet prints them.
  std::string PrintedText(int row) const override;
  // The same for another number.
  std::string PrintedText(int row, int32_t number) const;

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
};

// The number a numerator prints on the sheet after a run of `sheets` sheets
// with that increment: counting down when `reverse`. Not checked against
// the 32-bit range.
int64_t NumberAfterRun(int32_t number, bool reverse, int32_t sheets, int32_t increment);

// prefix + sign of a negative number + its digits zero-padded to `mask`
// characters + suffix.
std::string FormatNumeratorText(std::string_view prefix, int32_t number, int32_t mask,
                                std::string_view suffix);
// The same text written over `text`, whose memory is reused: a run formats
// each sheet's numbers into the same strings.
void FormatNumeratorTextInto(std::string& text, std::string_view prefix, int32_t number,
                             int32_t mask, std::string_view suffix);

}  // namespace zirvo
