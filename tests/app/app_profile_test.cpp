#include "app/app_profile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/profile_items.h"
#include "platform/settings_store.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

std::string section(ProfileSection s) { return CProfileStorage::sectionPath(s); }

std::vector<uint8_t> doubleBytes(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  std::vector<uint8_t> bytes(8);
  for (size_t i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
  return bytes;
}

CAppProfile freshProfile() {
  CAppProfile p;
  p.readSystemInfo("/opt/pigmora/bin/pigmora");
  p.homeFolder = "/home/someone";
  p.screenWidth = 1920;
  p.screenHeight = 1080;
  return p;
}

TEST(AppProfile, FirstRunGivesTheDefaultsAndTheMigrationWritesVersion20) {
  CSettingsStore store;
  CAppProfile p = freshProfile();
  p.gradFile2 = "/old/set.kgs";
  ASSERT_TRUE(p.load(store));
  EXPECT_FALSE(store.modified());  // reading creates nothing
  EXPECT_EQ(p.appVerID, 0);
  EXPECT_EQ(p.loadPath, "/home/someone");
  EXPECT_EQ(p.palPath, "/opt/pigmora/bin/preset");
  EXPECT_EQ(p.gradPath2, "/opt/pigmora/bin/preset");
  EXPECT_EQ(p.FileIODir, 1u);
  EXPECT_EQ(p.jpegQType, 1);
  EXPECT_EQ(p.jpegQuality, 90);
  EXPECT_EQ(p.jpegQVHigh, 100);
  EXPECT_EQ(p.jpegQLow, 50);
  EXPECT_EQ(p.gridW, 32);
  EXPECT_EQ(p.GridColor, 0x80000000u);
  EXPECT_EQ(p.undoMax, 8);
  EXPECT_EQ(p.fillLimit, 20);
  EXPECT_EQ(p.gradRepCnt, 1);
  EXPECT_TRUE(p.useRBtnColPicker);
  EXPECT_FALSE(p.showScrollBar);
  EXPECT_FLOAT_EQ(p.opaqueGradate, 1.0f);
  EXPECT_EQ(p.AutoSizeAdjust, 7u);
  EXPECT_TRUE(p.UseLastFile);
  EXPECT_EQ(p.lastCP, static_cast<int32_t>(p.ansiCodePage));
  EXPECT_EQ(p.fgCol, 0u);
  EXPECT_EQ(p.bgCol, 0xFFFFFFu);
  for (const SPaperPreset& paper : p.paper) {
    EXPECT_EQ(paper.unit, 0);
    EXPECT_EQ(paper.resolution, 72);
    EXPECT_FLOAT_EQ(paper.width, 640.0f);
    EXPECT_FLOAT_EQ(paper.height, 480.0f);
    EXPECT_FALSE(paper.transparent);
  }
  EXPECT_EQ(p.mainWinX, -1);
  EXPECT_EQ(p.mainWinW, -1);
  EXPECT_TRUE(p.mainWinMax);
  EXPECT_FALSE(p.childWinMax);
  EXPECT_EQ(p.FloatFormCount, 0);
  EXPECT_TRUE(p.ToolFormVisible);
  EXPECT_EQ(p.ColorSampler, 3);
  EXPECT_EQ(p.EventCapacity, -1);
  for (const SDockViewRec& v : p.views) {
    EXPECT_EQ(v.ParentForm, -1);
    EXPECT_TRUE(v.Visible);
    EXPECT_EQ(v.Width, -1);
  }
  EXPECT_EQ(p.charset, -1);
  EXPECT_TRUE(p.useFont);
  EXPECT_TRUE(p.usePreview);
  EXPECT_TRUE(p.labelDrag);

  p.migrate();
  EXPECT_TRUE(p.gradFile2.empty());
  EXPECT_EQ(p.appVerID, kProfileVersion);
  ASSERT_TRUE(p.save(store));
  const SettingValue* ver = store.findValue(section(ProfileSection::Config), "appVerID");
  ASSERT_NE(ver, nullptr);
  EXPECT_EQ(std::get<int32_t>(*ver), 20);
  // A settings file of version 11 or later keeps its gradient set.
  CAppProfile again = freshProfile();
  EXPECT_TRUE(store.setValue(section(ProfileSection::FileIO), "gradFile2", std::string("/keep.kgs")));
  EXPECT_TRUE(store.setValue(section(ProfileSection::Config), "appVerID", 11));
  ASSERT_TRUE(again.load(store));
  again.migrate();
  EXPECT_EQ(again.gradFile2, "/keep.kgs");
}

TEST(AppProfile, EveryKindOfStoredValueIsClampedOrReplacedByTheDefault) {
  struct Stored {
    const char* what;
    ProfileSection section;
    const char* key;
    SettingValue value;
  };
  const std::string tooLong(kMaxProfileText + 1, 'x');
  const Stored stored[] = {
      {"int above range", ProfileSection::FileIO, "jpegQType", 9},
      {"int below range", ProfileSection::FileIO, "jpegQuality", -5},
      {"middle button past the last function", ProfileSection::Config, "mouseMBtnFunc", 11},
      {"huge undo count", ProfileSection::Config, "undoMax", std::numeric_limits<int32_t>::max()},
      {"grid of zero pixels", ProfileSection::Config, "gridW", 0},
      {"unsigned beyond its bits", ProfileSection::Config, "AutoSizeAdjust", -1},
      {"colour with a top byte", ProfileSection::Color, "fgCol", 0x01000000},
      {"boolean other than 0 or 1", ProfileSection::Config, "showScrollBar", 5},
      {"float above range", ProfileSection::Config, "opaquePaint", doubleBytes(2.5)},
      {"float not a number", ProfileSection::Config, "opaqueLine", doubleBytes(std::nan(""))},
      {"float infinite", ProfileSection::Config, "opaqueDraw", doubleBytes(-INFINITY)},
      {"float of four bytes", ProfileSection::Config, "opaqueFont", std::vector<uint8_t>{0, 0, 0x80, 0x3F}},
      {"text where a number belongs", ProfileSection::FileIO, "jpegQHigh", std::string("77")},
      {"number where a text belongs", ProfileSection::FileIO, "savePath", 42},
      {"text too long", ProfileSection::FileIO, "loadPath", tooLong},
      {"text with a zero byte", ProfileSection::Font, "face", std::string("Sans\0Evil", 9)},
      {"main window too narrow", ProfileSection::Window, "mainWinW", 50},
      {"main window wider than the screen", ProfileSection::Window, "mainWinH", 5000},
      {"main window width unset", ProfileSection::Window, "mainWinX", -1},
      {"main window negative size", ProfileSection::Window, "fontDlgW", -9},
      {"paper unit unknown", ProfileSection::Paper, "unit2", 9},
      {"paper resolution zero", ProfileSection::Paper, "dpi5", 0},
      {"paper width negative", ProfileSection::Paper, "w0", doubleBytes(-3)},
      {"view index past the views", ProfileSection::Window, "LayerViewViewIndex", 40},
  };
  CSettingsStore store;
  for (const Stored& s : stored) EXPECT_TRUE(store.setValue(section(s.section), s.key, s.value));
  EXPECT_TRUE(store.setValue(section(ProfileSection::Window), "mainWinW", 50));
  CAppProfile p = freshProfile();
  ASSERT_TRUE(p.load(store));
  EXPECT_EQ(p.jpegQType, 4);
  EXPECT_EQ(p.jpegQuality, 0);
  EXPECT_EQ(p.mouseMBtnFunc, 10);
  EXPECT_EQ(p.undoMax, 1000);
  EXPECT_EQ(p.gridW, 2);
  EXPECT_EQ(p.AutoSizeAdjust, 7u);
  EXPECT_EQ(p.fgCol, 0xFFFFFFu);
  EXPECT_TRUE(p.showScrollBar);
  EXPECT_FLOAT_EQ(p.opaquePaint, 1.0f);
  EXPECT_FLOAT_EQ(p.opaqueLine, 1.0f);
  EXPECT_FLOAT_EQ(p.opaqueDraw, 1.0f);
  EXPECT_FLOAT_EQ(p.opaqueFont, 1.0f);
  EXPECT_EQ(p.jpegQHigh, 90);
  EXPECT_EQ(p.savePath, "/home/someone");
  EXPECT_EQ(p.loadPath, "/home/someone");
  EXPECT_EQ(p.face, "");
  EXPECT_EQ(p.mainWinW, 200);
  EXPECT_EQ(p.mainWinH, 1080);
  EXPECT_EQ(p.mainWinX, -1);
  EXPECT_EQ(p.fontDlgW, -1);
  EXPECT_EQ(p.paper[2].unit, 3);
  EXPECT_EQ(p.paper[5].resolution, 1);
  EXPECT_FLOAT_EQ(p.paper[0].width, 0.0f);
  EXPECT_EQ(p.views[6].ViewIndex, kDockViews - 1);

  // A negative width other than -1 means "not set" as well.
  EXPECT_TRUE(store.setValue(section(ProfileSection::Window), "mainWinW", -7));
  ASSERT_TRUE(p.load(store));
  EXPECT_EQ(p.mainWinW, -1);
  // Without a known screen the width is bounded all the same.
  EXPECT_TRUE(store.setValue(section(ProfileSection::Window), "mainWinW", std::numeric_limits<int32_t>::max()));
  p.screenWidth = 0;
  ASSERT_TRUE(p.load(store));
  EXPECT_GE(p.mainWinW, 200);
  EXPECT_LE(p.mainWinW, 16384);
}

// Gives every item of the tables a value other than its default, inside its range.
template <class Owner>
void setOtherValue(Owner& owner, const ItemSpec<Owner>& item, int salt) {
  std::visit(
      [&](auto member) {
        using T = std::remove_cvref_t<decltype(owner.*member)>;
        if constexpr (std::is_same_v<T, std::string>) {
          owner.*member = "/other/" + std::string(item.key) + std::to_string(salt) + " ü&\"\\";
        } else if constexpr (std::is_same_v<T, bool>) {
          owner.*member = item.def == 0;
        } else if constexpr (std::is_same_v<T, float>) {
          owner.*member = static_cast<float>(item.def == item.lo ? item.hi : item.lo) * 0.75f;
        } else {
          double v = item.def == item.lo ? item.def + 1 + salt % 2 : item.lo;
          if (item.rule == ItemRule::ScreenWidth || item.rule == ItemRule::ScreenHeight) v = 300 + salt;
          owner.*member = static_cast<T>(std::min(v, item.hi));
        }
      },
      item.field);
}

TEST(AppProfile, EveryItemSurvivesARoundTripThroughTheStore) {
  CAppProfile out = freshProfile();
  int salt = 0;
  for (ProfileSection s : {ProfileSection::FileIO, ProfileSection::Config, ProfileSection::Color,
                           ProfileSection::Window, ProfileSection::Font})
    for (const auto& item : profileItems(s))
      if (item.rule == ItemRule::Plain || item.rule == ItemRule::ScreenWidth || item.rule == ItemRule::ScreenHeight)
        setOtherValue(out, item, ++salt);
  for (auto& paper : out.paper)
    for (const auto& item : paperItems()) setOtherValue(paper, item, ++salt);
  for (auto& view : out.views)
    for (const auto& item : dockViewItems()) setOtherValue(view, item, ++salt);
  out.FloatFormCount = 2;
  out.floatForms[0] = {3, false, -40, 50, 300, 400};
  out.floatForms[1] = {1, true, 1000, 20, 200, 100};
  for (int i = 0; i < 4; ++i) out.floatPanes[size_t(i)] = {i < 3 ? 0 : 1, i % 3, 2, 1, i == 2};

  CSettingsStore store;
  ASSERT_TRUE(out.save(store));
  CAppProfile in = freshProfile();
  ASSERT_TRUE(in.load(store));
  // Compare field by field through the same tables.
  auto same = [](const auto& a, const auto& b, const auto& item) {
    std::visit([&](auto member) { EXPECT_EQ(a.*member, b.*member) << item.key; }, item.field);
  };
  for (ProfileSection s : {ProfileSection::FileIO, ProfileSection::Config, ProfileSection::Color,
                           ProfileSection::Window, ProfileSection::Font})
    for (const auto& item : profileItems(s))
      if (item.rule != ItemRule::WriteOnly && item.rule != ItemRule::CodePage && item.rule != ItemRule::Locale)
        same(in, out, item);
  for (int i = 0; i < kPaperPresets; ++i)
    for (const auto& item : paperItems()) same(in.paper[size_t(i)], out.paper[size_t(i)], item);
  for (int v = 0; v < kDockViews; ++v)
    for (const auto& item : dockViewItems()) same(in.views[size_t(v)], out.views[size_t(v)], item);
  EXPECT_EQ(in.FloatFormCount, 2);
  for (int f = 0; f < 2; ++f)
    for (const auto& item : floatFormItems()) same(in.floatForms[size_t(f)], out.floatForms[size_t(f)], item);
  for (int k = 0; k < 4; ++k)
    for (const auto& item : floatPaneItems()) same(in.floatPanes[size_t(k)], out.floatPanes[size_t(k)], item);

  // The stored kinds and names are those other versions read.
  const std::string paper = section(ProfileSection::Paper);
  ASSERT_NE(store.findValue(paper, "transparent5"), nullptr);
  EXPECT_EQ(settingKind(*store.findValue(section(ProfileSection::Config), "opaquePaint")), SettingKind::Binary);
  EXPECT_EQ(std::get<std::vector<uint8_t>>(*store.findValue(paper, "w3")).size(), 8u);
  EXPECT_EQ(settingKind(*store.findValue(section(ProfileSection::FileIO), "jpegQuality")), SettingKind::Integer);
  EXPECT_NE(store.findValue(section(ProfileSection::Window), "InfomationViewParentPane"), nullptr);
  EXPECT_NE(store.findValue(section(ProfileSection::Window), "FloatPane3Collapse"), nullptr);
  EXPECT_EQ(store.findValue(section(ProfileSection::Window), "FloatPane4Collapse"), nullptr);
  // "appPath" is written (the program folder) and never read back.
  const SettingValue* appPath = store.findValue(section(ProfileSection::FileIO), "appPath");
  ASSERT_NE(appPath, nullptr);
  EXPECT_EQ(std::get<std::string>(*appPath), "/opt/pigmora/bin");
  // "lastCP" receives the current value, whatever the field holds.
  CAppProfile other = freshProfile();
  other.lastCP = 932;
  ASSERT_TRUE(other.save(store));
  EXPECT_EQ(std::get<int32_t>(*store.findValue(section(ProfileSection::Config), "lastCP")),
            static_cast<int32_t>(other.ansiCodePage));
  // Nothing is stored under the unused "brush" section.
  EXPECT_FALSE(store.keyExists(std::string(kProfileRoot) + "\\brush"));
}

// Refuses one section, as a key that cannot be opened or created.
class RefusingStorage final : public CProfileStorage {
 public:
  RefusingStorage(CSettingsStore& store, ProfileSection refused) : CProfileStorage(store), refused_(refused) {}
  bool openSection(ProfileSection section, bool forWriting) override {
    return section != refused_ && CProfileStorage::openSection(section, forWriting);
  }

 private:
  ProfileSection refused_;
};

TEST(AppProfile, ASectionThatCannotBeOpenedIsSkipped) {
  CSettingsStore store;
  EXPECT_TRUE(store.setValue(section(ProfileSection::Config), "gridW", 48));
  EXPECT_TRUE(store.setValue(section(ProfileSection::Font), "point", 12));
  CAppProfile p = freshProfile();
  p.gridW = 77;
  RefusingStorage storage(store, ProfileSection::Config);
  EXPECT_TRUE(p.load(storage));
  EXPECT_EQ(p.gridW, 77);  // kept
  EXPECT_EQ(p.point, 12);  // the sections after it are read
  EXPECT_TRUE(store.deleteKey(section(ProfileSection::Config)));
  EXPECT_FALSE(p.save(storage));  // reported, while the others are written
  EXPECT_FALSE(store.keyExists(section(ProfileSection::Config)));
  EXPECT_NE(store.findValue(section(ProfileSection::Font), "point"), nullptr);
}

TEST(AppProfile, FloatingLayoutIsBoundedAndLeavesNothingOfALargerOne) {
  CSettingsStore store;
  const std::string window = section(ProfileSection::Window);
  CAppProfile p = freshProfile();
  p.FloatFormCount = 5;
  for (int f = 0; f < 5; ++f) p.floatForms[size_t(f)].PaneCount = 1;
  ASSERT_TRUE(p.save(store));
  EXPECT_NE(store.findValue(window, "FloatForm4X"), nullptr);
  EXPECT_NE(store.findValue(window, "FloatPane4ViewCount"), nullptr);
  p.FloatFormCount = 3;
  ASSERT_TRUE(p.save(store));
  for (const char* gone : {"FloatForm3PaneCount", "FloatForm4X", "FloatForm4Visible", "FloatPane3ParentForm",
                           "FloatPane4Collapse"})
    EXPECT_EQ(store.findValue(window, gone), nullptr) << gone;
  EXPECT_NE(store.findValue(window, "FloatForm2Height"), nullptr);

  // A window without its pane count keeps its record; its panes are not read
  // and do not take pane numbers.
  EXPECT_TRUE(store.setValue(window, "FloatFormCount", 3));
  EXPECT_TRUE(store.deleteValue(window, "FloatForm1PaneCount"));
  EXPECT_TRUE(store.setValue(window, "FloatForm1X", 999));
  EXPECT_TRUE(store.setValue(window, "FloatPane1ParentForm", 2));
  CAppProfile q = freshProfile();
  q.floatForms[1].X = 55;
  ASSERT_TRUE(q.load(store));
  EXPECT_EQ(q.floatForms[1].X, 55);
  EXPECT_EQ(q.floatPanes[1].ParentForm, 2);  // the pane of window 2

  // Counts from the store cannot reach past the room of 16 windows and 16 panes.
  EXPECT_TRUE(store.setValue(window, "FloatFormCount", 100));
  for (int f = 0; f < 20; ++f) EXPECT_TRUE(store.setValue(window, "FloatForm" + std::to_string(f) + "PaneCount", 7));
  CAppProfile r = freshProfile();
  ASSERT_TRUE(r.load(store));
  EXPECT_EQ(r.FloatFormCount, kMaxFloatForms);
  int panes = 0;
  for (const auto& form : r.floatForms) panes += form.PaneCount;
  EXPECT_EQ(panes, kMaxFloatPanes);
  EXPECT_EQ(r.floatForms[2].PaneCount, 2);
  EXPECT_EQ(r.floatForms[3].PaneCount, 0);
}

TEST(AppProfile, ToolSettingsGoToTheFieldOfTheirGroup) {
  struct Case {
    int32_t mode;
    float CAppProfile::*field;
  };
  const Case cases[] = {{0, &CAppProfile::opaquePaint},     {4, &CAppProfile::opaqueSeedFill},
                        {10, &CAppProfile::opaqueDraw},     {11, &CAppProfile::opaqueAreaFill},
                        {13, &CAppProfile::opaqueAreaFill}, {12, &CAppProfile::opaqueLine},
                        {14, &CAppProfile::opaqueFont},     {19, &CAppProfile::opaqueGradate},
                        {128 + 12, &CAppProfile::opaqueLine}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    CAppProfile p;
    p.storeToolSetting(c.mode, 0.25f);
    EXPECT_FLOAT_EQ(p.*c.field, 0.25f);
  }
  CAppProfile p;
  const CAppProfile before;
  p.storeToolSetting(5, 0.25f);
  p.storeToolSetting(0, std::nanf(""));
  EXPECT_FLOAT_EQ(p.opaquePaint, before.opaquePaint);
  p.storeToolSetting(0, 7.0f);
  EXPECT_FLOAT_EQ(p.opaquePaint, 1.0f);
}

TEST(AppProfile, PreferencesSurviveARestartThroughTheSettingsFile) {
  testing::TempFolder dir;
  const std::string file = dir.file("config/Harbelle/Pigmora4/settings");
  {
    CFileSettingsStore store(file);
    CAppProfile p = freshProfile();
    ASSERT_TRUE(p.load(store));
    p.jpegQuality = 61;
    p.face = "IPAGothic";
    p.paper[4].height = 123.5f;
    p.mainWinMax = false;
    ASSERT_TRUE(p.save(store));
  }
  CFileSettingsStore store(file);
  EXPECT_FALSE(store.ignoredDamagedFile());
  CAppProfile p = freshProfile();
  ASSERT_TRUE(p.load(store));
  EXPECT_EQ(p.jpegQuality, 61);
  EXPECT_EQ(p.face, "IPAGothic");
  EXPECT_FLOAT_EQ(p.paper[4].height, 123.5f);
  EXPECT_FALSE(p.mainWinMax);
}

TEST(AppProfile, SaveCollectsTheWindowStateFirst) {
  CSettingsStore store;
  CAppProfile p = freshProfile();
  p.saveWindowHook = [](CAppProfile& profile) { profile.mainWinX = 321; };
  ASSERT_TRUE(p.save(store));
  EXPECT_EQ(std::get<int32_t>(*store.findValue(section(ProfileSection::Window), "mainWinX")), 321);
}

TEST(AppProfile, ProcessWideProfileAndStore) {
  resetAppProfile();
  appProfile().gridW = 9;
  EXPECT_EQ(appProfile().gridW, 9);
  resetAppProfile();
  EXPECT_EQ(appProfile().gridW, 32);
  CSettingsStore mine;
  setAppSettingsStore(&mine);
  EXPECT_EQ(&appSettingsStore(), &mine);
  setAppSettingsStore(nullptr);
  EXPECT_NE(&appSettingsStore(), &mine);
}

}  // namespace
}  // namespace pg
