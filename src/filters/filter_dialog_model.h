#pragma once
// The parameter dialogs that share one shape: a few numeric values, each a
// field with a slider, some check boxes, at most one choice of modes, and
// the buttons that reset the values or draw a new random seed. One table
// row per dialog says its texts, ranges and defaults and how its controls
// become the record the kernel and the event take. The model holds the
// values (the same value models the widgets show) and answers what a change
// of each control asks of the preview; the widgets live in filters/qt.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "filters/filter_dialog_protocol.h"
#include "ui/num_mngr.h"

namespace pg {

enum class ESliderKind : uint8_t { Plain, CentreLine, Dial, None };

struct SFilterValueDef {
  uint32_t label;      // resource text
  float minimum;
  float maximum;
  float initial;       // the default
  float step;
  const char* format;  // the field's format
  ESliderKind slider;
  const char* unit;    // shown after the field; "" for none
  float centre = 0.0f; // the slider's middle when useCentre
  bool useCentre = false;
  bool wrap = false;   // an angle: typed -999..999, kept within -180..180
  float wrapMin = -180.0f;  // the span a wrapping value is kept within
  float wrapMax = 180.0f;
};

struct SFilterCheckDef {
  uint32_t label;
  bool initial;
};

struct SFilterColourDef {
  uint32_t label;
  uint32_t initial;  // pixel order (blue low)
};

struct SFilterDialogValues {
  std::vector<float> values;
  std::vector<uint8_t> checks;
  int32_t choice = 0;
  int32_t list = 0;
  std::vector<uint32_t> colours;
};

class CFilterDialogModel;

// What a dialog learns when it opens: the layer image's size and the tool
// window's two colours (pixel order).
struct SHistogram;

struct SFilterOpenInfo {
  // The region's histogram, for the dialogs that show one.
  const SHistogram* histogram = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t areaWidth = 0;  // the filter's bounds
  int32_t areaHeight = 0;
  uint32_t foreground = 0xFF000000u;
  uint32_t background = 0xFFFFFFFFu;
};

// Buttons a dialog may carry.
enum EFilterButton : uint8_t {
  kFbDefaults = 1,  // every value to its default
  kFbReseed = 2,    // a new random seed
  kFbReset = 4,     // the values to their defaults
  kFbAuto = 8,      // values from the region's histogram
};

struct SFilterDialogDef {
  const char* command;  // the filter table's command
  uint32_t caption;
  std::vector<SFilterValueDef> values{};
  std::vector<SFilterCheckDef> checks{};
  uint32_t choiceLabel = 0;             // 0: no choice
  std::vector<uint32_t> choiceItems{};
  bool choiceAsList = false;            // a drop-down list instead of buttons
  std::vector<SFilterColourDef> colours{};
  // A second choice, always a drop-down list, whose item texts a function
  // gives (null: none).
  uint32_t listLabel = 0;
  std::vector<std::string> (*listItems)() = nullptr;
  uint8_t buttons = 0;
  uint32_t defaultsCaption = 0;
  bool previewInitial = true;
  // The dialog carries a preview frame beside its controls.
  bool frame = false;
  // The values always open at their defaults (the checks as remembered).
  bool opensAtDefaults = false;
  // The dialog shows the region's histogram in this mode (-1: none).
  int8_t histogramMode = -1;
  // The first gridCount values stand in a grid of gridColumns columns,
  // fields only (a weight matrix).
  int32_t gridCount = 0;
  int32_t gridColumns = 0;
  // A centre picker (label; 0 for none) for values 1 (x) and 2 (y).
  uint32_t pickerLabel = 0;
  // The defaults button is the rules' alone (no value is reset first).
  bool defaultsByRules = false;
  // Called once the dialog opens.
  void (*open)(CFilterDialogModel& m, const SFilterOpenInfo& info) = nullptr;
  // The controls -> the record's bytes.
  void (*pack)(const CFilterDialogModel& m, std::vector<uint8_t>& out) = nullptr;
  // Cross-control rules beyond a value and its slider; may be null.
  void (*special)(CFilterDialogModel& m, int32_t sender) = nullptr;
};

// Control ids as the change handler sees them.
inline constexpr int32_t kSenderValue = 0;      // + value index: a field
inline constexpr int32_t kSenderSlider = 100;   // + value index: a slider
inline constexpr int32_t kSenderCheck = 200;    // + check index
inline constexpr int32_t kSenderChoice = 300;
inline constexpr int32_t kSenderList = 301;
inline constexpr int32_t kSenderDefaults = 400;
inline constexpr int32_t kSenderReseed = 401;
inline constexpr int32_t kSenderReset = 402;
inline constexpr int32_t kSenderAuto = 403;
inline constexpr int32_t kSenderColour = 500;  // + colour index
inline constexpr int32_t kSenderPicker = 600;

// The floor dialog's texture group (beside its table row): the group's
// title, browse and release for the ceiling, then for the floor, and the
// warning for an image file that cannot be read.
inline constexpr uint32_t kTxFloorTexture = 67711;
inline constexpr uint32_t kTxFloorTextureButtons[4] = {67713, 67714, 67716, 67717};
inline constexpr uint32_t kTxFloorTextureUnreadable = 67718;

const std::vector<SFilterDialogDef>& filterDialogTable();
[[nodiscard]] const SFilterDialogDef* filterDialogFor(std::string_view command);

// Round half away from zero, as every dialog rounds its values into records.
int32_t roundHalfAway(float v);

// The scale dialog: a side of the filter area at a percentage, and the
// largest new side it offers for that side.
float scaleSideAt(float side, float percent);
float scaleSideLimit(float side);

// Controls a repeat without the dialog reads from the remembered values:
// the scale's two percentages and mirror boxes, the clouds/rock wrap around.
inline constexpr size_t kScaleWidthPercent = 1;
inline constexpr size_t kScaleHeightPercent = 3;
inline constexpr size_t kScaleMirrorH = 1;
inline constexpr size_t kScaleMirrorV = 2;
inline constexpr size_t kCloudsRockWrap = 0;

class CFilterDialogModel {
 public:
  // The values from the remembered ones of the dialog (or its defaults).
  CFilterDialogModel(const SFilterDialogDef& def, uint8_t layerProtect, uint32_t seed,
                     const SFilterOpenInfo& info = {});

  const SFilterDialogDef& def() const { return def_; }
  TNumMngr& num(size_t i) { return *nums_[i]; }
  const TNumMngr& num(size_t i) const { return *nums_[i]; }
  size_t valueCount() const { return nums_.size(); }
  float value(size_t i) const { return nums_[i]->value(); }
  // Slider positions 0..1, kept by the model so the widgets only show them.
  float slider(size_t i) const { return sliders_[i]; }
  void setSlider(size_t i, float position) { sliders_[i] = position; }
  [[nodiscard]] bool check(size_t i) const { return checks_[i] != 0; }
  void setCheck(size_t i, bool on) { checks_[i] = on ? 1 : 0; }
  int32_t choice() const { return choice_; }
  void setChoice(int32_t c) { choice_ = c; }
  int32_t listIndex() const { return list_; }
  void setListIndex(int32_t i) { list_ = i; }
  uint32_t colour(size_t i) const { return colours_[i]; }
  void setColour(size_t i, uint32_t c) { colours_[i] = c; }
  size_t colourCount() const { return colours_.size(); }
  [[nodiscard]] bool colourEnabled(size_t i) const { return colourEnabled_[i] != 0; }
  void setColourEnabled(size_t i, bool on) { colourEnabled_[i] = on ? 1 : 0; }
  // Whether a value's field and slider take input.
  [[nodiscard]] bool valueEnabled(size_t i) const { return enabled_[i] != 0; }
  void setValueEnabled(size_t i, bool on) { enabled_[i] = on ? 1 : 0; }
  float pickerX() const { return pickerX_; }
  float pickerY() const { return pickerY_; }
  void setPicker(float x, float y) {
    pickerX_ = x;
    pickerY_ = y;
  }
  // Values the rules keep for themselves (a kind's own contrast, colours
  // the dialog opened with).
  std::array<float, 4> ruleValues{};
  std::array<uint32_t, 2> ruleColours{};
  uint32_t seed() const { return seed_; }
  void setSeed(uint32_t s) { seed_ = s; }
  uint8_t layerProtect() const { return protect_; }
  [[nodiscard]] const SHistogram* histogram() const { return histogram_; }

  // The change of one control: what follows it, and what the preview needs.
  EPreviewRequest controlChanged(int32_t sender);
  std::vector<uint8_t> record() const;
  SFilterDialogValues values() const;
  void setValues(const SFilterDialogValues& v);
  void resetValues();

 private:
  const SFilterDialogDef& def_;
  std::vector<std::unique_ptr<TNumMngr>> nums_;
  std::vector<float> sliders_;
  std::vector<uint8_t> checks_;
  std::vector<uint32_t> colours_;
  std::vector<uint8_t> enabled_;
  std::vector<uint8_t> colourEnabled_;
  int32_t choice_ = 0;
  int32_t list_ = 0;
  float pickerX_ = 0.5f;
  float pickerY_ = 0.5f;
  uint32_t seed_ = 0;
  uint8_t protect_ = 0;
  const SHistogram* histogram_ = nullptr;
};

// What each dialog remembers while the program runs: its values and the
// preview box, written by OK.
struct SFilterRemembered {
  SFilterDialogValues values;
  bool preview = true;
};
SFilterRemembered rememberedFor(const SFilterDialogDef& def);
void remember(const SFilterDialogDef& def, const SFilterRemembered& r);
void resetFilterDialogMemory();

}  // namespace pg
