// An allocation-failure seam for the tests of this program: while a limit is
// set, every operator new of at least that many bytes throws std::bad_alloc,
// as a full memory would. The program's allocations go through operator new
// and delete of its own here (malloc and free underneath).
#pragma once

#include <cstddef>

namespace vandrel::test {

// Allocations of `bytes` or more fail while it lives.
class AllocationLimit {
 public:
  explicit AllocationLimit(std::size_t bytes);
  ~AllocationLimit();
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;
};

// How many allocations failed since the program started.
std::size_t FailedAllocations();

}  // namespace vandrel::test
