// QR Code symbols through libqrencode: the module matrix of a text at error
// correction level M, the smallest version that holds it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zirvo {

struct QrMatrix {
  // Modules per side of the symbol, without its quiet zone.
  int32_t size = 0;
  // size x size modules, row by row from the top; true is dark.
  std::vector<bool> dark;

  bool Dark(int32_t row, int32_t column) const {
    return dark[static_cast<std::size_t>(row) * static_cast<std::size_t>(size) +
                static_cast<std::size_t>(column)];
  }
};

// Modules of quiet zone kept free on each side of a symbol.
inline constexpr int32_t kQrQuietZone = 4;

// The symbol of a text, carried in 8-bit mode as UTF-8, the encoding
// scanners assume. Nothing for an empty text or one that no version holds.
std::optional<QrMatrix> EncodeQrText(std::string_view text);

}  // namespace zirvo
