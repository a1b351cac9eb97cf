// NumeratorEditor: the numerator editor, the table editor configured with the
// thirteen columns of the numerator table and the general increment. Enter
// or a double-click on a row's position, or Ctrl+R anywhere on its row, opens
// the row's numbering dialog; the position of a row with a numbering rule
// carries a mark whose tip tells the rule.
#pragma once

#include "template/numerator_table.h"
#include "widgets/table_editor_qt.h"

namespace zirvo {

class NumeratorEditor : public TableEditor {
  Q_OBJECT
 public:
  explicit NumeratorEditor(QWidget* parent = nullptr);

 protected:
  void RunIncrement() override;
  void RunRowDialog(int row) override;
  QString PositionTip(int row) const override;
  bool CommandKey(const QKeyEvent& event) override;

 private:
  const NumeratorTable& Numerators() const;
};

}  // namespace zirvo
