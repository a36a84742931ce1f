// The image, layer and selection commands of the menus: one table of actions, each
// with its gate, an optional further condition and the document operation.

#include <functional>

#include "app/command_gates.h"
#include "app/document_commands.h"
#include "app/qt/command_gate_inputs.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "canvas/canvas_shared.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/undo_kinds.h"
#include "document/paper.h"

namespace pg {

SGateInputs gateInputs(TDrawWindow& w, bool batchMode) {
  SGateInputs in;
  in.hasWindow = true;
  in.batchMode = batchMode || w.shared().renderMode;
  in.standardMode = w.paper().isStandardMode();
  in.strokeOpen = w.isStrokeOpen();
  in.busy = w.isBusy();
  in.modalLoop = w.shared().modalRunning;
  in.replaying = w.isReplaying();
  in.paused = in.replaying && w.isReplayPaused();
  in.hasSelection = w.paper().hasSelection();
  return in;
}

namespace {

struct SDocumentCommand {
  const char* name;
  ECommandGate gate;
  // A further condition besides the gate; none when empty.
  std::function<bool(TPaper&)> extra;
  std::function<bool(TPaper&, TFlowImage&)> run;
  // The command may change the document's size: the view is laid out anew.
  bool relayout = false;
  // The command changes the picture's size as the crop tool does: the
  // picture is fitted to the window when the preference asks.
  bool fits = false;
};

int32_t currentLayer(TPaper& p) { return p.currentLayerIndex(); }
int32_t currentMask(TPaper& p) { return p.masks() ? p.masks()->current() : -1; }

auto wholeImage(int code) {
  return [code](TPaper& p, TFlowImage& f) { return p.transformAllInPlace(f, code, true); };
}

}  // namespace

void TMainForm::bindDocumentCommandsMore() {
  const SDocumentCommand commands[] = {
      {"ActImgFlipH", ECommandGate::G0, {}, wholeImage(kUndoMirrorAll)},
      {"ActImgFlipV", ECommandGate::G0, {}, wholeImage(kUndoFlipAll)},
      {"ActImgInvert", ECommandGate::G0, {}, wholeImage(kUndoInvertAll)},
      {"ActImgRot180", ECommandGate::G0, {}, wholeImage(kUndoRotate180All)},
      {"ActImgRot90", ECommandGate::G0, {},
       [](TPaper& p, TFlowImage& f) { return p.rotateImage90(f, true, true); }, true},
      {"ActImgRot270", ECommandGate::G0, {},
       [](TPaper& p, TFlowImage& f) { return p.rotateImage90(f, false, true); }, true},
      {"ActImgTrim", ECommandGate::S0, {}, cropToSelection, true, true},
      {"actLyrFlipLR", ECommandGate::G1, {},
       [](TPaper& p, TFlowImage& f) { return p.mirrorLayer(f, currentLayer(p), true); }},
      {"actLyrFlipTB", ECommandGate::G1, {},
       [](TPaper& p, TFlowImage& f) { return p.flipLayer(f, currentLayer(p), true); }},
      {"actLyrRot180", ECommandGate::G1, {},
       [](TPaper& p, TFlowImage& f) { return p.halfTurnLayer(f, currentLayer(p), true); }},
      {"ActLyrRot90", ECommandGate::G1, {},
       [](TPaper& p, TFlowImage& f) { return p.rotateLayer90(f, currentLayer(p), true, true); }},
      {"ActLyrRot270", ECommandGate::G1, {},
       [](TPaper& p, TFlowImage& f) { return p.rotateLayer90(f, currentLayer(p), true, false); }},
      {"ActLyrTrimOut", ECommandGate::G1,
       [](TPaper& p) {
         const CLayerData* l = p.getLayer(currentLayer(p));
         return l != nullptr && l->exceedsImage();
       },
       [](TPaper& p, TFlowImage& f) { return p.cropLayer(&f, currentLayer(p), true); }},
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
      {"ActLyrClearA", ECommandGate::G1, {},
       [](TPaper& p, TFlowImage& f) { return p.fillLayerAlpha(f, currentLayer(p), 0, true); }},
      {"ActLyrFillA", ECommandGate::G1, {},
       [](TPaper& p, TFlowImage& f) { return p.fillLayerAlpha(f, currentLayer(p), 255, true); }},
      {"ActLyrInvertA", ECommandGate::G1, {},
       [](TPaper& p, TFlowImage& f) { return p.invertLayerAlpha(f, currentLayer(p), true); }},
      {"ActLyrSel2A", ECommandGate::G0, {},
       [](TPaper& p, TFlowImage& f) { return p.layerAlphaFromMask(f, currentLayer(p), currentMask(p), true); }},
      // The visible layers keep their transparency when merged.
      {"ActLyrMergeV", ECommandGate::G0, [](TPaper& p) { return p.canMergeVisible(true, false); },
       [](TPaper& p, TFlowImage& f) { return p.mergeVisible(&f, true, false, true); }},
      {"ActLyrSelDup", ECommandGate::G0, [](TPaper& p) { return p.canLayerFromSelection(); },
       [](TPaper& p, TFlowImage& f) { return p.newLayerFromSelection(f, currentLayer(p), 0, true, currentMask(p), true); }},
      {"ActLyrSelNew", ECommandGate::G0, [](TPaper& p) { return p.canLayerFromSelection(); },
       [](TPaper& p, TFlowImage& f) {
         return p.newLayerFromSelection(f, currentLayer(p), 0, false, currentMask(p), true);
       }},
      {"ActMaskNewFromLyrD", ECommandGate::G0, {},
       [](TPaper& p, TFlowImage& f) { return p.newMaskFromLayer(f, currentLayer(p), 0, 0, currentMask(p), true); }},
      {"ActMaskNewFromLyrA", ECommandGate::G0, {},
       [](TPaper& p, TFlowImage& f) { return p.newMaskFromLayer(f, currentLayer(p), 1, 0, currentMask(p), true); }},
      {"ActMaskTrimOut", ECommandGate::S1,
       [](TPaper& p) { return currentMask(p) >= 0 && p.masks()->exceedsCanvas(currentMask(p)); },
       [](TPaper& p, TFlowImage& f) { return p.cropMask(f, currentLayer(p), currentMask(p), true); }},
      // Link groups: the layer (with its group) linked to the one below or
      // unlinked; the group of the current base merged or deleted.
      {"ActLyrGroupI", ECommandGate::G0, [](TPaper& p) { return p.layers()->canIndent(currentLayer(p)); },
       [](TPaper& p, TFlowImage& f) { return p.linkLayer(&f, currentLayer(p), true, true); }},
      {"ActLyrGroupO", ECommandGate::G0, [](TPaper& p) { return p.layers()->canOutdent(currentLayer(p)); },
       [](TPaper& p, TFlowImage& f) { return p.linkLayer(&f, currentLayer(p), false, true); }},
      {"ActLyrMergeG", ECommandGate::G0, [](TPaper& p) { return p.layers()->linkGroupLength(currentLayer(p)) > 0; },
       [](TPaper& p, TFlowImage& f) {
         return p.mergeLinkGroup(&f, currentLayer(p), p.layers()->linkGroupLength(currentLayer(p)) + 1, true);
       }},
      {"ActLyrGroupDel", ECommandGate::G0,
       [](TPaper& p) { return p.layerCount() > 1 && p.layers()->linkGroupLength(currentLayer(p)) > 0; },
       [](TPaper& p, TFlowImage& f) { return p.deleteLayerGroup(&f, currentLayer(p), true); }},
      // The visible layers merged over the bottom layer's colour, opaque.
      {"ActLyrMergeV2", ECommandGate::G0, [](TPaper& p) { return p.canMergeVisible(false, false); },
       [](TPaper& p, TFlowImage& f) { return p.mergeVisible(&f, false, false, true); }},
      {"ActViewCurLyr", ECommandGate::G0,
       [](TPaper& p) {
         const CLayerData* l = p.getLayer(currentLayer(p));
         return p.layers()->visibleCount() >= 2 || (l != nullptr && !l->visible);
       },
       [](TPaper& p, TFlowImage&) { return p.showOnlyLayer(currentLayer(p), true); }, true},
      {"ActViewAllLyr", ECommandGate::G0, [](TPaper& p) { return p.layers()->visibleCount() < p.layerCount(); },
       [](TPaper& p, TFlowImage&) { return p.showAllLayers(currentLayer(p), true, true); }, true},
      {"ActViewNoLyr", ECommandGate::G0, [](TPaper& p) { return p.layers()->visibleCount() >= 1; },
       [](TPaper& p, TFlowImage&) { return p.showAllLayers(currentLayer(p), false, true); }, true},
      {"ActViewFlipLyr", ECommandGate::G0, {},
       [](TPaper& p, TFlowImage&) { return p.flipLayerVisibility(currentLayer(p), true); }, true},
  };
  TMainActions& a = *actions_;
  for (const SDocumentCommand& c : commands) {
    auto open = [this, gate = c.gate, extra = c.extra](TDrawWindow& w) {
      if (!commandGateOpen(gate, gateInputs(w, batchMode_))) return false;
      return !extra || extra(w.paper());
    };
    a.bind(
        c.name,
        [this, open, run = c.run, relayout = c.relayout, fits = c.fits] {
          TDrawWindowWidget* widget = activeDrawWindow();
          if (!widget) return;
          TDrawWindow& w = widget->window();
          // The gate may have closed since the menu was drawn.
          if (!open(w)) return;
          if (!run(w.paper(), w.flow())) return;
          w.setModified(true);
          if (!fits || !w.autoFitAfterResize()) w.documentLayoutChanged(relayout);
          widget->update();
        },
        [this, open] {
          TDrawWindowWidget* widget = activeDrawWindow();
          return SActionState{widget != nullptr && open(widget->window())};
        });
  }
  // Switches the selection's use on and off; checked while it is in use.
  a.bind(
      "ActSelEnable",
      [this] {
        TDrawWindowWidget* widget = activeDrawWindow();
        if (!widget || !commandGateOpen(ECommandGate::S0, gateInputs(widget->window(), batchMode_))) return;
        TPaper& p = widget->window().paper();
        if (!p.enableMask(!p.selectionEnabled(), true)) return;
        widget->window().setModified(true);
        widget->window().invalidateView();
        widget->update();
      },
      [this] {
        TDrawWindowWidget* widget = activeDrawWindow();
        if (!widget) return SActionState{false};
        TDrawWindow& w = widget->window();
        return SActionState{commandGateOpen(ECommandGate::S0, gateInputs(w, batchMode_)), w.paper().selectionEnabled()};
      },
      true);
}

}  // namespace pg
