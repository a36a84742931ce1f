// The layer and selection commands of the menus: one table of actions, each
// with its gate, an optional further condition and the document operation.

#include <functional>

#include "app/command_gates.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "document/mask_mngr.h"
#include "document/paper.h"

namespace pg {

namespace {

SGateInputs gateInputs(TDrawWindow& w, bool batchMode) {
  SGateInputs in;
  in.hasWindow = true;
  in.batchMode = batchMode || w.shared().renderMode;
  in.standardMode = w.paper().isStandardMode();
  in.strokeOpen = w.isStrokeOpen();
  in.busy = w.isBusy();
  in.modalLoop = w.shared().modalRunning;
  in.replaying = w.isReplaying();
  in.hasSelection = w.paper().hasSelection();
  return in;
}

struct SDocumentCommand {
  const char* name;
  ECommandGate gate;
  // A further condition besides the gate; none when empty.
  std::function<bool(TPaper&)> extra;
  std::function<bool(TPaper&, TFlowImage&)> run;
};

int32_t currentLayer(TPaper& p) { return p.currentLayerIndex(); }
int32_t currentMask(TPaper& p) { return p.masks() ? p.masks()->current() : -1; }

}  // namespace

void TMainForm::bindDocumentCommandsMore() {
  const SDocumentCommand commands[] = {
      {"ActLyrDup", ECommandGate::G1, {},
       [](TPaper& p, TFlowImage& f) { return p.duplicateLayer(&f, currentLayer(p), true); }},
      {"ActLyrDel", ECommandGate::G0, [](TPaper& p) { return p.layerCount() > 1; },
       [](TPaper& p, TFlowImage& f) { return p.deleteLayerCmd(&f, currentLayer(p), true); }},
      {"ActLyrMergeD", ECommandGate::G0, [](TPaper& p) { return p.canMergeDown(currentLayer(p)); },
       [](TPaper& p, TFlowImage& f) { return p.mergeDown(&f, currentLayer(p), true); }},
      {"ActSelAll", ECommandGate::G0, {},
       [](TPaper& p, TFlowImage& f) { return p.maskFillAll(f, currentLayer(p), true); }},
      {"ActSelCancel", ECommandGate::S0, {},
       [](TPaper& p, TFlowImage& f) { return p.maskFillNone(f, currentLayer(p), true); }},
      {"ActSelInvert", ECommandGate::S0, {},
       [](TPaper& p, TFlowImage& f) { return p.maskInvert(f, currentLayer(p), true); }},
      {"ActSelExp1", ECommandGate::S1, {},
       [](TPaper& p, TFlowImage&) { return p.inflateMask(currentLayer(p), true, currentMask(p), true); }},
      {"ActSelCol1", ECommandGate::S1, {},
       [](TPaper& p, TFlowImage&) { return p.inflateMask(currentLayer(p), false, currentMask(p), true); }},
      {"ActMaskNew", ECommandGate::G0, {},
       [](TPaper& p, TFlowImage& f) { return p.newMask(f, currentLayer(p), currentMask(p), true); }},
      {"ActMaskDup", ECommandGate::S0, {},
       [](TPaper& p, TFlowImage& f) { return p.duplicateMask(f, currentLayer(p), currentMask(p), true); }},
      // The last mask is never deleted: the document always keeps one.
      {"ActMaskDel", ECommandGate::G0, [](TPaper& p) { return p.masks() && p.masks()->count() > 1; },
       [](TPaper& p, TFlowImage& f) { return p.deleteMask(f, currentLayer(p), currentMask(p), true); }},
  };
  TMainActions& a = *actions_;
  for (const SDocumentCommand& c : commands) {
    auto open = [this, gate = c.gate, extra = c.extra](TDrawWindow& w) {
      if (!commandGateOpen(gate, gateInputs(w, batchMode_))) return false;
      return !extra || extra(w.paper());
    };
    a.bind(
        c.name,
        [this, open, run = c.run] {
          TDrawWindowWidget* widget = activeDrawWindow();
          if (!widget) return;
          TDrawWindow& w = widget->window();
          // The gate may have closed since the menu was drawn.
          if (!open(w)) return;
          if (!run(w.paper(), w.flow())) return;
          w.setModified(true);
          w.invalidateView();
          widget->update();
        },
        [this, open] {
          TDrawWindowWidget* widget = activeDrawWindow();
          return SActionState{widget != nullptr && open(widget->window())};
        });
  }
}

}  // namespace pg
