// File-dialog filters written as the original writes them
// ("Pose files|*.pz2|All files|*.*") turned into Qt's form.
#pragma once

#include <string>

namespace vandrel {

// "Pose files (*.pz2 *.PZ2);;All files (*)": every pattern also in upper
// case, since names differ by case on Linux; "*.*" means every file.
std::string QtFilterOf(const std::string& filter);

// The Qt filter text of entry `index` (1-based) of a converted filter, "" when out of range.
std::string QtFilterEntry(const std::string& filter, int index);

}  // namespace vandrel
