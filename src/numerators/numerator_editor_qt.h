// TFHFolio: the numerator editor, the table editor configured with the
// thirteen columns of the numerator table and the general increment.
#pragma once

#include "template/numerator_table.h"
#include "widgets/table_editor_qt.h"

namespace zirvo {

class TFHFolio : public TableEditor {
  Q_OBJECT
 public:
  explicit TFHFolio(QWidget* parent = nullptr);

  const NumeratorTable& Folios() const;
  // The numerators as the preview and the print run take them; returns their
  // count. A cell that does not convert throws ConversionError and `records`
  // is left untouched. An open in-place editor does not take part.
  int ExportRecords(NumeratorList& records) const;

 protected:
  void RunIncrement() override;
};

}  // namespace zirvo
