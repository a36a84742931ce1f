// The document: its defaults, what it owns, and the layer-list basics.
#include <gtest/gtest.h>

#include <cmath>

#include "doc_fixture.h"
#include "platform/debug_output.h"

namespace pg::test {
namespace {

TEST(Paper, ANewDocumentHasTheDefaults) {
  DocFixture f;
  TPaper doc(&f.window);
  EXPECT_FALSE(doc.isReady());
  EXPECT_EQ(doc.view().zoom(), (SRatio{1, 1}));
  EXPECT_EQ(doc.view().gridX(), 25);
  EXPECT_EQ(doc.view().gridY(), 25);
  EXPECT_FALSE(doc.view().showGrid());
  EXPECT_TRUE(doc.paperColor().isWhite());
  EXPECT_TRUE(doc.showCanvasColor());
  EXPECT_FALSE(doc.showBgPattern());
  EXPECT_EQ(doc.width(), 0);
  EXPECT_EQ(doc.height(), 0);
  EXPECT_EQ(doc.resolution(), 0);
  EXPECT_FALSE(doc.antsShown());
  EXPECT_FALSE(doc.selectionEnabled());
  EXPECT_EQ(doc.strokeState().engineLevel(), 1);
  EXPECT_EQ(doc.strokeState().engineMode(), 1);
  EXPECT_EQ(doc.view().sinA(), 0.0f);
  EXPECT_EQ(doc.view().cosA(), 1.0f);
  EXPECT_EQ(doc.view().angleRad(), 0.0f);
  EXPECT_EQ(doc.view().scrollOrigin(), (TPoint{0, 0}));
  EXPECT_EQ(doc.view().scrollOffset(), (TPoint{0, 0}));
  EXPECT_TRUE(doc.composite().OwnDC);
  EXPECT_TRUE(doc.isStandardMode());
  // What it owns: an empty layer list, the mask list with its first mask,
  // an undo manager with the preference's limit and room for 32 light
  // records, and a recorder.
  ASSERT_TRUE(doc.isComplete());
  EXPECT_EQ(doc.layerCount(), 0);
  EXPECT_EQ(doc.currentLayerIndex(), -1);
  EXPECT_EQ(doc.masks()->count(), 1);
  EXPECT_EQ(doc.undoMngr()->undoMax(), 8);
  EXPECT_EQ(doc.undoMngr()->redoMax(), 8);
  EXPECT_EQ(doc.undoMngr()->extra(), 32);
  EXPECT_FALSE(doc.events()->hasEvents());
  EXPECT_EQ(doc.ownerWindow(), &f.window);
}

TEST(Paper, TheRecorderStartsWithTheEventStreamSize) {
  const struct {
    int32_t undoMax;
    int32_t steps;
  } cases[] = {{8, 42}, {0, 34}, {-30, 8}, {-100, 8}, {100, 134}};
  for (const auto& c : cases) {
    DocFixture f(c.undoMax);
    EXPECT_EQ(f.doc->eventStreamSize(), c.steps) << c.undoMax;
    // The fixture clears its log after construction: build one more.
    std::vector<std::string> log;
    DocServices s;
    s.prefs = &f.prefs;
    s.makeRecorder = [&log](TPaper&) {
      auto r = std::make_unique<FakeRecorder>();
      r->log = &log;
      return std::unique_ptr<IDocRecorder>(std::move(r));
    };
    TPaper doc(nullptr, s);
    EXPECT_EQ(log, (std::vector<std::string>{"startRecording " + std::to_string(c.steps)})) << c.undoMax;
  }
}

TEST(Paper, AMissingRecorderIsReportedAndLeavesTheDocumentIncomplete) {
  std::string debug;
  DebugSink old = setDebugSink([&debug](std::string_view t) { debug += t; });
  DocServices s;
  s.makeRecorder = [](TPaper&) { return std::unique_ptr<IDocRecorder>(); };
  {
    TPaper doc(nullptr, s);
    EXPECT_FALSE(doc.isComplete());
    EXPECT_EQ(doc.events(), nullptr);
    // An edit still works; it records nothing.
    EXPECT_TRUE(doc.setPaperColor(PaperColor::fromRgb(9, 9, 9), true));
  }
  setDebugSink(old);
  EXPECT_EQ(debug, "failed to create eventMngr!\n");
}

TEST(Paper, TheChangeHandlerHearsTheEndOfTheDocument) {
  std::vector<bool> heard;
  {
    TPaper doc(nullptr);
    doc.setOnChange([&heard](TPaper& d, bool ready) {
      heard.push_back(ready);
      EXPECT_FALSE(d.isReady());
      EXPECT_NE(d.layers(), nullptr);  // still whole while it is told
    });
  }
  EXPECT_EQ(heard, std::vector<bool>{false});
}

TEST(Paper, NewLayersTakeTheLinkLevelOfTheLayerBelow) {
  DocFixture f;
  ASSERT_EQ(f.doc->insertLayer(0, 40, 30, true, 255, 3), 0);
  f.layer(0)->setLinkLevel(2);
  ASSERT_EQ(f.doc->insertLayer(1, 40, 30, true, 200, 3), 1);
  EXPECT_EQ(f.layer(1)->linkLevel, 2);
  EXPECT_EQ(f.layer(1)->opacity, 200);
  ASSERT_EQ(f.doc->insertLayer(0, 40, 30, false, 255, 3), 0);
  EXPECT_EQ(f.layer(0)->linkLevel, 0);
  EXPECT_FALSE(f.layer(0)->visible);
  EXPECT_EQ(f.doc->addLayerDefault(3, true, 255, 0), 3);
  EXPECT_EQ(f.layer(3)->imageWidth(), 40);
  EXPECT_LT(f.doc->insertLayer(-1, 40, 30, true, 255, 3), 0);
  EXPECT_EQ(f.doc->lastLayerIndex(), 3);
  // Standard mode: a new layer keeps its transparency.
  EXPECT_EQ(f.layer(3)->image->getPixel(0, 0) >> 24, 0u);
}

TEST(Paper, MakeLayerOpaqueOnlyForTheFirstThreeKinds) {
  DocFixture f;
  f.addLayer(0, 5);
  EXPECT_FALSE(f.doc->makeLayerOpaque(0, 3));
  EXPECT_EQ(f.layer(0)->image->getPixel(1, 1) >> 24, 0u);
  EXPECT_TRUE(f.doc->makeLayerOpaque(0, 2));
  EXPECT_EQ(f.layer(0)->image->getPixel(1, 1) >> 24, 255u);
  EXPECT_FALSE(f.doc->opaqueNewLayerInOlderMode(0, 0));  // standard mode
  EXPECT_FALSE(f.doc->makeLayerOpaque(7, 0));
}

TEST(Paper, MaxLayerSizeTakesEachSideSeparately) {
  DocFixture f;
  SSize s{};
  EXPECT_FALSE(f.doc->maxLayerSize(s));
  f.addLayer(0, 1, 70, 10);
  f.addLayer(1, 2, 20, 90);
  ASSERT_TRUE(f.doc->maxLayerSize(s));
  EXPECT_EQ(s, (SSize{70, 90}));
}

TEST(Paper, CopyAndDeleteLayersWithoutRecording) {
  DocFixture f;
  f.addLayer(0, 1);
  f.addLayer(1, 2);
  f.layer(0)->name = "a";
  f.layer(0)->opacity = 99;
  ASSERT_TRUE(f.doc->copyLayerRaw(0, 1));
  EXPECT_EQ(f.layer(1)->name, "a");
  EXPECT_EQ(f.layer(1)->opacity, 99);
  EXPECT_EQ(imageHash(*f.layer(1)->image), imageHash(*f.layer(0)->image));
  ASSERT_TRUE(f.doc->deleteLayerRaw(0));
  EXPECT_EQ(f.doc->layerCount(), 1);
  EXPECT_TRUE(f.log.empty());
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
}

TEST(Paper, MemoryUsageAddsItsParts) {
  DocFixture f;
  f.addLayer(0, 3);
  ASSERT_TRUE(f.doc->composite().Resize(40, 30));
  ASSERT_TRUE(f.doc->view().viewBuffer().Resize(10, 10));
  ASSERT_TRUE(f.doc->storeUndo(0, kUndoPixels));
  uint64_t layerBytes = 0;
  uint64_t undoBytes = 0;
  const uint64_t total = f.doc->memoryUsage(layerBytes, undoBytes);
  EXPECT_EQ(layerBytes, static_cast<uint64_t>(f.doc->layers()->memorySize()));
  EXPECT_GT(undoBytes, 0u);
  EXPECT_EQ(undoBytes, f.doc->undoMemorySize());
  EXPECT_EQ(total, 40u * 30u * 9u + layerBytes + 400u + static_cast<uint64_t>(f.doc->view().patternBuffer().ByteSize()) +
                       static_cast<uint64_t>(f.doc->masks()->memorySize()) + undoBytes);
}

TEST(Paper, RepaintingALayerReachesTheWindowAndThePanel) {
  DocFixture f;
  f.addLayer(0, 3);
  f.addLayer(1, 4);
  ASSERT_TRUE(f.doc->composite().Resize(40, 30));
  f.doc->repaintRect(1, TRect{1, 2, 3, 4});
  f.doc->repaintLayer(0);
  EXPECT_EQ(f.window.repainted, (std::vector<TRect>{{1, 2, 3, 4}, {0, 0, 40, 30}}));
}

TEST(Paper, SetUndoCountResizesTheRecorderRingAndTheLimits) {
  DocFixture f;
  f.prefs.undo = 3;
  ASSERT_TRUE(f.doc->setUndoCount());
  EXPECT_EQ(f.log, (std::vector<std::string>{"resizeUndoRing 37 37"}));
  EXPECT_EQ(f.doc->undoMngr()->undoMax(), 3);
  EXPECT_EQ(f.doc->undoMngr()->redoMax(), 3);
}

TEST(Paper, MessagesGoToTheWarningBox) {
  DocFixture f;
  f.doc->showOutOfMemoryMessage();
  f.doc->showExceptionMessage();
  EXPECT_EQ(f.messages.warnings(),
            (std::vector<std::string>{"メモリ不足のため実行できませんでした！", "例外発生のため実行できません！"}));
}

}  // namespace
}  // namespace pg::test
