// Replaces the global operator new and delete of the core tests by ones that
// count what is held. Each block carries its size in front of it.
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> held{0};
std::atomic<std::size_t> peak{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Take(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const std::size_t now = held.fetch_add(size) + size;
  std::size_t top = peak.load();
  while (now > top && !peak.compare_exchange_weak(top, now)) {
  }
  return static_cast<char*>(block) + kHeader;
}

void* TakeOrNull(std::size_t size) noexcept {
  try {
    return Take(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void Give(void* pointer) noexcept {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  held.fetch_sub(*static_cast<std::size_t*>(block));
  std::free(block);
}

}  // namespace

namespace zirvo::testing {

// Bytes held now, and the most held at once since the last reset.
std::size_t HeldBytes() { return held.load(); }
std::size_t PeakHeldBytes() { return peak.load(); }
void ResetPeakHeldBytes() { peak.store(held.load()); }

}  // namespace zirvo::testing

// Every form: a sanitizer's library would otherwise answer the ones left out.
void* operator new(std::size_t size) { return Take(size); }
void* operator new[](std::size_t size) { return Take(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return TakeOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return TakeOrNull(size); }
void operator delete(void* pointer) noexcept { Give(pointer); }
void operator delete[](void* pointer) noexcept { Give(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { Give(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { Give(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { Give(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { Give(pointer); }
