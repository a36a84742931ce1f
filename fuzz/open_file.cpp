// Opens arbitrary bytes the way the File menu opens a file, in a document
// window without a display. The kind is told by the content, as a file named
// for it would be: "KPIM" a native file, "KTNL" or "KEVP" an event file,
// "LGB2" or "LGB " a version 1.1 document, "BM" a BMP, FF D8 a JPEG, the PNG
// signature a PNG, "8BPS" a PSD, and anything else a version 1.1 recording.
// The bytes are written to a file with that kind's extension and opened as
// the main window opens it: a native file or a version 1.1 document into the
// window, a picture into a new document of its size, a recording into a
// window that starts replaying it (a few replay steps run). Whatever the
// bytes, the open either fails or gives a window whose document holds
// together.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/document_files.h"
#include "canvas/canvas_fixture.h"
#include "canvas/draw_window.h"
#include "core/limits.h"
#include "core/planes.h"
#include "document/layer_mngr.h"
#include "document/paper.h"
#include "io/file_kinds.h"
#include "io/image_codecs.h"
#include "io/legacy_document.h"
#include "io/native_file_reader.h"
#include "fuzz_support.h"
#include "platform/message_service.h"

namespace {

using namespace pg;

using fuzz::check;

bool startsWith(const uint8_t* data, size_t size, const char* magic, size_t n) {
  return size >= n && std::memcmp(data, magic, n) == 0;
}

const char* extensionFor(const uint8_t* data, size_t size) {
  if (startsWith(data, size, "KPIM", 4)) return ".kci";
  if (startsWith(data, size, "KTNL", 4) || startsWith(data, size, "KEVP", 4)) return ".ke4";
  if (startsWith(data, size, "LGB2", 4) || startsWith(data, size, "LGB ", 4)) return ".lgb";
  if (startsWith(data, size, "BM", 2)) return ".bmp";
  if (startsWith(data, size, "\xFF\xD8", 2)) return ".jpg";
  if (startsWith(data, size, "\x89PNG", 4)) return ".png";
  if (startsWith(data, size, "8BPS", 4)) return ".psd";
  return ".lge";
}

// The folder the bytes are written to, one per process, removed at exit.
struct ScratchFolder {
  ScratchFolder() : path(std::filesystem::temp_directory_path() / ("pigmora_open_file_" + std::to_string(getpid()))) {
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::filesystem::path path;
};

std::string scratchPath(const char* extension) {
  static const ScratchFolder folder;
  return (folder.path / (std::string("input") + extension)).string();
}

void checkDocument(const TPaper& doc) {
  check(doc.width() >= 1 && doc.width() <= kMaxImageWidth && doc.height() >= 1 && doc.height() <= kMaxImageHeight);
  check(doc.layerCount() >= 1 && doc.layerCount() <= kMaxLayers && doc.isValidLayer(doc.currentLayerIndex()));
}

// Opens the file as the main window does for its kind; true when it opened.
bool open(TDrawWindow& window, const std::string& path) {
  switch (fileKindFromExt(path)) {
    case FileKind::Native: {
      if (!window.newDocument("", 1, 1, 72)) return false;
      auto doc = std::make_unique<TPaper>(nullptr, window.paper().services());
      return readNativeFile(path, *doc) == kRcOk && window.adoptDocument(std::move(doc));
    }
    case FileKind::Bmp:
    case FileKind::Jpeg:
    case FileKind::Png:
    case FileKind::Psd: {
      int32_t dpi = 0;
      std::unique_ptr<TMTC> picture = loadImageFile(path, dpi);
      if (!picture) return false;
      check(picture->Width >= 1 && picture->Width <= kMaxImageWidth && picture->Height >= 1 &&
            picture->Height <= kMaxImageHeight);
      return window.newDocument(path, picture->Width, picture->Height, dpi > 0 ? dpi : 72) &&
             loadPictureIntoDocument(window.paper(), *picture);
    }
    case FileKind::LegacyDocument: {
      if (!window.newDocument("", 1, 1, 72)) return false;
      const LegacyImport status = window.openLegacyDocument(path).status;
      return status == LegacyImport::Layers || status == LegacyImport::NoLayers || status == LegacyImport::Broken;
    }
    case FileKind::EventsV4:
    case FileKind::LegacyRecording: {
      if (!window.newDocument("", 1, 1, 72)) return false;
      const bool legacy = fileKindFromExt(path) == FileKind::LegacyRecording;
      uint32_t now = 1000;
      if (!(legacy ? window.openLegacyEvents(path, now) : window.openEventFile(path, now))) return false;
      for (int step = 0; step < 32 && window.isReplaying(); ++step) (void)window.replayStep(now += 50);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::silenceMessages();
  setMessageBatchMode(true);
  const std::string path = scratchPath(extensionFor(data, size));
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    check(bool(out));
  }
  // The memory of a small machine: larger documents take the
  // out-of-memory paths instead of seconds of every run.
  const fuzz::MemoryBudget budget;
  CCanvasShared shared;
  test::FakeHost host;  // it answers every question with its refusing button
  TDrawWindow window(shared, &host);
  // A small window: what the target explores is the open, not the display
  // buffers of a large screen.
  window.resize({96, 64});
  if (open(window, path)) checkDocument(window.paper());
  return 0;
}
