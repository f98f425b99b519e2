// Reads the fixed version information of a Windows executable.
#pragma once

#include <string>

namespace vandrel {

// "a.b.c.d" from the file's VS_FIXEDFILEINFO (signature 0xFEEF04BD), or the
// empty string when the file is missing, is no PE file or has no version.
std::string GetFileVersion(const std::string& path);

}  // namespace vandrel
