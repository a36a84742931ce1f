#pragma once
// The levels dialog apart from its widgets: the track bars with three (input)
// or two (output) handles, and the model that keeps the five values of the
// chosen channel, the record of all four channels and the rules between them.
#include <cstdint>

#include "core/rect.h"
#include "filters/filter_dialog_protocol.h"
#include "filters/levels_filter.h"
#include "ui/num_mngr.h"

namespace pg {

struct SHistogram;

enum class ELevelsPart : uint8_t { Min, Max, Mid, None };

// One levels track bar: positions 0..1 (the mid relative to min .. max).
struct CLevelsTrack {
  bool input = true;
  float positionMin = 0.0f;
  float positionMax = 1.0f;
  float positionMid = 0.5f;
  ELevelsPart held = ELevelsPart::None;
  ELevelsPart changed = ELevelsPart::None;

  // The track: 3 pixels in from the left, 6 narrower than the control, 3
  // (input) or 8 (output) high.
  TRect track(int32_t width) const;
  // A handle's left edge: round((width - glyph width) * position).
  int32_t handleX(ELevelsPart part, int32_t width, int32_t glyphWidth) const;
  // The handle a press at x takes: the nearer of min and max (max on a tie),
  // on an input bar the mid unless it is farther than that one.
  ELevelsPart hitTest(int32_t x, int32_t width, int32_t glyphWidth) const;
  // Clamps to 0..1; stores and answers true only when the value changed.
  [[nodiscard]] bool setPosition(ELevelsPart part, float v);
  // The held handle to pointer x (input bars keep min <= max).
  [[nodiscard]] bool dragTo(int32_t x, int32_t width);
};

// Senders of the levels dialog's changes.
enum : int32_t {
  kLvInMin = 0,
  kLvInMax,
  kLvInMid,
  kLvOutMin,
  kLvOutMax,
  kLvInputBar = 10,
  kLvOutputBar,
  kLvLinear = 20,
  kLvDefaults,
  kLvAuto,
  kLvChannel,
};

class CLevelsDialogModel {
 public:
  explicit CLevelsDialogModel(const SHistogram* histogram = nullptr);

  TNumMngr inMin, inMid, inMax, outMin, outMax;
  CLevelsTrack inBar, outBar{false};
  bool linear = true;

  SFltLevels& record() { return record_; }
  int32_t channel() const { return channel_; }
  // The channel list's choice, shown by the next kLvChannel change.
  void selectChannel(int32_t c) { pendingChannel_ = c; }
  // Every channel to 0, 1.00, 255, 0, 255; the values and bars follow.
  void reset();
  // Shows a channel's five values (0 composite, 1..3 red, green, blue).
  void setChannel(int32_t c);
  // The shown values into the chosen channel's bytes, and the linear flag.
  void readControls();
  EPreviewRequest controlChanged(int32_t sender);
  // Leaving the input low or high field: a low not below the high is pushed
  // back (low to high - 1, or high to low + 1).
  void inputFieldLeft(bool leftMin);
  [[nodiscard]] const SHistogram* histogram() const { return histogram_; }

 private:
  void barsFromValues();
  SFltLevels record_;
  int32_t channel_ = 0;
  int32_t pendingChannel_ = 0;
  const SHistogram* histogram_ = nullptr;
};

// What the levels dialog remembers: the record, the linear flag, the box.
struct SLevelsRemembered {
  SFltLevels record;
  bool linear = true;
  bool preview = true;
};
SLevelsRemembered& levelsRemembered();

}  // namespace pg
