// The settings store against hostile files: deep key paths and long names or
// values are refused when read and when written, and whatever the store holds
// can be saved and destroyed without deep recursion.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/settings_store.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

using testing::TempFolder;

std::string deepPath(size_t depth, std::string_view sep = "/") {
  std::string path;
  for (size_t i = 0; i < depth; ++i) {
    if (i) path += sep;
    path += "k";
  }
  return path;
}

std::string fileWithKey(const std::string& keyPath, const std::string& valueLine = "int \"x\" 1\n") {
  return "PigmoraSettings 1\nkey \"" + keyPath + "\"\n" + valueLine + "end\n";
}

TEST(SettingsStoreBounds, FilesBeyondTheDepthAndLengthBoundsAreDamaged) {
  const std::string longName(kSettingsMaxNameBytes + 1, 'n');
  const std::string longValue(kSettingsMaxValueBytes + 1, 'v');
  struct Case {
    const char* what;
    std::string text;
    bool damaged;
  };
  const Case cases[] = {
      {"deepest allowed key", fileWithKey(deepPath(kSettingsMaxKeyDepth)), false},
      {"one level too deep", fileWithKey(deepPath(kSettingsMaxKeyDepth + 1)), true},
      {"a 120 KB key path", fileWithKey(deepPath(60000)), true},
      {"longest allowed key name", fileWithKey(std::string(kSettingsMaxNameBytes, 'n')), false},
      {"key name too long", fileWithKey("a/" + longName), true},
      {"value name too long", fileWithKey("a", "int \"" + longName + "\" 1\n"), true},
      {"string value too long", fileWithKey("a", "str \"x\" \"" + longValue + "\"\n"), true},
      {"binary value too long",
       fileWithKey("a", "bin \"x\" " + std::string(2 * (kSettingsMaxValueBytes + 1), 'A') + "\n"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CSettingsStore store;
    EXPECT_EQ(store.parse(c.text), !c.damaged);
    if (!c.damaged) {
      EXPECT_EQ(store.serialize(), c.text);
    }
  }
}

TEST(SettingsStoreBounds, WritesBeyondTheBoundsAreRefused) {
  CSettingsStore store;
  EXPECT_TRUE(store.createKey(deepPath(kSettingsMaxKeyDepth, "\\")));
  EXPECT_FALSE(store.createKey(deepPath(kSettingsMaxKeyDepth + 1, "\\")));
  EXPECT_FALSE(store.setValue(deepPath(kSettingsMaxKeyDepth + 1), "x", 1));
  EXPECT_FALSE(store.createKey("a/" + std::string(kSettingsMaxNameBytes + 1, 'n')));
  EXPECT_FALSE(store.setValue("a", std::string(kSettingsMaxNameBytes + 1, 'n'), 1));
  EXPECT_FALSE(store.setValue("a", "x", std::string(kSettingsMaxValueBytes + 1, 'v')));
  EXPECT_FALSE(store.setValue("a", "x", std::vector<uint8_t>(kSettingsMaxValueBytes + 1)));
  EXPECT_TRUE(store.setValue("a", "x", std::string(kSettingsMaxValueBytes, 'v')));
  EXPECT_FALSE(store.keyExists(deepPath(kSettingsMaxKeyDepth + 1)));
}

TEST(SettingsStoreBounds, AHostileDeepFileNeitherCrashesTheSaveNorTheExit) {
  TempFolder dir;
  const std::string file = dir.file("settings");
  std::ofstream(file, std::ios::binary) << fileWithKey(deepPath(100000));
  {
    CFileSettingsStore store(file);
    EXPECT_TRUE(store.ignoredDamagedFile());
    ASSERT_TRUE(store.setValue("Software/Harbelle/Pigmora4/config", "gridW", 16));
    EXPECT_TRUE(store.flush());
  }
  CFileSettingsStore reread(file);
  EXPECT_FALSE(reread.ignoredDamagedFile());
}

TEST(SettingsStoreBounds, AWideTreeSavesInDepthFirstOrder) {
  CSettingsStore store;
  ASSERT_TRUE(store.setValue("b", "v", 2));
  ASSERT_TRUE(store.setValue("a/y", "v", 1));
  ASSERT_TRUE(store.createKey("a/x/z"));
  ASSERT_TRUE(store.setValue("a", "v", 0));
  EXPECT_EQ(store.serialize(),
            "PigmoraSettings 1\n"
            "key \"a\"\nint \"v\" 0\n"
            "key \"a/x/z\"\n"
            "key \"a/y\"\nint \"v\" 1\n"
            "key \"b\"\nint \"v\" 2\n"
            "end\n");
}

// A file that is there but cannot be read is reported, and no save replaces
// it: what it holds may be the user's settings.
TEST(SettingsStoreBounds, AFileThatCannotBeReadIsReportedAndKept) {
  TempFolder dir;
  const std::string file = dir.file("settings");
  // A link that points at itself cannot be opened, whoever runs the test.
  ASSERT_EQ(::symlink("settings", file.c_str()), 0);
  {
    CFileSettingsStore store(file);
    EXPECT_TRUE(store.ignoredDamagedFile());
    ASSERT_TRUE(store.setValue("Software/Harbelle/Pigmora4/config", "gridW", 16));
    EXPECT_FALSE(store.flush());
  }
  EXPECT_TRUE(std::filesystem::is_symlink(file));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace pg
