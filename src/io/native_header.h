#pragma once
// The 56-byte header that opens a native layered image (".kci"), its section
// flags, and the resource texts the native reader and writer show.
//
// A native file is this header followed by chunks (core/chunk_head.h): the
// thumbnail "KTNL", per layer from the bottom a "KLYR" record and its "KBIM"
// tile blocks, per mask a "KMSK" record and its "KBMK" blocks, and the
// recorded events "KEVP" (or "KEVS") with their "KBEV" blocks. All numbers
// are little-endian.
//
//   offset  width  field
//      0      4    "KPIM"
//      4      4    48, the size of the rest
//      8      4    document width (1..10,000)
//     12      4    document height (1..10,000)
//     16      4    format version, 1
//     20      2    4 and, at 22, 58: the version of the writing system
//     24      4    section flags (below)
//     28      4    paper colour in pixel order 0x00RRGGBB
//     32      2    current layer index          (layers present)
//     34      2    current mask index           (masks present)
//     36      2    the document's resolution
//     38      2    0
//     40      2    layer count                  (layers present)
//     42      2    the layer list's name counter (layers present)
//     44      2    mask count                   (masks present)
//     46      2    the mask list's name counter  (masks present)
//     48      8    zero
#include <cstdint>

#include "core/chunk_head.h"
#include "core/limits.h"

namespace pg {

// ---- Section flags ------------------------------------------------------------
// Bits 0-3 are what the caller asks to be written; the writer adds 4-9 from
// the document. Readers ignore bits 10-31.
inline constexpr uint32_t kNativeLayers = 0x1;
inline constexpr uint32_t kNativeMasks = 0x2;
inline constexpr uint32_t kNativeThumbnail = 0x4;
inline constexpr uint32_t kNativeEvents = 0x8;
inline constexpr uint32_t kNativeAntsShown = 0x10;          // only with kNativeMasks
inline constexpr uint32_t kNativeSelectionEnabled = 0x20;   // only with kNativeMasks
inline constexpr uint32_t kNativeCanvasColorOff = 0x40;
inline constexpr uint32_t kNativeBgPattern = 0x80;
inline constexpr uint32_t kNativeLayerCounter = 0x100;
inline constexpr uint32_t kNativeMaskCounter = 0x200;
inline constexpr uint32_t kNativeSectionBits = kNativeLayers | kNativeMasks | kNativeThumbnail | kNativeEvents;

// ---- Layout -------------------------------------------------------------------
inline constexpr int64_t kNativeHeaderBytes = 56;
inline constexpr uint32_t kNativeHeaderRest = 48;
inline constexpr uint32_t kNativeFormatVersion = 1;
inline constexpr uint16_t kNativeWriterMajor = 4;
inline constexpr uint16_t kNativeWriterMinor = 58;

struct SNativeHeader {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t version = kNativeFormatVersion;
  uint32_t flags = 0;
  uint32_t paperColor = 0x00FFFFFF;
  uint16_t currentLayer = 0;
  uint16_t currentMask = 0;
  uint16_t resolution = 0;
  uint16_t layerCount = 0;
  uint16_t layerNameCounter = 0;
  uint16_t maskCount = 0;
  uint16_t maskNameCounter = 0;
};

void storeNativeHeader(uint8_t* bytes, const SNativeHeader& header);
SNativeHeader parseNativeHeader(const uint8_t* bytes);

// The checks a reader makes before it touches a document: 16 for another tag,
// 17 for a size other than 48, 12 for a version above 1, 13 for a width or a
// height outside 1..10,000; else 0.
[[nodiscard]] FileResult checkNativeHeader(const uint8_t* bytes);

// ---- Stored positions and sizes ------------------------------------------------
// An offset places an image against the document; beyond the largest image
// size nothing of it meets the document any more, so a stored offset is
// brought into that range (and sums with coordinates cannot overflow).
inline int32_t clampStoredOffset(int32_t v) {
  return v < -kMaxImageWidth ? -kMaxImageWidth : v > kMaxImageWidth ? kMaxImageWidth : v;
}

// ---- Resource texts -------------------------------------------------------------
inline constexpr uint32_t kResNativeItemReadFailed = 65193;   // "%sの読み込みに失敗しました! (err=%d)"
inline constexpr uint32_t kResNativeItemWriteFailed = 65194;  // "%s ("%s") の保存に失敗しました! (err=%d)"
inline constexpr uint32_t kResNativeReadError = 65195;        // "読み込み中にエラーが検出されました! (err=%d)"
inline constexpr uint32_t kResNativeUnknownChunks = 65196;    // "%d個の未知のデータブロックを無視しました!  (id = %s)"
inline constexpr uint32_t kResNativeBadEventBlock = 65197;    // "不正なイベントブロックは読み込めません!"
inline constexpr uint32_t kResNativeEventsDropped = 65198;    // "イベントデータ部の読み込みに失敗しました!\r..."
inline constexpr uint32_t kResNativeSavingTitle = 65218;      // "%s保存中 (%s)"
inline constexpr uint32_t kResNativeSavingText = 65219;       // "%sを保存しています..."
inline constexpr uint32_t kResNativeLoadingTitle = 65220;     // "%sロード中 (%s)"
inline constexpr uint32_t kResNativeLoadingText = 65221;      // "%sをロードしています..."
inline constexpr uint32_t kResNativeImageWord = 65264;        // "画像"
inline constexpr uint32_t kResNativeThumbnailWord = 65265;    // "サムネイル"
inline constexpr uint32_t kResNativeEventDataWord = 65267;    // "イベントデータ"
inline constexpr uint32_t kResNativeLayerWord = 65321;        // "レイヤ"
inline constexpr uint32_t kResNativeMaskWord = 65323;         // "マスク"

}  // namespace pg
