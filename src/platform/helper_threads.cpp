#include "platform/helper_threads.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace vandrel {

void StartHelperThreads(std::vector<std::jthread>& helpers, unsigned most,
                        const std::function<void()>& work) {
  const unsigned more = std::min(most, std::max(1u, std::thread::hardware_concurrency()) - 1);
  try {
    for (unsigned i = 0; i < more; ++i) helpers.emplace_back(work);
  } catch (const std::system_error&) {
    // Fewer threads share the work.
  } catch (const std::bad_alloc&) {
    // No memory for one more thread: the same.
  }
}

}  // namespace vandrel
