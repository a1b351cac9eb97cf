// The print device on QPrinter. Pages are drawn into a PDF; for a PDF file
// it is written beside the target and renamed over it when the document
// ends, for a CUPS queue it is submitted to the queue when the document ends.
// An aborted document therefore never leaves a partial file behind and
// never reaches the printer.
#pragma once

#include <QPageSize>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <memory>

#include "printing/page_device.h"
#include "render/painter_surface_qt.h"

class QPrinter;

namespace zirvo {

// The paper the setting names; an invalid size for the queue's default.
QPageSize PageSizeOf(const PrinterSetting& setting);
// The lp command line that submits `file` to the setting's queue.
QStringList LpArguments(const PrinterSetting& setting, const QString& title, const QString& file);

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
  bool DocumentOpen() const override { return printer_ != nullptr; }
  int32_t Capability(DeviceCap cap) const override;
  Surface& PageSurface() override { return surface_; }

  // The installed CUPS queues.
  static std::vector<std::string> InstalledPrinters();

 private:
  [[noreturn]] void Fail(const QString& cause);
  void Submit();

  PrinterSetting setting_;
  std::string title_;
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  PainterSurface surface_;
  QString spoolFile_;  // the PDF being drawn
  int32_t width_ = 0, height_ = 0, dotsPerInch_ = 0;
};

}  // namespace zirvo
