// A file's bytes read whole as the readers need them, with the reader's
// faults for what cannot be read.
#pragma once

#include <functional>
#include <string>

namespace vandrel {

// The whole file as text, read through pieces (no zero-filled copy); fails
// the read (ReadFault 53 or 75) when the file cannot be read. `stop` is asked
// after each piece of a few megabytes (the windows repaint); when it answers
// true the read ends there, with what it has. With `refuseNul` a NUL byte
// fails the read (ReadFault 321) at the first piece that holds it.
std::string ReadFileText(const std::string& path, const std::function<bool()>& stop = {},
                         bool refuseNul = false);

}  // namespace vandrel
