#include "template/series.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <random>

namespace zirvo {
namespace {

std::string Hex(uint64_t high, uint64_t low) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(kSeriesDigits, '0');
  for (int i = 0; i < 16; ++i) {
    text[static_cast<std::size_t>(15 - i)] = kDigits[(high >> (4 * i)) & 0xF];
    text[static_cast<std::size_t>(31 - i)] = kDigits[(low >> (4 * i)) & 0xF];
  }
  return text;
}

// FNV-1a with the 128-bit prime and offset basis: a stable hash whatever
// the compiler or the machine.
std::string Fnv1a128(std::string_view bytes) {
  unsigned __int128 hash =
      (static_cast<unsigned __int128>(0x6c62272e07bb0142ULL) << 64) | 0x62b821756295c58dULL;
  const unsigned __int128 prime = (static_cast<unsigned __int128>(1) << 88) | 0x13B;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= prime;
  }
  return Hex(static_cast<uint64_t>(hash >> 64), static_cast<uint64_t>(hash));
}

}  // namespace

bool IsSeriesText(std::string_view text) {
  if (text.size() != kSeriesDigits) return false;
  for (const char c : text)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string NewSeries() {
  std::random_device source;
  std::array<uint64_t, 2> halves{};
  for (uint64_t& half : halves)
    half = (static_cast<uint64_t>(source()) << 32) ^ static_cast<uint64_t>(source());
  return Hex(halves[0], halves[1]);
}

std::string SeriesOfPath(const std::string& templatePath) {
  return Fnv1a128(CanonicalPath(templatePath));
}

std::string CanonicalPath(const std::string& path) {
  std::error_code error;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
  if (error) resolved = std::filesystem::absolute(path, error);
  return error ? path : resolved.string();
}

}  // namespace zirvo
