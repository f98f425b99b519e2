// Memory for the channel records of the actor table. A large pose holds
// tens of megabytes of them, a list of a few kilobytes per actor: taken from
// the heap, every page of them costs a page fault when it is first written.
// Lists of that size are taken instead from pieces of 2 MB that the system is
// asked to back with large pages, one fault a piece; smaller and larger lists
// come from the heap as before. A piece goes back to the system when the last
// list taken from it is freed.
#pragma once

#include <cstddef>

namespace vandrel {

// `bytes` of memory aligned for any record; throws std::bad_alloc when the
// system has none. Given back with the same size.
void* TakeRecordMemory(std::size_t bytes);
void GiveBackRecordMemory(void* p, std::size_t bytes) noexcept;

// The allocator of the record lists: every instance shares the pieces.
template <typename T>
struct RecordAllocator {
  using value_type = T;

  RecordAllocator() noexcept = default;
  template <typename U>
  RecordAllocator(const RecordAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) { return static_cast<T*>(TakeRecordMemory(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { GiveBackRecordMemory(p, n * sizeof(T)); }

  template <typename U>
  bool operator==(const RecordAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace vandrel
