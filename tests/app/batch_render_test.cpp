// The batch modes' replay: the picture and the recording they write, the
// marker of a file that does not open, and the names they choose.
#include "app/batch_render.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/batch_fixture.h"
#include "canvas/canvas_fixture.h"
#include "document/flow_image.h"
#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "record/legacy_stream_fixture.h"

namespace pg::test {
namespace {

TEST(BatchRender, WritesThePictureOfTheStrokesAndTheRecording) {
  Recorded r;
  const std::string expected = slurp(r.dir.file("expected.bmp"));
  ASSERT_FALSE(expected.empty());
  struct Case {
    const char* source;
    const char* image;
  } cases[] = {{"strokes.ke4", "strokes.bmp"}, {"work.kci", "work.bmp"}};
  for (const Case& c : cases) {
    const SBatchOutcome o = runBatchReplay(r.dir.file(c.source), r.render());
    EXPECT_EQ(o.code, BatchCode::Written) << c.source;
    EXPECT_EQ(o.imagePath, r.out(c.image)) << c.source;
    EXPECT_EQ(slurp(o.imagePath), expected) << c.source;
    // The recording beside it replays to the same picture again.
    ASSERT_FALSE(o.eventsPath.empty()) << c.source;
    EXPECT_EQ(fs::path(o.eventsPath).extension(), ".ke4");
    StartupState again = r.render();
    again.batchOutputFolder = r.dir.file("again");
    fs::create_directories(again.batchOutputFolder);
    const SBatchOutcome o2 = runBatchReplay(o.eventsPath, again);
    EXPECT_EQ(o2.code, BatchCode::Written) << c.source;
    EXPECT_EQ(slurp(o2.imagePath), expected) << c.source;
  }
}

TEST(BatchRender, TheViewerWritesNothingAndKeepsThePicture) {
  Recorded r;
  StartupState s = r.render();
  s.viewerMode = true;
  TMTC picture;
  const SBatchOutcome o = runBatchReplay(r.dir.file("strokes.ke4"), s, &picture);
  EXPECT_EQ(o.code, BatchCode::Viewed);
  EXPECT_TRUE(fs::is_empty(r.dir.path() / "out"));
  ASSERT_TRUE(hasPixels(picture));
  const TTC& composite = r.f.x.doc->composite();
  ASSERT_EQ(picture.size(), composite.size());
  for (int32_t y = 0; y < picture.Height; ++y)
    for (int32_t x = 0; x < picture.Width; ++x)
      ASSERT_EQ(picture.getPixel(x, y), composite.getPixel(x, y)) << x << "," << y;
}

TEST(BatchRender, AFileThatDoesNotOpenLeavesOneMarker) {
  Recorded r;
  ASSERT_TRUE(writeNativeFile(r.dir.file("plain.kci"), *r.f.x.doc, kNativeLayers));
  std::ofstream(r.dir.file("broken.ke4")) << "not an event file";
  for (const char* name : {"missing.ke4", "plain.kci", "broken.ke4"}) {
    const std::string marker = r.out(replaceExtension(name, ".bad"));
    EXPECT_EQ(runBatchReplay(r.dir.file(name), r.render()).code, BatchCode::OpenFailed) << name;
    EXPECT_TRUE(fs::exists(marker)) << name;
    // A second run keeps the one marker.
    std::ofstream(marker, std::ios::app) << "kept";
    EXPECT_EQ(runBatchReplay(r.dir.file(name), r.render()).code, BatchCode::OpenFailed) << name;
    EXPECT_EQ(slurp(marker), "kept") << name;
  }
  // Without an output folder the marker goes beside the source.
  StartupState s = r.render();
  s.batchOutputFolder.clear();
  EXPECT_EQ(runBatchReplay(r.dir.file("gone.kci"), s).code, BatchCode::OpenFailed);
  EXPECT_TRUE(fs::exists(r.dir.file("gone.bad")));
}

TEST(BatchRender, WriteFailuresAndTheSourceAsItsOwnOutput) {
  Recorded r;
  StartupState s = r.render();
  s.batchOutputFolder = r.dir.file("no/such/folder");
  EXPECT_EQ(runBatchReplay(r.dir.file("strokes.ke4"), s).code, BatchCode::WriteFailed);
  // Rendered into its own folder, an event file is not written over itself.
  s.batchOutputFolder.clear();
  const std::string before = slurp(r.dir.file("strokes.ke4"));
  const SBatchOutcome o = runBatchReplay(r.dir.file("strokes.ke4"), s);
  EXPECT_EQ(o.code, BatchCode::Written);
  EXPECT_TRUE(o.eventsPath.empty());
  EXPECT_EQ(slurp(r.dir.file("strokes.ke4")), before);
  EXPECT_EQ(slurp(r.dir.file("strokes.bmp")), slurp(r.dir.file("expected.bmp")));
}

TEST(BatchRender, OutputNames) {
  struct Case {
    std::string name, ext, want;
  } cases[] = {
      {"a.ke4", ".bmp", "a.bmp"},
      {"a.b.kci", ".bad", "a.b.bad"},
      {"noext", ".bmp", "noext.bmp"},
      {"/x.d/noext", ".bmp", "/x.d/noext.bmp"},
      {".hidden", ".bmp", ".hidden.bmp"},
      {"/x/.hidden", ".bmp", "/x/.hidden.bmp"},
  };
  for (const Case& c : cases) EXPECT_EQ(replaceExtension(c.name, c.ext), c.want) << c.name;
  EXPECT_EQ(batchEventsPath("/o", "w.kci", 43), "/o/w.ke4");
  EXPECT_EQ(batchEventsPath("/o", "w.kci", 20), "/o/w.ke3");
  EXPECT_EQ(batchEventsPath("/o", "w.kci", 10), "/o/w.kes");
  EXPECT_EQ(batchMarkerPath("/o", "/in/w.ke4"), "/o/w.bad");
  StartupState s;
  EXPECT_EQ(batchOutputFolder(s, "/in/w.ke4"), "/in");
  s.batchOutputFolder = "/o";
  EXPECT_EQ(batchOutputFolder(s, "/in/w.ke4"), "/o");
}

// A version 1.1 recording renders like any other: the picture the window's
// replay of it shows, and the stream itself beside it.
TEST(BatchRender, AVersionOneRecordingRendersAsTheWindowReplaysIt) {
  Recorded r;
  LegacyStream stream(90, 70);
  stream.record(513, {240, 250, 230})
      .stroke(0, 0, 0x304050, 4 * 256, {{5, 5, 1024}, {30, 12, 800}, {60, 50, 400}})
      .record(256, {3})
      .record(273, {1})
      .record(275, {1, 100})
      .stroke(0, 0, 0x0000FF, 2 * 256, {{80, 5, 1024}, {10, 60, 1024}})
      .end();
  ASSERT_TRUE(stream.ok());
  const std::string source = r.dir.file("old.lge");
  {
    std::ofstream out(source, std::ios::binary);
    out.write(reinterpret_cast<const char*>(stream.bytes().data()), std::streamsize(stream.bytes().size()));
  }
  const SBatchOutcome o = runBatchReplay(source, r.render());
  ASSERT_EQ(o.code, BatchCode::Written);
  EXPECT_EQ(o.imagePath, r.out("old.bmp"));
  EXPECT_EQ(o.eventsPath, r.out("old.lge"));
  EXPECT_EQ(slurp(o.eventsPath), slurp(source));

  CanvasFixture w;
  uint32_t now = 100;
  ASSERT_TRUE(w.window->openLegacyEvents(source, now));
  for (int guard = 0; guard < 10000 && w.window->isReplaying(); ++guard) (void)w.window->replayStep(now += 8);
  TPaper& doc = w.doc();
  doc.composeRect(SRectXYWH{0, 0, doc.width(), doc.height()}, false);
  ASSERT_TRUE(saveBmp24(doc.composite(), r.dir.file("window.bmp"), doc.resolution()));
  EXPECT_EQ(slurp(o.imagePath), slurp(r.dir.file("window.bmp")));

  // A stream cut short does not render: the failure and its marker.
  std::vector<uint8_t> cut(stream.bytes().begin(), stream.bytes().end() - 5);
  {
    std::ofstream out(r.dir.file("cut.lge"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(cut.data()), std::streamsize(cut.size()));
  }
  EXPECT_EQ(runBatchReplay(r.dir.file("cut.lge"), r.render()).code, BatchCode::OpenFailed);
  EXPECT_TRUE(fs::exists(r.out("cut.bad")));
}

// The replay run in small steps (as the viewer runs it) gives what the
// replay in one go gives; the picture is the document's as it shows it,
// with its grid when it shows one.
TEST(BatchRender, SteppedReplayAndTheGrid) {
  Recorded r;
  CBatchReplay stepped(r.dir.file("strokes.ke4"), r.render());
  ASSERT_TRUE(stepped.open());
  int steps = 0;
  while (stepped.step(1)) ++steps;
  EXPECT_TRUE(stepped.ended());
  const SBatchOutcome o = stepped.finish();
  ASSERT_EQ(o.code, BatchCode::Written);
  EXPECT_EQ(slurp(o.imagePath), slurp(r.dir.file("expected.bmp")));

  CBatchReplay grid(r.dir.file("work.kci"), r.render());
  ASSERT_TRUE(grid.open());
  (void)grid.step(0);
  TPaper& doc = grid.document();
  doc.setGridSize(true, 8, 8, false);
  const SBatchOutcome g = grid.finish();
  ASSERT_EQ(g.code, BatchCode::Written);
  doc.composeRect(SRectXYWH{0, 0, doc.width(), doc.height()}, true);
  ASSERT_TRUE(saveBmp24(doc.composite(), r.dir.file("grid.bmp"), doc.resolution()));
  EXPECT_EQ(slurp(g.imagePath), slurp(r.dir.file("grid.bmp")));
  EXPECT_NE(slurp(g.imagePath), slurp(r.dir.file("expected.bmp")));
}

}  // namespace
}  // namespace pg::test
