#include "tools/file_report.h"

#include <array>
#include <filesystem>

#include "common/encoding.h"
#include "common/text.h"
#include "maps/picture_sizes.h"
#include "maps/poser_paths.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/path_case.h"

namespace vandrel {

namespace {

constexpr const char* kFonts = "Verdana, Arial, Helvetica, sans - serif";

struct Section {
  MapKind kind;
  const char* heading;
  const char* none;
  const char* prefix;
};
constexpr std::array<Section, 4> kSections{{
    {MapKind::Texture, ">Texture maps</font></h3>", "<em>No texture maps</em>", "tex"},
    {MapKind::Bump, ">Bump maps</font></h3>", "<em>No bump maps</em>", "bump"},
    {MapKind::Reflection, ">Reflection maps</font></h3>", "<em>No reflection maps</em>", "reflection"},
    {MapKind::Transparency, ">Transparency maps</font></h3>", "<em>No transparency maps</em>",
     "transparency"},
}};

// A picture reference: bytes that would break a URL are escaped, so the
// page finds a folder whatever its name (a browser reads a backslash as "/").
std::string UrlPart(const std::string& text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x80 || c == '%' || c == '#' || c == '?' || c == '"' || c == '&' || c == '\\' || c < 0x20) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// A text of the page: Poser text and file names alike in their Unicode form
// (the page is UTF-8), then escaped.
std::string Html(const std::string& text) { return HtmlEscape(PoserTextToUtf8(text)); }

std::string PictureSize(const std::string& filePath) {
  const std::string size = PictureSizeOf(filePath);
  return size.empty() ? "N/A" : size;
}

class Page {
 public:
  void Line(std::string_view text) {
    out_ += text;
    out_ += "\r\n";
  }
  std::string& text() { return out_; }

 private:
  std::string out_;
};

class ReportWriter {
 public:
  ReportWriter(const ReportRequest& request, const FileFactsSource& files, const DisplayLocale& locale,
               ReportPictures& pictures)
      : request_(request), files_(files), locale_(locale), pictures_(pictures) {
    folderName_ = ReportImagesFolderName(request.reportPath);
    folder_ = JoinPath(FolderOf(request.reportPath), folderName_);
  }

  std::string Write() {
    const std::string name = Html(request_.labels.FileName);
    const std::string font = "<font size=\"3\" face=\"" + std::string(kFonts) + "\">";
    page_.Line("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">");
    page_.Line("<html>");
    page_.Line("<head>");
    page_.Line("<title>" + name + "</title>");
    page_.Line("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    page_.Line("</head>");
    page_.Line("<body text=\"#033D5B\">");

    const std::string png = LibraryThumbnailOf(request_.fileName);
    std::optional<std::string> thumbnail;
    if (!png.empty()) thumbnail = pictures_.LibraryThumbnailJpeg(png);
    if (thumbnail) {
      if (!SavePicture("thumbnail.jpg", *thumbnail)) return error_;
      page_.Line("<table width=\"400\" border=\"0\">");
      page_.Line("  <tr>");
      page_.Line("    <td width=\"93\"><img src=\"" + Reference("thumbnail.jpg") + "\"></td>");
      page_.Line("    <td><h3>" + font + name + "</font></h3></td>");
      page_.Line("  </tr>");
      page_.Line("</table>");
    } else {
      page_.Line("<h3>" + font + name + "</font></h3>");
    }

    const FileInfoLabels& l = request_.labels;
    page_.Line("<font size=\"2\" face=\"" + std::string(kFonts) + "\">");
    page_.Line("<table width=\"400\" border=\"1\">");
    Fact("File type", l.FileType);
    Fact("Required Poser version", request_.readVersion.empty() ? "N/A" : request_.readVersion);
    Fact("File size", l.Size);
    Fact("Creation date", CreationDateText(request_.fileName, files_, locale_));
    Fact("No. of objects", l.Figures);
    Fact("No. of body parts", l.Actors);
    Fact("No. of materials", l.Materials);
    Fact("No. of sub-divided materials", l.SdMats);
    Fact("No. of body part and prop channels", l.Channels);
    Fact("No. of pose channels", l.Pose);
    Fact("No. of morph channels", l.Morph);
    Fact("No. of null channels", l.Null);
    page_.Line("</table>");

    for (const Section& section : kSections)
      if (!MapSection(section)) return error_;
    page_.Line("</font>");
    page_.Line("</body>");
    page_.Line("</html>");
    const std::string error = WriteFileAtomic(request_.reportPath, page_.text());
    if (!error.empty()) return "The report " + request_.reportPath + " could not be written: " + error;
    return {};
  }

 private:
  void Fact(const char* label, const std::string& value) {
    page_.Line("  <tr>");
    page_.Line(std::string("    <td><font size=2>") + label + "</font></td>");
    page_.Line("    <td><font size=2>" + Html(value) + "</font></td>");
    page_.Line("  </tr>");
  }

  std::string Reference(const std::string& picture) const {
    return HtmlEscape(UrlPart(folderName_)) + "/" + picture;
  }

  bool SavePicture(const std::string& picture, const std::string& jpeg) {
    if (jpeg.empty()) {
      error_ = "The picture " + picture + " of the report could not be made.";
      return false;
    }
    if (!FolderExists(folder_)) {
      std::error_code ec;
      std::filesystem::create_directory(folder_, ec);
      if (ec) {
        error_ = "The folder " + folder_ + " could not be created: " + ec.message();
        return false;
      }
    }
    const std::string error = WriteFileAtomic(JoinPath(folder_, picture), jpeg, false);
    if (!error.empty()) {
      error_ = "The picture " + JoinPath(folder_, picture) + " could not be written: " + error;
      return false;
    }
    return true;
  }

  bool MapSection(const Section& section) {
    page_.Line("<h3><font size=\"2\" face=\"" + std::string(kFonts) + "\"" + section.heading);
    const std::vector<std::string> paths = DistinctMapPaths(section.kind);
    if (paths.empty()) {
      page_.Line(section.none);
      return true;
    }
    page_.Line("<table width=\"600\" border=\"1\">");
    for (std::size_t n = 0; n < paths.size(); ++n) {
      const std::string stored = Html(paths[n]);
      const std::string file = PoserPathToFilePath(paths[n]);
      const std::optional<FileFacts> facts = files_.Facts(file);
      page_.Line("  <tr>");
      if (!facts) {
        page_.Line("    <td width=\"93\"><font size=2>File not found</font></td>");
        page_.Line("    <td><font size=2>" + stored + "</font></td>");
      } else {
        const std::string picture = std::string(section.prefix) + " " + std::to_string(n) + ".jpg";
        if (!SavePicture(picture, pictures_.MapPictureJpeg(file))) return false;
        page_.Line("    <td width=\"93\"><img src=\"" + Reference(picture) + "\"></td>");
        page_.Line("    <td><font size=2>" + stored + "<br>");
        page_.Line("      <li>Dimensions: " + Html(PictureSize(file)) + "</li>");
        page_.Line("      <li>File size: " + Html(MegabytesText(facts->size, locale_)) + " MB</li>");
        page_.Line("      <li>Created: " + Html(FormatDateTime(facts->created, locale_)) +
                   "</li></font></td>");
      }
      page_.Line("  </tr>");
    }
    page_.Line("</table>");
    return true;
  }

  const ReportRequest& request_;
  const FileFactsSource& files_;
  const DisplayLocale& locale_;
  ReportPictures& pictures_;
  std::string folderName_, folder_, error_;
  Page page_;
};

}  // namespace

std::string ReportImagesFolderName(const std::string& reportPath) {
  const std::string name = FileNameOf(reportPath);
  const std::size_t dot = name.rfind('.');
  return (dot == std::string::npos ? name : name.substr(0, dot)) + "_Images";
}

std::string LibraryThumbnailOf(const std::string& fileName) {
  if (fileName.size() < 4) return {};
  std::string base = Left(fileName, fileName.size() - 4);
  if (EndsWith(base, ".")) base.pop_back();
  const std::string png = base + ".png";
  if (FileExists(png)) return png;
  const std::string stored = FindStoredName(FolderOf(png), FileNameOf(png));
  return stored.empty() ? png : JoinPath(FolderOf(png), stored);
}

std::string WriteFileReport(const ReportRequest& request, const FileFactsSource& files,
                            const DisplayLocale& locale, ReportPictures& pictures) {
  return ReportWriter(request, files, locale, pictures).Write();
}

}  // namespace vandrel
