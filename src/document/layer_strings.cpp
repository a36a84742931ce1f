#include "document/layer_strings.h"

#include "platform/message_service.h"
#include "platform/string_table.h"

namespace pg {

void layerWarning(uint32_t id) { showWarning(resString(id)); }

}  // namespace pg
