#pragma once
// The pattern list of the tone panel. CPatMngrBase keeps an owning list of
// pattern objects with a current one, and prepares from the current pattern
// a working pattern at the current scale; CToneMngr is the list of screen
// tones (bitmap tones and generated tones). The tone plot call-backs sample
// the working pattern through CToneMngr::patternAt for every pixel.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "brush/screen_tone.h"
#include "brush/tone_patterns.h"
#include "core/blend_arith.h"

namespace pg {

class CPatMngrBase {
 public:
  CPatMngrBase() = default;
  virtual ~CPatMngrBase() = default;
  CPatMngrBase(const CPatMngrBase&) = delete;
  CPatMngrBase& operator=(const CPatMngrBase&) = delete;

  // The list is not empty and the current index is valid.
  virtual bool hasCurrent() const { return validIndex(CurrentIndex); }
  // Deletes every pattern; current -1; notifies; answers the number deleted.
  virtual int32_t clear();
  // Frees the working pattern; notifies.
  virtual void freeWork();
  // Builds the working pattern from the current one.
  virtual void makeWork() = 0;
  // The working pattern's origin := the current pattern's, scale 100; notifies.
  virtual void prepareWork();

  int32_t count() const { return static_cast<int32_t>(Items.size()); }
  bool validIndex(int32_t i) const { return i >= 0 && i < count(); }
  // The pattern or nullptr.
  CPatObj* getItem(int32_t i) const { return validIndex(i) ? Items[static_cast<size_t>(i)].get() : nullptr; }
  // Non-empty list: clamps the index, makes that pattern current and builds
  // the working pattern. Empty list: no current pattern, no working one, -1.
  int32_t setCurrentIndex(int32_t i);
  // Appends (nullptr refused with -1); sets modified; answers the index.
  [[nodiscard]] int32_t add(std::unique_ptr<CPatObj> pattern);

  int32_t currentIndex() const { return CurrentIndex; }
  CPatObj* current() const { return Current; }
  const CPatObj* work() const { return Work.get(); }

  bool modified() const { return Modified; }
  void setModified(bool b) { Modified = b; }
  void setOnChange(std::function<void(CPatMngrBase&)> f) { OnChange = std::move(f); }
  void notifyChange() {
    if (OnChange) OnChange(*this);
  }

  // Offsets added to every sampled position.
  int32_t OriginX = 0;
  int32_t OriginY = 0;
  std::string Name;

 protected:
  std::vector<std::unique_ptr<CPatObj>> Items;
  int32_t CurrentIndex = -1;
  CPatObj* Current = nullptr;
  std::unique_ptr<CPatObj> Work;
  bool Modified = false;
  std::function<void(CPatMngrBase&)> OnChange;
};

class CToneMngr : public CPatMngrBase {
 public:
  CToneMngr();

  // The tone plot weight: with a working pattern,
  // mulDiv255(value, its value at (x + origin x, y + origin y)); without one,
  // the value unchanged. value is a coverage byte 0..255. Per painted pixel.
  uint32_t patternAt(int32_t x, int32_t y, uint32_t value) const {
    const CPatObj* w = Work.get();
    if (w == nullptr) return value;
    return mulDiv255(value, w->valueAt(wrapAdd(x, OriginX), wrapAdd(y, OriginY)));
  }

  // A bitmap tone holding a copy of the image, with the scale (the pattern's
  // value), the switch (invert) and the tile origin; -1 on failure.
  [[nodiscard]] int32_t addTone(const TChannel& image, int32_t scale, bool invert, int32_t originX, int32_t originY);
  // A generated tone built by the shared maker from the attributes, its tile
  // copied from the image when one is given; -1 on failure.
  [[nodiscard]] int32_t addToneFromImage(const SToneAttr& attr, const TChannel* image, int32_t scale, bool invert,
                           int32_t originX, int32_t originY);

  // The working pattern of the current one at its scale: a bitmap tone is
  // copied (scale 100) or resampled to scale x size / 100; a generated tone
  // is rebuilt with its resolution times scale / 100. No working pattern
  // when there is no current one or the scaled tone cannot be made.
  void makeWork() override;

  CToneMaker& maker() { return Maker; }
  TChannel& workPlane() { return WorkPlane; }

 private:
  CToneMaker Maker;
  TChannel WorkPlane{256, 256};
};

}  // namespace pg
