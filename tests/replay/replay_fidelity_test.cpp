// A piece of work recorded on one document replays into a fresh one to the
// same pixels, at the end and at every step in between.
#include <gtest/gtest.h>

#include "replay_fixture.h"

namespace pg::test {
namespace {

TEST(ReplayFidelity, StrokesReplayToThePixelsOfTheOriginal) {
  ReplayFixture f;
  const std::string blank = picture(*f.x.doc);
  f.paint(ReplayFixture::line(5, 5, 50, 30, 40));
  f.tool.setColor(0x0000FF00u);
  f.tool.setWidth(3.0f);
  f.paint(ReplayFixture::line(60, 2, 3, 45, 17));
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  EXPECT_EQ(f.replayAll(), ReplayStep::End);
  EXPECT_NE(picture(*f.x.doc), blank);
  EXPECT_EQ(picture(*f.y.doc), picture(*f.x.doc));
}

}  // namespace
}  // namespace pg::test
