// Messages nobody can see in a box go to the debug output, line by line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/debug_output.h"
#include "platform/message_service.h"

namespace pg {
namespace {

TEST(MessageFallbackLines, CarriageReturnsBecomeLineFeeds) {
  std::vector<std::string> lines;
  DebugSink previous = setDebugSink([&](std::string_view t) { lines.emplace_back(t); });
  setMessageBatchMode(true);
  showWarning("unknown command line switch!\r    arg = -x");
  showInfo("a\r\nb\r");
  setMessageBatchMode(false);
  setDebugSink(previous);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "warning: unknown command line switch!\n    arg = -x");
  EXPECT_EQ(lines[1], "information: a\nb\n");
}

}  // namespace
}  // namespace pg
