// The head of a material's Poser 5 shader tree and its root surface node,
// whose inputs carry the material's values and link its image-map nodes.
#pragma once

#include <cstddef>
#include <string>

#include "model/materials.h"
#include "writer/write_format.h"

namespace vandrel {

// Appends "shaderTree", its "{", the root node "poser" "PoserSurface" with its
// inputs and the node's closing line (the tree's own "}" is the caller's).
// `counter` is set to 1 and advanced once per saved map, so on return it is
// one more than the number of saved maps. Returns an error text ("" = written).
std::string WriteP5ShaderTree(int& counter, const MaterialRec& m, const MaterialFormat& format,
                              std::string& out);
// The same for gObjects[group].Materials[material].
std::string WriteP5ShaderTree(int& counter, std::size_t group, std::size_t material,
                              const MaterialFormat& format, std::string& out);

}  // namespace vandrel
