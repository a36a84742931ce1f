#include "app/command_line.h"

#include <algorithm>
#include <filesystem>

#include "platform/message_service.h"

namespace pg {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

// The value of an "o", "t" or "w" switch: the name without its letter and
// without one ":" right after it.
std::string_view switchValue(std::string_view name) {
  name.remove_prefix(1);
  if (!name.empty() && name.front() == ':') name.remove_prefix(1);
  return name;
}

StartupState& state() {
  static StartupState s;
  return s;
}

}  // namespace

bool isSwitchArgument(std::string_view arg) {
  if (arg.empty()) return false;
  if (arg.front() == '-') return true;
  // A leading "/" would make every absolute path a switch: only "/name"
  // without a further separator counts.
  return arg.front() == '/' && arg.find('/', 1) == std::string_view::npos;
}

bool parseSwitchInteger(std::string_view text, int32_t& value) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const bool hex = !text.empty() && text.front() == '$';
  if (hex) text.remove_prefix(1);
  if (text.empty()) return false;
  uint64_t n = 0;
  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    n = n * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (n > limit) return false;
  }
  // Hexadecimal text is a bit pattern: $FFFFFFFF is -1.
  uint32_t bits = static_cast<uint32_t>(n);
  if (negative) bits = 0u - bits;
  value = static_cast<int32_t>(bits);
  return true;
}

std::string absolutePath(std::string_view path, std::string_view workingFolder) {
  std::filesystem::path p{std::string(path)};
  if (p.is_relative()) p = std::filesystem::path{std::string(workingFolder)} / p;
  // "." and empty components go; ".." stays, since the folder before it may
  // be a link that the system resolves differently from the text.
  std::filesystem::path out;
  for (const auto& part : p) {
    if (part.empty() || part == ".") continue;
    out /= part;
  }
  return out.empty() ? std::string("/") : out.string();
}

std::string unknownSwitchText(std::string_view arg) {
  return formatText("unknown command line switch!\r    arg = %s", {arg});
}

CommandLine parseCommandLine(const std::vector<std::string>& args, std::string_view workingFolder) {
  CommandLine out;
  StartupState& s = out.state;
  // A reported argument is cut short: it ends up in a message box.
  auto report = [&out](const std::string& arg) {
    out.unknownSwitches.push_back(arg.size() > 256 ? arg.substr(0, 256) + "..." : arg);
  };
  for (const std::string& arg : args) {
    if (arg.empty()) continue;
    if (!isSwitchArgument(arg)) {
      if (arg.size() > kMaxPathBytes)
        out.droppedFiles.push_back(arg.substr(0, 64) + "...");
      else
        out.files.push_back(absolutePath(arg, workingFolder));
      continue;
    }
    const std::string_view name = std::string_view(arg).substr(1);
    const char letter = name.empty() ? '\0' : lowerAscii(name.front());
    if (equalsNoCase(name, "render")) {
      s.batchMode = true;
      s.viewerMode = false;
    } else if (equalsNoCase(name, "viewer")) {
      s.batchMode = true;
      s.viewerMode = true;
    } else if (letter == 'o') {
      const std::string_view folder = switchValue(name);
      if (folder.size() > kMaxPathBytes)
        report(arg);
      else
        s.batchOutputFolder = folder.empty() ? std::string() : absolutePath(folder, workingFolder);
    } else if (letter == 't') {
      const std::string_view text = switchValue(name);
      int32_t seconds = 10;  // "t" alone
      if (!text.empty() && !parseSwitchInteger(text, seconds)) {
        report(arg);
        continue;
      }
      // No wait at 0 or below; a wait beyond a day is a typing slip.
      s.batchWaitSeconds = seconds < 0 ? 0 : std::min(seconds, kMaxBatchWaitSeconds);
    } else if (letter == 'w') {
      int32_t window = 0;
      if (!parseSwitchInteger(switchValue(name), window)) {
        report(arg);
        continue;
      }
      s.batchResultWindow = window;
    } else {
      report(arg);
    }
  }
  return out;
}

CommandLine parseCommandLine(int argc, const char* const* argv, std::string_view workingFolder) {
  std::vector<std::string> args;
  for (int i = 1; i < argc && argv; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  return parseCommandLine(args, workingFolder);
}

const StartupState& startupState() { return state(); }
void setStartupState(const StartupState& s) { state() = s; }
void resetStartupState() { state() = StartupState{}; }

}  // namespace pg
