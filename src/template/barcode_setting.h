// The barcode a numerator or marginal-text row may carry, its "|COD|" line
// in the template file, and which texts each symbology can carry.
//
// A template stores one "|COD|" line per row with a barcode, after every
// "|FOL|" and "|MAR|" line, numerators first, each table in row order:
//   |COD|T|PP|K|P|H.HH|L.LL|
// T "F" numerator or "M" marginal text, PP the row's position (two digits),
// K the symbology, P the human-readable line, H the bar height (QR Code: the
// side of the square) and L the bar length along the text (QR Code: 0.00,
// ignored), both in cm. Readers that do not know the marker ignore the line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zirvo {

// The symbologies, by the number a "|COD|" line and an exported record use.
enum class BarcodeKind : int32_t { Code39 = 0, Code128 = 1, Ean13 = 2, QrCode = 3 };
inline constexpr int32_t kBarcodeKindCount = 4;

// Where the human-readable line goes. A QR Code has none or below.
enum class ReadableLine : int32_t { None = 0, Above = 1, Below = 2 };

struct BarcodeSetting {
  // The largest bar height or length a setting holds, in cm.
  static constexpr double kMaxSize = 999.99;

  BarcodeKind kind = BarcodeKind::Code128;
  ReadableLine line = ReadableLine::Below;
  double height = 1.5;  // cm; for a QR Code the side of the square
  double length = 5.0;  // cm along the text; 0 for a QR Code

  bool operator==(const BarcodeSetting&) const = default;
};

// True for a combination a template can store: a QR Code has no line above,
// sizes lie in (0, kMaxSize] (the length is not looked at for a QR Code).
bool ValidBarcodeSetting(const BarcodeSetting& setting);
// The setting as stored: sizes rounded to two decimals, a QR Code's length 0.
BarcodeSetting StoredBarcodeSetting(BarcodeSetting setting);

// Which table a "|COD|" line belongs to.
enum class BarcodeTable : char { Numerators = 'F', Marginals = 'M' };

// The "|COD|" line of row `row` (0-based) of a table.
std::string BarcodeLine(BarcodeTable table, int row, const BarcodeSetting& setting);

struct BarcodeLineValue {
  BarcodeTable table = BarcodeTable::Numerators;
  int row = 0;  // 0-based
  BarcodeSetting setting;
};
// The values of a line that begins with "|COD|"; nothing when a field is
// missing or not a number, T is neither "F" nor "M", the position is below 1,
// K or P is out of range, or a size is 0 or less (or above kMaxSize).
std::optional<BarcodeLineValue> ParseBarcodeLine(std::string_view line);

// Why a symbology cannot carry a text.
enum class BarcodeTextProblem {
  None,
  Empty,              // every symbol needs at least one character
  Code39Characters,   // outside 0-9, A-Z, space and - . $ / + %
  Code128Characters,  // outside code set A (codes 32 to 96: no lowercase)
  Ean13Digits,        // not exactly 12 decimal digits once trimmed
  QrTooLong,          // more modules than the square holds at 600 dpi
};

// The resolution at which a QR Code's size is judged, and the fewest printer
// dots a module may have there (about 0.25 mm) to stay readable.
inline constexpr int32_t kQrCheckDotsPerInch = 600;
inline constexpr int32_t kQrMinModuleDots = 6;

BarcodeTextProblem CheckBarcodeText(const BarcodeSetting& setting, std::string_view text);
// The message for a problem, naming the text (and a QR Code's size).
std::string BarcodeProblemMessage(BarcodeTextProblem problem, const BarcodeSetting& setting,
                                  std::string_view text);
// Throws ZirvoError with that message when the text cannot be carried.
void RequireBarcodeText(const BarcodeSetting& setting, std::string_view text);

}  // namespace zirvo
