#include "document/paper.h"

#include <algorithm>
#include <new>

#include "core/block_image.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_mngr.h"
#include "document/paper_edit.h"
#include "document/tool_window_link.h"
#include "platform/debug_output.h"
#include "platform/message_service.h"
#include "platform/string_table.h"

namespace pg {

namespace {

constexpr uint32_t kMsgException = 65138;      // 例外発生のため実行できません！
constexpr uint32_t kMsgOutOfMemory = 65139;    // メモリ不足のため実行できませんでした！
constexpr uint32_t kMsgEventRepaired = 65158;  // イベント状態の問題を修正しました!
constexpr uint32_t kMsgEventProblem = 65159;   // イベント記録に問題が検出されました!
constexpr uint32_t kMsgUndoCountFailed = 65121;  // アンドゥ回数の変更に失敗しました!

// The recorder of a document that was given none: it never records.
class SilentRecorder final : public IDocRecorder {
 public:
  bool startRecording(int32_t) override { return true; }
  void clear() override {}
  bool hasEvents() const override { return false; }
  bool isStrokeOpen() const override { return false; }
  void activate(bool) override {}
  int32_t undoDepth() const override { return 0; }
  bool undoEvent() override { return false; }
  int32_t redoAvailableCount() const override { return 0; }
  bool redoStep() override { return false; }
  void noteState() override {}
  void dropForwardEvents() override {}
  bool resizeUndoRing(int32_t, int32_t) override { return true; }
  bool recordPaperColor(uint32_t) override { return true; }
};

TRect imageRectOf(const CLayerData& layer) {
  return {0, 0, layer.imageWidth(), layer.imageHeight()};
}

}  // namespace

TPaper::TPaper(IDocWindow* owner, DocServices services) : owner_(owner), services_(std::move(services)) {
  installLayerOwnUndo();
  // The document gradient starts from the tool window's active gradient.
  takeGradientStops(docGradientLink().activeGradient());
  applyGradientOptions();
  layers_ = std::make_unique<CLayerMngr>(24);
  try {
    masks_ = std::make_unique<CMaskMngr>(16);
    masks_->setAntsView(&antsView_);
  } catch (const std::exception&) {
    debugOutput("failed to create maskMngr!\n");
  }
  try {
    const int32_t n = undoMax();
    undoMngr_ = std::make_unique<CUndoMngrEx>(*this, UndoExtra{32}, UndoLimit{n}, RedoLimit{n});
    layers_->dropAllOwnUndo();
  } catch (const std::exception&) {
    debugOutput("failed to create undoMngrEx!\n");
  }
  try {
    events_ = services_.makeRecorder ? services_.makeRecorder(*this) : std::make_unique<SilentRecorder>();
    if (events_) events_->startRecording(eventStreamSize());
  } catch (const std::exception&) {
    events_.reset();
  }
  if (!events_) debugOutput("failed to create eventMngr!\n");
}

TPaper::~TPaper() {
  ready_ = false;
  notifyChange(false);
  composite_.FreeData();
  view_.freeBuffers();
  preview_.FreeData();
  // The undo records own what they keep; they go before the lists they
  // were taken from.
  undoMngr_.reset();
  masks_.reset();
  layers_.reset();
  events_.reset();
}

// ---- owner, services, notification ------------------------------------------

bool TPaper::loadFlowImage(TFlowImage& flow, int32_t index, bool force) {
  CLayerData* layer = layers_ ? layers_->getLayer(index) : nullptr;
  if (layer == nullptr || !layer->image) return false;
  return flow.loadLayer(index, *layer->image, force, layer->id);
}

void TPaper::notifyChange(bool isReady) {
  if (onChange_) onChange_(*this, isReady);
}

void TPaper::markModified(bool modified) {
  if (owner_ != nullptr) owner_->setModified(modified);
}

bool TPaper::canEdit(const EditGateFlags& flags) const { return owner_ != nullptr && owner_->canEdit(flags); }

// ---- sizes and memory ----------------------------------------------------------

int32_t TPaper::undoMax() const {
  return services_.prefs != nullptr ? services_.prefs->undoMax() : kDefaultUndoMax;
}

int32_t TPaper::eventStreamSize() const {
  const int64_t n = static_cast<int64_t>(undoMax()) + 34;
  return static_cast<int32_t>(std::clamp<int64_t>(n, 8, INT32_MAX));
}

int32_t TPaper::currentLayerIndex() const { return layers_ ? layers_->current() : -1; }
int32_t TPaper::lastLayerIndex() const { return layers_ ? layers_->lastIndex() : -1; }
int32_t TPaper::layerCount() const { return layers_ ? layers_->count() : 0; }
bool TPaper::isValidLayer(int32_t index) const { return layers_ && layers_->isValidIndex(index); }

bool TPaper::maxLayerSize(SSize& size) const {
  if (layerCount() == 0) return false;
  size = {};
  for (int32_t i = 0; i < layers_->count(); ++i) {
    const CLayerData* l = layers_->getLayer(i);
    size.W = std::max(size.W, l->imageWidth());
    size.H = std::max(size.H, l->imageHeight());
  }
  return true;
}

uint64_t TPaper::undoMemorySize() const {
  if (undoMngr_) return undoMngr_->memorySize();
  return layers_ ? static_cast<uint64_t>(layers_->ownUndoMemory()) : 0;
}

uint64_t TPaper::memoryUsage(uint64_t& layerBytes, uint64_t& undoBytes) const {
  layerBytes = layers_ ? static_cast<uint64_t>(layers_->memorySize()) : 0;
  undoBytes = undoMemorySize();
  const uint64_t compositeBytes = static_cast<uint64_t>(std::max(composite_.Width, 0)) *
                                  static_cast<uint64_t>(std::max(composite_.Height, 0)) * 9;
  const uint64_t maskBytes = masks_ ? static_cast<uint64_t>(masks_->memorySize()) : 0;
  return compositeBytes + layerBytes + view_.bufferBytes() + maskBytes + undoBytes;
}

// ---- layer list basics -----------------------------------------------------------

int32_t TPaper::insertLayer(int32_t index, int32_t w, int32_t h, bool visible, uint8_t opacity, int32_t kind) {
  if (!layers_) return -1;
  const int32_t at = layers_->insertLayer(index, w, h, kind, !isStandardMode(), opacity, visible);
  if (at < 0) return at;
  int32_t level = 0;
  if (at > 0) {
    const CLayerData* below = layers_->getLayer(at - 1);
    if (below == nullptr) below = layers_->currentLayer();
    if (below != nullptr) level = below->linkLevel;
  }
  layers_->getLayer(at)->setLinkLevel(level);
  (void)opaqueNewLayerInOlderMode(at, kind);  // false where the layer stays as made
  return at;
}

int32_t TPaper::addLayerDefault(int32_t index, bool visible, uint8_t opacity, int32_t kind) {
  return insertLayer(index, width_, height_, visible, opacity, kind);
}

bool TPaper::deleteLayerRaw(int32_t index) { return layers_ && layers_->deleteLayer(index); }

bool TPaper::copyLayerRaw(int32_t source, int32_t target) {
  return layers_ && layers_->assignLayer(target, source);
}

bool TPaper::makeLayerOpaque(int32_t index, int32_t kind) {
  CLayerData* layer = layers_ ? layers_->getLayer(index) : nullptr;
  if (layer == nullptr || kind >= 3) return false;
  layer->setAlphaAll(255);
  return true;
}

bool TPaper::opaqueNewLayerInOlderMode(int32_t index, int32_t kind) {
  return !isStandardMode() && makeLayerOpaque(index, kind);
}


void TPaper::repaintLayer(int32_t index) {
  if (!showCanvasColor_ && view_.patternBuffer().IsAllocated()) {
    for (int32_t y = 0; y < view_.patternBuffer().Height; ++y) {
      uint32_t* row = view_.patternBuffer().pixelAt(0, y);
      std::fill(row, row + view_.patternBuffer().Width, 0xCCCCCCu);
    }
  }
  repaintRect(index, TRect{0, 0, composite_.Width, composite_.Height});
}

void TPaper::repaintRect(int32_t index, const TRect& rect) {
  composeRect(rectToXYWH(rect), true);
  if (owner_ != nullptr) owner_->repaintDocRect(rect);
  updateLayerPreview(false, index, rect);
  if (index != currentLayerIndex()) toolWindowLink().refreshLayerList();
}

// ---- paper colour --------------------------------------------------------------------

bool TPaper::setPaperColor(PaperColor color, bool record) {
  CDocEdit edit(*this, record);
  if (!edit.gate(true)) return false;
  if (!edit.event([&](IDocRecorder& r) { return r.recordPaperColor(color.pixel()); })) return false;
  edit.undoBefore([&](TPaper& doc) {
    return doc.storeAttrUndo(nullptr, static_cast<int32_t>(color.pixel()), kUndoPaperColor, 0);
  });
  paperColor_ = color;
  edit.changed();
  redraw(true);
  return true;
}

void TPaper::undoSetPaperColor(PaperColor color) {
  paperColor_ = color;
  redraw(true);
}

// ---- undo store entry points -----------------------------------------------------

bool TPaper::canUndo(int32_t layerIndex) const {
  if (undoMngr_) return undoMngr_->canUndo();
  const CLayerData* layer = layers_ ? layers_->getLayer(layerIndex) : nullptr;
  return layer != nullptr && layer->canUndoOwn();
}

bool TPaper::canRedo(int32_t layerIndex) const {
  if (undoMngr_) return undoMngr_->canRedo();
  const CLayerData* layer = layers_ ? layers_->getLayer(layerIndex) : nullptr;
  return layer != nullptr && layer->canRedoOwn();
}

bool TPaper::storeUndo(int32_t layerIndex, int kind) {
  CLayerData* layer = layers_ ? layers_->getLayer(layerIndex) : nullptr;
  if (layer == nullptr) return false;
  if (!undoMngr_) return layer->recordOwnUndoAll();
  return storeLayerUndo(*layer, kind);
}

bool TPaper::storeRectUndo(int32_t layerIndex, const SRectXYWH& rect, int kind) {
  CLayerData* layer = layers_ ? layers_->getLayer(layerIndex) : nullptr;
  if (layer == nullptr) return false;
  if (!undoMngr_) return layer->recordOwnUndo(xywhToRect(rect));
  return storeLayerRectUndo(*layer, rect, kind);
}

bool TPaper::storeLayerUndo(CLayerData& layer, int kind) {
  return storeLayerRectUndo(layer, rectToXYWH(imageRectOf(layer)), kind);
}

bool TPaper::storeLayerRectUndo(CLayerData& layer, const SRectXYWH& rect, int kind) {
  return undoMngr_ && undoMngr_->recordLayerRegion(layer, rect, kind);
}

bool TPaper::storeAttrUndo(CLayerData* layer, int32_t value, int kind, int32_t second) {
  return undoMngr_ && undoMngr_->recordLayerAttr(layer, value, kind, second);
}

bool TPaper::pushUndo(std::unique_ptr<CUndoData>& record) {
  return undoMngr_ && undoMngr_->recordItem(record);
}

void TPaper::clearUndo() {
  if (undoMngr_) undoMngr_->clearAll();
  if (events_ && events_->hasEvents()) events_->dropForwardEvents();
}

void TPaper::clearRedo() {
  if (undoMngr_) undoMngr_->clearRedo();
  if (events_ && events_->hasEvents()) events_->dropForwardEvents();
}

bool TPaper::setUndoCount() {
  if (!undoMngr_) return false;
  const int32_t n = eventStreamSize();
  if (events_ && !events_->resizeUndoRing(n, n)) {
    showWarning(resString(kMsgUndoCountFailed));
    return false;
  }
  undoMngr_->setLimits(UndoLimit{undoMax()}, RedoLimit{undoMax()});
  return true;
}

// ---- undo and redo -------------------------------------------------------------------

bool TPaper::undo(TFlowImage& flow, int32_t& layerIndex, TRect& rect) {
  if (!canUndo(layerIndex) || !undoMngr_) return false;
  return applyHistory(Direction::Undo, flow, layerIndex, rect);
}

bool TPaper::redo(TFlowImage& flow, int32_t& layerIndex, TRect& rect) {
  if (!canRedo(layerIndex) || !undoMngr_) return false;
  return applyHistory(Direction::Redo, flow, layerIndex, rect);
}

bool TPaper::applyHistory(Direction dir, TFlowImage& flow, int32_t& layerIndex, TRect& rect) {
  if (owner_ != nullptr) owner_->setWaitCursor(true);
  const bool withEvents = events_ && events_->hasEvents();
  if (withEvents) {
    // The recorder must be able to follow the step; say so once when not.
    if (dir == Direction::Undo) {
      if (events_->undoDepth() < undoMngr_->undoCount()) {
        showWarning(resString(kMsgEventRepaired));
        undoMngr_->trim();
        if (events_->undoDepth() < undoMngr_->undoCount()) showWarning(resString(kMsgEventProblem));
      }
    } else if (events_->redoAvailableCount() < undoMngr_->redoCount()) {
      showWarning(resString(kMsgEventProblem));
    }
  }

  uint32_t flags = 0;
  TRect changed{};
  int32_t index = layerIndex;
  const CLayerData* held = flow.valid ? getLayer(flow.layerIndex) : nullptr;
  const CBlockVMTC* heldImage = held != nullptr ? held->image.get() : nullptr;
  bool ok = dir == Direction::Undo ? undoMngr_->applyUndo(index, flags, changed)
                                   : undoMngr_->applyRedo(index, flags, changed);
  // A step that put another layer or image where the flow image's layer was
  // (a crop, a rebuilt move, a change of order) leaves no rectangle to
  // reload: the flow image is loaded whole when next needed, never painted
  // over as it is.
  const CLayerData* now = flow.valid ? getLayer(flow.layerIndex) : nullptr;
  if (flow.valid && (now != held || now == nullptr || now->image.get() != heldImage)) flow.valid = false;
  if (ok) {
    if (withEvents) {
      if (dir == Direction::Undo) {
        if (!events_->undoEvent()) showWarning("failed to undo event!");
        events_->noteState();
      } else if (!events_->redoStep()) {
        showWarning("failed to redo event!");
        ok = false;
      }
    }
    layerIndex = index;
    rect = changed;
    refreshByFlags(flow, index, flags, changed);
  }
  if (owner_ != nullptr) owner_->setWaitCursor(false);
  return ok;
}

void TPaper::refreshByFlags(TFlowImage& flow, int32_t layerIndex, uint32_t flags, TRect rect) {
  const uint32_t low = flags & 0xFFu;
  const uint32_t high = (flags >> 8) & 0xFFu;
  const SSize docSize{width_, height_};
  if (low & kUndoFlagWholeDocument) {
    refreshAfterUndo(flow, layerIndex, (low & kUndoFlagSizeChanged) != 0);
    if (high & 1u) {
      if (owner_ != nullptr) owner_->invalidateView();
      if (masks_) (void)masks_->traceAnts(docSize, -1);  // the outline only shows the selection
    }
    return;
  }
  if (layers_ && layers_->isValidIndex(layerIndex) && layerIndex != layers_->current()) {
    layers_->setCurrent(layerIndex);
  }
  CLayerData* layer = layers_ ? layers_->getLayer(layers_->current()) : nullptr;
  if ((low & kUndoFlagWholeImage) && layer != nullptr) rect = imageRectOf(*layer);
  if (layer != nullptr && layer->image && layerIndex == layers_->current() && flow.valid &&
      flow.layerIndex == layerIndex) {
    // A record that exchanged layer images (a turn, a scale, a merge) may have
    // changed the layer beyond the rectangle it repaints: the flow takes the
    // whole layer again, or the next stroke would start from the other image.
    if ((low & kUndoFlagHeavy) != 0) {
      (void)loadFlowImage(flow, layerIndex, true);  // a flow that cannot load stays invalid and loads again
    } else {
      flow.reloadRect(*layer->image, rect);
    }
  }
  uint32_t panel = low & kUndoFlagLayerPanel;
  if (low & kUndoFlagSelection) {
    if ((high & 1u) && masks_) (void)masks_->traceAnts(docSize, -1);  // the outline only shows the selection
    if (panel != 0) {
      panel = 0;
    } else if (owner_ != nullptr) {
      owner_->invalidateView();
    }
    toolWindowLink().updateMaskPanel();
  } else {
    if (layer != nullptr) {
      TRect doc = rect;
      offsetRect(doc, -layer->offsetX, -layer->offsetY);
      repaintRect(layerIndex, doc);
    }
    if (low & kUndoFlagLayerPanel1) panel = kUndoFlagLayerPanel;
  }
  if (panel != 0) toolWindowLink().updateLayerPanel();
}

void TPaper::refreshAfterUndo(TFlowImage& flow, int32_t layerIndex, bool relayout) {
  flow.fitDocument(false);
  loadFlowImage(flow, layerIndex, true);
  // A whole-document record may have brought back another size.
  if (composite_.size() != SSize{width_, height_} && !composite_.Resize(width_, height_)) debugOutput("document: the composite could not take the new size");
  redraw(true);
  if (owner_ != nullptr) owner_->documentLayoutChanged(relayout);
}

// ---- IUndoDocument ------------------------------------------------------------------

bool TPaper::undoExchangeLayerList(std::unique_ptr<CLayerMngr>& list) {
  if (!list) return false;
  std::swap(layers_, list);
  width_ = layers_->docWidth();
  height_ = layers_->docHeight();
  if (masks_) masks_->setDocumentSize(width_, height_);
  return true;
}

bool TPaper::undoExchangeMaskList(std::unique_ptr<CMaskMngr>& list) {
  if (!list) return false;
  std::swap(masks_, list);
  masks_->setAntsView(&antsView_);
  // The list comes back from before a change of size, which was set on it
  // while it was still in place: it takes the document's size now.
  masks_->setDocumentSize(width_, height_);
  return true;
}

void TPaper::undoSetSelectionFlags(bool enabled, bool shown) {
  selectionEnabled_ = enabled;
  showAnts_ = shown;
}

// ---- messages ---------------------------------------------------------------------------

void TPaper::showWarning(std::string_view text) const { pg::showWarning(std::string(text)); }

void TPaper::showExceptionMessage() { showWarning(resString(kMsgException)); }

void TPaper::showOutOfMemoryMessage() { showWarning(resString(kMsgOutOfMemory)); }

}  // namespace pg
