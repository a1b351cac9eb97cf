// Zirvo, the digital numbering machine.
#include <QApplication>

#include "base/platform.h"
#include "shell/main_window_qt.h"
#include "shell/startup_qt.h"

int main(int argc, char** argv) {
  zirvo::platform::KeepLargeBuffers();
  zirvo::SetApplicationTitle();
  QApplication app(argc, argv);
  return zirvo::RunZirvo(app);
}
