// The printer setting of the print page: which printer (a CUPS queue or a
// PDF file) and the settings the print-setup dialog can change. It is a plain
// value: the page and the print device each hold their own copy.
#pragma once

#include <cstdint>
#include <string>

namespace zirvo {

enum class PaperKind { QueueDefault, A4, A3, A5, Letter, Legal, Custom };
enum class DuplexMode { QueueDefault, Simplex, LongEdge, ShortEdge };
enum class ColourMode { QueueDefault, Colour, GrayScale };

struct PrinterSetting {
  enum class Target { Queue, PdfFile };

  Target target = Target::Queue;
  std::string printerName;  // the CUPS queue; empty for the system's default printer
  std::string outputFile;   // the PDF file, for Target::PdfFile
  PaperKind paper = PaperKind::QueueDefault;  // a PDF file takes A4 for QueueDefault
  double paperWidthCm = 0.0;                  // for PaperKind::Custom, portrait width
  double paperHeightCm = 0.0;                 // for PaperKind::Custom, portrait height
  bool landscape = false;
  int32_t resolution = 0;  // dots per inch; 0 for the queue's default (600 for a PDF file)
  DuplexMode duplex = DuplexMode::QueueDefault;
  ColourMode colour = ColourMode::QueueDefault;
  // A run to a queue goes as consecutive jobs of at most this many sheets.
  int32_t chunkSheets = kDefaultChunkSheets;
  static constexpr int32_t kDefaultChunkSheets = 500;

  bool operator==(const PrinterSetting&) const = default;

  static PrinterSetting PdfFile(std::string path) {
    PrinterSetting s;
    s.target = Target::PdfFile;
    s.outputFile = std::move(path);
    return s;
  }
  static PrinterSetting Queue(std::string name) {
    PrinterSetting s;
    s.printerName = std::move(name);
    return s;
  }
  // The name the print page shows for the chosen printer.
  std::string DisplayName() const { return target == Target::PdfFile ? outputFile : printerName; }
};

}  // namespace zirvo
