#include "reader/file_text.h"

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "reader/poser_file_reader.h"
#include "reader/read_fault.h"
#include "reader/read_state.h"

namespace vandrel {
namespace {
// The size of the pieces a large file is read in, between two yields.
constexpr std::size_t kReadPiece = std::size_t{4} << 20;
// The pieces looked through for a NUL as they are read.
constexpr std::size_t kNulLookPiece = std::size_t{1} << 20;
}  // namespace

std::string ReadFileText(const std::string& path, const std::function<bool()>& stop, bool refuseNul) {
  if (path.empty()) throw FileAccessFault();
  std::string text;
  // What is read is looked through for a NUL piece by piece, so that a
  // binary file is given up at once, not read whole first.
  std::size_t looked = 0;
  bool nul = false;
  const auto look = [&] {
    nul = nul || std::memchr(text.data() + looked, '\0', text.size() - looked) != nullptr;
    looked = text.size();
    return nul;
  };
  const auto stopOrNul = [&] { return (refuseNul && look()) || (stop && stop()); };
  const int err = ReadWholeFileInto(path, text, stopOrNul, refuseNul ? kNulLookPiece : kReadPiece);
  if (err == ENOENT || err == ENOTDIR) throw FileNotFoundFault();
  if (err != 0) throw FileAccessFault();
  if (refuseNul && look()) throw NotPoserTextFault(kNotPoserText);
  return text;
}

void ReadText::Load(const std::string& path, const std::function<bool()>& yield) {
  if (loaded_) return;
  // A NUL past the start that the first look saw: binary, not Poser text.
  // A file is given up at the piece that holds it.
  if (given_) {
    input_ = *given_;
    if (!input_.empty() && std::memchr(input_.data(), '\0', input_.size()) != nullptr)
      throw NotPoserTextFault(kNotPoserText);
  } else {
    file_ = ReadFileText(path, yield, true);
    input_ = file_;
  }
  loaded_ = true;
}

void ReadText::TakeInputAsWhole() {
  if (given_) {
    whole.assign(input_);
    return;
  }
  whole = std::move(file_);
  // (Assigning an empty string would keep the room: it is swapped away.)
  std::string().swap(file_);
  input_ = {};
  taken_ = true;
}

void ReadText::DropInput() {
  if (given_) return;
  std::string().swap(file_);
  input_ = {};
}

void ReadText::ReloadWhole(const std::string& path, const std::function<bool()>& yield) {
  if (taken_) {
    // The text it replaces is let go first: the file is not held twice.
    std::string().swap(whole);
    whole = ReadFileText(path, yield);
  } else
    whole.assign(input_);
}

}  // namespace vandrel
