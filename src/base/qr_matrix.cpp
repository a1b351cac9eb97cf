#include "base/qr_matrix.h"

#include <qrencode.h>

#include <memory>
#include <string>

#include "base/text.h"

namespace zirvo {

std::optional<QrMatrix> EncodeQrText(std::string_view text) {
  const std::string data(text);
  if (data.empty()) return std::nullopt;
  std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
      QRcode_encodeData(static_cast<int>(data.size()),
                        reinterpret_cast<const unsigned char*>(data.data()), 0, QR_ECLEVEL_M),
      &QRcode_free);
  if (!code || code->width <= 0) return std::nullopt;
  QrMatrix matrix;
  matrix.size = code->width;
  const auto cells = static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width);
  matrix.dark.resize(cells);
  // Bit 0 of each byte is the module's colour; the other bits describe its role.
  for (std::size_t i = 0; i < cells; ++i) matrix.dark[i] = (code->data[i] & 1) != 0;
  return matrix;
}

}  // namespace zirvo
