#pragma once
// TPaper: the open document of one document window. It owns the layer list,
// the mask list, the undo manager, the recorder of the drawing process, the
// composite and the preview, and the state kept in classes of their own: the
// view (CViewState), the document gradient (CDocGradient) and the stroke in
// progress (CStrokeState). It is the entry point of every edit; every
// recorded edit goes through CDocEdit (paper_edit.h).
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/fonts.h"

#include "brush/gradient.h"
#include "brush/plot_document.h"
#include "core/fixed_point.h"
#include "core/planes.h"
#include "core/rect.h"
#include "document/doc_gradient.h"
#include "document/doc_services.h"
#include "document/paper_color.h"
#include "document/paper_compose.h"
#include "document/paper_gradient.h"
#include "document/paper_ops.h"
#include "document/paper_view.h"
#include "document/seed_fill.h"
#include "document/select_mngr.h"
#include "document/stroke_state.h"
#include "document/undo_mngr_ex.h"
#include "document/view_state.h"

namespace pg {

class CLayerData;
class CLayerMngr;
class CMaskMngr;
class CMaskData;
class TFlowImage;
class TStroke;
class TEventPacket;

class CStrokeMngr;
class CPenRender;
class CPenShapeObj;
class IPenDocument;
class CDocEdit;
struct SColorRangeEntry;
struct SColorRangeSettings;
class CFillMngr;
struct SPlotState;
class IDocEventRecorder;

class TPaper final : public IUndoDocument, public IPlotDocument {
 public:
  // Builds an empty document (no size, no layers, recording) for a window
  // (may be null). A neighbour object that cannot be made stays null; the
  // failure is written to the debug output and isComplete() answers false.
  TPaper(IDocWindow* owner, DocServices services = {});
  ~TPaper() override;
  TPaper(const TPaper&) = delete;
  TPaper& operator=(const TPaper&) = delete;

  // ---- name, resolution, size and pictures ----
  // The document's name: its file path, or the name a new image was given.
  const std::string& name() const { return name_; }
  void setName(std::string docName) { name_ = std::move(docName); }
  // Dots per inch, as the document was set up or read.
  int32_t resolution() const { return resolution_; }
  void setResolution(int32_t dpi) { resolution_ = dpi; }
  // The document size in pixels; 0 until the document is set up or sized.
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Stores the size, nothing else (fixtures that build the lists themselves);
  // setSize sizes the lists and the composite as well.
  void setSizeValue(int32_t w, int32_t h) {
    width_ = w;
    height_ = h;
  }
  // All layers composed at the document size.
  TTC& composite() { return composite_; }
  const TTC& composite() const { return composite_; }
  // The composite reduced four times; kept up only while allocated.
  TMTC& preview() { return preview_; }
  const TMTC& preview() const { return preview_; }

  // Called as handler(document, ready): true once set up, false when it goes.
  void setOnChange(std::function<void(TPaper&, bool)> handler) { onChange_ = std::move(handler); }

  // ---- owned objects ----
  // How the document is looked at: zoom, rotation, scroll, grid, view buffers.
  CViewState& view() { return view_; }
  const CViewState& view() const { return view_; }
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
  // Loads layer `index` into the flow image (TFlowImage::loadLayer); answers
  // whether pixels were copied, which a refresh may leave: a load that fails
  // leaves the flow invalid, so the next use loads again. A caller that
  // needs the layer loaded asks flow.holds(index).
  bool loadFlowImage(TFlowImage& flow, int32_t index, bool force);
  void notifyChange(bool isReady);
  // Set up: a size, layers and the first recorded state.
  bool isReady() const { return ready_; }
  // The document has been set up (by a new image or a reader): it is ready
  // and onChange is told.
  void markReady() {
    ready_ = true;
    notifyChange(true);
  }
  void markModified(bool modified);
  // The window's edit gate; false without a window.
  [[nodiscard]] bool canEdit(const EditGateFlags& flags) const;
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
  [[nodiscard]] bool maxLayerSize(SSize& size) const;
  uint64_t undoMemorySize() const;
  // Composite width x height x 9 + layers + view and pattern buffers +
  // masks + undo.
  uint64_t memoryUsage(uint64_t& layerBytes, uint64_t& undoBytes) const;

  // ---- layer list basics (no event, no undo) ----
  int32_t insertLayer(int32_t index, int32_t w, int32_t h, bool visible, uint8_t opacity, int32_t kind);
  int32_t addLayerDefault(int32_t index, bool visible, uint8_t opacity, int32_t kind);
  [[nodiscard]] bool deleteLayerRaw(int32_t index);
  [[nodiscard]] bool copyLayerRaw(int32_t source, int32_t target);
  [[nodiscard]] bool makeLayerOpaque(int32_t index, int32_t kind);
  [[nodiscard]] bool opaqueNewLayerInOlderMode(int32_t index, int32_t kind);
  void repaintLayer(int32_t index);
  // Repaints a rectangle of the document (document coordinates), refreshes
  // the layer's thumbnail and, for a layer that is not current, the panel.
  void repaintRect(int32_t index, const TRect& rect);

  // ---- paper colour ----
  // The paper colour, recorded: event, undo (kind 17), then the value; the
  // picture is recomposed.
  [[nodiscard]] bool setPaperColor(PaperColor color, bool record);
  // Stores the paper colour, nothing else (readers of files use it).
  void setPaperColorValue(PaperColor color) { paperColor_ = color; }
  PaperColor paperColor() const { return paperColor_; }

  // ---- setup (paper_setup.cpp) ----
  // Names and sizes an empty document, makes its first layer (layer size in
  // the standard mode, else the document size) and records the new image.
  // Sizes are clamped to 1 .. 10,000. False when the first layer cannot be
  // made (the document then stays not ready).
  [[nodiscard]] bool setupDocument(const std::string& docName, TFlowImage* flow, bool transparent, bool canvasColourOff,
                     int32_t dpi, int32_t layerHeight, int32_t layerWidth, int32_t docHeight, int32_t docWidth);
  // setupDocument with the layer the size of the document.
  [[nodiscard]] bool newDocument(const std::string& docName, TFlowImage* flow, bool transparent, bool canvasColourOff,
                   int32_t dpi, int32_t docHeight, int32_t docWidth);
  // The document size (clamped to 1 .. 10,000): layer and mask lists, the
  // flow image (the given one, else the window's), the composite, the
  // window's layout.
  [[nodiscard]] bool setSize(TFlowImage* flow, int32_t w, int32_t h);
  [[nodiscard]] CLayerData* getLayer(int32_t index) const;
  [[nodiscard]] CLayerData* currentLayer() const;
  // The window caption: the name, or its file part unless the preferences
  // ask for the full path.
  std::string windowCaption() const;
  // The blend mode of the layer a stroke paints on; -1 for no such layer.
  int32_t strokeLayerBlendMode(int32_t strokeLayerIndex) const;
  [[nodiscard]] bool layerOffset(int32_t index, TPoint& offset) const;
  // Layer image point to document point (minus the layer's offset).
  [[nodiscard]] bool layerToPaperPoint(int32_t index, TPoint& point) const;

  // ---- document gradient (paper_gradient.cpp) ----
  // The two points: whole pixels, floats (rounded to 16.16) or 16.16.
  void setGradientPoints(TPoint p0, TPoint p1) { gradient_.setPoints(p0, p1); }
  void setGradientPointsF(TPointF p0, TPointF p1) { gradient_.setPointsF(p0, p1); }
  void setGradientPointsFix(SFixPoint p0, SFixPoint p1) { gradient_.setPointsFix(p0, p1); }
  void getGradientPoints(SFixPoint& p0, SFixPoint& p1) const { gradient_.getPoints(p0, p1); }
  // The start point in whole pixels.
  TPoint gradientOrigin() const { return gradient_.origin(); }
  // The default repeat record: linear, no mirror, no wrap, count 1.
  void resetGradientOptions() { gradient_.resetRepeat(); }
  // The colour stops of the tool window's current gradient, and its shape,
  // mirror, count and wrap (its own, or the set's shared ones).
  void applyGradientOptions();
  // The colour stops of the gradient in use, then the repeat settings in
  // the order the gradient takes them (shape, mirror, count, wrap). Values
  // out of range are refused (false) and change nothing.
  [[nodiscard]] bool setGradientOptions(int32_t type, int32_t repeatMode, int32_t count, int32_t reverse);
  // The gradient in use: during replay the recorder's, else the tool
  // window's active one; null when there is none.
  const CGradObj* currentGradient() const;
  // The source of the gradient while the document replays (not owned; null
  // to forget it).
  void setReplayGradient(IReplayGradientSource* source) { gradient_.setReplaySource(source); }
  // Copies the stops of a gradient into the document's gradient.
  void takeGradientStops(const CGradObj* from) { gradient_.takeStops(from); }
  // Before anything paints with the stroke's gradient switch on: the stops
  // of the gradient in use now (the one the recording names), never those
  // the document took last, which an undone stroke may have taken and which
  // a replay therefore never sees.
  void takeGradientFor(const TStroke& stroke);
  // The gradient's colour at a pixel: red in the low byte, opacity on top.
  uint32_t gradientColorAt(TPoint p) const { return gradient_.colorAt(p); }

  // ---- zoom and coordinates (paper_view.cpp) ----
  // The zoom as a float (numerator / denominator).
  float zoomValue() const { return view_.zoomValue(); }
  // Stores the ratio, 1/16 .. 16/1 (a ratio outside becomes the nearer end;
  // a pair that is not positive is refused); answers the zoom in use.
  float setZoom(int32_t num, int32_t den) { return view_.setZoom(num, den); }
  bool canZoomIn() const { return view_.canZoomIn(); }
  bool canZoomOut() const { return view_.canZoomOut(); }
  void zoomIn() { view_.zoomIn(); }
  void zoomOut() { view_.zoomOut(); }
  void zoomReset() { view_.zoomReset(); }
  // The document point at the centre of a client area (truncated).
  TPoint getViewOrigin(int32_t clientW, int32_t clientH) const;
  // Window point to document point, in floats.
  void windowToPaperF(int32_t clientW, int32_t clientH, float& x, float& y) const;
  // Document point to window point (the rotated view with the window's
  // client size); the integer form truncates after adding 0.01.
  void paperToWindowF(TPointF& p) const;
  void paperToWindow(TPoint& p) const;
  // The client size of the attached window, (0, 0) without one.
  SSize clientSize() const;

  // ---- view state, grid and background (paper_view.cpp) ----
  void setScrollOrigin(int32_t x, int32_t y) { view_.setScrollOrigin(x, y); }
  void setScrollOffset(int32_t x, int32_t y) { view_.setScrollOffset(x, y); }
  void setViewCenter(float x, float y) { view_.setCenter(x, y); }
  // Normalises into (-360, 0] degrees; a value that is not finite turns the
  // view back to 0.
  void setViewAngle(float degrees) { view_.setAngle(degrees); }
  void setViewRadians(float radians) { view_.setRadians(radians); }
  // Moves the view centre by a window-space delta.
  void panView(float dx, float dy) { view_.pan(dx, dy); }
  // Spacing at least 2; redraw recomposes; the window is invalidated.
  void setGridSize(bool show, int32_t gx, int32_t gy, bool redrawNow);
  // The grid lines inside a rectangle of the composite (document
  // coordinates), or over all of it.
  void drawGrid(const SRectXYWH& rect);
  void drawGridAll();
  // The background display: the paper colour under the picture, or (off)
  // the transparent display, checked or plain.
  bool showCanvasColor() const { return showCanvasColor_; }
  bool showBgPattern() const { return showBgPattern_; }
  // The transparent display's flags, changed only while the paper is white.
  [[nodiscard]] bool setBackgroundDisplay(bool canvasColor, bool bgPattern, bool repaint);
  [[nodiscard]] bool toggleCanvasColor(bool value) { return setBackgroundDisplay(value, showBgPattern_, true); }
  [[nodiscard]] bool toggleBgPattern(bool value) { return setBackgroundDisplay(showCanvasColor_, value, true); }
  // Stores both flags, nothing else (readers of files and pictures made for
  // export use it).
  void setBackgroundFlags(bool canvasColor, bool bgPattern) {
    showCanvasColor_ = canvasColor;
    showBgPattern_ = bgPattern;
  }

  // ---- the window surface ----
  void setViewSurface(IViewSurface* surface) { surface_ = surface; }
  const CPaperAntsView& antsView() const { return antsView_; }

  // ---- composition (paper_compose.cpp) ----
  SComposeSettings composeSettings() const;
  // Rebuilds a rectangle of the composite from the layers (and the grid).
  void composeRect(const SRectXYWH& rect, bool withGrid);
  // The whole composite, then the window is invalidated.
  void redraw(bool withGrid);
  // The grid over the whole composite and an invalidation; no recomposition.
  void redrawFull();
  // Effective opacity of a layer in its link group (see linkedOpacityOf).
  uint32_t linkedOpacity(int32_t layerIndex, LinkOpacityTable& table) const;
  // Invalidates the window.
  void invalidate();

  // ---- thumbnails and preview (paper_compose.cpp) ----
  void updateThumbnails(bool skipLayer, int32_t layerIndex);
  void updateLayerRect(bool skipLayer, int32_t layerIndex, int32_t x, int32_t y, int32_t w, int32_t h);
  // A rectangle of the document changed: the layer's thumbnail (unless
  // skipLayer) and the preview follow.
  void updateLayerPreview(bool skipLayer, int32_t layerIndex, const TRect& rect);
  // Reduces a rectangle of the composite into the preview (preview coordinates).
  void updatePreviewRect(const TRect& previewRect);
  void updateAllThumbnails();
  void updateLayerThumbnail(int32_t layerIndex);

  // ---- flow image transfer (paper_compose.cpp) ----
  [[nodiscard]] bool mergeFlowImage(int32_t layerIndex, const TMTC& plane, uint32_t opacity, const SRectXYWH& rect, TPoint point);
  [[nodiscard]] bool mergeFlowLayerRect(int32_t layerIndex, const TMTC& plane, uint32_t opacity, int32_t x, int32_t y);
  [[nodiscard]] bool loadLayerRect(TMTC& plane, int32_t layerIndex, bool skipTransparent, uint32_t opacity, const SRectXYWH& rect,
                     TPoint point);
  [[nodiscard]] bool loadLayerAt(TMTC& plane, int32_t layerIndex, bool skipTransparent, uint32_t opacity, int32_t x, int32_t y);
  [[nodiscard]] bool syncFlowRect(TFlowImage& flow, int32_t layerIndex, bool commit, const TRect& rect);
  [[nodiscard]] bool resetFlowImage(TFlowImage& flow, int32_t layerIndex, bool commit);

  // ---- view painting (paper_paint.cpp) ----
  // The whole zoom ratio k with k x the larger side below 32768: the view is
  // the composite magnified, without a view buffer.
  bool viewFitsScale() const;
  // Paints a rectangle of the document (clamped to it) into the window's
  // back buffer and presents it; only for the attached window.
  [[nodiscard]] bool paintWindowRect(const IViewSurface* window, const TRect& rect);
  // Rotated or scaled view of a rectangle through the view buffer into the
  // target; answers the window rectangle painted.
  [[nodiscard]] bool paintView(TMTC& target, const SRectXYWH& rect, TRect& painted);
  // Whole zoom straight from the source into the target.
  [[nodiscard]] bool paintViewScaled(TMTC& target, const TMTC& source, const SRectXYWH& rect, TRect& painted);
  // Before a full paint: the pattern view buffer or the view buffer.
  void buildViewBuffer();
  void refreshWindow(bool rebuild);
  void refreshView() { refreshWindow(true); }
  // The window's paint: the whole view into the target (the back buffer).
  void paintWindow(TMTC& target);
  [[nodiscard]] bool preparePatternBuffer();
  [[nodiscard]] bool fillViewBackground(TMTC& target, const TRect& rect, const TRect& canvasRect) const;
  // The source rectangle magnified into the target (with the background of
  // the transparent display), then copied to dc when given.
  [[nodiscard]] bool stretchViewRect(TMTC* dc, TMTC& target, const SRectXYWH& srcRect, const TMTC& source, TRect* painted = nullptr);
  [[nodiscard]] bool renderRotatedView(TMTC& target, const TMTC& source, const TRect& rect, TPoint origin) const;

  // ---- undo store entry points ----
  bool hasUndo() const { return undoMngr_ != nullptr; }
  bool undoAvailable() const { return undoMngr_ && undoMngr_->undoEnabled(); }
  bool canUndo(int32_t layerIndex) const;
  bool canRedo(int32_t layerIndex) const;
  [[nodiscard]] bool storeUndo(int32_t layerIndex, int kind);
  [[nodiscard]] bool storeRectUndo(int32_t layerIndex, const SRectXYWH& rect, int kind);
  [[nodiscard]] bool storeLayerUndo(CLayerData& layer, int kind);
  [[nodiscard]] bool storeLayerRectUndo(CLayerData& layer, const SRectXYWH& rect, int kind);
  [[nodiscard]] bool storeAttrUndo(CLayerData* layer, int32_t value, int kind, int32_t second);
  // Hands a record to the undo manager; on true it owns the record (and the
  // objects it keeps) and `record` is empty, on false the caller keeps it.
  [[nodiscard]] bool pushUndo(std::unique_ptr<CUndoData>& record);
  // Empties both lists and drops the recorder's events beyond its position.
  void clearUndo();
  void clearRedo();
  // After the undo-count preference changed: resizes the recorder's ring
  // and sets both limits.
  [[nodiscard]] bool setUndoCount();

  // ---- undo and redo ----
  // Shorthands of the store entry points.
  [[nodiscard]] bool storeUndoKind1(int32_t layerIndex) { return storeUndo(layerIndex, kUndoPixels); }
  [[nodiscard]] bool storeRectUndoXYWH(int32_t layerIndex, int32_t x, int32_t y, int32_t w, int32_t h) {
    return storeRectUndo(layerIndex, SRectXYWH{x, y, w, h}, kUndoPixels);
  }
  [[nodiscard]] bool storeRectUndoFrom(int32_t layerIndex, int32_t x, int32_t y, int32_t w, int32_t h, int kind) {
    return storeRectUndo(layerIndex, SRectXYWH{x, y, w, h}, kind);
  }
  [[nodiscard]] bool storeLayerUndoAt(int32_t layerIndex, int kind);
  // Empties every layer's own undo, then the document undo.
  void invalidateLayerUndo();

  [[nodiscard]] bool undo(TFlowImage& flow, int32_t& layerIndex, TRect& rect);
  // One step of a layer's own undo (the older-format mode).
  [[nodiscard]] bool undoLayer(TFlowImage& flow, int32_t layerIndex, TRect& rect);
  [[nodiscard]] bool redo(TFlowImage& flow, int32_t& layerIndex, TRect& rect);
  void refreshAfterUndo(TFlowImage& flow, int32_t layerIndex, bool relayout);

  // ---- strokes (paper_stroke.cpp) ----
  // begin, points, end of a freehand stroke into the flow image; `record` is
  // false during replay. paintWindow: show each touched rectangle at once.
  [[nodiscard]] bool beginStroke(TFlowImage& flow, TStroke& stroke, bool record, float x, float y, float pressure);
  // The same, the settings starting from the flow plane itself (the legacy
  // pen packets and replay).
  [[nodiscard]] bool beginStrokeEx(TFlowImage& flow, TStroke& stroke, bool record, float x, float y, float pressure);
  [[nodiscard]] bool continueStroke(TFlowImage& flow, TStroke& stroke, bool record, bool paintWindow, float x, float y,
                      float pressure);
  [[nodiscard]] bool endStroke(TFlowImage& flow, TStroke& stroke, bool record, SRectXYWH& strokeRect, bool paintWindow);
  // 1: the dab-table walker, 2: the pen engine (made by createPenEngine);
  // any other level, or one above the engine level, is refused.
  [[nodiscard]] bool selectPenEngine(int32_t level);
  // The pen-method engine (mode 2): made over the given settings and dab
  // renderer (both the caller's, kept by pointer); the engine level becomes 2.
  [[nodiscard]] bool createPenEngine(TStroke& stroke, CPenRender& renderer);
  void freePenEngine();
  CStrokeMngr* penEngine() const { return penEngine_.get(); }
  [[nodiscard]] bool beginEngineStroke(TFlowImage& flow, TStroke& stroke, bool record, float x, float y, float pressure);
  [[nodiscard]] bool continueEngineStroke(TFlowImage& flow, TStroke& stroke, bool record, bool paintWindow, float x, float y,
                            float pressure);
  [[nodiscard]] bool endEngineStroke(TFlowImage& flow, TStroke& stroke, bool record, SRectXYWH& strokeRect, bool paintWindow);
  TStrokeSink strokeSink() const { return strokeSink_; }
  // How this document's strokes write their pixels: its own, shared with no
  // other document (made on first use).
  SPlotState& plotState();
  // The open stroke, its point count, the engine level and mode.
  CStrokeState& strokeState() { return strokeState_; }
  const CStrokeState& strokeState() const { return strokeState_; }
  // The pending-run capacity of the seed fills; tests set a small one to
  // make a region too complex, or 0 for a queue that gets no memory.
  void setSeedFillCapacity(int32_t capacity) { seedFillCapacity_ = capacity; }

  // ---- region tools (paper_region_fill.cpp) ----
  // Points are document coordinates. A region found by the seed fillers
  // lies in the flow image's coverage channel with its top-left at
  // document point -offset (the mask list's convention) and has `size`.
  struct SRegionShape {
    TPoint offset{};
    SSize size{};
  };
  // The current mask holds a selection image.
  bool hasSelection() const;
  int32_t selectModeFromKeys(SModifierKeys keys, int32_t shortcutMode) const;
  // The visible layers composed over the document into the flow pixels
  // (flow coordinates = document coordinates, so origin is (0, 0)).
  [[nodiscard]] bool composeVisibleForSampling(TFlowImage& flow, TPoint& origin);
  // Finds the region around `point` on the layer (alpha-aware) or on the
  // composite of the visible layers, limited to a mask when it has an image.
  // A region the seed fill could not finish is never used: too complex for
  // its queue, or no memory for the queue, the message says so and the
  // answer is false (the caller then changes nothing and records nothing).
  [[nodiscard]] bool seedRegion(TFlowImage& flow, int32_t layerIndex, TPoint point, bool antiAlias, int32_t limit, bool visible,
                  const CMaskData* mask, SRegionShape& region);
  [[nodiscard]] bool magicWandSelect(TFlowImage& flow, int32_t layerIndex, TPoint point, int32_t mode, bool antiAlias,
                       const SRegionFillSettings& settings, bool record);
  // Replay's endings of the wand: the coverage holds the region (the layer
  // image's size at the layer's offset, or the given shape).
  [[nodiscard]] bool wandRegionToMask(TFlowImage& flow, int32_t layerIndex, TPoint point, int32_t mode, bool antiAlias,
                        const SRegionFillSettings& settings, bool record);
  [[nodiscard]] bool wandRegionToMaskEx(TFlowImage& flow, int32_t layerIndex, TPoint point, TPoint offset, SSize size,
                          int32_t mode, bool antiAlias, const SRegionFillSettings& settings, bool record);
  [[nodiscard]] bool bucketFillLayer(TFlowImage& flow, int32_t layerIndex, TPoint point, bool antiAlias, bool erase,
                       const TStroke& stroke, const SRegionFillSettings& settings, bool record);
  // Replay's endings of the bucket fill: the coverage holds the region in
  // the layer image's coordinates, or (Grow) a region of the given shape
  // that reaches beyond the layer's image, which grows to cover it.
  [[nodiscard]] bool fillRegionOnLayer(TFlowImage& flow, int32_t layerIndex, TPoint point, bool antiAlias, bool erase,
                         const TStroke& stroke, const SRegionFillSettings& settings, bool record);
  // A text's coverage (rendered into the flow's coverage channel in the
  // layer image's coordinates) painted into the layer with the stroke's
  // colour and opacity; recorded as the text event.
  struct STextPlacement {
    SLogFont font{};
    uint16_t lineSpacing = 0;
    uint16_t charSpacing = 0;
    std::string text;
    TPoint point{};
  };
  [[nodiscard]] bool placeTextOnLayer(TFlowImage& flow, int32_t layerIndex, const STextPlacement& text, const TStroke& stroke,
                        bool record);
  [[nodiscard]] bool fillRegionOnLayerGrow(TFlowImage& flow, int32_t layerIndex, TPoint point, TPoint offset, SSize size,
                             bool antiAlias, bool erase, const TStroke& stroke, const SRegionFillSettings& settings,
                             bool record);
  // The window drew the lasso's region into the coverage channel (layer
  // image coordinates); it is combined into the current mask and cleared.
  [[nodiscard]] bool lassoSelect(TFlowImage& flow, int32_t layerIndex, int32_t mode, bool record);

  // ---- selection and masks (paper_mask_ops.cpp) ----
  // A negative mask index stands for the current mask. Points of shapes
  // are document coordinates.
  // The selection limits edits (enabled), and its outline is shown.
  bool selectionEnabled() const { return selectionEnabled_; }
  bool antsShown() const { return showAnts_; }
  int32_t maskIndexOr(int32_t index) const;
  // Both flags, the outline retraced over the document, the window
  // invalidated; records nothing.
  void setSelectionFlags(bool shown, bool enabled);
  // The outline is to be seen: shown, and the current mask has one.
  bool antsVisible() const;
  // One frame of the outline, each dash pixel (window point, black or
  // white) handed to the sink, only while antsVisible(); false when nothing
  // was drawn.
  [[nodiscard]] bool drawAnts(const SAntsClip& clip, const std::function<void(int32_t, int32_t, bool)>& sink);
  // Advances the outline's phase; false when no outline is seen.
  bool stepAnts();
  // Answer the flag's new value.
  [[nodiscard]] bool showWalkAnts(bool value, bool record);
  [[nodiscard]] bool enableMask(bool value, bool record);
  [[nodiscard]] bool maskFigureRect(TFlowImage& flow, int32_t layerIndex, TPointF p1, TPointF p2, int32_t mode, TStroke& stroke,
                      bool record);
  [[nodiscard]] bool maskFigureEllipse(TFlowImage& flow, int32_t layerIndex, TPointF p1, TPointF p2, double angle, int32_t mode,
                         TStroke& stroke, bool record);
  [[nodiscard]] bool maskFigurePolygon(TFlowImage& flow, int32_t layerIndex, int32_t count, const TPointF* points, int32_t mode,
                         TStroke& stroke, bool record);
  [[nodiscard]] bool offsetMask(TPoint delta, bool record);
  [[nodiscard]] bool maskFillAll(TFlowImage& flow, int32_t layerIndex, bool record);
  [[nodiscard]] bool maskFillNone(TFlowImage& flow, int32_t layerIndex, bool record);
  [[nodiscard]] bool maskInvert(TFlowImage& flow, int32_t layerIndex, bool record);
  // Grows or shrinks the selection by one pixel; the second form widens
  // the image where the selection touches its edge.
  [[nodiscard]] bool inflateMaskInPlace(int32_t layerIndex, bool grow, int32_t maskIndex, bool record);
  [[nodiscard]] bool inflateMask(int32_t layerIndex, bool grow, int32_t maskIndex, bool record);
  [[nodiscard]] bool cropMask(TFlowImage& flow, int32_t layerIndex, int32_t maskIndex, bool record);
  // An index equal to the mask count appends a new empty mask first.
  [[nodiscard]] bool activateMask(TFlowImage& flow, int32_t layerIndex, int32_t index, bool record);
  [[nodiscard]] bool newMask(TFlowImage& flow, int32_t layerIndex, int32_t after, bool record);
  [[nodiscard]] bool duplicateMask(TFlowImage& flow, int32_t layerIndex, int32_t index, bool record);
  [[nodiscard]] bool deleteMask(TFlowImage& flow, int32_t layerIndex, int32_t index, bool record);
  [[nodiscard]] bool setMaskName(int32_t layerIndex, const std::string& newName, int32_t index, bool record);
  [[nodiscard]] bool moveMask(TFlowImage& flow, int32_t layerIndex, int32_t from, int32_t to, bool record);
  [[nodiscard]] bool mergeMask(TFlowImage& flow, int32_t layerIndex, int32_t target, int32_t source, int32_t mode, bool record);
  // Source kind 0: the layer's density, 1: its alpha.
  [[nodiscard]] bool newMaskFromLayer(TFlowImage& flow, int32_t layerIndex, int32_t sourceKind, int32_t mergeMode,
                        int32_t maskIndex, bool record);

  // ---- transforms (paper_transform.cpp) ----
  // In-place commands by code: 7 mirror, 8 flip, 9 invert colours, 10 half
  // turn on one layer; 12..15 the same on every (or every visible) layer.
  [[nodiscard]] bool layerCommand(TFlowImage& flow, int32_t index, bool record, int code);
  [[nodiscard]] bool mirrorLayer(TFlowImage& flow, int32_t index, bool record) { return layerCommand(flow, index, record, 7); }
  [[nodiscard]] bool flipLayer(TFlowImage& flow, int32_t index, bool record) { return layerCommand(flow, index, record, 8); }
  [[nodiscard]] bool invertLayer(TFlowImage& flow, int32_t index, bool record) { return layerCommand(flow, index, record, 9); }
  [[nodiscard]] bool halfTurnLayer(TFlowImage& flow, int32_t index, bool record) { return layerCommand(flow, index, record, 10); }
  // The command inside the selection's bounds, merged back through the
  // mask (the alpha too with blendAlpha); without an enabled selection the
  // whole layer.
  [[nodiscard]] bool layerFilterCommand(TFlowImage& flow, int32_t index, bool record, bool blendAlpha, int code,
                          int32_t maskIndex);
  [[nodiscard]] bool transformVisibleInPlace(TFlowImage& flow, int code, bool record);
  [[nodiscard]] bool transformAllInPlace(TFlowImage& flow, int code, bool record);
  // A quarter turn of one layer about the document's centre.
  [[nodiscard]] bool rotateLayer90(TFlowImage& flow, int32_t index, bool record, bool clockwise);
  // A turn of one layer by an angle in degrees about the document's centre
  // (bilinear); the new image covers the turned layer and the document.
  [[nodiscard]] bool rotateLayer(TFlowImage& flow, int32_t index, bool record, float degrees);
  // One layer's image resampled to w x h (1 .. 20,000), its offset scaled.
  [[nodiscard]] bool scaleLayer(TFlowImage& flow, int32_t index, bool record, int32_t w, int32_t h);
  // A quarter turn of the whole image: every layer, and the document's
  // width and height exchanged.
  [[nodiscard]] bool rotateImage90(TFlowImage& flow, bool clockwise, bool record);
  // The whole-image operations: the new layer list is built beside the old
  // one, which the undo keeps. Sizes are 1 .. 10,000; anchors 0..8 (a
  // 3 x 3 grid counted down each column); methods 1 (box) and 2.
  [[nodiscard]] bool resizeCanvas(TFlowImage& flow, int32_t w, int32_t h, int32_t anchor, bool record);
  [[nodiscard]] bool cropToRect(TFlowImage& flow, const TRect& rect, bool record);
  [[nodiscard]] bool scaleImage(TFlowImage& flow, int32_t w, int32_t h, int32_t method, bool record);
  // The layers rescaled to a new canvas as scaleImage does; the masks keep
  // their size and place.
  [[nodiscard]] bool zoomLayers(TFlowImage& flow, int32_t w, int32_t h, int32_t method, bool record);

  // ---- layer list (paper_layer_ops.cpp) ----
  // Makes the layer current and loads it into the flow (when given).
  [[nodiscard]] bool selectLayer(TFlowImage* flow, int32_t index);
  // selectLayer, then the layer and mask panels are refreshed.
  [[nodiscard]] bool setCurrentLayer(TFlowImage* flow, int32_t index);
  // Attributes; a value equal to the present one records nothing. The
  // opacity of a link group's base is kept for undo with the group length.
  [[nodiscard]] bool setLayerOpacity(int32_t index, int32_t opacity, bool record);
  // Blend modes 0..21.
  [[nodiscard]] bool setLayerBlendMode(int32_t index, int32_t mode, bool record);
  [[nodiscard]] bool setLayerVisible(int32_t index, bool visible, bool record);
  [[nodiscard]] bool setLayerEffect(int32_t index, bool dissolve, uint8_t amount, bool record);
  // index -1: the current layer; value below 0 toggles.
  [[nodiscard]] bool setProtectAlpha(int32_t index, int32_t value, bool record);
  [[nodiscard]] bool setLayerName(int32_t index, const std::string& newName, bool record);
  // A new layer at index, of w x h (clamped to 1 .. 10,000), cleared to its
  // mode's neutral colour; it joins a link group it is inserted into.
  [[nodiscard]] bool newLayerEx(TFlowImage* flow, int32_t index, bool visible, int32_t opacity, int32_t mode, int32_t h, int32_t w,
                  bool record);
  // The same, named and filled with a colour (0xAARRGGBB).
  [[nodiscard]] bool newLayer(TFlowImage* flow, int32_t index, bool visible, const std::string& name, uint32_t argb,
                int32_t opacity, int32_t mode, int32_t h, int32_t w, bool record);
  // Above the current layer, the document's size, opaque 255.
  [[nodiscard]] bool newLayerCmd(TFlowImage* flow, int32_t mode, bool record);
  [[nodiscard]] bool deleteLayer(TFlowImage* flow, int32_t index, bool record);
  // A base layer with linked layers above it goes with them (one undo
  // step); any other layer as deleteLayer.
  [[nodiscard]] bool deleteLayerGroup(TFlowImage* flow, int32_t base, bool record);
  [[nodiscard]] bool deleteLayerCmd(TFlowImage* flow, int32_t index, bool record);
  [[nodiscard]] bool duplicateLayer(TFlowImage* flow, int32_t index, bool record);
  [[nodiscard]] bool moveLayer(TFlowImage* flow, int32_t from, int32_t to, bool record);
  bool canMergeDown(int32_t index) const;
  [[nodiscard]] bool mergeDown(TFlowImage* flow, int32_t index, bool record);
  // A merge down through the link pair of the two modes (option 0..3).
  [[nodiscard]] bool mergeLinked(TFlowImage* flow, int32_t index, int32_t option, bool record);
  // Moves a link base and its count - 1 linked layers to `to`.
  [[nodiscard]] bool moveLayerGroup(TFlowImage* flow, int32_t from, int32_t to, int32_t count, bool record);
  // Two or more visible layers, the bottom one among them; an opaque merge
  // needs a bottom mode that can hold the result.
  bool canMergeVisible(bool transparent, bool option) const;
  // The visible layers composed into one that takes the bottom layer's
  // place; hidden layers stay.
  [[nodiscard]] bool mergeVisible(TFlowImage* flow, bool transparent, bool option, bool record);
  // A layer whose image exceeds the document keeps only the part over it.
  [[nodiscard]] bool cropLayer(TFlowImage* flow, int32_t index, bool record);
  // Moves the layer's content by delta on the document. When the moved
  // image still covers the document only the offset changes; otherwise the
  // layer is rebuilt, grown to cover it.
  [[nodiscard]] bool offsetLayer(TFlowImage* flow, int32_t index, TPoint delta, bool record);
  // The same together with the selection (the current mask) when it holds
  // an image; else offsetLayer.
  [[nodiscard]] bool offsetLayerGroup(TFlowImage* flow, int32_t index, TPoint delta, int32_t maskIndex, bool record);
  [[nodiscard]] std::unique_ptr<CLayerData> rebuiltForOffset(const CLayerData& layer, TPoint delta) const;
  // Bit 0: the moved image leaves part of the document's width uncovered;
  // bit 1: of its height.
  int32_t offsetClass(const CLayerData& layer, TPoint delta) const;
  // The image as a new layer on top (at least the document's size), named
  // as given or with the next default name. With the copied layer's 72-byte
  // attribute record (SLayerAttrRecord) the layer takes its blend mode,
  // opacity, offset, visibility, protect alpha and dissolve; the record is
  // part of the event, so a replay makes the same layer.
  [[nodiscard]] bool pasteLayerImage(TFlowImage* flow, const TMTC& image, const std::string& name, const uint8_t* attributes72,
                       bool record);
  // The image copied into the layer from its top-left corner.
  [[nodiscard]] bool pasteIntoLayer(TFlowImage* flow, int32_t index, const std::string& name, const uint8_t* attributes72,
                      const TMTC& image, bool record);
  // The visible layers of a link group (base and the count - 1 above it)
  // composed into one layer that takes the base's place, name, level and
  // mode; the group's layers stay with the undo.
  [[nodiscard]] bool mergeLinkGroup(TFlowImage* flow, int32_t base, int32_t count, bool record);
  // Takes a group of two or more layers (never every layer) out of the list.
  [[nodiscard]] bool removeLinkGroup(TFlowImage* flow, int32_t base, int32_t count, bool record);
  // Moves count layers from base by delta, each as offsetLayer would (every
  // rebuilt layer is made before any is put in place); the second form moves
  // the selection (the mask, current when negative) with them when it holds
  // an image.
  [[nodiscard]] bool offsetLinkGroup(TFlowImage* flow, int32_t base, TPoint delta, int32_t count, bool record);
  [[nodiscard]] bool offsetLinkGroupMask(TFlowImage* flow, int32_t base, TPoint delta, int32_t count, int32_t maskIndex,
                           bool record);
  // Links the layer (with its group) to the one below, or unlinks it.
  [[nodiscard]] bool linkLayer(TFlowImage* flow, int32_t index, bool indent, bool record);
  // The visibility of a base layer and the count - 1 layers above it.
  [[nodiscard]] bool setLayerGroupVisible(int32_t base, int32_t count, bool visible, bool record);
  [[nodiscard]] bool showOnlyLayer(int32_t index, bool record);
  [[nodiscard]] bool showAllLayers(int32_t index, bool show, bool record);
  [[nodiscard]] bool flipLayerVisibility(int32_t index, bool record);

  // ---- layer fills, alpha, figures and cut (paper_layer_fill.cpp) ----
  // Points are document coordinates; figures paint with the stroke's colour
  // and settings. `undo` takes the pixel snapshot, `record` writes the event.
  [[nodiscard]] bool clearLayer(TFlowImage& flow, int32_t index, bool record);
  [[nodiscard]] bool fillLayerAlpha(TFlowImage& flow, int32_t index, int32_t alpha, bool record);
  [[nodiscard]] bool invertLayerAlpha(TFlowImage& flow, int32_t index, bool record);
  [[nodiscard]] bool layerAlphaFromMask(TFlowImage& flow, int32_t index, int32_t maskIndex, bool record);
  [[nodiscard]] bool layerFigureRect(TFlowImage& flow, int32_t index, TPointF p1, TPointF p2, TStroke& stroke, bool undo,
                       bool record);
  [[nodiscard]] bool layerFigureEllipse(TFlowImage& flow, int32_t index, TPointF p1, TPointF p2, double angle, TStroke& stroke,
                          bool record);
  [[nodiscard]] bool layerFigurePolygon(TFlowImage& flow, int32_t index, int32_t count, const TPointF* points, TStroke& stroke,
                          bool record);
  [[nodiscard]] bool fillLayerColor(TFlowImage& flow, int32_t index, uint32_t colour, TStroke& stroke, bool undo, bool record);
  [[nodiscard]] bool fillLayerGradient(TFlowImage& flow, int32_t index, TPointF p1, TPointF p2, bool pointsOnly, TStroke& stroke,
                         bool record);
  // Older-format replay: fills the whole layer with the colour, alpha 255;
  // in the standard mode with the tool stroke's keep-alpha switch on, only
  // the RGB changes. No event and no undo record: the replay snapshots first.
  [[nodiscard]] bool fillLayerOpaque(TFlowImage& flow, int32_t index, uint32_t colour, bool toolKeepsAlpha);
  // Erases the selected area: a fill with the colour through the selection,
  // then each selected pixel's alpha a becomes a x (255 - selection) / 255
  // (paper_erase_selection.cpp). Recorded as one layer edit.
  bool canDeleteSelection() const;
  [[nodiscard]] bool deleteSelection(TFlowImage& flow, int32_t index, uint32_t colour, TStroke& stroke, bool undo,
                       bool record);
  // Removes the selected part's alpha (the selection must be enabled).
  [[nodiscard]] bool cutSelection(TFlowImage& flow, int32_t index, bool record, int32_t maskIndex);
  bool canLayerFromSelection() const;
  // A copy of the layer holding only the selected part goes above it; unless
  // keep, the part leaves the source (mode 0 or 1, as the cut).
  [[nodiscard]] bool newLayerFromSelection(TFlowImage& flow, int32_t index, int32_t mode, bool keep, int32_t maskIndex,
                             bool record);

  // ---- selection expand and contract (paper_select_extent.cpp) ----
  // The selection grown or shrunk by n pixels (1 .. kMaxSelectExtent).
  [[nodiscard]] bool applySelectExpand(int32_t maskIndex, bool record, int32_t option, int32_t n);
  [[nodiscard]] bool applySelectContract(int32_t maskIndex, bool record, int32_t option, int32_t n);
  // The new mask of the operation, built beside the old one; null when the
  // mask is empty or memory is short.
  [[nodiscard]] std::unique_ptr<CMaskData> selectExtentMask(const CMaskData& mask, int32_t n, bool grow) const;

  // ---- colour range selection (paper_color_range.cpp) ----
  // The coverage of the picked colours over the layer (source 0) or the
  // composed picture (source 1) into the flow's coverage, limited to where
  // `limit` is non-zero; `selected` counts the pixels with coverage.
  [[nodiscard]] bool buildColorRangeMask(TFlowImage& flow, int32_t layerIndex, const SColorRangeEntry* entries,
                           const SColorRangeSettings& settings, const CMaskData* limit, SRegionShape& region,
                           int64_t& selected);
  // The coverage replaces the mask (current when negative); no selected
  // pixel changes nothing and answers true.
  [[nodiscard]] bool applyColorRangeSelection(TFlowImage& flow, int32_t layerIndex, bool record, const SColorRangeEntry* entries,
                                const SColorRangeSettings& settings, int32_t maskIndex);

  // ---- stroke modes and tools (paper_stroke_modes.cpp) ----
  // The tool window's tone set and pen renderer, and those of a running
  // replay (any may be null; not owned).
  void setToolTools(const CToneMngr* tones, CPenRender* render);
  // nib: the nib a replayed pen-method stroke draws with, asked at each
  // stroke's first dab (it may answer null: no image nib).
  void setReplayTools(const CToneMngr* tones, CPenRender* render, std::function<CPenShapeObj*()> nib = {});
  // The replayed nib during replay, else null (the renderer keeps the nib
  // the tool window gave it).
  CPenShapeObj* replayPenShape() const;
  // During replay the recorder's renderer, else the tool window's.
  CPenRender* currentPenRender() const;
  // The window was activated or deactivated: the recorder is told, and an
  // activation outside replay brings the pen engine to the current settings.
  void activate(bool active);
  void resetPenEngine();
  // Installing the older-format procedure frees the document undo manager;
  // leaving it makes a new one and installs the dab-table walker.
  void enterOlderFormatMode();
  [[nodiscard]] bool leaveOlderFormatMode();
  // The selection slots of the older-format mode; nullptr outside it.
  TSelectMng* selectionSlots() const { return selectMng_.get(); }
  // Plays the next record of a version 1.1 event stream (paper_legacy_player.cpp);
  // code is the record's code, refresh whether the view must be laid out
  // again. False when the record is cut short, the stream has ended (code
  // 0xFFFF), the record is one this player cannot perform, or it could not
  // be carried out (memory: what it would have written is as it was).
  [[nodiscard]] bool playPenPacket(TFlowImage& flow, TEventPacket& packet, uint16_t& code, bool& refresh, TStroke& stroke);
  // One straight segment of the open stroke from (x0, y0) to (x1, y1), both
  // ends at full pressure, through the stroke sink (paper_stroke.cpp).
  [[nodiscard]] bool drawStrokeSegment(TFlowImage& flow, TStroke& stroke, float x0, float y0, float x1, float y1);
  // The version 1.1 merge: when at least two layers are visible and all of
  // them share one blend mode, the visible layers are composed over the
  // mode's neutral colour into the lowest visible one (opacity 255), the
  // others leave the list; nothing is recorded or kept for undo. A merge the
  // layers do not allow changes nothing and answers true; false only when
  // the merged layer cannot be had (memory), the layers as they were.
  [[nodiscard]] bool mergeVisibleLegacy(TFlowImage& flow);
  // Document to layer pixel coordinates (plus the layer's offset).
  [[nodiscard]] bool paperToLayerRect(int32_t layerIndex, TRect& rect) const;
  [[nodiscard]] bool paperToLayerPointF(int32_t layerIndex, float& x, float& y) const;

  // ---- IPlotDocument (plot_document_impl.cpp) ----
  [[nodiscard]] const CBlockVCH* selectionImage(TPoint& maskOffset) const override;
  TPoint currentLayerOffset() const override;
  SSize currentLayerSize() const override;
  bool hasLayers() const override;
  bool currentLayerProtectsAlpha() const override;
  bool isReplaying() const override;
  // The tone set of a stroke or fill: during replay the recorder's, else
  // the tool window's (paper_stroke_modes.cpp).
  const CToneMngr* toneManager() const override;
  const CGradation* gradient() const override { return &gradient_.gradation(); }
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
  PaperColor undoPaperColor() const override { return paperColor_; }
  void undoSetPaperColor(PaperColor color) override;
  [[nodiscard]] bool undoRotateImage90(bool clockwise) override;
  [[nodiscard]] bool undoExchangeLayerList(std::unique_ptr<CLayerMngr>& list) override;
  [[nodiscard]] bool undoExchangeMaskList(std::unique_ptr<CMaskMngr>& list) override;
  bool undoSelectionEnabled() const override { return selectionEnabled_; }
  bool undoShowAnts() const override { return showAnts_; }
  void undoSetSelectionFlags(bool enabled, bool shown) override;

 private:
  [[nodiscard]] bool playLegacyStrokePoint(TFlowImage& flow, TEventPacket& packet, TStroke& stroke);
  [[nodiscard]] bool playLegacyRectFill(TFlowImage& flow, TEventPacket& packet, bool withColour);
  [[nodiscard]] bool playLegacyPolygonFill(TFlowImage& flow, TEventPacket& packet, bool withColour);
  [[nodiscard]] bool playLegacyLine(TFlowImage& flow, TEventPacket& packet, TStroke& stroke);
  enum class Direction { Undo, Redo };
  [[nodiscard]] bool beginStrokeWith(TFlowImage& flow, TStroke& stroke, bool record, float x, float y, float pressure,
                       bool fromFlow);
  [[nodiscard]] bool combineRegionIntoMask(TFlowImage& flow, int32_t layerIndex, TPoint point, TPoint offset, SSize size,
                             int32_t mode, bool antiAlias, const SRegionFillSettings& settings, bool record,
                             uint8_t subcode);
  // The current selection was replaced by the mask manager (`old` is the
  // replaced object): the edit is done, the undo takes `old` (kind 56),
  // the selection is switched on and shown, the outline retraced and the
  // mask list refreshed. Answers whether the outline was traced (a display
  // matter that callers may leave).
  bool selectionReplaced(CDocEdit& edit, int32_t maskIndex, int32_t currentBefore, std::unique_ptr<CMaskData> old);
  // A mask command; the extended form carries two values (SCommandValues).
  [[nodiscard]] bool maskEvent(CDocEdit& edit, uint8_t subcode, int32_t argument, bool extended, uint32_t value, uint32_t option);
  [[nodiscard]] bool changeSelectionFlag(bool which, bool value, bool record);
  [[nodiscard]] bool maskFigure(TFlowImage& flow, int32_t layerIndex, int32_t mode, TStroke& stroke, bool record,
                  const std::function<bool(CFillMngr*&, std::unique_ptr<CFillMngr>&)>& build,
                  const std::function<bool(IDocEventRecorder&)>& write);
  [[nodiscard]] bool inflateSelection(int32_t maskIndex, bool grow, bool growImage, bool record);
  [[nodiscard]] bool insertMaskEdit(TFlowImage& flow, int32_t layerIndex, int32_t source, bool duplicate, bool record);
  [[nodiscard]] bool transformLayersInPlace(TFlowImage& flow, int code, bool visibleOnly, bool record);
  [[nodiscard]] std::unique_ptr<CLayerData> turnedLayer(const CLayerData& layer, bool clockwise, SSize docSize) const;
  [[nodiscard]] std::unique_ptr<CMaskData> turnedMask(const CMaskData& mask, bool clockwise, SSize docSize) const;
  // Builds every turned layer, then (when beforeChange agrees) puts them in
  // place and exchanges the document's width and height.
  [[nodiscard]] bool turnImage90(bool clockwise, const std::function<bool()>& beforeChange);
  [[nodiscard]] std::unique_ptr<CLayerMngr> buildLayerList(
      SSize docSize, const std::function<std::unique_ptr<CLayerData>(const CLayerData&)>& make) const;
  [[nodiscard]] bool replaceLayerList(CDocEdit& edit, int kind, std::unique_ptr<CLayerMngr> list,
                        std::unique_ptr<CMaskMngr> maskList, TPoint maskShift);
  [[nodiscard]] bool reframeInPlace(CDocEdit& edit, SSize newSize,
                      const std::function<std::unique_ptr<CLayerData>(const CLayerData&)>& make, TPoint maskShift);
  [[nodiscard]] bool rescaleImage(SSize newSize, int32_t method, bool withMasks, bool record);
  [[nodiscard]] bool reframeCanvas(SSize newSize, TPoint shift, int kind, const std::function<bool(IDocEventRecorder&)>& write,
                     bool record);
  [[nodiscard]] bool setLayerAttribute(int32_t index, int kind, int32_t value, bool record);
  [[nodiscard]] bool addNewLayer(TFlowImage* flow, int32_t index, bool visible, int32_t opacity, int32_t mode, SSize size,
                   bool record, const std::function<void(CLayerData&)>& finish,
                   const std::function<bool(IDocEventRecorder&)>& write);
  // Takes count layers from base out of the list into one undo record (never
  // every layer); then the layer below the run, or the one now at base, is
  // current.
  [[nodiscard]] bool removeLayerRun(TFlowImage* flow, int32_t base, int32_t count, bool selectBelow, bool record,
                      const std::function<bool(IDocEventRecorder&)>& write);
  // A new layer of `mode` (with the attributes of `like`) holding the visible
  // layers of a run composed over the document: as the picture composes them
  // (canvas) or as the transparent picture does, each with the opacity
  // opacityOf gives (0 leaves it out). Null when memory is short (told).
  [[nodiscard]] std::unique_ptr<CLayerData> composedLayer(int32_t first, int32_t count, const CLayerData& like, int32_t mode,
                                            bool canvas, const std::function<uint32_t(CLayerData&)>& opacityOf);
  // maskIndex -1: the group moves without a mask.
  [[nodiscard]] bool moveLinkGroupBy(TFlowImage* flow, int32_t base, TPoint delta, int32_t count, int32_t maskIndex, bool record);
  [[nodiscard]] bool mergeDownWith(TFlowImage* flow, int32_t index, uint32_t kind, bool record,
                     const std::function<bool(IDocEventRecorder&)>& write);
  // The layer at index replaced by `next` (kinds 34 and 36 keep the old one).
  [[nodiscard]] bool layerReplaced(CDocEdit& edit, int kind, TFlowImage* flow, int32_t index, std::unique_ptr<CLayerData> next);
  // The ending of new and duplicate: the record (kind 27 or 29), selection
  // of the new layer, recomposition.
  [[nodiscard]] bool layerInserted(CDocEdit& edit, int kind, TFlowImage* flow, int32_t at, int32_t currentBefore);
  // After the layer list changed: modified, the given layer current, the
  // picture recomposed and the layer panel refilled. Answers true.
  [[nodiscard]] bool layerListChanged(TFlowImage* flow, int32_t current);
  [[nodiscard]] bool changeVisibility(int32_t index, int kind, uint8_t subcode, uint16_t value, bool record,
                        const std::function<bool()>& change);
  [[nodiscard]] bool alphaEdit(TFlowImage& flow, int32_t index, int kind, uint8_t subcode, uint16_t argument, bool record,
                 const std::function<bool(CLayerData&)>& change);
  using SFigureBuilder =
      std::function<bool(std::unique_ptr<CFillMngr>&, std::function<int32_t(CDibCore&)>&)>;
  [[nodiscard]] bool layerFigure(TFlowImage& flow, int32_t index, bool undo, const SFigureBuilder& build,
                   const std::function<bool(IDocEventRecorder&)>& write, bool record);
  [[nodiscard]] bool paintRectFigure(TFlowImage& flow, int32_t index, TPointF p1, TPointF p2, TStroke& stroke, bool undo,
                       bool record, const std::function<bool(IDocEventRecorder&)>& write);
  [[nodiscard]] bool applySelectExtent(int32_t maskIndex, bool record, int32_t option, int32_t n, bool grow);
  void paintRegion(TFlowImage& flow, const CLayerData& layer, const TRect& rect, bool erase, const TStroke& stroke);
  [[nodiscard]] bool paintCoverageOnLayer(TFlowImage& flow, int32_t layerIndex, bool erase, const TStroke& stroke, bool record,
                            const std::function<bool(IDocEventRecorder&, const SRectXYWH&)>& event);
  [[nodiscard]] bool applyHistory(Direction dir, TFlowImage& flow, int32_t& layerIndex, TRect& rect);
  void refreshByFlags(TFlowImage& flow, int32_t layerIndex, uint32_t flags, TRect rect);

  IDocWindow* owner_ = nullptr;
  IViewSurface* surface_ = nullptr;
  CViewState view_;
  CDocGradient gradient_;
  CPaperAntsView antsView_{*this};
  std::string name_;
  int32_t resolution_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  TTC composite_{true};
  TMTC preview_;
  DocServices services_;
  TFlowImage* flow_ = nullptr;
  bool olderFormatMode_ = false;
  bool ready_ = false;
  PaperColor paperColor_;
  bool showAnts_ = false;
  bool showCanvasColor_ = true;
  bool showBgPattern_ = false;
  bool selectionEnabled_ = false;
  // The selection slots of a version 1.1 recording (made on entering the
  // older-format mode, freed on leaving it).
  std::unique_ptr<TSelectMng> selectMng_;
  TStrokeSink strokeSink_ = TStrokeSink::DabTable;
  CStrokeState strokeState_;
  int32_t seedFillCapacity_ = kSeedFillCapacity;
  // Shared pointers so that this header needs neither type whole.
  std::shared_ptr<CStrokeMngr> penEngine_;
  std::shared_ptr<IPenDocument> penDocument_;
  CPenRender* penRender_ = nullptr;
  std::shared_ptr<SPlotState> plot_;
  TStroke* penStroke_ = nullptr;  // the settings the engine was made over
  const CToneMngr* toolTones_ = nullptr;
  const CToneMngr* replayTones_ = nullptr;
  CPenRender* replayRender_ = nullptr;
  std::function<CPenShapeObj*()> replayNib_;
  std::unique_ptr<CLayerMngr> layers_;
  std::unique_ptr<CMaskMngr> masks_;
  std::unique_ptr<CUndoMngrEx> undoMngr_;
  std::unique_ptr<IDocRecorder> events_;
  std::function<void(TPaper&, bool)> onChange_;
};

}  // namespace pg
