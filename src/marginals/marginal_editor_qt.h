// TFHMarginal: the marginal-text editor, the table editor configured with the
// nine columns of the marginal-text table.
#pragma once

#include "template/marginal_table.h"
#include "widgets/table_editor_qt.h"

namespace zirvo {

class TFHMarginal : public TableEditor {
  Q_OBJECT
 public:
  explicit TFHMarginal(QWidget* parent = nullptr);

  const MarginalTable& Marginals() const;
  // The marginal texts as the preview and the print run take them; returns
  // their count. A cell that does not convert throws ConversionError and
  // `records` is left untouched. An open in-place editor does not take part.
  int ExportRecords(MarginalTextList& records) const;
};

}  // namespace zirvo
