#pragma once
// The file a page goes to when there is no printer: every print proposes a
// name of its own, so that a later print never lands on an earlier one.
#include <string>

namespace pg {

// The first of "<stem>.pdf", "<stem>-2.pdf", "<stem>-3.pdf" ... in the folder
// that names no existing file. A stem without letters or digits left (or an
// empty one) becomes "print".
std::string freePrintFileName(const std::string& folder, const std::string& stem);

}  // namespace pg
