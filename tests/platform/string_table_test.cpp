#include "platform/string_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/format_directives.h"
#include "platform/res_ids.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

// The source tree's data folder, a sibling of the tests' data folder (which
// need not exist, so the path is cut textually rather than through "..").
const std::string kDataFolder = [] {
  std::string path = PIGMORA_TEST_DATA;
  const std::string tail = "tests/data";
  if (path.size() >= tail.size() && path.compare(path.size() - tail.size(), tail.size(), tail) == 0)
    path.resize(path.size() - tail.size());
  return path + "data/";
}();

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  ASSERT_TRUE(out.flush()) << path;
}

// The ids of a table file in order of appearance, duplicates included.
std::vector<uint32_t> idsOfFile(const std::string& text) {
  std::vector<uint32_t> ids;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    const std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (line.empty() || line[0] == '#') continue;
    uint32_t id = 0;
    auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), id);
    EXPECT_TRUE(ec == std::errc{} && *end == '\t') << line;
    ids.push_back(id);
  }
  return ids;
}

size_t count(const std::string& text, char c) { return size_t(std::count(text.begin(), text.end(), c)); }

// An "&" that marks an accelerator (not "&&", an escaped ampersand).
bool hasAccelerator(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return true;
    ++i;
  }
  return false;
}

TEST(StringTable, OverridesParseEscapesAndSkipMalformedLines) {
  resetResStrings();
  int taken = overrideResStrings(
      "# comment\n"
      "900001\tline\\none\\ttab \\\\ back\r\n"
      "\n"
      "notanumber\tx\n"
      "900002 no tab\n"
      "900003\t\n");
  EXPECT_EQ(taken, 2);
  EXPECT_EQ(resString(900001), "line\none\ttab \\ back");
  EXPECT_TRUE(hasResString(900003));
  EXPECT_EQ(resString(900003), "");
  EXPECT_FALSE(hasResString(900002));
  EXPECT_EQ(resString(123456789), "");
  resetResStrings();
  EXPECT_FALSE(hasResString(900001));
}

// Both table files give each id once (a second line would silently replace
// the first), and the compiled-in table is the Japanese file.
TEST(StringTable, TableFilesGiveEachIdOnce) {
  for (const char* name : {"strings.ja.txt", "strings.en.txt"}) {
    std::map<uint32_t, int> seen;
    for (uint32_t id : idsOfFile(readFile(kDataFolder + name))) EXPECT_EQ(++seen[id], 1) << name << " id " << id;
  }
  resetResStrings();
  for (uint32_t id : idsOfFile(readFile(kDataFolder + "strings.ja.txt")))
    EXPECT_FALSE(resString(id).empty()) << id;
}

// The id lists of the named ids point at texts of the table.
TEST(StringTable, NamedIdListsHaveTexts) {
  resetResStrings();
  for (uint32_t id : kResToolButtonHints) EXPECT_FALSE(resString(id).empty()) << id;
  for (uint32_t id : kResHintGrabber) EXPECT_NE(resString(id).find('|'), std::string::npos) << id;
  for (uint32_t id : kResReplayStart) EXPECT_FALSE(resString(id).empty()) << id;
}

// The shipped English module: every id of the built-in table, with the same
// placeholders, line breaks, hint separator and accelerator mark.
TEST(StringTable, EnglishModuleCoversTheBuiltInTable) {
  const std::string module = readFile(kDataFolder + "strings.en.txt");
  const ResourceModuleCheck check = checkResourceModule(module);
  EXPECT_EQ(check.result, ResourceModuleResult::Ok) << check.problem;
  EXPECT_TRUE(check.missingIds.empty()) << check.missingIds.size() << " ids without text, first "
                                        << (check.missingIds.empty() ? 0 : check.missingIds.front());

  resetResStrings();
  std::map<uint32_t, std::string> japanese;
  for (uint32_t id : idsOfFile(readFile(kDataFolder + "strings.ja.txt"))) japanese[id] = resString(id);
  ASSERT_EQ(installResourceModule(kDataFolder + "strings.en.txt"), ResourceModuleResult::Ok);
  for (const auto& [id, ja] : japanese) {
    const std::string en = resString(id);
    SCOPED_TRACE(::testing::Message() << "id " << id << ": " << en);
    EXPECT_EQ(formatConversions(en), formatConversions(ja));
    EXPECT_EQ(count(en, '\r'), count(ja, '\r'));
    EXPECT_EQ(count(en, '\n'), count(ja, '\n'));
    EXPECT_EQ(count(en, '|'), count(ja, '|'));
    EXPECT_EQ(hasAccelerator(en), hasAccelerator(ja));
  }
  resetResStrings();
}

class ResourceModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { resetResStrings(); }
  void TearDown() override { resetResStrings(); }

  std::string write(const std::string& name, const std::string& text) {
    const std::string path = folder_.file(name);
    writeFile(path, text);
    return path;
  }

  pg::testing::TempFolder folder_;
};

// Three built-in ids: a plain text, an integer and a text plus an integer.
const std::string kGoodModule =
    "#PGSTR 1\n"
    "# a comment\n"
    "\n"
    "65314\tWarning\n"
    "65117\tUntitled %d\n"
    "65193\tFailed to read %s! (err=%d)\\rTry again.\n";

TEST_F(ResourceModuleTest, AGoodModuleReplacesTheTextsItGives) {
  const std::string before = resString(65117);
  EXPECT_EQ(installResourceModule(write("good.enu", kGoodModule)), ResourceModuleResult::Ok);
  EXPECT_EQ(resString(65314), "Warning");
  EXPECT_EQ(resString(65117), "Untitled %d");
  EXPECT_EQ(resString(65193), "Failed to read %s! (err=%d)\rTry again.");
  EXPECT_EQ(resString(65321), "レイヤ");  // not in the module: the built-in text
  EXPECT_NE(before, resString(65117));

  // An editor's byte-order mark and CRLF line ends are fine; a second module
  // takes the place of the first one as a whole.
  EXPECT_EQ(installResourceModule(write("crlf.enu", "\xEF\xBB\xBF#PGSTR 1\r\n65314\tCaution\r\n")),
            ResourceModuleResult::Ok);
  EXPECT_EQ(resString(65314), "Caution");
  EXPECT_EQ(resString(65117), before);
}

TEST_F(ResourceModuleTest, AMissingOrUnreadableModuleChangesNothing) {
  ASSERT_EQ(installResourceModule(write("good.enu", kGoodModule)), ResourceModuleResult::Ok);
  EXPECT_EQ(installResourceModule(folder_.file("absent.enu")), ResourceModuleResult::Missing);
  EXPECT_EQ(installResourceModule(folder_.file("")), ResourceModuleResult::Missing);  // a folder
  EXPECT_EQ(installResourceModule(""), ResourceModuleResult::Missing);
  // A pipe in its place must not hold up the start.
  ASSERT_EQ(::mkfifo(folder_.file("pipe.enu").c_str(), 0600), 0);
  EXPECT_EQ(installResourceModule(folder_.file("pipe.enu")), ResourceModuleResult::Missing);
  EXPECT_EQ(resString(65314), "Warning");
}

TEST_F(ResourceModuleTest, ADamagedModuleIsRefusedWhole) {
  struct Case {
    const char* what;
    std::string text;
  };
  const std::string header = "#PGSTR 1\n";
  const std::string goodLine = "65314\tAttention\n";  // taken only if the whole file is sound
  const Case cases[] = {
      {"empty file", ""},
      {"no header", goodLine},
      {"other version", "#PGSTR 2\n" + goodLine},
      {"header not first", goodLine + header},
      {"truncated line", header + goodLine + "65117"},
      {"truncated escape", header + goodLine + "65117\tUntitled %d\\"},
      {"truncated character", header + goodLine + "65117\tUntitled %d \xE2\x80"},
      {"bad escape", header + goodLine + "65117\tUntitled\\q %d\n"},
      {"space for tab", header + goodLine + "65117 Untitled %d\n"},
      {"bad id", header + goodLine + "65x17\tUntitled %d\n"},
      {"signed id", header + goodLine + "+65117\tUntitled %d\n"},
      {"id too large", header + goodLine + "4294967296\tUntitled %d\n"},
      {"unknown id", header + goodLine + "900000\tHello\n"},
      {"id given twice", header + goodLine + "65314\tWarning\n"},
      {"empty text", header + goodLine + "65117\t\n"},
      {"control character", header + goodLine + "65117\tUntitled\x01 %d\n"},
      {"raw carriage return", header + goodLine + "65117\tUntitled\r %d\n"},
      {"text for an integer", header + goodLine + "65117\tUntitled %s\n"},
      {"placeholder dropped", header + goodLine + "65117\tUntitled\n"},
      {"placeholder added", header + goodLine + "65314\tWarning %s\n"},
      {"placeholders swapped", header + goodLine + "65193\t(err=%d) %s failed\n"},
      {"width changed", header + goodLine + "65117\tUntitled %5d\n"},
      {"write-back", header + goodLine + "65117\tUntitled %d%n\n"},
      {"huge file", header + goodLine + "#" + std::string(kMaxResourceModuleBytes, 'x') + "\n"},
  };
  ASSERT_EQ(installResourceModule(write("good.enu", kGoodModule)), ResourceModuleResult::Ok);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(checkResourceModule(c.text).result, ResourceModuleResult::Damaged);
    EXPECT_FALSE(checkResourceModule(c.text).problem.empty());
    EXPECT_EQ(installResourceModule(write("bad.enu", c.text)), ResourceModuleResult::Damaged);
    EXPECT_EQ(resString(65314), "Warning");
    EXPECT_EQ(resString(65117), "Untitled %d");
  }
}

// What the build step relies on: the ids a module leaves out are listed.
TEST_F(ResourceModuleTest, TheCheckListsTheIdsWithoutText) {
  const ResourceModuleCheck check = checkResourceModule(kGoodModule);
  ASSERT_EQ(check.result, ResourceModuleResult::Ok);
  EXPECT_EQ(std::count(check.missingIds.begin(), check.missingIds.end(), 65314u), 0);
  EXPECT_EQ(std::count(check.missingIds.begin(), check.missingIds.end(), 65321u), 1);
  EXPECT_TRUE(std::is_sorted(check.missingIds.begin(), check.missingIds.end()));
}

TEST(ResourceModulePath, ReplacesOrAppendsTheExtension) {
  struct Case {
    const char* program;
    const char* module;
  };
  const Case cases[] = {
      {"/opt/pigmora/bin/pigmora", "/opt/pigmora/bin/pigmora.enu"},       // no extension
      {"/opt/pigmora.v4/bin/pigmora", "/opt/pigmora.v4/bin/pigmora.enu"},  // a dot in a folder only
      {"/opt/p/pigmora.exe", "/opt/p/pigmora.enu"},                        // an extension
      {"/opt/p/pig.mora.bin", "/opt/p/pig.mora.enu"},                      // only the last one
      {"pigmora", "pigmora.enu"},                                          // no folder
      {"./pigmora", "./pigmora.enu"},
  };
  for (const Case& c : cases) EXPECT_EQ(resourceModulePath(c.program), c.module) << c.program;
}

}  // namespace
}  // namespace pg
