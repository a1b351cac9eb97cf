// The program's start: shared modules, the splash screen, the main window and
// the dialogs that live as long as the program, then the event loop.
#pragma once

#include <QApplication>
#include <functional>

namespace zirvo {

class MainWindow;

struct StartupObserver {
  // Called right after the main window is shown, before the event loop runs.
  std::function<void(MainWindow&)> mainWindowShown;
};

// Runs the program until the main window closes; returns the exit code.
int RunZirvo(QApplication& app, const StartupObserver& observer = {});

// How long the splash screen stays.
inline constexpr int kSplashMilliseconds = 3000;

}  // namespace zirvo
