// Small widgets and helpers the program's screens share: colours given as
// Windows RGB numbers, pictures drawn from the SVG artwork at any scaling,
// clickable labels and borderless windows moved by their title area.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <cstdint>

class QSvgRenderer;

namespace zirvo {

// A colour stored as a decimal number with red in the lowest byte.
QColor WindowsColor(int32_t value);
// "Arial" (Liberation Sans on Linux) in points, optionally bold.
QFont ArialFont(int pointSize, bool bold = false);
// Fills the widget's background with a colour.
void SetBackground(QWidget* widget, const QColor& colour);

// Makes the program's artwork (logo, splash picture, command icons) available.
void LoadArtwork();
// An icon from resources/icons/<name>.svg.
QIcon ArtworkIcon(const QString& name);
// ":/zirvo/<name>.svg"
QString ArtworkPath(const QString& name);

// A picture drawn from an SVG file, scaled to the widget keeping its aspect
// ratio and centred, so it stays sharp at every display scaling.
class SvgPicture : public QWidget {
  Q_OBJECT
 public:
  explicit SvgPicture(const QString& artwork, QWidget* parent = nullptr);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QSvgRenderer* renderer_;
};

// A label that reports clicks of the left mouse button.
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickLabel(QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

// Moves the top-level window of `handle` while the user drags `handle` with
// the left mouse button; installed as an event filter on the handle.
class WindowDragger : public QObject {
  Q_OBJECT
 public:
  explicit WindowDragger(QWidget* handle);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* handle_;
  QPoint grab_;
  bool dragging_ = false;
};

// Centres a top-level window on the screen it will show on.
void CentreOnScreen(QWidget* window);

}  // namespace zirvo
