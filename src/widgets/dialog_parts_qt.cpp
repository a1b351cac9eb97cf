#include "widgets/dialog_parts_qt.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>

#include "base/helpers.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"
#include "widgets/widgets_qt.h"

namespace zirvo {

TitleBand::TitleBand(QWidget* parent) : QLabel(parent) { setCursor(Qt::PointingHandCursor); }

void TitleBand::mousePressEvent(QMouseEvent* event) {
  dragging_ = true;
  grabOffset_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
  event->accept();
}

void TitleBand::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  window()->move(event->globalPosition().toPoint() - grabOffset_);
  event->accept();
}

void TitleBand::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  event->accept();
}

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
  setCursor(Qt::PointingHandCursor);
  setAlignment(Qt::AlignCenter);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
  event->accept();
}

void ClickLabel::TakeKeyboardFocus() { setFocusPolicy(Qt::StrongFocus); }

void ClickLabel::keyPressEvent(QKeyEvent* event) {
  // Only a label that takes the focus receives keys.
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (event->modifiers() != Qt::NoModifier && event->modifiers() != Qt::KeypadModifier) break;
      event->accept();
      emit clicked();
      return;
    default:
      break;
  }
  QLabel::keyPressEvent(event);
}

bool RefusesKeystroke(KeyFilterKind kind, const QLineEdit& edit, const QKeyEvent& event) {
  if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
  const QString typed = event.text();
  if (typed.isEmpty() || typed.at(0).unicode() < 32 || typed.at(0).unicode() == 127) return false;
  for (QChar ch : typed) {
    if (ch == u'|') return true;
    // A character a template cannot store goes in: committing the text
    // refuses it and says why, where swallowing the key would not.
    if (kind == KeyFilterKind::FreeText) continue;
    if (ch.unicode() >= 128) return true;  // no digit, sign or point
    // One byte per UTF-16 unit, so that the caret indexes the text: the
    // filters judge digits, signs and points only.
    const std::string text = edit.text().toLatin1().toStdString();
    const std::string selected = edit.selectedText().toLatin1().toStdString();
    const int caret = edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
    const char key = static_cast<char>(ch.unicode());
    const char passed = kind == KeyFilterKind::Integer
                            ? IntegerKeyFilter(text, selected, caret, key)
                            : RealKeyFilter(text, selected, caret, key);
    if (passed == '\0') return true;
  }
  return false;
}

namespace {

class KeystrokeGuard : public QObject {
 public:
  KeystrokeGuard(QObject* owner, QLineEdit* edit, KeyFilterKind kind)
      : QObject(owner), edit_(edit), kind_(kind) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    return RefusesKeystroke(kind_, *edit_, *static_cast<QKeyEvent*>(event));
  }

 private:
  QLineEdit* edit_;
  KeyFilterKind kind_;
};

}  // namespace

void InstallKeyFilter(QWidget* target, QLineEdit* edit, KeyFilterKind kind) {
  target->installEventFilter(new KeystrokeGuard(target, edit, kind));
}

void ShowFailure(QWidget* parent, const std::string& message) {
  QMessageBox box(QMessageBox::Warning, ToQString(LookupText(code::kProgramTitle)),
                  ToQString(message), QMessageBox::Ok, parent);
  box.setObjectName("FailureMessage");
  box.exec();
}

BorderlessDialog::BorderlessDialog(QWidget* parent, bool stayOnTop) : QDialog(parent) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::FramelessWindowHint;
  if (stayOnTop) flags |= Qt::WindowStaysOnTopHint;
  setWindowFlags(flags);
  setModal(true);
}

void BorderlessDialog::WatchKeys(QWidget* field) { field->installEventFilter(this); }

bool BorderlessDialog::HandleKey(QKeyEvent* event) {
  if (!EnterAndEscapeActive()) return false;
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      EnterPressed();
      return true;
    case Qt::Key_Escape:
      reject();
      return true;
    default:
      return false;
  }
}

void BorderlessDialog::keyPressEvent(QKeyEvent* event) {
  if (HandleKey(event)) return;
  QDialog::keyPressEvent(event);
}

bool BorderlessDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event))) return true;
  return QDialog::eventFilter(watched, event);
}

void BorderlessDialog::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
}

}  // namespace zirvo
