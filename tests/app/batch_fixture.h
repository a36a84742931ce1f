#pragma once
// A few strokes recorded on a document and saved as an event file and as a
// native file with its recording, with the BMP of the strokes painted
// directly: what a batch replay of either must give again.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/command_line.h"
#include "core/bmp_file.h"
#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "io/thumbnail_document.h"
#include "record/event_file.h"
#include "replay/replay_fixture.h"
#include "test_support/temp_folder.h"

namespace pg::test {

namespace fs = std::filesystem;

inline std::string slurp(const fs::path& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A few strokes recorded on a document, saved as an event file and as a
// native file with its recording; and the BMP of the strokes painted directly.
struct Recorded {
  Recorded() {
    for (int i = 0; i < 3; ++i) f.paint(ReplayFixture::line(4.0f + 10 * i, 5, 50, 40 - 9 * i, 16));
    TPaper& doc = *f.x.doc;
    doc.composeRect(SRectXYWH{0, 0, doc.composite().Width, doc.composite().Height}, false);
    // The strokes left marks: the picture is not one colour.
    bool marked = false;
    for (int32_t y = 0; y < doc.composite().Height && !marked; ++y)
      for (int32_t x = 0; x < doc.composite().Width && !marked; ++x)
        marked = doc.composite().getPixel(x, y) != doc.composite().getPixel(0, 0);
    EXPECT_TRUE(marked);
    EXPECT_TRUE(saveBmp24(doc.composite(), dir.file("expected.bmp"), doc.resolution()));
    EXPECT_TRUE(writeNativeFile(dir.file("work.kci"), doc, kNativeLayers | kNativeEvents));
    CPaperEventDocument events(doc);
    EXPECT_TRUE(saveEventFile(dir.file("strokes.ke4"), events, false).saved());
    fs::create_directory(dir.path() / "out");
  }
  std::string out(const std::string& name) const { return (dir.path() / "out" / name).string(); }
  StartupState render() const {
    StartupState s;
    s.batchMode = true;
    s.batchOutputFolder = (dir.path() / "out").string();
    return s;
  }

  pg::testing::TempFolder dir;
  ReplayFixture f;
};

}  // namespace pg::test
