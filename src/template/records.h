// The records that carry a template between the workspace, the editors, the
// preview and the print run. Texts are UTF-8; the lengths they are cut to
// count characters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "template/barcode_setting.h"
#include "template/numbering_rule.h"

namespace zirvo {

// Sheet header of a template.
struct SheetHeader {
  static constexpr std::size_t kKindCapacity = 6;
  static constexpr std::size_t kNameCapacity = 80;

  std::string Kind;    // at most 6 characters
  std::string Name;    // at most 80 characters
  std::string Folder;  // no trailing separator
  uint8_t Byte1 = 0, Byte2 = 0, Byte3 = 0, Byte4 = 0;
  uint16_t Word1 = 0, Word2 = 0;
  double Width = 0.0;   // centimetres, horizontal
  double Height = 0.0;  // centimetres, vertical
  int32_t Int1 = 0;
  int32_t Color1 = -1;
  int32_t Color2 = -1;  // kept in memory only, never written to a file
  int32_t Int2 = 0, Int3 = 0, Int4 = 0, Int5 = 0;
  bool Flag1 = false, Flag2 = false;

  void SetKind(std::string_view kind) { Kind = FirstCharacters(kind, kKindCapacity); }
  void SetName(std::string_view name) { Name = FirstCharacters(name, kNameCapacity); }
  bool operator==(const SheetHeader&) const = default;

  // The longest side a sheet (or a paper named by its size) may have, cm.
  static constexpr double kMaxLengthCm = 149.99;
  // A width or height a sheet may have: more than 0, at most kMaxLengthCm.
  static constexpr bool ValidLength(double cm) { return cm > 0.0 && cm <= kMaxLengthCm; }
};

// One numerator as the preview and the print run receive it.
struct Numerator {
  static constexpr std::size_t kAffixCapacity = 20;
  static constexpr std::size_t kFontCapacity = 60;

  int32_t Position = -1;
  int32_t Number = 0;
  std::string Prefix;       // at most 20 characters
  std::string Suffix;       // at most 20 characters
  double Horizontal = 0.0;  // cm from the left edge
  double Vertical = 0.0;    // cm from the top edge
  double Rotation = 0.0;    // degrees, counter-clockwise
  int32_t Mask = 4;
  bool Reverse = false;
  // The row's barcode as the template stores it; none for a text line only.
  std::optional<BarcodeSetting> Barcode;
  // How the number moves on from sheet to sheet; plain for most.
  NumberingRule Rule;
  std::string Font = "Arial";  // at most 60 characters
  int32_t Size = 12;           // points
  int32_t Colour = 0;          // 24-bit, red in the lowest byte

  bool operator==(const Numerator&) const = default;
};
using NumeratorList = std::vector<Numerator>;

// One marginal text as the preview and the print run receive it.
struct MarginalText {
  static constexpr std::size_t kTextCapacity = 200;
  static constexpr std::size_t kFontCapacity = 60;

  int32_t Position = -1;
  std::string Text;  // at most 200 characters, not trimmed
  double Horizontal = 0.0;
  double Vertical = 0.0;
  double Rotation = 0.0;
  std::optional<BarcodeSetting> Barcode;  // as on a numerator
  std::string Font = "Arial";
  int32_t Size = 12;
  int32_t Colour = 0;

  bool operator==(const MarginalText&) const = default;
};
using MarginalTextList = std::vector<MarginalText>;

}  // namespace zirvo
