#include "replay/replay_report.h"

#include "platform/message_service.h"
#include "platform/string_table.h"

namespace pg {

namespace {
constexpr uint32_t kResFinished = 67301;
constexpr uint32_t kResSeconds = 67306;
constexpr uint32_t kResMinutes = 67307;
constexpr uint32_t kResHours = 67308;
constexpr uint32_t kResSteps = 67309;
}  // namespace

uint8_t reportOutcomeOfEndKind(uint8_t endKind) {
  switch (endKind) {
    case 0: return 0;
    case 1: return 1;
    default: return 2;
  }
}

SHms msToHMS(uint32_t ms) {
  SHms t;
  t.hours = ms / 3600000;
  ms -= t.hours * 3600000;
  t.minutes = ms / 60000;
  ms -= t.minutes * 60000;
  t.seconds = ms / 1000;
  t.milliseconds = ms - t.seconds * 1000;
  return t;
}

std::string reportStateText(uint8_t outcome) { return resString(kResFinished + (outcome <= 2 ? outcome : 2)); }

std::string reportTimeText(uint32_t ms) {
  const SHms t = msToHMS(ms);
  std::string text = formatText("%d %s %3.3d", {t.seconds, resString(kResSeconds), t.milliseconds});
  if (t.minutes != 0) text = formatText("%d %s ", {t.minutes, resString(kResMinutes)}) + text;
  if (t.hours != 0) text = formatText("%d %s ", {t.hours, resString(kResHours)}) + text;
  return text;
}

std::string reportStepText(uint32_t steps) { return formatRes(kResSteps, {steps}); }

TPoint reportCellOrigin(int32_t row, int32_t column, int32_t w, int32_t h) {
  return TPoint{(97 - w) / 2 + 102 * column + 4, (97 - h) / 2 + 102 * row + 4};
}

}  // namespace pg
