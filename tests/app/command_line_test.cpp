#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pg {
namespace {

constexpr const char* kCwd = "/work/here";

struct Case {
  const char* what;
  std::vector<std::string> args;
  StartupState state;
  std::vector<std::string> files;
  std::vector<std::string> unknown;
};

void expectState(const StartupState& got, const StartupState& want) {
  EXPECT_EQ(got.batchMode, want.batchMode);
  EXPECT_EQ(got.viewerMode, want.viewerMode);
  EXPECT_EQ(got.batchOutputFolder, want.batchOutputFolder);
  EXPECT_EQ(got.batchWaitSeconds, want.batchWaitSeconds);
  EXPECT_EQ(got.batchResultWindow, want.batchResultWindow);
}

StartupState render() { return {true, false, "", 0, 0}; }
StartupState viewer() { return {true, true, "", 0, 0}; }
StartupState normal() { return {}; }
StartupState with(StartupState s, const char* folder, int32_t wait, int32_t window) {
  s.batchOutputFolder = folder;
  s.batchWaitSeconds = wait;
  s.batchResultWindow = window;
  return s;
}

TEST(CommandLine, SwitchesFilesAndTheirEdgeCases) {
  const Case cases[] = {
      {"nothing", {}, normal(), {}, {}},
      {"render in capitals", {"-RENDER"}, render(), {}, {}},
      {"render after a slash, mixed case", {"/Render"}, render(), {}, {}},
      {"viewer", {"-viewer"}, viewer(), {}, {}},
      {"render with a tail is unknown", {"-renderx"}, normal(), {}, {"-renderx"}},
      {"a later mode overwrites", {"-viewer", "-render"}, render(), {}, {}},
      {"t alone waits 10 seconds", {"-t"}, with(normal(), "", 10, 0), {}, {}},
      {"t with a colon", {"-t:5"}, with(normal(), "", 5, 0), {}, {}},
      {"t glued", {"-T5"}, with(normal(), "", 5, 0), {}, {}},
      {"t in hexadecimal", {"-t$10"}, with(normal(), "", 16, 0), {}, {}},
      {"negative t means no wait", {"-t:-3"}, with(normal(), "", 0, 0), {}, {}},
      {"t beyond a day is a day", {"-t999999"}, with(normal(), "", kMaxBatchWaitSeconds, 0), {}, {}},
      {"t with letters is reported and ignored", {"-t5", "-tfive"}, with(normal(), "", 5, 0), {}, {"-tfive"}},
      {"t past the 32-bit range", {"-t2147483648"}, normal(), {}, {"-t2147483648"}},
      {"tea: only the letter counts", {"-tea"}, normal(), {}, {"-tea"}},
      {"o alone: empty folder", {"-o"}, normal(), {}, {}},
      {"o and a separate folder: the folder is a file", {"-o", "D:\\out"}, normal(), {"/work/here/D:\\out"}, {}},
      {"o drops one colon", {"-o:/srv/out"}, with(normal(), "/srv/out", 0, 0), {}, {}},
      {"o glued and relative", {"-oout/x"}, with(normal(), "/work/here/out/x", 0, 0), {}, {}},
      {"output sets the folder utput", {"-output"}, with(normal(), "/work/here/utput", 0, 0), {}, {}},
      {"o drops only one colon", {"-o::x"}, with(normal(), "/work/here/:x", 0, 0), {}, {}},
      {"w decimal", {"-w:1234"}, with(normal(), "", 0, 1234), {}, {}},
      {"w hexadecimal wraps", {"/w$FFFFFFFF"}, with(normal(), "", 0, -1), {}, {}},
      {"w negative", {"-w-7"}, with(normal(), "", 0, -7), {}, {}},
      {"w without a value is reported", {"-w"}, normal(), {}, {"-w"}},
      {"w with a sign alone", {"-w:-"}, normal(), {}, {"-w:-"}},
      {"a later w overwrites", {"-w1", "-w2"}, with(normal(), "", 0, 2), {}, {}},
      {"unknown switch goes on", {"-x", "-render", "a.kci"}, render(), {"/work/here/a.kci"}, {"-x"}},
      {"a lone dash", {"-"}, normal(), {}, {"-"}},
      {"render first wins over the letter tests", {"-render", "-rx"}, render(), {}, {"-rx"}},
      {"empty arguments are skipped", {"", "a.png", ""}, normal(), {"/work/here/a.png"}, {}},
      {"absolute paths are never switches", {"/tmp/t.png", "/home/o/w.kci"}, normal(), {"/tmp/t.png", "/home/o/w.kci"}, {}},
      {"a slash switch with a path in it is a file", {"/o:/srv"}, normal(), {"/o:/srv"}, {}},
      {"relative paths are resolved and tidied", {"../x/./y.kci", "./z.png", "a//b/"}, normal(), {"/work/here/../x/y.kci", "/work/here/z.png", "/work/here/a/b"}, {}},
      {"files keep their order", {"c", "-t", "a", "b"}, with(normal(), "", 10, 0), {"/work/here/c", "/work/here/a", "/work/here/b"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CommandLine cl = parseCommandLine(c.args, kCwd);
    expectState(cl.state, c.state);
    EXPECT_EQ(cl.files, c.files);
    EXPECT_EQ(cl.unknownSwitches, c.unknown);
  }
}

TEST(CommandLine, UntrustedLengthsAreBounded) {
  const std::string longPath = "/p/" + std::string(kMaxPathBytes + 10, 'p');
  const std::string longSwitch = "-" + std::string(10000, 'z');
  const std::string longFolder = "-o" + std::string(kMaxPathBytes + 1, 'f');
  const CommandLine cl = parseCommandLine({longPath, longSwitch, longFolder, "ok.png"}, kCwd);
  EXPECT_EQ(cl.files, std::vector<std::string>{"/work/here/ok.png"});
  ASSERT_EQ(cl.droppedFiles.size(), 1u);
  ASSERT_EQ(cl.unknownSwitches.size(), 2u);
  for (const std::string& s : cl.unknownSwitches) EXPECT_LE(s.size(), 260u);
  EXPECT_TRUE(cl.state.batchOutputFolder.empty());
}

TEST(CommandLine, ArgvFormSkipsTheProgramName) {
  const char* argv[] = {"pigmora", "-viewer", "-t:3", "pic.kci", nullptr};
  const CommandLine cl = parseCommandLine(4, argv, "/");
  EXPECT_TRUE(cl.state.viewerMode);
  EXPECT_EQ(cl.state.batchWaitSeconds, 3);
  EXPECT_EQ(cl.files, std::vector<std::string>{"/pic.kci"});
}

TEST(CommandLine, IntegerConversions) {
  struct Conv {
    const char* text;
    bool ok;
    int32_t value;
  };
  const Conv convs[] = {
      {"0", true, 0},          {"2147483647", true, 2147483647}, {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0}, {"$7fffffff", true, INT32_MAX},   {"$80000000", true, INT32_MIN},
      {"$100000000", false, 0}, {"$", false, 0},                  {"", false, 0},
      {"+12", true, 12},        {"1 2", false, 0},                {"0x10", false, 0},
      {"-$1", true, -1},        {"$aB", true, 171},
  };
  for (const Conv& c : convs) {
    SCOPED_TRACE(c.text);
    int32_t v = 0;
    EXPECT_EQ(parseSwitchInteger(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(CommandLine, UnknownSwitchTextNamesTheWholeArgument) {
  EXPECT_EQ(unknownSwitchText("/q"), "unknown command line switch!\r    arg = /q");
  // A percent sign in the argument is not a placeholder.
  EXPECT_EQ(unknownSwitchText("-%s%n"), "unknown command line switch!\r    arg = -%s%n");
}

TEST(CommandLine, ProcessWideStateIsSetOnceAndResettable) {
  resetStartupState();
  EXPECT_FALSE(startupState().batchMode);
  setStartupState(render());
  EXPECT_TRUE(startupState().batchMode);
  resetStartupState();
  EXPECT_FALSE(startupState().batchMode);
}

}  // namespace
}  // namespace pg
