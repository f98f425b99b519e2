// The Poser 5 image-map nodes of a material's shader tree: one node per saved
// map, in the order texture, transparency, reflection, bump, named
// "Image_Map", "Image_Map_2", ... as the root node's inputs link them.
#pragma once

#include <cstddef>
#include <string>

#include "model/materials.h"
#include "writer/write_format.h"

namespace vandrel {

// Appends the nodes; `counter` is set to 1 and, on return, is one more than
// the number of nodes written. Returns an error text ("" = written).
std::string WriteP5ImageMapNodes(int& counter, const MaterialRec& m, const MaterialFormat& format,
                                 std::string& out);
// The same for gObjects[group].Materials[material].
std::string WriteP5ImageMapNodes(int& counter, std::size_t group, std::size_t material,
                                 const MaterialFormat& format, std::string& out);

}  // namespace vandrel
