#include "editors/numbering_dialog_qt.h"

#include <QSignalBlocker>

#include "base/helpers.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "template/rule_display.h"

namespace zirvo {

namespace {

constexpr int kWidth = 392;
constexpr int kFieldLeft = 190;
constexpr int kLabelWidth = kFieldLeft - 26;

// An empty field is the plain rule's value.
int32_t FieldValue(const QLineEdit& field, int32_t empty) {
  const std::string text = Trim(FromQString(field.text()));
  return text.empty() ? empty : ParseInt32(text);
}

}  // namespace

NumberingDialog::NumberingDialog() : GeneralDialog("FNumeracion", kWidth, 290) {
  const auto row = [](int index) { return 40 + 26 * index; };
  stepLabel_ = AddLabel("Et_Multiplica", QRect(20, row(0), kLabelWidth, 20));
  stepField_ =
      AddEdit("EdMultiplica", QRect(kFieldLeft, row(0) - 1, 80, 21), 7, KeyFilterKind::Integer);
  sheetsLabel_ = AddLabel("Et_HojasNum", QRect(20, row(1), kLabelWidth, 20));
  sheetsField_ =
      AddEdit("EdHojasNum", QRect(kFieldLeft, row(1) - 1, 80, 21), 7, KeyFilterKind::Integer);
  cycleLabel_ = AddLabel("Et_Ciclo", QRect(20, row(2), kLabelWidth, 20));
  cycleField_ =
      AddEdit("EdCiclo", QRect(kFieldLeft, row(2) - 1, 80, 21), 7, KeyFilterKind::Integer);
  cycleNote_ = AddLabel("Et_SinCiclo", QRect(kFieldLeft + 88, row(2), 100, 20));
  checkLabel_ = AddLabel("Et_Digito", QRect(20, row(3), kLabelWidth, 20));
  checkBox_ = AddList("EdDigito", QRect(kFieldLeft, row(3) - 1, 180, 22));
  mirrorLabel_ = AddLabel("Et_Repite", QRect(20, row(4), kLabelWidth, 20));
  mirrorBox_ = AddList("EdRepite", QRect(kFieldLeft, row(4) - 1, 180, 22));
  exampleLabel_ = AddLabel("Et_Ejemplo", QRect(20, row(5) + 6, kWidth - 40, 34), /*bold=*/true);
  exampleLabel_->setWordWrap(true);
  mod11Note_ = AddLabel("Et_NotaX", QRect(20, row(5) + 42, kWidth - 40, 34));
  mod11Note_->setWordWrap(true);
  for (QLineEdit* field : {stepField_, sheetsField_, cycleField_})
    connect(field, &QLineEdit::textChanged, this, [this] { FieldsChanged(); });
  for (QComboBox* list : {checkBox_, mirrorBox_})
    connect(list, &QComboBox::currentIndexChanged, this, [this] { FieldsChanged(); });
}

bool NumberingDialog::Run(const NumberingRule& current, const std::vector<int32_t>& positions,
                          Example example, Apply apply) {
  SetCommonCaptions();
  title_->setText(ToQString(LookupText(code::kNumberingTitle)));
  stepLabel_->setText(ToQString(LookupText(code::kStepMultiplierLabel)));
  sheetsLabel_->setText(ToQString(LookupText(code::kSheetsPerNumberLabel)));
  cycleLabel_->setText(ToQString(LookupText(code::kCycleLabel)));
  cycleNote_->setText(ToQString(LookupText(code::kNoCycleNote)));
  checkLabel_->setText(ToQString(LookupText(code::kCheckDigitLabel)));
  mirrorLabel_->setText(ToQString(LookupText(code::kMirrorLabel)));
  mod11Note_->setText(ToQString(LookupText(code::kMod11Note)));

  example_ = nullptr;  // until the fields hold the current rule
  {
    const QSignalBlocker quietChecks(checkBox_);
    const QSignalBlocker quietMirrors(mirrorBox_);
    checkBox_->clear();
    for (int32_t method = 0; method < kCheckDigitCount; ++method)
      checkBox_->addItem(ToQString(CheckDigitName(static_cast<CheckDigit>(method))));
    checkBox_->setCurrentIndex(static_cast<int>(current.checkDigit));
    mirrorBox_->clear();
    mirrorBox_->addItem(ToQString(LookupText(code::kNoMirror)), 0);
    for (int32_t position : positions)
      mirrorBox_->addItem(ToQString(ZeroPad(FormatInt(position), 2)), position);
    mirrorBox_->setCurrentIndex(std::max(0, mirrorBox_->findData(current.mirror)));
  }
  stepField_->setText(ToQString(FormatInt(current.stepMultiplier)));
  sheetsField_->setText(ToQString(FormatInt(current.sheetsPerNumber)));
  cycleField_->setText(ToQString(FormatInt(current.cycle)));
  example_ = std::move(example);
  FieldsChanged();
  apply_ = std::move(apply);
  stepField_->selectAll();
  stepField_->setFocus();
  const bool confirmed = exec() == QDialog::Accepted;
  hide();
  apply_ = nullptr;
  example_ = nullptr;
  return confirmed;
}

NumberingRule NumberingDialog::Choice() const {
  NumberingRule rule;
  rule.mirror = mirrorBox_->currentData().toInt();
  if (rule.mirror > 0) return rule;
  rule.stepMultiplier = FieldValue(*stepField_, NumberingRule{}.stepMultiplier);
  rule.sheetsPerNumber = FieldValue(*sheetsField_, NumberingRule{}.sheetsPerNumber);
  rule.cycle = FieldValue(*cycleField_, NumberingRule{}.cycle);
  rule.checkDigit = static_cast<CheckDigit>(std::max(0, checkBox_->currentIndex()));
  return rule;
}

void NumberingDialog::FieldsChanged() {
  const bool own = mirrorBox_->currentIndex() <= 0;
  for (QWidget* field : std::initializer_list<QWidget*>{stepLabel_, stepField_, sheetsLabel_,
                                                        sheetsField_, cycleLabel_, cycleField_,
                                                        cycleNote_, checkLabel_, checkBox_})
    field->setEnabled(own);
  mod11Note_->setVisible(own && checkBox_->currentIndex() == static_cast<int>(CheckDigit::Mod11));
  if (!example_) return;
  std::string line;
  try {
    line = example_(Choice());
  } catch (const ConversionError&) {
    line = OwnText(OwnMessage::RuleExampleUnknown);
  }
  exampleLabel_->setText(ToQString(line));
}

void NumberingDialog::accept() {
  if (TakeChoice([this] { return apply_ ? apply_(Choice()) : std::string(); })) QDialog::accept();
}

}  // namespace zirvo
