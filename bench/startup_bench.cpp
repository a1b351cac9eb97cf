// Start-up time of the program: from the entry of the process to the main
// window shown, through the same start as the program (splash included).
// Prints the time and, for an outside clock, the moment the window showed in
// milliseconds since the epoch.
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "shell/main_window_qt.h"
#include "shell/startup_qt.h"

int main(int argc, char** argv) {
  QElapsedTimer sinceEntry;
  sinceEntry.start();
  zirvo::SetApplicationTitle();
  QApplication app(argc, argv);
  zirvo::StartupObserver observer;
  observer.mainWindowShown = [&](zirvo::MainWindow& window) {
    const qint64 shown = sinceEntry.elapsed();
    std::printf("main window shown %lld ms after entry (splash %d ms); epoch ms %lld; size %dx%d\n",
                static_cast<long long>(shown), zirvo::kSplashMilliseconds,
                static_cast<long long>(QDateTime::currentMSecsSinceEpoch()), window.width(),
                window.height());
    std::fflush(stdout);
    QTimer::singleShot(0, &window, [&window] {
      window.SetConfirm([](zirvo::ConfirmQuestion) { return zirvo::ConfirmAnswer::Yes; });
      window.close();
    });
  };
  return zirvo::RunZirvo(app, observer);
}
