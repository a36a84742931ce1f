// The tool options over a tool window model: which fields a brush lets the
// panel set, what a change does to the brush and the document, saving.
#include "toolwin/tool_options.h"

#include <gtest/gtest.h>

#include "brush/paint_param_kinds.h"
#include "brush/pen_shape_obj.h"
#include "brush/stroke_settings.h"
#include "core/planes.h"
#include "brush/gradient_mngr.h"
#include "io/preset_pen_methods.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "replay/replay_types.h"
#include "toolwin/pen_settings.h"
#include "toolwin/tool_window_model.h"

namespace pg {
namespace tool_options_test {

// A document window that keeps what it was handed.
class RecordingTarget final : public IToolTarget {
 public:
  bool documentReady() const override { return true; }
  bool isReplaying() const override { return false; }
  void selectToolHandlers(ToolId, bool) override {}
  void updateCursorAtPointer() override {}
  void applyToolParams(const SToolParams& p) override { params = p; }
  void applyPaintParam(const TPaintParam& p) override {
    ++paintCalls;
    spacing = p.spacing;
    gamma = p.gamma;
    kind = p.kind;
  }
  SToolParams params;
  int paintCalls = 0;
  float spacing = -1.0f, gamma = -1.0f;
  uint8_t kind = 255;
};

class ToolOptionsTest : public ::testing::Test {
 protected:
  ToolOptionsTest() {
    model.finishCreation();
    brushes.addMissingKinds();
    options.bind(&brushes, &stroke, &variants);
    model.setDocWindow(&target);
  }
  void useKind(uint8_t kind) {
    model.setToolMode(modeOfPenSlot(PenSlot{kind}));
    options.followMode();
  }

  CToolWindowModel model;
  CPenMethodMngr brushes;
  TStroke stroke;
  CPenSettingTable variants;
  CToolOptions options{model};
  RecordingTarget target;
};

TEST_F(ToolOptionsTest, OnlyTheFieldsOfTheBrushsMaskAreShownAndTaken) {
  struct Case {
    uint8_t kind;
    EParamField field;
    double value;
    bool taken;
  };
  const Case cases[] = {
      {0, kFieldSpacing, 30.0, false},  // the pencil keeps no spacing
      {3, kFieldSpacing, 30.0, true},
      {0, kFieldGamma, 2.0, true},
      {0, kFieldAngle, 45.0, false},
      {9, kFieldAngle, 45.0, true},
      {9, kFieldNibScale, 150.0, false},  // a parametric nib has no scale
      {9, kFieldFalloffA, 40.0, true},    // the falloff follows the kind's style, not the mask
      {0, kFieldFalloff, 2.0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << int(c.kind) << ", field " << int(c.field));
    useKind(c.kind);
    ASSERT_TRUE(options.hasBrush());
    EXPECT_EQ(options.shows(c.field), c.taken);
    EXPECT_EQ(options.paramChange(c.field, c.value), c.taken);
    if (c.taken) {
      EXPECT_NEAR(options.controlValue(c.field), c.value, 1e-4);
    }
  }
  // Modes without a brush show none.
  model.setToolMode(ToolMode::Hand);
  options.followMode();
  EXPECT_FALSE(options.hasBrush());
  EXPECT_FALSE(options.shows(kFieldOpacity));
}

TEST_F(ToolOptionsTest, TheFalloffPickerSetsWhatTheKindsStyleAllows) {
  struct Case {
    uint8_t kind;
    uint8_t mode;
    bool enabled;
    uint8_t pick;  // the type picked, with the values 30 and 70 per cent
    bool taken;
    uint8_t shownAfter;
    float valueA, valueB;  // the brush's values after the pick
  };
  const Case cases[] = {
      {0, 0, false, 3, false, 7, 0.0f, 0.0f},  // no profile and no pressure edge: nothing to pick
      {1, 0, true, 3, true, 3, 0.0f, 0.0f},    // type 3: the pressure softens the edge
      {3, 1, true, 5, true, 5, 0.0f, 0.0f},    // the type alone
      {9, 2, true, 4, true, 4, 0.3f, 0.7f},    // type and both values
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << int(c.kind));
    useKind(c.kind);
    TPaintParam& p = options.brushList().paintParam();
    p.falloffValue1 = p.falloffValue2 = 0.0f;
    p.pressureEdge = 0;
    const SFalloffPick before = falloffPickOf(p);
    EXPECT_EQ(before.mode, c.mode);
    EXPECT_EQ(before.enabled, c.enabled);
    if (c.mode == 0 && c.enabled) {
      EXPECT_EQ(before.kind, 2);
    }
    const int calls = target.paintCalls;
    EXPECT_EQ(options.falloffChange(c.pick, 30.0f, 70.0f), c.taken);
    EXPECT_EQ(target.paintCalls > calls, c.taken);
    const SFalloffPick after = falloffPickOf(options.paintParam());
    EXPECT_EQ(after.kind, c.shownAfter);
    EXPECT_FLOAT_EQ(options.paintParam().falloffValue1, c.valueA);
    EXPECT_FLOAT_EQ(options.paintParam().falloffValue2, c.valueB);
    // The same pick again changes nothing.
    EXPECT_FALSE(options.falloffChange(c.pick, 30.0f, 70.0f));
  }
  // The pressure edge goes off again with type 2.
  useKind(1);
  ASSERT_TRUE(options.falloffChange(2, 0.0f, 0.0f));
  EXPECT_EQ(options.paintParam().pressureEdge, 0);
}

TEST_F(ToolOptionsTest, AChangeReachesTheDocumentAndTheSharedStroke) {
  useKind(3);
  int before = target.paintCalls;
  ASSERT_TRUE(options.paramChange(kFieldSpacing, 35.0));
  EXPECT_GT(target.paintCalls, before);
  EXPECT_FLOAT_EQ(target.spacing, 0.35f);
  EXPECT_EQ(target.kind, 3);
  // A stroke tool's working parameters are its shared stroke settings.
  EXPECT_FLOAT_EQ(stroke.getSpacing(), 0.35f);
  ASSERT_TRUE(options.paramChange(kFieldGamma, 2.5));
  EXPECT_FLOAT_EQ(target.gamma, 2.5f);

  // Size, minimum and opacity go through the tool window's own state.
  ASSERT_TRUE(options.paramChange(kFieldSize, 24.0));
  EXPECT_FLOAT_EQ(model.toolSize(), 24.0f);
  EXPECT_FLOAT_EQ(target.params.brushSize, 24.0f);
  ASSERT_TRUE(options.paramChange(kFieldOpacity, 40.0));
  EXPECT_NEAR(target.params.opacity, 0.4f, 1e-4);
  // The bracket keys change the size the panel shows.
  model.stepSizeUp(false);
  EXPECT_DOUBLE_EQ(options.controlValue(kFieldSize), model.toolSize());
}

TEST_F(ToolOptionsTest, ChangesAreStoredIntoTheBrushOnlyWhenEffectiveAndAsked) {
  useKind(9);
  CPenMethodObj* brush = brushes.current();
  ASSERT_NE(brush, nullptr);
  ASSERT_TRUE(options.paramChange(kFieldOpacity, 50.0));
  uint16_t stored = brush->getParams().stroke.opacity;
  brushes.setModified(false);

  // Without automatic saving the brush keeps its values until Save.
  ASSERT_TRUE(options.paramChange(kFieldOpacity, 30.0));
  EXPECT_EQ(brush->getParams().stroke.opacity, stored);
  EXPECT_FALSE(brushes.modified());
  ASSERT_TRUE(options.optionSave());
  EXPECT_NE(brush->getParams().stroke.opacity, stored);
  brushes.setModified(false);

  options.setAutoSave(true);
  // 30 to 30 changes nothing, so nothing is stored.
  EXPECT_FALSE(options.paramChange(kFieldOpacity, 30.0));
  EXPECT_FALSE(brushes.modified());
  uint16_t gamma = brush->getParams().stroke.gamma;
  ASSERT_TRUE(options.paramChange(kFieldGamma, 2.0));
  EXPECT_TRUE(brushes.modified());
  EXPECT_NE(brush->getParams().stroke.gamma, gamma);
}

TEST_F(ToolOptionsTest, NothingIsTakenWhileAReplayIsShown) {
  useKind(3);
  model.updateEventPanel(true);
  EXPECT_FALSE(options.paramChange(kFieldSpacing, 35.0));
  model.updateEventPanel(false);
  EXPECT_TRUE(options.paramChange(kFieldSpacing, 35.0));
}

TEST_F(ToolOptionsTest, AReplayShowsTheReplayedBrushAndGivesTheUsersBack) {
  useKind(3);
  ASSERT_TRUE(options.paramChange(kFieldSpacing, 35.0));
  const double ownSpacing = options.controlValue(kFieldSpacing);
  model.updateEventPanel(true);
  // Nothing replayed yet: no brush to show.
  EXPECT_FALSE(options.hasBrush());
  int shown = 0;
  options.OnChanged = [&] { ++shown; };

  // A walker stroke: its settings show; the same again shows nothing new.
  TStroke replayed;
  replayed.setKind(skWatercolor);
  replayed.setWidth(23.0f);
  replayed.setSpacing(0.6f);
  replayed.setPressureSize(true);
  EXPECT_FALSE(options.loadReplayStroke(replayed, 2));  // a pen-method stroke brings its parts instead
  EXPECT_TRUE(options.loadReplayStroke(replayed, 1));
  EXPECT_FALSE(options.loadReplayStroke(replayed, 1));
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(options.hasBrush());
  EXPECT_EQ(options.paintParam().kind, 2);  // the watercolour
  EXPECT_FLOAT_EQ(options.paintParam().size, 23.0f);
  EXPECT_TRUE(options.shows(kFieldPressureSize));
  EXPECT_DOUBLE_EQ(options.controlValue(kFieldPressureSize), 1.0);

  // A pen-method state: kind, falloff, nib and the stroke manager's values.
  SReplayPenState pen;
  ASSERT_TRUE(penRenderParamOfKind(pen.render, 13));
  pen.stroke.setSpacing(0.25f);
  pen.falloff.type = 1;
  CPenShapeObj nib;
  SPenShapeParam shape;
  shape.init(15.0f);
  shape.setAspect(0.5f);
  nib.setParametric(nullptr, &shape, nullptr);
  pen.nib = &nib;
  EXPECT_TRUE(options.loadReplayParts(pen));
  EXPECT_EQ(options.paintParam().kind, 13);
  EXPECT_FLOAT_EQ(options.paintParam().aspect, 0.5f);
  EXPECT_FLOAT_EQ(options.paintParam().spacing, 0.25f);
  // Nothing is taken from the panel meanwhile.
  EXPECT_FALSE(options.paramChange(kFieldSpacing, 10.0));

  // The end of the replay: the user's own brush, unchanged.
  model.updateEventPanel(false);
  options.clearReplayBrush();
  EXPECT_TRUE(options.hasBrush());
  EXPECT_EQ(options.paintParam().kind, 3);
  EXPECT_DOUBLE_EQ(options.controlValue(kFieldSpacing), ownSpacing);
}

// ---- the nib shape editor ----

TEST_F(ToolOptionsTest, TheShapeEditorSetsWhatTheBrushAllowsInOneChange) {
  // The pencil has a size but no aspect or angle.
  useKind(0);
  CToolOptions::SAspectValues v = options.aspectValues();
  v.flattening = 40.0f;
  v.angle = 30.0f;
  EXPECT_FALSE(options.aspectChange(v));
  v.size = 17.0f;
  const int before = target.paintCalls;
  EXPECT_TRUE(options.aspectChange(v));
  EXPECT_FLOAT_EQ(model.toolSize(), 17.0f);
  EXPECT_GT(target.paintCalls, before);
  EXPECT_FLOAT_EQ(options.paintParam().aspect, 1.0f);

  // A pen method turns and flattens its nib: aspect = 1 - flattening.
  useKind(9);
  v = options.aspectValues();
  v.flattening = 40.0f;
  v.angle = -45.0f;
  EXPECT_TRUE(options.aspectChange(v));
  EXPECT_FLOAT_EQ(options.paintParam().aspect, 0.6f);
  EXPECT_FLOAT_EQ(options.paintParam().angle, -45.0f);
  EXPECT_FALSE(options.aspectChange(v));

  model.updateEventPanel(true);
  v.angle = 10.0f;
  EXPECT_FALSE(options.aspectChange(v));
}

TEST_F(ToolOptionsTest, WithANibImageTheShapeEditorsSizeIsTheImageScale) {
  useKind(9);
  TChannel plane(40, 20);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 40; ++x) *plane.pixelAt(x, y) = uint8_t(x * 6);
  CPenShapeObj nib;
  ASSERT_TRUE(nib.setImage(plane, true));
  options.brushList().setNib(&nib);
  ASSERT_TRUE(options.paintParam().hasNib);
  const float size = model.toolSize();
  CToolOptions::SAspectValues v = options.aspectValues();
  v.nibScale = 150.0f;
  v.size = size + 20.0f;
  EXPECT_TRUE(options.aspectChange(v));
  EXPECT_FLOAT_EQ(options.paintParam().nibScale, 1.5f);
  EXPECT_FLOAT_EQ(model.toolSize(), size);
}

TEST(ShapeEditorValues, OnlyWhatTheEditorChangedReachesTheBrush) {
  // The editor shows a minimum of 0 % as 1 % and an angle of 270 as -90;
  // a drag of the size must not store either.
  CToolOptions::SAspectValues brush;
  brush.minSize = 0.0f;
  brush.angle = 270.0f;
  brush.size = 10.0f;
  CToolOptions::SAspectValues shown = brush;
  shown.minSize = 1.0f;
  shown.angle = -90.0f;
  CToolOptions::SAspectValues now = shown;
  now.size = 12.5f;
  CToolOptions::SAspectValues edited = CToolOptions::editedAspect(brush, shown, now);
  EXPECT_FLOAT_EQ(edited.size, 12.5f);
  EXPECT_FLOAT_EQ(edited.minSize, 0.0f);
  EXPECT_FLOAT_EQ(edited.angle, 270.0f);
  now.angle = -80.0f;
  EXPECT_FLOAT_EQ(CToolOptions::editedAspect(brush, shown, now).angle, -80.0f);
}

// ---- the fill tools' range ----

TEST_F(ToolOptionsTest, TheFillToolsShareOneRangeAndTheWandHasItsOwn) {
  SSeedSettings fill, wand;
  options.bindSeeds(&fill, &wand);
  struct Case {
    ToolMode mode;
    SSeedSettings* settings;
  };
  const Case cases[] = {{ToolMode::BucketFill, &fill},
                        {ToolMode::MagicEraser, &fill},
                        {ToolMode::AutoSelect, &wand},
                        {ToolMode::Pencil, nullptr},
                        {ToolMode::Gradation, nullptr}};
  int32_t range = 30;
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.mode));
    model.setToolMode(c.mode);
    EXPECT_EQ(options.seedSettings(), c.settings);
    ++range;
    EXPECT_EQ(options.seedParamChange(range, true, false), c.settings != nullptr);
    if (c.settings) {
      EXPECT_EQ(*c.settings, (SSeedSettings{range, true, false}));
    }
  }
  EXPECT_EQ(fill, (SSeedSettings{32, true, false}));
  EXPECT_EQ(wand, (SSeedSettings{33, true, false}));

  // The range is rounded half up into 0..255; the same values change nothing.
  model.setToolMode(ToolMode::BucketFill);
  struct Range {
    double typed;
    int32_t stored;
  };
  for (const Range& r : {Range{20.5, 21}, Range{20.4, 20}, Range{-3.0, 0}, Range{300.0, 255}}) {
    SCOPED_TRACE(r.typed);
    (void)options.seedParamChange(r.typed, false, true);
    EXPECT_EQ(fill.limit, r.stored);
  }
  EXPECT_FALSE(options.seedParamChange(255.0, false, true));
  model.updateEventPanel(true);
  EXPECT_FALSE(options.seedParamChange(10.0, false, true));
  EXPECT_EQ(fill.limit, 255);
}

// ---- new and delete ----

TEST_F(ToolOptionsTest, NewAndDeleteWorkOnTheGradientsAndTheCollectionsBrushesOnly) {
  CGradMngr gradients{true};
  gradients.addBuiltins();
  gradients.select(0);
  options.bindGradients(&gradients);
  RecordingMessageService messages;
  ScopedMessageService install{messages};

  // Stroke tools keep five stored variants: nothing to add or delete.
  useKind(0);
  EXPECT_EQ(options.itemList(), nullptr);
  EXPECT_FALSE(options.newItem());
  EXPECT_FALSE(options.deleteItem(true));

  // A brush of the collection is copied to the end and becomes the active one.
  useKind(9);
  ASSERT_NE(options.itemList(), nullptr);
  const int32_t brushCount = brushes.count();
  EXPECT_TRUE(options.newItem());
  EXPECT_EQ(brushes.count(), brushCount + 1);
  EXPECT_EQ(options.brushList().getActiveIndex(), options.brushList().getCount() - 1);
  messages.queueAnswer(kMrYes);
  EXPECT_TRUE(options.deleteItem(false));
  EXPECT_EQ(brushes.count(), brushCount);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, formatRes(kResDeleteItemQuestion, {resString(kResItemWordBrush).c_str()}));

  // The gradient tool: the fixed entry is copied but never deleted.
  model.setToolMode(ToolMode::Gradation);
  ASSERT_EQ(options.itemList(), &options.gradientList());
  EXPECT_FALSE(options.canDeleteItem());
  EXPECT_TRUE(options.newItem());
  ASSERT_EQ(gradients.count(), 6);
  EXPECT_EQ(gradients.currentIndex(), 5);
  EXPECT_FALSE(gradients.isFixed(5));
  // No keeps it, Alt deletes without asking.
  messages.clear();
  messages.queueAnswer(kMrNo);
  EXPECT_FALSE(options.deleteItem(false));
  EXPECT_EQ(gradients.count(), 6);
  EXPECT_EQ(messages.shown().size(), 1u);
  EXPECT_TRUE(options.deleteItem(true));
  EXPECT_EQ(gradients.count(), 5);
  EXPECT_EQ(messages.shown().size(), 1u);

  model.updateEventPanel(true);
  EXPECT_FALSE(options.newItem());
  EXPECT_EQ(gradients.count(), 5);
}

TEST_F(ToolOptionsTest, TheNameEditRenamesTheWorkingBrushOrTheCurrentGradient) {
  CGradMngr gradients{true};
  gradients.addBuiltins();
  gradients.select(0);
  options.bindGradients(&gradients);
  // The stroke tools' variants carry no name of their own.
  useKind(0);
  EXPECT_FALSE(options.canRename());
  EXPECT_FALSE(options.nameChange("mine"));

  // A brush: the working copy takes it, the stored brush only when saved.
  useKind(9);
  ASSERT_TRUE(options.canRename());
  const std::string stored = options.brushList().getItemName(options.brushList().getActiveIndex());
  EXPECT_TRUE(options.nameChange("soft pencil"));
  EXPECT_EQ(options.itemName(), "soft pencil");
  EXPECT_EQ(options.brushList().getItemName(options.brushList().getActiveIndex()), stored);
  EXPECT_FALSE(options.nameChange("soft pencil"));
  EXPECT_TRUE(options.optionSave());
  EXPECT_EQ(options.brushList().getItemName(options.brushList().getActiveIndex()), "soft pencil");

  // The gradient set's fixed entry keeps its name; the others take one.
  model.setToolMode(ToolMode::Gradation);
  EXPECT_FALSE(options.canRename());
  EXPECT_FALSE(options.nameChange("dusk"));
  gradients.select(2);
  EXPECT_TRUE(options.nameChange("dusk"));
  EXPECT_EQ(gradients.getItem(2)->Stops.name(), "dusk");
  EXPECT_EQ(options.itemName(), "dusk");
}

}  // namespace tool_options_test
}  // namespace pg
