// The main window's commands against the action table: a name the table
// lacks is refused loudly, the main window binds no such name, and every
// action left without a handler is one the program keeps hidden or inert on
// purpose.
#include "app/qt/main_actions.h"

#include <gtest/gtest.h>

#include <QAction>

#include <map>
#include <string>

#include "app/action_table.h"
#include "app/qt/main_form.h"
#include "test_support/qt_app.h"

namespace pg {
namespace {

class MainActionsTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ensureQtApp(); }
};

TEST_F(MainActionsTest, AnUnknownNameIsRefusedAndTheKnownOneStillBinds) {
  TMainActions actions;
  int runs = 0;
  actions.bind("ActFileNw", [&runs] { ++runs; });  // a misspelt "ActFileNew"
  actions.bind("ActFileNew", [&runs] { ++runs; });
  ASSERT_EQ(actions.refusedNames().size(), 1u);
  EXPECT_EQ(actions.refusedNames()[0], "ActFileNw");
  EXPECT_FALSE(actions.isBound("ActFileNw"));
  EXPECT_TRUE(actions.isBound("ActFileNew"));
  EXPECT_FALSE(actions.isBound("ActFileOpen"));
  actions.action("ActFileNew")->trigger();
  EXPECT_EQ(runs, 1);
}

TEST_F(MainActionsTest, TheMainWindowBindsNoNameTheTableLacks) {
  TMainForm form;
  EXPECT_TRUE(form.actions().refusedNames().empty())
      << "first unknown name: " << form.actions().refusedNames().front();
}

// Every action of the table without a handler, with the reason it has none.
// A new action must get a handler, or a line here saying why it stays inert.
const std::map<std::string, const char*>& inertActions() {
  static const std::map<std::string, const char*> list = {
      {"ActImgDPI", "does nothing and is never enabled; the resolution dialog sets the DPI"},
      {"ActViewAA", "always hidden and does nothing"},
      {"ActEditPresetFile", "always hidden and does nothing"},
      {"ActShowLoupeWindow", "always hidden and does nothing"},
      {"actShowPenWindow", "an older panel: no effect and in no menu"},
      {"actShowRgbWindow", "an older panel: no effect and in no menu"},
      {"actShowHsvWindow", "an older panel: no effect and in no menu"},
      {"actShowToneWindow", "an older panel: no effect and in no menu"},
      {"actShowGradWindow", "an older panel: no effect and in no menu"},
      {"actShowPenShapeWin", "an older panel: no effect and in no menu"},
      {"actShowPenMethodWin", "an older panel: no effect and in no menu"},
      {"actShowPenShpList", "an older panel: no effect and in no menu"},
      {"actShowPatWindow", "obsolete: no effect and in no menu"},
      {"actLangJapanese", "in no menu and does nothing: the language module beside the program decides"},
      {"actLangEnglish", "in no menu and does nothing: the language module beside the program decides"},
      {"actLayerPaste", "obsolete, in no menu and reached by no panel or key; Edit > Paste makes the layer"},
      {"actLayerBindLower", "obsolete, in no menu and reached by no panel or key; Layer > Merge down does it"},
      {"actEventPlayResume", "obsolete, in no menu and reached by no panel or key; Event > Pause resumes"},
      {"ActEventWait6", "in the menu but inert: the replay speeds end at the sixth"},
      {"ActEventWait7", "in the menu but inert: the replay speeds end at the sixth"},
      {"ActEventWait8", "in the menu but inert: the replay speeds end at the sixth"},
      {"ActEventWait9", "in the menu but inert: the replay speeds end at the sixth"},
      {"ActEventUpload", "hidden: the maker has no upload page to open"},
      {"actWebHomePage", "hidden: the maker has no home page to open"},
      {"actFilterLevel", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterGamma", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterContrast", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterHLS", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterPoster", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterBlurMove", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterSharp", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterSharpStrong", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterSharpCustom", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterNoize", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterMosaic", "obsolete: no effect and in no menu; the newer filter replaces it"},
      {"actFilterEmboss", "obsolete: no effect and in no menu; the newer filter replaces it"},
  };
  return list;
}

TEST_F(MainActionsTest, EveryActionWithoutAHandlerIsOneKeptInertOnPurpose) {
  TMainForm form;
  std::map<std::string, const char*> unbound;
  for (const SActionDef& def : actionTable())
    if (!form.actions().isBound(def.name)) unbound.emplace(std::string(def.name), "");
  for (const auto& [name, why] : unbound)
    EXPECT_TRUE(inertActions().count(name)) << name << " has no handler and no reason to stay inert";
  for (const auto& [name, why] : inertActions())
    EXPECT_TRUE(unbound.count(name)) << name << " now has a handler: take it off the inert list";
}

}  // namespace
}  // namespace pg
