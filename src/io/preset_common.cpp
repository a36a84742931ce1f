#include "io/preset_common.h"

#include <filesystem>
#include <new>
#include <system_error>

#include "core/chunk_head.h"
#include "io/thumbnail_chunk.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "platform/system_helpers.h"
#include "platform/text_codec.h"

namespace pg {

std::string_view defaultPresetFileName(PresetSet set) {
  switch (set) {
    case PresetSet::Gradients:
      return "default.kgs";
    case PresetSet::PenShapes:
      return "default.psh";
    case PresetSet::PenMethods:
      return "default.pmt";
    case PresetSet::Palette:
      break;
  }
  return "default.kpl";
}

bool presetFileExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

std::string findDefaultPresetFile(IPresetPrefs& prefs, PresetSet set) {
  std::string path = prefs.presetFile(set);
  if (presetFileExists(path)) return path;
  const std::string_view name = defaultPresetFileName(set);
  path = joinPath(prefs.presetFolder(set), name);
  if (presetFileExists(path)) return path;
  const std::string folder = joinPath(prefs.programFolder(), kPresetFolderName);
  prefs.setPresetFolder(set, folder);
  path = joinPath(folder, name);
  return presetFileExists(path) ? path : std::string();
}

std::string presetFolderOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

std::string askPresetFile(const PresetFileDialog& dialog, int32_t kind, const std::string& currentFile) {
  std::string path = currentFile;
  if (!dialog || !dialog(kind, presetFolderOf(currentFile), path)) return std::string();
  return path;
}

void showPresetLoadFailed(uint32_t wordId, uint8_t code) {
  showWarning(formatRes(kResPresetLoadFailed, {resString(wordId), int32_t{code}}));
}

void showPresetMissing(int64_t missing, uint32_t wordId) {
  showWarning(formatRes(kResPresetMissing, {missing, resString(wordId)}));
}

uint8_t openPresetFile(const std::string& path, std::unique_ptr<CFileStream>& file) {
  if (!presetFileExists(path)) return kRcFileMissing;
  file = CFileStream::open(path, CFileStream::Mode::Read);
  return file ? kRcOk : kRcCannotOpen;
}

uint8_t guardedPresetOp(const std::function<uint8_t()>& op) {
  try {
    return op();
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  } catch (...) {
    return kRcException;
  }
}

uint8_t writePresetFile(const std::string& path, const std::function<uint8_t(CStream&)>& body) {
  std::unique_ptr<CFileStream> file = CFileStream::open(path, CFileStream::Mode::Create);
  if (!file) return kRcCannotCreate;
  // A failed item ends the save; the temporary file is dropped whole, so the
  // file that was there before stays as it was.
  uint8_t code = guardedPresetOp([&] { return body(*file); });
  if (code == kRcOk && !file->commit()) code = kRcShortWrite;
  if (code != kRcOk) file->discard();
  return code;
}

uint8_t readPresetHeader(CStream& stream, uint32_t tag, uint8_t maxVersion, uint8_t (&bytes)[kPresetHeaderBytes]) {
  if (!stream.readExact(bytes, kPresetHeaderBytes)) return kRcShortRead;
  const uint8_t code = checkChunkHead(parseChunkHead(bytes), tag, uint32_t(kPresetHeaderBytes - kChunkHeadBytes));
  if (code != kRcOk) return code;
  return bytes[8] > maxVersion ? kRcVersion : kRcOk;
}

void initPresetHeader(uint8_t (&bytes)[kPresetHeaderBytes], uint32_t tag, uint8_t version) {
  for (uint8_t& b : bytes) b = 0;
  storeChunkHead(bytes, {tag, uint32_t(kPresetHeaderBytes - kChunkHeadBytes)});
  bytes[8] = version;
}

uint8_t checkPresetPicture(CStream& stream, uint32_t bytesPerPixel, SPresetPictureBudget& budget) {
  const int64_t start = stream.position();
  uint8_t head[kThumbnailHeadBytes];
  if (!stream.readExact(head, kThumbnailHeadBytes)) return kRcShortRead;
  if (stream.seek(start, SeekOrigin::Begin) != start) return kRcSeekFailed;
  if (parseChunkHead(head).tag != kTagThumbnail) return kRcWrongTag;
  const SThumbnailDesc desc = parseThumbnailDesc(head + kChunkHeadBytes);
  if (pictureBytesPerPixel(desc.kind) != bytesPerPixel) return kRcPictureKind;
  const int64_t bytes = int64_t{desc.width} * int64_t{desc.height} * int64_t{bytesPerPixel};
  if (bytes > budget.left) return kRcTooLarge;
  budget.left -= bytes;
  return kRcOk;
}

std::string presetNameFromFile(std::string_view bytes) { return cp932ToUtf8(bytes); }

std::string presetNameToFile(std::string_view name, size_t maxBytes) {
  return std::string(cp932Prefix(utf8ToCp932(name), maxBytes));
}

}  // namespace pg
