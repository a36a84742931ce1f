#include "io/file_dialog_kinds.h"
#include "platform/string_table.h"

#include <array>
#include <cctype>

namespace pg {
namespace {

// Filter entries, each "description|patterns".
enum Entry : uint8_t {
  kNative, kLegacyDoc, kBmp, kJpeg, kPng, kAllPictures, kAllFiles, kEv4, kEv3, kEv22, kEv11, kAllEvents,
  kPenMethods, kPenShapes, kPalette, kAco, kPcs, kAllPalettes, kGradients, kTones, kEv4Save, kCursor,
};

// Each entry: the string id of its description (0 where the description is
// the plain text beside it), and its patterns.
struct SEntry {
  uint32_t descriptionId;
  std::string_view description;
  std::string_view patterns;
};

constexpr std::array<SEntry, 22> kEntries = {{
    {0, "Pigmora (*.kci)", "*.kci"},
    {0, "Pigmora1.1 (*.lgb)", "*.LGB"},
    {0, "BMP (*.bmp)", "*.BMP"},
    {0, "JPEG (*.jpg;*.jpeg;*.jpe;*.jif;*.jfif;*.jfi)", "*.JPG;*.JPEG;*.JPE;*.JIF;*.JFIF;*.JFI"},
    {0, "PNG (*.png)", "*.PNG"},
    {66570, "", "*.kci;*.lgb;*.bmp;*.jpg;*.jpeg;*.jpe;*.jif;*.jfif;*.jfi;*.png"},
    {66571, "", "*.*"},
    {66572, "", "*.ke4;*.kv4"},
    {66573, "", "*.ke3;*.kv3"},
    {66574, "", "*.kes"},
    {66575, "", "*.lge"},
    {66576, "", "*.lge;*.kes;*.ke3;*.kv3;*.ke4;*.kv4"},
    {66577, "", "*.pmt"},
    {66578, "", "*.psh"},
    {66579, "", "*.kpl"},
    {66580, "", "*.aco"},
    {66581, "", "*.pcs;*.txt"},
    {66582, "", "*.kpl;*.aco;*.pcs;*.txt"},
    {66583, "", "*.kgs"},
    {66584, "", "*.kts"},
    {66585, "", "*.ke4"},
    {66586, "", "*.CUR"},
}};

struct SKindRow {
  FileDialogMode mode;
  bool preview;
  std::string_view defaultExt;
  std::vector<Entry> entries;
  std::vector<std::string_view> extByIndex;  // save dialogs: the extension of each entry
};

const std::array<SKindRow, kDialogKinds>& kindTable() {
  using M = FileDialogMode;
  static const std::array<SKindRow, kDialogKinds> table = {{
      {M::Open, true, ".kci", {kNative, kLegacyDoc, kBmp, kJpeg, kPng, kAllPictures, kAllFiles},
       {".kci", ".lgb", ".bmp", ".jpg", ".png"}},
      {M::Open, true, ".bmp", {kBmp, kJpeg, kPng}, {".bmp", ".jpg", ".png"}},
      // The recordings, and last the native file, whose recording Event >
      // Open replays too.
      {M::Open, true, ".ke4", {kEv4, kEv3, kEv22, kEv11, kAllEvents, kNative}, {}},
      {M::Open, false, ".pmt", {kPenMethods}, {}},
      {M::Open, false, ".psh", {kPenShapes}, {}},
      {M::Open, false, ".kpl", {kPalette, kAco, kPcs, kAllPalettes}, {}},
      {M::Open, false, ".kgs", {kGradients}, {}},
      {M::Open, false, ".kts", {kTones}, {}},
      {M::Save, true, ".kci", {kNative, kBmp, kJpeg, kPng}, {".kci", ".bmp", ".jpg", ".png"}},
      {M::Save, true, ".bmp", {kBmp, kJpeg, kPng}, {".bmp", ".jpg", ".png"}},
      {M::Save, true, ".ke4", {kEv4Save}, {}},
      {M::Save, false, ".pmt", {kPenMethods}, {}},
      {M::Save, false, ".psh", {kPenShapes}, {}},
      {M::Save, false, ".kpl", {kPalette, kAco, kPcs}, {".kpl", ".aco", ".pcs"}},
      {M::Save, false, ".kgs", {kGradients}, {}},
      {M::Save, false, ".kts", {kTones}, {}},
      {M::Open, false, ".kpl", {kPalette}, {}},
      {M::Save, true, ".bmp", {kBmp, kPng}, {".bmp", ".png"}},
      {M::Open, false, ".cur", {kCursor}, {}},
  }};
  return table;
}

[[nodiscard]] const SKindRow* row(int32_t kind) {
  return kind >= 0 && kind < kDialogKinds ? &kindTable()[static_cast<size_t>(kind)] : nullptr;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i)
    if (i == s.size() || s[i] == sep) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  return parts;
}

}  // namespace

SFileDialogKind fileDialogKind(int32_t kind) {
  const SKindRow* r = row(kind);
  return r ? SFileDialogKind{r->mode, r->preview} : SFileDialogKind{};
}

// An entry as a filter shows it: "description|patterns". A description from
// the string tables loses any bar, which would split the filter.
static std::string shownEntry(const SEntry& entry) {
  std::string description = entry.descriptionId != 0 ? resString(entry.descriptionId) : std::string(entry.description);
  std::erase(description, '|');
  return description + "|" + std::string(entry.patterns);
}

std::string buildFileFilter(int32_t kind) {
  const SKindRow* r = row(kind);
  std::string filter;
  if (r == nullptr) return filter;
  for (Entry e : r->entries) {
    if (!filter.empty()) filter += '|';
    filter += shownEntry(kEntries[e]);
  }
  return filter;
}

std::string defaultExtForKind(int32_t kind) {
  const SKindRow* r = row(kind);
  return r ? std::string(r->defaultExt) : std::string();
}

std::string extForFilterIndex(int32_t kind, int32_t index) {
  const SKindRow* r = row(kind);
  if (r == nullptr) return {};
  if (index >= 1 && static_cast<size_t>(index) <= r->extByIndex.size())
    return std::string(r->extByIndex[static_cast<size_t>(index - 1)]);
  return std::string(r->defaultExt);
}

bool extMatchesKind(std::string_view ext, int32_t kind) {
  const std::string e = lower(ext);
  if (e.empty()) return false;
  if (kind == 18 && e == ".ani") return true;
  for (const SFileFilterEntry& entry : parseFileFilter(buildFileFilter(kind)))
    for (const std::string& p : entry.patterns)
      if (lower(p) == "*" + e) return true;
  return false;
}

std::vector<SFileFilterEntry> parseFileFilter(std::string_view filter) {
  std::vector<SFileFilterEntry> entries;
  if (filter.empty()) return entries;
  const std::vector<std::string_view> parts = split(filter, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    SFileFilterEntry e;
    e.description = std::string(parts[i]);
    for (std::string_view p : split(parts[i + 1], ';'))
      if (!p.empty()) e.patterns.emplace_back(p);
    entries.push_back(std::move(e));
  }
  return entries;
}

std::string replaceExtension(std::string_view name, std::string_view ext) {
  const size_t slash = name.find_last_of('/');
  const size_t dot = name.find_last_of('.');
  const bool hasExt = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
  std::string out(hasExt ? name.substr(0, dot) : name);
  out += ext;
  return out;
}

std::string normaliseInitialDir(std::string_view folder) {
  std::string out(folder);
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

}  // namespace pg
