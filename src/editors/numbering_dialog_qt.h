// NumberingDialog: the numbering rule of one numerator row: the step
// multiplier, the sheets per number, the cycle, the check digit and the
// numerator whose number it repeats, with a line showing what the row prints
// on the first sheets of a run under the rule being typed.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "template/numbering_rule.h"
#include "widgets/general_dialogs_qt.h"

namespace zirvo {

class NumberingDialog : public GeneralDialog {
  Q_OBJECT
 public:
  // Takes the rule; returns the message refusing it, or "" when it was taken.
  using Apply = std::function<std::string(const NumberingRule&)>;
  // The example line for a rule the fields make.
  using Example = std::function<std::string(const NumberingRule&)>;

  NumberingDialog();

  // Shows the dialog on `current`; the list of numerators to repeat offers
  // `positions`. On confirmation the rule goes to `apply`; a refused rule
  // shows its message and the dialog stays open. True when a rule was taken.
  bool Run(const NumberingRule& current, const std::vector<int32_t>& positions, Example example,
           Apply apply);

 protected:
  void accept() override;

 private:
  // The fields as a rule. A numerator that repeats another takes nothing
  // else of its own rule: the other fields are left out. Throws
  // ConversionError for a field that is not an integer.
  NumberingRule Choice() const;
  // The fields follow the choice of a numerator to repeat; the example and
  // the note on MOD 11 follow every field.
  void FieldsChanged();

  Apply apply_;
  Example example_;
  QLabel* stepLabel_;
  QLineEdit* stepField_;
  QLabel* sheetsLabel_;
  QLineEdit* sheetsField_;
  QLabel* cycleLabel_;
  QLineEdit* cycleField_;
  QLabel* cycleNote_;
  QLabel* checkLabel_;
  QComboBox* checkBox_;  // the methods in the order of CheckDigit
  QLabel* mirrorLabel_;
  QComboBox* mirrorBox_;  // none, then the positions offered; each entry's data its position
  QLabel* exampleLabel_;
  QLabel* mod11Note_;
};

}  // namespace zirvo
