#pragma once
// The replay engine: performs a recorded packet stream again on a document,
// one event per step, through the same document operations that recorded it
// with their record flag cleared, so that replay writes neither packets nor
// undo records and gives the pixels of the original work.
//
// The engine reads the stream of an event store (normally the document's own
// recorder, loaded from an event file and put into replay mode) from its
// replay position, hands each packet to the executor of its type and tells
// the window through refresh bits what it must redraw. The state that
// application-state packets carry (stroke settings, tones, gradient, nib,
// pen renderer, image slots) lives in objects of the engine's own, never in
// the tool window's.
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "brush/gradient.h"
#include "core/rect.h"
#include "core/map_dd.h"
#include "document/paper_gradient.h"
#include "core/byte_cursor.h"
#include "document/paper_stroke_session.h"
#include "record/event_store.h"
#include "record/packet_table.h"
#include "replay/replay_types.h"

namespace pg {

class TPaper;
class TFlowImage;
class TMTC;
class TChannel;
class TStroke;
class CPenRender;
class CPenShapeObj;
class CToneMngr;
struct SLayerMaskItem;

class CReplayEngine final : public IReplayGradientSource {
 public:
  // The engine replays the store's stream into the document with the flow
  // image. All three are the caller's and must outlive the engine.
  CReplayEngine(TPaper& doc, TFlowImage& flow, CEventMngr& store);
  ~CReplayEngine() override;
  CReplayEngine(const CReplayEngine&) = delete;
  CReplayEngine& operator=(const CReplayEngine&) = delete;

  // ---- starting ----
  // Reads an event file into the store, then startLoaded.
  [[nodiscard]] ReplayStart startReplay(const std::string& fileName);
  // Starts on the stream the store already holds: creates the replay objects,
  // checks the whole stream by the packet size rule, enters replay mode and
  // executes the first event, which must set an image up.
  [[nodiscard]] ReplayStart startLoaded();

  // ---- stepping ----
  // One event (or, inside a stroke replayed point by point, one point).
  [[nodiscard]] ReplayStep replayNext();
  // One step inside an open replayed stroke.
  [[nodiscard]] ReplayStep continueStroke();
  // Completes an open replayed stroke (the user stopped inside it). After a
  // refused packet it only ends the stroke with the points already read.
  ReplayStep finishStroke();
  // Executes one packet at the replay position; false on any failure.
  [[nodiscard]] bool execPacket(SPacketHeader& header);
  // Packets until one of a type other than 0 and 1 was executed.
  [[nodiscard]] bool execCommand(SPacketHeader& header);
  // execCommand: Error on failure, End when the seal was executed.
  [[nodiscard]] ReplayStep execNext(SPacketHeader& header);

  // ---- state ----
  bool isReplaying() const { return store_.mode() == EventMode::Replaying; }
  bool isPaused() const { return isReplaying() && (store_.stateByte() & kEvPaused) != 0; }
  void setPaused(bool on) { store_.setStateBits(kEvPaused, on); }
  void setStepPoints(bool on) { store_.setStateBits(kEvStepPoints, on); }
  [[nodiscard]] bool strokeOpen() const {
    return (store_.stateByte() & kEvReplayStrokeOpen) != 0;
  }
  uint32_t replayPosition() const { return pos_; }
  uint32_t completedEvents() const { return completed_; }
  // Where each replayed event ended, in order.
  const std::vector<uint32_t>& eventEnds() const { return eventEnds_; }
  SPacketHeader lastHeader() const { return lastHeader_; }
  // Why the last step failed; None after a success.
  ReplayError lastError() const { return error_; }
  // The refresh bits of the last step (kRefresh*); cleared at every step.
  uint8_t refreshFlags() const { return refresh_; }
  // major x 100 + minor of the version item; 200 while the stream has none.
  int32_t recorderVersion() const;

  // ---- replay objects ----
  TStroke& replayStroke() { return *stroke_; }
  CPenRender& replayRenderer() { return *render_; }
  CToneMngr& replayTones() { return *tones_; }
  // The nib to draw with: the image nib when item 52 says so and one exists,
  // else the parametric one.
  const CPenShapeObj* activeReplayNib() const;
  // The gradient stops, rebuilt from the stroke's two colours for streams of
  // versions that had no gradient item of their own.
  const CColorSlotGroup& activeReplayGradient();
  // Hands the replayed pen state to the tool window (after a step whose
  // refresh bits 32 or 64 are set); the blocks are also handed back.
  void applyPenStateToToolWindow(SReplayPenState& out);
  void setToolWindow(IReplayToolWindow* toolWindow) { toolWindow_ = toolWindow; }
  // Forgets every tone and nib id (a reset point).
  void resetReplayIds();
  // The image slots (subcodes 128, 129); freeImageSlots answers 0 when
  // neither was set, 1 only slot 1, 2 only slot 2, 3 both.
  const TMTC* imageSlot(int slot) const;
  int freeImageSlots();
  void freeDataBlock();
  bool hasStartTime() const { return hasStartTime_; }
  const std::array<uint8_t, 16>& startTime() const { return startTime_; }
  bool isCached(uint8_t subcode) const { return cachedBits_.test(subcode); }
  // The replay stroke's changed flag; take sets it and answers the old one.
  [[nodiscard]] bool replayStrokeChanged() const;
  [[nodiscard]] bool takeReplayStrokeChanged(bool value);

  // ---- reading the stream (executors) ----
  // Reads exactly count bytes at the replay position and moves past them;
  // false (nothing moved) when fewer lie before the write position.
  [[nodiscard]] bool read(void* destination, uint32_t count);
  [[nodiscard]] bool skip(uint32_t count);
  // Reads one image payload (22-byte head, optional 72-byte record, byte
  // block, pixels). The pixel data must cover the whole image.
  [[nodiscard]] bool readImageObject(int32_t& layer, std::unique_ptr<TMTC>& image,
                                     std::unique_ptr<std::array<uint8_t, 72>>& record, std::vector<uint8_t>& block);

  TPaper& document() { return doc_; }
  TFlowImage& flowImage() { return flow_; }
  CEventMngr& store() { return store_; }
  void addRefresh(uint8_t bits) { refresh_ = uint8_t(refresh_ | bits); }
  // Marks a failure with its reason and answers false.
  bool fail(ReplayError error);
  // Reads the fixed body of a command packet through the field list of its
  // form; false (and the body partly read) when the packet is not of the
  // body's form or the stream ends inside it.
  template <class Body>
  [[nodiscard]] bool readBody(const SPacketRow& row, Body& body) {
    if (Body::kForm != row.form) return fail(ReplayError::UnknownPacket);
    std::array<uint8_t, 80> bytes{};
    if (row.size.base > bytes.size() || !read(bytes.data(), row.size.base)) return false;
    return readRecord(bytes.data(), row.size.base, body, Body::fields) || fail(ReplayError::BadField);
  }
  // The gradient the document paints with while it replays: the stops the
  // recording set, rebuilt for streams that had no gradient of their own;
  // null while the recording has set none.
  const CGradObj* replayGradientForDocument() override;

private:
  friend class CReplayExecutors;
  // A command packet, by its row of the packet table.
  [[nodiscard]] bool replayCommand(const SPacketRow& row);
  [[nodiscard]] bool replayAppState(uint8_t subcode);
  // A fixed application-state item through its field list (state_items.h),
  // cached as read.
  template <class Item>
  [[nodiscard]] bool readStateItem(uint8_t subcode, Item& item);
  [[nodiscard]] bool replayLayerMask(const SLayerMaskItem& item, bool wasCached);
  [[nodiscard]] bool replayDataPacket(uint8_t subcode);
  [[nodiscard]] bool replayLayerImage(const SPacketRow& row);
  [[nodiscard]] bool replayFill(const SPacketRow& row);
  [[nodiscard]] bool replayColorRange(int32_t layer, int32_t maskIndex);
  // The coverage in the flow image placed into the layer, or made the selection.
  [[nodiscard]] bool replayTextPlacement(int32_t layer, bool asSelection, uint8_t combine);
  [[nodiscard]] bool replayFilterPacket(const SPacketRow& row);
  // The end of an executor that called a document operation.
  [[nodiscard]] bool done(bool ok, uint8_t refresh);
  // count points of two f32, each finite.
  [[nodiscard]] bool readPoints(uint16_t count, std::vector<TPointF> &points);
  // length bytes of a recorded name (CP932), zero-padded.
  [[nodiscard]] bool readName(uint16_t length, std::string &name);
  // 5.124's items
  [[nodiscard]] bool replayToneDefinition();
  [[nodiscard]] bool replayToneSelection();
  [[nodiscard]] bool replayGradient();
  [[nodiscard]] bool replayNibDefinition();
  [[nodiscard]] bool replayNibSelection();
  [[nodiscard]] bool replayPenState(uint8_t subcode, const uint8_t *body);
  // strokes
  [[nodiscard]] bool replayStrokeBegin(uint8_t subcode, uint8_t drawMode);
  [[nodiscard]] bool replayStrokePoints(uint8_t count, bool last);
  int32_t drawStrokePoints(int32_t first, int32_t count);
  [[nodiscard]] bool finishReplayStroke();
  void switchSmoothingOff();
  [[nodiscard]] bool markEventDone();
  // The document's pen-method engine over the replay's own stroke and
  // renderer (an engine of the tool window's is replaced for the replay).
  void ensurePenEngine();
  [[nodiscard]] bool createReplayObjects();
  void cacheItem(uint8_t subcode, const uint8_t* body, uint32_t size);
  [[nodiscard]] bool makeImageNib(const TChannel &image, uint16_t scale);

  TPaper& doc_;
  TFlowImage& flow_;
  CEventMngr& store_;
  IReplayToolWindow* toolWindow_ = nullptr;

  uint32_t pos_ = 0;
  uint32_t completed_ = 0;
  std::vector<uint32_t> eventEnds_;
  uint8_t refresh_ = 0;
  SPacketHeader lastHeader_{};
  ReplayError error_ = ReplayError::None;
  // A packet was refused: the replay executes nothing more until it starts again.
  bool stopped_ = false;

  // cached application state, by subcode
  std::array<std::vector<uint8_t>, 256> cache_;
  std::bitset<256> cachedBits_;

  // replay objects
  std::unique_ptr<TStroke> stroke_;
  std::unique_ptr<CPenRender> render_;
  std::unique_ptr<CToneMngr> tones_;
  std::unique_ptr<CPenShapeObj> nib_;
  std::unique_ptr<CPenShapeObj> imageNib_;
  std::vector<std::unique_ptr<TChannel>> nibImages_;
  CMapDD toneIds_{10};
  CMapDD nibIds_{10};
  CColorSlotGroup gradient_{16};
  CGradObj documentGradient_;  // what the document is handed of gradient_
  bool penEngineMade_ = false;
  // The family that paints the replayed stroke, chosen at its begin.
  CStrokeSession session_;

  std::unique_ptr<TMTC> slot1_;
  std::unique_ptr<TMTC> slot2_;
  std::vector<uint8_t> dataBlock_;
  bool hasDataBlock_ = false;
  std::array<uint8_t, 68> textSettings_{};
  std::string text_;
  std::array<uint8_t, 16> startTime_{};
  bool hasStartTime_ = false;

  // the point chunk being replayed
  std::array<std::array<float, 3>, 16> points_{};
  int32_t pointsInChunk_ = 0;
  int32_t pointsDone_ = 0;
  bool strokeStarted_ = false;
};

}  // namespace pg
