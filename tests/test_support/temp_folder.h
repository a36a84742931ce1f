#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the object goes.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstddef>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

namespace pg::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pg-test-XXXXXX").string();
    if (const char* made = ::mkdtemp(pattern.data()))
      path_ = made;
    else
      ADD_FAILURE() << "no temporary folder could be made from " << pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The full name of a file in the folder (the folder itself for "").
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // How many files and folders the folder holds.
  size_t entries() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
  }

 private:
  std::filesystem::path path_;
};

}  // namespace pg::testing
