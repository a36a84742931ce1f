// Select > Expand and Select > Contract: the selection grown or shrunk by N
// pixels with the octagonal element (selection_morph.h), through the edit
// protocol. The dialogs that ask N come with the menus.
#include <algorithm>

#include "core/block_image.h"
#include "core/limits.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/paper_edit.h"
#include "document/selection_morph.h"

namespace pg {

namespace {
enum : uint8_t { kMaskExpand = 25, kMaskContract = 26 };
}  // namespace

std::unique_ptr<CMaskData> TPaper::selectExtentMask(const CMaskData& mask, int32_t n, bool grow) const {
  TRect bounds{};
  if (!mask.hasImage() || n < 1 || !mask.image->getBounds(bounds)) return nullptr;
  // The work covers the selected pixels and, when growing, n more on every
  // side; the new image covers that and the old image.
  TRect work{bounds.Left - (grow ? n : 0), bounds.Top - (grow ? n : 0), bounds.Right + (grow ? n : 0),
             bounds.Bottom + (grow ? n : 0)};
  TRect cover{0, 0, mask.imageWidth(), mask.imageHeight()};
  unionRect(cover, work);
  const SSize ws = rectSize(work), cs = rectSize(cover);
  if (!planeSizeAllowed(ws.W, ws.H) || !planeSizeAllowed(cs.W, cs.H)) return nullptr;
  std::vector<uint8_t> px;
  try {
    px.resize(static_cast<size_t>(ws.W) * static_cast<size_t>(ws.H));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  for (int32_t y = 0; y < ws.H; ++y)
    for (int32_t x = 0; x < ws.W; ++x)
      px[static_cast<size_t>(y) * static_cast<size_t>(ws.W) + static_cast<size_t>(x)] =
          mask.image->getPixelOr0(work.Left + x, work.Top + y);
  if (!morphOctagon(px, ws.W, ws.H, n, grow)) return nullptr;
  std::unique_ptr<CMaskData> next = CMaskData::createSized(mask.index, cs.W, cs.H);
  if (!next || !next->hasImage()) return nullptr;
  next->image->clearCommitFailed();
  // The old image outside the work stays as it was (all 0 there).
  for (int32_t y = 0; y < ws.H; ++y)
    for (int32_t x = 0; x < ws.W; ++x) {
      const uint8_t v = px[static_cast<size_t>(y) * static_cast<size_t>(ws.W) + static_cast<size_t>(x)];
      if (v != 0 && !next->image->setPixel(work.Left - cover.Left + x, work.Top - cover.Top + y, v)) return nullptr;
    }
  next->image->compact();
  next->offsetX = mask.offsetX - cover.Left;
  next->offsetY = mask.offsetY - cover.Top;
  next->name = mask.name;
  return next;
}

bool TPaper::applySelectExtent(int32_t maskIndex, bool record, int32_t option, int32_t n, bool grow) {
  CDocEdit edit(*this, record);
  maskIndex = maskIndexOr(maskIndex);
  const CMaskData* mask = masks_ ? masks_->getMask(maskIndex) : nullptr;
  if (!edit.gate(CMaskData::hasImage(mask) && n >= 1 && n <= kMaxSelectExtent)) return false;
  CWaitCursor wait(owner_);
  std::unique_ptr<CMaskData> next = selectExtentMask(*mask, n, grow);
  if (!next) return false;
  const uint32_t first = static_cast<uint32_t>(option & 0xFFFF) | static_cast<uint32_t>(n) << 16;
  if (!maskEvent(edit, grow ? kMaskExpand : kMaskContract, maskIndex, true, first, 0)) return false;
  const int32_t before = masks_->current();
  std::unique_ptr<CMaskData> old = masks_->replaceMask(maskIndex, std::move(next));
  masks_->renumber();
  selectionReplaced(edit, maskIndex, before, std::move(old));
  return true;
}

bool TPaper::applySelectExpand(int32_t maskIndex, bool record, int32_t option, int32_t n) {
  return applySelectExtent(maskIndex, record, option, n, true);
}

bool TPaper::applySelectContract(int32_t maskIndex, bool record, int32_t option, int32_t n) {
  return applySelectExtent(maskIndex, record, option, n, false);
}

}  // namespace pg
