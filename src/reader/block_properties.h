// The properties of an object block that stand before its channels (the
// head: on or off, hidden, name, a light's or camera's own keys) and after
// them (the tail: shadows, the light's switch, locked, ...).
#pragma once

#include <functional>
#include <string_view>

#include "model/actors.h"

namespace vandrel {

// The head's properties into `a`; the head has LF line ends and no
// indentation.
void ReadHeadProperties(std::string_view head, ActorRec& a);
// The tail's properties the same way, from the tail as it stands in the
// text (any line ends, indentation and "}"s); `tick` is called every so
// many lines, so that the windows repaint (it may throw to cancel).
void ReadTailProperties(std::string_view tail, ActorRec& a, const std::function<void()>& tick = {});

}  // namespace vandrel
