// The replay session the window and the batch modes drive.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "replay_fixture.h"
#include "test_support/temp_folder.h"

namespace pg::test {
namespace {

TEST(ReplaySession, StepsCountsRefreshAndStop) {
  ReplayFixture f;
  for (int i = 0; i < 4; ++i) f.paint(ReplayFixture::line(5, 5 + 8 * i, 50, 8 * i, 20));
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  EXPECT_NE(f.session->takeRefresh() & kRefreshCanvasSize, 0);  // the image set-up run by the start
  EXPECT_EQ(f.session->step(2), ReplayStep::EventDone);
  EXPECT_EQ(f.session->stepsDone(), 2u);
  EXPECT_TRUE(f.session->isRunning());
  // Paused: nothing moves.
  f.session->setPaused(true);
  EXPECT_EQ(f.session->step(5), ReplayStep::Paused);
  EXPECT_EQ(f.session->stepsDone(), 2u);
  f.session->setPaused(false);
  // Stopped inside a stroke: the stroke is completed.
  f.session->setStepPoints(true);
  EXPECT_EQ(f.session->step(3), ReplayStep::EventDone);
  ASSERT_TRUE(f.session->engine().strokeOpen());
  f.session->stop();
  EXPECT_FALSE(f.session->engine().strokeOpen());
  EXPECT_FALSE(f.session->isRunning());
  EXPECT_EQ(f.session->step(1), f.session->lastResult());
}

TEST(ReplaySession, FilesThatCarryNoRecording) {
  pg::testing::TempFolder dir;
  ReplayFixture f;
  ASSERT_TRUE(writeNativeFile(dir.file("plain.kci"), *f.x.doc, kNativeLayers | kNativeMasks));
  for (const char* name : {"plain.kci", "missing.kci", "missing.ke4"}) {
    RecordedDoc y(nullptr);
    CReplaySession session(*y.doc, *y.flow);
    EXPECT_EQ(session.open(dir.file(name)), ReplayStart::FileError) << name;
    EXPECT_FALSE(session.isRunning());
  }
}

TEST(ReplaySession, ANativeFileGivesItsRecordingWithoutItsLayers) {
  pg::testing::TempFolder dir;
  ReplayFixture f;
  f.paint(ReplayFixture::line(3, 3, 60, 40, 20));
  ASSERT_TRUE(writeNativeFile(dir.file("work.kci"), *f.x.doc, kNativeLayers | kNativeMasks | kNativeEvents));
  // The layer chunk broken: reading it would fail and be reported.
  std::vector<uint8_t> bytes;
  {
    std::ifstream in(dir.file("work.kci"), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  size_t layer = 0;
  for (size_t i = kNativeHeaderBytes; i + 4 <= bytes.size() && layer == 0; ++i)
    if (chunkU32(bytes.data() + i) == kTagLayer) layer = i;
  ASSERT_NE(layer, 0u);
  for (size_t i = layer + kChunkHeadBytes; i < layer + kChunkHeadBytes + 40; ++i) bytes[i] = 0xFF;
  {
    std::ofstream out(dir.file("work.kci"), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  RecordedDoc y(nullptr);
  y.window.replaying = true;
  FakeMessages messages;
  CReplaySession session(*y.doc, *y.flow);
  ASSERT_EQ(session.open(dir.file("work.kci")), ReplayStart::Started);
  EXPECT_TRUE(messages.warnings().empty());
  EXPECT_EQ(session.step(1000), ReplayStep::End);
  EXPECT_EQ(picture(*y.doc), picture(*f.x.doc));
}

}  // namespace
}  // namespace pg::test
