#include "core/planes.h"

#include <cstring>

#include "core/limits.h"
#include "core/mem_utils.h"
#include "platform/debug_output.h"

namespace pg {

namespace {

// The last two characters of these lines are a backslash and the letter n.
constexpr const char kChannelResizeFailed[] = "TChannel::Resize: caught an exception!\\n";
constexpr const char kMtcResizeFailed[] = "TMTC::Resize: caught an exception!\\n";
constexpr const char kTcResizeFailed[] = "TTC::Resize: caught an exception!\\n";

// A table of h row offsets: row y at (h-1-y)*rowBytes when bottom-up, else
// y*rowBytes. nullptr when h is 0 or the memory could not be had. The area
// limit keeps every offset below 2^30.
int32_t* makeRowOffsets(int32_t h, int64_t rowBytes, bool bottomUp) {
  auto* rows = static_cast<int32_t*>(allocBlock(static_cast<size_t>(h) * sizeof(int32_t)));
  if (rows == nullptr) return nullptr;
  for (int32_t y = 0; y < h; ++y) rows[y] = static_cast<int32_t>(rowBytes * (bottomUp ? h - 1 - y : y));
  return rows;
}

// Copies the rows of src into dst (same size and pixel size), each through
// its own row-offset table, so either row order works on both sides.
void copyRows(const CDibCore& src, CDibCore& dst, size_t rowBytes) {
  if (rowBytes == 0) return;
  for (int32_t y = 0; y < dst.Height; ++y) std::memcpy(dst.rowAddress(y), src.rowAddress(y), rowBytes);
}

}  // namespace

// ---- CDibCore ------------------------------------------------------------------

CDibCore::~CDibCore() { CDibCore::FreeData(); }

void CDibCore::FreeData() {
  freeBlock(Bits);
  Bits = nullptr;
  freeBlock(RowOffsets);
  RowOffsets = nullptr;
  Width = 0;
  Height = 0;
}

void CDibCore::failResize(const char* line) {
  FreeData();
  debugOutput(line);
}

// ---- TChannel ------------------------------------------------------------------

bool TChannel::Resize(int32_t w, int32_t h) {
  FreeData();  // a channel never reuses its block
  if (!planeSizeAllowed(w, h)) {
    failResize(kChannelResizeFailed);
    return false;
  }
  Width = w;
  Height = h;
  const int64_t bytes = static_cast<int64_t>(w) * h;
  if (bytes > 0) {
    Bits = static_cast<uint8_t*>(allocBlock(static_cast<size_t>(bytes)));
    if (Bits == nullptr) {
      failResize(kChannelResizeFailed);
      return false;
    }
  }
  if (h > 0) {
    RowOffsets = makeRowOffsets(h, w, /*bottomUp=*/true);
    if (RowOffsets == nullptr) {
      failResize(kChannelResizeFailed);
      return false;
    }
  }
  return true;
}

std::unique_ptr<TChannel> TChannel::CreateCopy(const TChannel& src) {
  auto copy = std::make_unique<TChannel>();
  if (copy->Resize(src.Width, src.Height) && copy->IsAllocated() && src.IsAllocated())
    copyRows(src, *copy, static_cast<size_t>(src.Width));
  return copy;
}

// ---- TMTC ----------------------------------------------------------------------

bool TMTC::Resize(int32_t w, int32_t h) {
  if (IsAllocated() && w == Width && h == Height) return true;
  if (!planeSizeAllowed(w, h)) {
    failResize(kMtcResizeFailed);
    return false;
  }
  // Display buffers and dabs are resized on every zoom or brush change: keep
  // the block when the byte count does not change.
  const int64_t oldBytes = 4 * static_cast<int64_t>(Width) * Height;
  const int64_t newBytes = 4 * static_cast<int64_t>(w) * h;
  uint8_t* kept = nullptr;
  if (oldBytes == newBytes) {
    kept = Bits;
    Bits = nullptr;
  }
  FreeData();
  Width = w;
  Height = h;
  if (kept != nullptr) {
    Bits = kept;
  } else if (newBytes > 0) {
    Bits = static_cast<uint8_t*>(allocBlock(static_cast<size_t>(newBytes)));
    if (Bits == nullptr) {
      failResize(kMtcResizeFailed);
      return false;
    }
  }
  if (h > 0) {
    RowOffsets = makeRowOffsets(h, 4 * static_cast<int64_t>(w), /*bottomUp=*/false);
    if (RowOffsets == nullptr) {
      failResize(kMtcResizeFailed);  // frees the kept block with the rest
      return false;
    }
  }
  return true;
}

std::unique_ptr<TMTC> TMTC::CreateCopy(const TMTC& src) {
  auto copy = std::make_unique<TMTC>();
  if (copy->Resize(src.Width, src.Height)) (void)copy->copyPixelsFrom(src);  // same size: cannot fail
  return copy;
}

bool TMTC::copyPixelsFrom(const TMTC& src) {
  if (src.Width != Width || src.Height != Height || !IsAllocated() || !src.IsAllocated()) return false;
  if (&src != this) copyRows(src, *this, 4 * static_cast<size_t>(Width));
  return true;
}

// ---- TTC -----------------------------------------------------------------------

bool TTC::Resize(int32_t w, int32_t h) {
  // Compared with the request as given, before the sides are raised to 1.
  if (w == Width && h == Height) return true;
  FreeData();
  if (!planeSizeAllowed(w, h)) {
    failResize(kTcResizeFailed);
    return false;
  }
  Width = w > 1 ? w : 1;
  Height = h > 1 ? h : 1;
  Bits = static_cast<uint8_t*>(allocBlock(4 * static_cast<size_t>(Width) * static_cast<size_t>(Height)));
  if (Bits == nullptr) {
    failResize(kTcResizeFailed);
    return false;
  }
  RowOffsets = makeRowOffsets(Height, 4 * static_cast<int64_t>(Width), /*bottomUp=*/true);
  if (RowOffsets == nullptr) {
    failResize(kTcResizeFailed);
    return false;
  }
  return true;
}

}  // namespace pg
