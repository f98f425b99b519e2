// The statistics of the open file (gFileInfo), counted after each load, and
// the texts the file information window and the report show of them.
#pragma once

#include <string>
#include <vector>

#include "model/file_info.h"
#include "platform/display_locale.h"
#include "platform/file_facts.h"

namespace vandrel {

// Rewrites gFileInfo from the tables in one pass: the figure-level groups
// (before the object list's first "actor ", "light " or "camera " entry) with
// their materials, every actor's channels by kind and its own group's
// materials, and the distinct map paths of each kind. Blank placeholder
// dials and materials count for nothing; an empty path or "NO_MAP" (any
// case) is never a map.
void CollectFileInfo();

enum class MapKind { Texture, Bump, Reflection, Transparency };
// The distinct map paths of one kind in the material table, in table order,
// compared exactly as stored.
std::vector<std::string> DistinctMapPaths(MapKind kind);

// The value labels of the file information window's first page, which the
// report prints as well.
struct FileInfoLabels {
  std::string FileName, FileType, Size;
  std::string Figures, Materials, SdMats, Actors;
  std::string Channels, Pose, Morph, Null;
  std::string Texture, Bump, Reflection, Transparency;
};
FileInfoLabels FileInfoLabelsOf(const FileInfoRec& info, const FileFactsSource& files,
                                const DisplayLocale& locale);

// "Character (CR2)" ... by the path's last four characters in any case;
// "N/A" for another ending.
std::string FileTypeText(const std::string& path);
// "123.5 KB" below 1,000,000 bytes, else "2.35 MB"; halves to even.
std::string FileSizeText(std::uint64_t bytes, const DisplayLocale& locale);
// Bytes in MB to two decimals, without the unit ("2.34").
std::string MegabytesText(std::uint64_t bytes, const DisplayLocale& locale);
// The file's creation date as the report shows it; "N/A" when it is gone.
std::string CreationDateText(const std::string& path, const FileFactsSource& files,
                             const DisplayLocale& locale);

}  // namespace vandrel
