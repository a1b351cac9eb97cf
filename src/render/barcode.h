// Barcode symbologies and the strings that stand for their symbols.
//
// Each encoder returns the character string a barcode font of the symbology
// would draw; the renderer turns those characters into bars itself.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zirvo {

// "[00000]Código 39", "[01000]Código 128", "[02000]Código EA-13".
const std::array<std::string, 3>& BarcodeTypes();
// "[00][NO]Ninguno", "[01][SP]Superior", "[02][IF]Inferior".
const std::array<std::string, 3>& BarcodePositions();
// The name an editor shows for an entry: from its 8th character on.
std::string BarcodeTypeName(int index);
// The code an editor shows for a position: its 6th and 7th characters.
std::string BarcodePositionCode(int index);

// The symbologies by their stored number. A QR Code is drawn from its
// module matrix (base/qr_matrix.h), not from a string of this file.
enum BarcodeType { kCode39 = 0, kCode128 = 1, kEan13 = 2, kQrCode = 3 };
enum BarcodePosition { kNoText = 0, kTextAbove = 1, kTextBelow = 2 };

// "*" + text + "*".
std::string EncodeCode39(std::string_view text);
// Start A, the text in code set A (other characters as spaces), check, stop.
std::string EncodeCode128(std::string_view text);
// 16 characters, or empty when the trimmed text is not 12 characters long or
// holds a character that is not a decimal digit.
std::string EncodeEan13(std::string_view text);
// The 13 digits an EAN-13 symbol carries: the trimmed 12 and the check
// digit; empty where EncodeEan13 is.
std::string Ean13Digits(std::string_view text);

// The same into a string kept by the caller, whose storage is reused: a
// print run encodes a numerator's symbol sheet after sheet without
// allocating. `out` must not be `text`'s storage.
void EncodeCode39Into(std::string& out, std::string_view text);
void EncodeCode128Into(std::string& out, std::string_view text);
void EncodeEan13Into(std::string& out, std::string_view text);
void Ean13DigitsInto(std::string& out, std::string_view text);

}  // namespace zirvo
