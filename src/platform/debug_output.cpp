#include "platform/debug_output.h"

#include <cstdio>
#include <utility>

namespace pg {
namespace {
DebugSink& currentSink() {
  static DebugSink sink;
  return sink;
}
}  // namespace

void debugOutput(std::string_view text) {
  if (const DebugSink& sink = currentSink()) {
    sink(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
}

DebugSink setDebugSink(DebugSink sink) { return std::exchange(currentSink(), std::move(sink)); }

}  // namespace pg
