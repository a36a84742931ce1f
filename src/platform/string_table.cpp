#include "platform/string_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "platform/file_io.h"
#include "platform/format_directives.h"
#include "platform/text_codec.h"

namespace pg {

extern const char* const kBuiltinStringTable;  // generated from data/strings.ja.txt

namespace {

using Table = std::unordered_map<uint32_t, std::string>;

// Resolves the escapes of a text. Strict: a backslash before anything but n,
// r, t or a backslash, or at the end, answers false; lenient: it stays as
// written.
[[nodiscard]] bool unescape(std::string_view s, std::string& out, bool strict) {
  out.clear();
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (i + 1 == s.size()) {
      if (strict) return false;
      out += '\\';
      continue;
    }
    char c = s[++i];
    switch (c) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '\\': out += '\\'; break;
      default:
        if (strict) return false;
        out += '\\';
        out += c;
        break;
    }
  }
  return true;
}

// Cuts the next line off text (without its "\n" or "\r\n").
std::string_view nextLine(std::string_view& text) {
  size_t eol = text.find('\n');
  std::string_view line = text.substr(0, eol);
  text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Splits "<id><TAB><text>"; false when the id is not a plain decimal number
// that fits 32 bits or there is no tab.
[[nodiscard]] bool splitEntry(std::string_view line, uint32_t& id, std::string_view& text) {
  size_t tab = line.find('\t');
  if (tab == std::string_view::npos || tab == 0) return false;
  auto [end, ec] = std::from_chars(line.data(), line.data() + tab, id);
  if (ec != std::errc{} || end != line.data() + tab) return false;
  text = line.substr(tab + 1);
  return true;
}

int parseInto(std::string_view text, Table& table) {
  int taken = 0;
  while (!text.empty()) {
    std::string_view line = nextLine(text);
    if (line.empty() || line.front() == '#') continue;
    uint32_t id = 0;
    std::string_view raw;
    if (!splitEntry(line, id, raw)) continue;
    (void)unescape(raw, table[id], false);  // lenient: a stray backslash stays as written
    ++taken;
  }
  return taken;
}

const Table& builtin() {
  static const Table table = [] {
    Table t;
    parseInto(kBuiltinStringTable, t);
    return t;
  }();
  return table;
}

Table& overrides() {
  static Table table;
  return table;
}

// Valid UTF-8 without control characters (line breaks and tabs are written
// as escapes in the file).
[[nodiscard]] bool isCleanText(std::string_view s) {
  size_t pos = 0;
  while (pos < s.size()) {
    const size_t start = pos;
    const char32_t c = nextUtf8(s, pos);
    if (c < 0x20 || c == 0x7F) return false;
    if (c == 0xFFFD && s.substr(start, pos - start) != "\xEF\xBF\xBD") return false;
  }
  return true;
}

// Checks a module's text and, when sound, fills table with its entries.
ResourceModuleCheck checkModule(std::string_view text, Table& table) {
  ResourceModuleCheck check;
  auto fail = [&](size_t lineNo, const std::string& why) {
    check.result = ResourceModuleResult::Damaged;
    check.problem = (lineNo ? "line " + std::to_string(lineNo) + ": " : std::string()) + why;
    table.clear();
    return check;
  };
  if (text.size() > kMaxResourceModuleBytes) return fail(0, "the file is larger than the limit");
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a byte-order mark of an editor
  if (nextLine(text) != kResourceModuleHeader)
    return fail(1, "the header \"" + std::string(kResourceModuleHeader) + "\" is missing");
  size_t lineNo = 1;
  while (!text.empty()) {
    std::string_view line = nextLine(text);
    ++lineNo;
    if (line.empty() || line.front() == '#') continue;
    uint32_t id = 0;
    std::string_view raw;
    if (!splitEntry(line, id, raw)) return fail(lineNo, "not <id><TAB><text>");
    std::string value;
    if (raw.empty()) return fail(lineNo, "empty text");
    if (!unescape(raw, value, true)) return fail(lineNo, "bad escape");
    if (!isCleanText(raw)) return fail(lineNo, "not clean UTF-8 text");
    auto known = builtin().find(id);
    if (known == builtin().end()) return fail(lineNo, "unknown id " + std::to_string(id));
    if (formatConversions(value) != formatConversions(known->second))
      return fail(lineNo, "the placeholders of id " + std::to_string(id) + " differ from the built-in text");
    if (!table.emplace(id, std::move(value)).second) return fail(lineNo, "id " + std::to_string(id) + " given twice");
  }
  for (const auto& [id, unused] : builtin())
    if (!table.count(id)) check.missingIds.push_back(id);
  std::sort(check.missingIds.begin(), check.missingIds.end());
  check.result = ResourceModuleResult::Ok;
  return check;
}

// Reads a whole regular file of at most limit bytes. Missing: it cannot be
// opened or read (a folder, a device, no permission); Damaged: it is larger.
[[nodiscard]] ResourceModuleResult readBounded(const std::string& path, size_t limit, std::string& out) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ResourceModuleResult::Missing;
  struct stat st{};
  ResourceModuleResult result = ResourceModuleResult::Ok;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    result = ResourceModuleResult::Missing;
  } else if (st.st_size < 0 || uint64_t(st.st_size) > limit) {
    result = ResourceModuleResult::Damaged;
  } else {
    out.resize(limit + 1);  // one byte more shows a file that grew meanwhile
    int64_t got = readFully(fd, out.data(), int64_t(out.size()));
    if (got < 0) {
      result = ResourceModuleResult::Missing;
    } else if (uint64_t(got) > limit) {
      result = ResourceModuleResult::Damaged;
    } else {
      out.resize(size_t(got));
    }
  }
  ::close(fd);
  if (result != ResourceModuleResult::Ok) out.clear();
  return result;
}

}  // namespace

std::string resString(uint32_t id) {
  if (auto it = overrides().find(id); it != overrides().end()) return it->second;
  if (auto it = builtin().find(id); it != builtin().end()) return it->second;
  return {};
}

bool hasResString(uint32_t id) { return overrides().count(id) || builtin().count(id); }

int overrideResStrings(std::string_view tableText) { return parseInto(tableText, overrides()); }

std::string resourceModulePath(std::string_view programPath) {
  std::string path(programPath);
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
  return path + ".enu";
}

ResourceModuleCheck checkResourceModule(std::string_view fileText) {
  Table table;
  return checkModule(fileText, table);
}

ResourceModuleResult installResourceModule(const std::string& path) {
  std::string text;
  if (ResourceModuleResult read = readBounded(path, kMaxResourceModuleBytes, text); read != ResourceModuleResult::Ok)
    return read;
  Table table;
  if (checkModule(text, table).result != ResourceModuleResult::Ok) return ResourceModuleResult::Damaged;
  overrides() = std::move(table);
  return ResourceModuleResult::Ok;
}

void resetResStrings() { overrides().clear(); }

}  // namespace pg
