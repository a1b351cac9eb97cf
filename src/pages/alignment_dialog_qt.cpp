#include "pages/alignment_dialog_qt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <array>
#include <string>

#include "base/messages.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "widgets/dialog_parts_qt.h"

namespace zirvo {
namespace {

constexpr double kCmPerInch = 2.54;

// A pair of fields for x and y, named `name` + "X" and "Y".
struct PairFields {
  QLineEdit* x;
  QLineEdit* y;
};

PairFields AddPair(QFormLayout& form, QWidget* parent, const QString& label, const QString& name,
                   double x, double y, int decimals) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  PairFields fields{new QLineEdit(row), new QLineEdit(row)};
  fields.x->setObjectName(name + "X");
  fields.y->setObjectName(name + "Y");
  fields.x->setText(ToQString(FormatFixed(x, decimals)));
  fields.y->setText(ToQString(FormatFixed(y, decimals)));
  for (QLineEdit* edit : {fields.x, fields.y}) {
    InstallKeyFilter(edit, edit, KeyFilterKind::Real);
    layout->addWidget(edit);
  }
  form.addRow(label, row);
  return fields;
}

double ValueOf(const QLineEdit* edit) { return ParseDouble(Trim(FromQString(edit->text()))); }

}  // namespace

std::optional<BackgroundAlignment> EffectiveAlignment(const Template& doc) {
  if (doc.Alignment()) return doc.Alignment();
  const BackgroundImage& image = doc.Background();
  const double width = doc.Header().Width;
  const double height = doc.Header().Height;
  if (!image.Present() || image.bitmap->Empty() || width <= 0.0 || height <= 0.0)
    return std::nullopt;
  return BackgroundAlignment{0.0, 0.0, image.bitmap->Width() / (width / kCmPerInch),
                             image.bitmap->Height() / (height / kCmPerInch)};
}

void AskBackgroundAlignment(QWidget* parent, Template& doc) {
  const BackgroundAlignment shown =
      EffectiveAlignment(doc).value_or(BackgroundAlignment{0.0, 0.0, 150.0, 150.0});
  QDialog dialog(parent);
  dialog.setObjectName("AlignmentDialog");
  dialog.setWindowTitle(ToQString(OwnText(OwnMessage::AlignBackground)));
  auto* layout = new QVBoxLayout(&dialog);
  auto* tabs = new QTabWidget(&dialog);
  tabs->setObjectName("AlignmentWays");
  layout->addWidget(tabs);

  auto* byOffset = new QWidget(tabs);
  auto* offsetForm = new QFormLayout(byOffset);
  const PairFields corner =
      AddPair(*offsetForm, byOffset, ToQString(OwnText(OwnMessage::AlignmentCorner)), "Ed_Esquina",
              shown.left, shown.top, 3);
  const PairFields resolution =
      AddPair(*offsetForm, byOffset, ToQString(OwnText(OwnMessage::AlignmentResolution)),
              "Ed_Resolucion", shown.dpiX, shown.dpiY, 2);
  tabs->addTab(byOffset, ToQString(OwnText(OwnMessage::AlignmentByOffset)));

  // The two points start as the scan's corners where the image lies now.
  auto* byPoints = new QWidget(tabs);
  auto* pointsForm = new QFormLayout(byPoints);
  std::array<PairFields, 2> imagePoints{};
  std::array<PairFields, 2> sheetPoints{};
  const ImagePoint startPoints[] = {{0.0, 0.0}, {1000.0, 1000.0}};
  for (int i = 0; i < 2; ++i) {
    const std::string n = FormatInt(i + 1);
    const PointCm onSheet = SheetPointOf(shown, startPoints[i]);
    imagePoints[i] =
        AddPair(*pointsForm, byPoints, ToQString(OwnText(OwnMessage::AlignmentImagePoint, n)),
                ToQString("Ed_Imagen" + n), startPoints[i].x, startPoints[i].y, 1);
    sheetPoints[i] =
        AddPair(*pointsForm, byPoints, ToQString(OwnText(OwnMessage::AlignmentSheetPoint, n)),
                ToQString("Ed_Hoja" + n), onSheet.x, onSheet.y, 3);
  }
  tabs->addTab(byPoints, ToQString(OwnText(OwnMessage::AlignmentByPoints)));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  auto* stretch = buttons->addButton(ToQString(OwnText(OwnMessage::AlignmentStretch)),
                                     QDialogButtonBox::ResetRole);
  stretch->setObjectName("Bt_Estirar");
  buttons->button(QDialogButtonBox::Ok)->setObjectName("Bt_Aceptar");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("Bt_Cancelar");
  layout->addWidget(buttons);

  QObject::connect(stretch, &QPushButton::clicked, &dialog, [&] {
    doc.SetAlignment(std::nullopt);
    dialog.reject();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    try {
      BackgroundAlignment alignment;
      if (tabs->currentIndex() == 0) {
        alignment = {ValueOf(corner.x), ValueOf(corner.y), ValueOf(resolution.x),
                     ValueOf(resolution.y)};
      } else {
        alignment = AlignByPoints({ValueOf(imagePoints[0].x), ValueOf(imagePoints[0].y)},
                                  {ValueOf(sheetPoints[0].x), ValueOf(sheetPoints[0].y)},
                                  {ValueOf(imagePoints[1].x), ValueOf(imagePoints[1].y)},
                                  {ValueOf(sheetPoints[1].x), ValueOf(sheetPoints[1].y)});
      }
      doc.SetAlignment(alignment);
    } catch (const ZirvoError& error) {
      // The dialog stays open with what was typed.
      ShowFailure(&dialog, error.what());
      return;
    }
    dialog.accept();
  });
  dialog.exec();
}

}  // namespace zirvo
