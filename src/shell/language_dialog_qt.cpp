#include "shell/language_dialog_qt.h"

#include <memory>

#include "base/helpers.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/message_codes.h"
#include "widgets/widgets_qt.h"

namespace zirvo {
namespace {

constexpr int kWidth = 518;
constexpr int kHeight = 294;

std::string& PendingChoice() {
  static std::string choice;
  return choice;
}

ClickLabel* ButtonLabel(QWidget* parent, const char* name) {
  auto* label = new ClickLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setAlignment(Qt::AlignCenter);
  label->setCursor(Qt::PointingHandCursor);
  label->setFont(ArialFont(9, true));
  label->setStyleSheet(QStringLiteral(
      "QLabel{background:#ffffff;color:#1b365d;border:1px solid #7f8fa6;border-radius:2px;}"
      "QLabel:hover{background:#eaf2fc;border-color:#2f6db5;}"));
  return label;
}

}  // namespace

const char* const LanguageDialog::kLanguages[2] = {"Español", "English"};

LanguageDialog::LanguageDialog(const Catalog& catalog, QWidget* parent)
    : BorderlessDialog(parent, /*stayOnTop=*/true) {
  setObjectName(QStringLiteral("FIdioma"));
  setFixedSize(kWidth, kHeight);
  SetBackground(this, Qt::black);
  const auto text = [&](const char* code) { return ToQString(catalog.LookupText(code)); };

  auto* panel = new QWidget(this);
  panel->setGeometry(1, 1, kWidth - 2, kHeight - 2);
  SetBackground(panel, Qt::white);
  const int inner = kWidth - 2;

  title_ = new TitleBand(panel);
  title_->setObjectName(QStringLiteral("Pn_Titulo"));
  title_->setGeometry(0, 0, inner, 24);
  SetBackground(title_, WindowsColor(kStripColour));
  auto* caption = new QLabel(QStringLiteral("  Zirvo"), title_);
  caption->setGeometry(0, 0, 200, 24);
  caption->setFont(ArialFont(9, true));
  caption->setStyleSheet(QStringLiteral("color:%1;").arg(WindowsColor(kDarkBlue).name()));
  caption->setAttribute(Qt::WA_TransparentForMouseEvents);
  closeCommand_ = new ClickLabel(title_);
  closeCommand_->setObjectName(QStringLiteral("Bt_Cerrar"));
  closeCommand_->setFont(ArialFont(9, true));
  closeCommand_->setCursor(Qt::PointingHandCursor);
  closeCommand_->setStyleSheet(
      QStringLiteral("QLabel{color:%1;}QLabel:hover{background:#c0392b;color:#ffffff;}")
          .arg(WindowsColor(kDarkBlue).name()));
  closeCommand_->setText(QStringLiteral("   ") + text(code::kCloseButton) + QStringLiteral("   "));
  closeCommand_->adjustSize();
  closeCommand_->setGeometry(inner - closeCommand_->width(), 0, closeCommand_->width(), 24);

  auto* emblem = new SvgPicture(QStringLiteral("emblem"), panel);
  emblem->setGeometry(28, 48, 64, 64);

  languageLabel_ = new QLabel(panel);
  languageLabel_->setObjectName(QStringLiteral("Et_Idioma"));
  languageLabel_->setGeometry(112, 46, inner - 140, 40);
  languageLabel_->setFont(ArialFont(22, true));
  languageLabel_->setStyleSheet(QStringLiteral("color:#1b365d;"));
  languageLabel_->setText(text(code::kLanguageTitle));

  languageDescription_ = new QLabel(panel);
  languageDescription_->setObjectName(QStringLiteral("Et_DesIdioma"));
  languageDescription_->setGeometry(112, 88, inner - 140, 36);
  languageDescription_->setWordWrap(true);
  languageDescription_->setFont(ArialFont(10));
  languageDescription_->setStyleSheet(QStringLiteral("color:#3a4b61;"));
  languageDescription_->setText(text(code::kSelectLanguagePrompt));

  auto* rule = new QWidget(panel);
  rule->setGeometry(28, 138, inner - 56, 1);
  SetBackground(rule, QColor(0xd6, 0xde, 0xeb));

  languagesLabel_ = new QLabel(panel);
  languagesLabel_->setObjectName(QStringLiteral("Et_Idiomas"));
  languagesLabel_->setGeometry(28, 166, 170, 26);
  languagesLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  languagesLabel_->setFont(ArialFont(10, true));
  languagesLabel_->setText(text(code::kLanguagesLabel));

  // Only the two entries of the list can be chosen; nothing can be typed.
  languageBox_ = new QComboBox(panel);
  languageBox_->setObjectName(QStringLiteral("Ed_Idioma"));
  languageBox_->setEditable(false);
  languageBox_->setGeometry(212, 166, 200, 26);
  languageBox_->setFont(ArialFont(10));
  for (const char* language : kLanguages) languageBox_->addItem(ToQString(language));
  // The list opens on the language in force, so that what is shown is what
  // confirming keeps.
  languageBox_->setCurrentIndex(catalog.English() ? 1 : 0);
  connect(languageBox_, &QComboBox::currentIndexChanged, this, [](int index) {
    if (index >= 0) PendingChoice() = ZeroPad(FormatInt(index + 1), 6);
  });

  auto* buttons = new QWidget(panel);
  buttons->setGeometry(0, kHeight - 2 - 44, inner, 44);
  SetBackground(buttons, WindowsColor(kStripColour));
  acceptCommand_ = ButtonLabel(buttons, "Bt_Aceptar");
  acceptCommand_->setText(text(code::kOkButton));
  acceptCommand_->setGeometry(inner - 2 * 104 - 12, 11, 96, 22);
  cancelCommand_ = ButtonLabel(buttons, "Bt_Cancelar");
  cancelCommand_->setText(text(code::kCancelButton));
  cancelCommand_->setGeometry(inner - 104 - 4, 11, 96, 22);
  connect(acceptCommand_, &ClickLabel::clicked, this, &QDialog::accept);
  connect(cancelCommand_, &ClickLabel::clicked, this, &QDialog::reject);
  connect(closeCommand_, &ClickLabel::clicked, this, &QDialog::reject);
}

const std::string& PendingLanguageChoice() { return PendingChoice(); }

LanguageResult ChangeLanguage(Catalog& catalog, QWidget* parent) {
  try {
    // The pending choice starts from the language in force, as the list does.
    PendingChoice() = catalog.LanguageCode();
    auto dialog = std::make_unique<LanguageDialog>(catalog, parent);
    if (dialog->exec() != QDialog::Accepted) {
      PendingChoice() = catalog.LanguageCode();
      return LanguageResult::Cancelled;
    }
    const std::string chosen = Trim(PendingChoice());
    const int32_t language = ParseInt32(chosen);
    if (language == ParseInt32(Trim(catalog.LanguageCode()))) return LanguageResult::Unchanged;
    catalog.SetLanguageCode(chosen);
    catalog.LoadTable(language);
    catalog.WriteLanguage(language);
    return LanguageResult::Changed;
  } catch (const std::exception&) {
    return LanguageResult::Failed;
  }
}

}  // namespace zirvo
