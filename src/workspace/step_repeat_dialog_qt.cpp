#include "workspace/step_repeat_dialog_qt.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/helpers.h"
#include "base/messages.h"
#include "base/qtext_qt.h"
#include "base/text.h"

namespace zirvo {
namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 392;
constexpr int kFieldLeft = 200;
constexpr int kFieldWidth = 140;

QString Own(OwnMessage message, std::string_view arg = {}, std::string_view arg2 = {}) {
  return ToQString(OwnText(message, arg, arg2));
}

std::string FieldText(const QLineEdit* field) { return Trim(FromQString(field->text())); }

// The ticked rows of one table: list entries from `first` on, `count` of them.
std::vector<int> TickedRows(const QListWidget* list, int first, int count) {
  std::vector<int> rows;
  for (int r = 0; r < count; ++r)
    if (list->item(first + r)->checkState() == Qt::Checked) rows.push_back(r);
  return rows;
}

}  // namespace

StepRepeatDialog::StepRepeatDialog() : GeneralDialog("FRepite", kWidth, kHeight) {
  rowsLabel_ = AddLabel("Et_Filas", QRect(20, 36, 320, 18), /*bold=*/true);
  rowList_ = new QListWidget(this);
  rowList_->setObjectName("Ls_Filas");
  rowList_->setGeometry(20, 56, 320, 130);
  WatchKeys(rowList_);
  int top = 196;
  const auto addField = [&](const char* labelName, const char* editName, QLabel*& label,
                            QLineEdit*& field, KeyFilterKind kind, const char* text) {
    label = AddLabel(labelName, QRect(20, top + 1, 176, 20));
    field = AddEdit(editName, QRect(kFieldLeft, top, kFieldWidth, 21), 12, kind);
    field->setText(QString::fromLatin1(text));
    top += 26;
  };
  addField("Et_Columnas", "EdColumnas", columnsLabel_, columnsField_, KeyFilterKind::Integer, "1");
  addField("Et_FilasRej", "EdFilasRej", gridRowsLabel_, gridRowsField_, KeyFilterKind::Integer,
           "1");
  addField("Et_PasoHoriz", "EdPasoHoriz", pitchXLabel_, pitchXField_, KeyFilterKind::Real, "0.00");
  addField("Et_PasoVert", "EdPasoVert", pitchYLabel_, pitchYField_, KeyFilterKind::Real, "0.00");
  addField("Et_Cantidad", "EdCantidad", quantityLabel_, quantityField_, KeyFilterKind::Integer,
           "1");
  orderLabel_ = AddLabel("Et_Orden", QRect(20, top + 1, 176, 20));
  orderBox_ = new QComboBox(this);
  orderBox_->setObjectName("EdOrden");
  orderBox_->setGeometry(kFieldLeft, top, kFieldWidth, 22);
  // The list and the choices read in the labels' font.
  rowList_->setFont(orderLabel_->font());
  orderBox_->setFont(orderLabel_->font());
  WatchKeys(orderBox_);
  // Tab runs from the list through the fields to the commands.
  setTabOrder(rowList_, columnsField_);
  setTabOrder(quantityField_, orderBox_);
  setTabOrder(orderBox_, applyCommand_);
}

void StepRepeatDialog::ApplyLanguage() {
  SetCommonCaptions();
  title_->setText(ToQString("  " + OwnText(OwnMessage::StepRepeatCommand)));
  rowsLabel_->setText(Own(OwnMessage::StepRepeatRowsLabel));
  columnsLabel_->setText(Own(OwnMessage::StepRepeatColumns));
  gridRowsLabel_->setText(Own(OwnMessage::StepRepeatRows));
  pitchXLabel_->setText(Own(OwnMessage::StepRepeatPitchX));
  pitchYLabel_->setText(Own(OwnMessage::StepRepeatPitchY));
  quantityLabel_->setText(Own(OwnMessage::StepRepeatQuantity));
  orderLabel_->setText(Own(OwnMessage::StepRepeatOrder));
  const int order = std::max(0, orderBox_->currentIndex());
  orderBox_->clear();
  orderBox_->addItem(Own(OwnMessage::StepRepeatCutAndStack));
  orderBox_->addItem(Own(OwnMessage::StepRepeatAcrossSheet));
  orderBox_->setCurrentIndex(order);
}

void StepRepeatDialog::ListRows(const Template& document) {
  rowList_->clear();
  const auto add = [this](const QString& text) {
    auto* item = new QListWidgetItem(text, rowList_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Checked);
  };
  const NumeratorTable& numerators = document.Numerators();
  numeratorRows_ = numerators.RowCount();
  for (int r = 0; r < numerators.RowCount(); ++r) {
    std::string printed;
    try {
      printed = numerators.PrintedText(r);
    } catch (const ZirvoError&) {
      printed = Trim(numerators.Cell(r, NumeratorTable::kNumber));  // shown as stored
    }
    add(Own(OwnMessage::StepRepeatNumeratorRow, numerators.Cell(r, 0), printed));
  }
  const MarginalTable& marginals = document.Marginals();
  for (int r = 0; r < marginals.RowCount(); ++r)
    add(Own(OwnMessage::StepRepeatMarginalRow, marginals.Cell(r, 0), marginals.PrintedText(r)));
  if (rowList_->count() > 0) rowList_->setCurrentRow(0);
}

std::optional<int32_t> StepRepeatDialog::Run(Template& document) {
  ApplyLanguage();
  ListRows(document);
  document_ = &document;
  rowList_->setFocus();
  const bool confirmed = exec() == QDialog::Accepted;
  hide();
  document_ = nullptr;
  if (!confirmed) return std::nullopt;
  return sheets_;
}

RepeatPlan StepRepeatDialog::Plan() const {
  RepeatPlan plan;
  plan.numeratorRows = TickedRows(rowList_, 0, numeratorRows_);
  plan.marginalRows = TickedRows(rowList_, numeratorRows_, rowList_->count() - numeratorRows_);
  plan.columns = ParseInt32(FieldText(columnsField_));
  plan.rows = ParseInt32(FieldText(gridRowsField_));
  plan.pitchX = ParseDouble(FieldText(pitchXField_));
  plan.pitchY = ParseDouble(FieldText(pitchYField_));
  plan.quantity = ParseInt32(FieldText(quantityField_));
  plan.order = static_cast<RepeatOrder>(std::max(0, orderBox_->currentIndex()));
  return plan;
}

void StepRepeatDialog::accept() {
  if (document_ == nullptr) return;
  try {
    sheets_ = document_->StepAndRepeat(Plan());
  } catch (const ZirvoError& e) {
    ShowFailure(this, e.what());
    return;
  }
  QDialog::accept();
}

}  // namespace zirvo
