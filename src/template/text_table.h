// A table of text cells, the machinery shared by the numerator table and the
// marginal-text table. Cells hold their values as text, in the form written
// to the template file; a table is configured by the rules of its cells.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "template/barcode_setting.h"
#include "template/template_file.h"

namespace zirvo {

// How an edited value becomes a cell when it is committed.
enum class CommitRule {
  None,            // no editor (position and blank cells): a commit is ignored
  Verbatim,        // the text exactly as typed; "|" is refused
  Integer,         // trimmed; empty gives the empty value; a signed 32-bit integer in decimal
  Fixed2,          // trimmed; empty gives the empty value; a real with exactly 2 decimals
  Rotation,        // trimmed; empty gives the empty value; a real written as a whole number
  Mask,            // trimmed; empty gives the empty value; an integer padded to 2, at most 12
  DefaultIfEmpty,  // trimmed; empty gives the empty value; otherwise as typed (trimmed)
  Colour,          // a signed 32-bit integer in decimal (from the colour dialog)
  Toggle,          // "A" becomes "R", anything else "A"; the text given is ignored
};

struct CellRule {
  CommitRule rule = CommitRule::None;
  std::string newRowValue;  // default of a new row (cell 0 is the row position)
  std::string emptyValue;   // what an empty commit stores
};

struct TableLayout {
  std::string marker;           // "FOL" or "MAR"
  std::vector<CellRule> cells;  // cell 0 is the position
  int horizontalCell = -1;      // cells moved by ApplyDisplacement
  int verticalCell = -1;
};

class TextTable {
 public:
  static constexpr int kMaxRows = 60;

  explicit TextTable(TableLayout layout);
  virtual ~TextTable() = default;

  int RowCount() const { return static_cast<int>(rows_.size()); }
  int CellCount() const { return static_cast<int>(layout_.cells.size()); }
  bool Empty() const { return rows_.empty(); }
  const TableLayout& Layout() const { return layout_; }
  // Rows are indexed from 0 here; cell 0 shows the 1-based position.
  const std::string& Cell(int row, int cell) const;
  const std::vector<std::string>& Row(int row) const;
  const std::vector<std::vector<std::string>>& Rows() const { return rows_; }
  // The barcode of each row (none for most); not part of the row's line.
  const std::optional<BarcodeSetting>& Barcode(int row) const;
  const std::vector<std::optional<BarcodeSetting>>& Barcodes() const { return barcodes_; }

  // The text the row prints (a numerator with its stored number). Throws
  // ConversionError for a cell that does not convert.
  virtual std::string PrintedText(int row) const;

  // Appends a row with the defaults; false (and nothing done) at 60 rows.
  bool AddRow();
  // Appends a copy of a row's cells and barcode at the end, with its own
  // position; false (and nothing done) at 60 rows. The derived table's own
  // data of the row (a numerator's rule) starts as for a new row.
  bool AppendCopyOf(int row);
  // Removes a row and renumbers the rest. Returns the row that is current
  // afterwards (the one now at that index, or the last), -1 when empty.
  int DeleteRow(int row);
  void Clear();

  // Normalises an edited value by its cell's rule and stores it. Throws
  // ConversionError (or ZirvoError for a "|", a line end or a character a
  // template file cannot store, or for a text the row's barcode cannot
  // carry) and leaves the cell unchanged.
  void CommitCell(int row, int cell, std::string_view text);

  // Gives a row a barcode, or takes it away (nullopt). The setting is stored
  // rounded as the file keeps it. Throws ZirvoError, changing nothing, for a
  // setting a template cannot store or a text the symbology cannot carry.
  void SetBarcode(int row, const std::optional<BarcodeSetting>& setting);
  // The same without looking at the text: a barcode as a file holds it.
  void AttachBarcode(int row, const BarcodeSetting& setting);

  // Adds dx and dy cm to every row's positions. Every row is checked first:
  // a stored text that does not convert throws and no row changes.
  void ApplyDisplacement(double dx, double dy);

  // Replaces the table by the lines carrying this table's marker (at most 60).
  void LoadFromLines(const TemplateLines& lines);
  // Appends one marked line per row; returns the number of rows.
  int SaveToLines(TemplateLines& lines) const;
  // The marked line of one row.
  std::string LineOf(int row) const;

 protected:
  std::vector<std::string>& MutableRow(int row);
  // Stores a value without any rule; for operations of the derived tables.
  void SetCell(int row, int cell, std::string value);
  // Throws ZirvoError when the row's barcode cannot carry `text`.
  void CheckBarcodeOf(int row, std::string_view text) const;

  // Rows come and go through these, for a table that keeps more per row.
  virtual void RowAppended() {}
  virtual void RowRemoved(int /*row*/) {}
  virtual void RowsCleared() {}
  // Throws ZirvoError when the row may not carry that barcode for a reason
  // of the derived table's own (its text is checked apart).
  virtual void RequireBarcodeAllowed(int /*row*/, const BarcodeSetting& /*setting*/) const {}

 private:
  std::string Normalised(int cell, std::string_view text, const std::string& current) const;
  void Renumber();

  TableLayout layout_;
  std::vector<std::vector<std::string>> rows_;
  std::vector<std::optional<BarcodeSetting>> barcodes_;  // one per row
};

}  // namespace zirvo
