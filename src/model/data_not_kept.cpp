#include "model/data_not_kept.h"

#include <filesystem>
#include <system_error>

namespace vandrel {

DataNotKeptRec gDataNotKept;

bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  if (a == b) return true;
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

const std::vector<std::string>& DataLostByWriting(const std::string& target) {
  static const std::vector<std::string> kNone;
  if (gDataNotKept.Kinds.empty() || !SameFile(target, gDataNotKept.Path)) return kNone;
  return gDataNotKept.Kinds;
}

void WrittenOver(const std::string& target) {
  if (SameFile(target, gDataNotKept.Path)) gDataNotKept.Kinds.clear();
}

std::string DataNotKeptText(const std::vector<std::string>& kinds) {
  constexpr std::size_t kNamed = 3;
  std::string text;
  for (std::size_t i = 0; i < kinds.size() && i < kNamed; ++i) text += (i == 0 ? "" : ", ") + kinds[i];
  if (kinds.size() > kNamed) text += " and other data";
  return text;
}

std::string HoldsDataNotKeptText(const std::string& path, const std::vector<std::string>& kinds) {
  return "File " + path + "\r\nholds " + DataNotKeptText(kinds) + " that a material pose does not keep.";
}

std::string NotReplacedText(const std::string& path) {
  return HoldsDataNotKeptText(path, DataLostByWriting(path)) + "\r\nIt was not replaced.";
}

}  // namespace vandrel
