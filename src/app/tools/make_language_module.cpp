// Build step: checks a language module source against the built-in string
// table and writes it as the module beside the program. The build fails when
// the module is damaged (it would be refused at start-up) or leaves an id of
// the built-in table without a text.
//   make_language_module <module source> <module file to write>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/string_table.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <module source> <module file>\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot read\n", argv[1]);
    return 1;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const pg::ResourceModuleCheck check = pg::checkResourceModule(text);
  if (check.result != pg::ResourceModuleResult::Ok) {
    std::fprintf(stderr, "%s: %s\n", argv[1], check.problem.c_str());
    return 1;
  }
  if (!check.missingIds.empty()) {
    for (uint32_t id : check.missingIds) std::fprintf(stderr, "%s: no text for id %u\n", argv[1], unsigned(id));
    return 1;
  }
  const std::string target = argv[2];
  const std::string temporary = target + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
      std::fprintf(stderr, "%s: cannot write\n", temporary.c_str());
      return 1;
    }
  }
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    std::fprintf(stderr, "%s: cannot write\n", target.c_str());
    return 1;
  }
  return 0;
}
