#include "template/barcode_setting.h"

#include <cmath>
#include <cstddef>
#include <string_view>
#include <vector>

#include "base/csv.h"
#include "base/helpers.h"
#include "base/messages.h"
#include "base/qr_matrix.h"
#include "base/text.h"

namespace zirvo {
namespace {

constexpr std::string_view kMarker = "|COD|";
constexpr std::string_view kCode39Characters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ -.$/+%";

double TwoDecimals(double cm) { return ParseDouble(FormatFixed(cm, 2)); }

bool SizeInRange(double cm) { return cm > 0.0 && cm <= BarcodeSetting::kMaxSize; }

// The fields of a line cut at "|" that a barcode line has, the empty one
// before the first "|" included.
constexpr std::size_t kBarcodeFields = 8;
std::vector<std::string> FieldsOf(std::string_view line) {
  std::vector<std::string> fields;
  SplitLine(line, '|', fields, kBarcodeFields);
  return fields;
}

bool ReadInt(const std::string& text, int32_t low, int32_t high, int32_t& value) {
  return TryParseInt32(text, value) && value >= low && value <= high;
}

int32_t QrSideDots(double sideCm) {
  return static_cast<int32_t>(std::nearbyint(sideCm / 2.54 * kQrCheckDotsPerInch));
}

}  // namespace

bool ValidBarcodeSetting(const BarcodeSetting& s) {
  const auto kind = static_cast<int32_t>(s.kind);
  const auto line = static_cast<int32_t>(s.line);
  if (kind < 0 || kind >= kBarcodeKindCount || line < 0 || line > 2) return false;
  if (s.kind == BarcodeKind::QrCode) return s.line != ReadableLine::Above && SizeInRange(s.height);
  return SizeInRange(s.height) && SizeInRange(s.length);
}

BarcodeSetting StoredBarcodeSetting(BarcodeSetting s) {
  s.height = TwoDecimals(s.height);
  s.length = s.kind == BarcodeKind::QrCode ? 0.0 : TwoDecimals(s.length);
  return s;
}

std::string BarcodeLine(BarcodeTable table, int row, const BarcodeSetting& s) {
  std::string line(kMarker);
  line += static_cast<char>(table);
  line += '|' + ZeroPad(FormatInt(row + 1), 2);
  line += '|' + FormatInt(static_cast<int32_t>(s.kind));
  line += '|' + FormatInt(static_cast<int32_t>(s.line));
  line += '|' + FormatFixed(s.height, 2);
  line += '|' + FormatFixed(s.kind == BarcodeKind::QrCode ? 0.0 : s.length, 2);
  line += '|';
  return line;
}

std::optional<BarcodeLineValue> ParseBarcodeLine(std::string_view line) {
  if (line.substr(0, kMarker.size()) != kMarker) return std::nullopt;
  // Blanks and line ends around the line count for nothing, as for every marked line.
  const std::vector<std::string> f = FieldsOf(Trim(line));
  // "", "COD", T, PP, K, P, H, L; later fields are ignored.
  if (f.size() < kBarcodeFields) return std::nullopt;
  BarcodeLineValue value;
  if (f[2] == "F")
    value.table = BarcodeTable::Numerators;
  else if (f[2] == "M")
    value.table = BarcodeTable::Marginals;
  else
    return std::nullopt;

  int32_t position = 0, kind = 0, readable = 0;
  if (!ReadInt(f[3], 1, 99, position) || !ReadInt(f[4], 0, kBarcodeKindCount - 1, kind) ||
      !ReadInt(f[5], 0, 2, readable))
    return std::nullopt;
  double height = 0.0, length = 0.0;
  if (!TryParseDouble(f[6], height) || !TryParseDouble(f[7], length)) return std::nullopt;

  value.row = position - 1;
  value.setting.kind = static_cast<BarcodeKind>(kind);
  value.setting.line = static_cast<ReadableLine>(readable);
  value.setting.height = height;
  value.setting.length = length;
  if (!ValidBarcodeSetting(value.setting)) return std::nullopt;
  value.setting = StoredBarcodeSetting(value.setting);
  if (!ValidBarcodeSetting(value.setting)) return std::nullopt;  // rounded to 0.00
  return value;
}

BarcodeTextProblem CheckBarcodeText(const BarcodeSetting& setting, std::string_view text) {
  switch (setting.kind) {
    case BarcodeKind::Code39:
      if (text.empty()) return BarcodeTextProblem::Empty;
      if (text.find_first_not_of(kCode39Characters) != std::string_view::npos)
        return BarcodeTextProblem::Code39Characters;
      return BarcodeTextProblem::None;
    case BarcodeKind::Code128:
      if (text.empty()) return BarcodeTextProblem::Empty;
      for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code > 96) return BarcodeTextProblem::Code128Characters;
      }
      return BarcodeTextProblem::None;
    case BarcodeKind::Ean13: {
      const std::string digits = Trim(text);
      if (digits.size() != 12 || digits.find_first_not_of("0123456789") != std::string::npos)
        return BarcodeTextProblem::Ean13Digits;
      return BarcodeTextProblem::None;
    }
    case BarcodeKind::QrCode: {
      if (text.empty()) return BarcodeTextProblem::Empty;
      const std::optional<QrMatrix> symbol = EncodeQrText(text);
      if (!symbol) return BarcodeTextProblem::QrTooLong;
      const int32_t modules = symbol->size + 2 * kQrQuietZone;
      if (QrSideDots(setting.height) / modules < kQrMinModuleDots)
        return BarcodeTextProblem::QrTooLong;
      return BarcodeTextProblem::None;
    }
  }
  return BarcodeTextProblem::None;
}

std::string BarcodeProblemMessage(BarcodeTextProblem problem, const BarcodeSetting& setting,
                                  std::string_view text) {
  switch (problem) {
    case BarcodeTextProblem::None:
      return {};
    case BarcodeTextProblem::Empty:
      return OwnText(OwnMessage::BarcodeEmptyText);
    case BarcodeTextProblem::Code39Characters:
      return OwnText(OwnMessage::BarcodeCode39Text, text);
    case BarcodeTextProblem::Code128Characters:
      return OwnText(OwnMessage::BarcodeCode128Text, text);
    case BarcodeTextProblem::Ean13Digits:
      return OwnText(OwnMessage::BarcodeEan13Text, text);
    case BarcodeTextProblem::QrTooLong:
      return OwnText(OwnMessage::BarcodeQrTooLong, text, FormatFixed(setting.height, 2));
  }
  return {};
}

void RequireBarcodeText(const BarcodeSetting& setting, std::string_view text) {
  const BarcodeTextProblem problem = CheckBarcodeText(setting, text);
  if (problem != BarcodeTextProblem::None)
    throw ZirvoError(BarcodeProblemMessage(problem, setting, text));
}

}  // namespace zirvo
