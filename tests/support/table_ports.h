// Editor ports backed by a bare table: they keep a template's numerators and
// marginal texts for the workspace where no editor frame is on screen (tools
// and tests of the workspace's logic).
#pragma once

#include "template/marginal_table.h"
#include "template/numerator_table.h"
#include "template/workspace.h"

namespace zirvo {

template <class Port, class Table>
class TablePort : public Port {
 public:
  void ClearEditor() override { table_.Clear(); }
  void SetSheet(const SheetHeader& header) override { sheet_ = header; }
  void ShowSheetSize() override { shownSheet_ = sheet_; }
  void LoadFromLines(const TemplateLines& lines) override { table_.LoadFromLines(lines); }
  int SaveToLines(TemplateLines& lines) const override { return table_.SaveToLines(lines); }

  Table& table() { return table_; }
  const Table& table() const { return table_; }
  // The sheet last given, and the one whose size was last shown.
  const SheetHeader& Sheet() const { return sheet_; }
  const SheetHeader& ShownSheet() const { return shownSheet_; }

 protected:
  Table table_;
  SheetHeader sheet_;
  SheetHeader shownSheet_;
};

class TableNumeratorPort : public TablePort<NumeratorEditorPort, NumeratorTable> {
 public:
  void AddRow() override { table_.AddRow(); }
  NumeratorList ExportRecords() const override { return table_.ExportRecords(); }
};

class TableMarginalPort : public TablePort<MarginalEditorPort, MarginalTable> {
 public:
  MarginalTextList ExportRecords() const override { return table_.ExportRecords(); }
};

}  // namespace zirvo
