// Helpers of the widget tests: a clean catalog, real key and mouse events on
// the grid and the focused widget, and answers to modal dialogs from a timer.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace zirvo {
class TableGrid;
class PageDevice;
}  // namespace zirvo

namespace zirvo::testing {

// Points the program's folders at a fresh temporary folder and loads the
// Spanish catalog (language 1) or the English one (2).
void PrepareCatalog(int language = 1);

// Shows a top-level widget and waits until it is the active window.
bool ShowActive(QWidget* window);

// Makes the window under test active again after a modal dialog closed.
void Reactivate();

// Key presses go to the widget that has the keyboard focus, as typing does.
void PressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void TypeText(const QString& text);

// Mouse events on a grid cell (rows and columns from 0).
void ClickCell(TableGrid* grid, int row, int column);
void DoubleClickCell(TableGrid* grid, int row, int column);

// Answers the next modal widget of type T: `answer` runs on it from a timer
// while its event loop is running. The returned flag turns true once it ran.
class ModalAnswer {
 public:
  using Answer = std::function<void(QWidget*)>;
  ModalAnswer(const char* className, Answer answer);
  ~ModalAnswer();
  bool Answered() const { return *answered_; }
  QString SeenText() const { return *seen_; }

 private:
  std::shared_ptr<bool> answered_;
  std::shared_ptr<QString> seen_;
  QTimer* timer_;
};

// Answers every message box by its object name while it lives (a box of
// another name is left alone), keeping the names and texts in the order the
// boxes came: for commands that ask several questions in turn.
class BoxAnswers {
 public:
  explicit BoxAnswers(std::map<QString, int> buttons);  // QMessageBox::StandardButton
  QStringList names;
  QStringList texts;

 private:
  std::map<QString, int> buttons_;
  QTimer timer_;
};

// Answers of the common kinds.
std::unique_ptr<ModalAnswer> AcceptConfirmation();  // ConfirmDialog: Enter
std::unique_ptr<ModalAnswer> RefuseConfirmation();  // ConfirmDialog: Escape
std::unique_ptr<ModalAnswer> DismissMessageBox();   // QMessageBox: OK; keeps its text
// The increment or displacement dialog: types into its fields, then Enter.
std::unique_ptr<ModalAnswer> AnswerIncrement(const QString& text);
std::unique_ptr<ModalAnswer> AnswerDisplacement(const QString& horizontal, const QString& vertical);
// The print dialog: its PDF entry with the file name typed, then Enter.
std::unique_ptr<ModalAnswer> ChoosePdf(const QString& file);

// The child widget (or object) of type T named `name` under `parent`, as
// tests reach the widgets a user touches; a missing one ends the test run
// with its name, since every later step would act on nothing.
template <class T>
T* Child(const QObject* parent, const char* name) {
  T* child = parent ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
  if (!child) qFatal("no child %s named %s", T::staticMetaObject.className(), name);
  return child;
}

// Runs `during` once on the test's thread as soon as `device` has handed on
// the `at`-th page of a run (counted from its construction), while the run's
// thread waits for `during` to return: what it sees and does falls at a
// known page, whatever the speed of either thread.
class AtSpooledPage {
 public:
  AtSpooledPage(PageDevice& device, int at, std::function<void()> during);
  ~AtSpooledPage();
  AtSpooledPage(const AtSpooledPage&) = delete;
  AtSpooledPage& operator=(const AtSpooledPage&) = delete;
  bool Ran() const { return ran_; }

 private:
  PageDevice& device_;
  QObject context_;  // on the test's thread
  std::atomic<int> spooled_{0};
  std::atomic<bool> ran_{false};
};

// The longest a test waits for a print run to end.
constexpr int kRunWaitMs = 120000;

// Clicks the command named `command` of a print page, then waits (bounded)
// until the run it began has ended, its questions and notices answered;
// false when it has not ended in time.
template <class Page>
bool ClickAndFinishRun(Page* page, const char* command) {
  QTest::mouseClick(Child<QWidget>(page, command), Qt::LeftButton);
  return QTest::qWaitFor([page] { return !page->Running(); }, kRunWaitMs);
}

// The folder for generated screenshots inside the build folder.
QString ScreenshotPath(const QString& name);

// Replaces a field's text by keys, as a user retypes it.
void Retype(QLineEdit* field, const QString& text);
// The texts of a list's entries, in order.
QStringList ListEntries(QListWidget* list);

}  // namespace zirvo::testing
