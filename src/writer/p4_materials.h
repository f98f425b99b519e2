// The "material" blocks of one material group in a pose file: the Poser 4
// material lines of every property saved with the pose and, in Poser 5
// format, the material's shader tree.
#pragma once

#include <cstddef>
#include <string>

#include "model/materials.h"
#include "writer/write_format.h"

namespace vandrel {

// Appends the blocks of every material of gObjects[group], in order, to `out`.
// Returns an error text ("" = written), e.g. for a strength that is not a
// number; `out` then holds the part written so far.
std::string WriteP4Materials(std::size_t group, const MaterialFormat& format, std::string& out);

// Appends the block of one material.
std::string WriteP4Material(const MaterialRec& m, const MaterialFormat& format, std::string& out);

}  // namespace vandrel
