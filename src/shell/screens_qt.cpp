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

  message_ = new QLabel(picture);
  message_->setObjectName(QStringLiteral("Et_Mensaje"));
  message_->setGeometry(24, 222, 552, 24);
  message_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  message_->setFont(ArialFont(11, true));
  message_->setStyleSheet(QStringLiteral("color:#ffffff;"));
  message_->setText(Text(code::kVerifyingSystemStatus));

  version_ = new QLabel(picture);
  version_->setObjectName(QStringLiteral("REtiq_Version"));
  version_->setGeometry(24, 248, 552, 20);
  version_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  version_->setFont(ArialFont(9, true));
  version_->setStyleSheet(QStringLiteral("color:#9cc2ec;"));
  version_->setText(QString::fromLatin1(kVersionText));

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

  header_ = new QWidget(this);
  header_->setObjectName(QStringLiteral("Pn_Cabecera"));
  header_->setFixedHeight(44);
  SetBackground(header_, QColor(0x1b, 0x36, 0x5d));
  auto* header = new QHBoxLayout(header_);
  header->setContentsMargins(12, 0, 12, 0);
  auto* emblem = new SvgPicture(QStringLiteral("emblem"), header_);
  emblem->setFixedSize(26, 26);
  auto* product = new QLabel(QStringLiteral("Zirvo"), header_);
  product->setFont(ArialFont(12, true));
  product->setStyleSheet(QStringLiteral("color:#ffffff;"));
  languagesButton_ = new QPushButton(header_);
  languagesButton_->setObjectName(QStringLiteral("Bt_Idiomas"));
  connect(languagesButton_, &QPushButton::clicked, this, &WelcomePage::LanguageRequested);
  languagesButton_->setCursor(Qt::PointingHandCursor);
  languagesButton_->setFont(ArialFont(9, true));
  languagesButton_->setMinimumWidth(96);
  languagesButton_->setFixedHeight(26);
  languagesButton_->setStyleSheet(QStringLiteral(
      "QPushButton{color:#ffffff;background:transparent;border:1px solid #8fb3dc;"
      "border-radius:3px;padding:0 14px;}"
      "QPushButton:hover{background:#2f5a8f;}QPushButton:pressed{background:#10233f;}"));
  header->addWidget(emblem);
  header->addSpacing(4);
  header->addWidget(product);
  header->addStretch(1);
  header->addWidget(languagesButton_);
  layout->addWidget(header_);

  titlePanel_ = new QWidget(this);
  titlePanel_->setObjectName(QStringLiteral("Pn_Titulo"));
  titlePanel_->setFixedHeight(34);
  SetBackground(titlePanel_, WindowsColor(kStripColour));
  startCommand_ = new ClickLabel(titlePanel_);
  startCommand_->setObjectName(QStringLiteral("Et_Iniciar"));
  connect(startCommand_, &ClickLabel::clicked, this, &WelcomePage::StartRequested);
  startCommand_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  startCommand_->setFont(ArialFont(11, true));
  startCommand_->setCursor(Qt::PointingHandCursor);
  startCommand_->setStyleSheet(
      QStringLiteral("QLabel{color:%1;}QLabel:hover{color:#c0392b;}").arg(ColourName(kDarkBlue)));
  layout->addWidget(titlePanel_);

  layout->addStretch(3);
  layout->addWidget(LogoWithVersion(this, logo_, version_, QSize(425, 160)));
  version_->setObjectName(QStringLiteral("REtiq_Version"));
  layout->addSpacing(18);
  motto_ = new QLabel(this);
  motto_->setObjectName(QStringLiteral("Et_Lema"));
  motto_->setAlignment(Qt::AlignCenter);
  motto_->setFont(ArialFont(13));
  motto_->setStyleSheet(QStringLiteral("color:#5d6b7e;"));
  layout->addWidget(motto_);
  layout->addStretch(4);

  auto* footer = new QWidget(this);
  footer->setFixedHeight(6);
  SetBackground(footer, QColor(0xe8, 0x95, 0x2a));
  layout->addWidget(footer);
}

void WelcomePage::ShowCommands() {
  startCommand_->show();
  languagesButton_->show();
}

void WelcomePage::InitWelcome() {
  startCommand_->hide();
  languagesButton_->hide();
  startCommand_->move(10, 0);
  version_->setText(QString::fromLatin1(kVersionText));
  ApplyLanguage();
}

void WelcomePage::ApplyLanguage() {
  startCommand_->setText(Text(code::kStartButton));
  startCommand_->adjustSize();
  startCommand_->setFixedHeight(titlePanel_->height());
  languagesButton_->setText(Text(code::kLanguageButton));
  motto_->setText(Text(code::kWelcomeSlogan));
}

}  // namespace zirvo
