#pragma once
// The document's thumbnail: its composite reduced to fit 256 x 256, written
// as a "KTNL" chunk (thumbnail_chunk.h) at the head of native and event
// files; and the document as the event file sees it, whose thumbnail hook is
// this writer.
#include <cstdint>

#include "core/chunk_head.h"
#include "core/streams.h"
#include "record/event_file.h"

namespace pg {

class CEventMngr;
class TMTC;
class TPaper;

// How the document thumbnail is scrambled.
inline constexpr uint8_t kDocumentThumbnailGroup = 4;
inline constexpr uint8_t kDocumentThumbnailStep = 3;

// The composite without the grid reduced into a plane that fits 256 x 256
// with the document's aspect, each pixel the mean of 4 x 4 samples, alpha
// 255. While the grid is shown the composite is recomposed without it and
// then again with it. False when the composite holds no pixels or memory
// fails.
[[nodiscard]] bool makeDocumentThumbnail(TPaper& doc, TMTC& picture);

// The thumbnail chunk of the document in the format (1 plain, 2 scrambled).
// Codes: 0; 14 (another format), 37 (no composite), 1 (memory), 8 (short
// write: the stream goes back to where the chunk began), 3.
[[nodiscard]] FileResult writeThumbnail(CStream& stream, TPaper& doc, uint16_t format);

// The document's event store; null when its recorder keeps none.
[[nodiscard]] CEventMngr* documentEventStore(const TPaper& doc);

// The document as the event file sees it.
class CPaperEventDocument final : public EventDocument {
 public:
  explicit CPaperEventDocument(TPaper& doc) : doc_(doc) {}
  [[nodiscard]] CEventMngr* eventStore() override;
  uint32_t eventImageWidth() const override;
  uint32_t eventImageHeight() const override;
  void clearRedoList() override;
  // The thumbnail in format 2.
  [[nodiscard]] FileResult writeThumbnailChunk(CStream& stream) override;

 private:
  TPaper& doc_;
};

}  // namespace pg
