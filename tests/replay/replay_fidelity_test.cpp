// A piece of work recorded on one document replays into a fresh one to the
// same pixels, at the end and after every replayed event in between, from
// the live recording, from an event file and from a native file.
#include <gtest/gtest.h>

#include "filters/distort_filters.h"
#include "filters/filter_table.h"
#include "filters/noise_filters.h"
#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "io/thumbnail_document.h"
#include "record/event_file.h"
#include "replay_fixture.h"
#include "test_support/temp_folder.h"

namespace pg::test {
namespace {

// The scripted work: strokes of both engines with pressure, with smoothing
// on and off, colour and size changes, the paper colour, and an undo in the
// middle. `expected` gets the picture after every event the recording keeps.
void scriptedWork(ReplayFixture& f, std::vector<std::string>& expected) {
  auto keep = [&] { expected.push_back(picture(*f.x.doc)); };
  expected.push_back(picture(*f.x.doc));  // after the reset point
  f.paint(ReplayFixture::line(5, 5, 50, 30, 40));
  keep();
  f.tool.setColor(0x0000FF00u);
  f.tool.setWidth(3.0f);
  f.tool.setPressureSize(true);
  f.paint(ReplayFixture::line(60, 2, 3, 45, 17, 0.1f, 0.9f));
  keep();
  ASSERT_TRUE(f.x.doc->setPaperColor(PaperColor::fromRgb(250, 240, 200), true));
  keep();
  // An undone stroke leaves the recording with its event.
  f.tool.setColor(0x00FF0000u);
  f.paint(ReplayFixture::line(2, 40, 60, 40, 12));
  int32_t index = 0;
  TRect rect{};
  ASSERT_TRUE(f.x.doc->undo(*f.x.flow, index, rect));
  f.tool.straightInput = 1;
  f.tool.exactPoints = 1;
  f.paint(ReplayFixture::line(10, 44, 40, 4, 33, 1.0f, 0.2f));
  keep();
  f.tool.straightInput = 0;
  f.tool.exactPoints = 0;
  // The pen-method engine.
  f.usePenEngine();
  f.tool.setColor(0x00802010u);
  f.tool.setWidth(8.0f);
  f.paintEngine(ReplayFixture::line(4, 24, 60, 20, 25, 0.5f, 1.0f));
  keep();
  // Unsmoothed input: the canvas switches the engine's interpolation off.
  f.tool.straightInput = 1;
  f.x.doc->penEngine()->setInterpolateMode(0);
  f.paintEngine(ReplayFixture::line(30, 2, 34, 46, 9, 1.0f, 0.4f));
  keep();
  f.x.doc->penEngine()->setInterpolateMode(1);
  f.tool.straightInput = 0;
  // Filters, with and without parameters.
  auto filter = [&](const char* command, std::vector<uint8_t> params) {
    const FilterDialog dialog = [&](const SFilterEntry&, CFlt4Core&, std::vector<uint8_t>& out) {
      out = params;
      return true;
    };
    ASSERT_EQ(filterCommand(*f.x.doc, *f.x.flow, f.x.doc->currentLayerIndex(), *filterByCommand(command), false, dialog),
              FilterResult::Done)
        << command;
    keep();
  };
  filter("filterMosaic", {4, 0, 0, 0, 0, 0, 0, 0});
  filter("filterInvert", {});
  filter("filterTwirl", {50, 0, 1, 0, 0, 0, 0, 0});
  filter("filterBlur", {});
  f.paint(ReplayFixture::line(5, 40, 58, 8, 20));
  keep();
}

TEST(ReplayFidelity, EveryEventReplaysToThePixelsOfTheOriginal) {
  ReplayFixture f;
  const std::string blank = picture(*f.x.doc);
  std::vector<std::string> expected;
  scriptedWork(f, expected);
  EXPECT_NE(expected.back(), blank);
  ASSERT_EQ(f.startReplay(), ReplayStart::Started);
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(f.session->engine().replayNext(), ReplayStep::EventDone) << "event " << i;
    EXPECT_EQ(picture(*f.y.doc), expected[i]) << "after event " << i;
  }
  EXPECT_EQ(f.session->engine().replayNext(), ReplayStep::End);
}

TEST(ReplayFidelity, SavedRecordingsReplayFromBothFileKinds) {
  pg::testing::TempFolder dir;
  ReplayFixture f;
  std::vector<std::string> expected;
  scriptedWork(f, expected);
  CPaperEventDocument events(*f.x.doc);
  ASSERT_TRUE(saveEventFile(dir.file("work.ke4"), events, false).saved());
  ASSERT_TRUE(writeNativeFile(dir.file("work.kci"), *f.x.doc, kNativeLayers | kNativeMasks | kNativeEvents));
  for (const char* name : {"work.ke4", "work.kci"}) {
    RecordedDoc y(nullptr);
    y.window.replaying = true;
    CReplaySession session(*y.doc, *y.flow);
    ASSERT_EQ(session.open(dir.file(name)), ReplayStart::Started) << name;
    // Half of it, then the rest.
    EXPECT_EQ(session.step(3), ReplayStep::EventDone) << name;
    EXPECT_EQ(picture(*y.doc), expected[2]) << name;
    EXPECT_EQ(session.step(1000), ReplayStep::End) << name;
    EXPECT_FALSE(session.isRunning());
    EXPECT_EQ(picture(*y.doc), expected.back()) << name;
  }
}

}  // namespace
}  // namespace pg::test
