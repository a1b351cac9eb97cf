// Whether a run may print the barcodes of exported records.
#pragma once

#include <cstdint>
#include <string>

#include "template/barcode_setting.h"
#include "template/records.h"

namespace zirvo {

// Empty when the numerator's barcode (if any) carries its text for `number`
// with that check digit (its source's, for a mirror); otherwise the message
// refusing the run, naming the numerator and `sheet`.
std::string NumeratorBarcodeRefusal(const Numerator& numerator, int32_t number, int64_t sheet,
                                    CheckDigit check);
// The same for a marginal text, which prints one text on every sheet.
std::string MarginalBarcodeRefusal(const MarginalText& marginal);

}  // namespace zirvo
