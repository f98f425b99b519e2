#include "model/actors.h"

namespace vandrel {

const DialList::Records DialList::kNone;
const DialList::Records DialList::kBlank(1);
const ActorProperties ActorRec::kNoProperties;

}  // namespace vandrel
