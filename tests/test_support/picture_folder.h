#pragma once
// Where a test writes pictures for a person to look at. With
// PIGMORA_PICTURE_DIR set, the named subfolder of that folder, made when
// missing, whose files stay; otherwise the subfolder of a temporary folder
// that goes when the test program ends. Never the working directory, which
// may be the source tree.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "test_support/temp_folder.h"

namespace pg::testing {

inline std::string pictureFolder(const std::string& name) {
  std::filesystem::path base;
  if (const char* dir = std::getenv("PIGMORA_PICTURE_DIR"); dir != nullptr && *dir != '\0') {
    base = dir;
  } else {
    static TempFolder temporary;
    base = temporary.path();
  }
  const std::filesystem::path folder = base / name;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return folder.string();
}

}  // namespace pg::testing
