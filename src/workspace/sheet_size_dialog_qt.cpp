#include "workspace/sheet_size_dialog_qt.h"

#include <QMessageBox>

#include "base/helpers.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "widgets/widgets_qt.h"

namespace zirvo {
namespace {

constexpr int kWidth = 408;
constexpr int kHeight = 138;
constexpr int32_t kPanelColour = 15724527;

QString Text(const char* code) { return ToQString(LookupText(code)); }

QString SizeText(double value, double ifZero) {
  return ToQString(FormatFixed(value == 0.0 ? ifZero : value, 2));
}

QPushButton* FlatButton(QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setFont(ArialFont(9, true));
  button->setCursor(Qt::PointingHandCursor);
  button->setAutoDefault(false);
  button->setStyleSheet(QStringLiteral(
      "QPushButton{background:#ffffff;color:#1b365d;border:1px solid #7f8fa6;border-radius:2px;}"
      "QPushButton:hover{background:#eaf2fc;border-color:#2f6db5;}"
      "QPushButton:pressed{background:#d4e4f7;}"));
  return button;
}

}  // namespace

SheetSizeDialog::SheetSizeDialog(QWidget* parent) : BorderlessDialog(parent) {
  setObjectName(QStringLiteral("FNuevo"));
  setFixedSize(kWidth, kHeight);
  SetBackground(this, Qt::black);

  // PanDatos sits one pixel inside the black frame.
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("PanDatos"));
  panel->setGeometry(1, 1, kWidth - 2, kHeight - 2);
  SetBackground(panel, WindowsColor(kPanelColour));
  const int inner = kWidth - 2;

  PanTitulo = new TitleBand(panel);
  PanTitulo->setObjectName(QStringLiteral("PanTitulo"));
  PanTitulo->setGeometry(0, 0, inner, 28);
  PanTitulo->setFont(ArialFont(10, true));
  PanTitulo->setAutoFillBackground(true);
  PanTitulo->setStyleSheet(
      QStringLiteral("QLabel{background:%1;color:%2;padding-left:4px;}")
          .arg(WindowsColor(kStripColour).name(), WindowsColor(kDarkBlue).name()));

  auto* topStrip = new QWidget(panel);
  topStrip->setGeometry(0, 28, inner, 2);
  SetBackground(topStrip, Qt::white);

  Et_Personal = new QLabel(panel);
  Et_Personal->setObjectName(QStringLiteral("Et_Personal"));
  Et_Personal->setGeometry(20, 36, 300, 18);
  Et_Personal->setFont(ArialFont(9, true));
  Et_Personal->setStyleSheet(QStringLiteral("color:#1b365d;"));

  const auto makeField = [&](int left, const char* labelName, const char* editName,
                             const char* cmName, QLabel*& label, QLineEdit*& edit, QLabel*& cm) {
    label = new QLabel(panel);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setGeometry(left, 58, 186, 16);
    label->setFont(ArialFont(9));
    edit = new QLineEdit(panel);
    edit->setObjectName(QString::fromLatin1(editName));
    edit->setGeometry(left, 76, 76, 22);
    edit->setMaxLength(7);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setFont(ArialFont(10));
    edit->setText(QStringLiteral("0.00"));
    InstallKeyFilter(edit, edit, KeyFilterKind::Real);
    WatchKeys(edit);
    cm = new QLabel(panel);
    cm->setObjectName(QString::fromLatin1(cmName));
    cm->setGeometry(left + 82, 76, 30, 22);
    cm->setFont(ArialFont(9));
  };
  makeField(20, "Et_Horiz", "EdHoriz", "EqVerCm", Et_Horiz, EdHoriz, EqVerCm);
  makeField(214, "Et_Vert", "EdVert", "EqHorCm", Et_Vert, EdVert, EqHorCm);
  connect(EdHoriz, &QLineEdit::textChanged, this, [this] { LimitSize(EdHoriz); });
  connect(EdVert, &QLineEdit::textChanged, this, [this] { LimitSize(EdVert); });

  auto* bottomStrip = new QWidget(panel);
  bottomStrip->setGeometry(0, 104, inner, 2);
  SetBackground(bottomStrip, Qt::white);
  auto* buttons = new QWidget(panel);
  buttons->setObjectName(QStringLiteral("PanBotones"));
  buttons->setGeometry(0, 106, inner, kHeight - 2 - 106);
  SetBackground(buttons, WindowsColor(kStripColour));
  Bt_Cancela = FlatButton(buttons);
  Bt_Cancela->setObjectName(QStringLiteral("Bt_Cancela"));
  Bt_Cancela->setGeometry(8, 5, 90, 20);
  Bt_Aplica = FlatButton(buttons);
  Bt_Aplica->setObjectName(QStringLiteral("Bt_Aplica"));
  Bt_Aplica->setGeometry(inner - 98, 5, 90, 20);
  connect(Bt_Cancela, &QPushButton::clicked, this, &QDialog::reject);
  connect(Bt_Aplica, &QPushButton::clicked, this, &SheetSizeDialog::Apply);

  ApplyLanguage();
}

void SheetSizeDialog::ApplyLanguage() {
  Et_Personal->setText(Text(code::kCustomPaperLabel));
  Et_Horiz->setText(Text(code::kHorizontalLengthLabel));
  Et_Vert->setText(Text(code::kVerticalHeightLabel));
  EqVerCm->setText(Text(code::kCentimetresUnit));
  EqHorCm->setText(Text(code::kCentimetresUnit));
  Bt_Cancela->setText(Text(code::kCancelButton));
  Bt_Aplica->setText(Text(code::kApplyButton));
}

bool SheetSizeDialog::AskSheetSize(const std::string& title, double& width, double& height) {
  ApplyLanguage();
  PanTitulo->setText(ToQString(title));
  EdHoriz->setText(SizeText(width, kDefaultWidth));
  EdVert->setText(SizeText(height, kDefaultHeight));
  EdHoriz->setFocus();
  EdHoriz->selectAll();
  if (exec() != QDialog::Accepted) return false;
  width = width_;
  height = height_;
  return true;
}

bool SheetSizeDialog::ReadSize(QLineEdit* edit, double empty, double& value) {
  const std::string text = Trim(FromQString(edit->text()));
  if (text.empty()) {
    value = empty;
    return true;
  }
  QString problem;
  if (!TryParseDouble(text, value)) {
    problem = ToQString(FloatConversionError(text).what());
  } else if (value <= 0.0) {
    problem = ToQString(OwnText(OwnMessage::SheetSizeNotPositive));
  } else {
    return true;
  }
  QMessageBox::information(this, windowTitle(), problem);
  edit->setFocus();
  edit->selectAll();
  return false;
}

void SheetSizeDialog::Apply() {
  if (!ReadSize(EdHoriz, kDefaultWidth, width_)) return;
  if (!ReadSize(EdVert, kDefaultHeight, height_)) return;
  accept();
}

void SheetSizeDialog::LimitSize(QLineEdit* edit) {
  const std::string text = Trim(FromQString(edit->text()));
  double value = 0.0;
  // Text that is not a number yet (a lone "-") waits for the next key.
  if (text.empty() || !TryParseDouble(text, value)) return;
  if (value > kMaximum) edit->setText(ToQString(FormatFixed(kMaximum, 2)));
}

}  // namespace zirvo
