#include "app/status_bar_model.h"

#include <algorithm>
#include <cmath>

#include "app/action_table.h"
#include "platform/message_service.h"
#include "platform/string_table.h"

namespace pg {

namespace {
constexpr uint32_t kResTimesSign = 65076;  // "×"
}

std::array<int, kStatusPanelCount> statusPanelWidths(int barWidth) {
  return {64, 64, 128, std::max(0, barWidth - 480), 32, 80, 112};
}

std::optional<int> statusPanelAt(int x, int barWidth) {
  if (x < 0) return std::nullopt;
  int right = 0;
  auto widths = statusPanelWidths(barWidth);
  for (int i = 0; i < kStatusPanelCount; ++i) {
    right += widths[i];
    if (x < right) return i;
  }
  return std::nullopt;
}

int statusPanelCentre(int panel, int barWidth) {
  auto widths = statusPanelWidths(barWidth);
  int left = 0;
  for (int i = 0; i < panel && i < kStatusPanelCount; ++i) left += widths[i];
  return left + widths[std::clamp(panel, 0, kStatusPanelCount - 1)] / 2;
}

std::string formatZoomStatus(float percent) { return formatText("%.1f %%", {double(percent)}); }

std::string formatAngleStatus(float degrees) {
  // -0.0 would print as "-0.0": an unturned view reads 0.0.
  double shown = degrees == 0.0f ? 0.0 : -double(degrees);
  return formatText("%.1f %s", {shown, "°"});
}

std::string formatImageSizeStatus(int32_t width, int32_t height) {
  std::string times = resString(kResTimesSign);
  if (times.empty()) times = "×";
  return formatText("%d %s %d px", {int64_t(width), times, int64_t(height)});
}

std::string formatMemoryStatus(const std::string& label, uint64_t bytes) {
  constexpr double kKB = 1024.0, kMB = 1048576.0, kGB = 1073741824.0;
  double b = double(bytes);
  if (b > kGB) return formatText("%s : %.2f GB", {label, b / kGB});
  if (b > kMB) return formatText("%s : %.2f MB", {label, b / kMB});
  if (b > kKB) return formatText("%s : %.2f KB", {label, b / kKB});
  return formatText("%s : %d Bytes", {label, int64_t(bytes)});
}

std::optional<int> zoomMenuEntryFor(double ratio) {
  for (size_t i = 0; i < kZoomMenuSteps.size(); ++i)
    if (std::fabs(kZoomMenuSteps[i].ratio() - ratio) < 0.0001) return int(i);
  return std::nullopt;
}

}  // namespace pg
