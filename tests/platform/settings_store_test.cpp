#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>

#include "test_support/temp_folder.h"

namespace pg {
namespace settings_store_test {

namespace fs = std::filesystem;

constexpr const char* kRoot = "Software\\Harbelle\\Pigmora4";

using testing::TempFolder;

void spit(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

std::string section(const char* name) { return std::string(kRoot) + "\\" + name; }

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SettingsStore, ValuesOfEveryKindSurviveARestartExactly) {
  TempFolder dir;
  const std::string file = dir.file("cfg/Harbelle/Pigmora4/settings");
  const std::string awkward = "パス \"quoted\" back\\slash\nline\ttab\x01\x7f end";
  const double doubles[] = {0.1, -1.0 / 3.0, 1e300, -0.0, std::numeric_limits<double>::denorm_min()};
  {
    CFileSettingsStore store(file);
    CSettingsKey reg(store);
    ASSERT_TRUE(reg.openKey(section("config"), true));
    EXPECT_TRUE(regWriteInt(reg, "gridW", 48));
    EXPECT_TRUE(regWriteInt(reg, "GridColor", static_cast<int32_t>(0x80000000u)));
    EXPECT_TRUE(regWriteInt(reg, "minInt", std::numeric_limits<int32_t>::min()));
    EXPECT_TRUE(regWriteBool(reg, "useAutoScroll", true));
    EXPECT_TRUE(regWriteFloat(reg, "opaquePaint", 0.35f));
    EXPECT_TRUE(regWriteString(reg, "CursorFile", awkward));
    EXPECT_TRUE(regWriteString(reg, "", "the key's unnamed value"));
    for (size_t i = 0; i < std::size(doubles); ++i) EXPECT_TRUE(reg.writeFloat("d" + std::to_string(i), doubles[i]));
    EXPECT_TRUE(reg.writeBinary("empty", {}));
    EXPECT_TRUE(store.createKey(section("window")));  // an empty key is kept too
  }  // closing the key and the store writes the file

  CFileSettingsStore store(file);
  EXPECT_FALSE(store.ignoredDamagedFile());
  EXPECT_TRUE(store.keyExists(section("window")));
  CSettingsKey reg(store);
  ASSERT_TRUE(reg.openKey(section("config"), false));
  int32_t i = 0;
  uint32_t u = 0;
  bool b = false;
  float f = 0;
  std::string s;
  EXPECT_TRUE(regReadInt(reg, "gridW", i, 32));
  EXPECT_EQ(i, 48);
  EXPECT_TRUE(regReadIntVar(reg, "GridColor", u, 0));
  EXPECT_EQ(u, 0x80000000u);
  EXPECT_TRUE(regReadInt(reg, "minInt", i, 0));
  EXPECT_EQ(i, std::numeric_limits<int32_t>::min());
  EXPECT_TRUE(regReadBool(reg, "useAutoScroll", b, false));
  EXPECT_TRUE(b);
  EXPECT_TRUE(regReadFloat(reg, "opaquePaint", f, 1.0f));
  EXPECT_EQ(f, 0.35f);
  EXPECT_TRUE(regReadString(reg, "CursorFile", s, ""));
  EXPECT_EQ(s, awkward);
  EXPECT_TRUE(regReadString(reg, "", s, ""));
  EXPECT_EQ(s, "the key's unnamed value");
  for (size_t k = 0; k < std::size(doubles); ++k) {
    double d = 1;
    ASSERT_TRUE(reg.readFloat("d" + std::to_string(k), d));
    EXPECT_EQ(std::memcmp(&d, &doubles[k], 8), 0) << k;  // bit for bit, the sign of -0 too
  }
  std::vector<uint8_t> bytes{1};
  EXPECT_TRUE(reg.readBinary("empty", bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST(SettingsStore, MissingOrWronglyTypedValuesReadAsTheirDefaultWithoutWriting) {
  CSettingsStore store;
  {
    CSettingsKey reg(store);
    ASSERT_TRUE(reg.openKey(section("fileIO"), true));
    ASSERT_TRUE(regWriteString(reg, "jpegQuality", "ninety"));
    ASSERT_TRUE(regWriteInt(reg, "loadPath", 5));
    ASSERT_TRUE(reg.writeBinary("short", {1, 2, 3}));
    ASSERT_TRUE(reg.writeFloat("huge", 1e300));
    ASSERT_TRUE(reg.writeFloat("nan", std::nan("")));
    ASSERT_TRUE(reg.writeFloat("inf", -INFINITY));
  }
  const std::string before = store.serialize();
  CSettingsKey reg(store);
  ASSERT_TRUE(reg.openKey(section("fileIO"), false));

  int32_t i = 7;
  EXPECT_FALSE(regReadInt(reg, "missing", i, 90));
  EXPECT_EQ(i, 90);
  i = 7;
  EXPECT_FALSE(regReadInt(reg, "jpegQuality", i, 90));  // a string where an integer belongs
  EXPECT_EQ(i, 90);
  std::string s = "x";
  EXPECT_FALSE(regReadString(reg, "loadPath", s, "/default"));
  EXPECT_EQ(s, "/default");
  bool b = true;
  EXPECT_FALSE(regReadBool(reg, "jpegQuality", b, false));
  EXPECT_FALSE(b);
  for (const char* name : {"short", "huge", "nan", "inf", "jpegQuality", "missing"}) {
    float f = 5;
    EXPECT_FALSE(regReadFloat(reg, name, f, 0.5f)) << name;
    EXPECT_EQ(f, 0.5f) << name;
  }
  int32_t clamped = 0;
  EXPECT_FALSE(regReadIntClamped(reg, "missing", clamped, 250, 0, 100));
  EXPECT_EQ(clamped, 100);
  EXPECT_EQ(store.serialize(), before);
}

TEST(SettingsStore, KeysNestAndNamesIgnoreAsciiCase) {
  CSettingsStore store;
  const std::string pen3 = std::string(kRoot) + "\\penSetting\\pen3";
  {
    CSettingsKey reg(store);
    ASSERT_TRUE(reg.openKey(pen3, true));
    ASSERT_TRUE(regWriteFloat(reg, "WIDTH", 12.5f));
    ASSERT_TRUE(reg.openKey(std::string(kRoot) + "\\penSetting\\eraser1", true));
    ASSERT_TRUE(regWriteInt(reg, "airMap", 3));
  }
  EXPECT_EQ(store.subKeyNames(std::string(kRoot) + "\\penSetting"), (std::vector<std::string>{"eraser1", "pen3"}));
  EXPECT_TRUE(store.keyExists("software/harbelle/PIGMORA4/PenSetting/PEN3"));
  EXPECT_FALSE(store.keyExists(std::string(kRoot) + "\\penSetting\\pen4"));

  CSettingsKey reg(store);
  EXPECT_FALSE(reg.openKey(std::string(kRoot) + "\\penSetting\\pen4", false));
  EXPECT_FALSE(regWriteInt(reg, "x", 1));  // no key open
  ASSERT_TRUE(reg.openKey("\\SOFTWARE\\harbelle\\pigmora4\\PENSETTING\\Pen3\\", false));
  float f = 0;
  EXPECT_TRUE(regReadFloat(reg, "width", f, 1.0f));
  EXPECT_EQ(f, 12.5f);
  ASSERT_TRUE(regWriteFloat(reg, "Width", 3.0f));  // replaces, keeping the first spelling
  EXPECT_EQ(store.valueNames(pen3), (std::vector<std::string>{"WIDTH"}));

  EXPECT_TRUE(reg.deleteValue("WIDTH"));
  EXPECT_FALSE(reg.valueExists("WIDTH"));
  EXPECT_FALSE(reg.deleteValue("WIDTH"));
  EXPECT_TRUE(store.deleteKey(std::string(kRoot) + "\\penSetting"));
  EXPECT_FALSE(store.keyExists(pen3));
  EXPECT_FALSE(store.deleteKey(""));  // the root stays
}

TEST(SettingsStore, ClosingAKeyThatWroteSavesTheFile) {
  TempFolder dir;
  const std::string file = dir.file("settings");
  CFileSettingsStore store(file);
  CSettingsKey reg(store);
  ASSERT_TRUE(reg.openKey(section("color"), true));
  ASSERT_TRUE(regWriteInt(reg, "fgCol", 0x123456));
  EXPECT_FALSE(fs::exists(file));
  reg.closeKey();
  ASSERT_TRUE(fs::exists(file));
  EXPECT_FALSE(store.modified());
  CFileSettingsStore again(file);
  EXPECT_EQ(again.serialize(), store.serialize());
  // Only the settings file remains in the folder: the temporary was renamed.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

TEST(SettingsStore, DamagedFilesAreIgnoredWithDefaults) {
  const std::string good =
      "PigmoraSettings 1\n"
      "key \"Software/Harbelle/Pigmora4/config\"\n"
      "int \"gridW\" 48\n"
      "end\n";
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"empty", ""},
      {"cut before the end line", good.substr(0, good.size() - 4)},
      {"cut inside a line", good.substr(0, 40)},
      {"no final newline", good.substr(0, good.size() - 1)},
      {"wrong first line", "PigmoraSettings 2\nend\n"},
      {"text after the end", good + "int \"x\" 1\n"},
      {"value before any key", "PigmoraSettings 1\nint \"x\" 1\nend\n"},
      {"integer too large", "PigmoraSettings 1\nkey \"a\"\nint \"x\" 2147483648\nend\n"},
      {"integer with letters", "PigmoraSettings 1\nkey \"a\"\nint \"x\" 12ab\nend\n"},
      {"odd hex digits", "PigmoraSettings 1\nkey \"a\"\nbin \"x\" ABC\nend\n"},
      {"unknown escape", "PigmoraSettings 1\nkey \"a\"\nstr \"x\" \"\\q\"\nend\n"},
      {"cut escape", "PigmoraSettings 1\nkey \"a\"\nstr \"x\" \"\\x4\"\nend\n"},
      {"unclosed quote", "PigmoraSettings 1\nkey \"a\nend\n"},
      {"empty key component", "PigmoraSettings 1\nkey \"a//b\"\nend\n"},
      {"backslash in a key path", "PigmoraSettings 1\nkey \"a\\\\b\"\nend\n"},
      {"unknown tag", "PigmoraSettings 1\nkey \"a\"\nflt \"x\" 1.5\nend\n"},
      {"double space", "PigmoraSettings 1\nkey  \"a\"\nend\n"},
      {"binary zeros", std::string("PigmoraSettings 1\n\0\0\0\n", 22)},
      {"random bytes", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    const std::string file = dir.file("settings");
    spit(file, c.text);
    CFileSettingsStore store(file);
    EXPECT_TRUE(store.ignoredDamagedFile());
    EXPECT_TRUE(store.subKeyNames("").empty());
    CSettingsKey reg(store);
    ASSERT_TRUE(reg.openKey(section("config"), true));
    int32_t v = 0;
    EXPECT_FALSE(regReadInt(reg, "gridW", v, 32));
    EXPECT_EQ(v, 32);
    // The next save replaces the damaged file with a whole one.
    ASSERT_TRUE(regWriteInt(reg, "gridW", 16));
    reg.closeKey();
    CFileSettingsStore reread(file);
    EXPECT_FALSE(reread.ignoredDamagedFile());
  }
  TempFolder dir;
  spit(dir.file("settings"), good);
  CFileSettingsStore store(dir.file("settings"));
  EXPECT_FALSE(store.ignoredDamagedFile());
  EXPECT_EQ(store.serialize(), good);
}

TEST(SettingsStore, AFailedSaveKeepsTheOldFileAndReportsFalse) {
  TempFolder dir;
  const std::string file = dir.file("settings");
  fs::create_directory(file);  // something the file cannot replace
  CFileSettingsStore store(file);
  ASSERT_TRUE(store.setValue("a", "b", 1));
  EXPECT_FALSE(store.flush());
  EXPECT_TRUE(store.modified());
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);  // no temporary left
  fs::remove(file);
  EXPECT_TRUE(store.flush());
  EXPECT_TRUE(fs::is_regular_file(file));
}

TEST(SettingsStore, DefaultFileFollowsXdgConfigHomeThenHome) {
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg/cfg");
    EXPECT_EQ(CFileSettingsStore::defaultFileName(), "/xdg/cfg/Harbelle/Pigmora4/settings");
  }
  ScopedEnv home("HOME", "/home/someone");
  for (const char* value : {static_cast<const char*>(nullptr), "", "relative/path"}) {
    ScopedEnv xdg("XDG_CONFIG_HOME", value);
    EXPECT_EQ(CFileSettingsStore::defaultFileName(), "/home/someone/.config/Harbelle/Pigmora4/settings");
  }
}

}  // namespace settings_store_test
}  // namespace pg
