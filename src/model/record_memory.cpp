#include "model/record_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VANDREL_RECORDS_CHECKED 1
#endif

namespace vandrel {
namespace {

constexpr std::size_t kPiece = std::size_t{2} << 20;  // one large page
// Lists from 1 KB (about 20 channels) to 256 KB come from the pieces: an
// actor without many channels takes no piece of its own, and a piece is not
// given to one list.
constexpr std::size_t kSmallest = std::size_t{1} << 10;
constexpr std::size_t kLargest = kPiece / 8;
constexpr std::size_t kAlign = alignof(std::max_align_t);
// The piece's start counts the lists that live in it.
constexpr std::size_t kHead = kAlign;

#ifdef VANDREL_RECORDS_CHECKED
// Under the address checker each list is followed by bytes it may not touch,
// and what is not taken or given back is marked so: an overrun or a late use
// is reported as it is for the heap.
constexpr std::size_t kGuard = 32;
void Forbid(void* p, std::size_t bytes) { ASAN_POISON_MEMORY_REGION(p, bytes); }
void Allow(void* p, std::size_t bytes) { ASAN_UNPOISON_MEMORY_REGION(p, bytes); }
#else
constexpr std::size_t kGuard = 0;
void Forbid(void*, std::size_t) {}
void Allow(void*, std::size_t) {}
#endif

bool FromPieces(std::size_t bytes) { return bytes >= kSmallest && bytes <= kLargest; }

std::size_t& Live(char* piece) { return *reinterpret_cast<std::size_t*>(piece); }

char* NewPiece() {
#ifdef VANDREL_RECORDS_CHECKED
  // The checker's own heap, so that it sees the pieces as it sees any memory.
  char* piece = static_cast<char*>(::operator new (kPiece, std::align_val_t{kPiece}));
#else
  // Twice the size, so that a whole aligned piece lies within it; the rest
  // goes back at once.
  void* area = ::mmap(nullptr, 2 * kPiece, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(area);
  const std::uintptr_t aligned = (start + kPiece - 1) & ~(kPiece - 1);
  if (aligned > start) ::munmap(area, aligned - start);
  if (aligned + kPiece < start + 2 * kPiece)
    ::munmap(reinterpret_cast<void*>(aligned + kPiece), start + kPiece - aligned);
  char* piece = reinterpret_cast<char*>(aligned);
  ::madvise(piece, kPiece, MADV_HUGEPAGE);
#endif
  Forbid(piece + kHead, kPiece - kHead);
  Live(piece) = 0;
  return piece;
}

void FreePiece(char* piece) noexcept {
  Allow(piece, kPiece);
#ifdef VANDREL_RECORDS_CHECKED
  ::operator delete (piece, std::align_val_t{kPiece});
#else
  ::munmap(piece, kPiece);
#endif
}

struct Pieces {
  std::mutex mutex;
  char* current = nullptr;  // the piece lists are taken from
  std::size_t used = 0;     // its bytes taken, its head included
};

// Never destroyed: lists in the module-level tables are freed after every
// other object of the program has gone.
Pieces& ThePieces() {
  static Pieces* pieces = new Pieces;
  return *pieces;
}

}  // namespace

void* TakeRecordMemory(std::size_t bytes) {
  if (!FromPieces(bytes)) return ::operator new(bytes);
  const std::size_t need = (bytes + kGuard + kAlign - 1) & ~(kAlign - 1);
  Pieces& pieces = ThePieces();
  const std::lock_guard lock(pieces.mutex);
  if (pieces.current == nullptr || pieces.used + need > kPiece) {
    char* piece = NewPiece();
    // The piece given up keeps living while lists in it do.
    if (pieces.current != nullptr && Live(pieces.current) == 0) FreePiece(pieces.current);
    pieces.current = piece;
    pieces.used = kHead;
  }
  char* p = pieces.current + pieces.used;
  pieces.used += need;
  ++Live(pieces.current);
  Allow(p, bytes);
  return p;
}

void GiveBackRecordMemory(void* p, std::size_t bytes) noexcept {
  if (!FromPieces(bytes)) {
    ::operator delete(p);
    return;
  }
  char* piece = reinterpret_cast<char*>(reinterpret_cast<std::uintptr_t>(p) & ~(kPiece - 1));
  Forbid(p, bytes);
  Pieces& pieces = ThePieces();
  const std::lock_guard lock(pieces.mutex);
  if (--Live(piece) != 0) return;
  if (piece == pieces.current)
    pieces.used = kHead;  // taken again from its start
  else
    FreePiece(piece);
}

}  // namespace vandrel
