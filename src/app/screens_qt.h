// The three passive screens: the splash screen shown while the program
// starts, the welcome page of the main window and the workspace's
// presentation page. All show the logo and the version text.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "app/dialog_parts_qt.h"
#include "app/widgets_qt.h"

namespace zirvo {

// The version text every screen shows.
inline constexpr char kVersionText[] = "7102";

// Splash screen: borderless, on top of every window, centred, exactly the
// size of its 602 x 302 logo panel.
class TFCaratula : public QWidget {
  Q_OBJECT
 public:
  explicit TFCaratula(QWidget* parent = nullptr);
  // Shows the window and paints it at once.
  void ShowNow();

  QLabel* Et_Mensaje;
  QLabel* REtiq_Version;
};

// Welcome page of the main window: enters the workspace or changes the language.
class TFBien : public QWidget {
  Q_OBJECT
 public:
  explicit TFBien(QWidget* parent = nullptr);
  // Hides the start label and the language button and sets the captions.
  void InitWelcome();
  void ApplyLanguage();

  QWidget* Pn_Cabecera;
  QWidget* Pn_Titulo;
  SvgPicture* Im_Logo;
  QLabel* REtiq_Version;
  // The program's one-line description under the logo.
  QLabel* Et_Lema;
  QPushButton* Bt_Idiomas;
  ClickLabel* Et_Iniciar;
};

// Presentation page of the workspace, current while no editor page is.
class TFHPresenta : public QWidget {
  Q_OBJECT
 public:
  explicit TFHPresenta(QWidget* parent = nullptr);
  void InitPresentation();
  void ApplyLanguage();

  QLabel* Et_Titulo;
  QWidget* Pn_Central;
  SvgPicture* Im_Logo;
  QLabel* Et_Version;
};

}  // namespace zirvo
