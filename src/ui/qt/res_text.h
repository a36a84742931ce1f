#pragma once
// A resource text as a QString: windows look up every visible text by id when
// they are made, so that the language module names them all.
#include <QString>
#include <cstdint>

#include "platform/string_table.h"

namespace pg {

inline QString resText(uint32_t id) { return QString::fromStdString(resString(id)); }

}  // namespace pg
