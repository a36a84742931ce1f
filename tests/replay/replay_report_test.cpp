// The event report's texts and the places of its index pictures.
#include <gtest/gtest.h>

#include "platform/string_table.h"
#include "replay/replay_report.h"

namespace pg {
namespace {

TEST(ReplayReport, ElapsedTimesAreSplitAndWritten) {
  struct Case {
    uint32_t ms;
    SHms hms;
    const char* text;
  };
  for (const Case& c : std::vector<Case>{{3725004, {1, 2, 5, 4}, "1 時間 2 分 5 秒 004"},
                                         {59999, {0, 0, 59, 999}, "59 秒 999"},
                                         {0, {0, 0, 0, 0}, "0 秒 000"},
                                         {60000, {0, 1, 0, 0}, "1 分 0 秒 000"},
                                         {3600045, {1, 0, 0, 45}, "1 時間 0 秒 045"},
                                         {4294967295u, {1193, 2, 47, 295}, "1193 時間 2 分 47 秒 295"}}) {
    EXPECT_EQ(msToHMS(c.ms), c.hms) << c.ms;
    EXPECT_EQ(reportTimeText(c.ms), c.text) << c.ms;
  }
}

TEST(ReplayReport, OutcomesStepsAndEndKinds) {
  EXPECT_EQ(reportStateText(0), "イベントの再生が終了しました");
  EXPECT_EQ(reportStateText(1), "イベントの再生を中断しました");
  EXPECT_EQ(reportStateText(2), "エラーによりイベントの再生を中止しました");
  EXPECT_EQ(reportStepText(1234), "1234 ステップ");
  // The window ends a replay on an error with kind 3; the report calls it 2.
  EXPECT_EQ(reportOutcomeOfEndKind(0), 0);
  EXPECT_EQ(reportOutcomeOfEndKind(1), 1);
  EXPECT_EQ(reportOutcomeOfEndKind(3), 2);
}

TEST(ReplayReport, IndexCellsCentreTheirPictures) {
  struct Case {
    int32_t row, column, w, h;
    TPoint at;
  };
  for (const Case& c : std::vector<Case>{{0, 0, 96, 96, {4, 4}},
                                         {0, 0, 96, 72, {4, 16}},
                                         {1, 4, 72, 96, {12 + 408 + 4, 106}},
                                         {1, 2, 1, 96, {48 + 204 + 4, 106}},
                                         {0, 3, 95, 10, {1 + 306 + 4, 43 + 4}}})
    EXPECT_EQ(reportCellOrigin(c.row, c.column, c.w, c.h), c.at) << c.row << "," << c.column;
}

}  // namespace
}  // namespace pg
