#pragma once
// TPaper: the open document of one document window. It owns the layer list,
// the mask list, the undo manager, the recorder of the drawing process and
// the display buffers, holds the view state, and is the entry point of every
// edit. Every recorded edit goes through CDocEdit (paper_edit.h).
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "brush/plot_document.h"
#include "core/planes.h"
#include "core/rect.h"
#include "document/doc_services.h"
#include "document/paper_color.h"
#include "document/undo_mngr_ex.h"

namespace pg {

class CLayerData;
class CLayerMngr;
class CMaskMngr;
class TFlowImage;
class TStroke;
class CStrokeMngr;
class CPenRender;
class IPenDocument;

class TPaper final : public IUndoDocument, public IPlotDocument {
 public:
  // Builds an empty document (no size, no layers, recording) for a window
  // (may be null). A neighbour object that cannot be made stays null; the
  // failure is written to the debug output and isComplete() answers false.
  TPaper(IDocWindow* owner, DocServices services = {});
  ~TPaper() override;
  TPaper(const TPaper&) = delete;
  TPaper& operator=(const TPaper&) = delete;

  // ---- fields ----
  std::string name;
  uint8_t strokeEngineLevel = 1;
  uint8_t strokeEngineMode = 1;
  bool showCanvasColor = true;
  bool showBgPattern = false;
  PaperColor paperColor;
  int32_t resolution = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool showAnts = false;
  bool selectionEnabled = false;
  bool legacyFlag = false;
  bool ready = false;
  bool showGrid = false;
  int32_t gridX = 25;
  int32_t gridY = 25;
  TPoint scrollOrigin{};
  TPoint scrollOffset{};
  SRatio zoom{1, 1};
  float angleRad = 0.0f;
  TPointF viewCenter{};
  float angleDeg = 0.0f;
  float sinA = 0.0f;
  float cosA = 1.0f;
  TTC composite{true};
  TTC viewBuffer{true};
  TTC patternBuffer{true};
  TMTC preview;
  // The stroke walker's state: no previous dab, and no distance yet.
  bool walkerHasPrevious = false;
  std::array<float, 4> walkerDistance{};
  // Called as onChange(document, ready): true once set up, false when it goes.
  std::function<void(TPaper&, bool)> onChange;

  // ---- owned objects ----
  CLayerMngr* layers() const { return layers_.get(); }
  CMaskMngr* masks() const { return masks_.get(); }
  CUndoMngrEx* undoMngr() const { return undoMngr_.get(); }
  IDocRecorder* events() const { return events_.get(); }
  // Every owned object was made.
  bool isComplete() const { return layers_ && masks_ && undoMngr_ && events_; }

  // ---- owner, services, notification ----
  void setOwner(IDocWindow* window) { owner_ = window; }
  IDocWindow* ownerWindow() const { return owner_; }
  const DocServices& services() const { return services_; }
  // The flow image the owning window keeps for this document.
  void setFlowImage(TFlowImage* flow) { flow_ = flow; }
  TFlowImage* flowImage() const { return flow_; }
  bool loadFlowImage(TFlowImage& flow, int32_t index, bool force);
  void notifyChange(bool isReady);
  void markModified(bool modified);
  // The window's edit gate; false without a window.
  bool canEdit(const EditGateFlags& flags) const;
  // False while the document works in the older-format stroke mode.
  bool isStandardMode() const override { return !olderFormatMode_; }

  // ---- sizes and memory ----
  int32_t undoMax() const;
  // Steps of each side of the recorder's undo ring: max(8, undoMax + 34).
  int32_t eventStreamSize() const;
  int32_t currentLayerIndex() const;
  int32_t lastLayerIndex() const;
  int32_t layerCount() const;
  bool isValidLayer(int32_t index) const;
  // The widest and the tallest layer image; false without layers.
  bool maxLayerSize(SSize& size) const;
  uint64_t undoMemorySize() const;
  // Composite width x height x 9 + layers + view and pattern buffers +
  // masks + undo.
  uint64_t memoryUsage(uint64_t& layerBytes, uint64_t& undoBytes) const;

  // ---- layer list basics (no event, no undo) ----
  int32_t insertLayer(int32_t index, int32_t w, int32_t h, bool visible, uint8_t opacity, int32_t kind);
  int32_t addLayerDefault(int32_t index, bool visible, uint8_t opacity, int32_t kind);
  bool deleteLayerRaw(int32_t index);
  bool copyLayerRaw(int32_t source, int32_t target);
  bool makeLayerOpaque(int32_t index, int32_t kind);
  bool opaqueNewLayerInOlderMode(int32_t index, int32_t kind);
  void resizeThumbnails();
  void repaintLayer(int32_t index);
  // Repaints a rectangle of the document (document coordinates), refreshes
  // the layer's thumbnail and, for a layer that is not current, the panel.
  void repaintRect(int32_t index, const TRect& rect);

  // ---- paper colour ----
  // The paper colour, recorded: event, undo (kind 17), then the value.
  bool setPaperColor(PaperColor color, bool record);

  // ---- undo store entry points ----
  bool hasUndo() const { return undoMngr_ != nullptr; }
  bool undoAvailable() const { return undoMngr_ && undoMngr_->undoEnabled(); }
  bool canUndo(int32_t layerIndex) const;
  bool canRedo(int32_t layerIndex) const;
  bool storeUndo(int32_t layerIndex, int kind);
  bool storeRectUndo(int32_t layerIndex, const SRectXYWH& rect, int kind);
  bool storeLayerUndo(CLayerData& layer, int kind);
  bool storeLayerRectUndo(CLayerData& layer, const SRectXYWH& rect, int kind);
  bool storeAttrUndo(CLayerData* layer, int32_t value, int kind, int32_t second);
  // Hands a record to the undo manager; on true it owns the record (and the
  // objects it keeps) and `record` is empty, on false the caller keeps it.
  bool pushUndo(std::unique_ptr<CUndoData>& record);
  // Empties both lists and drops the recorder's events beyond its position.
  void clearUndo();
  void clearRedo();
  // After the undo-count preference changed: resizes the recorder's ring
  // and sets both limits.
  bool setUndoCount();

  // ---- undo and redo ----
  bool undo(TFlowImage& flow, int32_t& layerIndex, TRect& rect);
  bool redo(TFlowImage& flow, int32_t& layerIndex, TRect& rect);
  void refreshAfterUndo(TFlowImage& flow, int32_t layerIndex, bool relayout);

  // ---- strokes (paper_stroke.cpp) ----
  // begin, points, end of a freehand stroke into the flow image; `record` is
  // false during replay. paintWindow: show each touched rectangle at once.
  bool beginStroke(TFlowImage& flow, TStroke& stroke, bool record, float x, float y, float pressure);
  bool continueStroke(TFlowImage& flow, TStroke& stroke, bool record, bool paintWindow, float x, float y,
                      float pressure);
  bool endStroke(TFlowImage& flow, TStroke& stroke, bool record, SRectXYWH& strokeRect, bool paintWindow);
  // 1: the dab-table walker, 2: the pen engine (once it exists); any other
  // level, or one above the engine level, is refused.
  bool selectPenEngine(int32_t level);
  // The pen-method engine (mode 2): made over the given settings and dab
  // renderer (both the caller's, kept by pointer); the engine level becomes 2.
  bool createPenEngine(TStroke& stroke, CPenRender& renderer);
  void freePenEngine();
  CStrokeMngr* penEngine() const { return penEngine_.get(); }
  bool beginEngineStroke(TFlowImage& flow, TStroke& stroke, bool record, float x, float y, float pressure);
  bool continueEngineStroke(TFlowImage& flow, TStroke& stroke, bool record, bool paintWindow, float x, float y,
                            float pressure);
  bool endEngineStroke(TFlowImage& flow, TStroke& stroke, bool record, SRectXYWH& strokeRect, bool paintWindow);
  TStrokeSink strokeSink() const { return strokeSink_; }
  // 1 when the latest segment's major axis is x, 0 when it is y.
  uint8_t stepAxis = 0;
  // Points of the open stroke (0 at begin); true from begin to end.
  int32_t strokePointCount = 0;
  bool strokeOpen = false;

  // ---- IPlotDocument (plot_document_impl.cpp) ----
  const CBlockVCH* selectionImage(TPoint& maskOffset) const override;
  TPoint currentLayerOffset() const override;
  SSize currentLayerSize() const override;
  bool hasLayers() const override;
  bool currentLayerProtectsAlpha() const override;
  bool isReplaying() const override;
  const CToneMngr* toneManager() const override { return nullptr; }
  const CGradation* gradient() const override { return nullptr; }
  void setStrokeProc(TStrokeSink sink) override;

  // ---- messages ----
  void showExceptionMessage();
  void showOutOfMemoryMessage();
  void showWarning(std::string_view text) const;

 public:
  // What undo applies through (IUndoDocument); these record nothing. The
  // whole-image operations exchange the lists through them too.
  CLayerMngr* undoLayers() override { return layers_.get(); }
  CMaskMngr* undoMasks() override { return masks_.get(); }
  PaperColor undoPaperColor() const override { return paperColor; }
  void undoSetPaperColor(PaperColor color) override;
  bool undoRotateImage90(bool clockwise) override;
  bool undoExchangeLayerList(std::unique_ptr<CLayerMngr>& list) override;
  bool undoExchangeMaskList(std::unique_ptr<CMaskMngr>& list) override;
  bool undoSelectionEnabled() const override { return selectionEnabled; }
  bool undoShowAnts() const override { return showAnts; }
  void undoSetSelectionFlags(bool enabled, bool shown) override;

 private:
  enum class Direction { Undo, Redo };
  bool applyHistory(Direction dir, TFlowImage& flow, int32_t& layerIndex, TRect& rect);
  void refreshByFlags(TFlowImage& flow, int32_t layerIndex, uint32_t flags, TRect rect);

  IDocWindow* owner_ = nullptr;
  DocServices services_;
  TFlowImage* flow_ = nullptr;
  bool olderFormatMode_ = false;
  TStrokeSink strokeSink_ = TStrokeSink::DabTable;
  // Shared pointers so that this header needs neither type whole.
  std::shared_ptr<CStrokeMngr> penEngine_;
  std::shared_ptr<IPenDocument> penDocument_;
  CPenRender* penRender_ = nullptr;
  std::unique_ptr<CLayerMngr> layers_;
  std::unique_ptr<CMaskMngr> masks_;
  std::unique_ptr<CUndoMngrEx> undoMngr_;
  std::unique_ptr<IDocRecorder> events_;
};

}  // namespace pg
