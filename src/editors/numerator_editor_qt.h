// NumeratorEditor: the numerator editor, the table editor configured with the
// thirteen columns of the numerator table and the general increment.
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
};

}  // namespace zirvo
