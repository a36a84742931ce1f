#include "platform/format_directives.h"

#include <algorithm>

namespace pg {

FormatSpec parseFormatSpec(std::string_view format, size_t& pos) {
  FormatSpec spec;
  const size_t start = pos++;
  while (pos < format.size() && std::string_view("-+ #0").find(format[pos]) != std::string_view::npos)
    spec.flags += format[pos++];
  auto number = [&](int& value) {
    value = 0;
    while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
      value = std::min(value * 10 + (format[pos] - '0'), kMaxFormatField);
      ++pos;
    }
  };
  if (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') number(spec.width);
  if (pos < format.size() && format[pos] == '.') {
    ++pos;
    number(spec.precision);
  }
  if (pos < format.size()) spec.conversion = format[pos++];
  spec.written = format.substr(start, pos - start);
  return spec;
}

std::vector<std::string> formatConversions(std::string_view format) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < format.size()) {
    if (format[i] != '%') {
      ++i;
    } else if (i + 1 < format.size() && format[i + 1] == '%') {
      i += 2;
    } else {
      out.emplace_back(parseFormatSpec(format, i).written);
    }
  }
  return out;
}

}  // namespace pg
