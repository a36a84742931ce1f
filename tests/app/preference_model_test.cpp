// The preferences dialog's model: controls mirror the preferences, the bit
// fields and inverse switches, the grid opacity, Initialize, the enabling rules.
#include <gtest/gtest.h>

#include <functional>

#include "app/app_profile.h"
#include "app/preference_model.h"

namespace pg {
namespace {

TEST(PreferenceModel, LoadingAndStoringAreMirrors) {
  CAppProfile p;
  p.ShortcutMode = 1;
  p.mouseMBtnFunc = 7;
  p.undoMax = 31;
  p.ToolFindNext = false;
  p.silentFileIO = true;
  p.DrawToolCursor = 1;
  p.CursorFile = "/cur";
  p.gridW = 10;
  p.GridColor = 0x40123456u;
  p.AutoSizeAdjust = 0x2u | 0x100u;  // an unknown bit is kept
  p.FileIODir = 0x2u | 0x10u;
  p.gradFile2 = "g.ogs";
  p.PresetSaveAsQuit = 2;
  CAppProfile before = p;
  SPreferenceValues::load(p).store(p);
  EXPECT_EQ(p.ShortcutMode, before.ShortcutMode);
  EXPECT_EQ(p.mouseMBtnFunc, before.mouseMBtnFunc);
  EXPECT_EQ(p.undoMax, before.undoMax);
  EXPECT_EQ(p.ToolFindNext, before.ToolFindNext);
  EXPECT_EQ(p.silentFileIO, before.silentFileIO);
  EXPECT_EQ(p.DrawToolCursor, 1);
  EXPECT_EQ(p.CursorFile, "/cur");
  EXPECT_EQ(p.gridW, 10);
  EXPECT_EQ(p.GridColor, 0x40123456u);
  EXPECT_EQ(p.AutoSizeAdjust, 0x102u);
  EXPECT_EQ(p.FileIODir, 0x12u);
  EXPECT_EQ(p.gradFile2, "g.ogs");
  EXPECT_EQ(p.PresetSaveAsQuit, 2);
}

TEST(PreferenceModel, EachBitBoxChangesOnlyItsBitAndInverseSwitchesInvert) {
  struct Case {
    const char* what;
    std::function<void(SPreferenceValues&)> toggle;
    std::function<uint32_t(const CAppProfile&)> read;
    uint32_t expected;
  };
  const Case cases[] = {
      {"auto size", [](SPreferenceValues& v) { v.autoSize = !v.autoSize; },
       [](const CAppProfile& p) { return p.AutoSizeAdjust; }, 6},
      {"only event", [](SPreferenceValues& v) { v.autoSizeOnlyEvent = !v.autoSizeOnlyEvent; },
       [](const CAppProfile& p) { return p.AutoSizeAdjust; }, 5},
      {"only zoom out", [](SPreferenceValues& v) { v.autoSizeOnlyZoomOut = !v.autoSizeOnlyZoomOut; },
       [](const CAppProfile& p) { return p.AutoSizeAdjust; }, 3},
      {"priority path", [](SPreferenceValues& v) { v.priorityFilePath = !v.priorityFilePath; },
       [](const CAppProfile& p) { return p.FileIODir; }, 0},
      {"other io path", [](SPreferenceValues& v) { v.otherIoPath = !v.otherIoPath; },
       [](const CAppProfile& p) { return p.FileIODir; }, 3},
      {"save confirm", [](SPreferenceValues& v) { v.saveConfirm = false; },
       [](const CAppProfile& p) { return uint32_t(p.silentFileIO); }, 1},
      {"find next", [](SPreferenceValues& v) { v.toolFindNext = true; },
       [](const CAppProfile& p) { return uint32_t(p.ToolFindNext); }, 0},
  };
  for (const Case& c : cases) {
    CAppProfile p;  // AutoSizeAdjust 7, FileIODir 1, silentFileIO off, ToolFindNext on
    SPreferenceValues v = SPreferenceValues::load(p);
    EXPECT_TRUE(v.saveConfirm);
    EXPECT_FALSE(v.toolFindNext);
    c.toggle(v);
    v.store(p);
    EXPECT_EQ(c.read(p), c.expected) << c.what;
  }
}

TEST(PreferenceModel, GridOpacity) {
  struct Case {
    uint32_t stored;
    double percent;
    uint32_t writtenBack;
  };
  const Case cases[] = {{0x00FF0000u, 50.0, 0x80FF0000u},
                        {0x80000000u, 128 * 100.0 / 255.0, 0x80000000u},
                        {0xFF00FF00u, 100.0, 0xFF00FF00u},
                        {0x01000000u, 100.0 / 255.0, 0x01000000u}};
  for (const Case& c : cases) {
    CAppProfile p;
    p.GridColor = c.stored;
    SPreferenceValues v = SPreferenceValues::load(p);
    EXPECT_NEAR(v.gridOpacity, c.percent, 1e-9) << std::hex << c.stored;
    v.store(p);
    EXPECT_EQ(p.GridColor, c.writtenBack) << std::hex << c.stored;
  }
}

TEST(PreferenceModel, InitializeGivesTheDefaultsAndTouchesNoPreference) {
  CAppProfile p;
  p.undoMax = 99;
  p.gridW = 5;
  p.GridColor = 0xFF112233u;
  p.brushFile = "b.pmt";
  p.UseLastFile = false;
  p.AutoSizeAdjust = 0;
  p.silentFileIO = true;
  SPreferenceValues v = SPreferenceValues::load(p);
  v.initialize();
  EXPECT_EQ(p.undoMax, 99);  // only OK writes
  CAppProfile fresh;
  v.store(p);
  EXPECT_EQ(p.undoMax, 8);
  EXPECT_EQ(p.gridW, 32);
  EXPECT_EQ(p.GridColor, 0x80000000u);
  EXPECT_EQ(p.brushFile, "");
  EXPECT_TRUE(p.UseLastFile);
  EXPECT_EQ(p.AutoSizeAdjust, 7u);
  EXPECT_FALSE(p.silentFileIO);
  EXPECT_EQ(p.useRBtnColPicker, fresh.useRBtnColPicker);
  EXPECT_EQ(p.ToolFindNext, fresh.ToolFindNext);
  EXPECT_EQ(p.RotZoomDblClk, fresh.RotZoomDblClk);
}

TEST(PreferenceModel, EnablingRulesAndPages) {
  SPreferenceValues v;
  v.drawCursorFine = true;
  v.brushGhost = false;
  v.useLastFile = true;
  v.autoSize = false;
  EXPECT_FALSE(v.cursorPathEnabled());
  EXPECT_FALSE(v.ghostCentreEnabled());
  EXPECT_FALSE(v.startFilesEnabled());
  EXPECT_FALSE(v.autoSizeOptionsEnabled());
  v.drawCursorFine = false;
  v.brushGhost = true;
  v.useLastFile = false;
  v.autoSize = true;
  EXPECT_TRUE(v.cursorPathEnabled());
  EXPECT_TRUE(v.ghostCentreEnabled());
  EXPECT_TRUE(v.startFilesEnabled());
  EXPECT_TRUE(v.autoSizeOptionsEnabled());
  EXPECT_EQ(preferencePageShown(0), 0);
  EXPECT_EQ(preferencePageShown(3), 3);
  EXPECT_EQ(preferencePageShown(kPageAvi), -1);
  EXPECT_EQ(preferencePageShown(-1), -1);
}

}  // namespace
}  // namespace pg
