// Text and locale-independent numbers.
//
// Every std::string of the program holds UTF-8. Windows-1252, the encoding of
// template files and of the built-in message tables, is converted at the
// template codec and at the catalog only; lengths and cuts count characters
// (CharacterCount, FirstCharacters), never bytes. Numbers are always written
// and read with "." as the decimal separator and no thousands separator,
// whatever the process locale.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zirvo {

// Any failure the core reports to the user; what() is the message to show.
class ZirvoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that does not convert to a number. The message is one of
//   '%s' is not a valid integer value
//   '%s' is not a valid floating point value
class ConversionError : public ZirvoError {
 public:
  using ZirvoError::ZirvoError;
};

ConversionError IntegerConversionError(std::string_view text);
ConversionError FloatConversionError(std::string_view text);

// Removes leading and trailing characters of code 0 to 32.
std::string Trim(std::string_view text);

// Windows-1252 <-> UTF-8. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which the
// code page leaves undefined, map to the C1 controls of the same value.
std::string Cp1252ToUtf8(std::string_view cp1252);
// Characters that Windows-1252 cannot hold (and malformed UTF-8) become "?";
// *complete is set to false when that happened.
std::string Utf8ToCp1252(std::string_view utf8, bool* complete = nullptr);
// True when the text is valid UTF-8 and Windows-1252 holds every character,
// that is when a template file can store it.
bool FitsCp1252(std::string_view utf8);
// The Windows-1252 byte of a Unicode code point, or -1 when there is none.
int Cp1252FromCodePoint(char32_t cp);
char32_t CodePointFromCp1252(unsigned char byte);

// Strict conversions of a whole text (no blanks allowed; callers trim).
// An optional "+" or "-" sign, then decimal digits.
int32_t ParseInt32(std::string_view text);  // throws IntegerConversionError
// Sign, digits with an optional "." and an optional exponent; not "inf"/"nan".
double ParseDouble(std::string_view text);  // throws FloatConversionError
bool TryParseInt32(std::string_view text, int32_t& value);
bool TryParseInt64(std::string_view text, int64_t& value);
bool TryParseDouble(std::string_view text, double& value);

std::string FormatInt(int64_t value);
// Fixed point with exactly `decimals` decimals, halves rounded away from zero;
// a result that rounds to zero carries no minus sign.
std::string FormatFixed(double value, int decimals);

// The UTF-8 text with every malformed sequence (a stray byte, a cut or
// overlong sequence, a surrogate, a code point past U+10FFFF) replaced by
// U+FFFD: always valid UTF-8.
std::string ValidUtf8(std::string_view text);

// The number of characters of a UTF-8 text; a malformed byte counts as one.
std::size_t CharacterCount(std::string_view utf8);
// The first `count` characters of a UTF-8 text, never a part of one.
std::string FirstCharacters(std::string_view utf8, std::size_t count);

// Adds two signed 32-bit numbers; false when the sum leaves the range.
bool CheckedAdd32(int32_t a, int64_t b, int32_t& sum);

}  // namespace zirvo
