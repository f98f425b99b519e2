// Freedesktop key files (desktop entries, mimeapps.list, mimeinfo.cache):
// "[Section]" headers and "key=value" lines, read and edited as text so that
// every other line stays as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

// mimeapps.list text with `desktopId` put first in (add) or taken out of
// (remove) the list of `mimeType` in `section`; every other line unchanged.
std::string EditMimeAppsText(std::string_view text, std::string_view section, std::string_view mimeType,
                             std::string_view desktopId, bool add);
// The value of `key` in `section` of key-file text (desktop entries,
// mimeapps.list), the last one when repeated; nullopt when absent.
std::optional<std::string> KeyFileEntry(std::string_view text, std::string_view section,
                                        std::string_view key);
// The entries listed for `mimeType` in `section` of mimeapps.list text.
std::vector<std::string> MimeAppsEntries(std::string_view text, std::string_view section,
                                         std::string_view mimeType);

}  // namespace vandrel
