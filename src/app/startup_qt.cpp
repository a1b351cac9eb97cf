#include "app/startup_qt.h"

#include <QMessageBox>
#include <memory>

#include "app/helpers.h"
#include "app/main_window_qt.h"
#include "app/qtext_qt.h"
#include "app/wait_qt.h"
#include "app/widgets_qt.h"
#include "catalog/catalog.h"
#include "template/sheet_size_dialog_qt.h"

namespace zirvo {
namespace {

// The confirmation dialog of the editors' frames takes over this role when
// it is plugged in; until then the questions go through a message box with
// the same title line.
int InterimConfirm(QWidget* parent, int mode) {
  const char* title = nullptr;
  switch (mode) {
    case 6: title = "0103"; break;
    case 7: title = "0101"; break;
    case 8: title = "0102"; break;
    case 12: title = "0171"; break;
    case 13: title = "0174"; break;
    default: return 0;
  }
  QMessageBox box(QMessageBox::Question, parent->windowTitle(), ToQString(LookupText(title)),
                  QMessageBox::Ok | QMessageBox::Cancel, parent);
  return box.exec() == QMessageBox::Ok ? -1 : 1;
}

}  // namespace

int RunZirvo(QApplication& app, const StartupObserver& observer) {
  SetApplicationTitle();
  // Shared modules, each once: folders, message catalog (reads the language).
  ApplicationFolder();
  Catalog();
  ApplyToolkitLanguage();
  LoadArtwork();

  auto splash = std::make_unique<TFCaratula>();
  splash->ShowNow();
  WaitMs(kSplashMilliseconds);

  TFPrincipal FPrincipal;
  TFNuevo FNuevo(&FPrincipal);
  FPrincipal.FImpLibre01->SetSheetSizeDialog(&FNuevo);
  FPrincipal.SetConfirm([&FPrincipal](int mode) { return InterimConfirm(&FPrincipal, mode); });
  splash.reset();

  CentreOnScreen(&FPrincipal);
  FPrincipal.show();
  if (observer.mainWindowShown) observer.mainWindowShown(FPrincipal);
  return app.exec();
}

}  // namespace zirvo
