#pragma once
// The printf-like placeholder syntax of message texts: one grammar for the
// formatter and for the check that a language module's text takes the same
// values as the built-in one.
#include <string>
#include <string_view>
#include <vector>

namespace pg {

// One "%..." of a format text: %[flags][width][.precision]conversion.
struct FormatSpec {
  std::string_view written;  // the characters of the placeholder as they stand
  std::string flags;         // of "-+ #0"
  int width = -1;            // -1: none; clamped to kMaxFormatField
  int precision = -1;        // -1: none; clamped to kMaxFormatField
  char conversion = 0;       // 0 when the text ends inside the placeholder
};

// Widths and precisions beyond this are clamped: a format text may come from
// a language module file.
inline constexpr int kMaxFormatField = 1024;

// Reads the placeholder that starts at format[pos] (a '%' that does not begin
// "%%") and moves pos past it.
FormatSpec parseFormatSpec(std::string_view format, size_t& pos);

// The placeholders of a text in order, as written ("%s", "%2.2d", a lone
// "%" at the end, "%q"); "%%" is a literal and not listed. Two texts with the
// same list take the same values.
std::vector<std::string> formatConversions(std::string_view format);

}  // namespace pg
