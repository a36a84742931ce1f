#include "app/help_file.h"

#include <filesystem>
#include <system_error>

namespace pg {

std::string helpFilePath(const std::string& programFolder) {
  const std::filesystem::path folder(programFolder);
  const std::filesystem::path beside = folder / "help" / kHelpPage;
  const std::filesystem::path installed = folder.parent_path() / "share" / "pigmora" / "help" / kHelpPage;
  for (const std::filesystem::path& p : {beside, installed}) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(p, ec)) return p.lexically_normal().string();
  }
  return beside.lexically_normal().string();
}

}  // namespace pg
