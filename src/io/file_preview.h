#pragma once
// The preview of the open and save dialogs: the picture of a selected file
// (the native file's and the event file's stored thumbnail, or the picture
// itself for BMP, JPEG and PNG) with its size, and the two label texts.
#include <cstdint>
#include <ctime>
#include <string>

#include "core/planes.h"

namespace pg {

inline constexpr int32_t kPreviewSide = 126;

// True when the file's kind has a preview and it could be read; width and
// height are the document's or the picture's. The picture may stay empty
// (a native file without a thumbnail).
[[nodiscard]] bool loadFilePreview(const std::string& path, TMTC& picture, uint32_t& width, uint32_t& height);

// "大きさ: %d × %d" and "更新日: %4.4d/%2.2d/%2.2d %2.2d:%2.2d" while the panel
// is active, else "大きさ:" and "更新日:".
std::string previewSizeLabel(bool active, uint32_t width, uint32_t height);
std::string previewTimeLabel(bool active, const std::tm& localTime);

}  // namespace pg
