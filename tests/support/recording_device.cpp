#include "support/recording_device.h"

#include "base/text.h"

namespace zirvo {

std::vector<std::string> RecordingDevice::TextsOn(size_t page) const {
  std::vector<std::string> result;
  if (page >= pages.size()) return result;
  for (const auto& call : pages[page]->texts) result.push_back(call.text);
  return result;
}

PrinterSetting RecordingDevice::DefaultSetting() const { return PrinterSetting::Queue("Default"); }

void RecordingDevice::SetPrinter(const PrinterSetting& setting) {
  events.push_back("printer");
  settings.push_back(setting);
}

void RecordingDevice::SetTitle(const std::string& text) {
  events.push_back("title");
  title = text;
}

void RecordingDevice::BeginDoc() {
  if (open_) throw ZirvoError("recording device: document already open");
  events.push_back("begin");
  if (failBegin) throw ZirvoError("recording device: begin failed");
  open_ = true;
  pages.clear();
  pageNumber_ = 0;
  StartPage();
}

void RecordingDevice::StartPage() {
  ++pageNumber_;
  if (keepPages || pages.empty()) {
    pages.push_back(std::make_unique<RecordingSurface>());
  } else {
    pages.back()->Clear();
  }
  pages.back()->failDrawing = pageNumber_ == failDrawAtPage;
}

void RecordingDevice::FinishPage() {
  if (pageDone) pageDone(*pages.back(), pageNumber_);
}

void RecordingDevice::NewPage() {
  if (!open_) throw ZirvoError("recording device: no document");
  events.push_back("page");
  if (failAtPage == pageNumber_ + 1) throw ZirvoError("recording device: page failed");
  FinishPage();
  StartPage();
  PageSpooled();
}

void RecordingDevice::EndDoc() {
  if (!open_) throw ZirvoError("recording device: no document");
  events.push_back("end");
  if (failEnd) throw ZirvoError("recording device: end failed");
  FinishPage();
  open_ = false;
  ++documentsEnded;
}

void RecordingDevice::Abort() noexcept {
  if (!open_) return;
  events.push_back("abort");
  open_ = false;
  ++documentsAborted;
}

int32_t RecordingDevice::Capability(DeviceCap cap) const {
  switch (cap) {
    case DeviceCap::PhysicalWidth:
      return physicalWidth;
    case DeviceCap::PhysicalHeight:
      return physicalHeight;
    case DeviceCap::PhysicalOffsetX:
      return offsetX;
    case DeviceCap::PhysicalOffsetY:
      return offsetY;
    case DeviceCap::LogPixelsY:
      return dotsPerInch;
  }
  return 0;
}

Surface& RecordingDevice::PageSurface() {
  if (!open_ || pages.empty()) throw ZirvoError("recording device: no page");
  return *pages.back();
}

}  // namespace zirvo
