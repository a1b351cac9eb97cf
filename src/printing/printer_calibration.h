// Per-printer calibration: the millimetres by which a queue's paper feed
// misplaces what it prints, measured by the user on the calibration sheet
// and corrected by moving the whole drawing the other way on that queue.
// The offsets belong to the user and the printer, never to a template: they
// live in Impresoras.ini of the data folder, one section per queue with the
// keys X and Y (millimetres, "." as the decimal separator).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_io.h"
#include "printing/page_device.h"

namespace zirvo {

struct PrinterOffsets {
  double xMm = 0.0;  // positive moves the drawing to the right
  double yMm = 0.0;  // positive moves the drawing down
  bool operator==(const PrinterOffsets&) const = default;
};

inline constexpr double kMaxOffsetMm = 10.0;
inline constexpr char kCalibrationFileName[] = "Impresoras.ini";

// An offset as typed: a number from -10.0 to 10.0 with "." or "," as the
// decimal separator, blanks around it ignored. False for anything else
// (including "nan" and values out of range).
bool ParseOffsetMm(std::string_view text, double& mm);
// The offset as stored and shown: up to two decimals, "." separator.
std::string FormatOffsetMm(double mm);

// The offsets of `queue` in the file at `path`: 0, 0 when the file, the
// section or a key is missing, and for a value that is not a valid offset
// (a hand-edited file never moves the drawing out of range). Throws
// ZirvoError naming the file when it is there but cannot be read.
PrinterOffsets LoadPrinterOffsets(const std::string& path, std::string_view queue);
// The same for showing them: 0, 0 as well for a file that cannot be read.
PrinterOffsets ReadPrinterOffsets(const std::string& path, std::string_view queue);
// Stores both offsets of `queue`, keeping every other line of the file, as
// it is at that moment: two processes storing different queues at once
// both keep their section. Throws ZirvoError for a queue name an INI
// section cannot hold, an offset out of range, or a file that cannot be
// read or written. `observer` is told the stages of the write.
void StorePrinterOffsets(const std::string& path, std::string_view queue,
                         const PrinterOffsets& offsets, const WriteObserver& observer = {});
// The same for the offsets given: one that is not keeps what the file holds.
void StoreChangedOffsets(const std::string& path, std::string_view queue, std::optional<double> xMm,
                         std::optional<double> yMm, const WriteObserver& observer = {});
// DataFolder() + "Impresoras.ini".
std::string CalibrationFile();

// Prints the calibration sheet on `device`, whose printer is set already:
// millimetre rulers along the four edges of the paper, a cross centred at
// 2.00 x 2.00 cm from the top-left corner, the queue's name and the offsets
// in force. The device applies the offsets, so a well calibrated printer
// puts the cross at 2.00 x 2.00 cm on the paper.
void PrintCalibrationSheet(PageDevice& device, const std::string& queue,
                           const PrinterOffsets& offsets);

}  // namespace zirvo
