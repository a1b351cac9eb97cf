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

  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("Et_Titulo"));
  title_->setFixedHeight(28);
  title_->setFont(ArialFont(10, true));
  title_->setAutoFillBackground(true);
  title_->setStyleSheet(QStringLiteral("QLabel{background:%1;color:%2;}")
                            .arg(ColourName(kStripColour), ColourName(kDarkBlue)));
  layout->addWidget(title_);

  centre_ = new QWidget(this);
  centre_->setObjectName(QStringLiteral("Pn_Central"));
  auto* central = new QVBoxLayout(centre_);
  central->addStretch(2);
  central->addWidget(LogoWithVersion(centre_, logo_, version_, QSize(382, 144)));
  version_->setObjectName(QStringLiteral("Et_Version"));
  central->addStretch(3);
  layout->addWidget(centre_, 1);
}

void PresentationPage::InitPresentation() {
  centre_->setWindowTitle(QString());
  version_->setText(QString::fromLatin1(kVersionText));
  ApplyLanguage();
}

void PresentationPage::ApplyLanguage() {
  title_->setText(QStringLiteral("    ") + Text(code::kWelcomeTitle));
}

}  // namespace zirvo
