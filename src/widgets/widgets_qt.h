// Small widgets and helpers the program's screens share: colours given as
// Windows RGB numbers and pictures drawn from the SVG artwork at any scaling.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>
#include <QWidget>
#include <cstdint>

class QLabel;
class QSize;
class QSvgRenderer;

namespace zirvo {

// The program's two house colours, as stored colour numbers.
constexpr int32_t kStripColour = 15458262;  // light blue-grey of title strips and bars
constexpr int32_t kDarkBlue = 10040064;     // captions, rules and the template's name

// A colour stored as a decimal number with red in the lowest byte.
QColor WindowsColor(int32_t value);
// The stored number of a colour: red in the lowest byte.
int32_t WindowsColorValue(const QColor& colour);
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

// A picture drawn from an SVG file, scaled to the widget keeping its
// proportions and centred, so it stays sharp at every display scaling.
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

// Centres a top-level window on the screen it will show on.
void CentreOnScreen(QWidget* window);

// The version text every screen shows.
inline constexpr char kVersionText[] = "7102";

class SvgPicture;
// A row holding the logo at `logoSize` with the version text at its lower
// right; `logo` and `version` receive the two widgets.
QWidget* LogoWithVersion(QWidget* parent, SvgPicture*& logo, QLabel*& version, QSize logoSize);

}  // namespace zirvo
