// The "material" block of one material in a pose file: the Poser 4
// material lines of every property saved with the pose and, in Poser 5
// format, the material's shader tree.
#pragma once

#include <string>

#include "model/materials.h"
#include "writer/write_format.h"

namespace vandrel {

// Appends the block of one material to `out`. Returns an error text ("" =
// written), e.g. for a strength that is not a number; `out` then holds the
// part written so far.
std::string WriteP4Material(const MaterialRec& m, const MaterialFormat& format, std::string& out);

}  // namespace vandrel
