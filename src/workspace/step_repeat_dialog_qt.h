// The step-and-repeat dialog: the rows that make one ticket (every row
// ticked at first), the grid's columns and rows, its pitch in cm, the
// quantity of tickets and their order. Apply hands the plan to the
// template; a plan the template refuses shows why and the dialog stays.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <cstdint>
#include <optional>

#include "template/step_repeat.h"
#include "template/template.h"
#include "widgets/general_dialogs_qt.h"

namespace zirvo {

class StepRepeatDialog : public GeneralDialog {
  Q_OBJECT
 public:
  StepRepeatDialog();

  // Shows the dialog on the document's rows, the grid as it was last time.
  // The sheets the run needs once the document took the plan; nothing when
  // the user cancelled.
  std::optional<int32_t> Run(Template& document);

 protected:
  void accept() override;

 private:
  void ApplyLanguage();
  void ListRows(const Template& document);
  // The fields as a plan; throws ConversionError for a field that is not a number.
  RepeatPlan Plan() const;

  Template* document_ = nullptr;
  int32_t sheets_ = 0;
  QLabel* rowsLabel_;
  QListWidget* rowList_;  // the numerators, then the marginal texts
  int numeratorRows_ = 0;
  QLabel* columnsLabel_;
  QLineEdit* columnsField_;
  QLabel* gridRowsLabel_;
  QLineEdit* gridRowsField_;
  QLabel* pitchXLabel_;
  QLineEdit* pitchXField_;
  QLabel* pitchYLabel_;
  QLineEdit* pitchYField_;
  QLabel* quantityLabel_;
  QLineEdit* quantityField_;
  QLabel* orderLabel_;
  QComboBox* orderBox_;  // in the order of RepeatOrder
};

}  // namespace zirvo
