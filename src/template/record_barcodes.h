// The barcodes of exported records, and whether a run may print them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "template/barcode_setting.h"
#include "template/records.h"

namespace zirvo {

// The barcode an exported record carries; nothing when its flag is off or
// its fields do not describe a setting a template can store.
std::optional<BarcodeSetting> BarcodeOf(const Numerator& numerator);
std::optional<BarcodeSetting> BarcodeOf(const MarginalText& marginal);

// Empty when the numerator's barcode (if any) carries its text for `number`;
// otherwise the message refusing the run, naming the numerator and `sheet`.
std::string NumeratorBarcodeRefusal(const Numerator& numerator, int32_t number, int64_t sheet);
// The same for a marginal text, which prints one text on every sheet.
std::string MarginalBarcodeRefusal(const MarginalText& marginal);

}  // namespace zirvo
