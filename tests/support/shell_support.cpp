#include "support/shell_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

namespace zirvo::uitest {
namespace {

int& PendingAnswers() {
  static int pending = 0;
  return pending;
}

}  // namespace

AppFolder::AppFolder() : folders_(QFile::encodeName(dir_.path()).toStdString()) {
  QDir(dir_.path()).mkpath(QStringLiteral("Datos"));
}

std::string AppFolder::DataFile(const std::string& name) const {
  return QFile::encodeName(DataPath(QString::fromStdString(name))).toStdString();
}

QString AppFolder::DataPath(const QString& name) const {
  return dir_.path() + QStringLiteral("/Datos/") + name;
}

void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs) {
  ++PendingAnswers();
  auto* timer = new QTimer(qApp);
  auto* waited = new int(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, waited, answer, timeoutMs] {
    // Answered once it is the active window: offscreen, the activation of a
    // window arrives later than its showing, and a dialog closed before then
    // would become active afterwards, hidden, taking the keys typed next.
    QWidget* modal = QApplication::activeModalWidget();
    *waited += 10;
    if (modal == nullptr || !modal->isVisible() || !modal->isActiveWindow()) {
      if (*waited > timeoutMs) {
        timer->stop();
        timer->deleteLater();
        delete waited;
        qWarning("no modal window appeared");
      }
      return;
    }
    timer->stop();
    timer->deleteLater();
    delete waited;
    --PendingAnswers();
    answer(modal);
  });
  timer->start(10);
}

bool AllModalsAnswered() { return PendingAnswers() == 0; }

void AcceptNextModal() {
  AnswerNextModal([](QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->accept();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->accept();
    }
  });
}

void RejectNextModal() {
  AnswerNextModal([](QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  });
}

void SaveScreenshot(QWidget* widget, const QString& name) {
  const QString folder = QStringLiteral(ZIRVO_BUILD_DIR "/screenshots");
  QDir().mkpath(folder);
  // Layouts settle through posted events.
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace zirvo::uitest
