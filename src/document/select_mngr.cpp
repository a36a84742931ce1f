#include "document/select_mngr.h"

#include <algorithm>

#include "core/aa_draw.h"
#include "core/limits.h"
#include "core/plane_ops.h"

namespace pg {

namespace {
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;
}  // namespace

SSize TSelectMng::thumbnailSize(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return SSize{kThumbEdge, kThumbEdge};
  if (width >= height)
    return SSize{kThumbEdge, std::min(kThumbEdge, int32_t(int64_t{height} * kThumbEdge / width) + 1)};
  return SSize{std::min(kThumbEdge, int32_t(int64_t{width} * kThumbEdge / height) + 1), kThumbEdge};
}

TSelectMng::TSelectMng(int32_t width, int32_t height) : width_(width), height_(height) {
  (void)initSlot(slots_[0]);  // initSlot cannot fail; a thumbnail it cannot make stays empty
}

bool TSelectMng::initSlot(SSelectSlot& s) {
  s.empty = true;
  s.ants = TAnts{};
  const SSize t = thumbnailSize(width_, height_);
  if (s.thumbnail.Resize(t.W, t.H)) fill(s.thumbnail, kWhite);
  // The channel waits until a polygon is stored.
  (void)s.channel.Resize(0, 0);  // freeing cannot fail
  return true;
}

bool TSelectMng::setSize(int32_t width, int32_t height) {
  if (!planeSizeAllowed(width, height)) return false;
  width_ = width;
  height_ = height;
  for (int32_t i = 0; i <= current_; ++i) (void)initSlot(slots_[size_t(i)]);  // as above
  return true;
}

bool TSelectMng::setCurrentIndex(int32_t slot) {
  if (slot < 0 || slot >= kSlotCount) return false;
  current_ = slot;
  return true;
}

bool TSelectMng::setFromPolygon(int32_t slot, const TPoint* points, size_t count) {
  if (slot < 0 || slot >= kSlotCount || points == nullptr || count < 3) return false;
  if (!planeSizeAllowed(width_, height_)) return false;
  SSelectSlot& s = slots_[size_t(slot)];
  if ((s.channel.Width != width_ || s.channel.Height != height_ || !s.channel.IsAllocated()) &&
      !s.channel.Resize(width_, height_)) {
    s.empty = true;
    return false;
  }
  fill(s.channel, 0);
  fillPolygonAA(s.channel, points, count);
  const SSize t = thumbnailSize(width_, height_);
  if (s.thumbnail.Resize(t.W, t.H)) fill(s.thumbnail, kBlack);
  s.empty = false;
  return true;
}

void TSelectMng::clearSlot(int32_t slot) {
  if (slot < 0 || slot >= kSlotCount) return;
  SSelectSlot& s = slots_[size_t(slot)];
  s.empty = true;
  if (s.channel.IsAllocated()) fill(s.channel, 0);
  if (s.thumbnail.IsAllocated()) fill(s.thumbnail, kWhite);
}

bool TSelectMng::isEmpty(int32_t slot) const {
  return slot < 0 || slot >= kSlotCount || slots_[size_t(slot)].empty;
}

const SSelectSlot* TSelectMng::slot(int32_t slot) const {
  return slot < 0 || slot >= kSlotCount ? nullptr : &slots_[size_t(slot)];
}

}  // namespace pg
