#include "document/paper_ops.h"

#include <algorithm>

#include "document/doc_recorder.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"

namespace pg {

int32_t selectModeFromKeys(bool hasSelection, SModifierKeys keys, int32_t shortcutMode) {
  if (!hasSelection) return 0;
  if (keys.shift) {
    if (shortcutMode == 1 && keys.ctrl) return 3;
    if (shortcutMode != 0) return 1;
    return keys.alt ? 3 : 1;
  }
  if (shortcutMode == 1 && keys.ctrl) return 2;
  if (shortcutMode != 0) return 0;
  return keys.alt ? 2 : 0;
}

int32_t toleranceFromLimit(int32_t limit) {
  const int32_t l = std::clamp(limit, 0, 255);
  return 2 * l * l;
}

bool writeDocEvent(IDocRecorder& recorder, const std::function<bool(IDocEventRecorder&)>& write) {
  IDocEventRecorder* events = eventRecorderOf(&recorder);
  return events == nullptr || write(*events);
}

std::unique_ptr<CUndoData> makeMaskUndo(const TPaper& doc, int kind, int32_t maskIndex, int32_t currentBefore,
                                        std::unique_ptr<CMaskData> kept) {
  const CLayerData* layer = doc.currentLayer();
  auto rec = CUndoData::make(kind, layer != nullptr ? static_cast<int64_t>(layer->id) : -1);
  if (!rec) return nullptr;
  rec->hasPixels = true;
  rec->layerIndex = doc.currentLayerIndex();
  rec->value1 = maskIndex;
  const CMaskData* now = doc.masks()->getMask(maskIndex);
  rec->objectId = now != nullptr ? static_cast<int64_t>(now->id) : -1;
  rec->value3 = currentBefore;
  rec->value4 = doc.masks()->current();
  rec->kept.mask = std::move(kept);
  return rec;
}

std::unique_ptr<CUndoData> makeReplacedLayerUndo(const TPaper& doc, int kind, int32_t index,
                                                 std::unique_ptr<CLayerData> old) {
  const CLayerData* now = doc.getLayer(index);
  if (now == nullptr || !old) return nullptr;
  auto rec = CUndoData::make(kind, static_cast<int64_t>(now->id));
  if (!rec) return nullptr;
  rec->hasPixels = true;
  rec->layerIndex = index;
  rec->value1 = index;
  rec->objectId = static_cast<int64_t>(now->id);
  rec->kept.layer = std::move(old);
  return rec;
}

}  // namespace pg
