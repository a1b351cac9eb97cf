// Barcode symbologies and the strings that stand for their symbols.
//
// Each encoder returns the character string a barcode font of the symbology
// would draw; the renderer turns those characters into bars itself.
#pragma once

#include <string>
#include <string_view>

namespace zirvo {

// A QR Code is drawn from its module matrix (base/qr_matrix.h), not from a
// string of this file. Each encoder writes into a string kept by the
// caller, whose storage is reused: a print run encodes a numerator's symbol
// sheet after sheet without allocating. `out` must not be `text`'s storage.
//
// EncodeCode39Into: "*" + text + "*".
// EncodeCode128Into: Start A, the text in code set A (other characters as
// spaces), check, stop.
// EncodeEan13Into: 16 characters, or empty when the trimmed text is not 12
// characters long or holds a character that is not a decimal digit.
// Ean13DigitsInto: the 13 digits an EAN-13 symbol carries, the trimmed 12
// and the check digit; empty where EncodeEan13Into writes nothing.
void EncodeCode39Into(std::string& out, std::string_view text);
void EncodeCode128Into(std::string& out, std::string_view text);
void EncodeEan13Into(std::string& out, std::string_view text);
void Ean13DigitsInto(std::string& out, std::string_view text);

}  // namespace zirvo
