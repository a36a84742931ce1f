#include "platform/settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <new>

#include "platform/debug_output.h"
#include "platform/file_io.h"

namespace pg {

// ------------------------------------------------------------------- the tree

namespace {

char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
      auto x = static_cast<unsigned char>(foldAscii(a[i]));
      auto y = static_cast<unsigned char>(foldAscii(b[i]));
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

[[nodiscard]] bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The non-empty components of a key path.
std::vector<std::string_view> splitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < path.size()) {
    while (i < path.size() && isSeparator(path[i])) ++i;
    size_t start = i;
    while (i < path.size() && !isSeparator(path[i])) ++i;
    if (i > start) parts.push_back(path.substr(start, i - start));
  }
  return parts;
}

// A key path the store may hold: at most kSettingsMaxKeyDepth components of
// at most kSettingsMaxNameBytes each. Keeping every path within these bounds
// keeps the tree shallow, so that saving and destroying it never recurse deeply.
[[nodiscard]] bool pathWithinBounds(const std::vector<std::string_view>& parts) {
  if (parts.size() > kSettingsMaxKeyDepth) return false;
  for (std::string_view part : parts)
    if (part.size() > kSettingsMaxNameBytes) return false;
  return true;
}

size_t valueBytes(const SettingValue& value) {
  switch (settingKind(value)) {
    case SettingKind::String: return std::get<std::string>(value).size();
    case SettingKind::Binary: return std::get<std::vector<uint8_t>>(value).size();
    case SettingKind::Integer: break;
  }
  return sizeof(int32_t);
}

}  // namespace

struct CSettingsStore::Key {
  std::map<std::string, std::unique_ptr<Key>, NoCaseLess> subKeys;
  std::map<std::string, SettingValue, NoCaseLess> values;
};

CSettingsStore::CSettingsStore() : root_(std::make_unique<Key>()) {}
CSettingsStore::~CSettingsStore() = default;

CSettingsStore::Key* CSettingsStore::find(std::string_view path) const {
  Key* key = root_.get();
  for (std::string_view part : splitPath(path)) {
    auto it = key->subKeys.find(part);
    if (it == key->subKeys.end()) return nullptr;
    key = it->second.get();
  }
  return key;
}

CSettingsStore::Key* CSettingsStore::make(std::string_view path) {
  try {
    const std::vector<std::string_view> parts = splitPath(path);
    if (!pathWithinBounds(parts)) return nullptr;
    Key* key = root_.get();
    for (std::string_view part : parts) {
      auto it = key->subKeys.find(part);
      if (it == key->subKeys.end()) {
        it = key->subKeys.emplace(std::string(part), std::make_unique<Key>()).first;
        modified_ = true;
      }
      key = it->second.get();
    }
    return key;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool CSettingsStore::keyExists(std::string_view path) const { return find(path) != nullptr; }

bool CSettingsStore::createKey(std::string_view path) { return make(path) != nullptr; }

bool CSettingsStore::deleteKey(std::string_view path) {
  std::vector<std::string_view> parts = splitPath(path);
  if (parts.empty()) return false;
  Key* parent = root_.get();
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    auto it = parent->subKeys.find(parts[i]);
    if (it == parent->subKeys.end()) return false;
    parent = it->second.get();
  }
  auto it = parent->subKeys.find(parts.back());
  if (it == parent->subKeys.end()) return false;
  parent->subKeys.erase(it);
  modified_ = true;
  return true;
}

const SettingValue* CSettingsStore::findValue(std::string_view path, std::string_view name) const {
  const Key* key = find(path);
  if (!key) return nullptr;
  auto it = key->values.find(name);
  return it == key->values.end() ? nullptr : &it->second;
}

bool CSettingsStore::setValue(std::string_view path, std::string_view name, SettingValue value) {
  if (name.size() > kSettingsMaxNameBytes || valueBytes(value) > kSettingsMaxValueBytes) return false;
  Key* key = make(path);
  if (!key) return false;
  try {
    auto it = key->values.find(name);
    if (it == key->values.end()) {
      key->values.emplace(std::string(name), std::move(value));
    } else {
      if (it->second == value) return true;
      it->second = std::move(value);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  modified_ = true;
  return true;
}

bool CSettingsStore::deleteValue(std::string_view path, std::string_view name) {
  Key* key = find(path);
  if (!key) return false;
  auto it = key->values.find(name);
  if (it == key->values.end()) return false;
  key->values.erase(it);
  modified_ = true;
  return true;
}

std::vector<std::string> CSettingsStore::subKeyNames(std::string_view path) const {
  std::vector<std::string> names;
  if (const Key* key = find(path))
    for (const auto& [name, sub] : key->subKeys) names.push_back(name);
  return names;
}

std::vector<std::string> CSettingsStore::valueNames(std::string_view path) const {
  std::vector<std::string> names;
  if (const Key* key = find(path))
    for (const auto& [name, value] : key->values) names.push_back(name);
  return names;
}

// ------------------------------------------------------------ the file format
//
//   PigmoraSettings 1
//   key "Software/Harbelle/Pigmora4/config"
//   int "gridW" 32
//   str "loadPath" "/home/someone/pictures"
//   bin "opaquePaint" 000000000000F03F
//   end
//
// One line per key that holds values or ends a branch (its path from the
// root, components joined by "/"), then one line per value of that key. Names and strings are quoted, with \\, \",
// \n, \r, \t and \xHH escapes for the backslash, the quote and control bytes;
// other bytes (UTF-8 text) stand as they are. Integers are decimal, binary
// values hexadecimal. The closing "end" line tells a whole file from a cut one.

namespace {

constexpr std::string_view kMagicLine = "PigmoraSettings 1";
constexpr size_t kMaxFileBytes = size_t{16} << 20;  // far beyond any real settings file

void appendQuoted(std::string& out, std::string_view s) {
  static const char hex[] = "0123456789ABCDEF";
  out += '"';
  for (char c : s) {
    auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (u < 0x20 || u == 0x7F) {
          out += "\\x";
          out += hex[u >> 4];
          out += hex[u & 15];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the fields of one line; every reader answers false on malformed text.
class LineReader {
 public:
  explicit LineReader(std::string_view line) : s_(line) {}

  [[nodiscard]] bool word(std::string_view& w) {
    size_t end = s_.find(' ', i_);
    if (end == std::string_view::npos) end = s_.size();
    if (end == i_) return false;
    w = s_.substr(i_, end - i_);
    i_ = end;
    return true;
  }
  [[nodiscard]] bool space() {
    if (i_ >= s_.size() || s_[i_] != ' ') return false;
    ++i_;
    return true;
  }
  [[nodiscard]] bool quoted(std::string& out) {
    out.clear();
    if (i_ >= s_.size() || s_[i_] != '"') return false;
    for (++i_; i_ < s_.size(); ++i_) {
      char c = s_[i_];
      if (c == '"') {
        ++i_;
        return true;
      }
      if (c != '\\') {
        out += c;
        continue;
      }
      if (++i_ >= s_.size()) return false;
      switch (s_[i_]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
          if (i_ + 2 >= s_.size()) return false;
          int hi = hexDigit(s_[i_ + 1]), lo = hexDigit(s_[i_ + 2]);
          if (hi < 0 || lo < 0) return false;
          out += static_cast<char>(hi << 4 | lo);
          i_ += 2;
          break;
        }
        default: return false;
      }
    }
    return false;  // no closing quote
  }
  [[nodiscard]] bool atEnd() const { return i_ == s_.size(); }

 private:
  std::string_view s_;
  size_t i_ = 0;
};

[[nodiscard]] bool parseInt32(std::string_view w, int32_t& v) {
  bool negative = !w.empty() && w[0] == '-';
  if (negative) w.remove_prefix(1);
  if (w.empty() || w.size() > 10) return false;
  int64_t n = 0;
  for (char c : w) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (negative) n = -n;
  if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max()) return false;
  v = static_cast<int32_t>(n);
  return true;
}

[[nodiscard]] bool parseHex(std::string_view w, std::vector<uint8_t>& bytes) {
  if (w.size() % 2) return false;
  bytes.clear();
  bytes.reserve(w.size() / 2);
  for (size_t i = 0; i < w.size(); i += 2) {
    int hi = hexDigit(w[i]), lo = hexDigit(w[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes.push_back(static_cast<uint8_t>(hi << 4 | lo));
  }
  return true;
}

[[nodiscard]] bool validKeyPath(std::string_view path) {
  // Components joined by single slashes; the root is the empty path.
  if (path.empty()) return true;
  if (path.front() == '/' || path.back() == '/' || path.find("//") != std::string_view::npos) return false;
  return path.find('\\') == std::string_view::npos;
}

}  // namespace

std::string CSettingsStore::serialize() const {
  static const char hex[] = "0123456789ABCDEF";
  std::string out(kMagicLine);
  out += '\n';
  // Depth first, each key before its sub-keys in name order, with an explicit
  // stack rather than recursion.
  struct Pending {
    const Key* key;
    std::string path;
  };
  std::vector<Pending> stack;
  stack.push_back({root_.get(), std::string()});
  while (!stack.empty()) {
    Pending item = std::move(stack.back());
    stack.pop_back();
    const Key& key = *item.key;
    const std::string& path = item.path;
    // Keys above others are implied by them; a key line is written for keys
    // with values and for empty keys at the ends of branches.
    bool needsLine = !key.values.empty() || (key.subKeys.empty() && !path.empty());
    if (needsLine) {
      out += "key ";
      appendQuoted(out, path);
      out += '\n';
    }
    for (const auto& [name, value] : key.values) {
      switch (settingKind(value)) {
        case SettingKind::Integer:
          out += "int ";
          appendQuoted(out, name);
          out += ' ';
          out += std::to_string(std::get<int32_t>(value));
          break;
        case SettingKind::String:
          out += "str ";
          appendQuoted(out, name);
          out += ' ';
          appendQuoted(out, std::get<std::string>(value));
          break;
        case SettingKind::Binary:
          out += "bin ";
          appendQuoted(out, name);
          out += ' ';
          for (uint8_t b : std::get<std::vector<uint8_t>>(value)) {
            out += hex[b >> 4];
            out += hex[b & 15];
          }
          if (std::get<std::vector<uint8_t>>(value).empty()) out += '-';
          break;
      }
      out += '\n';
    }
    for (auto it = key.subKeys.rbegin(); it != key.subKeys.rend(); ++it)
      stack.push_back({it->second.get(), path.empty() ? it->first : path + "/" + it->first});
  }
  out += "end\n";
  return out;
}

bool CSettingsStore::parse(std::string_view text) {
  if (text.size() > kMaxFileBytes) return false;
  try {
    auto fresh = std::make_unique<Key>();
    Key* current = nullptr;
    bool ended = false;
    bool first = true;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t eol = text.find('\n', pos);
      if (eol == std::string_view::npos) return false;  // every line ends with a newline
      std::string_view line = text.substr(pos, eol - pos);
      pos = eol + 1;
      if (ended) return false;  // nothing may follow the end line
      if (first) {
        if (line != kMagicLine) return false;
        first = false;
        continue;
      }
      LineReader r(line);
      std::string_view tag;
      if (!r.word(tag)) return false;
      if (tag == "end") {
        if (!r.atEnd()) return false;
        ended = true;
        continue;
      }
      std::string name;
      if (!r.space() || !r.quoted(name)) return false;
      if (tag == "key") {
        if (!r.atEnd() || !validKeyPath(name)) return false;
        const std::vector<std::string_view> parts = splitPath(name);
        if (!pathWithinBounds(parts)) return false;
        current = fresh.get();
        for (std::string_view part : parts) {
          auto& slot = current->subKeys[std::string(part)];
          if (!slot) slot = std::make_unique<Key>();
          current = slot.get();
        }
        continue;
      }
      if (!current || name.size() > kSettingsMaxNameBytes || !r.space()) return false;
      SettingValue value;
      if (tag == "int") {
        std::string_view w;
        int32_t v = 0;
        if (!r.word(w) || !parseInt32(w, v)) return false;
        value = v;
      } else if (tag == "str") {
        std::string s;
        if (!r.quoted(s)) return false;
        value = std::move(s);
      } else if (tag == "bin") {
        std::string_view w;
        std::vector<uint8_t> bytes;
        if (!r.word(w) || w.size() > 2 * kSettingsMaxValueBytes || (w != "-" && !parseHex(w, bytes))) return false;
        value = std::move(bytes);
      } else {
        return false;
      }
      if (!r.atEnd() || valueBytes(value) > kSettingsMaxValueBytes) return false;
      current->values.insert_or_assign(std::move(name), std::move(value));
    }
    if (!ended) return false;
    root_ = std::move(fresh);
    modified_ = false;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// ------------------------------------------------------------- the file store

namespace {

// The whole file, or false when it is missing, unreadable or implausibly large;
// unopenable tells a file that is there but could not be opened at all.
[[nodiscard]] bool readWholeFile(const std::string& name, std::string& text, bool& exists, bool& unopenable) {
  exists = false;
  unopenable = false;
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    // Only a file that is not there is missing; one that cannot be opened
    // (no permission, a broken link) exists all the same.
    exists = unopenable = errno != ENOENT && errno != ENOTDIR;
    return false;
  }
  exists = true;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= kMaxFileBytes;
  if (ok) {
    try {
      text.resize(static_cast<size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  if (ok) ok = readFully(fd, text.data(), static_cast<int64_t>(text.size())) == static_cast<int64_t>(text.size());
  ::close(fd);
  return ok;
}

[[nodiscard]] bool makeFolders(const std::string& folder) {
  if (folder.empty()) return true;
  std::string path;
  size_t i = 0;
  while (i <= folder.size()) {
    size_t next = folder.find('/', i);
    if (next == std::string::npos) next = folder.size();
    path = folder.substr(0, next);
    if (!path.empty() && ::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) return false;
    i = next + 1;
  }
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Writes the bytes to a temporary file beside the target and renames it over
// the target; the old file stays when anything fails.
[[nodiscard]] bool writeFileReplacing(const std::string& name, std::string_view bytes) {
  std::string temporary;
  int fd = openReplacement(name, temporary);
  if (fd < 0) return false;
  const bool written = writeFully(fd, bytes.data(), static_cast<int64_t>(bytes.size())) ==
                       static_cast<int64_t>(bytes.size());
  return finishReplacement(fd, temporary, name, written);
}

// A damaged settings file is kept under the first free name of
// "<file>.damaged", "<file>.damaged.1", ... so that the next save cannot
// destroy what the user may still want back. True when nothing is left in
// the way: the file was moved, is gone, or is no regular file (which a save
// cannot replace anyway).
[[nodiscard]] bool moveDamagedAside(const std::string& name, std::string& keptAs) {
  struct stat st {};
  if (::lstat(name.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISREG(st.st_mode)) return true;
  for (int i = 0; i < 100; ++i) {
    std::string candidate = name + ".damaged" + (i ? "." + std::to_string(i) : std::string());
    struct stat other {};
    if (::lstat(candidate.c_str(), &other) == 0 || errno != ENOENT) continue;
    if (::rename(name.c_str(), candidate.c_str()) != 0) return false;
    keptAs = std::move(candidate);
    return true;
  }
  return false;
}

}  // namespace

CFileSettingsStore::CFileSettingsStore(std::string fileName) : fileName_(std::move(fileName)) {
  std::string text;
  bool exists = false;
  bool read = readWholeFile(fileName_, text, exists, keepFile_);
  if (exists && !(read && parse(text))) {
    ignoredDamaged_ = true;
    damagedInPlace_ = !keepFile_ && !moveDamagedAside(fileName_, damagedCopy_);
    debugOutput("settings: the file " + fileName_ + " is damaged and was ignored" +
                (damagedCopy_.empty() ? std::string() : "; it is kept as " + damagedCopy_));
  }
  setModified(false);
}

CFileSettingsStore::~CFileSettingsStore() {
  // Nobody is left to tell: the changes of this run are lost, the file stays as it was.
  if (!flush()) debugOutput("settings: the changes could not be written to " + fileName_);
}

bool CFileSettingsStore::flush() {
  if (!modified()) return true;
  if (keepFile_) return false;
  // The damaged file is never overwritten before it could be put aside.
  if (damagedInPlace_ && (damagedInPlace_ = !moveDamagedAside(fileName_, damagedCopy_))) return false;
  try {
    size_t slash = fileName_.rfind('/');
    if (slash != std::string::npos && !makeFolders(fileName_.substr(0, slash))) return false;
    if (!writeFileReplacing(fileName_, serialize())) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  setModified(false);
  return true;
}

std::string CFileSettingsStore::defaultFileName() {
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
      const passwd* pw = ::getpwuid(::getuid());
      home = pw && pw->pw_dir ? pw->pw_dir : "/tmp";
    }
    base = std::string(home) + "/.config";
  }
  return base + "/Harbelle/Pigmora4/settings";
}

// --------------------------------------------------------------- CSettingsKey

bool CSettingsKey::openKey(std::string_view path, bool canCreate) {
  closeKey();
  bool exists = canCreate ? store_.createKey(path) : store_.keyExists(path);
  if (!exists) return false;
  try {
    path_ = std::string(path);
  } catch (const std::bad_alloc&) {
    return false;
  }
  open_ = true;
  return true;
}

void CSettingsKey::closeKey() {
  if (wrote_) store_.flush();
  wrote_ = false;
  open_ = false;
  path_.clear();
}

bool CSettingsKey::valueExists(std::string_view name) const {
  return open_ && store_.findValue(path_, name) != nullptr;
}

bool CSettingsKey::readInteger(std::string_view name, int32_t& v) const {
  const SettingValue* value = open_ ? store_.findValue(path_, name) : nullptr;
  if (!value || settingKind(*value) != SettingKind::Integer) return false;
  v = std::get<int32_t>(*value);
  return true;
}

bool CSettingsKey::readString(std::string_view name, std::string& v) const {
  const SettingValue* value = open_ ? store_.findValue(path_, name) : nullptr;
  if (!value || settingKind(*value) != SettingKind::String) return false;
  try {
    v = std::get<std::string>(*value);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool CSettingsKey::readBinary(std::string_view name, std::vector<uint8_t>& v) const {
  const SettingValue* value = open_ ? store_.findValue(path_, name) : nullptr;
  if (!value || settingKind(*value) != SettingKind::Binary) return false;
  try {
    v = std::get<std::vector<uint8_t>>(*value);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool CSettingsKey::readFloat(std::string_view name, double& v) const {
  const SettingValue* value = open_ ? store_.findValue(path_, name) : nullptr;
  if (!value || settingKind(*value) != SettingKind::Binary) return false;
  const auto& bytes = std::get<std::vector<uint8_t>>(*value);
  if (bytes.size() != 8) return false;
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[static_cast<size_t>(i)];
  std::memcpy(&v, &bits, 8);
  return true;
}

bool CSettingsKey::writeInteger(std::string_view name, int32_t v) {
  if (!open_ || !store_.setValue(path_, name, v)) return false;
  wrote_ = true;
  return true;
}

bool CSettingsKey::writeString(std::string_view name, std::string_view v) {
  try {
    if (!open_ || !store_.setValue(path_, name, std::string(v))) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  wrote_ = true;
  return true;
}

bool CSettingsKey::writeBinary(std::string_view name, const std::vector<uint8_t>& v) {
  try {
    if (!open_ || !store_.setValue(path_, name, v)) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  wrote_ = true;
  return true;
}

bool CSettingsKey::writeFloat(std::string_view name, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  std::vector<uint8_t> bytes(8);
  for (size_t i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
  return writeBinary(name, bytes);
}

bool CSettingsKey::deleteValue(std::string_view name) {
  if (!open_ || !store_.deleteValue(path_, name)) return false;
  wrote_ = true;
  return true;
}

// -------------------------------------------------------- read and write helpers

bool regReadInt(const CSettingsKey& reg, std::string_view name, int32_t& v, int32_t def) {
  if (reg.readInteger(name, v)) return true;
  v = def;
  return false;
}

bool regReadIntVar(const CSettingsKey& reg, std::string_view name, uint32_t& v, uint32_t def) {
  int32_t copy = static_cast<int32_t>(v);
  bool found = regReadInt(reg, name, copy, static_cast<int32_t>(def));
  v = static_cast<uint32_t>(copy);
  return found;
}

bool regReadIntClamped(const CSettingsKey& reg, std::string_view name, int32_t& v, int32_t def, int32_t lo,
                       int32_t hi) {
  bool found = regReadInt(reg, name, v, def);
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  return found;
}

bool regReadBool(const CSettingsKey& reg, std::string_view name, bool& v, bool def) {
  int32_t i = 0;
  if (reg.readInteger(name, i)) {
    v = i != 0;
    return true;
  }
  v = def;
  return false;
}

bool regReadFloat(const CSettingsKey& reg, std::string_view name, float& v, float def) {
  double d = 0;
  // A double beyond the float range (or not a number at all) cannot be narrowed
  // meaningfully: such a value is treated like a missing one.
  if (reg.readFloat(name, d) && std::isfinite(d) && std::fabs(d) <= std::numeric_limits<float>::max()) {
    v = static_cast<float>(d);
    return true;
  }
  v = def;
  return false;
}

bool regReadString(const CSettingsKey& reg, std::string_view name, std::string& v, std::string_view def) {
  if (reg.readString(name, v)) return true;
  try {
    v = std::string(def);
  } catch (const std::bad_alloc&) {
  }
  return false;
}

bool regWriteInt(CSettingsKey& reg, std::string_view name, int32_t v) { return reg.writeInteger(name, v); }
bool regWriteBool(CSettingsKey& reg, std::string_view name, bool v) { return reg.writeInteger(name, v ? 1 : 0); }
bool regWriteFloat(CSettingsKey& reg, std::string_view name, float v) {
  return reg.writeFloat(name, static_cast<double>(v));
}
bool regWriteString(CSettingsKey& reg, std::string_view name, std::string_view v) { return reg.writeString(name, v); }

}  // namespace pg
