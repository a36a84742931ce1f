#pragma once
// The debugger-output channel: diagnostic lines that never reach the user
// (caught allocation failures and the like) go through debugOutput().
// By default they are written to stderr; tests install a sink to capture them.
#include <functional>
#include <string_view>

namespace pg {

using DebugSink = std::function<void(std::string_view)>;

// Writes one diagnostic text exactly as given (no newline is added).
void debugOutput(std::string_view text);

// Replaces the sink; an empty function restores the default (stderr).
// Answers the previous sink so that a caller can put it back.
DebugSink setDebugSink(DebugSink sink);

}  // namespace pg
