// The replace-by-rename protocol against what a killed save leaves behind.
#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "test_support/temp_folder.h"

namespace pg {
namespace {

namespace fs = std::filesystem;

void touch(const std::string& name) { std::ofstream(name) << "stale"; }

// The id of a process that has ended.
pid_t deadProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

bool replaceWith(const std::string& target, const std::string& text) {
  std::string temporary;
  const int fd = openReplacement(target, temporary);
  if (fd < 0) return false;
  const bool ok = writeFully(fd, text.data(), int64_t(text.size())) == int64_t(text.size());
  return finishReplacement(fd, temporary, target, ok);
}

TEST(FileReplacement, StaleTemporariesNeitherBlockTheSaveNorStay) {
  testing::TempFolder dir;
  const std::string target = dir.file("doc.kci");
  // What saves of earlier processes killed half-way left: this process's id
  // (an earlier process that had it), and a process that has ended.
  const std::string own = target + ".tmp-" + std::to_string(::getpid()) + "-";
  for (int n = 0; n < 1000; ++n) touch(own + std::to_string(n));
  const std::string dead = target + ".tmp-" + std::to_string(deadProcess()) + "-0";
  touch(dead);
  // Left alone: a live process's temporary, another file's, and files that
  // only look alike.
  const std::string live = target + ".tmp-1-0";
  const std::string other = dir.file("other.kci.tmp-" + std::to_string(::getpid()) + "-0");
  const std::string lookalike = target + ".tmp-notanumber";
  touch(live);
  touch(other);
  touch(lookalike);

  ASSERT_TRUE(replaceWith(target, "saved"));
  std::ifstream in(target);
  std::string text;
  in >> text;
  EXPECT_EQ(text, "saved");
  EXPECT_FALSE(fs::exists(own + "0"));
  EXPECT_FALSE(fs::exists(own + "999"));
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::exists(other));
  EXPECT_TRUE(fs::exists(lookalike));
}

TEST(FileReplacement, TemporariesOpenAtOnceHaveTheirOwnNamesAndSurvive) {
  testing::TempFolder dir;
  const std::string target = dir.file("settings");
  std::string first, second;
  const int a = openReplacement(target, first);
  const int b = openReplacement(target, second);  // must not remove the first
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  EXPECT_NE(first, second);
  EXPECT_TRUE(fs::exists(first));
  EXPECT_TRUE(finishReplacement(a, first, target, true));
  EXPECT_TRUE(finishReplacement(b, second, target, true));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace pg
