#include "app/mru_file_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

using Paths = std::vector<std::string>;

std::string file(int i) { return "/pics/f" + std::to_string(i) + ".kci"; }

TEST(MRUFileList, NewestFirstBoundedAndReopeningMovesToTheTop) {
  TMRUFileList list;
  list.setMaximum(9);
  int changes = 0;
  list.onChange = [&] { ++changes; };
  for (int i = 1; i <= 10; ++i) list.addItem(0, file(i));
  EXPECT_EQ(changes, 10);
  ASSERT_EQ(list.count(), 9u);
  EXPECT_EQ(list.items().front(), file(10));
  EXPECT_EQ(list.items().back(), file(2));  // the oldest went
  list.addItem(0, file(6));                  // the fifth entry
  EXPECT_EQ(list.items().front(), file(6));
  EXPECT_EQ(list.count(), 9u);
  const auto entries = list.entries();
  EXPECT_EQ(entries[0].number, 1);
  EXPECT_EQ(entries[0].caption, "&1 " + file(6));
  EXPECT_EQ(entries[8].caption, "&9 " + file(2));

  // A smaller maximum keeps the first entries.
  list.setMaximum(3);
  EXPECT_EQ(list.items(), (Paths{file(6), file(10), file(9)}));
}

TEST(MRUFileList, AppendDropsANewPathWhenFullAndRemoveForgets) {
  TMRUFileList list;
  list.setMaximum(2);
  list.appendItem("/a");
  list.appendItem("/b");
  list.appendItem("/c");
  EXPECT_EQ(list.items(), (Paths{"/a", "/b"}));
  list.appendItem("/b");
  EXPECT_EQ(list.items(), (Paths{"/b", "/a"}));
  EXPECT_TRUE(list.removeItem("/a"));
  EXPECT_FALSE(list.removeItem("/a"));
  list.addItem(99, "/z");  // a position past the end appends
  EXPECT_EQ(list.items(), (Paths{"/b", "/z"}));
}

TEST(MRUFileList, OneFileIsOneEntryHoweverItsPathIsSpelt) {
  testing::TempFolder dir;
  const std::string real = dir.file("real.kci");
  std::ofstream(real) << "x";
  std::filesystem::create_symlink(real, dir.file("link.kci"));
  TMRUFileList list;
  list.addItem(0, real);
  list.addItem(0, dir.file("sub/../real.kci"));
  list.addItem(0, dir.file("link.kci"));
  EXPECT_EQ(list.count(), 1u);
  // Letter case tells files apart on this system.
  list.addItem(0, dir.file("REAL.kci"));
  EXPECT_EQ(list.count(), 2u);
  // Window captions are compared as they are.
  TMRUFileList windows;
  windows.ComparePaths = false;
  windows.appendItem("untitled/../a");
  windows.appendItem("a");
  EXPECT_EQ(windows.count(), 2u);
}

TEST(MRUFileList, ClickReportsThePathAndRemovesItOnlyWhenAsked) {
  TMRUFileList list;
  list.addItem(0, "/one");
  list.addItem(0, "/two");
  list.RemoveOnClick = false;
  EXPECT_EQ(list.click(2), "/one");
  EXPECT_EQ(list.count(), 2u);
  list.RemoveOnClick = true;
  EXPECT_EQ(list.click(1), "/two");
  EXPECT_EQ(list.items(), Paths{"/one"});
  EXPECT_FALSE(list.click(0));
  EXPECT_FALSE(list.click(2));
}

TEST(MRUFileList, CaptionsNumberTheEntriesAndShowAmpersandsLiterally) {
  TMRUFileList list;
  list.addItem(0, "/art/R&D/a&b.kci");
  const auto entries = list.entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].fullText, "&1 /art/R&&D/a&&b.kci");
  EXPECT_EQ(entries[0].path, "/art/R&D/a&b.kci");
}

TEST(MRUFileList, LongPathsAreShortenedFolderByFolder) {
  // Seven pixels a character.
  const TMRUFileList::Measure measure = [](std::string_view s) { return int(s.size()) * 7; };
  const std::string path = "/home/someone/pictures/2026/cat.kci";
  struct Case {
    int width;
    const char* shown;
  };
  const Case cases[] = {
      {1000, "/home/someone/pictures/2026/cat.kci"},
      {7 * 34, "/.../someone/pictures/2026/cat.kci"},
      {7 * 26, "/.../pictures/2026/cat.kci"},
      {7 * 17, "/.../2026/cat.kci"},
      {7 * 12, "/.../cat.kci"},
      {7 * 11, ".../cat.kci"},
      {7 * 3, ".../cat.kci"},  // nothing more to drop
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    EXPECT_EQ(shortenPath(path, c.width, measure), c.shown);
  }
  EXPECT_EQ(shortenPath("cat.kci", 7, measure), "cat.kci");
  EXPECT_EQ(shortenPath(path, 0, measure), path);

  TMRUFileList list;
  list.MaxCaptionWidth = 7 * 17;
  list.addItem(0, path);
  EXPECT_EQ(list.entries(measure)[0].caption, "&1 /.../2026/cat.kci");
  EXPECT_EQ(list.entries(measure)[0].fullText, "&1 " + path);
  list.MaxCaptionWidth = 0;
  EXPECT_EQ(list.entries(measure)[0].caption, "&1 " + path);
}

TEST(MRUFileList, StoreRoundTripLeavesNoStaleValuesAndDistrustsWhatItReads) {
  CSettingsStore store;
  TMRUFileList list = makeFileMRUList();
  for (int i = 1; i <= 6; ++i) list.addItem(0, file(i));
  ASSERT_TRUE(list.save(store));
  const std::string section = "Software\\Harbelle\\Pigmora4\\fileMRU";
  EXPECT_EQ(std::get<std::string>(*store.findValue(section, "path0")), file(6));
  ASSERT_TRUE(list.removeItem(file(6)));
  ASSERT_TRUE(list.removeItem(file(5)));
  ASSERT_TRUE(list.save(store));
  EXPECT_EQ(store.valueNames(section).size(), 4u);  // no path4, path5 left
  EXPECT_EQ(store.findValue(section, "path5"), nullptr);

  TMRUFileList back = makeFileMRUList();
  ASSERT_TRUE(back.load(store));
  EXPECT_EQ(back.items(), list.items());

  // What the store holds is checked: kinds, lengths, zero bytes, relative
  // paths, duplicates and the maximum.
  EXPECT_TRUE(store.deleteKey(section));
  EXPECT_TRUE(store.setValue(section, "path0", std::string("/ok/a")));
  EXPECT_TRUE(store.setValue(section, "path1", 5));
  EXPECT_TRUE(store.setValue(section, "path2", "/" + std::string(5000, 'x')));
  EXPECT_TRUE(store.setValue(section, "path3", std::string("/bad\0zero", 9)));
  EXPECT_TRUE(store.setValue(section, "path4", std::string("relative/b")));
  EXPECT_TRUE(store.setValue(section, "path5", std::string("/ok/./a")));
  EXPECT_TRUE(store.setValue(section, "path6", std::string("/ok/c")));
  EXPECT_TRUE(store.setValue(section, "path10", std::string("/ok/late")));
  ASSERT_TRUE(back.load(store));
  EXPECT_EQ(back.items(), (Paths{"/ok/a", "/ok/c"}));

  TMRUFileList unnamed = makeWindowMRUList();
  EXPECT_FALSE(unnamed.ComparePaths);
  EXPECT_EQ(unnamed.maximum(), 9);
  unnamed.AutoSaveKey.clear();
  EXPECT_FALSE(unnamed.load(store));
  EXPECT_FALSE(unnamed.save(store));
}

}  // namespace
}  // namespace pg
