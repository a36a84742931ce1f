// The file commands of the tool window's preset collections and what the
// lists show after each.
#include "toolwin/preset_sets.h"

#include <gtest/gtest.h>

#include "brush/gradient_mngr.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "io/swatch_list.h"
#include "test_support/temp_folder.h"
#include "toolwin/swatch_list.h"

namespace pg {
namespace {

struct SetsFixture {
  SetsFixture() {
    brushes.addMissingKinds();
    nibs.addDefaults();
    gradients.addBuiltins();
    auto colours = std::make_unique<TSwatchMngr>();
    for (uint32_t c : {0x000000u, 0xFF0000u, 0x00FF00u}) EXPECT_GE(colours->addColor(-1, c), 0);
    swatches.bind(std::move(colours));
    sets.OnPushStrokeParams = [this] { ++pushes; };
    sets.OnGradientsRedraw = [this] { ++redraws; };
  }
  testing::TempFolder dir;
  CPenMethodMngr brushes;
  CPenShapeMngr nibs;
  CGradMngr gradients{false};
  CSwatchList swatches;
  CPresetSets sets{brushes, nibs, gradients, swatches};
  int pushes = 0, redraws = 0;
};

TEST(PresetSets, ReplacingAGradientSetSelectsItsFirstAndAppendingKeepsTheSelection) {
  SetsFixture f;
  const std::string path = f.dir.file("g.kgs");
  ASSERT_TRUE(f.sets.saveGradSet(path));
  f.gradients.select(2);

  ASSERT_TRUE(f.sets.loadGradSet(path, true));
  EXPECT_EQ(f.gradients.count(), 8);
  EXPECT_EQ(f.gradients.currentIndex(), 2);
  EXPECT_EQ(f.redraws, 1);
  EXPECT_EQ(f.pushes, 0);

  ASSERT_TRUE(f.sets.loadGradSet(path, false));
  EXPECT_EQ(f.gradients.count(), 4);
  EXPECT_EQ(f.gradients.currentIndex(), 0);
  EXPECT_EQ(f.pushes, 1);
  // A failed load refreshes nothing.
  EXPECT_FALSE(f.sets.loadGradSet(f.dir.file("missing.kgs"), false));
  EXPECT_EQ(f.pushes, 1);
}

TEST(PresetSets, EachCollectionSavesAndLoadsBackThroughItsCommands) {
  SetsFixture f;
  struct Case {
    PresetSet set;
    const char* file;
    std::function<int32_t()> count;
  };
  const Case cases[] = {
      {PresetSet::PenMethods, "b.pmt", [&] { return f.brushes.count(); }},
      {PresetSet::PenShapes, "n.psh", [&] { return f.nibs.count(); }},
      {PresetSet::Gradients, "g.kgs", [&] { return f.gradients.count(); }},
      {PresetSet::Palette, "s.kpl", [&] { return f.swatches.getCount(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = f.dir.file(c.file);
    int32_t before = c.count();
    ASSERT_TRUE(f.sets.run(c.set, PresetCommand::SaveFile, path));
    ASSERT_TRUE(f.sets.run(c.set, PresetCommand::LoadFile, path, true));
    EXPECT_EQ(c.count(), before * 2);
    ASSERT_TRUE(f.sets.run(c.set, PresetCommand::LoadFile, path, false));
    EXPECT_EQ(c.count(), before);
  }
}

TEST(PresetSets, TheDialogCommandsAskForTheFileAndACancelDoesNothing) {
  SetsFixture f;
  const std::string path = f.dir.file("picked.kpl");
  std::vector<int32_t> kinds;
  bool answer = true;
  f.sets.setFileDialog([&](int32_t kind, const std::string&, std::string& chosen) {
    kinds.push_back(kind);
    chosen = path;
    return answer;
  });
  ASSERT_TRUE(f.sets.saveSwatchSetAs());
  f.swatches.selectItem(2, false);
  ASSERT_TRUE(f.sets.openSwatchSet(false));
  EXPECT_EQ(f.swatches.pressedIndex(), 0);  // a replaced set starts at its first swatch
  EXPECT_EQ(kinds, (std::vector<int32_t>{kDialogPalette + kDialogSaveOffset, kDialogPalette}));
  answer = false;
  EXPECT_FALSE(f.sets.openGradSet(false));
  EXPECT_EQ(f.pushes, 0);
}

}  // namespace
}  // namespace pg
