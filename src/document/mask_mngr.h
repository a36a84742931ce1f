#pragma once
// The mask list of a document. The current mask is the selection. The list
// builds new selection images from regions with one of four combine modes,
// merges, inverts, crops and rescales masks, and owns the selection outline.
// Operations that replace a mask hand the replaced object back so that the
// document can keep it for undo; nothing here records events or undo itself.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/rect.h"
#include "document/ant_points.h"
#include "document/mask_data.h"

namespace pg {

class TChannel;
class TMTC;

// How a new region combines with the selection.
enum : uint8_t {
  kCombineCopy = 0,       // the region alone
  kCombineAdd = 1,        // max(old, region)
  kCombineSubtract = 2,   // min(old, 255 - region)
  kCombineIntersect = 3,  // old x region / 255 inside the old image, 0 outside
};

// The menu caption of a combine mode (empty outside 0..3).
std::string combineModeName(int32_t mode);

class CMaskMngr {
 public:
  // Creates the first, empty mask, named マスク1.
  explicit CMaskMngr(int32_t capacity = 16);
  ~CMaskMngr();
  CMaskMngr(const CMaskMngr&) = delete;
  CMaskMngr& operator=(const CMaskMngr&) = delete;

  // The document (canvas) size.
  void setDocumentSize(int32_t w, int32_t h);
  int32_t docWidth() const { return docWidth_; }
  int32_t docHeight() const { return docHeight_; }

  // ---- access ----
  int32_t count() const { return static_cast<int32_t>(masks_.size()); }
  bool isValidIndex(int32_t i) const { return i >= 0 && i < count(); }
  [[nodiscard]] CMaskData* getMask(int32_t i) const;
  [[nodiscard]] CMaskData* currentMask() const { return getMask(current_); }
  int32_t current() const { return current_; }
  // With i = count, a new empty mask is appended first; then current := i
  // when valid. Answers the current index.
  int32_t setCurrent(int32_t i);
  // Mask i exists and has an image.
  bool exists(int32_t i) const;
  bool hasAnyMask() const { return count() > 0; }
  int64_t memorySize() const;
  void renumber();
  // current >= count becomes count - 1.
  void fixCurrent();
  int32_t tracedIndex() const { return tracedIndex_; }

  // ---- names ----
  // For a valid i: the counter += step and the name := "マスク<counter>".
  [[nodiscard]] bool setDefaultName(int32_t i, int32_t step);
  int32_t nameCounter() const { return nameCounter_; }
  // Restores the counter (a document read back from a file).
  void setNameCounter(int32_t v) { nameCounter_ = v; }

  // ---- list operations ----
  [[nodiscard]] std::unique_ptr<CMaskData> extractMask(int32_t i);
  [[nodiscard]] bool freeMaskAt(int32_t i);
  // Frees all masks, fixes current.
  void clear();
  // A valid index inserts before it, i = count appends; answers the index.
  // Any other index gives -1 and `mask` stays the caller's.
  int32_t insertMask(int32_t i, std::unique_ptr<CMaskData>&& mask);
  // For a valid i exchanges and answers the old object; otherwise appends
  // and answers null.
  [[nodiscard]] std::unique_ptr<CMaskData> replaceMask(int32_t i, std::unique_ptr<CMaskData>&& mask);
  // Inserts a new empty mask at i (i < 0: the current index), names it and
  // renumbers; answers its index or -1.
  int32_t addMask(int32_t i);
  int32_t insertMaskAt(int32_t i, std::unique_ptr<CMaskData>&& mask);
  // Inserts a copy of mask i at i; answers the index or -1.
  int32_t duplicateMask(int32_t i);
  // Answers `to`, or -1 unless both are valid and different.
  int32_t moveMask(int32_t to, int32_t from);
  // Replaces mask i with a new empty mask of the same name.
  [[nodiscard]] bool clearMaskAt(int32_t i, std::unique_ptr<CMaskData>& old);
  // Takes mask i out, fixes current, renumbers.
  [[nodiscard]] bool removeMask(int32_t i, std::unique_ptr<CMaskData>& mask);
  // Exchanges mask i with `mask`.
  [[nodiscard]] bool swapMaskAt(int32_t i, std::unique_ptr<CMaskData>& mask);
  // Replaces mask dst with a copy of mask src.
  [[nodiscard]] bool copyMaskInto(int32_t dst, int32_t src, std::unique_ptr<CMaskData>& old);

  // ---- canvas ----
  // The mask image is wider or taller than the document.
  bool exceedsCanvas(int32_t i) const;
  // The image rectangle (document coordinates, into `rect`) lies wholly
  // inside the document.
  bool liesWithinCanvas(const CMaskData& mask, TRect& rect) const;
  // The image rectangle covers the whole document.
  bool coversCanvas(const CMaskData& mask) const;

  // ---- combining ----
  // A new mask from a region of `size` whose top-left lies at document point
  // -offset, combined with mask i by `mode`; null when it cannot be made
  // (modes 2 and 3 need an old image).
  [[nodiscard]] std::unique_ptr<CMaskData> makeCombinedMask(int32_t i, const TChannel& region, int32_t mode, TPoint offset,
                                              SSize size) const;
  // Builds the combined mask and puts it in place of mask i, keeping the old
  // name; the old object goes to `old`.
  [[nodiscard]] bool setMaskImage(int32_t i, const TChannel& region, int32_t mode, std::unique_ptr<CMaskData>& old,
                    TPoint offset, SSize size);
  // Combines mask src into mask dst by `mode`; the result replaces dst and
  // keeps its name.
  [[nodiscard]] bool mergeMask(int32_t dst, int32_t src, int32_t mode, std::unique_ptr<CMaskData>& old);
  // Inverts mask i over the document. In place when its image covers the
  // document (`old` stays null); otherwise a copy covering the document and
  // the image is inverted and swapped in (`old` receives the replaced mask).
  [[nodiscard]] bool invertMask(int32_t i, std::unique_ptr<CMaskData>& old);
  // XOR 255 over the image of mask i.
  [[nodiscard]] bool invertInPlace(int32_t i);
  // A mask reaching outside the document is replaced by a document-sized one
  // holding its values at their place.
  [[nodiscard]] bool cropToCanvas(int32_t i, std::unique_ptr<CMaskData>& old);
  // A mask reaching outside the document is rebuilt to cover the document
  // and the bounding box of its non-zero pixels.
  [[nodiscard]] bool trimAfterAdd(int32_t i);

  // ---- thumbnails ----
  [[nodiscard]] bool updateMaskThumbnail(CMaskData& mask) const;
  [[nodiscard]] bool updateCurrentThumbnail();
  [[nodiscard]] bool updateAllThumbnails();

  // ---- scaling to a new document size ----
  // Method 1 nearest, method 2 area average; null for any other method.
  [[nodiscard]] std::unique_ptr<CMaskData> scaleMask(int32_t i, SSize newDocSize, int32_t method) const;
  [[nodiscard]] bool scaleAllMasks(SSize newDocSize, int32_t method);
  // A new list of scaled copies of all masks, current index kept.
  [[nodiscard]] std::unique_ptr<CMaskMngr> makeScaledMaskList(SSize newDocSize, int32_t method) const;

  // ---- the selection outline ----
  // Traces mask i (i < 0: current) placed at its offset on a plane of the
  // document size; a mask without image clears the outline.
  [[nodiscard]] bool traceAnts(SSize docSize, int32_t i);
  // Traces the image of mask i itself; the origin becomes minus its offset.
  [[nodiscard]] bool traceAntsFull(int32_t i);
  void clearAnts();
  bool hasAnts() const { return ants_.hasPoints(); }
  void setAntsOrigin(TPoint p) { ants_.setOrigin(p.X, p.Y); }
  TPoint getAntsOrigin() const { return {ants_.originX(), ants_.originY()}; }
  void setAntsView(const CAntsView* view) { ants_.setView(view); }
  [[nodiscard]] bool drawAnts(TMTC& target, const SAntsClip& clip) { return ants_.draw(target, clip); }
  void stepAnts() { ants_.step(); }
  CAntPoints& ants() { return ants_; }

 private:
  [[nodiscard]] std::unique_ptr<CMaskData> newEmptyMask(int32_t index) const;
  // Puts a rebuilt mask in place of mask i (a valid index) with its
  // thumbnail drawn, renumbers, and answers the mask it replaced.
  [[nodiscard]] std::unique_ptr<CMaskData> installRebuilt(int32_t i, std::unique_ptr<CMaskData>&& mask);
  // traceAnts with the document's size, traceAntsFull with none.
  [[nodiscard]] bool traceMaskAnts(int32_t i, const SSize* docSize);

  std::vector<std::unique_ptr<CMaskData>> masks_;
  int32_t current_ = -1;
  int32_t nameCounter_ = 0;
  int32_t tracedIndex_ = -1;
  int32_t docWidth_ = 0;
  int32_t docHeight_ = 0;
  CAntPoints ants_;
};

}  // namespace pg
