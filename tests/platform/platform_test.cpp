#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/debug_output.h"

namespace pg {
namespace {

TEST(DebugOutput, SinkCapturesTextExactlyAndCanBeRestored) {
  std::vector<std::string> lines;
  DebugSink old = setDebugSink([&](std::string_view t) { lines.emplace_back(t); });
  debugOutput("TMTC::Resize: caught an exception!\\n");
  setDebugSink(old);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(lines[0].size() - 2), "\\n");
}

TEST(Clock, ReplacedClockIsReadAndWrapsUnsigned) {
  ManualClock manual(0xFFFFFFF0u, 0x20);
  Clock* old = setClock(&manual);
  uint32_t a = timeGetTime();
  uint32_t b = timeGetTime();
  setClock(old);
  EXPECT_EQ(a, 0xFFFFFFF0u);
  EXPECT_EQ(b, 0x10u);
  EXPECT_EQ(static_cast<uint32_t>(b - a), 0x20u);  // elapsed time survives the wrap
}

TEST(Clock, SystemClockDoesNotRunBackwards) {
  uint32_t a = timeGetTime();
  uint32_t b = timeGetTime();
  EXPECT_LT(static_cast<uint32_t>(b - a), 1000u);
}

}  // namespace
}  // namespace pg
