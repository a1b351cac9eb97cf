// Conversions of stored cell texts into the values of the exported records.
// A cell is trimmed first; an empty cell gives the record's default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"

namespace zirvo {

// The integer of a cell, or `ifEmpty`. Throws ConversionError.
inline int32_t CellInt32(std::string_view cell, int32_t ifEmpty) {
  const std::string trimmed = Trim(cell);
  return trimmed.empty() ? ifEmpty : ParseInt32(trimmed);
}

// The real number of a cell, or `ifEmpty`. Throws ConversionError.
inline double CellReal(std::string_view cell, double ifEmpty) {
  const std::string trimmed = Trim(cell);
  return trimmed.empty() ? ifEmpty : ParseDouble(trimmed);
}

// The trimmed text of a cell cut to `capacity` characters, or `ifEmpty`.
inline std::string CellTrimmedText(std::string_view cell, std::string_view ifEmpty,
                                   std::size_t capacity) {
  const std::string trimmed = Trim(cell);
  return trimmed.empty() ? std::string(ifEmpty) : FirstCharacters(trimmed, capacity);
}

// The untrimmed text of a cell cut to `capacity` characters.
inline std::string CellText(std::string_view cell, std::size_t capacity) {
  return FirstCharacters(cell, capacity);
}

}  // namespace zirvo
