#include "writer/mtl_writer.h"

#include "common/numbers.h"
#include "model/model.h"
#include "platform/files.h"
#include "writer/line_out.h"
#include "writer/write_format.h"

namespace vandrel {

std::string MapFileName(std::string_view path) {
  const std::size_t last = path.find_last_of("\\:/");
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

void WriteMtl(std::size_t group, std::string& out) {
  const auto line = [&out](std::string_view text) { PutLine(out, 0, text, kCrLf); };
  for (const MaterialRec& m : gObjects.at(group).Materials) {
    line("newmtl " + m.Name);
    if (m.HighlightSizeOn) line("Ns " + FormatInt(101 - m.HighlightSize));
    if (m.AmbientColorOn) line("Ka " + ColorFractions(m.AmbientColor));
    if (m.ObjectColorOn) line("Kd " + ColorFractions(m.ObjectColor));
    if (m.HighlightColorOn) line("Ks " + ColorFractions(m.HighlightColor));
    if (MapPresent(m.TextureMapOn, m.TextureMap)) line("map_Kd " + MapFileName(m.TextureMap));
    if (MapPresent(m.BumpMapOn, m.BumpMap)) line("map_Bump " + MapFileName(m.BumpMap));
  }
}

std::string BuildMtlFile() {
  std::string out;
  for (std::size_t group = 0; group < gObjects.size(); ++group) WriteMtl(group, out);
  return out;
}

std::string ExportMtl(const std::string& path) { return WriteFileAtomic(path, BuildMtlFile()); }

}  // namespace vandrel
