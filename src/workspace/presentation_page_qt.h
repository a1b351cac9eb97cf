// The workspace's presentation page: the logo and the version text, current
// while no editor page is.
#pragma once

#include <QLabel>
#include <QWidget>

#include "widgets/widgets_qt.h"

namespace zirvo {

// Presentation page of the workspace, current while no editor page is.
class PresentationPage : public QWidget {
  Q_OBJECT
 public:
  explicit PresentationPage(QWidget* parent = nullptr);
  void InitPresentation();
  void ApplyLanguage();

 private:
  QLabel* title_;
  QWidget* centre_;
  SvgPicture* logo_;
  QLabel* version_;
};

}  // namespace zirvo
