#include "workspace/presentation_page_qt.h"

#include <QVBoxLayout>

#include "base/qtext_qt.h"
#include "catalog/catalog.h"
#include "catalog/message_codes.h"

namespace zirvo {
namespace {

QString Text(const char* code) { return ToQString(LookupText(code)); }

QString ColourName(int32_t windowsColour) { return WindowsColor(windowsColour).name(); }

}  // namespace

PresentationPage::PresentationPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FHPresenta01"));
  SetBackground(this, Qt::white);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  Et_Titulo = new QLabel(this);
  Et_Titulo->setObjectName(QStringLiteral("Et_Titulo"));
  Et_Titulo->setFixedHeight(28);
  Et_Titulo->setFont(ArialFont(10, true));
  Et_Titulo->setAutoFillBackground(true);
  Et_Titulo->setStyleSheet(QStringLiteral("QLabel{background:%1;color:%2;}")
                               .arg(ColourName(kStripColour), ColourName(kDarkBlue)));
  layout->addWidget(Et_Titulo);

  Pn_Central = new QWidget(this);
  Pn_Central->setObjectName(QStringLiteral("Pn_Central"));
  auto* central = new QVBoxLayout(Pn_Central);
  central->addStretch(2);
  central->addWidget(LogoWithVersion(Pn_Central, Im_Logo, Et_Version, QSize(382, 144)));
  central->addStretch(3);
  layout->addWidget(Pn_Central, 1);
}

void PresentationPage::InitPresentation() {
  Pn_Central->setWindowTitle(QString());
  Et_Version->setText(QString::fromLatin1(kVersionText));
  ApplyLanguage();
}

void PresentationPage::ApplyLanguage() {
  Et_Titulo->setText(QStringLiteral("    ") + Text(code::kWelcomeTitle));
}

}  // namespace zirvo
