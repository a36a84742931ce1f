// Every undo kind, one scenario each: the forward edit as the document's
// operations make it, then undo, redo and undo again must give back exactly
// the states before and after. The same scenarios end with the record on
// either list, trimmed, cleared or with the document destroyed; under the
// sanitizer build that proves each kind's ownership (no leak, no double free).
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "doc_fixture.h"
#include "core/blend_modes.h"
#include "document/undo_apply.h"

namespace pg::test {
namespace {

// Three layers of the document size, two masks with images, layer 1 current.
void baseDocument(DocFixture& f) {
  f.recorder->recording = false;
  f.addLayer(0, 11);
  f.addLayer(1, 22);
  f.addLayer(2, 33);
  f.doc->layers()->setCurrent(1);
  CMaskMngr& masks = *f.doc->masks();
  EXPECT_TRUE(masks.getMask(0)->createImage(f.doc->width(), f.doc->height()));
  EXPECT_TRUE(masks.getMask(0)->image->fillRect(SRectXYWH{4, 4, 12, 8}, 255));
  const int32_t second = masks.addMask(1);
  EXPECT_TRUE(masks.getMask(second)->createImage(20, 20));
  EXPECT_TRUE(masks.getMask(second)->image->fillRect(SRectXYWH{2, 2, 5, 5}, 128));
  masks.setCurrent(0);
  f.log.clear();
}

std::unique_ptr<CLayerData> copyOf(const CLayerData& src, int32_t grow = 0) {
  auto l = std::make_unique<CLayerData>(src.index);
  EXPECT_TRUE(l->createImage(src.imageWidth() + grow, src.imageHeight() + grow, src.blendMode));
  EXPECT_TRUE(l->image->assignRect(*src.image, TPoint{0, 0}, SRectXYWH{0, 0, src.imageWidth(), src.imageHeight()}));
  l->copyAttributes(src);
  l->width = src.width;
  l->height = src.height;
  return l;
}

std::unique_ptr<CUndoData> record(int kind) { return CUndoData::make(kind); }

bool push(DocFixture& f, std::unique_ptr<CUndoData> rec) { return f.doc->pushUndo(rec); }

std::vector<uint8_t> levels(const CLayerMngr& layers) {
  std::vector<uint8_t> v;
  for (int32_t i = 0; i < layers.count(); ++i) v.push_back(static_cast<uint8_t>(layers.getLayer(i)->linkLevel));
  return v;
}

void setLevels(CLayerMngr& layers, std::vector<int32_t> lv) {
  for (size_t i = 0; i < lv.size(); ++i) layers.getLayer(static_cast<int32_t>(i))->setLinkLevel(lv[i]);
}

// A new list holding copies of the document's layers grown by `grow`
// pixels, for a canvas change of (dx, dy).
std::unique_ptr<CLayerMngr> grownList(DocFixture& f, int32_t grow) {
  auto list = std::make_unique<CLayerMngr>(24);
  list->setDocumentSize(f.doc->width() + grow, f.doc->height() + grow);
  for (int32_t i = 0; i < f.doc->layerCount(); ++i) {
    auto l = copyOf(*f.layer(i), grow);
    l->width += grow;
    l->height += grow;
    list->insertExisting(i, std::move(l));
  }
  list->setCurrent(f.doc->currentLayerIndex());
  return list;
}

struct Scenario {
  const char* name;
  int kind;
  std::function<bool(DocFixture&)> forward;
  // Prepares the document before its first state is taken.
  std::function<void(DocFixture&)> setup = nullptr;
};

Scenario withSetup(Scenario s, std::function<void(DocFixture&)> setup) {
  s.setup = std::move(setup);
  return s;
}

std::vector<Scenario> scenarios() {
  std::vector<Scenario> s;
  auto region = [](const char* name, int kind, SRectXYWH r) {
    return Scenario{name, kind, [=](DocFixture& f) {
                      if (!f.doc->storeRectUndo(1, r, kind)) return false;
                      EXPECT_TRUE(f.layer(1)->image->fillRGBRect(r, 0x00336699));
                      return true;
                    }};
  };
  s.push_back(region("pixels", kUndoPixels, {5, 5, 10, 10}));
  s.push_back(region("stroke at the image edge", kUndoStroke, {33, 25, 7, 5}));
  s.push_back({"alpha block", kUndoAlphaReplaced, [](DocFixture& f) {
                 const SRectXYWH r{3, 2, 20, 9};
                 if (!f.doc->storeRectUndo(1, r, kUndoAlphaReplaced)) return false;
                 return f.layer(1)->image->fillAlphaRect(r, 7);
               }});
  for (int code = kUndoMirror; code <= kUndoInvertAlpha; ++code) {
    s.push_back(withSetup({"in place", code,
                           [code](DocFixture& f) {
                             CLayerData& l = *f.layer(1);
                             const SRectXYWH whole{0, 0, l.imageWidth(), l.imageHeight()};
                             if (!applyInPlaceTransform(l, code, whole)) return false;
                             return f.doc->storeRectUndo(1, whole, code);
                           }},
                          [](DocFixture& f) {
                            // An image larger than the canvas, offset: mirrors carry the offset along.
                            auto big = copyOf(*f.layer(1), 8);
                            big->offsetX = 3;
                            big->offsetY = 1;
                            (void)f.doc->layers()->replaceLayer(1, std::move(big));  // frees the replaced layer
                          }));
  }
  for (int kind = kUndoMirrorAll; kind <= kUndoRotate180All; ++kind) {
    s.push_back(withSetup({"visible layers in place", kind, [kind](DocFixture& f) {
                   std::vector<int64_t> ids;
                   for (int32_t i = 0; i < f.doc->layerCount(); ++i) {
                     CLayerData& l = *f.layer(i);
                     if (!l.visible) continue;
                     EXPECT_TRUE(applyInPlaceTransform(l, kind - 5, SRectXYWH{0, 0, l.imageWidth(), l.imageHeight()}));
                     ids.push_back(l.id);
                   }
                   return f.doc->undoMngr()->recordLayersTransform(kind, 1, ids);
                 }},
                 // A hidden layer must stay untouched by the undo as well.
                 [](DocFixture& f) { f.layer(1)->visible = false; }));
  }
  s.push_back({"paper colour", kUndoPaperColor,
               [](DocFixture& f) { return f.doc->setPaperColor(PaperColor::fromRgb(1, 2, 3), true); }});
  auto attr = [](const char* name, int kind, int32_t value, std::function<void(CLayerData&)> set) {
    return Scenario{name, kind, [=](DocFixture& f) {
                      if (!f.doc->storeAttrUndo(f.layer(1), value, kind, 0)) return false;
                      set(*f.layer(1));
                      return true;
                    }};
  };
  s.push_back(attr("opacity", kUndoOpacity, 100, [](CLayerData& l) { l.opacity = 100; }));
  s.push_back(attr("group opacity", kUndoGroupOpacity, 50, [](CLayerData& l) { l.opacity = 50; }));
  s.push_back(attr("dissolve", kUndoDissolve, 1 | (77 << 8), [](CLayerData& l) {
    l.dissolve = true;
    l.dissolveAmount = 77;
  }));
  s.push_back(attr("blend mode", kUndoBlendMode, 5, [](CLayerData& l) { l.blendMode = 5; }));
  s.push_back(attr("visible", kUndoVisible, 0, [](CLayerData& l) { l.visible = false; }));
  s.push_back(attr("protect alpha", kUndoProtectAlpha, 1, [](CLayerData& l) { l.protectAlpha = true; }));
  s.push_back(attr("offset", kUndoOffset, 0, [](CLayerData& l) { l.moveBy(3, -4); }));
  s.push_back({"offset with the mask", kUndoOffsetWithMask, [](DocFixture& f) {
                 if (!f.doc->storeAttrUndo(f.layer(1), 3, kUndoOffsetWithMask, 2)) return false;
                 f.layer(1)->moveBy(3, 2);
                 CMaskData* m = f.doc->masks()->currentMask();
                 m->offsetX -= 3;
                 m->offsetY -= 2;
                 return true;
               }});
  s.push_back({"layer name", kUndoLayerName, [](DocFixture& f) {
                 if (!f.doc->undoMngr()->recordLayerName(*f.layer(1), "新しい名前")) return false;
                 f.layer(1)->name = "新しい名前";
                 return true;
               }});
  for (int kind : {kUndoNewLayer, kUndoDuplicateLayer, kUndoPasteAsLayer}) {
    s.push_back({"new layer", kind, [kind](DocFixture& f) {
                   const int32_t before = f.doc->currentLayerIndex();
                   const int32_t at = f.addLayer(2, 44);
                   auto r = record(kind);
                   r->layerId = f.layer(at)->id;
                   r->value1 = at;
                   r->value2 = before;
                   return push(f, std::move(r));
                 }});
  }
  s.push_back({"delete layer", kUndoDeleteLayer, [](DocFixture& f) {
                 auto r = record(kUndoDeleteLayer);
                 r->layerId = f.layer(1)->id;
                 r->value1 = 1;
                 r->kept.layer = f.doc->layers()->removeLayer(1);
                 return push(f, std::move(r));
               }});
  s.push_back({"layer order", kUndoLayerOrder, [](DocFixture& f) {
                 const int32_t to = f.doc->layers()->moveLayer(2, 0);
                 auto r = record(kUndoLayerOrder);
                 r->value1 = 0;
                 r->value2 = to;
                 return to >= 0 && push(f, std::move(r));
               }});
  s.push_back({"merge down", kUndoMergeDown, [](DocFixture& f) {
                 CLayerMngr& layers = *f.doc->layers();
                 std::unique_ptr<CLayerData> oldLower;
                 const int64_t upperId = f.layer(1)->id;
                 if (!layers.mergeLayers(0, 1, true, 0, &oldLower) || !oldLower) return false;
                 auto r = record(kUndoMergeDown);
                 r->value1 = 1;
                 r->value2 = 0;
                 r->layerId = f.layer(0)->id;
                 r->objectId = upperId;
                 r->kept.layer2 = layers.removeLayer(1);
                 r->kept.layer = std::move(oldLower);
                 return push(f, std::move(r));
               }});
  s.push_back(withSetup({"merge visible", kUndoMergeVisible, [](DocFixture& f) {
                 CLayerMngr& layers = *f.doc->layers();
                 auto merged = copyOf(*f.layer(0));
                 EXPECT_TRUE(merged->image->fillRGBRect(SRectXYWH{0, 0, 10, 10}, 0x00123456));
                 auto r = record(kUndoMergeVisible);
                 r->layerId = merged->id;
                 r->indices = {0, 2};
                 r->ids = {f.layer(0)->id, f.layer(2)->id};
                 r->kept.layers.push_back(layers.replaceLayer(0, std::move(merged)));
                 r->kept.layers.push_back(layers.removeLayer(2));
                 return push(f, std::move(r));
               }},
               [](DocFixture& f) { f.layer(1)->visible = false; }));
  for (int kind : {kUndoMovedRebuilt, kUndoLayerReplaced, kUndoMovedWithMaskRebuilt}) {
    s.push_back({"layer replaced", kind, [kind](DocFixture& f) {
                   auto bigger = copyOf(*f.layer(1), 16);
                   bigger->moveBy(-8, -8);
                   auto r = record(kind);
                   r->value1 = 1;
                   r->objectId = bigger->id;
                   r->layerId = f.layer(1)->id;
                   r->kept.layer = f.doc->layers()->replaceLayer(1, std::move(bigger));
                   if (kind == kUndoMovedWithMaskRebuilt) {
                     CMaskData* m = f.doc->masks()->getMask(1);
                     m->offsetX -= 2;
                     m->offsetY -= 5;
                     r->value2 = 1;
                     r->value3 = 2;
                     r->value4 = 5;
                   }
                   return push(f, std::move(r));
                 }});
  }
  s.push_back({"new layer from the selection", kUndoLayerFromSelection, [](DocFixture& f) {
                 CLayerData& source = *f.layer(1);
                 auto r = record(kUndoLayerFromSelection);
                 r->layerId = source.id;
                 r->rect = {0, 0, source.imageWidth(), source.imageHeight()};
                 for (int32_t y = 0; y < source.imageHeight(); ++y)
                   for (int32_t x = 0; x < source.imageWidth(); ++x)
                     r->block.push_back(static_cast<uint8_t>(source.image->getPixel(x, y) >> 24));
                 const int32_t at = f.addLayer(2, 55);
                 r->objectId = f.layer(at)->id;
                 r->value1 = at;
                 EXPECT_TRUE(f.layer(1)->image->fillAlphaRect(SRectXYWH{4, 4, 12, 8}, 0));  // cut
                 return push(f, std::move(r));
               }});
  s.push_back({"link levels", kUndoLinkLevels, [](DocFixture& f) {
                 CLayerMngr& layers = *f.doc->layers();
                 auto r = record(kUndoLinkLevels);
                 r->value1 = layers.count();
                 r->bytes1 = levels(layers);
                 setLevels(layers, {0, 1, 2});
                 r->bytes2 = levels(layers);
                 return push(f, std::move(r));
               }});
  s.push_back(withSetup({"delete a group's base", kUndoDeleteGroupBase, [](DocFixture& f) {
                 CLayerMngr& layers = *f.doc->layers();
                 auto r = record(kUndoDeleteGroupBase);
                 r->layerIndex = 1;
                 r->layerId = f.layer(1)->id;
                 r->value3 = 1;
                 layers.shiftLinkLevels(2, 1, true, -1);
                 r->kept.layer = layers.removeLayer(1);
                 return push(f, std::move(r));
               }},
               [](DocFixture& f) { setLevels(*f.doc->layers(), {0, 0, 1}); }));
  s.push_back(withSetup({"merge a link group", kUndoMergeGroup, [](DocFixture& f) {
                 CLayerMngr& layers = *f.doc->layers();
                 auto merged = copyOf(*f.layer(1));
                 EXPECT_TRUE(merged->image->fillRGBRect(SRectXYWH{1, 1, 5, 5}, 0x00ABCDEF));
                 auto r = record(kUndoMergeGroup);
                 r->layerIndex = 1;
                 r->value1 = 2;
                 r->objectId = merged->id;
                 r->ids = {f.layer(1)->id, f.layer(2)->id};
                 r->kept.layers.push_back(layers.removeLayer(1));
                 r->kept.layers.push_back(layers.removeLayer(1));
                 layers.insertExisting(1, std::move(merged));
                 return push(f, std::move(r));
               }},
               [](DocFixture& f) { setLevels(*f.doc->layers(), {0, 0, 1}); }));
  s.push_back(withSetup({"delete a link group", kUndoDeleteGroup, [](DocFixture& f) {
                 CLayerMngr& layers = *f.doc->layers();
                 auto r = record(kUndoDeleteGroup);
                 r->value1 = 1;
                 r->value2 = 2;
                 r->ids = {f.layer(1)->id, f.layer(2)->id};
                 r->kept.layers.push_back(layers.removeLayer(1));
                 r->kept.layers.push_back(layers.removeLayer(1));
                 return push(f, std::move(r));
               }},
               [](DocFixture& f) { setLevels(*f.doc->layers(), {0, 0, 1}); }));
  s.push_back(withSetup({"group order", kUndoGroupOrder, [](DocFixture& f) {
                 CLayerMngr& layers = *f.doc->layers();
                 auto r = record(kUndoGroupOrder);
                 r->bytes1 = {0, 1};
                 r->value1 = 0;
                 r->value2 = 3;
                 r->value3 = 2;
                 r->value4 = layers.moveGroup(3, 0, 2);
                 return r->value4 >= 0 && push(f, std::move(r));
               }},
               [](DocFixture& f) { setLevels(*f.doc->layers(), {0, 1, 0}); }));
  for (int kind : {kUndoGroupOffset, kUndoGroupOffsetWithMask}) {
    s.push_back(withSetup({"group offset", kind, [kind](DocFixture& f) {
                   CLayerMngr& layers = *f.doc->layers();
                   auto r = record(kind);
                   r->layerIndex = 1;
                   r->value1 = 2;
                   r->value2 = 2;
                   r->value3 = 1;
                   auto rebuilt = copyOf(*f.layer(1), 8);
                   rebuilt->moveBy(2, 1);
                   r->ids = {rebuilt->id, f.layer(2)->id};
                   r->kept.layers.push_back(layers.replaceLayer(1, std::move(rebuilt)));
                   r->kept.layers.push_back(nullptr);
                   f.layer(2)->moveBy(2, 1);
                   if (kind == kUndoGroupOffsetWithMask) {
                     CMaskData* m = f.doc->masks()->getMask(0);
                     m->offsetX -= 2;
                     m->offsetY -= 1;
                     r->value4 = 0;
                     r->objectId = m->id;
                   }
                   return push(f, std::move(r));
                 }},
                 [](DocFixture& f) { setLevels(*f.doc->layers(), {0, 0, 1}); }));
  }
  for (int kind : {kUndoShowOnly, kUndoShowAll, kUndoToggleVisibility}) {
    s.push_back({"visibility", kind, [kind](DocFixture& f) {
                   CLayerMngr& layers = *f.doc->layers();
                   auto r = record(kind);
                   r->value1 = 0;
                   r->bytes1 = {1, 1, 1};
                   if (kind == kUndoShowOnly) {
                     EXPECT_TRUE(layers.showOnly(1));
                   }
                   if (kind == kUndoShowAll) {
                     EXPECT_TRUE(layers.setAllVisible(false));
                   }
                   if (kind == kUndoToggleVisibility) {
                     EXPECT_TRUE(layers.toggleAllVisibility());
                   }
                   return push(f, std::move(r));
                 }});
  }
  s.push_back({"group visibility", kUndoGroupVisibility, [](DocFixture& f) {
                 auto r = record(kUndoGroupVisibility);
                 r->value1 = 1;
                 r->bytes1 = {1, 1};
                 f.doc->layers()->setRunVisible(1, 2, false);
                 return push(f, std::move(r));
               }});
  for (int kind : {kUndoCanvasSize, kUndoCropImage}) {
    s.push_back({"canvas size", kind, [kind](DocFixture& f) {
                   auto list = grownList(f, kind == kUndoCanvasSize ? 10 : -6);
                   if (!f.doc->undoExchangeLayerList(list)) return false;
                   for (int32_t i = 0; i < f.doc->masks()->count(); ++i) {
                     f.doc->masks()->getMask(i)->offsetX += 5;
                     f.doc->masks()->getMask(i)->offsetY += 4;
                   }
                   auto r = record(kind);
                   r->value1 = 5;
                   r->value2 = 4;
                   r->kept.layerList = std::move(list);
                   return push(f, std::move(r));
                 }});
  }
  s.push_back({"scale", kUndoScaleImage, [](DocFixture& f) {
                 auto list = grownList(f, 20);
                 auto masks = std::make_unique<CMaskMngr>(16);
                 masks->setDocumentSize(60, 50);
                 if (!f.doc->undoExchangeLayerList(list) || !f.doc->undoExchangeMaskList(masks)) return false;
                 auto r = record(kUndoScaleImage);
                 r->kept.layerList = std::move(list);
                 r->kept.maskList = std::move(masks);
                 return push(f, std::move(r));
               }});
  auto maskScenario = [](const char* name, int kind, std::function<bool(DocFixture&, CUndoData&)> edit) {
    // New, from-layer and delete records carry the current mask before and
    // after the edit.
    const bool current = kind == kUndoNewMask || kind == kUndoMaskFromLayer || kind == kUndoDeleteMask;
    return Scenario{name, kind, [=](DocFixture& f) {
                      auto r = record(kind);
                      if (current) r->value3 = f.doc->masks()->current();
                      if (!edit(f, *r)) return false;
                      if (current) r->value4 = f.doc->masks()->current();
                      return push(f, std::move(r));
                    }};
  };
  s.push_back(maskScenario("new mask", kUndoNewMask, [](DocFixture& f, CUndoData& r) {
    CMaskMngr& m = *f.doc->masks();
    const int32_t at = m.addMask(1);
    m.setCurrent(at);
    r.value1 = at;
    r.objectId = m.getMask(at)->id;
    return at >= 0;
  }));
  s.push_back(maskScenario("mask from a layer", kUndoMaskFromLayer, [](DocFixture& f, CUndoData& r) {
    CMaskMngr& m = *f.doc->masks();
    auto mask = std::make_unique<CMaskData>(0);
    if (!mask->fromLayerAlpha(*f.layer(1))) return false;
    r.objectId = mask->id;
    r.value1 = m.insertMask(m.count(), std::move(mask));
    m.renumber();
    m.setCurrent(r.value1);
    return r.value1 >= 0;
  }));
  s.push_back(maskScenario("delete mask", kUndoDeleteMask, [](DocFixture& f, CUndoData& r) {
    r.value1 = 0;
    r.objectId = f.doc->masks()->getMask(0)->id;
    return f.doc->masks()->removeMask(0, r.kept.mask);
  }));
  for (int kind : {kUndoMaskReplaced, kUndoMergeMask}) {
    s.push_back(maskScenario("mask replaced", kind, [](DocFixture& f, CUndoData& r) {
      auto other = CMaskData::createSized(0, 30, 30);
      EXPECT_TRUE(other->image->fillRect(SRectXYWH{0, 0, 9, 9}, 200));
      r.value1 = 0;
      r.objectId = other->id;
      r.kept.mask = std::move(other);
      return f.doc->masks()->swapMaskAt(0, r.kept.mask);
    }));
  }
  s.push_back(maskScenario("activate mask", kUndoActivateMask, [](DocFixture& f, CUndoData& r) {
    r.value3 = f.doc->masks()->current();
    r.value1 = f.doc->masks()->setCurrent(1);
    return r.value1 == 1;
  }));
  s.push_back(maskScenario("mask order", kUndoMaskOrder, [](DocFixture& f, CUndoData& r) {
    r.value1 = 0;
    r.value2 = 1;
    f.doc->masks()->setCurrent(1);
    return f.doc->masks()->moveMask(1, 0) == 1;
  }));
  s.push_back(maskScenario("invert in place", kUndoInvertMaskInPlace, [](DocFixture& f, CUndoData& r) {
    r.value1 = 0;
    r.objectId = f.doc->masks()->getMask(0)->id;
    return f.doc->masks()->invertInPlace(0);
  }));
  s.push_back(maskScenario("mask offset", kUndoMaskOffset, [](DocFixture& f, CUndoData& r) {
    CMaskData* m = f.doc->masks()->getMask(0);
    r.value1 = 0;
    r.objectId = m->id;
    r.value3 = 3;
    r.value4 = -2;
    m->offsetX -= 3;
    m->offsetY += 2;
    return true;
  }));
  s.push_back({"selection flags", kUndoSelectionFlags, [](DocFixture& f) {
                 auto r = record(kUndoSelectionFlags);
                 r->value1 = (f.doc->selectionEnabled() ? 1 << 16 : 0) | (f.doc->antsShown() ? 1 : 0);
                 f.doc->undoSetSelectionFlags(true, true);
                 r->value2 = (1 << 16) | 1;
                 return push(f, std::move(r));
               }});
  s.push_back(maskScenario("mask name", kUndoMaskName, [](DocFixture& f, CUndoData& r) {
    CMaskData* m = f.doc->masks()->getMask(0);
    r.value1 = 0;
    r.objectId = m->id;
    r.name1 = m->name;
    r.name2 = "選択範囲";
    m->name = r.name2;
    return true;
  }));
  return s;
}

class UndoKindRoundTrip : public ::testing::TestWithParam<size_t> {};

TEST_P(UndoKindRoundTrip, UndoRedoUndoGiveBackBothStates) {
  const Scenario sc = scenarios()[GetParam()];
  SCOPED_TRACE(std::string(sc.name) + ", kind " + std::to_string(sc.kind));
  DocFixture f;
  baseDocument(f);
  if (sc.setup) sc.setup(f);
  const std::string before = snapshot(*f.doc);
  ASSERT_TRUE(sc.forward(f));
  const std::string after = snapshot(*f.doc);
  ASSERT_NE(before, after);
  ASSERT_EQ(f.doc->undoMngr()->undoCount(), 1);
  const CUndoData* rec = f.doc->undoMngr()->peekUndo();
  ASSERT_EQ(rec->kind, sc.kind);

  int32_t index = f.doc->currentLayerIndex();
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(snapshot(*f.doc), before);
  ASSERT_EQ(f.doc->undoMngr()->redoCount(), 1);
  ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
  EXPECT_EQ(snapshot(*f.doc), after);
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(snapshot(*f.doc), before);
  EXPECT_TRUE(f.messages.warnings().empty());
}

// Fills the layer list to its limit with small hidden layers above the
// others; answers their ids.
std::vector<int64_t> fillLayerList(CLayerMngr& layers) {
  std::vector<int64_t> ids;
  while (layers.canAddLayer()) {
    auto l = std::make_unique<CLayerData>(layers.count());
    EXPECT_TRUE(l->createImage(1, 1, lbmNormal));
    l->visible = false;
    ids.push_back(l->id);
    if (layers.insertAt(layers.count(), std::move(l)) < 0) break;
  }
  layers.renumber();
  return ids;
}

void removeFillers(CLayerMngr& layers, const std::vector<int64_t>& ids) {
  const std::set<int64_t> fillers(ids.begin(), ids.end());
  for (int32_t i = layers.lastIndex(); i >= 0; --i)
    if (fillers.count(layers.getLayer(i)->id)) (void)layers.extractLayer(i);  // frees the extracted layer
  layers.renumber();
}

class UndoKindFailure : public ::testing::TestWithParam<size_t> {};

// The scenarios whose kinds put a layer into the list on one side.
std::vector<size_t> insertingScenarios() {
  std::vector<size_t> picked;
  const std::vector<Scenario> all = scenarios();
  for (size_t i = 0; i < all.size(); ++i)
    switch (all[i].kind) {
      case kUndoNewLayer: case kUndoDuplicateLayer: case kUndoPasteAsLayer: case kUndoDeleteLayer:
      case kUndoMergeDown: case kUndoMergeVisible: case kUndoLayerFromSelection: case kUndoDeleteGroupBase:
      case kUndoMergeGroup: case kUndoDeleteGroup:
        picked.push_back(i);
        break;
      default:
        break;
    }
  return picked;
}

// With the layer list full, an apply that would insert a layer cannot finish:
// it must fail before it changes anything, on either side.
TEST_P(UndoKindFailure, AFailedApplyLeavesTheDocumentAsItWas) {
  const Scenario sc = scenarios()[GetParam()];
  SCOPED_TRACE(std::string(sc.name) + ", kind " + std::to_string(sc.kind));
  for (const bool redoSide : {false, true}) {
    SCOPED_TRACE(redoSide ? "redo" : "undo");
    DocFixture f;
    baseDocument(f);
    if (sc.setup) sc.setup(f);
    const std::string unedited = snapshot(*f.doc);
    ASSERT_TRUE(sc.forward(f));
    int32_t index = f.doc->currentLayerIndex();
    TRect rect{};
    const std::string edited = snapshot(*f.doc);
    if (redoSide) {
      ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
    }
    const std::string before = snapshot(*f.doc);
    CLayerMngr& layers = *f.doc->layers();
    const std::vector<int64_t> fillers = fillLayerList(layers);
    const bool ok = redoSide ? f.doc->redo(*f.flow, index, rect) : f.doc->undo(*f.flow, index, rect);
    removeFillers(layers, fillers);
    if (ok) {
      // This side inserts nothing, or made room: it must then have done its
      // whole work.
      EXPECT_EQ(snapshot(*f.doc), redoSide ? edited : unedited);
    } else {
      EXPECT_EQ(snapshot(*f.doc), before);
    }
  }
}

// How a scenario's record leaves the manager.
enum class Ending { DocumentDestroyedOnUndoSide, DocumentDestroyedOnRedoSide, ClearedAfterRedo, Trimmed, LimitZero };

class UndoOwnership : public ::testing::TestWithParam<std::tuple<size_t, Ending>> {};

TEST_P(UndoOwnership, EveryEndingFreesEachObjectOnce) {
  const auto [which, ending] = GetParam();
  const Scenario sc = scenarios()[which];
  SCOPED_TRACE(std::string(sc.name) + ", kind " + std::to_string(sc.kind));
  DocFixture f;
  baseDocument(f);
  if (sc.setup) sc.setup(f);
  ASSERT_TRUE(sc.forward(f));
  int32_t index = f.doc->currentLayerIndex();
  TRect rect{};
  switch (ending) {
    case Ending::DocumentDestroyedOnUndoSide:
      break;
    case Ending::DocumentDestroyedOnRedoSide:
      ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
      break;
    case Ending::ClearedAfterRedo:
      ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
      ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
      f.doc->clearUndo();
      EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
      break;
    case Ending::Trimmed: {
      // Enough new records push the scenario's record out of the list.
      CLayerData* any = f.doc->layers()->currentLayer();
      ASSERT_NE(any, nullptr);
      for (int i = 0; i < 41; ++i) EXPECT_TRUE(f.doc->storeRectUndo(any->index, SRectXYWH{0, 0, 4, 4}, kUndoStroke));
      EXPECT_EQ(f.doc->undoMngr()->undoCount(), 8);
      break;
    }
    case Ending::LimitZero:
      ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
      f.doc->undoMngr()->setLimits(UndoLimit{0}, RedoLimit{0});
      EXPECT_EQ(f.doc->undoMngr()->redoCount(), 0);
      break;
  }
  f.flow.reset();
  f.doc.reset();  // the sanitizer build reports any leak or second free here
}

std::string endingName(const ::testing::TestParamInfo<std::tuple<size_t, Ending>>& info) {
  static const char* const kEndings[] = {"DestroyedOnUndoSide", "DestroyedOnRedoSide", "ClearedAfterRedo",
                                         "Trimmed", "LimitZero"};
  const size_t which = std::get<0>(info.param);
  return "kind" + std::to_string(scenarios()[which].kind) + "_" + std::to_string(which) + "_" +
         kEndings[static_cast<int>(std::get<1>(info.param))];
}

std::string scenarioName(const ::testing::TestParamInfo<size_t>& info) {
  return "kind" + std::to_string(scenarios()[info.param].kind) + "_" + std::to_string(info.param);
}

INSTANTIATE_TEST_SUITE_P(All, UndoKindRoundTrip, ::testing::Range<size_t>(0, scenarios().size()), scenarioName);
INSTANTIATE_TEST_SUITE_P(All, UndoKindFailure, ::testing::ValuesIn(insertingScenarios()), scenarioName);
INSTANTIATE_TEST_SUITE_P(All, UndoOwnership,
                         ::testing::Combine(::testing::Range<size_t>(0, scenarios().size()),
                                            ::testing::Values(Ending::DocumentDestroyedOnUndoSide,
                                                              Ending::DocumentDestroyedOnRedoSide,
                                                              Ending::ClearedAfterRedo, Ending::Trimmed,
                                                              Ending::LimitZero)),
                         endingName);

// A check that fails leaves the document as it was and frees the record.
TEST(UndoApply, AFailedCheckDropsTheRecordAndChangesNothing) {
  DocFixture f;
  baseDocument(f);
  auto r = record(kUndoMaskName);
  r->value1 = 0;
  r->objectId = f.doc->masks()->getMask(0)->id + 1000;  // no such mask
  r->name1 = "x";
  ASSERT_TRUE(f.doc->pushUndo(r));
  const std::string before = snapshot(*f.doc);
  int32_t index = 1;
  TRect rect{};
  EXPECT_FALSE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(snapshot(*f.doc), before);
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
  EXPECT_EQ(f.doc->undoMngr()->redoCount(), 0);
}

TEST(UndoApply, ARegionOfADeletedLayerFailsQuietly) {
  DocFixture f;
  baseDocument(f);
  ASSERT_TRUE(f.doc->storeRectUndo(2, SRectXYWH{0, 0, 8, 8}, kUndoStroke));
  ASSERT_TRUE(f.doc->deleteLayerRaw(2));
  int32_t index = 1;
  TRect rect{};
  EXPECT_FALSE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
}

TEST(UndoApply, TheWholeImageQuarterTurnTurnsBackAndAgain) {
  DocFixture f;
  baseDocument(f);
  auto r = record(kUndoRotateImage90);
  r->value1 = 1;  // the edit turned clockwise
  ASSERT_TRUE(f.doc->pushUndo(r));
  const std::string before = snapshot(*f.doc);
  const int32_t w = f.doc->width(), h = f.doc->height();
  int32_t index = 1;
  TRect rect{};
  ASSERT_TRUE(f.doc->undo(*f.flow, index, rect));
  EXPECT_EQ(f.doc->width(), h);
  EXPECT_EQ(f.doc->height(), w);
  ASSERT_TRUE(f.doc->redo(*f.flow, index, rect));
  EXPECT_EQ(snapshot(*f.doc), before);
}

}  // namespace
}  // namespace pg::test
