// The bars of a barcode, computed from the character string that its encoder
// returns (see barcode.h) with the published Code 39, Code 128 and EAN-13
// symbol tables. The renderer draws these modules as filled rectangles
// instead of relying on a barcode font.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "template/barcode_setting.h"

namespace zirvo {

// One dark bar: it covers modules [start, start + width) of the symbol.
struct BarRun {
  int32_t start = 0;
  int32_t width = 0;
  bool operator==(const BarRun&) const = default;
};

struct BarPattern {
  int32_t modules = 0;       // total width of the symbol in modules
  std::vector<BarRun> bars;  // dark bars, left to right
};

// The bars of an encoded string. Code 39 draws narrow elements one module and
// wide ones three, with a one-module gap between characters; a character
// that has no Code 39 symbol draws nothing. Code 128 reads the characters the
// way its encoder writes symbol values (232 is value 0, 33-126 values 1-94,
// 192/193 values 95/96, 129-134 values 97-102, 135 Start A, 138 Stop); other
// characters draw nothing. EAN-13 reads the 16-character string: the leading
// digit draws no bars of its own, "!" and "-" are the guards, "0"-"9" set A,
// "A"-"J" set B, "a"-"j" set C.
// Written into a pattern kept by the caller, its storage reused; a QR Code
// has no bars.
void BarsOfInto(BarPattern& out, BarcodeKind kind, std::string_view encoded);

// The device units some modules of a symbol cover, from the symbol's start.
struct UnitSpan {
  int32_t start = 0;
  int32_t length = 0;
  bool operator==(const UnitSpan&) const = default;
};

// How a symbol of `modules` modules is laid on a device in a box `length`
// units long. On a printer page every module is the same whole number of
// dots, the most that keep the symbol within the box. Where not even one dot
// per module fits, and always on the screen, the symbol is drawn to scale:
// its edges at their exact places, rounded; modules narrower than a unit
// merge with their neighbours into whole units. The symbol is never longer
// than the box.
class ModuleGrid {
 public:
  ModuleGrid(int32_t length, int32_t modules, bool toScale);
  // The units that modules [first, first + count) cover.
  UnitSpan Span(int32_t first, int32_t count) const;
  // The whole symbol's length on the device.
  int32_t Length() const;

 private:
  int32_t length_ = 0;  // the box's length, 0 when nothing can be drawn
  int32_t modules_ = 0;
  int32_t wholeUnits_ = 0;  // units per module; 0 when drawn to scale
  double scale_ = 0.0;      // units per module when drawn to scale
};

}  // namespace zirvo
