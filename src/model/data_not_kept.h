// What the open document's file holds that the tables do not keep, so that
// a rewrite of that file in place does not drop it without a question.
#pragma once

#include <string>
#include <vector>

namespace vandrel {

struct DataNotKeptRec {
  std::string Path;                // the file read
  std::vector<std::string> Kinds;  // the first few kinds, in the order of the file; empty: nothing
};
extern DataNotKeptRec gDataNotKept;

// True when the two paths name one file: the same text, or two names of one
// existing file.
bool SameFile(const std::string& a, const std::string& b);

// The kinds a write over `target` would drop: those of the file read when
// `target` is that file, else none.
const std::vector<std::string>& DataLostByWriting(const std::string& target);

// After `target` was written: when it is the file read, it now holds only
// what the tables keep.
void WrittenOver(const std::string& target);

// "animation keys, lightOn, doShadow": the first three kinds, and a word for
// the others.
std::string DataNotKeptText(const std::vector<std::string>& kinds);

// "File <path>" CR LF "holds <kinds> that a material pose does not keep.":
// the start of the question before such a file is replaced, and of the
// message when it is left.
std::string HoldsDataNotKeptText(const std::string& path, const std::vector<std::string>& kinds);
// The message of a write over the file read that was not made because of
// what it holds.
std::string NotReplacedText(const std::string& path);

}  // namespace vandrel
