// The document's undo entry points: the shorthands, the layers' own undo,
// and the refresh after an undo, kept in step with the recorder.
#include <gtest/gtest.h>

#include "document/layer_own_undo.h"
#include "document/mask_mngr.h"
#include "paper_view_fixture.h"

namespace pg::test {
namespace {

struct UndoCase {
  const char* name;
  std::function<bool(TPaper&)> store;
  int kind;
  SRectXYWH rect;  // of the record: grown to whole tiles of 32
};

TEST(PaperUndo, TheShorthandsStoreTheirKindAndRectangle) {
  const UndoCase cases[] = {
      {"kind 1 whole layer", [](TPaper& d) { return d.storeUndoKind1(0); }, kUndoPixels, {0, 0, 64, 32}},
      {"kind 1 rectangle", [](TPaper& d) { return d.storeRectUndoXYWH(0, 33, 2, 3, 4); }, kUndoPixels, {32, 0, 32, 32}},
      {"given kind", [](TPaper& d) { return d.storeRectUndoFrom(0, 1, 1, 2, 2, kUndoClear); }, kUndoClear,
       {0, 0, 32, 32}},
      {"layer at", [](TPaper& d) { return d.storeLayerUndoAt(0, kUndoPaste); }, kUndoPaste, {0, 0, 64, 32}},
  };
  for (const UndoCase& c : cases) {
    DocFixture f;
    f.addLayer(0, 3);
    ASSERT_TRUE(c.store(*f.doc)) << c.name;
    const CUndoData* rec = f.doc->undoMngr()->peekUndo();
    ASSERT_NE(rec, nullptr) << c.name;
    EXPECT_EQ(rec->kind, c.kind) << c.name;
    EXPECT_EQ(rec->rect, c.rect) << c.name;
  }
  DocFixture f;
  EXPECT_FALSE(f.doc->storeLayerUndoAt(0, kUndoPixels));  // no such layer
  EXPECT_FALSE(f.doc->storeUndoKind1(-1));
}

// A layer carrying its own undo, as in the older-format mode.
int32_t ownUndoLayer(DocFixture& f, int32_t offX = 0, int32_t offY = 0) {
  const int32_t at = f.doc->layers()->insertLayer(0, 40, 30, lbmNormal, true, 255, true);
  CLayerData* l = f.layer(at);
  l->offsetX = offX;
  l->offsetY = offY;
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 40; ++x) EXPECT_TRUE(l->image->setPixel(x, y, 0xFF000000u | uint32_t(x * 5 + y)));
  return at;
}

TEST(PaperUndo, InvalidatingEmptiesTheLayersOwnUndoAndTheDocumentUndo) {
  DocFixture f;
  const int32_t i = ownUndoLayer(f);
  ASSERT_TRUE(f.layer(i)->hasOwnUndo());
  ASSERT_TRUE(f.layer(i)->recordOwnUndo(TRect{0, 0, 8, 8}));
  ASSERT_TRUE(f.doc->storeUndoKind1(i));
  f.log.clear();
  f.doc->invalidateLayerUndo();
  EXPECT_FALSE(f.layer(i)->canUndoOwn());
  EXPECT_TRUE(f.layer(i)->hasOwnUndo());  // emptied, not removed
  EXPECT_FALSE(f.doc->undoMngr()->canUndo());
  EXPECT_EQ(f.log, (std::vector<std::string>{"dropForwardEvents"}));
}

TEST(PaperUndo, ALayersOwnUndoRestoresThePixelsAndTheFlowImage) {
  ViewFixture f(40, 30, 64, 48);
  const int32_t i = ownUndoLayer(f, 2, 1);
  CLayerData& l = *f.layer(i);
  const uint32_t before = l.image->getPixel(5, 6);
  ASSERT_TRUE(l.recordOwnUndo(TRect{0, 0, 16, 16}));
  EXPECT_TRUE(l.image->setPixel(5, 6, 0xFF123456u));
  ASSERT_TRUE(f.doc->loadFlowImage(*f.flow, i, true));
  TRect rect{};
  ASSERT_TRUE(f.doc->undoLayer(*f.flow, i, rect));
  EXPECT_EQ(l.image->getPixel(5, 6), before);
  EXPECT_EQ(*f.flow->pixels.pixelAt(5, 6), before);
  EXPECT_TRUE(f.flow->valid);
  ASSERT_FALSE(f.window.repainted.empty());
  TRect inDoc = rect;
  offsetRect(inDoc, -2, -1);
  EXPECT_EQ(f.window.repainted.back(), inDoc);
  // The composite shows the restored pixel.
  EXPECT_EQ(f.doc->composite().getPixel(3, 5), before);
  EXPECT_FALSE(f.doc->undoLayer(*f.flow, i, rect));  // nothing left
  EXPECT_FALSE(f.doc->undoLayer(*f.flow, 9, rect));
}

struct StepFixture : ViewFixture {
  StepFixture() : ViewFixture(40, 30, 64, 48) {
    randomLayer(0, 1, lbmNormal, 40, 30);
    randomLayer(1, 2, lbmNormal, 20, 10, -5, -5);  // small, away from the corner
    CMaskData& m = *doc->masks()->currentMask();
    EXPECT_TRUE(m.createImage(40, 30));
    EXPECT_TRUE(m.image->fillRect(SRectXYWH{4, 4, 10, 10}, 255));
    doc->redraw(false);
    log.clear();
  }
  bool undo() {
    int32_t index = doc->currentLayerIndex();
    TRect r{};
    return doc->undo(*flow, index, r);
  }
};

TEST(PaperUndo, AMaskEntryThatRefreshesThePanelDoesNotInvalidate) {
  StepFixture f;
  // Kind 24 moves the layer and the mask; its flags ask for the layer panel.
  f.recorder->event("offset");
  ASSERT_TRUE(f.doc->storeAttrUndo(f.layer(1), 3, kUndoOffsetWithMask, 2));
  f.layer(1)->moveBy(3, 2);
  f.doc->masks()->currentMask()->offsetX -= 3;
  f.doc->masks()->currentMask()->offsetY -= 2;
  const int32_t before = f.window.invalidations;
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(f.window.invalidations, before);
  EXPECT_EQ(f.recorder->depth, 0);  // the recorder stepped back with the picture
  // Kind 60 moves the mask only: the window is invalidated.
  f.recorder->event("mask offset");
  auto rec = CUndoData::make(kUndoMaskOffset);
  CMaskData& m = *f.doc->masks()->getMask(0);
  rec->value1 = 0;
  rec->objectId = m.id;
  rec->value3 = 3;
  rec->value4 = -2;
  m.offsetX -= 3;
  m.offsetY += 2;
  ASSERT_TRUE(f.doc->pushUndo(rec));
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(f.window.invalidations, before + 1);
}

TEST(PaperUndo, UndoingThePaperColourRecomposesTheWholePicture) {
  StepFixture f;
  f.layer(0)->visible = false;  // the paper shows wherever layer 1 leaves it
  f.doc->layers()->setCurrent(1);
  f.doc->redraw(false);
  ASSERT_TRUE(f.doc->setPaperColor(PaperColor::fromPixel(0x336699), true));
  EXPECT_EQ(f.doc->composite().getPixel(39, 29), 0xFF336699u);
  EXPECT_EQ(f.log, (std::vector<std::string>{"paperColor 00336699"}));
  ASSERT_TRUE(f.undo());
  EXPECT_TRUE(f.doc->paperColor().isWhite());
  // Far outside the current layer's image, too.
  EXPECT_EQ(f.doc->composite().getPixel(39, 29), 0xFFFFFFFFu);
  EXPECT_EQ(f.recorder->depth, 0);
}

TEST(PaperUndo, AWholeDocumentStepRecomposesAtTheSizeItBringsBack) {
  StepFixture f;
  // A canvas change to 52 x 44 whose new layer is green, then undone and redone.
  auto list = std::make_unique<CLayerMngr>(24);
  list->setDocumentSize(52, 44);
  auto l = std::make_unique<CLayerData>();
  ASSERT_TRUE(l->createImage(52, 44, lbmNormal));
  EXPECT_TRUE(l->image->fillRGBAll(0x00FF00));
  l->setAlphaAll(255);
  list->insertExisting(0, std::move(l));
  list->setCurrent(0);
  f.recorder->event("canvas size");
  ASSERT_TRUE(f.doc->undoExchangeLayerList(list));
  auto rec = CUndoData::make(kUndoCanvasSize);
  rec->kept.layerList = std::move(list);
  ASSERT_TRUE(f.doc->pushUndo(rec));
  ASSERT_TRUE(f.undo());
  EXPECT_EQ(f.doc->composite().size(), (SSize{40, 30}));
  EXPECT_EQ(f.doc->composite().getPixel(39, 29), referencePixel(*f.doc, 39, 29));
  int32_t index = 0;
  TRect r{};
  ASSERT_TRUE(f.doc->redo(*f.flow, index, r));
  EXPECT_EQ(f.doc->composite().size(), (SSize{52, 44}));
  EXPECT_EQ(f.doc->composite().getPixel(51, 43), 0xFF00FF00u);
  EXPECT_EQ(f.recorder->depth, 1);
}

}  // namespace
}  // namespace pg::test
