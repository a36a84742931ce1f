#pragma once
// Where the help pages sit: in the folder "help" beside the program (a
// build), or in share/pigmora/help of the prefix the program was installed
// to (the program in <prefix>/bin).
#include <string>

namespace pg {

inline constexpr const char* kHelpPage = "index.html";

// The help page of a program folder: the first of the two places that holds
// it; when neither does, the place beside the program (which the failure
// message then names).
std::string helpFilePath(const std::string& programFolder);

}  // namespace pg
