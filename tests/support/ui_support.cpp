#include "support/ui_support.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstdlib>

#if defined(__unix__)
#include <dirent.h>
#include <unistd.h>
#endif

#include "catalog/catalog.h"
#include "printing/page_device.h"
#include "support/test_folders.h"
#include "widgets/table_grid_qt.h"

namespace zirvo::testing {

void PrepareCatalog(int language) {
  static QTemporaryDir folder;
  static TestFolders inForce(folder.path().toStdString());
  ProgramCatalog().LoadTable(language);
}

namespace {
QPointer<QWidget> testWindow;  // the window under test, shown by ShowActive

// Offscreen, a window does not become active again by itself when a modal
// dialog over it closes, as it does under a window manager; a closed dialog
// may even stay the active window.
QWidget* KeyTarget() {
  const QWidget* active = QApplication::activeWindow();
  if ((active == nullptr || !active->isVisible()) && testWindow != nullptr) {
    testWindow->activateWindow();
    if (!QTest::qWaitForWindowActive(testWindow)) qWarning("the window under test is not active");
  }
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr && testWindow != nullptr) target = testWindow->focusWidget();
  if (target == nullptr) target = testWindow;
  return target;
}
}  // namespace

void Reactivate() { KeyTarget(); }

bool ShowActive(QWidget* window) {
  testWindow = window;
  window->show();
  window->activateWindow();
  window->raise();
  return QTest::qWaitForWindowActive(window);
}

void PressKey(int key, Qt::KeyboardModifiers modifiers) {
  QWidget* target = KeyTarget();
  QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

void TypeText(const QString& text) {
  for (QChar ch : text) {
    QWidget* target = KeyTarget();
    if (ch.unicode() < 128) {
      QTest::keyClick(target, static_cast<char>(ch.unicode()));
    } else {
      QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
  }
}

namespace {
QPoint CellCentre(TableGrid* grid, int row, int column) {
  const QRect cell = grid->CellRect(row, column);
  return grid->viewport()->mapFrom(grid, cell.center());
}
}  // namespace

void ClickCell(TableGrid* grid, int row, int column) {
  KeyTarget();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                    CellCentre(grid, row, column));
}

void DoubleClickCell(TableGrid* grid, int row, int column) {
  KeyTarget();
  const QPoint at = CellCentre(grid, row, column);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

ModalAnswer::ModalAnswer(const char* className, Answer answer)
    : answered_(std::make_shared<bool>(false)),
      seen_(std::make_shared<QString>()),
      timer_(new QTimer()) {
  timer_->setInterval(10);
  QObject::connect(timer_, &QTimer::timeout,
                   [className, answer, answered = answered_, seen = seen_, timer = timer_] {
                     // Answered once it is the active window: offscreen, the activation
                     // of a window arrives later than its showing, and a dialog closed
                     // before then would become active afterwards, hidden, taking the
                     // keys typed next.
                     QWidget* modal = QApplication::activeModalWidget();
                     if (modal == nullptr || !modal->inherits(className) || !modal->isVisible() ||
                         !modal->isActiveWindow())
                       return;
                     timer->stop();
                     if (auto* box = qobject_cast<QMessageBox*>(modal)) *seen = box->text();
                     *answered = true;
                     answer(modal);
                   });
  timer_->start();
}

ModalAnswer::~ModalAnswer() {
  timer_->stop();
  delete timer_;
}

std::unique_ptr<ModalAnswer> AcceptConfirmation() {
  return std::make_unique<ModalAnswer>(
      "zirvo::ConfirmDialog", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
}

std::unique_ptr<ModalAnswer> RefuseConfirmation() {
  return std::make_unique<ModalAnswer>(
      "zirvo::ConfirmDialog", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
}

BoxAnswers::BoxAnswers(std::map<QString, int> buttons) : buttons_(std::move(buttons)) {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible() || !box->isActiveWindow()) return;
    const auto button = buttons_.find(box->objectName());
    if (button == buttons_.end()) return;
    names << box->objectName();
    texts << box->text();
    box->button(static_cast<QMessageBox::StandardButton>(button->second))->click();
  });
  timer_.start();
}

std::unique_ptr<ModalAnswer> DismissMessageBox() {
  return std::make_unique<ModalAnswer>(
      "QMessageBox", [](QWidget* box) { static_cast<QMessageBox*>(box)->accept(); });
}

namespace {
void TypeInto(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}
}  // namespace

std::unique_ptr<ModalAnswer> AnswerIncrement(const QString& text) {
  return std::make_unique<ModalAnswer>("zirvo::IncrementDialog", [text](QWidget* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>("EdIncrem");
    TypeInto(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  });
}

std::unique_ptr<ModalAnswer> AnswerDisplacement(const QString& horizontal,
                                                const QString& vertical) {
  return std::make_unique<ModalAnswer>("zirvo::DisplacementDialog", [=](QWidget* dialog) {
    auto* h = dialog->findChild<QLineEdit*>("EdHoriz");
    auto* v = dialog->findChild<QLineEdit*>("EdVert");
    TypeInto(h, horizontal);
    TypeInto(v, vertical);
    QTest::keyClick(h, Qt::Key_Return);
  });
}

std::unique_ptr<ModalAnswer> ChoosePdf(const QString& file) {
  return std::make_unique<ModalAnswer>("QPrintDialog", [file](QWidget* dialog) {
    // The dialog's own entry by its full text: a printer queue may have
    // "PDF" in its name too.
    auto* printers = dialog->findChild<QComboBox*>("printers");
    printers->setCurrentIndex(printers->findText(QPrintDialog::tr("Print to File (PDF)")));
    auto* name = dialog->findChild<QLineEdit*>("filename");
    name->setText(file);
    QTest::keyClick(dialog, Qt::Key_Return);
  });
}

QString ScreenshotPath(const QString& name) {
  const QString folder = QStringLiteral(ZIRVO_BUILD_DIR) + "/screenshots";
  QDir().mkpath(folder);
  return folder + "/" + name;
}

AtSpooledPage::AtSpooledPage(PageDevice& device, int at, std::function<void()> during)
    : device_(device) {
  device_.SetPageSpooledHook([this, at, during = std::move(during)] {
    if (++spooled_ != at) return;
    const auto run = [this, &during] {
      ran_ = true;
      during();
    };
    if (QThread::currentThread() == context_.thread())
      run();
    else
      QMetaObject::invokeMethod(&context_, run, Qt::BlockingQueuedConnection);
  });
}

AtSpooledPage::~AtSpooledPage() { device_.SetPageSpooledHook(nullptr); }

void Retype(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClicks(field, text);
}

QStringList ListEntries(QListWidget* list) {
  QStringList entries;
  for (int i = 0; i < list->count(); ++i) entries << list->item(i)->text();
  return entries;
}

}  // namespace zirvo::testing

#if defined(__unix__)
namespace {

// The widget tests end with threads of the toolkit (file-dialog gatherers,
// the event dispatcher's helpers) still being torn down by the kernel. The
// leak checker of the sanitizer build stops the process at exit and can
// crash on a thread that is half gone, failing a test that passed. So at
// exit the program waits until it is the only thread left (the checker's
// own handler runs after this one, as it was registered first).
int OtherThreads() {
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return 0;
  int count = -1;  // this thread
  while (const dirent* entry = readdir(tasks)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(tasks);
  return count;
}

void WaitForOtherThreads() {
  // Bounded, so that a thread that never ends cannot hold the test: 10 s.
  for (int i = 0; i < 2000 && OtherThreads() > 0; ++i) usleep(5000);
}

const bool kWaitRegistered = [] { return std::atexit(WaitForOtherThreads) == 0; }();

}  // namespace
#endif
