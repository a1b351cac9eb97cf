#include "printing/qprinter_device_qt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

#include "base/platform.h"
#include "base/qtext_qt.h"
#include "base/text.h"
#include "catalog/catalog.h"
#include "printing/spool_run.h"

namespace zirvo {
namespace {

constexpr int32_t kPdfDefaultResolution = 600;
// Parts of a run drawn ahead of the printer: enough to keep every printer of
// a class busy, few enough that a stopped printer stops the drawing soon.
constexpr size_t kPartsAhead = 4;

// A path as the system takes it.
std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

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
  // A PDF file has no queue whose default it could take.
  return s.target == PrinterSetting::Target::PdfFile ? QPageSize(QPageSize::A4) : QPageSize();
}

QPrinterDevice::QPrinterDevice() = default;

QPrinterDevice::~QPrinterDevice() { Abort(); }

PrinterSetting QPrinterDevice::DefaultSetting() const {
  return PrinterSetting::Queue(QPrinterInfo::defaultPrinterName().toStdString());
}

void QPrinterDevice::Fail(const QString& cause) {
  const std::string where = setting_.target == PrinterSetting::Target::PdfFile
                                ? setting_.outputFile
                                : FromQString(QueueDescription(setting_));
  Abort();
  if (setting_.target == PrinterSetting::Target::PdfFile)
    throw ZirvoError(OwnText(OwnMessage::FileNotWritten, where, FromQString(cause)));
  throw ZirvoError(OwnText(OwnMessage::PrintingFailed, where, FromQString(cause)));
}

void QPrinterDevice::BeginDoc() {
  if (DocumentOpen()) Abort();
  completed_.reset();
  reached_.reset();
  offsets_ = {};
  queue_.clear();

  pageSize_ = PageSizeOf(setting_);
  resolution_ = setting_.resolution;
  if (ToQueue()) {
    // What the queue would use by itself, for what the setting leaves open.
    const QPrinterInfo info =
        setting_.printerName.empty()
            ? QPrinterInfo::defaultPrinter()
            : QPrinterInfo::printerInfo(QString::fromStdString(setting_.printerName));
    if (info.isNull()) Fail(ToQString(OwnText(OwnMessage::PrinterMissing)));
    if (!pageSize_.isValid()) pageSize_ = info.defaultPageSize();
    if (resolution_ <= 0) {
      QPrinter native(info, QPrinter::HighResolution);
      resolution_ = native.resolution();
    }
    queue_ = info.printerName().toStdString();
    try {
      offsets_ = LoadPrinterOffsets(CalibrationFile(), queue_);
    } catch (const ZirvoError& e) {
      Fail(ToQString(e.what()));
    }
    if (!spooler_) spooler_ = MakeCupsSpooler();
    run_ = std::make_unique<SpoolRun>(*spooler_, queue_, JobOptions(setting_));
  }
  if (!pageSize_.isValid()) pageSize_ = QPageSize(QPageSize::A4);
  if (resolution_ <= 0) resolution_ = kPdfDefaultResolution;
  // What runs killed in this folder left behind goes before this run adds its own.
  platform::RemoveAbandonedSpoolFiles(Native(SpoolFolder()));
  OpenPart();
}

// Beside the target for a PDF file, so that publishing it cannot cross
// file systems.
QString QPrinterDevice::SpoolFolder() const {
  return ToQueue() ? QDir::tempPath()
                   : QFileInfo(QFile::decodeName(setting_.outputFile.c_str())).absolutePath();
}

void QPrinterDevice::OpenPart() {
  spool_ = std::make_unique<platform::SpoolFile>(Native(SpoolFolder()));
  if (!spool_->Error().empty()) Fail(QString::fromLocal8Bit(spool_->Error().c_str()));

  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setOutputFileName(QFile::decodeName(spool_->Path().c_str()));
  printer_->setResolution(resolution_);
  printer_->setPageSize(pageSize_);
  printer_->setPageOrientation(setting_.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer_->setFullPage(true);
  printer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  printer_->setDocName(ToQString(title_));
  printer_->setCreator(QStringLiteral("Zirvo"));
  if (!painter_.begin(printer_.get())) Fail(ToQString(OwnText(OwnMessage::DocumentNotStarted)));
  surface_.SetPainter(&painter_);
  PlaceDrawing();

  dotsPerInch_ = printer_->resolution();
  const QRectF paper = printer_->paperRect(QPrinter::DevicePixel);
  width_ = static_cast<int32_t>(std::lround(paper.width()));
  height_ = static_cast<int32_t>(std::lround(paper.height()));
  pagePending_ = false;
  partSheets_ = 0;
}

// The calibration offsets: the whole page moves by them.
void QPrinterDevice::PlaceDrawing() {
  const double dotsPerMm = printer_->resolution() / 25.4;
  painter_.setWorldTransform(
      QTransform::fromTranslate(offsets_.xMm * dotsPerMm, offsets_.yMm * dotsPerMm));
}

Surface& QPrinterDevice::PageSurface() {
  if (pagePending_ && printer_) {
    pagePending_ = false;
    if (!printer_->newPage()) Fail(ToQString(OwnText(OwnMessage::SheetNotStarted)));
    PlaceDrawing();
  }
  return surface_;
}

void QPrinterDevice::NewPage() {
  if (!printer_) throw ZirvoError("no document is open");
  if (ToQueue()) {
    // The page begins when it is drawn on, so that a part of a run to a
    // queue ends without an empty page after its last sheet.
    pagePending_ = true;
  } else if (!printer_->newPage()) {
    Fail(ToQString(OwnText(OwnMessage::SheetNotStarted)));
  }
  PageSpooled();
}

size_t QPrinterDevice::JobsAccepted() const { return run_ ? run_->Jobs().size() : 0; }

SpoolWait QPrinterDevice::Waiting() {
  SpoolWait wait;
  wait.cancelled = [this] { return RunCancelled(); };
  wait.status = [this](const std::string& text) { ShowRunStatus(text); };
  wait.idle = [this] { PageSpooled(); };
  return wait;
}

void QPrinterDevice::SheetStarting(int32_t sheet, const std::string& firstNumerator) {
  if (!run_ || !printer_) return;
  if (pagePending_ && partSheets_ >= std::max(1, setting_.chunkSheets)) {
    ClosePart();
    // Drawing stays a few parts ahead of the printer; a cancel ends the
    // wait, and the run stops before its next sheet.
    run_->WaitUntilAtMost(kPartsAhead, Waiting());
    OpenPart();
  }
  if (partSheets_ == 0) {
    partFirst_ = sheet;
    partFirstNumber_ = firstNumerator;
  }
  partLast_ = sheet;
  partLastNumber_ = firstNumerator;
  ++partSheets_;
}

void QPrinterDevice::ClosePart() {
  surface_.SetPainter(nullptr);
  const bool ended = painter_.end();
  const bool failed = !ended || printer_->printerState() == QPrinter::Error;
  printer_.reset();
  pagePending_ = false;
  if (failed) Fail(ToQString(OwnText(OwnMessage::DocumentNotFinished)));
  if (!run_) return;
  SpoolPart part;
  part.file = spool_->Path();
  part.keep = std::shared_ptr<platform::SpoolFile>(std::move(spool_));  // the run drops it
  const std::string name = runName_.empty() ? title_ : runName_;
  if (partSheets_ == 0) {
    part.title = name;
  } else {
    part.title = JobName(name, partFirst_, partLast_, partFirstNumber_, partLastNumber_);
    part.firstSheet = partFirst_;
    part.lastSheet = partLast_;
  }
  run_->Hand(std::move(part));
}

void QPrinterDevice::EndDoc() {
  if (!printer_) throw ZirvoError("no document is open");
  ClosePart();

  if (ToQueue()) {
    // Done only when CUPS reports every job completed. A cancel ends the
    // wait with the jobs still held; the run aborts them then.
    ShowRunStatus(OwnText(OwnMessage::JobsPending, queue_));
    if (!run_->WaitUntilAtMost(0, Waiting())) return;
    ShowRunStatus("");
    completed_ = run_->CompletedPrefix();
    reached_ = completed_;
    run_.reset();
    return;
  }

  // One step: a new file follows the umask, an old one is replaced by a
  // single rename and keeps its permissions.
  const std::string cause = spool_->Publish(
      Native(QFileInfo(QFile::decodeName(setting_.outputFile.c_str())).absoluteFilePath()));
  if (!cause.empty()) Fail(QString::fromLocal8Bit(cause.c_str()));
  spool_.reset();
}

void QPrinterDevice::Abort() noexcept {
  surface_.SetPainter(nullptr);
  if (painter_.isActive()) painter_.end();
  printer_.reset();
  pagePending_ = false;
  spool_.reset();
  if (run_) {
    try {
      completed_ = run_->CancelOutstanding(Waiting());
    } catch (...) {
      completed_ = run_->CompletedPrefix();
    }
    reached_ = std::max(*completed_, run_->ReachedPrinterUpTo());
    run_.reset();
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
