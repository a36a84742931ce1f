#pragma once
// TMRUFileList: a short list of recently used paths, shown as numbered menu
// entries ("&1 /path/name.kci"), reported by number when one is chosen, and
// kept in one section of the settings store as the values "path0", "path1", ...
//
// The list is toolkit-free; a menu adapter (qt/mru_menu.h) shows it and asks
// for entries() again whenever onChange fires.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

class CSettingsStore;

class TMRUFileList {
 public:
  struct Entry {
    int number;            // 1-based position
    std::string fullText;  // "&" number " " path, with "&" of the path doubled
    std::string caption;   // the same with the path shortened to MaxCaptionWidth
    std::string path;
  };
  // The width of a text in the menu font, in pixels.
  using Measure = std::function<int(std::string_view)>;

  // The component's own defaults.
  bool RemoveOnClick = true;
  bool UseSubmenu = false;
  bool InsertSeparator = true;
  std::string SubmenuName = "Reopen";
  bool AutoSave = true;
  std::string AutoSaveName = "\\Software\\My Application";
  std::string AutoSaveKey = "MRU Items";
  int32_t MaxCaptionWidth = 200;
  // Entries are files: the same file reached by two spellings of its path
  // is one entry. Off for lists of window captions, compared as they are.
  bool ComparePaths = true;
  // Called after every change of the entries (the menu rebuilds).
  std::function<void()> onChange;

  uint8_t maximum() const { return maximum_; }
  // A smaller maximum trims the list to its first entries.
  void setMaximum(uint8_t maximum);

  const std::vector<std::string>& items() const { return items_; }
  size_t count() const { return items_.size(); }
  // Index of the entry of this path, or -1.
  int indexOf(std::string_view path) const;

  // A new path is inserted at the position (clamped to the list) and the
  // list trimmed from its end; a known one moves to the top.
  void addItem(size_t position, std::string_view path);
  // A new path is appended before the list is trimmed (so it is dropped when
  // the list is full); a known one moves to the top.
  void appendItem(std::string_view path);
  [[nodiscard]] bool removeItem(std::string_view path);
  void clear();

  // The path of entry number (1-based), removed first when RemoveOnClick;
  // nothing for a number outside the list.
  [[nodiscard]] std::optional<std::string> click(int number);

  // The menu entries in list order; captions are shortened only when a
  // measure is given and MaxCaptionWidth is not 0.
  std::vector<Entry> entries(const Measure& measure = {}) const;

  // The section AutoSaveName\AutoSaveKey. load replaces the list with the
  // values "path0".."path<maximum-1>" (texts that are too long, hold a zero
  // byte, or for file lists are not absolute, are skipped) and answers false
  // when either name is empty. save deletes the section and writes the list.
  [[nodiscard]] bool load(const CSettingsStore& store);
  [[nodiscard]] bool save(CSettingsStore& store) const;
  std::string sectionPath() const;

 private:
  bool samePath(std::string_view a, std::string_view b) const;
  void trim();
  void changed();

  uint8_t maximum_ = 5;
  std::vector<std::string> items_;
};

// The main window's two lists, configured as it uses them: the recent
// documents (maximum 9, in a submenu of the File menu named by resource text
// 65077, stored in the section "fileMRU" of the program's key) and the open
// windows (maximum 9, after a separator, captions compared as they are,
// never stored). The owner loads and saves the first.
TMRUFileList makeFileMRUList();
TMRUFileList makeWindowMRUList();
inline constexpr uint32_t kResRecentFilesSubmenu = 65077;

// The path shortened for a caption of at most maxWidth pixels: while too wide,
// the first folder is replaced by "..." ("/.../b/c/name"), then the last
// folder goes ("/.../name"), then the leading "/" (".../name").
std::string shortenPath(std::string_view path, int maxWidth, const TMRUFileList::Measure& measure);

// "&" doubled, so that a path shows literally in a menu.
std::string escapeAmpersands(std::string_view text);

}  // namespace pg
