#include "out_of_memory/allocation_seam.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace vandrel::test {
namespace {

constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);
std::atomic<std::size_t> gLimit{kNoLimit};
std::atomic<std::size_t> gFailed{0};

void* Allocate(std::size_t size) {
  const std::size_t limit = gLimit.load(std::memory_order_relaxed);
  if (size >= limit) {
    gFailed.fetch_add(1, std::memory_order_relaxed);
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

AllocationLimit::AllocationLimit(std::size_t bytes) { gLimit = bytes; }

AllocationLimit::~AllocationLimit() { gLimit = kNoLimit; }

std::size_t FailedAllocations() { return gFailed.load(); }

}  // namespace vandrel::test

void* operator new(std::size_t size) { return vandrel::test::Allocate(size); }
void* operator new[](std::size_t size) { return vandrel::test::Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return vandrel::test::Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
