#include "document/undo_mngr.h"

#include <new>
#include <vector>

#include "core/block_image.h"

namespace pg {

std::unique_ptr<CUndoData> makeRegionRecord(int64_t layerId, int kind, const SRectXYWH& rect,
                                            const CBlockVMTC& image) {
  SRectXYWH r = rect;
  if (!clipXYWHToSize(r, SSize{image.width(), image.height()})) return nullptr;
  image.alignToTiles(r);
  try {
    auto rec = CUndoData::make(kind, layerId);
    rec->rect = r;
    rec->pixels = std::make_unique<CBlockVMTC>(r.Width, r.Height);
    if (!rec->pixels->isValid()) return nullptr;
    if (!rec->pixels->assignTilesRect(image, r, TPoint{0, 0})) return nullptr;
    return rec;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

CUndoMngr::CUndoMngr(UndoLimit undoMax, RedoLimit redoMax)
    : undoMax_(undoMax.value),
      redoMax_(redoMax.value),
      undoList_(undoMax.value, false),
      redoList_(redoMax.value, false) {}

CUndoMngr::~CUndoMngr() = default;

int32_t CUndoMngr::trim() {
  int32_t dropped = 0;
  while (undoList_.count() > std::max<int32_t>(undoMax_, 0)) {
    undoList_.dropOldest();
    ++dropped;
  }
  return dropped;
}

namespace {

// Copies every record of `src` (oldest last) or answers false.
bool cloneAll(const CUndoList& src, std::vector<std::unique_ptr<CUndoData>>& out) {
  out.clear();
  for (int32_t i = 0; i < src.count(); ++i) {
    auto c = src.at(i)->clone();
    if (!c) return false;
    out.push_back(std::move(c));
  }
  return true;
}

}  // namespace

bool CUndoMngr::assign(const CUndoMngr& other) {
  std::vector<std::unique_ptr<CUndoData>> undoCopies;
  std::vector<std::unique_ptr<CUndoData>> redoCopies;
  const bool ok = cloneAll(other.undoList_, undoCopies) && cloneAll(other.redoList_, redoCopies);
  undoMax_ = other.undoMax_;
  redoMax_ = other.redoMax_;
  undoList_.setup(other.undoList_.capacity(), other.undoList_.fixed());
  redoList_.setup(other.redoList_.capacity(), other.redoList_.fixed());
  if (!ok) return false;
  for (auto& r : undoCopies) undoList_.append(std::move(r));
  for (auto& r : redoCopies) redoList_.append(std::move(r));
  return true;
}

bool CUndoMngr::pushUndo(std::unique_ptr<CUndoData>& record) {
  if (!record || undoMax_ < 1) return false;
  undoList_.push(std::move(record));
  return true;
}

bool CUndoMngr::pushRedo(std::unique_ptr<CUndoData>& record) {
  if (!record || redoMax_ < 1) return false;
  redoList_.push(std::move(record));
  return true;
}

bool CUndoMngr::record(int32_t layerIndex, int64_t layerId, const SRectXYWH& rect, const CBlockVMTC& image,
                       int kind) {
  if (!undoEnabled()) return false;
  auto rec = makeRegionRecord(layerId, kind, rect, image);
  if (!rec) return false;
  rec->layerIndex = layerIndex;
  if (!pushUndo(rec)) return false;
  trim();
  redoList_.clear();
  return true;
}

bool CUndoMngr::swapRegion(CUndoList& from, bool toRedo, CBlockVMTC& image, SRectXYWH& rect) {
  CUndoData* top = from.peek();
  if (top == nullptr) return false;
  if (top->undoClass() != UndoClass::PixelRegion || !top->pixels) {
    from.dropNewest();
    return false;
  }
  // The record of the tiles about to be replaced comes first: when it cannot
  // be made nothing has changed yet.
  auto fresh = makeRegionRecord(top->layerId, top->kind, top->rect, image);
  if (!fresh) return false;
  fresh->layerIndex = top->layerIndex;
  fresh->redoSide = !top->redoSide;
  const SRectXYWH src{0, 0, top->rect.Width, top->rect.Height};
  if (!image.assignTilesRect(*top->pixels, src, TPoint{top->rect.X, top->rect.Y})) {
    // Put back what the region held, so that a failed swap changes nothing.
    (void)image.assignTilesRect(*fresh->pixels, src, TPoint{top->rect.X, top->rect.Y});
    return false;
  }
  rect = top->rect;
  from.dropNewest();
  if (toRedo)
    pushRedo(fresh);
  else
    pushUndo(fresh);
  return true;
}

bool CUndoMngr::undo(CBlockVMTC& image, SRectXYWH& rect) { return swapRegion(undoList_, true, image, rect); }

bool CUndoMngr::redo(CBlockVMTC& image, SRectXYWH& rect) { return swapRegion(redoList_, false, image, rect); }

}  // namespace pg
