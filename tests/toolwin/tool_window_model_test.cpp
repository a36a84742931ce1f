#include "toolwin/tool_window_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "brush/paint_param.h"
#include "core/planes.h"
#include "test_support/fake_tool_target.h"

namespace pg {
namespace {

using FakeTarget = testing::FakeToolTarget;

class FakeHost : public IToolWindowHost {
 public:
  std::vector<std::pair<uint8_t, float>> settings;
  std::vector<int32_t> waits;
  int toggles = 0;
  std::vector<int32_t> engines;
  void selectStrokeEngine(int32_t level) override { engines.push_back(level); }
  void storeToolSetting(uint8_t kind, float value) override { settings.emplace_back(kind, value); }
  void setEventWait(int32_t wait) override { waits.push_back(wait); }
  void toggleFloatingPanels() override { ++toggles; }
};

class FakeView : public IToolWindowView {
 public:
  int openMenu = -1;
  uint32_t changed = 0;
  void toolWindowChanged(uint32_t parts) override { changed |= parts; }
  bool isVariantMenuOpen(int button) const override { return button == openMenu; }
};

class ToolWindowModelTest : public ::testing::Test {
 protected:
  ToolWindowModelTest() {
    model.setHost(&host);
    model.setView(&view);
    model.finishCreation();
  }
  bool key(int32_t vk, uint32_t shift = 0) { return model.handleShortcutKey(vk, shift); }

  FakeHost host;
  FakeView view;
  CToolWindowModel model;
};

TEST_F(ToolWindowModelTest, StartsOnThePencilWithEveryOpacityFull) {
  EXPECT_EQ(model.toolMode(), ToolMode::Pencil);
  EXPECT_EQ(model.toolId(), ToolId::Brush);
  EXPECT_EQ(model.currentButton(), 0);
  EXPECT_EQ(model.buttonSlot(), 0);
  EXPECT_FALSE(model.replayDisplay());
  EXPECT_EQ(model.docWindow(), nullptr);
  EXPECT_TRUE(model.opacityApplies());
  for (int b = 0; b < kToolButtonCount; ++b) {
    EXPECT_EQ(model.rememberedOpacity(b), 100.0f);
    EXPECT_EQ(model.rememberedMode(b), toolButtonDef(b).defaultMode);
    EXPECT_TRUE(model.buttonEnabled(b));
  }
  // Before creation finishes the panels still show a replay.
  CToolWindowModel unfinished;
  EXPECT_TRUE(unfinished.replayDisplay());
}

TEST_F(ToolWindowModelTest, LetterKeysSwitchTools) {
  struct Case {
    bool findNext;
    std::vector<std::pair<char, uint32_t>> keys;
    std::vector<ToolMode> modes;  // the mode after each key
  };
  const Case cases[] = {
      // With ToolFindNext a letter on the current button steps through its variants.
      {true, {{'S', 0}, {'S', 0}, {'S', 0}, {'S', 0}},
       {ToolMode::Eraser, ToolMode::MagicEraser, ToolMode::EraserV3, ToolMode::Eraser}},
      // Without it the letter keeps the button's remembered variant; Shift steps.
      {false, {{'S', 0}, {'S', 0}, {'S', kShortcutShift}, {'A', 0}, {'S', 0}},
       {ToolMode::Eraser, ToolMode::Eraser, ToolMode::MagicEraser, ToolMode::Pencil, ToolMode::MagicEraser}},
      // Two letters of one button both select it.
      {false, {{'J', 0}, {'K', kShortcutShift}, {'L', 0}, {'M', 0}},
       {ToolMode::BucketFill, ToolMode::Gradation, ToolMode::SelectRectangle, ToolMode::SelectRectangle}},
      {false, {{'W', 0}, {'V', 0}, {'T', 0}, {'C', 0}, {'I', 0}, {'P', 0}, {'H', 0}, {'G', 0}, {'F', 0}, {'D', 0}},
       {ToolMode::AutoSelect, ToolMode::LayerMove, ToolMode::TextDraw, ToolMode::Crop, ToolMode::Eyedropper,
        ToolMode::FillRectangle, ToolMode::Burn, ToolMode::Blur, ToolMode::Airbrush, ToolMode::Watercolour}},
  };
  for (const Case& c : cases) {
    CToolWindowModel m;
    m.finishCreation();
    m.setPreferences({c.findNext, false});
    for (size_t i = 0; i < c.keys.size(); ++i) {
      EXPECT_TRUE(m.handleShortcutKey(c.keys[i].first, c.keys[i].second));
      EXPECT_EQ(m.toolMode(), c.modes[i]) << "key " << i << " '" << c.keys[i].first << "'";
    }
  }
}

TEST_F(ToolWindowModelTest, AnOpenVariantMenuKeepsTheLetterOnTheRememberedVariant) {
  model.setPreferences({true, false});
  key('S');
  view.openMenu = 1;
  key('S');
  EXPECT_EQ(model.toolMode(), ToolMode::Eraser);
}

TEST_F(ToolWindowModelTest, MenuShortcutsAndOtherKeysAreNotConsumed) {
  EXPECT_FALSE(key('S', kShortcutCtrl));
  EXPECT_FALSE(key('S', kShortcutAlt));
  EXPECT_FALSE(key('5', kShortcutAlt));
  EXPECT_FALSE(key('5', kShortcutCtrl));
  EXPECT_FALSE(key('5', kShortcutShift));
  EXPECT_FALSE(key(9, kShortcutCtrl));
  EXPECT_FALSE(key('X'));
  EXPECT_FALSE(key('B'));
  EXPECT_FALSE(key(37));  // an arrow key
  EXPECT_EQ(model.toolMode(), ToolMode::Pencil);
  EXPECT_EQ(model.toolOpacity(), 100.0f);
  EXPECT_EQ(host.toggles, 0);

  EXPECT_TRUE(key(9));
  EXPECT_EQ(host.toggles, 1);
  EXPECT_TRUE(key('E'));
  EXPECT_TRUE(key('R'));
}

TEST_F(ToolWindowModelTest, DigitsSetTheToolOpacity) {
  const std::pair<char, float> cases[] = {{'5', 50}, {'1', 10}, {'9', 90}, {'0', 100}};
  for (auto [digit, opacity] : cases) {
    EXPECT_TRUE(key(digit));
    EXPECT_EQ(model.toolOpacity(), opacity) << digit;
  }
}

TEST_F(ToolWindowModelTest, ShiftXSwapsTheColours) {
  model.setFgColor(0x112233);
  model.setBgColor(0x445566);
  EXPECT_TRUE(key('X', kShortcutShift));
  EXPECT_EQ(model.fgColor(), 0xFF445566u);
  EXPECT_EQ(model.bgColor(), 0xFF112233u);
}

TEST_F(ToolWindowModelTest, BracketsStepTheBrushSize) {
  model.setToolSize(10.0f);
  EXPECT_TRUE(key(kVkBracketRight));
  float up = model.toolSize();
  EXPECT_GT(up, 10.0f);
  EXPECT_TRUE(key(kVkBracketLeft));
  EXPECT_NEAR(model.toolSize(), 10.0f, 1e-3);
  // Shift steps the minimum size instead; Ctrl and Alt belong to the layer list.
  EXPECT_TRUE(key(kVkBracketRight, kShortcutShift));
  EXPECT_EQ(model.minSize(), 1.0f);
  EXPECT_TRUE(key(kVkBracketRight, kShortcutCtrl));
  EXPECT_TRUE(key(kVkBracketLeft, kShortcutAlt));
  EXPECT_NEAR(model.toolSize(), 10.0f, 1e-3);
  EXPECT_EQ(model.minSize(), 1.0f);
}

TEST_F(ToolWindowModelTest, PanelKeysReachTheirListsAndTheNibScale) {
  std::vector<int32_t> steps;
  std::vector<CToolWindowModel::LayerKey> layerKeys;
  std::vector<float> scales;
  model.OnStepBrushList = [&](int32_t step) { steps.push_back(step); };
  model.OnLayerKey = [&](CToolWindowModel::LayerKey k) { layerKeys.push_back(k); };
  model.OnNibScale = [&](float percent) { scales.push_back(percent); };
  EXPECT_TRUE(key('E'));
  EXPECT_TRUE(key('R'));
  EXPECT_EQ(steps, (std::vector<int32_t>{-1, 1}));
  EXPECT_TRUE(key(kVkBracketRight, kShortcutCtrl));
  EXPECT_TRUE(key(kVkBracketLeft, kShortcutCtrl));
  EXPECT_TRUE(key(kVkBracketRight, kShortcutAlt));
  EXPECT_TRUE(key(kVkBracketLeft, kShortcutAlt | kShortcutCtrl));  // Ctrl is asked first
  using K = CToolWindowModel::LayerKey;
  EXPECT_EQ(layerKeys, (std::vector<K>{K::MoveUp, K::MoveDown, K::NextVisibleAbove, K::MoveDown}));
  EXPECT_TRUE(scales.empty());
  // A brush with a nib image steps its scale, not the radius.
  TPaintParam brush(9);
  TChannel nib(10, 6);
  brush.setNibImage(&nib);
  brush.setNibScale(1.0f);
  model.setPaintParam(&brush);
  const float size = model.toolSize();
  EXPECT_TRUE(key(kVkBracketRight));
  EXPECT_TRUE(key(kVkBracketLeft));
  ASSERT_EQ(scales.size(), 2u);
  EXPECT_GT(scales[0], 100.0f);
  EXPECT_LT(scales[1], 100.0f);
  EXPECT_EQ(model.toolSize(), size);
  model.setPaintParam(nullptr);
}

TEST_F(ToolWindowModelTest, TheStrokeEngineFollowsThePaintFamilyOfTheMode) {
  // The current pencil is a pen-method brush, its version-3 variant a
  // walker brush; tools without brushes leave the engine alone.
  const std::pair<ToolMode, std::vector<int32_t>> steps[] = {
      {ToolMode::PencilV3, {1}},
      {ToolMode::Eraser, {1, 2}},
      {ToolMode::SelectRectangle, {1, 2}},
      {ToolMode::BlurV3, {1, 2, 1}},
  };
  for (const auto& [mode, engines] : steps) {
    model.setToolMode(mode);
    EXPECT_EQ(host.engines, engines) << int(byteOf(mode));
  }
}

TEST_F(ToolWindowModelTest, ReplayDisplayTakesOnlyTheWaitDigits) {
  model.updateEventPanel(true);
  EXPECT_EQ(model.currentButton(), kHandButton);
  for (int b = 0; b < kToolButtonCount; ++b) EXPECT_EQ(model.buttonEnabled(b), b >= kHandButton) << b;

  for (char d : std::string("1234506789")) EXPECT_TRUE(key(d)) << d;
  EXPECT_EQ(host.waits, (std::vector<int32_t>{1, 4, 8, 16, 32, 0}));
  EXPECT_FALSE(key('1', kShortcutShift));
  EXPECT_FALSE(key('A'));
  EXPECT_FALSE(key(kVkBracketRight));
  EXPECT_EQ(model.toolOpacity(), 100.0f);
  EXPECT_TRUE(key(9));

  // A click on a locked button does nothing; the hand and zoom stay usable.
  model.buttonClicked(0, false, false);
  EXPECT_EQ(model.toolMode(), ToolMode::Hand);
  model.buttonClicked(kZoomButton, false, false);
  EXPECT_EQ(model.toolMode(), ToolMode::Zoom);

  // Back to normal display the button used before the replay returns.
  model.updateEventPanel(false);
  EXPECT_EQ(model.toolMode(), ToolMode::Pencil);
  model.updateEventPanel(true);
  EXPECT_EQ(model.toolMode(), ToolMode::Zoom);
}

TEST_F(ToolWindowModelTest, EachButtonRemembersItsOpacity) {
  model.setToolOpacity(40);
  key('M');  // selection: no opacity
  EXPECT_FALSE(model.opacityApplies());
  EXPECT_EQ(model.toolOpacity(), 100.0f);
  key('A');
  EXPECT_TRUE(model.opacityApplies());
  EXPECT_EQ(model.toolOpacity(), 40.0f);
  // Another variant of the same button keeps the current value.
  model.setToolOpacity(70);
  model.setToolMode(ToolMode::PencilV3);
  EXPECT_EQ(model.toolOpacity(), 70.0f);
  key('S');
  EXPECT_EQ(model.toolOpacity(), 100.0f);
  key('A');
  EXPECT_EQ(model.toolOpacity(), 70.0f);
}

TEST_F(ToolWindowModelTest, ClicksWithAltStepOnlyTheCurrentButton) {
  model.setToolMode(ToolMode::MagicEraser);
  model.buttonClicked(1, true, false);
  EXPECT_EQ(model.toolMode(), ToolMode::EraserV3);
  model.buttonClicked(1, true, true);  // the click opened the menu
  EXPECT_EQ(model.toolMode(), ToolMode::EraserV3);
  model.buttonClicked(4, true, false);  // not current: its remembered variant
  EXPECT_EQ(model.toolMode(), ToolMode::Blur);
  model.buttonClicked(1, false, false);
  EXPECT_EQ(model.toolMode(), ToolMode::EraserV3);
  EXPECT_TRUE(model.menuClicked("MenuGrabberRotation"));
  EXPECT_EQ(model.toolId(), ToolId::ViewRotation);
  EXPECT_FALSE(model.menuClicked("MenuNothing"));
}

TEST_F(ToolWindowModelTest, ModesWhoseToolsAreMissingCannotBeChosen) {
  model.setModeFilter([](ToolMode m) {
    return m != ToolMode::MagicEraser && m != ToolMode::BucketFill && m != ToolMode::AutoSelect;
  });
  EXPECT_FALSE(model.buttonEnabled(9));
  EXPECT_TRUE(model.buttonEnabled(7));  // the gradient still works
  EXPECT_TRUE(key('W'));
  EXPECT_EQ(model.toolMode(), ToolMode::Pencil);
  model.buttonClicked(9, false, false);
  EXPECT_EQ(model.toolMode(), ToolMode::Pencil);
  EXPECT_FALSE(model.menuClicked("MenuSeedEraser"));

  // Stepping through the eraser's variants passes over the magic eraser.
  const ToolMode steps[] = {ToolMode::Eraser, ToolMode::EraserV3, ToolMode::Eraser};
  for (ToolMode expected : steps) {
    key('S', kShortcutShift);
    EXPECT_EQ(model.toolMode(), expected);
  }
}

TEST_F(ToolWindowModelTest, TheTwoSlotsEachKeepTheirButton) {
  model.selectToolButton(1);
  EXPECT_EQ(model.toolMode(), ToolMode::Eraser);
  key('I');
  EXPECT_EQ(model.currentButton(), 13);
  model.selectToolButton(0);
  EXPECT_EQ(model.toolMode(), ToolMode::Pencil);
  model.selectToolButton(1);
  EXPECT_EQ(model.toolMode(), ToolMode::Eyedropper);
  model.selectToolButton(2);  // no such slot
  EXPECT_EQ(model.buttonSlot(), 1);
}

TEST_F(ToolWindowModelTest, ToolSelectionReachesTheBoundWindow) {
  FakeTarget window;
  model.setDocWindow(&window);
  window.calls.clear();
  model.setSubPaintShape(3);  // the brush draws rectangles
  EXPECT_EQ(model.toolId(), ToolId::BrushRectangle);
  window.calls.clear();
  key('S');
  EXPECT_EQ(model.toolId(), ToolId::BrushRectangle);  // the eraser is a brush too
  window.calls.clear();
  key('S', kShortcutShift);                            // the magic eraser has its own tool
  EXPECT_EQ(model.toolId(), ToolId::MagicEraser);
  EXPECT_EQ(window.calls, (std::vector<std::string>{"handlers 3 end", "cursor", "handlers 13"}));

  // With AutoFreeHand the brush starts freehand, and the window installs freehand's handlers.
  model.setPreferences({false, true});
  window.calls.clear();
  key('A');
  EXPECT_EQ(model.subPaintShape(), 0);
  EXPECT_EQ(model.toolId(), ToolId::Brush);
  EXPECT_EQ(window.calls.back(), "handlers 0");
}

TEST_F(ToolWindowModelTest, TemporaryToolsLeaveTheModeAlone) {
  FakeTarget window;
  model.setDocWindow(&window);
  EXPECT_TRUE(model.selectTool(ToolId::HandScroll, true));
  EXPECT_EQ(model.toolId(), ToolId::HandScroll);
  EXPECT_EQ(model.toolMode(), ToolMode::Pencil);
  EXPECT_FALSE(model.selectTool(ToolId::HandScroll, true));
  EXPECT_TRUE(model.selectTool(ToolId::Brush, false));
  EXPECT_EQ(model.toolId(), ToolId::Brush);
  // A number past the tools changes nothing.
  EXPECT_TRUE(model.selectTool(static_cast<ToolId>(40), true));
  EXPECT_EQ(model.toolId(), ToolId::Brush);
}

TEST_F(ToolWindowModelTest, ASelectionInsideASelectionIsStopped) {
  FakeTarget window;
  model.setDocWindow(&window);
  window.duringHandlers = [&] { model.selectTool(ToolId::ZoomIn, true); };
  model.selectTool(ToolId::Eyedropper, true);
  EXPECT_EQ(model.toolId(), ToolId::Eyedropper);
  EXPECT_EQ(window.calls.size(), 3u);
}

TEST_F(ToolWindowModelTest, BindingFollowsTheActiveWindowAndEndsWhenItCloses) {
  FakeTarget a, b, notReady, replaying;
  notReady.ready = false;
  replaying.replaying = true;

  model.setDocWindow(&a);
  ASSERT_EQ(a.params.size(), 1u);
  EXPECT_EQ(a.params[0], model.toolParams());
  model.setFgColor(0x0000FF);
  EXPECT_EQ(a.params.back().foreground, 0xFF0000FFu);

  // Another window closes: the binding stays.
  model.releaseDocWindow(&b);
  EXPECT_EQ(model.docWindow(), &a);
  model.releaseDocWindow(&a);
  EXPECT_EQ(model.docWindow(), nullptr);
  size_t before = a.params.size();
  a.calls.clear();
  key('S');
  model.setToolSize(50);
  EXPECT_TRUE(a.calls.empty());
  EXPECT_EQ(a.params.size(), before);

  // A window whose document is not ready is bound but given nothing.
  model.setDocWindow(&notReady);
  EXPECT_EQ(model.docWindow(), &notReady);
  EXPECT_TRUE(notReady.params.empty());

  // A replaying window switches the panels to the replay display and gets no drawing state.
  model.setDocWindow(&replaying);
  EXPECT_TRUE(model.replayDisplay());
  EXPECT_TRUE(replaying.params.empty());
  model.setDocWindow(nullptr);
  EXPECT_FALSE(model.replayDisplay());
  EXPECT_EQ(model.toolMode(), ToolMode::Eraser);
}

TEST_F(ToolWindowModelTest, TheOpacityReachesThePreferencesOfTheMode) {
  host.settings.clear();
  model.setToolOpacity(50);
  ASSERT_FALSE(host.settings.empty());
  EXPECT_EQ(host.settings.back().first, settingKindOfMode(ToolMode::Pencil));
  EXPECT_FLOAT_EQ(host.settings.back().second, 0.50001f);
  model.setToolOpacity(100);
  EXPECT_EQ(host.settings.back().second, 1.0f);
}

TEST_F(ToolWindowModelTest, TheStoredVariantMaskRestoresTheVariants) {
  model.applyToolSubMode(0x1 | 0x20 | 0x10000);
  EXPECT_EQ(model.toolMode(), ToolMode::PencilV3);
  EXPECT_EQ(model.rememberedMode(4), ToolMode::Finger);
  EXPECT_EQ(model.buttonGlyph(4), 11);
  EXPECT_EQ(model.rememberedMode(8), ToolMode::SelectEllipse);
  EXPECT_EQ(model.toolMode(), ToolMode::PencilV3);
  EXPECT_EQ(model.toolSubMode(), 0x1u | 0x20u | 0x10000u);
  key('G');
  EXPECT_EQ(model.toolMode(), ToolMode::Finger);
}

TEST_F(ToolWindowModelTest, ValuesFromOutsideAreClamped) {
  model.setToolSize(1e9f);
  EXPECT_EQ(model.toolSize(), 200.0f);
  model.setToolSize(-3);
  EXPECT_EQ(model.toolSize(), 0.1f);
  model.setToolSize(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(model.toolSize(), 0.1f);
  model.setToolOpacity(0);
  EXPECT_EQ(model.toolOpacity(), 1.0f);
  model.setActiveSide(2);
  model.setActiveColor(0x00FF00);
  EXPECT_EQ(model.bgColor(), 0xFF00FF00u);
  model.setActiveSide(7);
  EXPECT_EQ(model.activeSide(), 2);
}

}  // namespace
}  // namespace pg
