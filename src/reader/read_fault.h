// The faults that end a read of a Poser file. They carry the runtime error
// number and description that the reader's one error report shows.
#pragma once

#include <cmath>
#include <exception>
#include <limits>
#include <string>

#include "common/numbers.h"

namespace vandrel {

struct ReadFault : std::exception {
  ReadFault(int number, std::string description) : number(number), description(std::move(description)) {}
  const char* what() const noexcept override { return description.c_str(); }
  int number;
  std::string description;
};

inline ReadFault InvalidCallFault() { return {5, "Invalid procedure call or argument"}; }
inline ReadFault OverflowFault() { return {6, "Overflow"}; }
// What a read ends with when memory runs out (std::bad_alloc anywhere in it).
inline ReadFault OutOfMemoryFault() { return {7, "Out of memory"}; }
inline ReadFault FileNotFoundFault() { return {53, "File not found"}; }
inline ReadFault InputPastEndFault() { return {62, "Input past end of file"}; }
inline ReadFault BadRecordFault() { return {63, "Bad record number"}; }
// A file whose blocks do not all close: cut off.
inline ReadFault CutOffFault() { return {62, "The file ends inside a block"}; }
inline ReadFault FileAccessFault() { return {75, "Path/File access error"}; }
// A number read from Poser text. One too large for a double (Val and the
// leading-number reader give an infinity for it) ends the read with the
// overflow error, as it did in the original's conversion: it is never kept
// as an infinity, which would be written back as "INF".
inline double FiniteNumber(double value) {
  if (std::isinf(value)) throw OverflowFault();
  return value;
}
// The same for a value kept in single precision (the thigh length).
inline float FiniteSingle(double value) {
  if (!(std::fabs(value) <= std::numeric_limits<float>::max())) throw OverflowFault();
  return static_cast<float>(value);
}
// The 16-bit integer the original stores a rounded value in; a value that
// does not fit fails the read with the overflow error.
inline int ToInteger(double value) {
  const double r = RoundHalfEven(value);
  if (!(r >= -32768.0 && r <= 32767.0)) throw OverflowFault();
  return static_cast<int>(r);
}

// A file that is not Poser text (binary, compressed, or not starting with
// a block): the description says which.
inline ReadFault NotPoserTextFault(std::string description) { return {321, std::move(description)}; }

}  // namespace vandrel
