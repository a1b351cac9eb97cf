#include "widgets/wait_qt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace zirvo {

void WaitMs(uint32_t milliseconds) {
  QElapsedTimer clock;
  clock.start();
  QCoreApplication::processEvents();
  // A nested event loop handles paints, clicks and timers while it sleeps
  // until the rest of the wait has passed, without spinning the processor.
  for (qint64 left = milliseconds - clock.elapsed(); left > 0;
       left = milliseconds - clock.elapsed()) {
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
  // What came due while the wait ended (or while the process was held up
  // before its first loop) is handled too.
  QCoreApplication::processEvents();
}

}  // namespace zirvo
