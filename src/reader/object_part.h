// The object part of a pose-type file: its actor, prop, light and camera
// blocks go to the object-part reader and are cut out of the text, which
// keeps the figure and the prop groups for the group split. Internal to the
// reader.
#pragma once

#include "reader/read_state.h"

namespace vandrel {

// Reads and cuts out the object part of `rs.text.whole`; without objects
// (or in import mode) the text stays whole and the channels are off.
void CutObjectPart(ReadState& rs);

}  // namespace vandrel
