#include "document/layer_strings.h"

#include "platform/debug_output.h"
#include "platform/string_table.h"

namespace pg {

void layerWarning(uint32_t id) { debugOutput(resString(id) + "\n"); }

}  // namespace pg
