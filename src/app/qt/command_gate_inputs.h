#pragma once
// What the command gates look at, read from a document window.
#include "app/command_gates.h"

namespace pg {

class TDrawWindow;

SGateInputs gateInputs(TDrawWindow& w, bool batchMode);

}  // namespace pg
