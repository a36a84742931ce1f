// Documents to and from files and the clipboard without a window: pictures
// placed in a first layer, saves by kind with their messages, exports
// flattened onto white, native round trips, pasted layers.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "app/document_files.h"
#include "core/chunk_head.h"
#include "document/doc_recorder.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "core/block_image.h"
#include "document/paper.h"
#include "io/clipboard_image.h"
#include "io/native_file_reader.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"
#include "record/event_store.h"
#include "../test_support/plane_pixels.h"
#include "../test_support/temp_folder.h"

namespace pg {
namespace {

using testing::samePlanes;

std::unique_ptr<TPaper> makeDoc(int32_t w, int32_t h, bool transparent = false) {
  DocServices s;
  s.makeRecorder = eventStoreRecorderFactory();
  auto doc = std::make_unique<TPaper>(nullptr, s);
  EXPECT_TRUE(doc->newDocument("doc", nullptr, transparent, false, 96, h, w));
  return doc;
}

void fillPicture(TMTC& p) {
  testing::fillWith(p, [](int32_t x, int32_t y) {
    return ((x + y) % 3 == 0 ? 0x40000000u : 0xFF000000u) | uint32_t(x * 9) << 16 | uint32_t(y * 5) << 8 | 77u;
  });
}

TEST(DocumentFiles, PictureLoadsIntoTheFirstLayerAndSavesBackByKind) {
  testing::TempFolder dir;
  TMTC picture(30, 20);
  fillPicture(picture);
  std::unique_ptr<TPaper> doc = makeDoc(30, 20, true);
  ASSERT_TRUE(loadPictureIntoDocument(*doc, picture));
  std::unique_ptr<TMTC> layer = exportLayer(*doc, 0);
  ASSERT_TRUE(layer);
  EXPECT_TRUE(samePlanes(*layer, picture));

  // PNG layer export keeps the alpha; a native save reads back the same layer.
  ASSERT_TRUE(saveLayerToFile(*doc, 0, dir.file("layer.png")).ok);
  int32_t dpi = 0;
  std::unique_ptr<TMTC> back = loadImageFile(dir.file("layer.png"), dpi);
  ASSERT_TRUE(back);
  EXPECT_TRUE(samePlanes(*back, picture));
  EXPECT_EQ(dpi, 96);

  SSaveOutcome native = saveDocumentToFile(*doc, dir.file("d.kci"), nullptr);
  ASSERT_TRUE(native.ok);
  EXPECT_EQ(native.message, formatRes(kResSavedAs, {dir.file("d.kci")}));
  DocServices s;
  s.makeRecorder = eventStoreRecorderFactory();
  TPaper reread(nullptr, s);
  ASSERT_EQ(readNativeFile(dir.file("d.kci"), reread), kRcOk);
  std::unique_ptr<TMTC> rereadLayer = exportLayer(reread, 0);
  ASSERT_TRUE(rereadLayer);
  EXPECT_TRUE(samePlanes(*rereadLayer, picture));

  struct Case {
    const char* name;
    bool ok;
    std::string message;
  };
  const Case cases[] = {
      {"a.bmp", true, resString(kResSavedBitmap)},
      {"a.png", true, formatRes(kResSavedInFormat, {std::string("PNG")})},
      {"a.jpg", true, resString(kResSavedJpeg)},
      {"a.kes", false, resString(kResSaveKindRefused)},
      {"a.lgb", false, resString(kResSaveKindRefused)},
      {"a.xyz", false, formatRes(kResUnsupportedFormat, {std::string("a.xyz")})},
  };
  int asked = 0;
  const JpegOptionsAsk ask = [&asked](SJpegSaveOptions& o) {
    ++asked;
    o.quality = 95;
    return true;
  };
  for (const Case& c : cases) {
    const SSaveOutcome out = saveDocumentToFile(*doc, dir.file(c.name), ask);
    EXPECT_EQ(out.ok, c.ok) << c.name;
    EXPECT_EQ(out.message, c.message) << c.name;
    EXPECT_EQ(std::filesystem::exists(dir.file(c.name)), c.ok) << c.name;
  }
  EXPECT_EQ(asked, 1);
  // A cancelled JPEG dialog writes nothing and says nothing.
  const SSaveOutcome cancelled = saveDocumentToFile(*doc, dir.file("c.jpg"), [](SJpegSaveOptions&) { return false; });
  EXPECT_FALSE(cancelled.ok);
  EXPECT_TRUE(cancelled.message.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.file("c.jpg")));
  // A folder without write permission: the failure message, nothing written.
  if (::geteuid() != 0) {
    std::filesystem::create_directory(dir.file("ro"));
    std::filesystem::permissions(dir.file("ro"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const SSaveOutcome refused = saveDocumentToFile(*doc, dir.file("ro/x.png"), nullptr);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, formatRes(kResSaveFailed, {dir.file("ro/x.png")}));
    std::filesystem::permissions(dir.file("ro"), std::filesystem::perms::owner_all);
  }
}

// A file-size limit for a scope, as a full disk would set one: writes past
// it fail (the signal it raises is ignored meanwhile).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit old_{};
  sighandler_t previous_{};
};

std::vector<char> bytesOf(const std::string& path) {
  std::vector<char> bytes(std::filesystem::file_size(path));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
  return bytes;
}

TEST(DocumentFiles, ASaveCutShortByAFullDiskLeavesTheOldFileAndReportsTheFailure) {
  testing::TempFolder dir;
  std::unique_ptr<TPaper> doc = makeDoc(300, 200);
  TMTC picture(300, 200);
  testing::fillRandom(picture, 5u);
  ASSERT_TRUE(loadPictureIntoDocument(*doc, picture));
  std::set<std::string> made;
  for (const char* name : {"full.kci", "full.png", "full.bmp"}) {
    const std::string path = dir.file(name);
    std::FILE* old = std::fopen(path.c_str(), "wb");
    std::fputs("the old file", old);
    std::fclose(old);
    const std::vector<char> before = bytesOf(path);
    SSaveOutcome out;
    {
      FileSizeLimit limit(4096);
      out = saveDocumentToFile(*doc, path, nullptr);
    }
    EXPECT_FALSE(out.ok) << name;
    EXPECT_EQ(out.message, formatRes(kResSaveFailed, {path})) << name;
    EXPECT_EQ(bytesOf(path), before) << name;
    made.insert(name);
    std::set<std::string> present;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) present.insert(e.path().filename().string());
    EXPECT_EQ(present, made) << "a temporary file was left behind after " << name;
  }
}

// The picture is the recording's first image: a store that cannot take it
// fails the load (the caller discards the new window), rather than leaving a
// recording that would replay onto an empty layer.
TEST(DocumentFiles, APictureTheRecordingCannotTakeFailsItsLoad) {
  TMTC picture(300, 200);
  testing::fillRandom(picture, 9u);
  for (const bool storeGrows : {true, false}) {
    SCOPED_TRACE(storeGrows ? "the store grows" : "the store keeps its first segment");
    std::unique_ptr<TPaper> doc = makeDoc(300, 200);
    auto* recorder = dynamic_cast<CDocEventRecorder*>(doc->events());
    ASSERT_NE(recorder, nullptr);
    ASSERT_TRUE(recorder->store().isRecording());
    CEventMngr& store = recorder->store();
    const size_t segments = store.segmentCount();
    if (!storeGrows) store.setSegmentAllocHook([segments](size_t index) { return index < segments; });
    const uint32_t eventsBefore = store.committedCount();
    EXPECT_EQ(loadPictureIntoDocument(*doc, picture), storeGrows);
    EXPECT_EQ(store.committedCount(), eventsBefore + (storeGrows ? 1u : 0u));
  }
}

TEST(DocumentFiles, ExportOfAHiddenCanvasIsFlattenedOntoWhiteAndTheDocumentStillHidesIt) {
  std::unique_ptr<TPaper> doc = makeDoc(8, 8, true);
  doc->setBackgroundFlags(false, doc->showBgPattern());
  std::unique_ptr<TMTC> picture = exportComposite(*doc);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->getPixel(3, 3) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_FALSE(doc->showCanvasColor());
}

TEST(DocumentFiles, DatedBmpNamesAndLayerExportNames) {
  std::tm date{};
  date.tm_year = 126;
  date.tm_mon = 0;
  date.tm_mday = 5;
  const std::set<std::string> taken = {"/p/2026-1-5-0.bmp", "/p/2026-1-5-1.bmp"};
  EXPECT_EQ(datedBmpName("/p", date, [&](const std::string& n) { return taken.count(n) != 0; }), "/p/2026-1-5-2.bmp");
  EXPECT_EQ(datedBmpName("/q/", date, nullptr), "/q/2026-1-5-0.bmp");
  EXPECT_EQ(layerExportName("pic", 2, "ink"), "pic[2](ink)");
  EXPECT_EQ(layerExportName("", 0, "bg"), "名称未設定[0](bg)");
}

TEST(DocumentFiles, ACopyOfASelectionTakesTheSelectedPartWithItsValues) {
  std::unique_ptr<TPaper> doc = makeDoc(40, 30);
  TMTC picture(40, 30);
  testing::fillWith(picture, [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 6) << 8 | uint32_t(y); });
  ASSERT_TRUE(loadPictureIntoDocument(*doc, picture));
  SRectXYWH box;
  EXPECT_FALSE(selectionBox(*doc, box));
  // A 10 x 5 selection at (8, 4): value 255, one pixel 128.
  ASSERT_EQ(doc->masks()->addMask(0), 0);
  doc->masks()->setCurrent(0);
  CMaskData& mask = *doc->masks()->currentMask();
  ASSERT_TRUE(mask.createImage(40, 30));
  for (int32_t y = 4; y < 9; ++y)
    for (int32_t x = 8; x < 18; ++x) *mask.image->pixelAddress(x, y, true) = 255;
  *mask.image->pixelAddress(10, 6, true) = 128;
  doc->undoSetSelectionFlags(true, doc->antsShown());

  // The whole layer, selected pixels kept in place, the rest transparent.
  std::unique_ptr<TMTC> part = selectedLayerImage(*doc, 0, box);
  ASSERT_TRUE(part);
  EXPECT_EQ(box.X, 8);
  EXPECT_EQ(box.Y, 4);
  EXPECT_EQ(box.Width, 10);
  EXPECT_EQ(box.Height, 5);
  ASSERT_EQ(part->Width, 40);
  ASSERT_EQ(part->Height, 30);
  EXPECT_EQ(part->getPixel(8, 4), picture.getPixel(8, 4));
  EXPECT_EQ(part->getPixel(10, 6) >> 24, 128u);
  EXPECT_EQ(part->getPixel(7, 4) >> 24, 0u);
  EXPECT_EQ(part->getPixel(18, 8) >> 24, 0u);
}

}  // namespace
}  // namespace pg
