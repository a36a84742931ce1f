#pragma once
// The preferences dialog ("環境設定") without its widgets. Every control is
// one row of a table: its control name, page and group, caption, range, the
// value Initialize gives it, how it reads and writes the preferences, which
// control enables it, and where a change takes effect. The dialog builds its
// controls from the rows, the values travel as one number or text per row,
// and the main window applies the effects the changed rows name; nothing
// else names a control.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

class CAppProfile;

// The pages of the page list; the last one is never shown.
enum EPreferencePage : int32_t { kPageTool, kPageCursorGrid, kPageDocument, kPageStartFiles, kPageAvi, kPageCount };

enum class PrefControl : uint8_t {
  Check,    // a check box: 0 or 1
  Combo,    // a drop-down list: the item index
  Number,   // a whole number in its range
  Percent,  // a number with one decimal in its range
  Colour,   // a colour box: 0x00RRGGBB
  Radio,    // two radio buttons (caption, second caption): 0 or 1
  Path,     // a text with a browse button
};

// Where a changed preference takes effect (bits, combined over the rows).
enum PrefEffect : uint32_t {
  kEffectNone = 0,
  kEffectCanvas = 1u << 0,   // the document windows' mouse, cursor and scroll settings
  kEffectGrid = 1u << 1,     // the grid of every window is drawn again
  kEffectTitle = 1u << 2,    // the window captions
  kEffectUndo = 1u << 3,     // every document's undo limit
  kEffectLayout = 1u << 4,   // the scroll layout (scroll bars)
  kEffectTools = 1u << 5,    // the tool window's cursors, buttons and options
  kEffectOnUse = 1u << 6,    // read where it is used (saving, file folders, fitting)
  kEffectNextStart = 1u << 7,// the start-up files, read at the next start
};

// How Initialize treats a row.
enum class PrefInit : uint8_t { Reset, Keep };

struct SPreferenceRow {
  std::string_view control;  // the control's object name (Radio: the first button's)
  std::string_view second;   // Radio: the second button's object name
  PrefControl kind;
  EPreferencePage page;
  uint32_t group;            // string id of the group box
  uint32_t caption;          // string id of the caption (0: none)
  uint32_t items;            // Combo: string id of the "|"-separated items; Radio: the second caption
  double lo, hi;             // the range of numbers
  double initial;            // Initialize's number; Path rows reset to empty
  PrefInit init;
  // The preference behind the row; rows without one edit nothing that is
  // stored and are shown disabled.
  double (*get)(const CAppProfile&);
  void (*set)(CAppProfile&, double);
  std::string (*getText)(const CAppProfile&);
  void (*setText)(CAppProfile&, const std::string&);
  // The control is enabled while this other row holds the value (empty: always).
  std::string_view enabledBy;
  double enabledWhen;
  uint32_t effect;           // PrefEffect bits
  int32_t browse;            // Path: the file dialog's preset kind, -1 a folder, 0 no browsing
  bool hasPreference() const { return get != nullptr || getText != nullptr; }
};

// Every control of the dialog, page by page, group by group.
std::span<const SPreferenceRow> preferenceRows();
// The row of a control name, or -1.
int32_t preferenceRowIndex(std::string_view control);

// The value of every row as the controls show it.
struct SPreferenceValues {
  std::vector<double> numbers;     // one per row (Path rows: unused)
  std::vector<std::string> texts;  // one per row (only Path rows)

  SPreferenceValues();
  // The controls as the preferences show them.
  static SPreferenceValues load(const CAppProfile& p);
  // Writes every row that has a preference back; answers the effects of the
  // rows whose stored value changed.
  uint32_t store(CAppProfile& p) const;
  // The Initialize button: every control to its default (the preferences
  // change only on OK); rows marked Keep keep their values.
  void initialize();

  double number(std::string_view control) const;
  void setNumber(std::string_view control, double value);
  const std::string& text(std::string_view control) const;
  void setText(std::string_view control, const std::string& value);
  // The enabling rule of a row over the present values.
  bool enabled(std::string_view control) const;
};

// The page a page-list index shows; -1 for none (the AVI page).
int32_t preferencePageShown(int32_t listIndex);

}  // namespace pg
