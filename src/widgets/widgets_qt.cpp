#include "widgets/widgets_qt.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitZirvoResources() { Q_INIT_RESOURCE(zirvo); }

namespace zirvo {

QColor WindowsColor(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

int32_t WindowsColorValue(const QColor& colour) {
  return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

QFont ArialFont(int pointSize, bool bold) {
  QFont font(QStringLiteral("Arial"), pointSize);
  font.setBold(bold);
  return font;
}

void SetBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

void LoadArtwork() {
  static const bool loaded = [] {
    InitZirvoResources();
    return true;
  }();
  (void)loaded;
}

QString ArtworkPath(const QString& name) {
  LoadArtwork();
  return QStringLiteral(":/zirvo/") + name + QStringLiteral(".svg");
}

QIcon ArtworkIcon(const QString& name) {
  // QIcon renders an SVG through the svg icon engine at the size and scaling asked.
  return QIcon(ArtworkPath(QStringLiteral("icons/") + name));
}

SvgPicture::SvgPicture(const QString& artwork, QWidget* parent)
    : QWidget(parent), renderer_(new QSvgRenderer(ArtworkPath(artwork), this)) {
  setAttribute(Qt::WA_TranslucentBackground);
}

QSize SvgPicture::sizeHint() const { return renderer_->defaultSize(); }

void SvgPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QSizeF size = renderer_->defaultSize();
  size.scale(QSizeF(width(), height()), Qt::KeepAspectRatio);
  const QRectF target((width() - size.width()) / 2.0, (height() - size.height()) / 2.0,
                      size.width(), size.height());
  renderer_->render(&painter, target);
}

void CentreOnScreen(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize size = window->frameGeometry().size();
  window->move(area.x() + (area.width() - size.width()) / 2,
               area.y() + (area.height() - size.height()) / 2);
}

// The logo with the version text at its lower right.
QWidget* LogoWithVersion(QWidget* parent, SvgPicture*& logo, QLabel*& version, QSize logoSize) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(14);
  logo = new SvgPicture(QStringLiteral("logo"), row);
  logo->setObjectName(QStringLiteral("Im_Logo"));
  logo->setFixedSize(logoSize);
  version = new QLabel(row);
  version->setFont(ArialFont(10, true));
  version->setStyleSheet(QStringLiteral("color:#6b7a8f;"));
  version->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  version->setContentsMargins(0, 0, 0, logoSize.height() / 8);
  layout->addStretch(1);
  layout->addWidget(logo, 0, Qt::AlignVCenter);
  layout->addWidget(version, 0, Qt::AlignBottom);
  layout->addStretch(1);
  return row;
}

}  // namespace zirvo
