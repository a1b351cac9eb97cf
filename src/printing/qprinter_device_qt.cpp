#include "printing/qprinter_device_qt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <cmath>

#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"

namespace zirvo {
namespace {

constexpr int32_t kPdfDefaultResolution = 600;

// The CUPS media option for a paper the setting names explicitly.
QString MediaOption(const PrinterSetting& s) {
  switch (s.paper) {
    case PaperKind::A4:
      return "A4";
    case PaperKind::A3:
      return "A3";
    case PaperKind::A5:
      return "A5";
    case PaperKind::Letter:
      return "Letter";
    case PaperKind::Legal:
      return "Legal";
    case PaperKind::Custom:
      return QString("Custom.%1x%2mm")
          .arg(std::lround(s.paperWidthCm * 10.0))
          .arg(std::lround(s.paperHeightCm * 10.0));
    case PaperKind::QueueDefault:
      break;
  }
  return {};
}

QString QueueDescription(const PrinterSetting& s) {
  return s.printerName.empty() ? QString("(default printer)")
                               : QString::fromStdString(s.printerName);
}

}  // namespace

QPageSize PageSizeOf(const PrinterSetting& s) {
  switch (s.paper) {
    case PaperKind::A4:
      return QPageSize(QPageSize::A4);
    case PaperKind::A3:
      return QPageSize(QPageSize::A3);
    case PaperKind::A5:
      return QPageSize(QPageSize::A5);
    case PaperKind::Letter:
      return QPageSize(QPageSize::Letter);
    case PaperKind::Legal:
      return QPageSize(QPageSize::Legal);
    case PaperKind::Custom:
      return QPageSize(QSizeF(s.paperWidthCm * 10.0, s.paperHeightCm * 10.0), QPageSize::Millimeter,
                       QString(), QPageSize::ExactMatch);
    case PaperKind::QueueDefault:
      break;
  }
  return QPageSize();
}

QPrinterDevice::QPrinterDevice() = default;

QPrinterDevice::~QPrinterDevice() { Abort(); }

PrinterSetting QPrinterDevice::DefaultSetting() const {
  return PrinterSetting::Queue(QPrinterInfo::defaultPrinterName().toStdString());
}

std::vector<std::string> QPrinterDevice::InstalledPrinters() {
  std::vector<std::string> names;
  for (const QString& name : QPrinterInfo::availablePrinterNames())
    names.push_back(name.toStdString());
  return names;
}

void QPrinterDevice::Fail(const QString& cause) {
  const std::string where = setting_.target == PrinterSetting::Target::PdfFile
                                ? setting_.outputFile
                                : QueueDescription(setting_).toStdString();
  Abort();
  if (setting_.target == PrinterSetting::Target::PdfFile)
    throw ZirvoError(OwnText(OwnMessage::FileNotWritten, where, FromQString(cause)));
  throw ZirvoError(OwnText(OwnMessage::PrintingFailed, where, FromQString(cause)));
}

void QPrinterDevice::BeginDoc() {
  if (printer_) Abort();
  const bool toFile = setting_.target == PrinterSetting::Target::PdfFile;

  QPageSize pageSize = PageSizeOf(setting_);
  int32_t resolution = setting_.resolution;
  if (!toFile) {
    // What the queue would use by itself, for what the setting leaves open.
    const QPrinterInfo info =
        setting_.printerName.empty()
            ? QPrinterInfo::defaultPrinter()
            : QPrinterInfo::printerInfo(QString::fromStdString(setting_.printerName));
    if (info.isNull()) Fail(QStringLiteral("la impresora no existe"));
    if (!pageSize.isValid()) pageSize = info.defaultPageSize();
    if (resolution <= 0) {
      QPrinter native(info, QPrinter::HighResolution);
      resolution = native.resolution();
    }
  }
  if (!pageSize.isValid()) pageSize = QPageSize(QPageSize::A4);
  if (resolution <= 0) resolution = kPdfDefaultResolution;

  // The spool file: beside the target for a PDF file, so that the rename
  // that publishes it cannot cross file systems.
  const QString folder = toFile
                             ? QFileInfo(QString::fromStdString(setting_.outputFile)).absolutePath()
                             : QDir::tempPath();
  QTemporaryFile spool(folder + "/.zirvo-XXXXXX.pdf");
  spool.setAutoRemove(false);
  if (!spool.open()) {
    spoolFile_.clear();
    Fail(spool.errorString());
  }
  spoolFile_ = spool.fileName();
  spool.close();

  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setOutputFileName(spoolFile_);
  printer_->setResolution(resolution);
  printer_->setPageSize(pageSize);
  printer_->setPageOrientation(setting_.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer_->setFullPage(true);
  printer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  printer_->setDocName(ToQString(title_));
  printer_->setCreator(QStringLiteral("Zirvo"));
  if (!painter_.begin(printer_.get())) Fail(QStringLiteral("no se pudo iniciar el documento"));
  surface_.SetPainter(&painter_);

  dotsPerInch_ = printer_->resolution();
  const QRectF paper = printer_->paperRect(QPrinter::DevicePixel);
  width_ = static_cast<int32_t>(std::lround(paper.width()));
  height_ = static_cast<int32_t>(std::lround(paper.height()));
}

void QPrinterDevice::NewPage() {
  if (!printer_) throw ZirvoError("no document is open");
  if (!printer_->newPage()) Fail(QStringLiteral("no se pudo comenzar una hoja nueva"));
  PageSpooled();
}

void QPrinterDevice::EndDoc() {
  if (!printer_) throw ZirvoError("no document is open");
  surface_.SetPainter(nullptr);
  const bool ended = painter_.end();
  const bool failed = !ended || printer_->printerState() == QPrinter::Error;
  printer_.reset();
  if (failed) Fail(QStringLiteral("no se pudo terminar el documento"));

  if (setting_.target == PrinterSetting::Target::PdfFile) {
    const QString target = QString::fromStdString(setting_.outputFile);
    // The spool file was made private; the document gets the usual permissions
    // (or those of the file it replaces).
    const QFile::Permissions usual = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                     QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(spoolFile_, QFile::exists(target) ? QFile::permissions(target) : usual);
    // rename() does not replace; the spool file stays until the target is free.
    if (QFile::exists(target) && !QFile::remove(target)) {
      QFile::remove(spoolFile_);
      spoolFile_.clear();
      Fail(QStringLiteral("no se pudo reemplazar el archivo"));
    }
    if (!QFile::rename(spoolFile_, target)) {
      QFile::remove(spoolFile_);
      spoolFile_.clear();
      Fail(QStringLiteral("no se pudo escribir el archivo"));
    }
    spoolFile_.clear();
    return;
  }
  Submit();
}

QStringList LpArguments(const PrinterSetting& setting, const QString& title, const QString& file) {
  QStringList args;
  if (!setting.printerName.empty()) args << "-d" << QString::fromStdString(setting.printerName);
  args << "-t" << title;
  // The document is drawn at the paper's full size: no driver may fit it to
  // its printable area, or every number would move on the paper.
  args << "-o"
       << "print-scaling=none";
  const QString media = MediaOption(setting);
  if (!media.isEmpty()) args << "-o" << ("media=" + media);
  switch (setting.duplex) {
    case DuplexMode::Simplex:
      args << "-o"
           << "sides=one-sided";
      break;
    case DuplexMode::LongEdge:
      args << "-o"
           << "sides=two-sided-long-edge";
      break;
    case DuplexMode::ShortEdge:
      args << "-o"
           << "sides=two-sided-short-edge";
      break;
    case DuplexMode::QueueDefault:
      break;
  }
  switch (setting.colour) {
    case ColourMode::Colour:
      args << "-o"
           << "print-color-mode=color";
      break;
    case ColourMode::GrayScale:
      args << "-o"
           << "print-color-mode=monochrome";
      break;
    case ColourMode::QueueDefault:
      break;
  }
  args << "--" << file;
  return args;
}

void QPrinterDevice::Submit() {
  const QStringList args = LpArguments(setting_, ToQString(title_), spoolFile_);
  QProcess lp;
  lp.start(QStringLiteral("lp"), args);
  const bool finished = lp.waitForStarted(10000) && lp.waitForFinished(120000);
  const QString errors = QString::fromLocal8Bit(lp.readAllStandardError()).trimmed();
  QFile::remove(spoolFile_);
  spoolFile_.clear();
  if (!finished || lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0)
    Fail(errors.isEmpty()
             ? QStringLiteral("el sistema de impresi\u00f3n no acept\u00f3 el documento")
             : errors);
}

void QPrinterDevice::Abort() noexcept {
  surface_.SetPainter(nullptr);
  if (painter_.isActive()) painter_.end();
  printer_.reset();
  if (!spoolFile_.isEmpty()) {
    QFile::remove(spoolFile_);
    spoolFile_.clear();
  }
}

int32_t QPrinterDevice::Capability(DeviceCap cap) const {
  switch (cap) {
    case DeviceCap::PhysicalWidth:
      return width_;
    case DeviceCap::PhysicalHeight:
      return height_;
    // Pages are drawn from the paper's edge (full-page mode).
    case DeviceCap::PhysicalOffsetX:
      return 0;
    case DeviceCap::PhysicalOffsetY:
      return 0;
    case DeviceCap::LogPixelsY:
      return dotsPerInch_;
  }
  return 0;
}

}  // namespace zirvo
