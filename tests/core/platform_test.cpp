// The allocator setting the programs make at start-up.
#include "base/platform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#include <unistd.h>
#define ZIRVO_GLIBC_HEAP 1
#endif

namespace zirvo {
namespace {

TEST(KeepLargeBuffers, APagesBufferComesFromTheHeapAndStaysForTheNextPage) {
#ifdef ZIRVO_GLIBC_HEAP
  platform::KeepLargeBuffers();
  constexpr std::size_t kPageBuffer = 16 * 1024 * 1024;  // what the PDF writer takes per page
  void* first = std::malloc(kPageBuffer);
  ASSERT_NE(first, nullptr);
  const auto heapEnd = reinterpret_cast<std::uintptr_t>(sbrk(0));
  // Below the program break: taken from the heap, not mapped on its own.
  EXPECT_LT(reinterpret_cast<std::uintptr_t>(first), heapEnd);
  std::free(first);
  // Freed, it is not trimmed away; the next page gets the same memory back.
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(sbrk(0)), heapEnd);
  void* second = std::malloc(kPageBuffer);
  EXPECT_EQ(second, first);
  std::free(second);
#else
  GTEST_SKIP() << "the setting is made for glibc's own allocator only";
#endif
}

}  // namespace
}  // namespace zirvo
