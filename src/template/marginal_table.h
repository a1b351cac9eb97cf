// The marginal-text table: up to 60 rows of 9 text cells, one per text.
#pragma once

#include <string>

#include "template/records.h"
#include "template/text_table.h"

namespace zirvo {

class MarginalTable : public TextTable {
 public:
  enum CellIndex {
    kPosition = 0,
    kText = 1,
    kHorizontal = 2,
    kVertical = 3,
    kRotation = 4,
    kFont = 5,
    kSize = 6,
    kColour = 7,
    kBlank = 8,
    kCellCount = 9
  };

  MarginalTable();

  // The text trimmed, as a sheet prints it.
  std::string PrintedText(int row) const override;

  // One record per row, in row order. Throws ConversionError for a cell that
  // does not convert; nothing is returned then.
  MarginalTextList ExportRecords() const;
};

}  // namespace zirvo
