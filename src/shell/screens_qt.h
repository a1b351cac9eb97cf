// The splash screen shown while the program starts and the welcome page of
// the main window. Both show the logo and the version text.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "widgets/dialog_parts_qt.h"
#include "widgets/widgets_qt.h"

namespace zirvo {

// Splash screen: borderless, on top of every window, centred, exactly the
// size of its 602 x 302 logo panel.
class SplashScreen : public QWidget {
  Q_OBJECT
 public:
  explicit SplashScreen(QWidget* parent = nullptr);
  // Shows the window and paints it at once.
  void ShowNow();

 private:
  QLabel* message_;
  QLabel* version_;
};

// Welcome page of the main window: enters the workspace or changes the language.
class WelcomePage : public QWidget {
  Q_OBJECT
 public:
  explicit WelcomePage(QWidget* parent = nullptr);
  // Hides the start label and the language button and sets the captions.
  void InitWelcome();
  void ApplyLanguage();
  // Shows the start label and the language button.
  void ShowCommands();

 signals:
  // The start label or the language button was clicked.
  void StartRequested();
  void LanguageRequested();

 private:
  QWidget* header_;
  QWidget* titlePanel_;
  SvgPicture* logo_;
  QLabel* version_;
  QLabel* motto_;  // the program's one-line description under the logo
  QPushButton* languagesButton_;
  ClickLabel* startCommand_;
};

}  // namespace zirvo
