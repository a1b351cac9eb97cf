#include "widgets/general_dialogs_qt.h"

#include <QCoreApplication>
#include <QFrame>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <algorithm>

#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"

namespace zirvo {

namespace {

constexpr int kTitleHeight = 28;
const char* const kDialogStyle =
    "QDialog { background: white; border: 1px solid #003399; }"
    "QLabel { color: #003399; }"
    "#Pn_Titulo { background: #003399; color: white; font-weight: bold; padding-left: 6px; }"
    "QLineEdit { background: #E2E4C2; border: none; border-bottom: 1px solid #003399;"
    "  color: black; padding: 0 3px; }"
    "QLineEdit:disabled { background: #F2F2F2; border-bottom-color: #B0B0B0; color: #8A8A8A; }"
    "QLabel:disabled { color: #8A8A8A; }"
    "#Bt_Aplica, #Bt_Cancela { background: #EFEFEF; border: 1px solid #003399; }"
    "#Bt_Aplica:hover, #Bt_Cancela:hover { background: #D6DFEB; }"
    "#Bt_Aplica:focus, #Bt_Cancela:focus { background: #D6DFEB; border: 2px solid #003399; }";

QFont DialogFont(bool bold = false) {
  QFont font;
  font.setFamilies({"MS Sans Serif", "Liberation Sans"});
  font.setPointSize(8);
  font.setBold(bold);
  return font;
}

}  // namespace

GeneralDialog::GeneralDialog(const char* name, int width, int height) {
  setObjectName(name);
  setFixedSize(width, height);
  setAttribute(Qt::WA_StyledBackground);
  setStyleSheet(kDialogStyle);
  setFont(DialogFont());

  title_ = new TitleBand(this);
  title_->setObjectName("Pn_Titulo");
  title_->setGeometry(0, 0, width, kTitleHeight);
  title_->setFont(DialogFont(true));

  const int buttonTop = height - 30;
  applyCommand_ = new ClickLabel(this);
  applyCommand_->setObjectName("Bt_Aplica");
  applyCommand_->setGeometry(width - 2 * 84 - 14, buttonTop, 80, 20);
  cancelCommand_ = new ClickLabel(this);
  cancelCommand_->setObjectName("Bt_Cancela");
  cancelCommand_->setGeometry(width - 84 - 10, buttonTop, 80, 20);
  applyCommand_->setFont(DialogFont());
  cancelCommand_->setFont(DialogFont());
  // Made before the fields, the commands follow the last field in the tab
  // chain, which runs round: Tab from the last field reaches Aplicar, then
  // Cancelar, then the first field again.
  applyCommand_->TakeKeyboardFocus();
  cancelCommand_->TakeKeyboardFocus();
  connect(applyCommand_, &ClickLabel::clicked, this, &QDialog::accept);
  connect(cancelCommand_, &ClickLabel::clicked, this, &QDialog::reject);
}

QLabel* GeneralDialog::AddLabel(const char* name, const QRect& geometry, bool bold) {
  auto* label = new QLabel(this);
  label->setObjectName(name);
  label->setGeometry(geometry);
  label->setFont(DialogFont(bold));
  return label;
}

QLineEdit* GeneralDialog::AddEdit(const char* name, const QRect& geometry, int maxLength,
                                  KeyFilterKind kind) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setGeometry(geometry);
  edit->setMaxLength(maxLength);
  edit->setFrame(false);
  edit->setAlignment(Qt::AlignRight);
  edit->setFont(DialogFont());
  InstallKeyFilter(edit, edit, kind);
  WatchKeys(edit);
  return edit;
}

QComboBox* GeneralDialog::AddList(const char* name, const QRect& geometry) {
  auto* list = new QComboBox(this);
  list->setObjectName(name);
  list->setGeometry(geometry);
  list->setFont(DialogFont());
  WatchKeys(list);
  return list;
}

bool GeneralDialog::TakeChoice(const std::function<std::string()>& apply) {
  std::string refusal;
  try {
    refusal = apply();
  } catch (const ZirvoError& e) {
    refusal = e.what();
  }
  if (refusal.empty()) return true;
  ShowFailure(this, refusal);
  return false;
}

void GeneralDialog::SetCommonCaptions() {
  applyCommand_->setText(ToQString(LookupText(code::kApplyButton)));
  cancelCommand_->setText(ToQString(LookupText(code::kCancelButton)));
}

IncrementDialog::IncrementDialog() : GeneralDialog("FIncrem", 278, 130) {
  incrementLabel_ = AddLabel("Et_Increm", QRect(20, 50, 120, 20));
  incrementField_ = AddEdit("EdIncrem", QRect(146, 49, 112, 21), 12, KeyFilterKind::Integer);
  incrementField_->setText("0");
}

bool IncrementDialog::Run(std::string& text) {
  SetCommonCaptions();
  title_->setText(ToQString(LookupText(code::kIncreaseNumeratorsTitle)));
  incrementLabel_->setText(ToQString(LookupText(code::kIncreaseLabel)));
  incrementField_->selectAll();
  incrementField_->setFocus();
  const bool confirmed = exec() == QDialog::Accepted;
  hide();
  if (confirmed) text = Trim(FromQString(incrementField_->text()));
  return confirmed;
}

DisplacementDialog::DisplacementDialog() : GeneralDialog("FMuevePlan", 312, 138) {
  heading_ = AddLabel("Et_Desplaz", QRect(14, 34, 284, 18), /*bold=*/true);
  horizontalLabel_ = AddLabel("Et_Horiz", QRect(24, 56, 170, 20));
  horizontalField_ = AddEdit("EdHoriz", QRect(200, 55, 90, 21), 50, KeyFilterKind::Real);
  verticalLabel_ = AddLabel("Et_Vert", QRect(24, 80, 170, 20));
  verticalField_ = AddEdit("EdVert", QRect(200, 79, 90, 21), 12, KeyFilterKind::Real);
}

bool DisplacementDialog::Run(const std::string& title, std::string& horizontal,
                             std::string& vertical) {
  SetCommonCaptions();
  title_->setText(ToQString("  " + title));
  heading_->setText(ToQString(LookupText(code::kOffsetLabel)));
  horizontalLabel_->setText(ToQString(LookupText(code::kHorizontalLengthLabel)));
  verticalLabel_->setText(ToQString(LookupText(code::kVerticalHeightLabel)));
  horizontalField_->setText("0.00");
  verticalField_->setText("0.00");
  horizontalField_->selectAll();
  horizontalField_->setFocus();
  const bool confirmed = exec() == QDialog::Accepted;
  hide();
  if (confirmed) {
    horizontal = Trim(FromQString(horizontalField_->text()));
    vertical = Trim(FromQString(verticalField_->text()));
  }
  return confirmed;
}

BarcodeDialog::BarcodeDialog() : GeneralDialog("FCodBarras", 312, 176) {
  kindLabel_ = AddLabel("Et_Tipo", QRect(20, 40, 150, 20));
  kindBox_ = AddList("EdTipo", QRect(176, 39, 116, 22));
  readableLabel_ = AddLabel("Et_Legible", QRect(20, 66, 150, 20));
  readableBox_ = AddList("EdLegible", QRect(176, 65, 116, 22));
  heightLabel_ = AddLabel("Et_Alto", QRect(20, 92, 150, 20));
  heightField_ = AddEdit("EdAlto", QRect(176, 91, 116, 21), 7, KeyFilterKind::Real);
  widthLabel_ = AddLabel("Et_Largo", QRect(20, 118, 150, 20));
  widthField_ = AddEdit("EdLargo", QRect(176, 117, 116, 21), 7, KeyFilterKind::Real);
  connect(kindBox_, &QComboBox::currentIndexChanged, this, [this] { KindChanged(); });
}

bool BarcodeDialog::Run(const std::optional<BarcodeSetting>& current, Apply apply) {
  SetCommonCaptions();
  title_->setText(ToQString(LookupText(code::kBarcodeTitle)));
  kindLabel_->setText(ToQString(LookupText(code::kSymbologyLabel)));
  readableLabel_->setText(ToQString(LookupText(code::kReadableLineLabel)));
  widthLabel_->setText(ToQString(LookupText(code::kBarLengthLabel)));
  QSignalBlocker quiet(kindBox_);  // until the lists hold the current choice
  kindBox_->clear();
  for (const char* entry :
       {code::kNoBarcode, code::kCode39, code::kCode128, code::kEan13, code::kQrCode})
    kindBox_->addItem(ToQString(LookupText(entry)));
  readableBox_->clear();
  for (const char* entry : {code::kNoReadableLine, code::kLineAbove, code::kLineBelow})
    readableBox_->addItem(ToQString(LookupText(entry)));

  const BarcodeSetting shown = current.value_or(BarcodeSetting{});
  kindBox_->setCurrentIndex(current ? static_cast<int>(shown.kind) + 1 : 0);
  readableBox_->setCurrentIndex(static_cast<int>(shown.line));
  heightField_->setText(ToQString(FormatFixed(shown.height, 2)));
  widthField_->setText(ToQString(
      FormatFixed(shown.kind == BarcodeKind::QrCode ? BarcodeSetting{}.length : shown.length, 2)));
  quiet.unblock();
  KindChanged();
  apply_ = std::move(apply);
  kindBox_->setFocus();
  const bool confirmed = exec() == QDialog::Accepted;
  hide();
  apply_ = nullptr;
  return confirmed;
}

void BarcodeDialog::KindChanged() {
  const bool any = kindBox_->currentIndex() > 0;
  const bool qr = kindBox_->currentIndex() == static_cast<int>(BarcodeKind::QrCode) + 1;
  // A QR Code carries its line below the square or none.
  if (auto* model = qobject_cast<QStandardItemModel*>(readableBox_->model()))
    if (QStandardItem* above = model->item(static_cast<int>(ReadableLine::Above)))
      above->setEnabled(!qr);
  if (qr && readableBox_->currentIndex() == static_cast<int>(ReadableLine::Above))
    readableBox_->setCurrentIndex(static_cast<int>(ReadableLine::Below));
  heightLabel_->setText(ToQString(LookupText(qr ? code::kQrSideLabel : code::kBarHeightLabel)));
  // A QR Code is a square: its one size is the side; no length is shown.
  widthLabel_->setVisible(!qr);
  widthField_->setVisible(!qr);
  for (QWidget* field : std::initializer_list<QWidget*>{readableLabel_, readableBox_, heightLabel_,
                                                        heightField_, widthLabel_, widthField_})
    field->setEnabled(any);
}

std::optional<BarcodeSetting> BarcodeDialog::Choice() const {
  if (kindBox_->currentIndex() <= 0) return std::nullopt;
  BarcodeSetting setting;
  setting.kind = static_cast<BarcodeKind>(kindBox_->currentIndex() - 1);
  setting.line = static_cast<ReadableLine>(std::max(0, readableBox_->currentIndex()));
  const std::string height = Trim(FromQString(heightField_->text()));
  const std::string length = Trim(FromQString(widthField_->text()));
  setting.height = height.empty() ? 0.0 : ParseDouble(height);
  setting.length = setting.kind == BarcodeKind::QrCode ? 0.0
                   : length.empty()                    ? 0.0
                                                       : ParseDouble(length);
  return setting;
}

void BarcodeDialog::accept() {
  if (TakeChoice([this] { return apply_ ? apply_(Choice()) : std::string(); })) QDialog::accept();
}

IncrementDialog& TheIncrementDialog() { return ProgramInstance<IncrementDialog>(); }
DisplacementDialog& TheDisplacementDialog() { return ProgramInstance<DisplacementDialog>(); }
BarcodeDialog& TheBarcodeDialog() { return ProgramInstance<BarcodeDialog>(); }

void ShowIncrementDialog(int32_t& k) {
  std::string text;
  if (!TheIncrementDialog().Run(text)) return;
  k = text.empty() ? 0 : ParseInt32(text);
}

void ShowDisplacementDialog(const std::string& title, double& dx, double& dy) {
  std::string horizontal, vertical;
  if (!TheDisplacementDialog().Run(title, horizontal, vertical)) return;
  const double h = horizontal.empty() ? 0.0 : ParseDouble(horizontal);
  const double v = vertical.empty() ? 0.0 : ParseDouble(vertical);
  dx = h;
  dy = v;
}

}  // namespace zirvo
