#pragma once
// The program's open and save dialogs, chosen by a dialog kind 0..18: the
// filter list, the default extension, whether a preview is shown, and the
// extension that goes with each filter entry. Save kind = open kind + 8
// where both exist; kinds 19 and above have an empty filter.
//
// Filters are written as "description|patterns|description|patterns",
// patterns separated by ";".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

inline constexpr int32_t kDialogKinds = 19;

enum class FileDialogMode : uint8_t { Open, Save };

struct SFileDialogKind {
  FileDialogMode mode = FileDialogMode::Open;
  bool preview = false;
};

// Mode and preview of a kind (an open dialog without preview beyond 18).
SFileDialogKind fileDialogKind(int32_t kind);
std::string buildFileFilter(int32_t kind);
// With its dot (".kci"); empty beyond 18.
std::string defaultExtForKind(int32_t kind);
// The extension a save dialog gives a name when filter entry `index`
// (counting from 1) is chosen; the default extension for other entries.
std::string extForFilterIndex(int32_t kind, int32_t index);
// Whether the extension (with its dot, any case) is one of the kind's
// filter entries; kind 18 also accepts ".ani".
[[nodiscard]] bool extMatchesKind(std::string_view ext, int32_t kind);

// One filter entry as the description and its patterns ("*.kci").
struct SFileFilterEntry {
  std::string description;
  std::vector<std::string> patterns;
};
std::vector<SFileFilterEntry> parseFileFilter(std::string_view filter);

// The name with its extension replaced by ext (a name without one gets it).
std::string replaceExtension(std::string_view name, std::string_view ext);

// The folder as a dialog starts in it: a trailing "/" removed, except for
// the root itself.
std::string normaliseInitialDir(std::string_view folder);

}  // namespace pg
