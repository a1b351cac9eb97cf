#include "printing/printer_calibration.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "base/file_io.h"
#include "base/helpers.h"
#include "base/messages.h"
#include "base/text.h"
#include "catalog/ini_file.h"

namespace zirvo {
namespace {

constexpr char kKeyX[] = "X";
constexpr char kKeyY[] = "Y";

bool InRange(double mm) { return std::isfinite(mm) && std::fabs(mm) <= kMaxOffsetMm; }

// A section name the INI file reads back as the same name.
bool StorableQueue(std::string_view queue) {
  if (Trim(queue).empty() || Trim(queue) != queue) return false;
  for (char c : queue)
    if (c == '[' || c == ']' || c == '\r' || c == '\n' || c == '\0') return false;
  return true;
}

int32_t MmToDots(double mm, int32_t dpi) {
  return static_cast<int32_t>(std::lround(mm / 25.4 * dpi));
}

}  // namespace

bool ParseOffsetMm(std::string_view text, double& mm) {
  std::string typed = Trim(text);
  for (char& c : typed)
    if (c == ',') c = '.';
  double value = 0.0;
  if (typed.empty() || !TryParseDouble(typed, value) || !InRange(value)) return false;
  mm = value == 0.0 ? 0.0 : value;  // no "-0"
  return true;
}

std::string FormatOffsetMm(double mm) {
  std::string text = FormatFixed(mm, 2);
  // 1.50 -> 1.5, 2.00 -> 2.0: one decimal at least, as typed.
  if (text.size() > 1 && text.back() == '0') text.pop_back();
  return text;
}

PrinterOffsets LoadPrinterOffsets(const std::string& path, std::string_view queue) {
  PrinterOffsets offsets;
  if (!StorableQueue(queue)) return offsets;
  const std::optional<std::string> bytes = ReadFileIfPresent(path);
  if (!bytes) return offsets;
  std::string value;
  double mm = 0.0;
  if (ReadIniValue(*bytes, queue, kKeyX, value) && ParseOffsetMm(value, mm)) offsets.xMm = mm;
  if (ReadIniValue(*bytes, queue, kKeyY, value) && ParseOffsetMm(value, mm)) offsets.yMm = mm;
  return offsets;
}

PrinterOffsets ReadPrinterOffsets(const std::string& path, std::string_view queue) {
  try {
    return LoadPrinterOffsets(path, queue);
  } catch (const ZirvoError&) {
    return {};  // an unreadable file moves nothing on the screen
  }
}

void StorePrinterOffsets(const std::string& path, std::string_view queue,
                         const PrinterOffsets& offsets, const WriteObserver& observer) {
  StoreChangedOffsets(path, queue, offsets.xMm, offsets.yMm, observer);
}

void StoreChangedOffsets(const std::string& path, std::string_view queue, std::optional<double> xMm,
                         std::optional<double> yMm, const WriteObserver& observer) {
  if (!xMm && !yMm) return;
  if (!StorableQueue(queue)) throw ZirvoError(OwnText(OwnMessage::QueueNotStorable, queue));
  for (const std::optional<double>& mm : {xMm, yMm})
    if (mm && !InRange(*mm))
      throw ZirvoError(OwnText(OwnMessage::OffsetNotValid, FormatFixed(*mm, 2)));
  ChangeFileAtomically(
      path,
      [&](const std::optional<std::string>& current) {
        std::string bytes = current.value_or("");
        if (xMm) bytes = WithIniValue(bytes, queue, kKeyX, FormatOffsetMm(*xMm));
        if (yMm) bytes = WithIniValue(bytes, queue, kKeyY, FormatOffsetMm(*yMm));
        return bytes;
      },
      observer);
}

std::string CalibrationFile() { return DataFolder() + kCalibrationFileName; }

void PrintCalibrationSheet(PageDevice& device, const std::string& queue,
                           const PrinterOffsets& offsets) {
  device.SetTitle("Zirvo: " + OwnText(OwnMessage::CalibrationTitle));
  device.SetRunName(OwnText(OwnMessage::CalibrationTitle));
  try {
    device.BeginDoc();
    device.SheetStarting(1, "");
    const int32_t dpi = device.Capability(DeviceCap::LogPixelsY);
    const int32_t left = -device.Capability(DeviceCap::PhysicalOffsetX);
    const int32_t top = -device.Capability(DeviceCap::PhysicalOffsetY);
    const int32_t width = device.Capability(DeviceCap::PhysicalWidth);
    const int32_t height = device.Capability(DeviceCap::PhysicalHeight);
    Surface& s = device.PageSurface();
    const int32_t line = std::max(1, MmToDots(0.15, dpi));
    constexpr Colour kBlack = 0;

    // Rulers: a tick every millimetre, longer every 5 and 10, along each edge
    // and pointing into the paper; each centimetre is numbered.
    s.SetFont({"Liberation Sans", dpi, 6, kBlack});
    const auto tick = [&](int32_t mm) {
      return MmToDots(mm % 10 == 0 ? 4.0 : mm % 5 == 0 ? 2.5 : 1.5, dpi);
    };
    const int32_t widthMm = static_cast<int32_t>(width * 25.4 / dpi);
    const int32_t heightMm = static_cast<int32_t>(height * 25.4 / dpi);
    // Every whole millimetre whose tick lies on the paper.
    const auto onPaper = [&](int32_t mm, int32_t size) { return MmToDots(mm, dpi) + line <= size; };
    for (int32_t mm = 1; onPaper(mm, width); ++mm) {
      const int32_t x = left + MmToDots(mm, dpi) - line / 2;
      s.FillRect(x, top, 0, {0, 0, line, tick(mm)}, kBlack);
      s.FillRect(x, top + height - tick(mm), 0, {0, 0, line, tick(mm)}, kBlack);
      if (mm % 10 == 0 && mm + 5 < widthMm) {
        const std::string cm = FormatInt(mm / 10);
        s.DrawText(x + line, top + tick(mm), cm, 0, 0);
        s.DrawText(x + line, top + height - tick(mm) - s.MeasureText(cm).height, cm, 0, 0);
      }
    }
    for (int32_t mm = 1; onPaper(mm, height); ++mm) {
      const int32_t y = top + MmToDots(mm, dpi) - line / 2;
      s.FillRect(left, y, 0, {0, 0, tick(mm), line}, kBlack);
      s.FillRect(left + width - tick(mm), y, 0, {0, 0, tick(mm), line}, kBlack);
      if (mm % 10 == 0 && mm + 5 < heightMm) {
        const std::string cm = FormatInt(mm / 10);
        s.DrawText(left + tick(mm) + line, y + line, cm, 0, 0);
        s.DrawText(left + width - tick(mm) - line - s.MeasureText(cm).width, y + line, cm, 0, 0);
      }
    }

    // The cross, 10 mm each way, centred at 20 x 20 mm.
    const int32_t centreX = left + MmToDots(20.0, dpi);
    const int32_t centreY = top + MmToDots(20.0, dpi);
    const int32_t arm = MmToDots(5.0, dpi);
    const int32_t bar = std::max(1, MmToDots(0.2, dpi));
    s.FillRect(centreX - arm, centreY - bar / 2, 0, {0, 0, 2 * arm, bar}, kBlack);
    s.FillRect(centreX - bar / 2, centreY - arm, 0, {0, 0, bar, 2 * arm}, kBlack);

    s.SetFont({"Liberation Sans", dpi, 11, kBlack});
    const std::string lines[] = {
        OwnText(OwnMessage::CalibrationTitle),
        OwnText(OwnMessage::CalibrationPrinter, queue),
        OwnText(OwnMessage::CalibrationOffsets, FormatOffsetMm(offsets.xMm),
                FormatOffsetMm(offsets.yMm)),
        OwnText(OwnMessage::CalibrationHint),
    };
    int32_t y = top + MmToDots(40.0, dpi);
    for (const std::string& text : lines) {
      s.DrawText(left + MmToDots(30.0, dpi), y, text, 0, 0);
      y += s.MeasureText(text).height * 3 / 2;
    }
    device.EndDoc();
  } catch (...) {
    device.Abort();
    throw;
  }
}

}  // namespace zirvo
