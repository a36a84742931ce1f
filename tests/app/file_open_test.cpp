// A file opened into a document window without the window system: the route
// of each kind, the picture read before its window exists, and the filling
// of a new window with the warnings a failure shows.
#include "app/file_open.h"

#include <gtest/gtest.h>

#include <fstream>

#include "canvas/canvas_fixture.h"
#include "core/bmp_file.h"
#include "document/layer_data.h"
#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "test_support/plane_pixels.h"
#include "test_support/temp_folder.h"

namespace pg::test {
namespace {

TEST(FileOpen, EachKindTakesItsRoute) {
  const std::pair<const char*, OpenRoute> cases[] = {
      {"a.kci", OpenRoute::Document},      {"a.bmp", OpenRoute::Picture},      {"a.JPG", OpenRoute::Picture},
      {"a.png", OpenRoute::Picture},       {"a.psd", OpenRoute::Picture},      {"a.lgb", OpenRoute::LegacyDocument},
      {"a.kes", OpenRoute::Recording},     {"a.ke3", OpenRoute::Recording},    {"a.kv4", OpenRoute::Recording},
      {"a.lge", OpenRoute::LegacyRecording}, {"a.txt", OpenRoute::Unsupported}, {"noext", OpenRoute::Unsupported},
  };
  for (const auto& [name, route] : cases) EXPECT_EQ(openRouteOf(fileKindFromExt(name)), route) << name;
}

TEST(FileOpen, APictureIsReadWithItsResolutionOrSaysWhyNot) {
  pg::testing::TempFolder dir;
  TMTC picture(12, 7);
  pg::testing::fillWith(picture, [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 20) << 8 | uint32_t(y * 30); });
  ASSERT_TRUE(saveBmp24(picture, dir.file("p.bmp"), 150));
  SPictureLoad load = loadPictureForOpen(dir.file("p.bmp"));
  ASSERT_TRUE(load.picture);
  EXPECT_EQ(load.picture->Width, 12);
  EXPECT_EQ(load.resolution, 150);
  EXPECT_TRUE(load.failure.empty());

  std::ofstream(dir.file("broken.png")) << "not a picture";
  for (const char* name : {"missing.bmp", "broken.png"}) {
    load = loadPictureForOpen(dir.file(name));
    EXPECT_FALSE(load.picture) << name;
    EXPECT_NE(load.failure.find(dir.file(name)), std::string::npos) << name;
  }
}

TEST(FileOpen, AWindowHoldsTheFileOrGivesTheWarningsToShow) {
  pg::testing::TempFolder dir;
  {
    CanvasFixture source(30, 20);
    ASSERT_TRUE(writeNativeFile(dir.file("doc.kci"), source.doc(), kNativeLayers));
  }
  std::ofstream(dir.file("broken.kci")) << "not a document";
  std::ofstream(dir.file("broken.lgb")) << "not a document either";
  TMTC picture(9, 5);
  pg::testing::fillWith(picture, [](int32_t, int32_t) { return 0xFF102030u; });

  struct Case {
    const char* file;
    OpenRoute route;
    const TMTC* picture;
    bool ok;
    int32_t width;  // of the document held, when ok
  } cases[] = {
      {"doc.kci", OpenRoute::Document, nullptr, true, 30},
      {"broken.kci", OpenRoute::Document, nullptr, false, 0},
      {"p.bmp", OpenRoute::Picture, &picture, true, 9},
      {"p.bmp", OpenRoute::Picture, nullptr, false, 0},  // a picture route without its picture
      {"broken.lgb", OpenRoute::LegacyDocument, nullptr, false, 0},
      {"r.ke4", OpenRoute::Recording, nullptr, false, 0},  // recordings open through the replay
  };
  for (const Case& c : cases) {
    // The window is made as the main window makes it: the picture's size, else 1 x 1.
    CanvasFixture f(c.picture ? c.picture->Width : 1, c.picture ? c.picture->Height : 1);
    const SOpenOutcome o = fillWindowFromFile(*f.window, dir.file(c.file), c.route, c.picture);
    EXPECT_EQ(o.ok, c.ok) << c.file;
    if (c.ok) {
      EXPECT_TRUE(o.warnings.empty()) << c.file;
      EXPECT_EQ(f.doc().width(), c.width) << c.file;
    } else if (c.route != OpenRoute::Recording) {
      EXPECT_FALSE(o.warnings.empty()) << c.file;
    }
  }
  // The picture is in the first layer.
  CanvasFixture f(9, 5);
  ASSERT_TRUE(fillWindowFromFile(*f.window, dir.file("p.bmp"), OpenRoute::Picture, &picture).ok);
  const CLayerData& layer = *f.doc().getLayer(0);
  EXPECT_EQ(layer.image->getPixel(4 + layer.offsetX, 2 + layer.offsetY), 0xFF102030u);
}

}  // namespace
}  // namespace pg::test
