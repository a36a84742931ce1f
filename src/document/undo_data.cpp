#include "document/undo_data.h"

#include <new>

#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"

namespace pg {

UndoKept::UndoKept() = default;
UndoKept::~UndoKept() = default;
UndoKept::UndoKept(UndoKept&&) noexcept = default;
UndoKept& UndoKept::operator=(UndoKept&&) noexcept = default;

bool UndoKept::empty() const {
  if (layer || layer2 || layerList || mask || maskList) return false;
  for (const auto& l : layers)
    if (l) return false;
  return true;
}

uint64_t UndoKept::memorySize() const {
  uint64_t total = 0;
  if (layer) total += static_cast<uint64_t>(layer->memorySize());
  if (layer2) total += static_cast<uint64_t>(layer2->memorySize());
  for (const auto& l : layers)
    if (l) total += static_cast<uint64_t>(l->memorySize());
  if (layerList) total += static_cast<uint64_t>(layerList->memorySize());
  if (mask) total += static_cast<uint64_t>(mask->memorySize());
  if (maskList) total += static_cast<uint64_t>(maskList->memorySize());
  return total;
}

CUndoData::CUndoData(int64_t layerId) : layerId(layerId) {}

std::unique_ptr<CUndoData> CUndoData::make(int kind, int64_t layerId) {
  auto r = std::make_unique<CUndoData>(layerId);
  r->kind = static_cast<uint8_t>(kind);
  r->recordClass = undoKindInfo(kind).recordClass;
  r->hasPixels = true;
  return r;
}

CUndoData::~CUndoData() = default;
CUndoData::CUndoData(CUndoData&&) noexcept = default;
CUndoData& CUndoData::operator=(CUndoData&&) noexcept = default;

bool CUndoData::isHeavy() const { return pixels != nullptr || (flags() & kUndoFlagHeavy) != 0; }

std::unique_ptr<CUndoData> CUndoData::clone() const {
  if (!kept.empty()) return nullptr;
  try {
    auto c = std::make_unique<CUndoData>(layerId);
    c->hasPixels = hasPixels;
    c->redoSide = redoSide;
    c->rect = rect;
    c->layerIndex = layerIndex;
    c->recordClass = recordClass;
    c->kind = kind;
    c->block = block;
    c->value1 = value1;
    c->value2 = value2;
    c->value3 = value3;
    c->value4 = value4;
    c->objectId = objectId;
    c->name1 = name1;
    c->name2 = name2;
    c->bytes1 = bytes1;
    c->bytes2 = bytes2;
    c->indices = indices;
    c->ids = ids;
    c->layerNamesBefore = layerNamesBefore;
    c->layerNamesAfter = layerNamesAfter;
    c->maskNamesBefore = maskNamesBefore;
    c->maskNamesAfter = maskNamesAfter;
    if (pixels) {
      c->pixels = CBlockVMTC::CreateCopy(*pixels);
      if (!c->pixels || !c->pixels->isValid()) return nullptr;
    }
    if (extraImage) {
      c->extraImage = CBlockVMTC::CreateCopy(*extraImage);
      if (!c->extraImage || !c->extraImage->isValid()) return nullptr;
    }
    return c;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

uint64_t CUndoData::memorySize() const {
  uint64_t total = 0;
  if (pixels) total += static_cast<uint64_t>(pixels->committedBytes());
  if (extraImage) total += static_cast<uint64_t>(extraImage->committedBytes());
  total += block.size() + bytes1.size() + bytes2.size() + name1.size() + name2.size();
  total += indices.size() * sizeof(int32_t) + ids.size() * sizeof(int64_t);
  total += kept.memorySize();
  return total;
}

}  // namespace pg
