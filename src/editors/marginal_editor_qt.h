// MarginalEditor: the marginal-text editor, the table editor configured with the
// nine columns of the marginal-text table.
#pragma once

#include "template/marginal_table.h"
#include "widgets/table_editor_qt.h"

namespace zirvo {

class MarginalEditor : public TableEditor {
  Q_OBJECT
 public:
  explicit MarginalEditor(QWidget* parent = nullptr);

  // The document's marginal-text table.
  const MarginalTable& Marginals() const;
};

}  // namespace zirvo
