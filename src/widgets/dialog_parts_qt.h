// Pieces shared by the program's borderless dialogs and editors: a title band
// that drags its window, a clickable label used as a button, the keystroke
// filters of edit fields, and the message box that reports a failure.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QObject>
#include <string>

class QKeyEvent;
class QLineEdit;

namespace zirvo {

// A label that moves its top-level window while any mouse button is held on
// it. Over it the cursor is a pointing hand.
class TitleBand : public QLabel {
  Q_OBJECT
 public:
  explicit TitleBand(QWidget* parent = nullptr);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool dragging_ = false;
  QPoint grabOffset_;  // cursor position relative to the window's top-left corner
};

// A label that acts as a button: a left click emits clicked(). One that
// takes the keyboard focus (TakeKeyboardFocus) is reached by Tab and
// emits clicked() on Enter or Space as well.
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickLabel(QWidget* parent = nullptr);

  void TakeKeyboardFocus();

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// What an edit field lets through, keystroke by keystroke.
enum class KeyFilterKind {
  FreeText,  // every character except "|"; the commit refuses what a template cannot store
  Integer,   // IntegerKeyFilter
  Real,      // RealKeyFilter
};

// True when the keystroke must not reach the edit. Only keys that type a
// character are judged; editing keys, Backspace and the clipboard shortcuts pass.
bool RefusesKeystroke(KeyFilterKind kind, const QLineEdit& edit, const QKeyEvent& event);

// Applies RefusesKeystroke to the key presses that reach `target`, judged
// against `edit` (the target itself, or the edit field of an editable list).
void InstallKeyFilter(QWidget* target, QLineEdit* edit, KeyFilterKind kind);

// Shows a failure in a modal message box.
void ShowFailure(QWidget* parent, const std::string& message);

// A modal dialog without a window frame, centred on the screen whenever it is
// shown. Enter confirms and Escape cancels from any of its fields.
class BorderlessDialog : public QDialog {
  Q_OBJECT
 public:
  explicit BorderlessDialog(QWidget* parent = nullptr, bool stayOnTop = false);

  // Enter and Escape typed in `field` act on the dialog.
  void WatchKeys(QWidget* field);

 protected:
  // Enter: accepts by default.
  virtual void EnterPressed() { accept(); }
  virtual bool EnterAndEscapeActive() const { return true; }

  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool HandleKey(QKeyEvent* event);
};

}  // namespace zirvo
