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

  title_ = new TitleBand(panel);
  title_->setObjectName(QStringLiteral("PanTitulo"));
  title_->setGeometry(0, 0, inner, 28);
  title_->setFont(ArialFont(10, true));
  title_->setAutoFillBackground(true);
  title_->setStyleSheet(
      QStringLiteral("QLabel{background:%1;color:%2;padding-left:4px;}")
          .arg(WindowsColor(kStripColour).name(), WindowsColor(kDarkBlue).name()));

  auto* topStrip = new QWidget(panel);
  topStrip->setGeometry(0, 28, inner, 2);
  SetBackground(topStrip, Qt::white);

  customLabel_ = new QLabel(panel);
  customLabel_->setObjectName(QStringLiteral("Et_Personal"));
  customLabel_->setGeometry(20, 36, 300, 18);
  customLabel_->setFont(ArialFont(9, true));
  customLabel_->setStyleSheet(QStringLiteral("color:#1b365d;"));

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
  makeField(20, "Et_Horiz", "EdHoriz", "EqVerCm", widthLabel_, widthField_, widthUnit_);
  makeField(214, "Et_Vert", "EdVert", "EqHorCm", heightLabel_, heightField_, heightUnit_);
  connect(widthField_, &QLineEdit::textChanged, this, [this] { LimitSize(widthField_); });
  connect(heightField_, &QLineEdit::textChanged, this, [this] { LimitSize(heightField_); });

  auto* bottomStrip = new QWidget(panel);
  bottomStrip->setGeometry(0, 104, inner, 2);
  SetBackground(bottomStrip, Qt::white);
  auto* buttons = new QWidget(panel);
  buttons->setObjectName(QStringLiteral("PanBotones"));
  buttons->setGeometry(0, 106, inner, kHeight - 2 - 106);
  SetBackground(buttons, WindowsColor(kStripColour));
  cancelButton_ = FlatButton(buttons);
  cancelButton_->setObjectName(QStringLiteral("Bt_Cancela"));
  cancelButton_->setGeometry(8, 5, 90, 20);
  applyButton_ = FlatButton(buttons);
  applyButton_->setObjectName(QStringLiteral("Bt_Aplica"));
  applyButton_->setGeometry(inner - 98, 5, 90, 20);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(applyButton_, &QPushButton::clicked, this, &SheetSizeDialog::Apply);

  ApplyLanguage();
}

void SheetSizeDialog::ApplyLanguage() {
  customLabel_->setText(Text(code::kCustomPaperLabel));
  widthLabel_->setText(Text(code::kHorizontalLengthLabel));
  heightLabel_->setText(Text(code::kVerticalHeightLabel));
  widthUnit_->setText(Text(code::kCentimetresUnit));
  heightUnit_->setText(Text(code::kCentimetresUnit));
  cancelButton_->setText(Text(code::kCancelButton));
  applyButton_->setText(Text(code::kApplyButton));
}

bool SheetSizeDialog::AskSheetSize(const std::string& title, double& width, double& height) {
  ApplyLanguage();
  title_->setText(ToQString(title));
  widthField_->setText(SizeText(width, kDefaultWidth));
  heightField_->setText(SizeText(height, kDefaultHeight));
  widthField_->setFocus();
  widthField_->selectAll();
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
  if (!ReadSize(widthField_, kDefaultWidth, width_)) return;
  if (!ReadSize(heightField_, kDefaultHeight, height_)) return;
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
