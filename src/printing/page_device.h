// The print device the runs print on: a document of pages, each drawn
// through a Surface. The QPrinter device prints to a CUPS queue or a PDF
// file; the recording device serves the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "printing/printer_setting.h"
#include "render/surface.h"

namespace zirvo {

// The capabilities a run reads once its document has begun, in device dots.
enum class DeviceCap {
  PhysicalWidth,    // the paper's width
  PhysicalHeight,   // the paper's height
  PhysicalOffsetX,  // from the paper's left edge to the drawing origin
  PhysicalOffsetY,  // from the paper's top edge to the drawing origin
  LogPixelsY,       // dots per inch, used for both axes and for fonts
};

class PageDevice {
 public:
  virtual ~PageDevice() = default;

  // The setting of the system's default printer.
  virtual PrinterSetting DefaultSetting() const = 0;
  // The device keeps its own copy.
  virtual void SetPrinter(const PrinterSetting& setting) = 0;
  virtual void SetTitle(const std::string& title) = 0;

  // Document handling. BeginDoc also begins the first page; NewPage ends the
  // current page and begins the next; EndDoc ends the last page and hands the
  // document to the printing system. Each throws ZirvoError when the printing
  // system fails; the document is then still open and must be aborted.
  virtual void BeginDoc() = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  // Discards the open document: nothing of it is printed or left on disk.
  // Does nothing when no document is open.
  virtual void Abort() noexcept = 0;
  virtual bool DocumentOpen() const = 0;

  virtual int32_t Capability(DeviceCap cap) const = 0;
  // The surface of the current page; valid while a document is open.
  virtual Surface& PageSurface() = 0;

  // What a run tells a device that hands its document on in several jobs:
  // the name of the run (the template's name), and each sheet
  // before its first page is drawn, with numerator 1's printed text on it
  // ("" without numerators). Devices that print one document ignore both.
  virtual void SetRunName(const std::string& /*name*/) {}
  virtual void SheetStarting(int32_t /*sheet*/, const std::string& /*firstNumerator*/) {}
  // After Abort: the last sheet of the run that the printing system reports
  // printed (0 for none), for a device that hands sheets on before the run
  // ends; nothing for one whose aborted document never reaches a printer.
  virtual std::optional<int32_t> CompletedSheets() const { return std::nullopt; }
  // After Abort: the last sheet that may be on paper, completed or not (a
  // job cancelled while the printer was printing it), at least
  // CompletedSheets(); nothing as for CompletedSheets.
  virtual std::optional<int32_t> ReachedPrinterSheets() const { return CompletedSheets(); }

  // Called each time a page has been handed on (after NewPage), and while
  // the device waits for the printing system: the screens process their
  // pending events there, so a cancel command can be clicked.
  void SetPageSpooledHook(std::function<void()> hook) { pageSpooled_ = std::move(hook); }
  // The run's cancel flag and status line, for a device that waits for the
  // printing system: a wait ends when `cancelled` turns true, and `status`
  // shows why the run is waiting ("" when it no longer is).
  void SetRunHooks(std::function<bool()> cancelled,
                   std::function<void(const std::string&)> status) {
    cancelled_ = std::move(cancelled);
    status_ = std::move(status);
  }

 protected:
  void PageSpooled() {
    if (pageSpooled_) pageSpooled_();
  }
  bool RunCancelled() const { return cancelled_ && cancelled_(); }
  void ShowRunStatus(const std::string& text) {
    if (status_) status_(text);
  }

 private:
  std::function<void()> pageSpooled_;
  std::function<bool()> cancelled_;
  std::function<void(const std::string&)> status_;
};

}  // namespace zirvo
