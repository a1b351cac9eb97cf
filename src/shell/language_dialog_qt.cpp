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

const char* const LanguageDialog::kLanguages[2] = {"Espa\xf1ol", "English"};

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

  Pn_Titulo = new TitleBand(panel);
  Pn_Titulo->setObjectName(QStringLiteral("Pn_Titulo"));
  Pn_Titulo->setGeometry(0, 0, inner, 24);
  SetBackground(Pn_Titulo, WindowsColor(kStripColour));
  auto* caption = new QLabel(QStringLiteral("  Zirvo"), Pn_Titulo);
  caption->setGeometry(0, 0, 200, 24);
  caption->setFont(ArialFont(9, true));
  caption->setStyleSheet(QStringLiteral("color:%1;").arg(WindowsColor(kDarkBlue).name()));
  caption->setAttribute(Qt::WA_TransparentForMouseEvents);
  Bt_Cerrar = new ClickLabel(Pn_Titulo);
  Bt_Cerrar->setObjectName(QStringLiteral("Bt_Cerrar"));
  Bt_Cerrar->setFont(ArialFont(9, true));
  Bt_Cerrar->setCursor(Qt::PointingHandCursor);
  Bt_Cerrar->setStyleSheet(
      QStringLiteral("QLabel{color:%1;}QLabel:hover{background:#c0392b;color:#ffffff;}")
          .arg(WindowsColor(kDarkBlue).name()));
  Bt_Cerrar->setText(QStringLiteral("   ") + text(code::kCloseButton) + QStringLiteral("   "));
  Bt_Cerrar->adjustSize();
  Bt_Cerrar->setGeometry(inner - Bt_Cerrar->width(), 0, Bt_Cerrar->width(), 24);

  auto* emblem = new SvgPicture(QStringLiteral("emblem"), panel);
  emblem->setGeometry(28, 48, 64, 64);

  Et_Idioma = new QLabel(panel);
  Et_Idioma->setObjectName(QStringLiteral("Et_Idioma"));
  Et_Idioma->setGeometry(112, 46, inner - 140, 40);
  Et_Idioma->setFont(ArialFont(22, true));
  Et_Idioma->setStyleSheet(QStringLiteral("color:#1b365d;"));
  Et_Idioma->setText(text(code::kLanguageTitle));

  Et_DesIdioma = new QLabel(panel);
  Et_DesIdioma->setObjectName(QStringLiteral("Et_DesIdioma"));
  Et_DesIdioma->setGeometry(112, 88, inner - 140, 36);
  Et_DesIdioma->setWordWrap(true);
  Et_DesIdioma->setFont(ArialFont(10));
  Et_DesIdioma->setStyleSheet(QStringLiteral("color:#3a4b61;"));
  Et_DesIdioma->setText(text(code::kSelectLanguagePrompt));

  auto* rule = new QWidget(panel);
  rule->setGeometry(28, 138, inner - 56, 1);
  SetBackground(rule, QColor(0xd6, 0xde, 0xeb));

  Et_Idiomas = new QLabel(panel);
  Et_Idiomas->setObjectName(QStringLiteral("Et_Idiomas"));
  Et_Idiomas->setGeometry(28, 166, 170, 26);
  Et_Idiomas->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Et_Idiomas->setFont(ArialFont(10, true));
  Et_Idiomas->setText(text(code::kLanguagesLabel));

  // Only the two entries of the list can be chosen; nothing can be typed.
  Ed_Idioma = new QComboBox(panel);
  Ed_Idioma->setObjectName(QStringLiteral("Ed_Idioma"));
  Ed_Idioma->setEditable(false);
  Ed_Idioma->setGeometry(212, 166, 200, 26);
  Ed_Idioma->setFont(ArialFont(10));
  for (const char* language : kLanguages) Ed_Idioma->addItem(ToQString(language));
  // The list opens on the language in force, so that what is shown is what
  // confirming keeps.
  Ed_Idioma->setCurrentIndex(catalog.English() ? 1 : 0);
  connect(Ed_Idioma, &QComboBox::currentIndexChanged, this, [](int index) {
    if (index >= 0) PendingChoice() = ZeroPad(FormatInt(index + 1), 6);
  });

  auto* buttons = new QWidget(panel);
  buttons->setGeometry(0, kHeight - 2 - 44, inner, 44);
  SetBackground(buttons, WindowsColor(kStripColour));
  Bt_Aceptar = ButtonLabel(buttons, "Bt_Aceptar");
  Bt_Aceptar->setText(text(code::kOkButton));
  Bt_Aceptar->setGeometry(inner - 2 * 104 - 12, 11, 96, 22);
  Bt_Cancelar = ButtonLabel(buttons, "Bt_Cancelar");
  Bt_Cancelar->setText(text(code::kCancelButton));
  Bt_Cancelar->setGeometry(inner - 104 - 4, 11, 96, 22);
  connect(Bt_Aceptar, &ClickLabel::clicked, this, &QDialog::accept);
  connect(Bt_Cancelar, &ClickLabel::clicked, this, &QDialog::reject);
  connect(Bt_Cerrar, &ClickLabel::clicked, this, &QDialog::reject);
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
