#include "ui/tab_layout.h"

#include <cmath>

namespace pg {

std::vector<int32_t> tabLefts(const std::vector<int32_t>& widths, int32_t controlWidth) {
  std::vector<int32_t> lefts;
  int32_t x = 4;
  for (const int32_t w : widths) {
    lefts.push_back(x);
    x += w - 9;
  }
  const auto n = static_cast<int32_t>(widths.size());
  const int32_t right = n > 0 ? lefts.back() + widths.back() : 0;
  const int32_t excess = right - (controlWidth - 38);
  if (n >= 2 && excess > 0)
    for (int32_t i = 1; i < n; ++i)
      lefts[static_cast<size_t>(i)] -= static_cast<int32_t>(std::trunc(static_cast<double>(i) * excess / (n - 1) + 0.5));
  return lefts;
}

std::vector<int32_t> tabDrawOrder(int32_t count, int32_t active) {
  std::vector<int32_t> order;
  if (active < 0 || active >= count) active = count - 1;
  for (int32_t i = 0; i < active; ++i) order.push_back(i);
  for (int32_t i = count - 1; i > active; --i) order.push_back(i);
  if (count > 0) order.push_back(active);
  return order;
}

std::string pathCaption(const std::string& path, bool modified) { return modified ? path + "*" : path; }

}  // namespace pg
