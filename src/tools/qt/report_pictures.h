// The report's pictures through Qt: the library thumbnail and each map's
// thumbnail from the main window's list 0 (decoded now when the list lacks
// it, the stock "NA" picture when it cannot be decoded), as JPEG at quality 80.
#pragma once

#include "platform/dialog_preview.h"
#include "tools/file_report.h"

namespace vandrel {

class QtReportPictures : public ReportPictures {
 public:
  std::optional<std::string> LibraryThumbnailJpeg(const std::string& pngPath) override;
  std::string MapPictureJpeg(const std::string& filePath) override;
};

// A thumbnail as JPEG bytes at quality 80; "" when encoding failed.
std::string JpegBytes(const ThumbPicture& picture);

}  // namespace vandrel
