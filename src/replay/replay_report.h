#pragma once
// The event report shown after an interactive replay: how the replay ended,
// the document's name, the time it took, the steps it made and up to ten
// small pictures of its progress in an index of two rows of five. This is
// its content and geometry; the dialog shows it (never in the batch modes).
#include <array>
#include <cstdint>
#include <string>

#include "core/rect.h"

namespace pg {

class TMTC;

inline constexpr int kReportImages = 10;
inline constexpr int32_t kReportIndexWidth = 512;
inline constexpr int32_t kReportIndexHeight = 206;

struct TEventReportParam {
  uint8_t outcome = 0;  // 0 finished, 1 interrupted by the user, 2 stopped by an error
  std::string name;
  uint32_t elapsed = 0;  // milliseconds
  uint32_t steps = 0;
  std::array<const TMTC*, kReportImages> images{};  // row by row; null leaves a cell empty
};

// The report's outcome of a window's end kind (0 normal, 1 by the user,
// 3 on an error).
uint8_t reportOutcomeOfEndKind(uint8_t endKind);

struct SHms {
  uint32_t hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
  friend bool operator==(const SHms&, const SHms&) = default;
};
SHms msToHMS(uint32_t ms);

// "イベントの再生が終了しました" and its two siblings.
std::string reportStateText(uint8_t outcome);
// "12 秒 045", with "2 分 " and "1 時間 " in front when they are not 0.
std::string reportTimeText(uint32_t ms);
// "%d ステップ".
std::string reportStepText(uint32_t steps);
// Where an image of w x h lies in the index: row 0..1, column 0..4.
TPoint reportCellOrigin(int32_t row, int32_t column, int32_t w, int32_t h);

}  // namespace pg
