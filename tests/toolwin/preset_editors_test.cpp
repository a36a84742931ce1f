#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "brush/gradient_mngr.h"
#include "brush/paint_param.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "toolwin/pen_method_list.h"
#include "toolwin/preset_lists.h"
#include "toolwin/gradient_editor_rules.h"
#include "toolwin/pen_editor_values.h"
#include "toolwin/preset_editor_rules.h"
#include "toolwin/preset_popup_rules.h"

namespace pg {
namespace {

// ---- pen method values ------------------------------------------------------------

TEST(PenMtdEditorValues, EffectRowsFollowTheKindAndStoreLeavesOthersAlone) {
  struct Case {
    uint8_t kind;
    bool rows[3];
  };
  const Case cases[] = {
      {9, {false, false, false}},   // pencil
      {11, {true, true, true}},     // watercolour
      {13, {true, false, false}},   // blur
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.kind));
    TPaintParam p(c.kind);
    p.effect = 11.0f;
    p.env = 22.0f;
    p.speed = 33.0f;
    CPenMtdEditorValues v;
    ASSERT_TRUE(v.load(&p));
    EXPECT_EQ(v.kind(), c.kind);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(v.effectEnabled(i), c.rows[i]) << i;
      v.NumEffect[i].setValue(77.0f);
    }
    v.store(p);
    EXPECT_FLOAT_EQ(p.effect, c.rows[0] ? 77.0f : 11.0f);
    EXPECT_FLOAT_EQ(p.env, c.rows[1] ? 77.0f : 22.0f);
    EXPECT_FLOAT_EQ(p.speed, c.rows[2] ? 77.0f : 33.0f);
  }
  CPenMtdEditorValues v;
  EXPECT_FALSE(v.load(nullptr));
  EXPECT_EQ(v.effectCaption(0).substr(v.effectCaption(0).size() - 4), "(&1)");
}

TEST(PenMtdEditorValues, ScalesPercentValuesAndChangesTheKind) {
  TPaintParam p(9);
  p.opacity = 0.4f;
  p.spacing = 1.5f;
  p.gamma = 2.0f;
  p.pressureSize = 1;
  CPenMtdEditorValues v;
  ASSERT_TRUE(v.load(&p));
  EXPECT_FLOAT_EQ(v.NumDensity.value(), 40.0f);
  EXPECT_FLOAT_EQ(v.NumSpace.value(), 150.0f);
  EXPECT_TRUE(v.pressureRadius);
  EXPECT_FALSE(v.pressureDensity);
  EXPECT_FALSE(v.hasOwnIcon());
  EXPECT_EQ(v.shownIcon(), defaultPaintIcon(9));
  ASSERT_TRUE(v.setKindIndex(2));
  EXPECT_FALSE(v.setKindIndex(9));
  v.name = "wash";
  v.NumDensity.setValue(0.0f);  // held at the minimum 1 %
  v.store(p);
  EXPECT_EQ(p.kind, 11);
  EXPECT_EQ(p.paramMask, paintKindParamMask(11));
  EXPECT_EQ(p.name, "wash");
  EXPECT_FLOAT_EQ(p.opacity, 0.01f);
  EXPECT_FLOAT_EQ(p.spacing, 1.5f);
}

// ---- nib values -------------------------------------------------------------------

TEST(PenNibEditorValues, AspectAngleAndEdge) {
  struct Case {
    float aspectPercent, aspect, typed, angle;
  };
  const Case cases[] = {{0, 1.0f, 270, -90}, {99, 0.01f, -270, 90}, {50, 0.5f, 45, 45}, {25, 0.75f, 180, 180}};
  for (const Case& c : cases) {
    TPaintParam p(9);
    CPenNibEditorValues v;
    ASSERT_TRUE(v.load(&p));
    v.NumAspect.setValue(c.aspectPercent);
    v.NumDegree.setValue(c.typed);
    v.antiAlias = false;
    v.store(p);
    EXPECT_NEAR(p.aspect, c.aspect, 1e-6) << c.aspectPercent;
    EXPECT_FLOAT_EQ(p.angle, c.angle) << c.typed;
    EXPECT_EQ(p.hardEdge, 1);
  }
}

TEST(PenNibEditorValues, ImageAndParametricNibs) {
  TPaintParam p(9);
  TChannel ink(8, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x) *ink.pixelAt(x, y) = uint8_t(x * 30 + y);
  p.setNibImage(&ink);
  p.setNibScale(2.0f);
  CPenNibEditorValues v;
  ASSERT_TRUE(v.load(&p));
  ASSERT_TRUE(v.hasImage());
  EXPECT_EQ(v.image()->getPixel(3, 2), ink.getPixel(3, 2));
  // 4 / shorter side .. 512 / longer side, in per cent.
  EXPECT_FLOAT_EQ(v.NumScale.valueMin(), 100.0f);
  EXPECT_FLOAT_EQ(v.NumScale.valueMax(), 500.0f);
  EXPECT_FLOAT_EQ(v.NumScale.value(), 200.0f);
  p.setSize(9.0f);
  v.store(p);
  EXPECT_FLOAT_EQ(p.size, 1.0f);
  EXPECT_FLOAT_EQ(p.nibScale, 2.0f);
  ASSERT_EQ(p.hasNib, 1);
  EXPECT_EQ(p.nibBytes[size_t(2 * 8 + 3)], uint8_t(255 - ink.getPixel(3, 2)));

  // Fewer bytes than the size claims: a parametric nib, never a read past them.
  p.nibBytes.resize(5);
  ASSERT_TRUE(v.load(&p));
  EXPECT_FALSE(v.hasImage());
  v.NumRadius.setValue(12.5f);
  v.store(p);
  EXPECT_EQ(p.hasNib, 0);
  EXPECT_FLOAT_EQ(p.size, 12.5f);
  EXPECT_FLOAT_EQ(p.nibScale, 1.0f);
}

TEST(PenNibEditorValues, ScalePercentRange) {
  struct Case {
    float lo, hi, min, max;
  };
  const Case cases[] = {
      {0.5f, 4.0f, 50, 400},
      {0.001f, 9.0f, 1, 500},
      {0.514f, 0.514f, 51, 51},  // rounding inwards would cross the ends
      {0.123f, 0.129f, 12, 12},
  };
  for (const Case& c : cases) {
    float lo = 0, hi = 0;
    nibScalePercentRange(c.lo, c.hi, lo, hi);
    EXPECT_FLOAT_EQ(lo, c.min) << c.lo;
    EXPECT_FLOAT_EQ(hi, c.max) << c.hi;
  }
  EXPECT_EQ(falloffButtonOf(6), 0);
  EXPECT_EQ(falloffButtonOf(3), 5);
  EXPECT_EQ(falloffButtonOf(2), -1);
  EXPECT_EQ(falloffButtonOf(7), -1);
}

// ---- gradient rules ---------------------------------------------------------------

// Stops at the positions; a pair is written as two equal positions with the
// first one split.
TGradientStops stopsAt(std::initializer_list<float> inner, int32_t splitAt = -1) {
  TGradientStops s;
  for (float p : inner) EXPECT_GE(s.addStopAt(p, false), 0);
  if (splitAt > 0) s.unionRight(splitAt);
  return s;
}

TEST(GradientEditorRules, StopControls) {
  {
    TGradientStops s = stopsAt({0.25f, 0.5f});
    for (int32_t end : {0, 3}) {
      s.setSelectIndex(end);
      const SGradStopControls c = gradStopControls(s);
      EXPECT_TRUE(c.valid);
      EXPECT_FALSE(c.movable) << end;  // the ends never move
      EXPECT_EQ(c.positionMin, c.positionMax);
    }
    s.setSelectIndex(1);
    const SGradStopControls c = gradStopControls(s);
    EXPECT_TRUE(c.movable);
    EXPECT_FLOAT_EQ(c.positionMin, 0.0f);
    EXPECT_FLOAT_EQ(c.positionMax, 50.0f);
    EXPECT_FALSE(c.joined);
  }
  {
    TGradientStops s = stopsAt({0.25f, 0.5f, 0.75f}, 2);  // stops 2 and 3 joined at 0.75
    ASSERT_EQ(s.splitState(2), 2);
    s.setSelectIndex(3);  // the right half shows the joined stop
    const SGradStopControls c = gradStopControls(s);
    EXPECT_EQ(c.index, 2);
    EXPECT_TRUE(c.joined);
    EXPECT_FLOAT_EQ(c.positionMin, 25.0f);
    EXPECT_FLOAT_EQ(c.positionMax, 100.0f);
  }
}

TEST(GradientEditorRules, CopyAndExchangeStayInsideTheStops) {
  using G = GradStopCopy;
  struct Case {
    int32_t selected;
    G command;
    bool enabled;
    int32_t dst, src;
  };
  // Stops 0, 1 (0.25), 2 and 3 joined (0.75), 4.
  const Case cases[] = {
      {0, G::CopyL1, false, 0, -1},    {0, G::ExchangeL2, false, 1, -1}, {1, G::CopyL1, true, 1, 0},
      {1, G::CopyR1, true, 1, 2},      {2, G::CopyR1, true, 2, 4},       {3, G::CopyL2, true, 3, 1},
      {4, G::ExchangeR2, false, 5, 6}, {3, G::CopyR2, true, 3, 4},       {4, G::ExchangeR1, false, 4, 5},
  };
  for (const Case& c : cases) {
    TGradientStops s = stopsAt({0.25f, 0.5f, 0.75f}, 2);
    ASSERT_EQ(s.count(), 5);
    s.setSelectIndex(c.selected);
    int32_t dst = -9, src = -9;
    EXPECT_EQ(gradStopCopyPair(s, c.command, dst, src), c.enabled) << c.selected << " " << int(c.command);
    if (c.enabled) {
      EXPECT_EQ(dst, c.dst);
      EXPECT_EQ(src, c.src);
    }
    EXPECT_EQ(gradStopCopy(s, c.command), c.enabled);
  }
  TGradientStops s = stopsAt({0.5f});
  SColorRec red;
  red.R = 1.0f;
  s.setKind(0, 0);
  s.setColor(red, 0);
  s.setSelectIndex(1);
  ASSERT_TRUE(gradStopCopy(s, G::CopyL1));
  EXPECT_FLOAT_EQ(s.posAt(1)->Color.R, 1.0f);
  EXPECT_FLOAT_EQ(s.posAt(1)->Position, 0.5f);  // the position stays
}

TEST(GradientEditorRules, SplitLimitAndRepeat) {
  TGradientStops s;
  EXPECT_EQ(gradCustomSplitMax(s), 16);
  while (s.count() < s.capacity() - 5) ASSERT_GE(s.addStopAt(0.5f, false), 0);
  EXPECT_EQ(gradCustomSplitMax(s), 5);
  const SGradRepeat r = gradRepeatOf(true, 2, true, false, 2.5f);
  EXPECT_EQ(r.OwnSettings, 1);
  EXPECT_EQ(r.Shape, 2);
  EXPECT_EQ(r.Mirror, 1);
  EXPECT_EQ(r.Wrap, 0);
  EXPECT_EQ(r.Count, 3);  // half up
  EXPECT_EQ(gradRepeatOf(false, 0, false, true, 0.2f).Count, 1);
}

// ---- the editor menu --------------------------------------------------------------

struct PlainList final : CItemList {
  PlainList() {
    setOptions(kListKeepActive);
    setAllowedStyles(0x0018);  // rows small and medium only
    active_ = 0;
  }
  int32_t getCount() const override { return int32_t(items.size()); }
  uint32_t getItemFlags(int32_t) const override { return 0; }
  bool copyInto(CItemList*, int32_t index, bool, int32_t from) override {
    items.insert(items.begin() + index, items[size_t(from)]);
    return true;
  }
  bool deleteItem(int32_t i, bool) override {
    items.erase(items.begin() + i);
    return true;
  }
  std::vector<int> items{7, 8};
};

TEST(PresetEditorMenu, ItemsAndStyles) {
  const SEditorMenuState none = editorMenuState(nullptr, true, true);
  EXPECT_FALSE(none.duplicate || none.remove);
  EXPECT_TRUE(none.revert);
  EXPECT_FALSE(editorDuplicateItem(nullptr));
  EXPECT_FALSE(editorDeleteItem(nullptr));

  PlainList list;
  const SEditorMenuState s = editorMenuState(&list, false, true);
  EXPECT_TRUE(s.duplicate && s.remove);
  EXPECT_FALSE(s.revert);
  const auto items = editorDisplayItems();
  for (size_t k = 0; k < items.size(); ++k) {
    const bool allowed = items[k].style == kListSmallRows || items[k].style == kListRows;
    EXPECT_EQ(s.styleVisible[k], allowed) << items[k].name;
    EXPECT_EQ(editorSetStyle(&list, items[k].style), allowed) << items[k].name;
  }
  EXPECT_TRUE(editorDuplicateItem(&list));
  EXPECT_EQ(list.items, (std::vector<int>{7, 8, 7}));
  EXPECT_TRUE(editorDeleteItem(&list));
  EXPECT_EQ(list.items, (std::vector<int>{8, 7}));

  struct Stored {
    int32_t value;
    bool applied;
  };
  for (Stored c : {Stored{-1, false}, Stored{255, false}, Stored{16, false}, Stored{0, false}, Stored{3, true}}) {
    EXPECT_EQ(applyStoredListStyle(list, c.value), c.applied) << c.value;
  }
  EXPECT_FALSE(editorMenuState(&list, true, false).revert);
  EXPECT_TRUE(editorMenuState(&list, true, true).revert);
}

// ---- the exit question ------------------------------------------------------------

TEST(PresetExitQuery, AsksInOrderAndStopsAtCancel) {
  struct Run {
    int32_t mode;
    std::vector<SaveAnswer> answers;
    bool result;
    std::vector<std::string> asked;  // the name words asked about
    std::vector<std::string> saved;
  };
  const Run runs[] = {
      {0, {SaveAnswer::No, SaveAnswer::No}, true, {"ブラシ集", "グラデーション集"}, {}},
      {0, {SaveAnswer::No, SaveAnswer::Cancel}, false, {"ブラシ集", "グラデーション集"}, {}},
      {0, {SaveAnswer::Cancel}, false, {"ブラシ集"}, {}},
      {0, {SaveAnswer::Yes, SaveAnswer::No}, true, {"ブラシ集", "グラデーション集"}, {"/sets/b.pmt"}},
      {1, {}, true, {"グラデーション集"}, {"/sets/b.pmt"}},  // no file for the gradients: asked
      {2, {}, true, {}, {}},
  };
  for (const Run& run : runs) {
    std::vector<std::string> asked, saved;
    size_t next = 0;
    auto entry = [&](PresetSetKind kind, std::string word, bool modified, std::string path) {
      SPresetSetEntry e;
      e.kind = kind;
      e.word = word;
      e.modified = [modified] { return modified; };
      e.path = [path] { return path; };
      e.save = [&saved](const std::string& p) {
        saved.push_back(p);
        return true;
      };
      return e;
    };
    const SPresetSetEntry sets[] = {
        entry(PresetSetKind::Brushes, "ブラシ集", true, "/sets/b.pmt"),
        entry(PresetSetKind::Nibs, "ペン先集", false, "/sets/n.psh"),
        entry(PresetSetKind::Gradients, "グラデーション集", true, ""),
    };
    SPresetExitQuery q;
    q.mode = run.mode;
    q.fileExists = [](const std::string& p) { return !p.empty(); };
    q.ask = [&](const std::string& question) {
      for (const SPresetSetEntry& e : sets)
        if (question.find(e.word) != std::string::npos) asked.push_back(e.word);
      return next < run.answers.size() ? run.answers[next++] : SaveAnswer::No;
    };
    q.chooseSavePath = [](PresetSetKind, const std::string& path) { return path; };
    EXPECT_EQ(querySavePresets(sets, q), run.result) << run.mode;
    EXPECT_EQ(asked, run.asked);
    EXPECT_EQ(saved, run.saved);
  }
}

// ---- the editor lists -------------------------------------------------------------

TEST(EditorPresetLists, PenMethodsCommitAndCopy) {
  CPenMethodMngr set;
  ASSERT_EQ(set.addMissingKinds(), 9);
  set.setModified(false);
  // As the editors show them: every pen method, the active one the set's.
  CPenMethodList list;
  list.setOptions(kListKeepActive);
  list.bind(&set, nullptr, nullptr);
  list.setShowAll(true);
  list.setBounds(200, 200);
  ASSERT_TRUE(list.setActiveIndex(2));
  // Only one method of each kind: none may go.
  EXPECT_FALSE(list.canDeleteKeepOne(2));
  ASSERT_TRUE(list.copyItem(list.getCount(), 2, false));
  EXPECT_EQ(list.getCount(), 10);
  EXPECT_EQ(list.getActiveIndex(), 9);
  EXPECT_TRUE(set.modified());
  EXPECT_TRUE(list.canDeleteKeepOne(2));
  EXPECT_EQ(set.getItem(9)->getParams(), set.getItem(2)->getParams());

  list.paintParam().setOpacity(0.25f);
  list.paintParam().setName("edited");
  ASSERT_TRUE(list.storeCurrent());
  bool ok = false;
  auto back = TPaintParam::CreateFromPenMethod(set.getItem(9), ok);
  ASSERT_TRUE(ok);
  EXPECT_FLOAT_EQ(back->opacity, 0.25f);
  EXPECT_EQ(set.getItem(9)->name(), "edited");
  EXPECT_NE(set.getItem(2)->name(), "edited");
  ASSERT_TRUE(list.deleteItem(9, false));
  EXPECT_EQ(list.getCount(), 9);
}

TEST(EditorPresetLists, GradientsStoreTheEditedCopy) {
  CGradMngr set(true);
  set.addBuiltins();
  set.select(1);
  set.setModified(false);
  CGradientList list;
  list.setOptions(kListKeepActive);
  list.bind(&set);
  EXPECT_EQ(list.getItemFlags(0) & kItemFixed, kItemFixed);
  EXPECT_FALSE(list.canDeleteKeepOne(0));
  ASSERT_NE(list.editedGradient(), nullptr);
  list.editedGradient()->Stops.setName("sunset");
  EXPECT_NE(set.getItem(1)->Stops.name(), "sunset");  // only the copy so far
  ASSERT_TRUE(list.storeEdited());
  EXPECT_EQ(set.getItem(1)->Stops.name(), "sunset");
  EXPECT_TRUE(set.modified());
  EXPECT_FALSE(list.copyItem(0, 1, false));  // never over the two-colour entry
  list.editedGradient()->Stops.setName("dusk");
  ASSERT_TRUE(list.setActiveIndex(2));  // another item drops the unstored edit
  ASSERT_TRUE(list.setActiveIndex(1));
  EXPECT_EQ(list.editedGradient()->Stops.name(), "sunset");
  ASSERT_TRUE(list.copyItem(list.getCount(), 1, false));
  EXPECT_EQ(set.getItem(set.count() - 1)->Stops.name(), "sunset");
}

// ---- the preset pop-up ------------------------------------------------------------

TEST(PresetPopupRules, CaptionsByKindAndEnabling) {
  struct Case {
    PresetPopupKind kind;
    const char* append;
    const char* save;
    const char* duplicate;
  };
  const Case cases[] = {
      {PresetPopupKind::Gradient, "新規グラデーション(&N)...", "グラデーション集を保存(&S)...", "グラデーションを複製(&D)"},
      {PresetPopupKind::PenMethod, "新規ブラシ(&N)...", "ブラシ集を保存(&S)...", "ブラシを複製(&D)"},
      {PresetPopupKind::PenNib, "新規ペン先(&N)...", "ペン先集を保存(&S)...", "ペン先を複製(&D)"},
      {PresetPopupKind::Swatch, "新規色(&N)...", "色見本を保存(&S)...", "色を複製(&D)"},
      {PresetPopupKind::Other, "新規アイテム(&N)...", "セットを保存(&S)...", "アイテムを複製(&D)"},
  };
  PlainList list;
  for (const Case& c : cases) {
    SPresetPopupContext ctx;
    ctx.kind = c.kind;
    const SPresetPopupMenuState s = presetPopupMenuState(list, ctx);
    EXPECT_EQ(s.items[int(PresetPopupItem::Append)].caption, c.append);
    EXPECT_EQ(s.items[int(PresetPopupItem::SetSave)].caption, c.save);
    EXPECT_EQ(s.items[int(PresetPopupItem::Duplicate)].caption, c.duplicate);
    EXPECT_FALSE(s.items[int(PresetPopupItem::SetRevert)].enabled);
    EXPECT_TRUE(s.items[int(PresetPopupItem::Delete)].enabled);
  }
  SPresetPopupContext ctx;
  ctx.setFileExists = true;
  ctx.setModified = true;
  ctx.previewSupported = true;
  ctx.previewSize = 0;
  const SPresetPopupMenuState s = presetPopupMenuState(list, ctx);
  EXPECT_TRUE(s.items[int(PresetPopupItem::SetRevert)].enabled);
  EXPECT_TRUE(s.previewVisible);
  EXPECT_EQ(s.previewChecked, (std::array<bool, 4>{true, false, false, false}));
  EXPECT_FALSE(s.showAllVisible);
}

TEST(PresetPopupRules, StyleFallbackPreviewHeightsAndTheCloseGlyph) {
  PlainList list;  // rows small and medium allowed
  EXPECT_EQ(presetPopupStyle(list, -1, 3), 3);
  EXPECT_EQ(presetPopupStyle(list, 255, 1), 1);
  EXPECT_EQ(presetPopupStyle(list, 4, 1), 4);
  EXPECT_EQ(presetPopupStyle(list, 0, 1), 1);  // not allowed
  EXPECT_EQ(presetPreviewHeight(0), -4);
  EXPECT_EQ(presetPreviewHeight(1), 48);
  EXPECT_EQ(presetPreviewHeight(2), 96);
  EXPECT_EQ(presetPreviewHeight(3), 192);
  // Hiding the medium preview gives its height and 4 pixels back.
  EXPECT_EQ(presetPreviewHeight(2) - presetPreviewHeight(0), 100);
  const TRect close = presetPopupCloseGlyph(200, SSize{14, 14});
  EXPECT_EQ(close.Left, 184);
  EXPECT_EQ(presetPopupMenuGlyph(200, SSize{14, 14}).Top, 20);

  CPresetPopupCloseGlyph glyph;
  glyph.press(false);
  EXPECT_FALSE(glyph.release(true));  // pressed elsewhere
  glyph.press(true);
  EXPECT_FALSE(glyph.release(false));
  glyph.press(true);
  EXPECT_TRUE(glyph.release(true));
}

}  // namespace
}  // namespace pg
