// The file a print goes to without a printer: a name no file has yet.
#include <gtest/gtest.h>

#include <fstream>

#include "app/print_file_name.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

TEST(PrintFileName, ProposesTheFirstFreeNameOfTheDocument) {
  testing::TempFolder dir;
  const std::string folder = dir.path().string();
  struct Case {
    const char* stem;
    const char* expected;
  };
  // The document's folder and extension go; a name of nothing becomes "print".
  const Case cases[] = {{"cat", "cat.pdf"}, {"/pictures/cat.kci", "cat.pdf"}, {"", "print.pdf"}, {"...", "print.pdf"}};
  for (const Case& c : cases) EXPECT_EQ(freePrintFileName(folder, c.stem), folder + "/" + c.expected) << c.stem;
  // Existing files are passed over, a gap is taken.
  std::ofstream(folder + "/cat.pdf") << "1";
  EXPECT_EQ(freePrintFileName(folder, "cat"), folder + "/cat-2.pdf");
  std::ofstream(folder + "/cat-2.pdf") << "2";
  std::ofstream(folder + "/cat-4.pdf") << "4";
  EXPECT_EQ(freePrintFileName(folder, "cat"), folder + "/cat-3.pdf");
}

}  // namespace
}  // namespace pg
