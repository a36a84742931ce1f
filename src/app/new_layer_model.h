#pragma once
// The new-layer dialog ("新規レイヤ") without its widgets: the blend mode list
// in brush blend-mode order, the colour list whose entry of the mode's
// neutral colour is marked and chosen, the opacity field, and the record
// handed back.
#include <array>
#include <cstdint>
#include <string>

namespace pg {

struct SNewLayerRecord {
  std::string name;
  uint32_t blendMode = 3;    // an index of the layer blend-mode table
  uint8_t opacity = 255;
  uint32_t colour = 0xFFFFFFFFu;  // ARGB
};

class CNewLayerModel {
 public:
  explicit CNewLayerModel(const SNewLayerRecord& record);

  // The 22 mode names, the list index being the brush blend mode.
  static std::array<std::string, 22> modeNames();
  // Changes the mode by its list index; the colour list follows it.
  void setModeIndex(int32_t listIndex);
  int32_t modeIndex() const { return modeIndex_; }
  // "白", "黒", "グレー", the neutral one captioned "%s( %s )" with "中性色".
  const std::array<std::string, 3>& colourNames() const { return colours_; }
  void setColourIndex(int32_t index) { colourIndex_ = index < 0 || index > 2 ? 0 : index; }
  int32_t colourIndex() const { return colourIndex_; }
  void setName(const std::string& name) { name_ = name; }
  // 0..100; the slider shows percent / 100.
  void setOpacityPercent(double percent);
  double opacityPercent() const { return opacity_; }
  void setTransparent(bool on) { transparent_ = on; }
  bool transparent() const { return transparent_; }

  // OK: the name, the layer table index of the mode, opacity
  // trunc(percent x 2.55 + 0.5), the colour with alpha 255 unless transparent.
  SNewLayerRecord result() const;

 private:
  std::string name_;
  int32_t modeIndex_ = 0;
  int32_t colourIndex_ = 0;
  double opacity_ = 100;
  bool transparent_ = false;
  std::array<std::string, 3> colours_;
};

}  // namespace pg
