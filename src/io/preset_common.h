#pragma once
// What the preset files (gradient sets, pen shapes, pen methods, palettes)
// share: the preferences they read and clear, the search for a set's default
// file, the messages of a failed or incomplete load, the 32-byte header of
// the chunked preset files, opening and creating the files, and the code page
// of the names stored in them.
//
// Names are UTF-8 inside the program. The files keep the code page the
// earlier versions wrote them in (CP932): a name is converted when it is read
// from a file and when it is written to one.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/byte_cursor.h"
#include "core/chunk_head.h"
#include "core/colour.h"
#include "core/streams.h"

namespace pg {

// The four preset collections of the tool window.
enum class PresetSet : uint8_t { Gradients, PenShapes, PenMethods, Palette };

// What the preset loaders need of the preferences.
class IPresetPrefs {
 public:
  virtual ~IPresetPrefs() = default;
  // The set's current file ("gradFile2", "nibFile", "brushFile", "palFile");
  // empty when none.
  virtual std::string presetFile(PresetSet set) const = 0;
  virtual void setPresetFile(PresetSet set, const std::string& path) = 0;
  // The folder of the set's files ("gradPath2", "penPath" for both pen sets,
  // "palPath").
  virtual std::string presetFolder(PresetSet set) const = 0;
  virtual void setPresetFolder(PresetSet set, const std::string& folder) = 0;
  // The folder of the program.
  virtual std::string programFolder() const = 0;
  // The two current colours ("fgCol", "bgCol"; red in the low byte).
  virtual TColor foregroundColor() const = 0;
  virtual TColor backgroundColor() const = 0;
};

// The name of the folder beside the program that holds the shipped presets.
inline constexpr std::string_view kPresetFolderName = "preset";

// The name of a set's default file: "default.kgs", "default.psh",
// "default.pmt" or "default.kpl".
std::string_view defaultPresetFileName(PresetSet set);

// The file a default load reads: the preferences' file of the set when it
// exists; else the default file in the set's folder; else the set's folder
// becomes the program folder plus "preset" and its default file is taken.
// Empty when none of them exists.
std::string findDefaultPresetFile(IPresetPrefs& prefs, PresetSet set);

// ---- Dialogs -------------------------------------------------------------------

// Open-dialog kinds of the preset files; the save dialog of a kind is its
// open kind + 8.
inline constexpr int32_t kDialogPenMethods = 3;
inline constexpr int32_t kDialogPenShapes = 4;
inline constexpr int32_t kDialogPalette = 5;
inline constexpr int32_t kDialogGradients = 6;
inline constexpr int32_t kDialogSaveOffset = 8;

// The file dialog of the user interface: shows the dialog of a kind in a
// folder, path in and out; true when a file was chosen.
using PresetFileDialog = std::function<bool(int32_t kind, const std::string& folder, std::string& path)>;

// The folder of a file name (empty for a bare name).
std::string presetFolderOf(const std::string& path);
// Runs the dialog of the kind in the folder of currentFile; the chosen path,
// or empty when the dialog was cancelled (or there is none).
std::string askPresetFile(const PresetFileDialog& dialog, int32_t kind, const std::string& currentFile);

// What a default load does: load (false when nothing loaded) the file found
// for the set; when none is found or it does not load, fallback (when asked
// for), and the preferences' file of the set and the list's file name are
// cleared. Answers whether a file loaded.
[[nodiscard]] bool loadDefaultPresetFile(IPresetPrefs& prefs, PresetSet set, bool useFallback,
                           const std::function<bool(const std::string& path)>& load,
                           const std::function<void()>& fallback, const std::function<void()>& clearFileName);

// The state every preset list keeps besides its items: the modified flag,
// the file name and the change call-back, called after every change.
template <class List>
class CPresetListState {
 public:
  [[nodiscard]] bool modified() const { return Modified; }
  void setModified(bool b) {
    Modified = b;
    notifyChange();
  }
  const std::string& fileName() const { return FileName; }
  // Stores and tells the change only when the name differs.
  void setFileName(const std::string& name) {
    if (FileName == name) return;
    FileName = name;
    notifyChange();
  }
  void setOnChange(std::function<void(List&)> f) { OnChange = std::move(f); }
  void notifyChange() {
    if (OnChange) OnChange(static_cast<List&>(*this));
  }

  // Asks for a file (the list's open dialog kind) in the folder of the
  // current file, then loads it; asks for a name (the save kind), then saves
  // the list there.
  [[nodiscard]] bool openDialog(bool append, const PresetFileDialog& dialog) {
    const std::string path = askPresetFile(dialog, List::kOpenDialogKind, FileName);
    return !path.empty() && static_cast<List&>(*this).loadFromFile(path, append);
  }
  [[nodiscard]] bool saveAsDialog(const PresetFileDialog& dialog) {
    const std::string path = askPresetFile(dialog, List::kOpenDialogKind + kDialogSaveOffset, FileName);
    return !path.empty() && static_cast<List&>(*this).saveToFile(path);
  }

 protected:
  CPresetListState() = default;
  ~CPresetListState() = default;

 private:
  bool Modified = false;
  std::string FileName;
  std::function<void(List&)> OnChange;
};

// ---- Messages ------------------------------------------------------------------

// Resource ids of the collection words and of the load messages.
inline constexpr uint32_t kResPresetLoadFailed = 65193;  // "%sの読み込みに失敗しました! (err=%d)"
inline constexpr uint32_t kResPresetMissing = 65184;     // "%d個の%sが読み込めませんでした！"
inline constexpr uint32_t kResGradientSetWord = 65288;   // "グラデーション集"
inline constexpr uint32_t kResPenShapeSetWord = 65271;   // "ペン先集"
inline constexpr uint32_t kResPenMethodSetWord = 65274;  // "ブラシ集"
inline constexpr uint32_t kResSwatchWord = 65035;        // "色見本"
inline constexpr uint32_t kResPaletteWord = 65185;       // "パレット"

// Shows that a collection file could not be read, with the code.
void showPresetLoadFailed(uint32_t wordId, FileResult code);
// True when a collection was saved; otherwise shows that saving to `path`
// failed, so that a set the user asked to keep is never lost unseen.
[[nodiscard]] bool presetSaved(FileResult code, const std::string& path);
// Shows that `missing` items announced by a file could not be read.
void showPresetMissing(int64_t missing, uint32_t wordId);

// ---- Files -----------------------------------------------------------------------

[[nodiscard]] bool presetFileExists(const std::string& path);
// Opens an existing file for reading: 0, 4 when it does not exist, 6 when it
// cannot be opened.
[[nodiscard]] FileResult openPresetFile(const std::string& path, std::unique_ptr<CFileStream>& file);
// Opens the file (4, 6) and lets read read it from its start.
[[nodiscard]] FileResult readPresetFile(const std::string& path, const std::function<FileResult(CStream& in)>& read);
// Creates the file (5 when it cannot be), lets body write it, and replaces
// the target only when body answered 0 and every write went through (else 8
// or body's code, and the target stays as it was).
[[nodiscard]] FileResult writePresetFile(const std::string& path, const std::function<FileResult(CStream&)>& body);

// ---- The 32-byte header of the chunked preset files --------------------------------

inline constexpr int64_t kPresetHeaderBytes = 32;
inline constexpr size_t kPresetHeaderSlots = 5;

// What the header of a chunked preset set holds. Every set begins it alike
// (a chunk head with the set's tag and the size 24, then the version) and
// keeps the item count and its selections in its own places, which its
// field list names; fields a set does not use stay zero.
struct SPresetSetHeader {
  SChunkHead head;
  uint8_t version = 0;
  uint16_t count = 0;
  uint16_t current = 0;      // the current item
  uint32_t flags = 0;        // which of the fields below hold something
  uint16_t second = 0;       // pen methods: the second selection
  uint16_t fixed = 0;        // gradients: where the list's own entry stood
  std::array<uint8_t, kPresetHeaderSlots> slotIndex{};  // pen methods: the slot indices
};

// The fields every set's header begins with: the chunk head and the version.
void presetSetHeadFields(CByteCursor& c, SPresetSetHeader& h);
using PresetSetHeaderFields = void (*)(CByteCursor& c, SPresetSetHeader& h);

// The frame of a chunked preset file.
struct SPresetSetFormat {
  uint32_t fileTag;                    // the header's tag
  uint8_t version;                     // written; readers take up to it
  PresetSetHeaderFields headerFields;  // the 32 bytes of the header
  uint32_t itemTag;                    // the tag of one item's chunk
  uint32_t wordId;                     // the collection word of the messages
};

// Reads the header at the position through the set's field list: 9 when
// short, 16 for another tag, 17 when the size field is not 24, 12 for a
// version above the format's, else 0.
[[nodiscard]] FileResult readPresetHeader(CStream& stream, const SPresetSetFormat& format, SPresetSetHeader& header);

// Reads a chunked preset file from the header on: the header's codes, 37 for
// an announced count of 0; then begin (a replacing load empties its list
// there), the chunk walk with the parser, and when items were read end (with
// their number) and the report of those missing. 37 when none was read; an
// exception becomes 1 or 3.
[[nodiscard]] FileResult readPresetSet(CStream& in, const SPresetSetFormat& format, PresetChunkParser& parser,
                      SPresetSetHeader& header, const std::function<void()>& begin,
                      const std::function<void(int32_t read)>& end);
// Writes a chunked preset file of count items: 37 without items, 12 for more
// than the count field holds; the header (tag, version and count, completed
// by fillHeader), then writeItem for each item in order. The first failure
// ends the save and leaves the old file as it was.
[[nodiscard]] FileResult writePresetSet(const std::string& path, const SPresetSetFormat& format, int64_t count,
                       const std::function<void(SPresetSetHeader& header)>& fillHeader,
                       const std::function<FileResult(CStream& out, int32_t item)>& writeItem);

// ---- Pictures in preset files ------------------------------------------------------

// What one load may unpack of nib images and icons altogether: a small file
// must not be able to make the lists hold more than this.
inline constexpr int64_t kPresetPictureBudget = int64_t{256} << 20;

struct SPresetPictureBudget {
  int64_t left = kPresetPictureBudget;
};

// Looks at the "KTNL" chunk at the position without moving it: 9 short, 16
// another tag, 15 a picture of the wrong bytes a pixel (1 or 4 wanted), 13
// when its pixels would pass what is left of the budget (which then takes
// them), else 0.
[[nodiscard]] FileResult checkPresetPicture(CStream& stream, uint32_t bytesPerPixel, SPresetPictureBudget& budget);

// ---- Names -----------------------------------------------------------------------

// The stored bytes of a name (CP932) as UTF-8.
std::string presetNameFromFile(std::string_view bytes);
// A name as the bytes to store (CP932), at most maxBytes long and never cut
// inside a character.
std::string presetNameToFile(std::string_view name, size_t maxBytes);

}  // namespace pg
