#include "shell/startup_qt.h"

#include <memory>

#include "base/helpers.h"
#include "catalog/catalog.h"
#include "shell/main_window_qt.h"
#include "widgets/confirm_dialog_qt.h"
#include "widgets/general_dialogs_qt.h"
#include "widgets/wait_qt.h"
#include "widgets/widgets_qt.h"
#include "workspace/sheet_size_dialog_qt.h"

namespace zirvo {

int RunZirvo(QApplication& app, const StartupObserver& observer) {
  SetApplicationTitle();
  // Shared modules, each once: folders, message catalog (reads the language).
  // A user's own data folder is made on the first start; should that fail,
  // the program runs on as it does with a read-only folder.
  ApplicationFolder();
  PrepareDataFolder();
  ProgramCatalog();
  ApplyToolkitLanguage();
  LoadArtwork();

  auto splash = std::make_unique<SplashScreen>();
  splash->ShowNow();
  WaitMs(kSplashMilliseconds);

  MainWindow mainWindow;
  SheetSizeDialog sheetSizeDialog(&mainWindow);
  mainWindow.Workspace().SetSheetSizeDialog(&sheetSizeDialog);
  TheIncrementDialog();
  TheDisplacementDialog();
  TheConfirmDialog();
  splash.reset();

  CentreOnScreen(&mainWindow);
  mainWindow.show();
  if (observer.mainWindowShown) observer.mainWindowShown(mainWindow);
  return app.exec();
}

}  // namespace zirvo
