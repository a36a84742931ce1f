#include "io/preset_common.h"

#include <filesystem>
#include <new>
#include <system_error>

#include "core/chunk_head.h"
#include "io/thumbnail_chunk.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"
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

bool loadDefaultPresetFile(IPresetPrefs& prefs, PresetSet set, bool useFallback,
                           const std::function<bool(const std::string& path)>& load,
                           const std::function<void()>& fallback, const std::function<void()>& clearFileName) {
  const std::string path = findDefaultPresetFile(prefs, set);
  const bool loaded = !path.empty() && load(path);
  if (!loaded) {
    if (useFallback) fallback();
    prefs.setPresetFile(set, std::string());
    clearFileName();
  }
  return loaded;
}

void showPresetLoadFailed(uint32_t wordId, FileResult code) {
  showWarning(formatRes(kResPresetLoadFailed, {resString(wordId), int32_t{fileResultNumber(code)}}));
}

bool presetSaved(FileResult code, const std::string& path) {
  if (code == kRcOk) return true;
  showWarning(formatRes(kResSaveFailed, {path}));
  return false;
}

void showPresetMissing(int64_t missing, uint32_t wordId) {
  showWarning(formatRes(kResPresetMissing, {missing, resString(wordId)}));
}

FileResult openPresetFile(const std::string& path, std::unique_ptr<CFileStream>& file) {
  if (!presetFileExists(path)) return kRcFileMissing;
  file = CFileStream::open(path, CFileStream::Mode::Read);
  return file ? kRcOk : kRcCannotOpen;
}

FileResult readPresetFile(const std::string& path, const std::function<FileResult(CStream& in)>& read) {
  std::unique_ptr<CFileStream> file;
  const FileResult opened = openPresetFile(path, file);
  return opened != kRcOk ? opened : read(*file);
}

FileResult writePresetFile(const std::string& path, const std::function<FileResult(CStream&)>& body) {
  std::unique_ptr<CFileStream> file = CFileStream::open(path, CFileStream::Mode::Create);
  if (!file) return kRcCannotCreate;
  // A failed item ends the save; the temporary file is dropped whole, so the
  // file that was there before stays as it was.
  FileResult code = guardedCode([&] { return body(*file); });
  if (code == kRcOk && !file->commit()) code = kRcShortWrite;
  if (code != kRcOk) file->discard();
  return code;
}

void presetSetHeadFields(CByteCursor& c, SPresetSetHeader& h) {
  c.field(h.head.tag).field(h.head.size).field(h.version);
}

FileResult readPresetHeader(CStream& stream, const SPresetSetFormat& format, SPresetSetHeader& header) {
  uint8_t bytes[kPresetHeaderBytes];
  if (!stream.readExact(bytes, kPresetHeaderBytes)) return kRcShortRead;
  if (!readRecord(bytes, sizeof bytes, header, format.headerFields)) return kRcShortRead;
  const FileResult code = checkChunkHead(header.head, format.fileTag, uint32_t(kPresetHeaderBytes - kChunkHeadBytes));
  if (code != kRcOk) return code;
  return header.version > format.version ? kRcVersion : kRcOk;
}

FileResult checkPresetPicture(CStream& stream, uint32_t bytesPerPixel, SPresetPictureBudget& budget) {
  const int64_t start = stream.position();
  uint8_t head[kThumbnailHeadBytes];
  if (!stream.readExact(head, kThumbnailHeadBytes)) return kRcShortRead;
  if (stream.seek(start, SeekOrigin::Begin) != start) return kRcSeekFailed;
  if (parseChunkHead(head).tag != kTagThumbnail) return kRcWrongTag;
  const SThumbnailDesc desc = parseThumbnailDesc(head + kChunkHeadBytes);
  if (pictureBytesPerPixel(desc.kind) != bytesPerPixel) return kRcPictureKind;
  // Checked: sizes from the file must not wrap into a small or negative count,
  // which would let the picture pass or even raise what is left.
  int64_t bytes = 0;
  if (__builtin_mul_overflow(int64_t{desc.width}, int64_t{desc.height}, &bytes) ||
      __builtin_mul_overflow(bytes, int64_t{bytesPerPixel}, &bytes) || bytes > budget.left)
    return kRcTooLarge;
  budget.left -= bytes;
  return kRcOk;
}

FileResult readPresetSet(CStream& in, const SPresetSetFormat& format, PresetChunkParser& parser,
                      SPresetSetHeader& header, const std::function<void()>& begin,
                      const std::function<void(int32_t read)>& end) {
  return guardedCode([&]() -> FileResult {
    const FileResult code = readPresetHeader(in, format, header);
    if (code != kRcOk) return code;
    const int32_t announced = header.count;
    if (announced == 0) return kRcNothing;
    begin();
    const SPresetLoopResult loop = readPresetChunks(in, format.itemTag, announced, parser);
    if (loop.itemsRead == 0) return kRcNothing;
    end(loop.itemsRead);
    if (loop.itemsRead < announced) showPresetMissing(announced - loop.itemsRead, format.wordId);
    return kRcOk;
  });
}

FileResult writePresetSet(const std::string& path, const SPresetSetFormat& format, int64_t count,
                       const std::function<void(SPresetSetHeader& header)>& fillHeader,
                       const std::function<FileResult(CStream& out, int32_t item)>& writeItem) {
  if (count <= 0) return kRcNothing;
  // The count field has 16 bits: a list it cannot count is not cut short.
  if (count > 0xFFFF) return kRcVersion;
  return writePresetFile(path, [&](CStream& out) -> FileResult {
    SPresetSetHeader header;
    header.head = {format.fileTag, uint32_t(kPresetHeaderBytes - kChunkHeadBytes)};
    header.version = format.version;
    header.count = uint16_t(count);
    fillHeader(header);
    uint8_t bytes[kPresetHeaderBytes];
    if (!writeRecord(bytes, sizeof bytes, header, format.headerFields)) return kRcShortWrite;
    if (!out.writeExact(bytes, kPresetHeaderBytes)) return kRcShortWrite;
    for (int32_t i = 0; i < int32_t(count); ++i) {
      const FileResult code = writeItem(out, i);
      if (code != kRcOk) return code;
    }
    return kRcOk;
  });
}

std::string presetNameFromFile(std::string_view bytes) { return cp932ToUtf8(bytes); }

std::string presetNameToFile(std::string_view name, size_t maxBytes) {
  return std::string(cp932Prefix(utf8ToCp932(name), maxBytes));
}

}  // namespace pg
