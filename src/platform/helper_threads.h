// Threads that take a share of a long piece of work beside the thread that
// asked for it.
#pragma once

#include <functional>
#include <thread>
#include <vector>

namespace vandrel {

// Starts up to `most` threads running `work`, leaving the calling thread a
// processor of its own: none on a machine of one processor, fewer where no
// more threads can be started. They are joined when `helpers` lets them go.
void StartHelperThreads(std::vector<std::jthread>& helpers, unsigned most, const std::function<void()>& work);

}  // namespace vandrel
