// The Wavefront material export: every material of the document as "newmtl"
// statements with its colours, highlight size and texture and bump maps.
#pragma once

#include <cstddef>
#include <string>

namespace vandrel {

// Appends the statements of every material of gObjects[group] to `out`;
// lines end in CR LF whatever the pose files' line-end option.
void WriteMtl(std::size_t group, std::string& out);

// The statements of every group of gObjects, in order.
std::string BuildMtlFile();

// Writes BuildMtlFile() to `path` atomically. Returns an error text ("" =
// written); on failure an existing file of that name is left as it was.
std::string ExportMtl(const std::string& path);

// The bare file name of a map path: the text after its last "\", ":" or "/",
// so Windows paths, colon paths and native paths all give the name; the
// whole text when it holds none of them.
std::string MapFileName(std::string_view path);

}  // namespace vandrel
