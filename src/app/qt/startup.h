#pragma once
// The program's entry sequence and its last steps.
//
//   preStart   the switches (an unknown one is reported and start-up goes on),
//              the colour-depth question where the depth is known, and the
//              single instance: a second normal start hands its files to the
//              first and ends with status 0
//   appInit    the preferences, then the language module beside the program
//              (missing or damaged: "Failed to load ..." and a non-zero status)
//   the main window, the message loop, the preferences saved, the lock released
//
// The order of the process-wide objects: the string table (built in), the
// preferences, the language module, then the windows; they go in reverse.
// SIGTERM and SIGINT close the main window through its normal close path.
//
// With the environment variable PIGMORA_TRACE set, start-up writes a line to
// standard error when the main window is up ("pigmora: ready") and for every
// file handed to it ("pigmora: hand-over <path>").
namespace pg {

// Exit statuses besides 0.
inline constexpr int kExitHandOverFailed = 1;
inline constexpr int kExitLanguageModule = 2;

[[nodiscard]] int runPigmora(int argc, char** argv);

}  // namespace pg
