#include "printing/printer_dialog_qt.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "printing/qprinter_device_qt.h"

namespace zirvo {
namespace {

PaperKind KindOf(QPageSize::PageSizeId id) {
  switch (id) {
    case QPageSize::A4:
      return PaperKind::A4;
    case QPageSize::A3:
      return PaperKind::A3;
    case QPageSize::A5:
      return PaperKind::A5;
    case QPageSize::Letter:
      return PaperKind::Letter;
    case QPageSize::Legal:
      return PaperKind::Legal;
    default:
      return PaperKind::Custom;
  }
}

// Qt's dialog opens on a queue whatever its printer prints to; for a PDF
// file this one opens on its "Print to File (PDF)" entry, with the file's
// name, as the dialog itself shows them (its list is filled when it is shown).
class SetupDialog : public QPrintDialog {
 public:
  // `pdfFile`: the file of a setting that prints to one; empty for a queue.
  SetupDialog(QPrinter* printer, QWidget* parent, const QString& pdfFile)
      : QPrintDialog(printer, parent), pdfFile_(pdfFile) {}

  void setVisible(bool visible) override {
    QPrintDialog::setVisible(visible);
    if (!visible || pdfFile_.isEmpty()) return;
    auto* printers = findChild<QComboBox*>("printers");
    auto* fileName = findChild<QLineEdit*>("filename");
    if (printers == nullptr || fileName == nullptr) return;
    const int entry = printers->findText(QPrintDialog::tr("Print to File (PDF)"));
    if (entry >= 0) printers->setCurrentIndex(entry);
    fileName->setText(pdfFile_);
  }

 private:
  QString pdfFile_;
};

// A setting printing elsewhere: another kind of target, or another queue.
bool OtherTarget(const PrinterSetting& a, const PrinterSetting& b) {
  return a.target != b.target ||
         (a.target == PrinterSetting::Target::Queue && a.printerName != b.printerName);
}

}  // namespace

void ApplySettingToPrinter(const PrinterSetting& setting, QPrinter& printer,
                           const QString& proposedFile) {
  if (setting.target == PrinterSetting::Target::PdfFile) {
    printer.setOutputFormat(QPrinter::PdfFormat);
  } else if (!setting.printerName.empty()) {
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(QString::fromStdString(setting.printerName));
  }
  // Otherwise the printer stays as made: on the system's default printer, or
  // on a PDF file when the machine has no printer.
  const QString file =
      setting.outputFile.empty() ? proposedFile : QString::fromStdString(setting.outputFile);
  if (printer.outputFormat() == QPrinter::PdfFormat) printer.setOutputFileName(file);

  const QPageSize paper = PageSizeOf(setting);
  if (paper.isValid()) printer.setPageSize(paper);
  printer.setPageOrientation(setting.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  switch (setting.duplex) {
    case DuplexMode::Simplex:
      printer.setDuplex(QPrinter::DuplexNone);
      break;
    case DuplexMode::LongEdge:
      printer.setDuplex(QPrinter::DuplexLongSide);
      break;
    case DuplexMode::ShortEdge:
      printer.setDuplex(QPrinter::DuplexShortSide);
      break;
    case DuplexMode::QueueDefault:
      break;
  }
  switch (setting.colour) {
    case ColourMode::Colour:
      printer.setColorMode(QPrinter::Color);
      break;
    case ColourMode::GrayScale:
      printer.setColorMode(QPrinter::GrayScale);
      break;
    case ColourMode::QueueDefault:
      break;
  }
}

std::optional<PrinterSetting> SettingFromPrinter(const QPrinter& printer,
                                                 const PrinterSetting& previous) {
  PrinterSetting s = previous;
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    const QString file = printer.outputFileName();
    if (file.isEmpty() || file.endsWith('/') || QFileInfo(file).isDir()) return std::nullopt;
    s.target = PrinterSetting::Target::PdfFile;
    s.outputFile = file.toStdString();
    s.printerName.clear();
  } else {
    if (printer.printerName().isEmpty()) return std::nullopt;
    s.target = PrinterSetting::Target::Queue;
    s.printerName = printer.printerName().toStdString();
    s.outputFile.clear();
  }

  const QPageLayout layout = printer.pageLayout();
  const QPageSize paper = layout.pageSize();
  if (paper.isValid()) {
    s.paper = KindOf(paper.id());
    if (s.paper == PaperKind::Custom) {
      const QSizeF mm = paper.size(QPageSize::Millimeter);
      s.paperWidthCm = std::min(mm.width(), mm.height()) / 10.0;
      s.paperHeightCm = std::max(mm.width(), mm.height()) / 10.0;
    }
  }
  s.landscape = layout.orientation() == QPageLayout::Landscape;
  switch (printer.duplex()) {
    case QPrinter::DuplexNone:
      s.duplex = DuplexMode::Simplex;
      break;
    case QPrinter::DuplexLongSide:
      s.duplex = DuplexMode::LongEdge;
      break;
    case QPrinter::DuplexShortSide:
      s.duplex = DuplexMode::ShortEdge;
      break;
    case QPrinter::DuplexAuto:
      s.duplex = DuplexMode::QueueDefault;
      break;
  }
  s.colour =
      printer.colorMode() == QPrinter::GrayScale ? ColourMode::GrayScale : ColourMode::Colour;
  return s;
}

SetupOutcome RunPrintSetup(QWidget* parent, PrinterSetting& setting, const QString& proposedFile) {
  QPrinter printer(QPrinter::HighResolution);
  ApplySettingToPrinter(setting, printer, proposedFile);
  const bool toFile = setting.target == PrinterSetting::Target::PdfFile;
  SetupDialog dialog(&printer, parent, toFile ? printer.outputFileName() : QString());
  dialog.setObjectName("DSelecImp");
  // Copies, pages and ranges are the run's own settings.
  dialog.setOptions(QAbstractPrintDialog::PrintToFile);
  const QPageSize offered = printer.pageLayout().pageSize();
  if (dialog.exec() != QDialog::Accepted) return SetupOutcome::Cancelled;
  std::optional<PrinterSetting> chosen = SettingFromPrinter(printer, setting);
  if (!chosen) return SetupOutcome::Unreadable;
  // The dialog keeps the paper of the target it opened on when the user
  // picks another: unless the user chose a paper, the new target takes its
  // own (a queue's default, A4 for a PDF file).
  if (OtherTarget(*chosen, setting) && printer.pageLayout().pageSize().isEquivalentTo(offered))
    chosen->paper = PaperKind::QueueDefault;
  setting = *chosen;
  return SetupOutcome::Chosen;
}

}  // namespace zirvo
