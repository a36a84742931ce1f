#include "platform/string_table.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace pg {

extern const char* const kBuiltinStringTable;  // generated from data/strings.ja.txt

namespace {

using Table = std::unordered_map<uint32_t, std::string>;

std::string unescape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char c = s[++i];
    switch (c) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '\\': out += '\\'; break;
      default: out += '\\'; out += c; break;
    }
  }
  return out;
}

int parseInto(std::string_view text, Table& table) {
  int taken = 0;
  while (!text.empty()) {
    size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    uint32_t id = 0;
    auto [end, ec] = std::from_chars(line.data(), line.data() + tab, id);
    if (ec != std::errc{} || end != line.data() + tab) continue;
    table[id] = unescape(line.substr(tab + 1));
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

ResourceModuleResult installResourceModule(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return ResourceModuleResult::Missing;
  std::ostringstream text;
  text << in.rdbuf();
  Table table;
  if (parseInto(text.str(), table) == 0) return ResourceModuleResult::Damaged;
  for (auto& [id, s] : table) overrides()[id] = std::move(s);
  return ResourceModuleResult::Ok;
}

void resetResStrings() { overrides().clear(); }

}  // namespace pg
