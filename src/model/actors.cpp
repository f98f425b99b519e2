#include "model/actors.h"

namespace vandrel {

const std::vector<DialRec> DialList::kNone;
const std::vector<DialRec> DialList::kBlank(1);
const ActorProperties ActorRec::kNoProperties;

}  // namespace vandrel
