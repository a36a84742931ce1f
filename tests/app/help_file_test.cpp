// The help page is found beside the program in a build and under
// share/pigmora/help in an installed prefix.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/help_file.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

TEST(HelpFile, FoundBesideTheProgramOrInTheInstalledPrefix) {
  testing::TempFolder dir;
  const std::filesystem::path root = dir.path();
  auto touch = [](const std::filesystem::path& p) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << "<html></html>";
  };
  // Neither place holds it: the place beside the program is named.
  EXPECT_EQ(helpFilePath((root / "bin").string()), (root / "bin/help/index.html").string());
  touch(root / "share/pigmora/help/index.html");
  EXPECT_EQ(helpFilePath((root / "bin").string()), (root / "share/pigmora/help/index.html").string());
  touch(root / "bin/help/index.html");
  EXPECT_EQ(helpFilePath((root / "bin").string()), (root / "bin/help/index.html").string());
}

}  // namespace
}  // namespace pg
