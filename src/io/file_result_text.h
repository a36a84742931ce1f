#pragma once
// What a file reader's result code means, in the words of the string table,
// for the messages that tell the user why a file did not open: the number
// alone ("err=9") says nothing to someone who did not write the reader.
#include <string>

#include "core/chunk_head.h"

namespace pg {

// The ids of the reasons (one text per group of codes with the same cause).
inline constexpr uint32_t kResReasonMissing = 69100;
inline constexpr uint32_t kResReasonCannotOpen = 69101;
inline constexpr uint32_t kResReasonCutShort = 69102;
inline constexpr uint32_t kResReasonWrongFormat = 69103;
inline constexpr uint32_t kResReasonNewerKind = 69104;
inline constexpr uint32_t kResReasonTooLarge = 69105;
inline constexpr uint32_t kResReasonNoMemory = 69106;
inline constexpr uint32_t kResReasonDamaged = 69107;
inline constexpr uint32_t kResReasonUnexpected = 69108;

// The string id of the reason for a failed read's code.
uint32_t fileResultReasonId(FileResult code);

// The reason's text.
std::string fileResultReason(FileResult code);

}  // namespace pg
