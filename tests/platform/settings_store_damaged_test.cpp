// A damaged settings file is kept aside, never overwritten.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/settings_store.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace settings_store_damaged_test {

namespace fs = std::filesystem;
using testing::TempFolder;

std::string slurp(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void spit(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

TEST(SettingsStoreDamaged, TheDamagedFileIsRenamedAsideAndTheNextSaveWritesAWholeOne) {
  TempFolder dir;
  const std::string file = dir.file("settings");
  const std::string damaged = "PigmoraSettings 1\nkey \"a\"\nint \"x\" 1\n";  // no end line
  spit(file, damaged);
  spit(file + ".damaged", "an older one");
  CFileSettingsStore store(file);
  EXPECT_TRUE(store.ignoredDamagedFile());
  EXPECT_EQ(store.damagedCopy(), file + ".damaged.1");
  EXPECT_EQ(slurp(file + ".damaged.1"), damaged);
  EXPECT_EQ(slurp(file + ".damaged"), "an older one");
  EXPECT_FALSE(fs::exists(file));
  ASSERT_TRUE(store.setValue("a", "x", 2));
  ASSERT_TRUE(store.flush());
  CFileSettingsStore reread(file);
  EXPECT_FALSE(reread.ignoredDamagedFile());
  EXPECT_EQ(slurp(file + ".damaged.1"), damaged);
}

TEST(SettingsStoreDamaged, AFileThatCannotBePutAsideIsNotOverwritten) {
  TempFolder dir;
  const std::string file = dir.file("settings");
  spit(file, "garbage");
  // Every name the damaged file could go to is taken.
  spit(file + ".damaged", "old");
  for (int i = 1; i < 100; ++i) spit(file + ".damaged." + std::to_string(i), "old");
  {
    CFileSettingsStore store(file);
    EXPECT_TRUE(store.ignoredDamagedFile());
    EXPECT_TRUE(store.damagedCopy().empty());
    ASSERT_TRUE(store.setValue("a", "x", 2));
    EXPECT_FALSE(store.flush());
    EXPECT_EQ(slurp(file), "garbage");
    // Once a name is free, the file goes aside and the save succeeds.
    fs::remove(file + ".damaged.42");
    EXPECT_TRUE(store.flush());
    EXPECT_EQ(store.damagedCopy(), file + ".damaged.42");
  }
  EXPECT_EQ(slurp(file + ".damaged.42"), "garbage");
  EXPECT_FALSE(CFileSettingsStore(file).ignoredDamagedFile());
}

TEST(SettingsStoreDamaged, AnUnreadableFileIsNeitherMovedNorReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  TempFolder dir;
  const std::string file = dir.file("settings");
  spit(file, "PigmoraSettings 1\nend\n");
  ::chmod(file.c_str(), 0);
  CFileSettingsStore store(file);
  EXPECT_TRUE(store.ignoredDamagedFile());
  // It may hold the user's settings behind a permission that gets fixed.
  EXPECT_TRUE(store.damagedCopy().empty());
  ASSERT_TRUE(store.setValue("a", "x", 2));
  EXPECT_FALSE(store.flush());
  EXPECT_TRUE(std::filesystem::exists(file));
}

}  // namespace settings_store_damaged_test
}  // namespace pg
