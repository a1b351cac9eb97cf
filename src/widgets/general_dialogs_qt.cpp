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

template <class Dialog>
Dialog& ProgramInstance() {
  static Dialog* dialog = nullptr;
  if (dialog == nullptr) {
    dialog = new Dialog();
    qAddPostRoutine([] {
      delete dialog;
      dialog = nullptr;
    });
  }
  return *dialog;
}

}  // namespace

GeneralDialog::GeneralDialog(const char* name, int width, int height) {
  setObjectName(name);
  setFixedSize(width, height);
  setAttribute(Qt::WA_StyledBackground);
  setStyleSheet(kDialogStyle);
  setFont(DialogFont());

  Pn_Titulo = new TitleBand(this);
  Pn_Titulo->setObjectName("Pn_Titulo");
  Pn_Titulo->setGeometry(0, 0, width, kTitleHeight);
  Pn_Titulo->setFont(DialogFont(true));

  const int buttonTop = height - 30;
  Bt_Aplica = new ClickLabel(this);
  Bt_Aplica->setObjectName("Bt_Aplica");
  Bt_Aplica->setGeometry(width - 2 * 84 - 14, buttonTop, 80, 20);
  Bt_Cancela = new ClickLabel(this);
  Bt_Cancela->setObjectName("Bt_Cancela");
  Bt_Cancela->setGeometry(width - 84 - 10, buttonTop, 80, 20);
  Bt_Aplica->setFont(DialogFont());
  Bt_Cancela->setFont(DialogFont());
  // Made before the fields, the commands follow the last field in the tab
  // chain, which runs round: Tab from the last field reaches Aplicar, then
  // Cancelar, then the first field again.
  Bt_Aplica->TakeKeyboardFocus();
  Bt_Cancela->TakeKeyboardFocus();
  connect(Bt_Aplica, &ClickLabel::clicked, this, &QDialog::accept);
  connect(Bt_Cancela, &ClickLabel::clicked, this, &QDialog::reject);
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

void GeneralDialog::SetCommonCaptions() {
  Bt_Aplica->setText(ToQString(LookupText(code::kApplyButton)));
  Bt_Cancela->setText(ToQString(LookupText(code::kCancelButton)));
}

IncrementDialog::IncrementDialog() : GeneralDialog("FIncrem", 278, 130) {
  Et_Increm = AddLabel("Et_Increm", QRect(20, 50, 120, 20));
  EdIncrem = AddEdit("EdIncrem", QRect(146, 49, 112, 21), 12, KeyFilterKind::Integer);
  EdIncrem->setText("0");
}

bool IncrementDialog::Run(std::string& text) {
  SetCommonCaptions();
  Pn_Titulo->setText(ToQString(LookupText(code::kIncreaseNumeratorsTitle)));
  Et_Increm->setText(ToQString(LookupText(code::kIncreaseLabel)));
  EdIncrem->selectAll();
  EdIncrem->setFocus();
  const bool confirmed = exec() == QDialog::Accepted;
  hide();
  if (confirmed) text = Trim(FromQString(EdIncrem->text()));
  return confirmed;
}

DisplacementDialog::DisplacementDialog() : GeneralDialog("FMuevePlan", 312, 138) {
  Et_Desplaz = AddLabel("Et_Desplaz", QRect(14, 34, 284, 18), /*bold=*/true);
  Et_Horiz = AddLabel("Et_Horiz", QRect(24, 56, 170, 20));
  EdHoriz = AddEdit("EdHoriz", QRect(200, 55, 90, 21), 50, KeyFilterKind::Real);
  Et_Vert = AddLabel("Et_Vert", QRect(24, 80, 170, 20));
  EdVert = AddEdit("EdVert", QRect(200, 79, 90, 21), 12, KeyFilterKind::Real);
}

bool DisplacementDialog::Run(const std::string& title, std::string& horizontal, std::string& vertical) {
  SetCommonCaptions();
  Pn_Titulo->setText(ToQString("  " + title));
  Et_Desplaz->setText(ToQString(LookupText(code::kOffsetLabel)));
  Et_Horiz->setText(ToQString(LookupText(code::kHorizontalLengthLabel)));
  Et_Vert->setText(ToQString(LookupText(code::kVerticalHeightLabel)));
  EdHoriz->setText("0.00");
  EdVert->setText("0.00");
  EdHoriz->selectAll();
  EdHoriz->setFocus();
  const bool confirmed = exec() == QDialog::Accepted;
  hide();
  if (confirmed) {
    horizontal = Trim(FromQString(EdHoriz->text()));
    vertical = Trim(FromQString(EdVert->text()));
  }
  return confirmed;
}

BarcodeDialog::BarcodeDialog() : GeneralDialog("FCodBarras", 312, 176) {
  const auto addList = [this](const char* name, const QRect& geometry) {
    auto* list = new QComboBox(this);
    list->setObjectName(name);
    list->setGeometry(geometry);
    list->setFont(DialogFont());
    WatchKeys(list);
    return list;
  };
  Et_Tipo = AddLabel("Et_Tipo", QRect(20, 40, 150, 20));
  EdTipo = addList("EdTipo", QRect(176, 39, 116, 22));
  Et_Legible = AddLabel("Et_Legible", QRect(20, 66, 150, 20));
  EdLegible = addList("EdLegible", QRect(176, 65, 116, 22));
  Et_Alto = AddLabel("Et_Alto", QRect(20, 92, 150, 20));
  EdAlto = AddEdit("EdAlto", QRect(176, 91, 116, 21), 7, KeyFilterKind::Real);
  Et_Largo = AddLabel("Et_Largo", QRect(20, 118, 150, 20));
  EdLargo = AddEdit("EdLargo", QRect(176, 117, 116, 21), 7, KeyFilterKind::Real);
  connect(EdTipo, &QComboBox::currentIndexChanged, this, [this] { KindChanged(); });
}

bool BarcodeDialog::Run(const std::optional<BarcodeSetting>& current, Apply apply) {
  SetCommonCaptions();
  Pn_Titulo->setText(ToQString(LookupText(code::kBarcodeTitle)));
  Et_Tipo->setText(ToQString(LookupText(code::kSymbologyLabel)));
  Et_Legible->setText(ToQString(LookupText(code::kReadableLineLabel)));
  Et_Largo->setText(ToQString(LookupText(code::kBarLengthLabel)));
  QSignalBlocker quiet(EdTipo);  // until the lists hold the current choice
  EdTipo->clear();
  for (const char* entry :
       {code::kNoBarcode, code::kCode39, code::kCode128, code::kEan13, code::kQrCode})
    EdTipo->addItem(ToQString(LookupText(entry)));
  EdLegible->clear();
  for (const char* entry : {code::kNoReadableLine, code::kLineAbove, code::kLineBelow})
    EdLegible->addItem(ToQString(LookupText(entry)));

  const BarcodeSetting shown = current.value_or(BarcodeSetting{});
  EdTipo->setCurrentIndex(current ? static_cast<int>(shown.kind) + 1 : 0);
  EdLegible->setCurrentIndex(static_cast<int>(shown.line));
  EdAlto->setText(ToQString(FormatFixed(shown.height, 2)));
  EdLargo->setText(ToQString(
      FormatFixed(shown.kind == BarcodeKind::QrCode ? BarcodeSetting{}.length : shown.length, 2)));
  quiet.unblock();
  KindChanged();
  apply_ = std::move(apply);
  EdTipo->setFocus();
  const bool confirmed = exec() == QDialog::Accepted;
  hide();
  apply_ = nullptr;
  return confirmed;
}

void BarcodeDialog::KindChanged() {
  const bool any = EdTipo->currentIndex() > 0;
  const bool qr = EdTipo->currentIndex() == static_cast<int>(BarcodeKind::QrCode) + 1;
  // A QR Code carries its line below the square or none.
  if (auto* model = qobject_cast<QStandardItemModel*>(EdLegible->model()))
    if (QStandardItem* above = model->item(static_cast<int>(ReadableLine::Above)))
      above->setEnabled(!qr);
  if (qr && EdLegible->currentIndex() == static_cast<int>(ReadableLine::Above))
    EdLegible->setCurrentIndex(static_cast<int>(ReadableLine::Below));
  Et_Alto->setText(ToQString(LookupText(qr ? code::kQrSideLabel : code::kBarHeightLabel)));
  // A QR Code is a square: its one size is the side; no length is shown.
  Et_Largo->setVisible(!qr);
  EdLargo->setVisible(!qr);
  for (QWidget* field :
       std::initializer_list<QWidget*>{Et_Legible, EdLegible, Et_Alto, EdAlto, Et_Largo, EdLargo})
    field->setEnabled(any);
}

std::optional<BarcodeSetting> BarcodeDialog::Choice() const {
  if (EdTipo->currentIndex() <= 0) return std::nullopt;
  BarcodeSetting setting;
  setting.kind = static_cast<BarcodeKind>(EdTipo->currentIndex() - 1);
  setting.line = static_cast<ReadableLine>(std::max(0, EdLegible->currentIndex()));
  const std::string height = Trim(FromQString(EdAlto->text()));
  const std::string length = Trim(FromQString(EdLargo->text()));
  setting.height = height.empty() ? 0.0 : ParseDouble(height);
  setting.length = setting.kind == BarcodeKind::QrCode ? 0.0
                   : length.empty()                    ? 0.0
                                                       : ParseDouble(length);
  return setting;
}

void BarcodeDialog::accept() {
  std::string refusal;
  try {
    if (apply_) refusal = apply_(Choice());
  } catch (const ZirvoError& e) {
    refusal = e.what();
  }
  if (!refusal.empty()) {
    ShowFailure(this, refusal);
    return;
  }
  QDialog::accept();
}

IncrementDialog& FIncrem() { return ProgramInstance<IncrementDialog>(); }
DisplacementDialog& FMuevePlan() { return ProgramInstance<DisplacementDialog>(); }
BarcodeDialog& FCodBarras() { return ProgramInstance<BarcodeDialog>(); }

void ShowIncrementDialog(int32_t& k) {
  std::string text;
  if (!FIncrem().Run(text)) return;
  k = text.empty() ? 0 : ParseInt32(text);
}

void ShowDisplacementDialog(const std::string& title, double& dx, double& dy) {
  std::string horizontal, vertical;
  if (!FMuevePlan().Run(title, horizontal, vertical)) return;
  const double h = horizontal.empty() ? 0.0 : ParseDouble(horizontal);
  const double v = vertical.empty() ? 0.0 : ParseDouble(vertical);
  dx = h;
  dy = v;
}

}  // namespace zirvo
