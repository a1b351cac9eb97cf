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
  ConfirmQuestion question;
  const char* title;
  const char* line1;
  const char* line2;
  const char* accept;
  const char* cancel;
};

constexpr std::array<Question, 5> kQuestions{{
    {ConfirmQuestion::OpenTemplate, code::kOpenTemplateTitle, code::kOpenTemplateWillClose,
     code::kPressOkToContinue, code::kContinueButton, code::kCloseButton},
    {ConfirmQuestion::CloseTemplate, code::kCloseTemplateTitle, code::kOpenTemplateWillClose,
     code::kPressOkToContinue, code::kOkButton, code::kCancelButton},
    {ConfirmQuestion::NewTemplate, code::kNewTemplateTitle, code::kOpenTemplateWillClose,
     code::kPressOkToContinue, code::kOkButton, code::kCancelButton},
    {ConfirmQuestion::Quit, code::kAppWillClose, code::kPressOkToProceed, code::kCancelToReturn,
     code::kOkButton, code::kCancelButton},
    {ConfirmQuestion::DeleteRow, code::kRowWillBeDeleted, code::kPressDeleteToContinue,
     code::kCancelToReturn, code::kDeleteButton, code::kCancelButton},
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
  title_ = MakeLine(panel, "Et_Titulo", 8, true);
  title_->setAttribute(Qt::WA_TransparentForMouseEvents);
  firstLine_ = MakeLine(panel, "Et_Lin01", kLine1Top, false);
  secondLine_ = MakeLine(panel, "Et_Lin02", kLine2Top, false);
  acceptButton_ = MakeButton(panel, "Bt_Aceptar");
  cancelButton_ = MakeButton(panel, "Bt_Cancelar");
  saveButton_ = MakeButton(panel, "Bt_Guardar");
  noButton_ = MakeButton(panel, "Bt_No");
  connect(acceptButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(saveButton_, &QPushButton::clicked, this, [this] { done(kSaveResult); });
  connect(noButton_, &QPushButton::clicked, this, [this] { done(kNoResult); });
  ResetTexts();
}

void ConfirmDialog::ResetTexts() {
  title_->clear();
  for (auto [line, top] : {std::pair{firstLine_, kLine1Top}, std::pair{secondLine_, kLine2Top}}) {
    line->clear();
    line->setWordWrap(false);
    line->setGeometry(0, top, kInnerWidth, kLineHeight);
  }
  acceptButton_->hide();
  cancelButton_->hide();
  saveButton_->hide();
  noButton_->hide();
  cancelButton_->setText(ToQString(LookupText(code::kCancelButton)));
  acceptButton_->setText(ToQString(LookupText(code::kSave)));
  acceptButton_->move(kButtonMargin, kButtonTop);
  cancelButton_->move(kInnerWidth - kButtonWidth - kButtonMargin, kButtonTop);
  SetInnerHeight(kInnerHeight);
}

void ConfirmDialog::SetInnerHeight(int height) {
  setFixedSize(kWidth, height + kHeight - kInnerHeight);
  background_->setGeometry(0, 0, kWidth, height + kHeight - kInnerHeight);
  panel_->resize(kInnerWidth, height);
}

void ConfirmDialog::WrapLines() {
  int top = kLine1Top;
  for (QLabel* line : {firstLine_, secondLine_}) {
    line->setWordWrap(true);
    const int width = kInnerWidth - 2 * kButtonMargin;
    const int height = std::max(kLineHeight, line->heightForWidth(width));
    line->setGeometry(kButtonMargin, top, width, height);
    top += height + kLineGap;
  }
  const int buttonTop = top - kLineGap + kButtonGap;
  for (QPushButton* button : {acceptButton_, noButton_, saveButton_, cancelButton_})
    button->move(button->x(), buttonTop);
  // The margin below the buttons stays as it is.
  SetInnerHeight(kInnerHeight + buttonTop - kButtonTop);
}

ConfirmAnswer ConfirmDialog::AskThreeWay(QPushButton* left, QPushButton* middle) {
  left->move(kButtonMargin, kButtonTop);
  middle->move((kInnerWidth - kButtonWidth) / 2, kButtonTop);
  for (QPushButton* button : {left, middle, cancelButton_}) button->show();
  WrapLines();
  const int result = exec();
  hide();
  if (result == kSaveResult) return ConfirmAnswer::Save;
  if (result == kNoResult) return ConfirmAnswer::No;
  return result == QDialog::Accepted ? ConfirmAnswer::Yes : ConfirmAnswer::Cancel;
}

bool ConfirmDialog::EnterAndEscapeActive() const { return !acceptButton_->isHidden(); }

void ConfirmDialog::EnterPressed() {
  // Enter never throws changes away: in the unsaved-changes question it saves.
  if (!saveButton_->isHidden()) {
    done(kSaveResult);
  } else {
    accept();
  }
}

ConfirmAnswer ConfirmDialog::Confirm(ConfirmQuestion asked) {
  ResetTexts();
  if (asked == ConfirmQuestion::UnsavedChanges) {
    title_->setText(ToQString(OwnText(OwnMessage::UnsavedTitle)));
    firstLine_->setText(ToQString(OwnText(OwnMessage::UnsavedLine1)));
    secondLine_->setText(ToQString(OwnText(OwnMessage::UnsavedLine2)));
    saveButton_->setText(ToQString(LookupText(code::kSave)));
    acceptButton_->setText(ToQString(OwnText(OwnMessage::DiscardButton)));
    return AskThreeWay(saveButton_, acceptButton_);
  }
  if (asked == ConfirmQuestion::CopyNumbering) {
    title_->setText(ToQString(OwnText(OwnMessage::CopyNumberingTitle)));
    firstLine_->setText(ToQString(OwnText(OwnMessage::CopyNumberingYes)));
    secondLine_->setText(ToQString(OwnText(OwnMessage::CopyNumberingNo)));
    acceptButton_->setText(ToQString(OwnText(OwnMessage::YesButton)));
    noButton_->setText(ToQString(OwnText(OwnMessage::NoButton)));
    return AskThreeWay(acceptButton_, noButton_);
  }
  const Question* question = nullptr;
  for (const Question& q : kQuestions) {
    if (q.question == asked) question = &q;
  }
  if (question == nullptr) return ConfirmAnswer::Cancel;

  title_->setText(ToQString(LookupText(question->title)));
  firstLine_->setText(ToQString(LookupText(question->line1)));
  secondLine_->setText(ToQString(LookupText(question->line2)));
  acceptButton_->setText(ToQString(LookupText(question->accept)));
  cancelButton_->setText(ToQString(LookupText(question->cancel)));
  acceptButton_->show();
  cancelButton_->show();

  const int result = exec();
  hide();
  return result == QDialog::Accepted ? ConfirmAnswer::Yes : ConfirmAnswer::Cancel;
}

ConfirmDialog& TheConfirmDialog() {
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

ConfirmAnswer Confirm(ConfirmQuestion question) { return TheConfirmDialog().Confirm(question); }

}  // namespace zirvo
