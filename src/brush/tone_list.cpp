#include "brush/tone_list.h"

#include <algorithm>

#include "core/area_scale.h"
#include "core/limits.h"

namespace pg {

// --------------------------------------------------------------- CPatMngrBase

int32_t CPatMngrBase::clear() {
  const int32_t n = count();
  Items.clear();
  Current = nullptr;
  CurrentIndex = -1;
  notifyChange();
  return n;
}

void CPatMngrBase::freeWork() {
  Work.reset();
  notifyChange();
}

void CPatMngrBase::prepareWork() {
  if (Work && Current != nullptr) {
    Work->OffsetX = Current->OffsetX;
    Work->OffsetY = Current->OffsetY;
    Work->Scale = 100;
  }
  notifyChange();
}

int32_t CPatMngrBase::setCurrentIndex(int32_t i) {
  if (Items.empty()) {
    Current = nullptr;
    CurrentIndex = -1;
    freeWork();
    return -1;
  }
  CurrentIndex = std::clamp(i, 0, count() - 1);
  Current = Items[static_cast<size_t>(CurrentIndex)].get();
  makeWork();
  return CurrentIndex;
}

int32_t CPatMngrBase::add(std::unique_ptr<CPatObj> pattern) {
  if (!pattern) return -1;
  Items.push_back(std::move(pattern));
  Modified = true;
  return count() - 1;
}

// ------------------------------------------------------------------ CToneMngr

CToneMngr::CToneMngr() = default;

int32_t CToneMngr::addTone(const TChannel& image, int32_t scale, bool invert, int32_t originX, int32_t originY) {
  if (!isPlaneReady(&image) || image.Width <= 0 || image.Height <= 0) return -1;
  auto p = std::make_unique<CPat8>(0, 0, 0);
  if (!p->setFromChannel(image)) return -1;
  p->Scale = scale;
  p->Invert = invert ? 1 : 0;
  p->OffsetX = originX;
  p->OffsetY = originY;
  p->setIndex(true);
  return add(std::move(p));
}

int32_t CToneMngr::addToneFromImage(const SToneAttr& attr, const TChannel* image, int32_t scale, bool invert,
                                    int32_t originX, int32_t originY) {
  auto p = std::make_unique<CPat8Tone>();
  const TChannel* plane = isPlaneReady(image) ? image : nullptr;
  if (!p->build(&attr, &Maker, plane, false)) return -1;
  p->Scale = scale;
  p->Invert = invert ? 1 : 0;
  p->OffsetX = originX;
  p->OffsetY = originY;
  return add(std::move(p));
}

void CToneMngr::makeWork() {
  if (Current == nullptr) {
    freeWork();
    return;
  }
  // Scales come from recordings: the working size is computed in 64 bits and
  // refused (no working pattern) when it leaves the image limits.
  const int64_t s = Current->Scale;
  if (!Current->isTone()) {
    auto* src = dynamic_cast<CPat8*>(Current);
    if (src == nullptr || !isPlaneReady(&src->Tile)) {
      freeWork();
      return;
    }
    const int64_t w = s * src->Tile.Width / 100;
    const int64_t h = s * src->Tile.Height / 100;
    if (w < 1 || h < 1 || w > kMaxImageWidth || h > kMaxImageHeight) {
      freeWork();
      return;
    }
    auto* work = dynamic_cast<CPat8*>(Work.get());
    if (work == nullptr || work->isTone() || work->Tile.Width != w || work->Tile.Height != h) {
      Work = std::make_unique<CPat8>(static_cast<int32_t>(w), src->Mode, static_cast<int32_t>(h));
      work = static_cast<CPat8*>(Work.get());
      if (!isPlaneReady(&work->Tile)) {
        freeWork();
        return;
      }
    }
    if (s == 100) {
      if (!work->setFromChannel(src->Tile)) {
        freeWork();
        return;
      }
    } else {
      CScaleImageCH scaler(src->Tile, &work->Tile);
      // False only when nothing was drawn, which the sizes checked above rule out.
      (void)scaler.execute({0, 0, src->Tile.Width, src->Tile.Height}, {0, 0, work->Tile.Width, work->Tile.Height});
    }
    work->Invert = src->Invert;
    work->setIndex(true);
  } else {
    auto* src = dynamic_cast<CPat8Tone*>(Current);
    if (src == nullptr) {
      freeWork();
      return;
    }
    SToneAttr attr = src->attributes();
    if (s != 100) attr.Resolution = static_cast<float>(static_cast<double>(attr.Resolution) * static_cast<double>(s) / 100.0);
    auto* work = dynamic_cast<CPat8Tone*>(Work.get());
    if (work == nullptr) {
      Work = std::make_unique<CPat8Tone>();
      work = static_cast<CPat8Tone*>(Work.get());
    }
    // The working tone keeps a maker of its own: the shared one is set up
    // anew for every tone the list builds, and the working tone is sampled
    // for every painted pixel.
    if (!work->build(&attr, nullptr, nullptr, true)) {
      freeWork();
      return;
    }
    work->Invert = src->Invert;
    work->IsTone = src->IsTone;
  }
  prepareWork();
}

}  // namespace pg
