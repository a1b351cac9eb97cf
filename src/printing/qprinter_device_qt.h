// The print device on QPrinter. Pages are drawn into PDF files. For a PDF
// file the document is written beside the target, unseen, and takes the
// target's name when the document ends, so an aborted or killed document
// never leaves a partial file.
// For a CUPS queue the run goes as consecutive jobs of at most the setting's
// chunk of sheets: each part is submitted through libcups as soon as its
// sheets are drawn, while the next is drawn, and the document ends only when
// CUPS reports every job completed. Abort recalls every job not completed.
// The queue's calibration offsets move the whole drawing on its jobs.
#pragma once

#include <QPageSize>
#include <QPainter>
#include <QString>
#include <memory>
#include <optional>

#include "printing/page_device.h"
#include "printing/print_spooler.h"
#include "printing/printer_calibration.h"
#include "render/painter_surface_qt.h"

class QPrinter;

namespace zirvo {
namespace platform {
class SpoolFile;
}

class SpoolRun;
struct SpoolWait;

// The paper the setting names; for the default paper, A4 for a PDF file and
// an invalid size for a queue (whose own default then applies).
QPageSize PageSizeOf(const PrinterSetting& setting);

class QPrinterDevice : public PageDevice {
 public:
  QPrinterDevice();
  ~QPrinterDevice() override;
  QPrinterDevice(const QPrinterDevice&) = delete;
  QPrinterDevice& operator=(const QPrinterDevice&) = delete;

  PrinterSetting DefaultSetting() const override;
  void SetPrinter(const PrinterSetting& setting) override { setting_ = setting; }
  void SetTitle(const std::string& title) override { title_ = title; }
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() noexcept override;
  bool DocumentOpen() const override { return printer_ != nullptr || run_ != nullptr; }
  int32_t Capability(DeviceCap cap) const override;
  Surface& PageSurface() override;
  void SetRunName(const std::string& name) override { runName_ = name; }
  void SheetStarting(int32_t sheet, const std::string& firstNumerator) override;
  std::optional<int32_t> CompletedSheets() const override { return completed_; }
  std::optional<int32_t> ReachedPrinterSheets() const override { return reached_; }

  // The jobs CUPS has accepted in the current run to a queue.
  size_t JobsAccepted() const;
  // The offsets in force on the current document (0, 0 for a PDF file).
  const PrinterOffsets& Offsets() const { return offsets_; }

 private:
  [[noreturn]] void Fail(const QString& cause);
  bool ToQueue() const { return setting_.target == PrinterSetting::Target::Queue; }
  // The folder of the PDF files being drawn.
  QString SpoolFolder() const;
  // Begins a PDF (the whole document, or one part of a run to a queue).
  void OpenPart();
  // Ends the current PDF and, for a queue, hands it on as the next job.
  void ClosePart();
  void PlaceDrawing();
  SpoolWait Waiting();

  PrinterSetting setting_;
  std::string title_;
  std::string runName_;
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  PainterSurface surface_;
  std::unique_ptr<platform::SpoolFile> spool_;  // the PDF being drawn
  QPageSize pageSize_;
  int32_t resolution_ = 0;
  int32_t width_ = 0, height_ = 0, dotsPerInch_ = 0;

  // A run to a queue.
  std::string queue_;
  PrinterOffsets offsets_;
  std::unique_ptr<PrintSpooler> spooler_;
  std::unique_ptr<SpoolRun> run_;
  bool pagePending_ = false;  // NewPage was called; the page begins when drawn on
  int32_t partSheets_ = 0, partFirst_ = 0, partLast_ = 0;
  std::string partFirstNumber_, partLastNumber_;
  std::optional<int32_t> completed_;
  std::optional<int32_t> reached_;
};

}  // namespace zirvo
