#include "widgets/confirm_dialog_qt.h"

#include <QCoreApplication>
#include <QFrame>
#include <algorithm>
#include <array>
#include <utility>

#include "base/messages.h"
#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"

namespace zirvo {

namespace {

constexpr int kWidth = 386, kHeight = 132;
constexpr int kInnerWidth = 378, kInnerHeight = 124;
constexpr int kButtonWidth = 90, kButtonHeight = 17, kButtonTop = 98, kButtonMargin = 12;
constexpr int kLine1Top = 34, kLine2Top = 60, kLineHeight = 20;
// Between the lines, and from the last line to the buttons: a question of
// one-line texts keeps the usual layout.
constexpr int kLineGap = kLine2Top - kLine1Top - kLineHeight;
constexpr int kButtonGap = kButtonTop - kLine2Top - kLineHeight;

// Catalog codes of each question.
struct Question {
  int mode;
  const char* title;
  const char* line1;
  const char* line2;
  const char* accept;
  const char* cancel;
};

constexpr std::array<Question, 5> kQuestions{{
    {6, code::kOpenTemplateTitle, code::kOpenTemplateWillClose, code::kPressOkToContinue,
     code::kContinueButton, code::kCloseButton},
    {7, code::kCloseTemplateTitle, code::kOpenTemplateWillClose, code::kPressOkToContinue,
     code::kOkButton, code::kCancelButton},
    {8, code::kNewTemplateTitle, code::kOpenTemplateWillClose, code::kPressOkToContinue,
     code::kOkButton, code::kCancelButton},
    {12, code::kAppWillClose, code::kPressOkToProceed, code::kCancelToReturn, code::kOkButton,
     code::kCancelButton},
    {13, code::kRowWillBeDeleted, code::kPressDeleteToContinue, code::kCancelToReturn,
     code::kDeleteButton, code::kCancelButton},
}};

QLabel* MakeLine(QWidget* parent, const char* name, int top, bool bold) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont font("Arial", bold ? 10 : 9);
  font.setBold(bold);
  label->setFont(font);
  label->setStyleSheet("color: black;");
  label->setGeometry(0, top, kInnerWidth, 20);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setFocusPolicy(Qt::NoFocus);
  button->setCursor(Qt::PointingHandCursor);
  button->setFont(QFont("Arial", 8));
  button->setStyleSheet(
      "QPushButton { background: white; color: black; border: 1px solid black; padding: 0; }"
      "QPushButton:hover { background: #F2F5FA; }"
      "QPushButton:pressed { background: #D6DFEB; }");
  button->resize(kButtonWidth, kButtonHeight);
  return button;
}

}  // namespace

ConfirmDialog::ConfirmDialog(QWidget* parent) : BorderlessDialog(parent, /*stayOnTop=*/true) {
  setObjectName("FCaratGda");
  setFixedSize(kWidth, kHeight);

  background_ = new QFrame(this);  // the black frame around the panel
  background_->setObjectName("Pn_Fondo");
  background_->setStyleSheet("#Pn_Fondo { background: black; }");

  auto* panel = new QFrame(background_);
  panel_ = panel;
  panel->setObjectName("Pn_Sobre");
  panel->move(4, 4);
  panel->setStyleSheet("#Pn_Sobre { background: #D6DFEB; }");  // 15458262, red in the low byte

  auto* titleBand = new TitleBand(panel);  // the title line drags the window
  titleBand->setGeometry(0, 0, kInnerWidth, 30);
  Et_Titulo = MakeLine(panel, "Et_Titulo", 8, true);
  Et_Titulo->setAttribute(Qt::WA_TransparentForMouseEvents);
  Et_Lin01 = MakeLine(panel, "Et_Lin01", kLine1Top, false);
  Et_Lin02 = MakeLine(panel, "Et_Lin02", kLine2Top, false);
  Bt_Aceptar = MakeButton(panel, "Bt_Aceptar");
  Bt_Cancelar = MakeButton(panel, "Bt_Cancelar");
  Bt_Guardar = MakeButton(panel, "Bt_Guardar");
  Bt_No = MakeButton(panel, "Bt_No");
  connect(Bt_Aceptar, &QPushButton::clicked, this, &QDialog::accept);
  connect(Bt_Cancelar, &QPushButton::clicked, this, &QDialog::reject);
  connect(Bt_Guardar, &QPushButton::clicked, this, [this] { done(kSaveAnswer); });
  connect(Bt_No, &QPushButton::clicked, this, [this] { done(kNoAnswer); });
  ResetTexts();
}

void ConfirmDialog::ResetTexts() {
  Et_Titulo->clear();
  for (auto [line, top] : {std::pair{Et_Lin01, kLine1Top}, std::pair{Et_Lin02, kLine2Top}}) {
    line->clear();
    line->setWordWrap(false);
    line->setGeometry(0, top, kInnerWidth, kLineHeight);
  }
  Bt_Aceptar->hide();
  Bt_Cancelar->hide();
  Bt_Guardar->hide();
  Bt_No->hide();
  Bt_Cancelar->setText(ToQString(LookupText(code::kCancelButton)));
  Bt_Aceptar->setText(ToQString(LookupText(code::kSave)));
  Bt_Aceptar->move(kButtonMargin, kButtonTop);
  Bt_Cancelar->move(kInnerWidth - kButtonWidth - kButtonMargin, kButtonTop);
  SetInnerHeight(kInnerHeight);
}

void ConfirmDialog::SetInnerHeight(int height) {
  setFixedSize(kWidth, height + kHeight - kInnerHeight);
  background_->setGeometry(0, 0, kWidth, height + kHeight - kInnerHeight);
  panel_->resize(kInnerWidth, height);
}

void ConfirmDialog::WrapLines() {
  int top = kLine1Top;
  for (QLabel* line : {Et_Lin01, Et_Lin02}) {
    line->setWordWrap(true);
    const int width = kInnerWidth - 2 * kButtonMargin;
    const int height = std::max(kLineHeight, line->heightForWidth(width));
    line->setGeometry(kButtonMargin, top, width, height);
    top += height + kLineGap;
  }
  const int buttonTop = top - kLineGap + kButtonGap;
  for (QPushButton* button : {Bt_Aceptar, Bt_No, Bt_Guardar, Bt_Cancelar})
    button->move(button->x(), buttonTop);
  // The margin below the buttons stays as it is.
  SetInnerHeight(kInnerHeight + buttonTop - kButtonTop);
}

int ConfirmDialog::AskThreeWay(QPushButton* left, QPushButton* middle) {
  left->move(kButtonMargin, kButtonTop);
  middle->move((kInnerWidth - kButtonWidth) / 2, kButtonTop);
  for (QPushButton* button : {left, middle, Bt_Cancelar}) button->show();
  WrapLines();
  const int result = exec();
  hide();
  if (result == kSaveAnswer || result == kNoAnswer) return result;
  return result == QDialog::Accepted ? -1 : 1;
}

bool ConfirmDialog::EnterAndEscapeActive() const { return !Bt_Aceptar->isHidden(); }

void ConfirmDialog::EnterPressed() {
  // Enter never throws changes away: in the unsaved-changes question it saves.
  if (!Bt_Guardar->isHidden()) {
    done(kSaveAnswer);
  } else {
    accept();
  }
}

int ConfirmDialog::Confirm(int mode) {
  ResetTexts();
  if (mode == kUnsavedMode) {
    Et_Titulo->setText(ToQString(OwnText(OwnMessage::UnsavedTitle)));
    Et_Lin01->setText(ToQString(OwnText(OwnMessage::UnsavedLine1)));
    Et_Lin02->setText(ToQString(OwnText(OwnMessage::UnsavedLine2)));
    Bt_Guardar->setText(ToQString(LookupText(code::kSave)));
    Bt_Aceptar->setText(ToQString(OwnText(OwnMessage::DiscardButton)));
    return AskThreeWay(Bt_Guardar, Bt_Aceptar);
  }
  if (mode == kCopyNumberingMode) {
    Et_Titulo->setText(ToQString(OwnText(OwnMessage::CopyNumberingTitle)));
    Et_Lin01->setText(ToQString(OwnText(OwnMessage::CopyNumberingYes)));
    Et_Lin02->setText(ToQString(OwnText(OwnMessage::CopyNumberingNo)));
    Bt_Aceptar->setText(ToQString(OwnText(OwnMessage::YesButton)));
    Bt_No->setText(ToQString(OwnText(OwnMessage::NoButton)));
    return AskThreeWay(Bt_Aceptar, Bt_No);
  }
  const Question* question = nullptr;
  for (const Question& q : kQuestions) {
    if (q.mode == mode) question = &q;
  }
  if (question == nullptr) return 0;

  Et_Titulo->setText(ToQString(LookupText(question->title)));
  Et_Lin01->setText(ToQString(LookupText(question->line1)));
  Et_Lin02->setText(ToQString(LookupText(question->line2)));
  Bt_Aceptar->setText(ToQString(LookupText(question->accept)));
  Bt_Cancelar->setText(ToQString(LookupText(question->cancel)));
  Bt_Aceptar->show();
  Bt_Cancelar->show();

  const int result = exec();
  hide();
  return result == QDialog::Accepted ? -1 : 1;
}

ConfirmDialog& FCaratGda() {
  static ConfirmDialog* dialog = nullptr;
  if (dialog == nullptr) {
    dialog = new ConfirmDialog();
    // Lives until the application object goes away.
    qAddPostRoutine([] {
      delete dialog;
      dialog = nullptr;
    });
  }
  return *dialog;
}

int Confirm(int mode) { return FCaratGda().Confirm(mode); }

}  // namespace zirvo
