// A page device that records documents and pages instead of printing, with
// failures that tests can switch on.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "printing/page_device.h"
#include "support/recording_surface.h"

namespace zirvo {

class RecordingDevice : public PageDevice {
 public:
  // Every device call in order: "printer", "title", "begin", "page", "end",
  // "abort".
  std::vector<std::string> events;
  std::vector<PrinterSetting> settings;  // each SetPrinter
  std::string title;
  // The pages of the last document, each with what was drawn on it.
  std::vector<std::unique_ptr<RecordingSurface>> pages;
  int32_t documentsEnded = 0;
  int32_t documentsAborted = 0;

  // Capabilities; by default a Letter sheet at 600 dpi drawn from the paper edge.
  int32_t physicalWidth = 5100, physicalHeight = 6600;
  int32_t offsetX = 0, offsetY = 0;
  int32_t dotsPerInch = 600;

  // Failures: BeginDoc fails; NewPage fails when it would begin page
  // `failAtPage` (1-based); drawing text on page `failDrawAtPage` throws;
  // EndDoc fails.
  bool failBegin = false;
  int32_t failAtPage = 0;
  int32_t failDrawAtPage = 0;
  bool failEnd = false;

  // For very long runs: when false, only the page being drawn is kept, and
  // each finished page is handed to `pageDone` (with its 1-based number)
  // before its surface is reused.
  bool keepPages = true;
  std::function<void(const RecordingSurface&, int64_t)> pageDone;

  // What a run told the device of its sheets: the run's name and, for each
  // sheet, its number and numerator 1's text.
  std::string runName;
  std::vector<std::pair<int32_t, std::string>> sheetsStarted;
  // What CompletedSheets answers, as a device whose jobs CUPS follows would.
  std::optional<int32_t> completedSheets;
  // What ReachedPrinterSheets answers; CompletedSheets' answer when unset.
  std::optional<int32_t> reachedSheets;

  // The texts drawn on one page, in drawing order.
  std::vector<std::string> TextsOn(size_t page) const;

  PrinterSetting DefaultSetting() const override;
  void SetPrinter(const PrinterSetting& setting) override;
  void SetTitle(const std::string& text) override;
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() noexcept override;
  bool DocumentOpen() const override { return open_; }
  int32_t Capability(DeviceCap cap) const override;
  Surface& PageSurface() override;
  void SetRunName(const std::string& name) override { runName = name; }
  void SheetStarting(int32_t sheet, const std::string& firstNumerator) override {
    sheetsStarted.emplace_back(sheet, firstNumerator);
  }
  std::optional<int32_t> CompletedSheets() const override { return completedSheets; }
  std::optional<int32_t> ReachedPrinterSheets() const override {
    return reachedSheets ? reachedSheets : completedSheets;
  }

 private:
  void StartPage();
  void FinishPage();

  bool open_ = false;
  int64_t pageNumber_ = 0;
};

}  // namespace zirvo
