#include "app/mru_file_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/app_profile.h"
#include "app/command_line.h"
#include "platform/settings_store.h"
#include "platform/string_table.h"

namespace pg {

namespace {

// The canonical form of a path: links resolved as far as the path exists.
std::string canonicalOf(std::string_view path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::path{std::string(path)}, ec);
  if (ec) return std::filesystem::path{std::string(path)}.lexically_normal().string();
  return p.string();
}

}  // namespace

std::string escapeAmpersands(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

std::string shortenPath(std::string_view path, int maxWidth, const TMRUFileList::Measure& measure) {
  if (maxWidth <= 0 || !measure || measure(path) <= maxWidth) return std::string(path);
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return std::string(path);
  const std::string_view name = path.substr(slash + 1);
  const bool rooted = path.front() == '/';
  std::vector<std::string_view> folders;
  for (size_t i = 0; i < slash;) {
    size_t next = path.find('/', i);
    if (next == std::string_view::npos || next > slash) next = slash;
    if (next > i) folders.push_back(path.substr(i, next - i));
    i = next + 1;
  }
  bool ellipsis = false;
  bool rootDropped = false;
  size_t first = 0;  // folders before it are replaced by "..."
  for (;;) {
    std::string text = rooted && !rootDropped ? "/" : "";
    if (ellipsis) text += ".../";
    for (size_t i = first; i < folders.size(); ++i) {
      text += folders[i];
      text += '/';
    }
    text += name;
    if (measure(text) <= maxWidth) return text;
    if (first < folders.size()) {
      ellipsis = true;
      ++first;
    } else if (rooted && !rootDropped) {
      rootDropped = true;
    } else {
      return text;  // nothing left to drop
    }
  }
}

void TMRUFileList::setMaximum(uint8_t maximum) {
  if (maximum == maximum_) return;
  maximum_ = maximum;
  if (items_.size() > maximum_) {
    items_.resize(maximum_);
    changed();
  }
}

bool TMRUFileList::samePath(std::string_view a, std::string_view b) const {
  if (a == b) return true;
  return ComparePaths && canonicalOf(a) == canonicalOf(b);
}

int TMRUFileList::indexOf(std::string_view path) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (samePath(items_[i], path)) return static_cast<int>(i);
  return -1;
}

void TMRUFileList::trim() {
  if (items_.size() > maximum_) items_.resize(maximum_);
}

void TMRUFileList::changed() {
  if (onChange) onChange();
}

void TMRUFileList::addItem(size_t position, std::string_view path) {
  const int found = indexOf(path);
  if (found < 0) {
    items_.insert(items_.begin() + std::ptrdiff_t(std::min(position, items_.size())), std::string(path));
    trim();
  } else {
    std::rotate(items_.begin(), items_.begin() + found, items_.begin() + found + 1);
  }
  changed();
}

void TMRUFileList::appendItem(std::string_view path) {
  const int found = indexOf(path);
  if (found < 0) {
    items_.emplace_back(path);
    trim();
  } else {
    std::rotate(items_.begin(), items_.begin() + found, items_.begin() + found + 1);
  }
  changed();
}

bool TMRUFileList::removeItem(std::string_view path) {
  const int found = indexOf(path);
  if (found < 0) return false;
  items_.erase(items_.begin() + found);
  changed();
  return true;
}

void TMRUFileList::clear() {
  if (items_.empty()) return;
  items_.clear();
  changed();
}

std::optional<std::string> TMRUFileList::click(int number) {
  if (number < 1 || size_t(number) > items_.size()) return std::nullopt;
  std::string path = items_[size_t(number - 1)];
  if (RemoveOnClick) {
    items_.erase(items_.begin() + (number - 1));
    changed();
  }
  return path;
}

std::vector<TMRUFileList::Entry> TMRUFileList::entries(const Measure& measure) const {
  std::vector<Entry> out;
  out.reserve(items_.size());
  for (size_t i = 0; i < items_.size(); ++i) {
    const std::string prefix = "&" + std::to_string(i + 1) + " ";
    Entry e;
    e.number = static_cast<int>(i + 1);
    e.path = items_[i];
    e.fullText = prefix + escapeAmpersands(items_[i]);
    e.caption = MaxCaptionWidth != 0 && measure
                    ? prefix + escapeAmpersands(shortenPath(items_[i], MaxCaptionWidth, measure))
                    : e.fullText;
    out.push_back(std::move(e));
  }
  return out;
}

std::string TMRUFileList::sectionPath() const { return AutoSaveName + "\\" + AutoSaveKey; }

bool TMRUFileList::load(const CSettingsStore& store) {
  if (AutoSaveName.empty() || AutoSaveKey.empty()) return false;
  const std::string section = sectionPath();
  std::vector<std::string> loaded;
  for (int i = 0; i < maximum_; ++i) {
    const SettingValue* v = store.findValue(section, "path" + std::to_string(i));
    if (!v || settingKind(*v) != SettingKind::String) continue;
    const std::string& path = std::get<std::string>(*v);
    if (path.empty() || path.size() > kMaxPathBytes || path.find('\0') != std::string::npos) continue;
    if (ComparePaths && path.front() != '/') continue;
    if (std::none_of(loaded.begin(), loaded.end(), [&](const std::string& p) { return samePath(p, path); }))
      loaded.push_back(path);
  }
  items_ = std::move(loaded);
  changed();
  return true;
}

TMRUFileList makeFileMRUList() {
  TMRUFileList list;
  list.setMaximum(9);
  list.RemoveOnClick = false;
  list.UseSubmenu = true;
  list.InsertSeparator = false;
  list.SubmenuName = resString(kResRecentFilesSubmenu);
  list.AutoSave = true;
  list.AutoSaveName = std::string(kProfileRoot);
  list.AutoSaveKey = "fileMRU";
  list.MaxCaptionWidth = 200;
  return list;
}

TMRUFileList makeWindowMRUList() {
  TMRUFileList list;
  list.setMaximum(9);
  list.RemoveOnClick = false;
  list.AutoSave = false;
  list.MaxCaptionWidth = 0;
  list.ComparePaths = false;
  return list;
}

bool TMRUFileList::save(CSettingsStore& store) const {
  if (AutoSaveName.empty() || AutoSaveKey.empty()) return false;
  const std::string section = sectionPath();
  (void)store.deleteKey(section);  // a list never saved has no key to delete
  bool ok = store.createKey(section);
  for (size_t i = 0; i < items_.size(); ++i) ok &= store.setValue(section, "path" + std::to_string(i), items_[i]);
  return ok;
}

}  // namespace pg
