#include "platform/message_service.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/debug_output.h"
#include "platform/string_table.h"

namespace pg {
namespace {

TEST(FormatText, PlaceholdersOfTheRuntimesSyntax) {
  struct Case {
    const char* format;
    std::vector<FormatArg> args;
    const char* expected;
  };
  const Case cases[] = {
      {"%s (%s)", {"警告", "Pigmora"}, "警告 (Pigmora)"},
      {"code %d", {-42}, "code -42"},
      {"%3.3d|%2.2d", {7, 5}, "007|05"},
      {"%4d|%-4d|", {12, 12}, "  12|12  |"},
      {"%1.0f %%", {99.6}, "100 %"},
      {"%1.2f x %.1f", {2.0, 0.25}, "2.00 x 0.2"},
      {"%.6g", {1.0 / 3.0}, "0.333333"},
      {"%.8X", {0xBEEFu}, "0000BEEF"},
      {"%u", {uint32_t(0xFFFFFFFF)}, "4294967295"},
      {"%x", {255}, "ff"},
      {"%d", {2.9}, "2"},        // a float for an integer conversion
      {"%.1f", {3}, "3.0"},      // an integer for a float conversion
      {"%s", {17}, "17"},        // a number as text
      {"%5s|%-5s|%.2s", {"ab", "cd", "xyz"}, "   ab|cd   |xy"},
      {"%c", {65}, "A"},
      {"line\rnext %s", {"x"}, "line\rnext x"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatText(c.format, c.args), c.expected) << c.format;
}

TEST(FormatText, BadFormatsStayAsWritten) {
  EXPECT_EQ(formatText("%s and %s", {"one"}), "one and %s");  // too few values
  EXPECT_EQ(formatText("%d", {"text"}), "%d");                 // text for a number
  EXPECT_EQ(formatText("%d %s", {"text", "b"}), "%d b");       // the value is used up all the same
  EXPECT_EQ(formatText("%q %s", {"a"}), "%q a");               // unknown conversion
  EXPECT_EQ(formatText("tail %", {}), "tail %");
  EXPECT_EQ(formatText("tail %5.", {1}), "tail %5.");
  EXPECT_EQ(formatText("plain", {1, 2}), "plain");
  // Huge widths are clamped rather than trusted.
  EXPECT_EQ(formatText("%99999999d", {1}).size(), 1024u);
  EXPECT_EQ(formatText("%.99999999f", {1.5}).size(), 1026u);
}

// Placeholders a damaged or hostile text may hold: none may write memory,
// read a value that is not there or reach what the C library leaves undefined.
TEST(FormatText, HostilePlaceholdersAreHarmless) {
  EXPECT_EQ(formatText("%n%s", {"a"}), "%na");               // no write-back
  EXPECT_EQ(formatText("%ls %lld %hd", {"a", 1, 2}), "%ls %lld %hd");  // length modifiers are not read
  EXPECT_EQ(formatText("%*d|%.*f", {5, 1.5}), "%*d|%.*f");  // no width or precision from the values
  EXPECT_EQ(formatText("%1$s", {"a"}), "%1$s");              // no positions
  EXPECT_EQ(formatText("%#c|%05c|%.3c", {65, 66, 67}), "A|    B|C");
  EXPECT_EQ(formatText("%#d|%#u", {7, 8}), "7|8");
  EXPECT_EQ(formatText("%--------------------------5d|", {1}), "1    |");
  EXPECT_EQ(formatText("%d|%d|%d", {1e300, -1e300, 0.0 / 0.0}),
            "9223372036854775807|-9223372036854775808|0");  // out of range, not undefined
}

TEST(FormatText, FromTheStringTable) {
  overrideResStrings("900100\tファイルが見つかりません!\\r%s\n900101\t%d 個\n");
  EXPECT_EQ(formatRes(900100, {"/tmp/a.kci"}), "ファイルが見つかりません!\r/tmp/a.kci");
  EXPECT_EQ(formatRes(900101, {3}), "3 個");
  EXPECT_EQ(formatRes(900199, {3}), "");  // no such id
  resetResStrings();
}

class MessageServiceTest : public ::testing::Test {
 protected:
  void TearDown() override { setMessageBatchMode(false); }
  RecordingMessageService messages;
  ScopedMessageService install{messages};
};

TEST_F(MessageServiceTest, RoutinesReachTheCurrentService) {
  showWarning("w");
  showMessageBox("m");
  showInfo("i");
  messages.queueAnswer(kMrYes);
  EXPECT_EQ(askConfirm("c", MessageButtons::YesNo), kMrYes);
  messages.queueAnswer(kMrCancel);
  EXPECT_EQ(askYesNoCancel("q"), kMrCancel);
  EXPECT_EQ(askConfirm("d", MessageButtons::OkCancel), kMrCancel);  // no answer queued: refused

  const auto& shown = messages.shown();
  ASSERT_EQ(shown.size(), 6u);
  EXPECT_EQ(shown[0].kind, MessageKind::Warning);
  EXPECT_EQ(shown[1].kind, MessageKind::Warning);
  EXPECT_EQ(shown[1].text, "m");
  EXPECT_EQ(shown[2].kind, MessageKind::Information);
  EXPECT_EQ(shown[3].kind, MessageKind::Question);
  EXPECT_EQ(shown[3].buttons, MessageButtons::YesNo);
  EXPECT_EQ(shown[4].buttons, MessageButtons::YesNoCancel);
  EXPECT_EQ(shown[5].buttons, MessageButtons::OkCancel);

  messages.setDefaultAnswer(kMrOk);
  EXPECT_EQ(askConfirm("e", MessageButtons::OkCancel), kMrOk);
}

TEST_F(MessageServiceTest, MessagesFormattedFromIds) {
  overrideResStrings("900200\t%s を保存できません (%d)\n");
  showWarning(formatRes(900200, {"a.kci", 8}));
  resetResStrings();
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, "a.kci を保存できません (8)");
}

TEST_F(MessageServiceTest, WarningCaptionJoinsTheResourceTextAndTheProduct) {
  EXPECT_EQ(warningCaption(), "警告 (Pigmora)");
  overrideResStrings("65314\tWarning\n");
  EXPECT_EQ(warningCaption(), "Warning (Pigmora)");
  resetResStrings();
}

TEST_F(MessageServiceTest, BatchModeKeepsBoxesAwayAndRefuses) {
  std::vector<std::string> lines;
  DebugSink previous = setDebugSink([&](std::string_view t) { lines.emplace_back(t); });
  setMessageBatchMode(true);
  messages.queueAnswer(kMrYes);
  showWarning("unattended");
  showInfo("note");
  EXPECT_EQ(askConfirm("overwrite?", MessageButtons::YesNo), kMrNo);
  EXPECT_EQ(askConfirm("go on?", MessageButtons::OkCancel), kMrCancel);
  EXPECT_EQ(askYesNoCancel("save?"), kMrNo);
  setDebugSink(previous);
  EXPECT_TRUE(messages.shown().empty());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_NE(lines[0].find("unattended"), std::string::npos);
  EXPECT_NE(lines[4].find("save?"), std::string::npos);

  setMessageBatchMode(false);
  EXPECT_EQ(askConfirm("now?", MessageButtons::YesNo), kMrYes);  // the queued answer
}

TEST(MessageServiceFallback, WithoutAServiceNobodyIsAsked) {
  MessageService* previous = setMessageService(nullptr);
  DebugSink sink = setDebugSink([](std::string_view) {});
  EXPECT_EQ(askConfirm("x", MessageButtons::YesNo), kMrNo);
  EXPECT_EQ(askConfirm("x", MessageButtons::OkCancel), kMrCancel);
  setDebugSink(sink);
  setMessageService(previous);
}

}  // namespace
}  // namespace pg
