#include "shell/screens_qt.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"

namespace zirvo {
namespace {

QString Text(const char* code) { return ToQString(LookupText(code)); }

QString ColourName(int32_t windowsColour) { return WindowsColor(windowsColour).name(); }

}  // namespace

// ---------------------------------------------------------------- splash

SplashScreen::SplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("FCaratula"));
  setWindowTitle(QStringLiteral("Zirvo[W]"));
  // The logo panel: a one-pixel black frame round the 600 x 300 picture.
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("Pn_Bas_Logo"));
  panel->setGeometry(0, 0, 602, 302);
  SetBackground(panel, Qt::black);
  auto* picture = new SvgPicture(QStringLiteral("splash"), panel);
  picture->setObjectName(QStringLiteral("Im_Fondo"));
  picture->setGeometry(1, 1, 600, 300);

  Et_Mensaje = new QLabel(picture);
  Et_Mensaje->setObjectName(QStringLiteral("Et_Mensaje"));
  Et_Mensaje->setGeometry(24, 222, 552, 24);
  Et_Mensaje->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Et_Mensaje->setFont(ArialFont(11, true));
  Et_Mensaje->setStyleSheet(QStringLiteral("color:#ffffff;"));
  Et_Mensaje->setText(Text(code::kVerifyingSystemStatus));

  REtiq_Version = new QLabel(picture);
  REtiq_Version->setObjectName(QStringLiteral("REtiq_Version"));
  REtiq_Version->setGeometry(24, 248, 552, 20);
  REtiq_Version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  REtiq_Version->setFont(ArialFont(9, true));
  REtiq_Version->setStyleSheet(QStringLiteral("color:#9cc2ec;"));
  REtiq_Version->setText(QString::fromLatin1(kVersionText));

  setFixedSize(panel->size());
}

void SplashScreen::ShowNow() {
  CentreOnScreen(this);
  show();
  raise();
  repaint();
  QApplication::processEvents();
}

// ---------------------------------------------------------------- welcome

WelcomePage::WelcomePage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FBien"));
  SetBackground(this, Qt::white);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  Pn_Cabecera = new QWidget(this);
  Pn_Cabecera->setObjectName(QStringLiteral("Pn_Cabecera"));
  Pn_Cabecera->setFixedHeight(44);
  SetBackground(Pn_Cabecera, QColor(0x1b, 0x36, 0x5d));
  auto* header = new QHBoxLayout(Pn_Cabecera);
  header->setContentsMargins(12, 0, 12, 0);
  auto* emblem = new SvgPicture(QStringLiteral("emblem"), Pn_Cabecera);
  emblem->setFixedSize(26, 26);
  auto* product = new QLabel(QStringLiteral("Zirvo"), Pn_Cabecera);
  product->setFont(ArialFont(12, true));
  product->setStyleSheet(QStringLiteral("color:#ffffff;"));
  Bt_Idiomas = new QPushButton(Pn_Cabecera);
  Bt_Idiomas->setObjectName(QStringLiteral("Bt_Idiomas"));
  Bt_Idiomas->setCursor(Qt::PointingHandCursor);
  Bt_Idiomas->setFont(ArialFont(9, true));
  Bt_Idiomas->setMinimumWidth(96);
  Bt_Idiomas->setFixedHeight(26);
  Bt_Idiomas->setStyleSheet(QStringLiteral(
      "QPushButton{color:#ffffff;background:transparent;border:1px solid #8fb3dc;"
      "border-radius:3px;padding:0 14px;}"
      "QPushButton:hover{background:#2f5a8f;}QPushButton:pressed{background:#10233f;}"));
  header->addWidget(emblem);
  header->addSpacing(4);
  header->addWidget(product);
  header->addStretch(1);
  header->addWidget(Bt_Idiomas);
  layout->addWidget(Pn_Cabecera);

  Pn_Titulo = new QWidget(this);
  Pn_Titulo->setObjectName(QStringLiteral("Pn_Titulo"));
  Pn_Titulo->setFixedHeight(34);
  SetBackground(Pn_Titulo, WindowsColor(kStripColour));
  Et_Iniciar = new ClickLabel(Pn_Titulo);
  Et_Iniciar->setObjectName(QStringLiteral("Et_Iniciar"));
  Et_Iniciar->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Et_Iniciar->setFont(ArialFont(11, true));
  Et_Iniciar->setCursor(Qt::PointingHandCursor);
  Et_Iniciar->setStyleSheet(
      QStringLiteral("QLabel{color:%1;}QLabel:hover{color:#c0392b;}").arg(ColourName(kDarkBlue)));
  layout->addWidget(Pn_Titulo);

  layout->addStretch(3);
  layout->addWidget(LogoWithVersion(this, Im_Logo, REtiq_Version, QSize(425, 160)));
  layout->addSpacing(18);
  Et_Lema = new QLabel(this);
  Et_Lema->setObjectName(QStringLiteral("Et_Lema"));
  Et_Lema->setAlignment(Qt::AlignCenter);
  Et_Lema->setFont(ArialFont(13));
  Et_Lema->setStyleSheet(QStringLiteral("color:#5d6b7e;"));
  layout->addWidget(Et_Lema);
  layout->addStretch(4);

  auto* footer = new QWidget(this);
  footer->setFixedHeight(6);
  SetBackground(footer, QColor(0xe8, 0x95, 0x2a));
  layout->addWidget(footer);
}

void WelcomePage::InitWelcome() {
  Et_Iniciar->hide();
  Bt_Idiomas->hide();
  Et_Iniciar->move(10, 0);
  REtiq_Version->setText(QString::fromLatin1(kVersionText));
  ApplyLanguage();
}

void WelcomePage::ApplyLanguage() {
  Et_Iniciar->setText(Text(code::kStartButton));
  Et_Iniciar->adjustSize();
  Et_Iniciar->setFixedHeight(Pn_Titulo->height());
  Bt_Idiomas->setText(Text(code::kLanguageButton));
  Et_Lema->setText(Text(code::kWelcomeSlogan));
}

}  // namespace zirvo
