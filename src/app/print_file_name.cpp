#include "app/print_file_name.h"

#include <filesystem>
#include <system_error>

namespace pg {

namespace {

// The document's name as a file stem: its folder and extension go, and
// characters a file name cannot hold become "_".
std::string cleanStem(const std::string& stem) {
  std::string name = std::filesystem::path(stem).stem().string();
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20) c = '_';
  bool any = false;
  for (char c : name) any = any || (c != '_' && c != '.' && c != ' ');
  return any ? name : std::string("print");
}

}  // namespace

std::string freePrintFileName(const std::string& folder, const std::string& stem) {
  const std::string base = cleanStem(stem);
  const std::filesystem::path dir(folder.empty() ? std::string(".") : folder);
  for (int n = 1;; ++n) {
    std::filesystem::path candidate = dir / (n == 1 ? base + ".pdf" : base + "-" + std::to_string(n) + ".pdf");
    std::error_code ec;
    // A name whose existence cannot be told is passed over as well.
    if (!std::filesystem::exists(candidate, ec) && !ec) return candidate.string();
    if (n >= 100000) return (dir / (base + "-new.pdf")).string();
  }
}

}  // namespace pg
