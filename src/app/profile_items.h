#pragma once
// The item tables of the preferences: for every stored value its key, the
// field that holds it, its default and its range. CAppProfile's load and save
// walk these tables; nothing else names a key.
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

#include "app/app_profile.h"

namespace pg {

// Defaults that depend on the system facts.
enum class TextDefault : uint8_t { Empty, HomeFolder, PresetFolder };

enum class ItemRule : uint8_t {
  Plain,
  WriteOnly,       // written from its field, never read back ("appPath")
  CodePage,        // default and written value: the current code page ("lastCP")
  Locale,          // default and written value: the current locale ("lastLCID")
  ScreenWidth,     // -1 (not set), or 200 .. the screen width at load
  ScreenHeight,    // the same against the screen height
};

template <class Owner>
using FieldOf = std::variant<int32_t Owner::*, uint32_t Owner::*, bool Owner::*, float Owner::*, std::string Owner::*>;

template <class Owner>
struct ItemSpec {
  std::string_view key;  // the value name, or the part a record adds to its prefix
  FieldOf<Owner> field;
  double def = 0;        // numbers and booleans (non-zero is true)
  double lo = 0;         // the range of numbers; booleans and texts ignore it
  double hi = 0;
  TextDefault text = TextDefault::Empty;
  ItemRule rule = ItemRule::Plain;
};

// The plain items of a section, in stored order ("paper" has none: its
// values are the preset records). In "window" the floating layout and the
// views come after these.
std::span<const ItemSpec<CAppProfile>> profileItems(ProfileSection section);

// Record items. Paper keys are the item key and the preset index ("unit0");
// floating-window keys "FloatForm", the index and the item key
// ("FloatForm2Visible"); pane keys "FloatPane", the index and the item key;
// view keys the view name and the item key ("LayerViewWidth").
std::span<const ItemSpec<SPaperPreset>> paperItems();
std::span<const ItemSpec<SFloatFormRec>> floatFormItems();
std::span<const ItemSpec<SFloatPaneRec>> floatPaneItems();
std::span<const ItemSpec<SDockViewRec>> dockViewItems();

inline constexpr std::string_view kFloatFormCountKey = "FloatFormCount";
inline constexpr std::string_view kFloatFormPrefix = "FloatForm";
inline constexpr std::string_view kFloatPanePrefix = "FloatPane";

}  // namespace pg
