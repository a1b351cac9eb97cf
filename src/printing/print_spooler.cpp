#include "printing/print_spooler.h"

#include <cmath>

#include "base/text.h"

namespace zirvo {

JobOptionList JobOptions(const PrinterSetting& s) {
  JobOptionList options = {{"print-scaling", "none"}};
  switch (s.paper) {
    case PaperKind::A4:
      options.emplace_back("media", "A4");
      break;
    case PaperKind::A3:
      options.emplace_back("media", "A3");
      break;
    case PaperKind::A5:
      options.emplace_back("media", "A5");
      break;
    case PaperKind::Letter:
      options.emplace_back("media", "Letter");
      break;
    case PaperKind::Legal:
      options.emplace_back("media", "Legal");
      break;
    case PaperKind::Custom:
      options.emplace_back("media", "Custom." + FormatInt(std::lround(s.paperWidthCm * 10.0)) +
                                        "x" + FormatInt(std::lround(s.paperHeightCm * 10.0)) +
                                        "mm");
      break;
    case PaperKind::QueueDefault:
      break;
  }
  switch (s.duplex) {
    case DuplexMode::Simplex:
      options.emplace_back("sides", "one-sided");
      break;
    case DuplexMode::LongEdge:
      options.emplace_back("sides", "two-sided-long-edge");
      break;
    case DuplexMode::ShortEdge:
      options.emplace_back("sides", "two-sided-short-edge");
      break;
    case DuplexMode::QueueDefault:
      break;
  }
  switch (s.colour) {
    case ColourMode::Colour:
      options.emplace_back("print-color-mode", "color");
      break;
    case ColourMode::GrayScale:
      options.emplace_back("print-color-mode", "monochrome");
      break;
    case ColourMode::QueueDefault:
      break;
  }
  return options;
}

std::string JobName(const std::string& name, int32_t firstSheet, int32_t lastSheet,
                    const std::string& firstNumber, const std::string& lastNumber) {
  std::string text = name.empty() ? std::string("Zirvo") : name;
  text += " " + FormatInt(firstSheet);
  if (lastSheet != firstSheet) text += "-" + FormatInt(lastSheet);
  if (!firstNumber.empty() || !lastNumber.empty()) {
    text += " (" + firstNumber;
    if (lastNumber != firstNumber) text += "-" + lastNumber;
    text += ")";
  }
  return text;
}

}  // namespace zirvo
