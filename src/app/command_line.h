#pragma once
// The command line and the process-wide start-up state it sets.
//
// An argument that begins with "-" (or with "/" and has no further "/", so
// that an absolute path is never taken for a switch) is a switch; its name is
// the rest. Names compare without regard to ASCII case, and the first test
// that matches wins: "render" and "viewer" whole, then the first letter "o",
// "t" or "w", whose value is glued to it after one optional ":". Later
// switches overwrite earlier ones. Every other non-empty argument is a file
// to open, made absolute against the working folder.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

// Longest path or folder taken from the command line or a hand-over (the
// longest path the system accepts).
inline constexpr size_t kMaxPathBytes = 4096;

// The start-up state: set once before the main window exists, read by the
// main window and by the document window's batch run.
struct StartupState {
  bool batchMode = false;          // "render" or "viewer" was given
  bool viewerMode = false;         // the batch mode is "viewer"
  std::string batchOutputFolder;   // "o": where the render mode writes
  int32_t batchWaitSeconds = 0;    // "t": viewer wait before reporting
  int32_t batchResultWindow = 0;   // "w": who receives the batch result
};

// The seconds "t" may ask for: a longer wait is taken as this one.
inline constexpr int32_t kMaxBatchWaitSeconds = 24 * 60 * 60;

struct CommandLine {
  StartupState state;
  // Absolute file paths in command-line order.
  std::vector<std::string> files;
  // Arguments to report as unknown switches, whole (with their "-" or "/"):
  // unknown names, and "t" or "w" values that are not whole numbers.
  std::vector<std::string> unknownSwitches;
  // File arguments dropped because they were longer than kMaxPathBytes.
  std::vector<std::string> droppedFiles;
};

// Parses the arguments after the program name. workingFolder must be
// absolute; relative file arguments and output folders are resolved against it.
CommandLine parseCommandLine(const std::vector<std::string>& args, std::string_view workingFolder);
CommandLine parseCommandLine(int argc, const char* const* argv, std::string_view workingFolder);

// True when the argument is a switch (see above).
bool isSwitchArgument(std::string_view arg);

// A signed 32-bit integer in decimal, or hexadecimal after "$" (an optional
// sign first). Hexadecimal values up to FFFFFFFF wrap into the signed range.
// False for anything else, an empty text or a value out of range.
[[nodiscard]] bool parseSwitchInteger(std::string_view text, int32_t& value);

// The path made absolute against the folder, without "." components and
// doubled or trailing separators. ".." is kept: the system resolves it.
std::string absolutePath(std::string_view path, std::string_view workingFolder);

// The "unknown command line switch!" text for one argument.
std::string unknownSwitchText(std::string_view arg);

// The process-wide start-up state; resetStartupState is for tests.
const StartupState& startupState();
void setStartupState(const StartupState& state);
void resetStartupState();

}  // namespace pg
