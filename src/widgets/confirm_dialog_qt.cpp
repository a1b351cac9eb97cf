#include "widgets/confirm_dialog_qt.h"

#include <QCoreApplication>
#include <QFrame>
#include <array>

#include "base/messages.h"
#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"

namespace zirvo {

namespace {

constexpr int kWidth = 386, kHeight = 132;
constexpr int kInnerWidth = 378, kInnerHeight = 124;
constexpr int kButtonWidth = 90, kButtonHeight = 17, kButtonTop = 98, kButtonMargin = 12;

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

TFCaratGda::TFCaratGda(QWidget* parent) : BorderlessDialog(parent, /*stayOnTop=*/true) {
  setObjectName("FCaratGda");
  setFixedSize(kWidth, kHeight);

  auto* background = new QFrame(this);  // the black frame around the panel
  background->setObjectName("Pn_Fondo");
  background->setGeometry(0, 0, kWidth, kHeight);
  background->setStyleSheet("#Pn_Fondo { background: black; }");

  auto* panel = new QFrame(background);
  panel->setObjectName("Pn_Sobre");
  panel->setGeometry(4, 4, kInnerWidth, kInnerHeight);
  panel->setStyleSheet("#Pn_Sobre { background: #D6DFEB; }");  // 15458262, red in the low byte

  auto* titleBand = new TitleBand(panel);  // the title line drags the window
  titleBand->setGeometry(0, 0, kInnerWidth, 30);
  Et_Titulo = MakeLine(panel, "Et_Titulo", 8, true);
  Et_Titulo->setAttribute(Qt::WA_TransparentForMouseEvents);
  Et_Lin01 = MakeLine(panel, "Et_Lin01", 34, false);
  Et_Lin02 = MakeLine(panel, "Et_Lin02", 60, false);
  Bt_Aceptar = MakeButton(panel, "Bt_Aceptar");
  Bt_Cancelar = MakeButton(panel, "Bt_Cancelar");
  Bt_Guardar = MakeButton(panel, "Bt_Guardar");
  connect(Bt_Aceptar, &QPushButton::clicked, this, &QDialog::accept);
  connect(Bt_Cancelar, &QPushButton::clicked, this, &QDialog::reject);
  connect(Bt_Guardar, &QPushButton::clicked, this, [this] { done(kSaveAnswer); });
  ResetTexts();
}

void TFCaratGda::ResetTexts() {
  Et_Titulo->clear();
  Et_Lin01->clear();
  Et_Lin02->clear();
  Bt_Aceptar->hide();
  Bt_Cancelar->hide();
  Bt_Guardar->hide();
  Bt_Cancelar->setText(ToQString(LookupText(code::kCancelButton)));
  Bt_Aceptar->setText(ToQString(LookupText(code::kSave)));
  Bt_Aceptar->move(kButtonMargin, kButtonTop);
  Bt_Cancelar->move(kInnerWidth - kButtonWidth - kButtonMargin, kButtonTop);
}

bool TFCaratGda::EnterAndEscapeActive() const { return !Bt_Aceptar->isHidden(); }

void TFCaratGda::EnterPressed() {
  // Enter never throws changes away: in the unsaved-changes question it saves.
  if (!Bt_Guardar->isHidden()) {
    done(kSaveAnswer);
  } else {
    accept();
  }
}

int TFCaratGda::Confirm(int mode) {
  ResetTexts();
  if (mode == kUnsavedMode) {
    Et_Titulo->setText(ToQString(OwnText(OwnMessage::UnsavedTitle)));
    Et_Lin01->setText(ToQString(OwnText(OwnMessage::UnsavedLine1)));
    Et_Lin02->setText(ToQString(OwnText(OwnMessage::UnsavedLine2)));
    Bt_Guardar->setText(ToQString(LookupText(code::kSave)));
    Bt_Aceptar->setText(ToQString(OwnText(OwnMessage::DiscardButton)));
    Bt_Guardar->move(kButtonMargin, kButtonTop);
    Bt_Aceptar->move((kInnerWidth - kButtonWidth) / 2, kButtonTop);
    Bt_Guardar->show();
    Bt_Aceptar->show();
    Bt_Cancelar->show();
    const int result = exec();
    hide();
    if (result == kSaveAnswer) return kSaveAnswer;
    return result == QDialog::Accepted ? -1 : 1;
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

TFCaratGda& FCaratGda() {
  static TFCaratGda* dialog = nullptr;
  if (dialog == nullptr) {
    dialog = new TFCaratGda();
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
