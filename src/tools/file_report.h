// The HTML report of the open file: one page with the file's name and
// library thumbnail, a table of its facts and one section per map kind
// listing the distinct maps with a picture, pixel size, file size and
// creation date. The pictures go into the folder <report name>_Images beside
// the page; the page refers to them as "<folder name>/<picture>". The page
// is UTF-8 and says so; Poser text in it is shown as on screen.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/display_locale.h"
#include "platform/file_facts.h"
#include "tools/file_statistics.h"

namespace vandrel {

// Encodes the report's pictures as JPEG (the Qt side); the report writes
// the files.
class ReportPictures {
 public:
  virtual ~ReportPictures() = default;
  // The library thumbnail `pngPath` of the open file; nullopt when there is
  // no such picture.
  virtual std::optional<std::string> LibraryThumbnailJpeg(const std::string& pngPath) = 0;
  // The thumbnail of the existing map file `filePath` (the stock "not
  // available" picture when it cannot be decoded); "" when encoding failed.
  virtual std::string MapPictureJpeg(const std::string& filePath) = 0;
};

struct ReportRequest {
  std::string reportPath;   // the page, as chosen in the save dialog
  std::string fileName;     // the open file, as gFileInfo names it
  std::string readVersion;  // gState.ReadVersion
  FileInfoLabels labels;    // the window's value labels
};

// "<report name up to its last '.'>_Images".
std::string ReportImagesFolderName(const std::string& reportPath);
// The library thumbnail of a Poser file: the path without its four-character
// extension (and a "." left before it) followed by ".png", found in any case.
std::string LibraryThumbnailOf(const std::string& fileName);

// Writes the pictures, then the page atomically. The map sections list what
// the material table holds now. Returns an error text ("" on success); on a
// failure the pictures written so far stay, the page is not written.
std::string WriteFileReport(const ReportRequest& request, const FileFactsSource& files,
                            const DisplayLocale& locale, ReportPictures& pictures);

}  // namespace vandrel
