#include "io/file_result_text.h"

#include "platform/string_table.h"

namespace pg {

uint32_t fileResultReasonId(FileResult code) {
  switch (code) {
    case FileResult::FileMissing: return kResReasonMissing;
    case FileResult::CannotOpen: return kResReasonCannotOpen;
    case FileResult::ShortRead:
    case FileResult::SeekFailed:
    case FileResult::ChunkPastEnd:
    case FileResult::StreamShort: return kResReasonCutShort;
    case FileResult::WrongTag:
    case FileResult::HeaderSize:
    case FileResult::PictureKind: return kResReasonWrongFormat;
    case FileResult::Version:
    case FileResult::ThumbFormat:
    case FileResult::TileFormat:
    case FileResult::TileEncoding:
    case FileResult::MaskTileFormat:
    case FileResult::MaskTileEncoding: return kResReasonNewerKind;
    case FileResult::TooLarge: return kResReasonTooLarge;
    case FileResult::OutOfMemory:
    case FileResult::LayerCreate:
    case FileResult::MaskCreate: return kResReasonNoMemory;
    case FileResult::Exception: return kResReasonUnexpected;
    default: return kResReasonDamaged;
  }
}

std::string fileResultReason(FileResult code) { return resString(fileResultReasonId(code)); }

}  // namespace pg
