#pragma once
// What the main window's status bar shows, and where its panels lie: the
// texts and geometry without the widgets, so they test without a display.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace pg {

inline constexpr int kStatusPanelCount = 7;

// Panel widths for a bar of the given width: 0 and 1 are 64 pixels, 2 is 128,
// 3 takes what the others leave (never below 0), 4 is 32, 5 is 80, 6 is 112.
std::array<int, kStatusPanelCount> statusPanelWidths(int barWidth);

// The panel under a point, found by adding the widths from the left; nullopt
// right of the last panel or left of the bar.
[[nodiscard]] std::optional<int> statusPanelAt(int x, int barWidth);

// Horizontal centre of a panel, where its pop-up menu opens.
int statusPanelCentre(int panel, int barWidth);

// "%.1f %" of a zoom percentage.
std::string formatZoomStatus(float percent);
// "%.1f °" of a view angle, with its sign inverted (the view turns the other
// way than the picture).
std::string formatAngleStatus(float degrees);
// "<w> × <h> px".
std::string formatImageSizeStatus(int32_t width, int32_t height);
// "<label> : <n> Bytes/KB/MB/GB": a unit is used only above its size, so
// exactly 1,024 bytes stay in bytes.
std::string formatMemoryStatus(const std::string& label, uint64_t bytes);

// What panel 2 shows.
enum class SizePanelChoice : uint8_t { ImageSize, TotalMemory, LayerMemory, UndoMemory };

// The zoom steps of the zoom pop-up, as ratios.
struct SZoomStep {
  int32_t num, den;
  double ratio() const { return double(num) / double(den); }
};
inline constexpr std::array<SZoomStep, 17> kZoomMenuSteps = {{{1, 16}, {1, 12}, {1, 8}, {1, 6}, {1, 4}, {1, 3},
                                                              {1, 2},  {2, 3},  {1, 1}, {3, 2}, {2, 1}, {3, 1},
                                                              {4, 1},  {6, 1},  {8, 1}, {12, 1}, {16, 1}}};
// The zoom pop-up entry that equals the ratio within 0.0001, if any.
[[nodiscard]] std::optional<int> zoomMenuEntryFor(double ratio);

// The rotation pop-up: 0°, 90°, 180°, 270° set the view to 0, -90, -180, -270.
inline constexpr std::array<float, 4> kRotateMenuAngles = {0.0f, -90.0f, -180.0f, -270.0f};

}  // namespace pg
