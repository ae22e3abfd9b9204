#pragma once

#include <functional>

namespace benchmark {
class State;
}

namespace bench {

// The benchmark's loop for a preview: each iteration opens it with `oeffnen`
// (which returns once the window has closed); from the event loop of the
// modal window, the preview is drawn as the screen would draw it and closed
// as soon as it holds its first page. An exception of `oeffnen`, or a
// preview that closed before showing a page, skips the benchmark with the
// reason.
void ersteSeiteMessen(benchmark::State& state, const std::function<void()>& oeffnen);

} // namespace bench
