// The preferences dialog's model: one row per control, loading and storing
// as exact mirrors, the bit fields and inverse switches, the grid colour and
// opacity, Initialize, the enabling rules and the effects a change names.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "app/app_profile.h"
#include "app/preference_model.h"

namespace pg {
namespace {

TEST(PreferenceModel, EveryRowIsNamedOnceAndBackedRowsRoundTrip) {
  std::set<std::string_view> names;
  for (const SPreferenceRow& r : preferenceRows()) {
    EXPECT_TRUE(names.insert(r.control).second) << r.control;
    if (!r.second.empty()) {
      EXPECT_TRUE(names.insert(r.second).second) << r.second;
    }
    // A row without a preference keeps its value across Initialize and
    // changes nothing when stored.
    if (!r.hasPreference()) {
      EXPECT_EQ(r.init, PrefInit::Keep) << r.control;
      EXPECT_EQ(r.effect, kEffectNone) << r.control;
    }
  }
  // The controls the dialog lacked before are rows now.
  for (std::string_view name : {"ChkPlayAntiOff", "CmbPSD", "EdtOTS"}) EXPECT_GE(preferenceRowIndex(name), 0) << name;
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
  const CAppProfile before = p;
  EXPECT_EQ(SPreferenceValues::load(p).store(p), 0u);  // nothing changed, nothing to apply
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

TEST(PreferenceModel, EachControlWritesItsPreferenceAndNamesItsEffect) {
  struct Case {
    const char* control;
    double value;
    std::function<uint32_t(const CAppProfile&)> read;
    uint32_t expected;
    uint32_t effect;
  };
  auto u = [](auto v) { return static_cast<uint32_t>(v); };
  const Case cases[] = {
      {"ChkAutoSize", 0, [](const CAppProfile& p) { return p.AutoSizeAdjust; }, 6, kEffectCanvas | kEffectOnUse},
      {"ChkAutoSizeOnlyEvent", 0, [](const CAppProfile& p) { return p.AutoSizeAdjust; }, 5, kEffectCanvas | kEffectOnUse},
      {"ChkAutoSizeOnlyZoomOut", 0, [](const CAppProfile& p) { return p.AutoSizeAdjust; }, 3,
       kEffectCanvas | kEffectOnUse},
      {"ChkPriorityFilePath", 0, [](const CAppProfile& p) { return p.FileIODir; }, 0, kEffectOnUse},
      {"ChkImageIOOtherPath", 1, [](const CAppProfile& p) { return p.FileIODir; }, 3, kEffectOnUse},
      {"ChkSaveConfirm", 0, [u](const CAppProfile& p) { return u(p.silentFileIO); }, 1, kEffectOnUse},
      {"ChkToolFindNext", 1, [u](const CAppProfile& p) { return u(p.ToolFindNext); }, 0, kEffectTools},
      {"EdtUndo", 20, [u](const CAppProfile& p) { return u(p.undoMax); }, 20, kEffectUndo},
      {"EdtUndo", 5000, [u](const CAppProfile& p) { return u(p.undoMax); }, 1000, kEffectUndo},
      {"CmbMButtonProc", 9, [u](const CAppProfile& p) { return u(p.mouseMBtnFunc); }, 9, kEffectCanvas},
      {"ChkRightButton", 0, [u](const CAppProfile& p) { return u(p.useRBtnColPicker); }, 0, kEffectCanvas},
      {"ChkUseAutoScroll", 1, [u](const CAppProfile& p) { return u(p.useAutoScroll); }, 1, kEffectCanvas},
      {"ChkDispScrollBar", 1, [u](const CAppProfile& p) { return u(p.showScrollBar); }, 1,
       kEffectCanvas | kEffectLayout},
      {"ChkDispFullPath", 1, [u](const CAppProfile& p) { return u(p.titleFullpath); }, 1, kEffectTitle},
      {"RadOtherCursorT", 1, [u](const CAppProfile& p) { return u(p.OtherToolCursor); }, 1,
       kEffectCanvas | kEffectTools},
      {"NumGridX", 1, [u](const CAppProfile& p) { return u(p.gridW); }, 2, kEffectGrid},
      // The colour box shows 0x00RRGGBB; the stored value has red in the low byte.
      {"BoxGridColor", 0xFF0000, [](const CAppProfile& p) { return p.GridColor; }, 0x800000FFu, kEffectGrid},
      {"NumGridOpaque", 100, [](const CAppProfile& p) { return p.GridColor; }, 0xFF000000u, kEffectGrid},
  };
  for (const Case& c : cases) {
    CAppProfile p;  // AutoSizeAdjust 7, FileIODir 1, silentFileIO off, ToolFindNext on, grid 0x80000000
    SPreferenceValues v = SPreferenceValues::load(p);
    v.setNumber(c.control, c.value);
    EXPECT_EQ(v.store(p), c.effect) << c.control;
    EXPECT_EQ(c.read(p), c.expected) << c.control;
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
    EXPECT_NEAR(v.number("NumGridOpaque"), c.percent, 1e-9) << std::hex << c.stored;
    (void)v.store(p);
    EXPECT_EQ(p.GridColor, c.writtenBack) << std::hex << c.stored;
  }
}

TEST(PreferenceModel, InitializeGivesTheDefaultsAndKeepsTheUnstoredControls) {
  CAppProfile p;
  p.undoMax = 99;
  p.gridW = 5;
  p.GridColor = 0xFF112233u;
  p.brushFile = "b.pmt";
  p.UseLastFile = false;
  p.AutoSizeAdjust = 0;
  p.silentFileIO = true;
  SPreferenceValues v = SPreferenceValues::load(p);
  v.setNumber("CmbPSD", 2);
  v.setNumber("ChkPlayAntiOff", 1);
  v.setText("EdtOTS", "tones");
  v.initialize();
  EXPECT_EQ(p.undoMax, 99);  // only OK writes
  EXPECT_EQ(v.number("CmbPSD"), 2);
  EXPECT_EQ(v.number("ChkPlayAntiOff"), 1);
  EXPECT_EQ(v.text("EdtOTS"), "tones");
  CAppProfile fresh;
  (void)v.store(p);
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
  struct Case {
    const char* control;
    const char* by;
    double off, on;
  };
  const Case cases[] = {{"EdtCursorPath", "RadDrawCursorS", 1, 0},
                        {"ChkGhostCenter", "ChkBrushGhost", 0, 1},
                        {"EdtPMT", "ChkUseLastFile", 1, 0},
                        {"EdtOGS", "ChkUseLastFile", 1, 0},
                        {"ChkAutoSizeOnlyZoomOut", "ChkAutoSize", 0, 1},
                        {"ChkAutoSizeOnlyEvent", "ChkAutoSize", 0, 1}};
  for (const Case& c : cases) {
    v.setNumber(c.by, c.off);
    EXPECT_FALSE(v.enabled(c.control)) << c.control;
    v.setNumber(c.by, c.on);
    EXPECT_TRUE(v.enabled(c.control)) << c.control;
  }
  // Controls with nothing behind them stay disabled.
  for (const char* name : {"ChkPlayAntiOff", "CmbPSD", "EdtOTS"}) EXPECT_FALSE(v.enabled(name)) << name;
  EXPECT_EQ(preferencePageShown(0), 0);
  EXPECT_EQ(preferencePageShown(3), 3);
  EXPECT_EQ(preferencePageShown(kPageAvi), -1);
  EXPECT_EQ(preferencePageShown(-1), -1);
}

}  // namespace
}  // namespace pg
