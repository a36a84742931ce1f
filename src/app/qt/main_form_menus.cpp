// The menu commands that open the document dialogs (sizes, rotation, layer
// and mask properties, new layer, preferences, about), printing, scanning,
// the view switches of the document and the window arrangements.

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrintPreviewDialog>

#include <algorithm>
#include <cmath>

#include "app/app_profile.h"
#include "app/dialog_texts.h"
#include "app/document_commands.h"
#include "app/document_files.h"
#include "app/help_file.h"
#include "app/new_layer_model.h"
#include "app/print_file_name.h"
#include "app/qt/command_gate_inputs.h"
#include "app/qt/about_dialog.h"
#include "app/qt/color_mask_dialog.h"
#include "app/qt/image_size_dialog.h"
#include "app/qt/layer_option_dialog.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/new_layer_dialog.h"
#include "app/qt/preference_dialog.h"
#include "app/qt/scan_options_dialog.h"
#include "app/qt/print_dialog.h"
#include "app/qt/select_extent_dialog.h"
#include "app/qt/shell_open.h"
#include "app/scanner.h"
#include "canvas/canvas_shared.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "canvas/tablet_input.h"
#include "core/blend_modes.h"
#include "core/planes.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/message_service.h"
#include "platform/string_table.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

// The composite as the printer sees it: transparent parts on white paper.
QImage printableComposite(TPaper& p) {
  const QImage source = planeImage(p.composite());
  QImage out(source.size(), QImage::Format_RGB32);
  out.fill(Qt::white);
  QPainter g(&out);
  g.drawImage(0, 0, source);
  return out;
}

// Each window keeps where its image went on the page the last time.
SPrintRecord windowPrintRecord(const QObject& w) {
  QVariantList v = w.property("pigmoraPrintRecord").toList();
  if (v.size() != 7) return SPrintRecord{1, 1, false, true, 0, 0, 1};
  return SPrintRecord{v[0].toInt(), v[1].toInt(), v[2].toBool(), v[3].toBool(), v[4].toFloat(), v[5].toFloat(),
                      v[6].toFloat()};
}

void keepPrintRecord(QObject& w, const SPrintRecord& r) {
  w.setProperty("pigmoraPrintRecord",
                QVariantList{r.repeatX, r.repeatY, r.fit, r.fitOrCentre, r.xMm, r.yMm, r.scale});
}

}  // namespace

QPrinter& TMainForm::printer() {
  if (!printer_) {
    printer_ = std::make_shared<QPrinter>(QPrinter::HighResolution);
    // Without a printer the page goes to a PDF file, named anew for each print.
    if (!hasPrinter()) {
      printer_->setOutputFormat(QPrinter::PdfFormat);
      printToFile_ = true;
    }
  }
  return *printer_;
}

bool TMainForm::acquireFromScanner() {
  // The tablet rests while the scanner has the user's attention.
  tablet_->close();
  tabletDisabled_ = true;
  std::unique_ptr<IScanSource> source = makeSaneScanSource();
  auto chooseDevice = [this](const std::vector<IScanSource::SDevice>& list) {
    QStringList names;
    for (const IScanSource::SDevice& d : list)
      names << QStringLiteral("%1 (%2)").arg(QString::fromStdString(d.description), QString::fromStdString(d.name));
    bool ok = false;
    QString chosen = QInputDialog::getItem(this, resText(kResScanChoose), QString(), names, 0, false, &ok);
    return ok ? static_cast<int>(names.indexOf(chosen)) : -1;
  };
  // The device's mode, resolution and area, as the user sets them.
  ScanSettingsFn settings = chooseScanSettings;
  if (!settings) {
    settings = [this](SScanOptions& options) {
      TFormScanOptions dialog(options, this);
      if (showModalDialog(dialog) != kMrOk) return false;
      options = dialog.chosen();
      return true;
    };
  }
  SScanResult scan = scanToImage(*source, chooseDevice, settings);
  source.reset();
  tabletDisabled_ = false;
  reopenTablet();
  if (!scan.image) {
    if (!scan.message.empty()) showWarning(scan.message);
    return false;
  }
  TDrawWindowWidget* w = newDrawWindow(QString::fromStdString(canvas_->untitledName()), scan.image->Width,
                                       scan.image->Height, scan.resolution);
  if (w == nullptr) {
    showWarning(resString(66542));
    return false;
  }
  if (!loadPictureIntoDocument(w->window().paper(), *scan.image)) {
    showWarning(resString(kResNoMemory));
    discardNewWindow(*w);
    return false;
  }
  w->window().documentLayoutChanged(true);
  return true;
}

void TMainForm::bindMenuCommands() {
  TMainActions& a = *actions_;
  auto open = [this](ECommandGate gate, TDrawWindowWidget& w) {
    return commandGateOpen(gate, gateInputs(w.window(), batchMode_));
  };
  // A command on the active window under its gate; the gate is asked again
  // when it runs. `more` adds a further condition.
  auto bindGated = [this, &a, open](const char* name, ECommandGate gate, std::function<bool(TDrawWindowWidget&)> run,
                                    std::function<bool(TDrawWindowWidget&)> more = {},
                                    std::function<bool(TDrawWindowWidget&)> checked = {}) {
    auto allowed = [open, gate, more](TDrawWindowWidget& w) { return open(gate, w) && (!more || more(w)); };
    a.bind(
        name,
        [this, allowed, run] {
          TDrawWindowWidget* w = activeDrawWindow();
          if (w == nullptr || !allowed(*w) || !run(*w)) return;
          w->window().setModified(true);
          w->update();
        },
        [this, allowed, checked] {
          TDrawWindowWidget* w = activeDrawWindow();
          if (w == nullptr) return SActionState{false};
          return SActionState{allowed(*w), checked && checked(*w)};
        },
        static_cast<bool>(checked));
  };
  auto layer = [](TDrawWindowWidget& w) { return w.window().paper().getLayer(w.window().paper().currentLayerIndex()); };

  // ---- image
  bindGated("ActImgSize", ECommandGate::G0, [this](TDrawWindowWidget& w) {
    TPaper& p = w.window().paper();
    SImageSizeRecord r{p.width(), p.height(), 4};
    if (!execImageSizeDialog(*this, r, p.resolution()) || !applyCanvasSize(p, w.window().flow(), r)) return false;
    w.window().documentLayoutChanged(true);
    return true;
  });
  bindGated("ActImgReso", ECommandGate::G0, [this](TDrawWindowWidget& w) {
    TPaper& p = w.window().paper();
    SResolutionRecord r{p.width(), p.height(), p.resolution()};
    if (!execResolutionDialog(*this, r, false) || !applyResolution(p, w.window().flow(), r)) return false;
    w.window().documentLayoutChanged(true);
    return true;
  });
  bindGated(
      "ActImgCanvasCol", ECommandGate::G0,
      [this](TDrawWindowWidget& w) {
        if (!w.window().paper().setPaperColor(PaperColor::fromPixel(canvas_->mainColor()), true)) return false;
        w.window().invalidateView();
        return true;
      },
      [](TDrawWindowWidget& w) { return w.window().paper().showCanvasColor(); });

  // ---- layer
  auto newLayerState = [this] {
    TDrawWindowWidget* w = activeDrawWindow();
    if (w == nullptr) return SActionState{false};
    return SActionState{!w->window().isReplaying() && w->window().paper().layers()->canAddLayer()};
  };
  a.bind(
      "ActLyrNew",
      [this, newLayerState] {
        TDrawWindowWidget* w = activeDrawWindow();
        if (w == nullptr) return;
        if (!newLayerState().enabled) return;
        TPaper& p = w->window().paper();
        SNewLayerRecord r;
        r.name = p.layers()->nextLayerName();
        if (!execNewLayerDialog(*this, r) || !addNewLayer(p, w->window().flow(), r)) return;
        w->window().setModified(true);
        w->window().documentLayoutChanged(false);
      },
      newLayerState);
  // A new layer of a kind (its blend mode) above the current one, without a
  // dialog: the layer panel's button and Ctrl+Shift+Alt+N in a document.
  constexpr std::pair<const char*, int32_t> kNewLayerKinds[] = {
      {"actLyrNewStd", lbmNormal}, {"actLyrNewMul", lbmMultiply}, {"actLyrNewAdd", lbmAdd}, {"actLyrNewSub", lbmSubtract}};
  for (const auto& [name, mode] : kNewLayerKinds)
    a.bind(
        name,
        [this, newLayerState, mode] {
          TDrawWindowWidget* w = activeDrawWindow();
          if (w == nullptr || !newLayerState().enabled) return;
          if (!w->window().paper().newLayerCmd(&w->window().flow(), mode, true)) return;
          w->window().setModified(true);
          w->window().documentLayoutChanged(false);
        },
        newLayerState);
  canvas_->runAction = [this](const char* name) {
    QAction* action = actions_->action(name);
    if (action == nullptr) return false;
    actions_->updateAll();
    if (!action->isEnabled()) return false;
    action->trigger();
    return true;
  };
  bindGated(
      "ActLyrProtectA", ECommandGate::G1,
      [](TDrawWindowWidget& w) {
        TPaper& p = w.window().paper();
        return p.setProtectAlpha(p.currentLayerIndex(), -1, true);
      },
      [](TDrawWindowWidget& w) { return w.window().paper().isStandardMode(); },
      [layer](TDrawWindowWidget& w) {
        const CLayerData* l = layer(w);
        return l != nullptr && l->protectAlpha;
      });
  bindGated("ActLyrRot", ECommandGate::G1, [this](TDrawWindowWidget& w) {
    float angle = 0;
    if (!execRotationDialog(*this, angle) || angle == 0) return false;
    TPaper& p = w.window().paper();
    if (!p.rotateLayer(w.window().flow(), p.currentLayerIndex(), true, angle)) return false;
    w.window().documentLayoutChanged(false);
    return true;
  });
  bindGated("ActLyrScale", ECommandGate::G1, [this, layer](TDrawWindowWidget& w) {
    TPaper& p = w.window().paper();
    const CLayerData* l = layer(w);
    if (l == nullptr) return false;
    SResolutionRecord r{l->imageWidth(), l->imageHeight(), p.resolution()};
    if (!execResolutionDialog(*this, r, true)) return false;
    if (!p.scaleLayer(w.window().flow(), p.currentLayerIndex(), true, r.width, r.height)) return false;
    w.window().documentLayoutChanged(false);
    return true;
  });
  bindGated("ActLyrOpt", ECommandGate::G0, [this, layer](TDrawWindowWidget& w) {
    TPaper& p = w.window().paper();
    const CLayerData* l = layer(w);
    if (l == nullptr) return false;
    const TLayerOptionValue before = layerOptionRecord(*l);
    TLayerOptionValue r = before;
    if (!execLayerOptionDialog(*this, r, *l, p.width(), p.height())) return false;
    const bool changed = applyLayerOptions(p, w.window().flow(), p.currentLayerIndex(), before, r);
    if (changed) w.window().documentLayoutChanged(false);
    return changed;
  });

  // ---- masks
  bindGated(
      "ActMaskOption", ECommandGate::G0,
      [this](TDrawWindowWidget& w) {
        TPaper& p = w.window().paper();
        CMaskData* m = p.masks()->currentMask();
        if (m == nullptr) return false;
        const TLayerOptionValue before = maskOptionRecord(*m);
        TLayerOptionValue r = before;
        if (!execMaskOptionDialog(*this, r, m->image != nullptr ? m : nullptr, p.width(), p.height())) return false;
        const bool changed = applyMaskOptions(p, w.window().flow(), before, r);
        if (changed) w.window().invalidateView();
        return changed;
      },
      [](TDrawWindowWidget& w) { return w.window().paper().masks() && w.window().paper().masks()->currentMask(); });

  // ---- select: the dialogs that shape the selection
  bindGated("ActSelExp", ECommandGate::S1, [this](TDrawWindowWidget& w) {
    return selectExpandCmd(w.window(), this, -1);
  });
  bindGated("ActSelCol2", ECommandGate::S1, [this](TDrawWindowWidget& w) {
    return selectContractCmd(w.window(), this, -1);
  });
  bindGated("ActSelColorRange", ECommandGate::G1, [this](TDrawWindowWidget& w) {
    return colorRangeSelectCmd(w.window(), this, w.window().paper().currentLayerIndex());
  });

  // ---- edit
  bindGated("ActEditFill", ECommandGate::G1, [this](TDrawWindowWidget& w) {
    TPaper& p = w.window().paper();
    if (!p.fillLayerColor(w.window().flow(), p.currentLayerIndex(), canvas_->mainColor(), canvas_->toolStroke(),
                          true, true))
      return false;
    w.window().invalidateView();
    return true;
  });
  bindGated("ActEditDelete", ECommandGate::G1, [this](TDrawWindowWidget& w) {
    switch (deleteSelectionOrLayer(w.window().paper(), w.window().flow(), canvas_->toolStroke())) {
      case DeleteResult::Nothing:
        return false;
      case DeleteResult::SelectionErased:
        w.window().invalidateView();
        return true;
      case DeleteResult::LayerCleared:
        w.window().documentLayoutChanged(false);
        return true;
    }
    return false;
  });
  // Both erase keys delete; Insert fills. Text fields keep these keys: Qt
  // offers them to a focused editor before any shortcut.
  a.action("ActEditDelete")->setShortcuts({QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::Key_Delete)});
  a.action("ActEditFill")->setShortcut(QKeySequence(Qt::Key_Insert));
  a.bind("ActEditOpt", [this] {
    const int64_t effects = showPreferences(*this);
    if (effects >= 0) applyPreferenceEffects(static_cast<uint32_t>(effects));
  });

  // ---- view switches
  auto exists = [](TDrawWindowWidget&) { return true; };
  auto bindSwitch = [this, &a](const char* name, std::function<bool(TDrawWindowWidget&)> enabled,
                               std::function<bool(TDrawWindowWidget&)> checked,
                               std::function<void(TDrawWindowWidget&)> toggle) {
    a.bind(
        name,
        [this, enabled, toggle] {
          TDrawWindowWidget* w = activeDrawWindow();
          if (w == nullptr || !enabled(*w)) return;
          toggle(*w);
          w->window().invalidateView();
          w->update();
        },
        [this, enabled, checked] {
          TDrawWindowWidget* w = activeDrawWindow();
          if (w == nullptr) return SActionState{false};
          return SActionState{enabled(*w), checked(*w)};
        },
        true);
  };
  // The view switches answer whether anything changed; the menu reads the
  // state again when it opens.
  bindSwitch(
      "ActViewCanvasCol",
      [exists](TDrawWindowWidget& w) { return exists(w) && w.window().paper().paperColor().isWhite(); },
      [](TDrawWindowWidget& w) { return w.window().paper().showCanvasColor(); },
      [](TDrawWindowWidget& w) { (void)w.window().paper().toggleCanvasColor(!w.window().paper().showCanvasColor()); });
  bindSwitch(
      "ActViewBGPat", [](TDrawWindowWidget& w) { return !w.window().paper().showCanvasColor(); },
      [](TDrawWindowWidget& w) { return w.window().paper().showBgPattern(); },
      [](TDrawWindowWidget& w) { (void)w.window().paper().toggleBgPattern(!w.window().paper().showBgPattern()); });
  bindSwitch(
      "ActViewSel", [open](TDrawWindowWidget& w) { return open(ECommandGate::S0, w); },
      [](TDrawWindowWidget& w) { return w.window().paper().antsShown(); },
      [](TDrawWindowWidget& w) { (void)w.window().paper().showWalkAnts(!w.window().paper().antsShown(), true); });
  bindSwitch(
      "ActViewGrid", [](TDrawWindowWidget& w) { return w.window().isIdle(); },
      [](TDrawWindowWidget& w) { return w.window().paper().view().showGrid(); },
      [](TDrawWindowWidget& w) {
        const CAppProfile& prefs = appProfile();
        w.window().paper().setGridSize(!w.window().paper().view().showGrid(), prefs.gridW, prefs.gridH, true);
        w.window().documentLayoutChanged(false);
      });
  a.bind(
      "ActViewSizeFit",
      [this] {
        QMdiSubWindow* sub = mdi_->activeSubWindow();
        TDrawWindowWidget* w = activeDrawWindow();
        if (sub == nullptr || w == nullptr || !w->window().isIdle() || sub->isMaximized()) return;
        if (sub->isMinimized()) sub->showNormal();
        // The window takes the size of the image at the present zoom.
        const TPaper& p = w->window().paper();
        QSize frame = sub->size() - w->viewport()->size();
        QSize image(static_cast<int>(std::ceil(p.width() * p.zoomValue())),
                    static_cast<int>(std::ceil(p.height() * p.zoomValue())));
        QSize room = mdi_->viewport()->size() - QSize(sub->x(), sub->y());
        sub->resize(image.grownBy(QMargins(0, 0, frame.width(), frame.height())).boundedTo(room));
      },
      [this] {
        QMdiSubWindow* sub = mdi_->activeSubWindow();
        TDrawWindowWidget* w = activeDrawWindow();
        return SActionState{w != nullptr && sub != nullptr && !sub->isMaximized() && w->window().isIdle()};
      });

  // ---- window arrangements
  auto twoOrMore = [this] { return SActionState{mdi_->subWindowList().size() >= 2}; };
  a.bind("WindowTileVertical1", [this] {
    // Side by side, each as tall as the area.
    QList<QMdiSubWindow*> list;
    for (QMdiSubWindow* s : mdi_->subWindowList())
      if (!s->isMinimized()) list << s;
    if (list.isEmpty()) return;
    const QSize area = mdi_->viewport()->size();
    const int width = area.width() / static_cast<int>(list.size());
    for (int i = 0; i < list.size(); ++i) {
      list[i]->showNormal();
      list[i]->setGeometry(i * width, 0, width, area.height());
    }
  }, twoOrMore);
  a.bind("WindowArrange1", [this] {
    // The minimised windows line up along the bottom of the area.
    int x = 0;
    const int bottom = mdi_->viewport()->height();
    for (QMdiSubWindow* s : mdi_->subWindowList()) {
      if (!s->isMinimized()) continue;
      s->move(x, bottom - s->height());
      x += s->width();
    }
  }, twoOrMore);

  // ---- printing and scanning
  a.bind("ActFilePrinterSetup", [this] {
    QPageSetupDialog dialog(&printer(), this);
    // Another dialog open refuses the setup; either way the printer keeps what it has.
    (void)runModal([&] { (void)dialog.exec(); });
  });
  // The picture as it goes on paper, without the grid, and the placement
  // the window kept from its last print.
  struct SPrintJob {
    QImage picture;
    int32_t resolution = 72;
    SPrintRecord record;
  };
  auto printJob = [](TDrawWindowWidget& w) {
    TPaper& p = w.window().paper();
    const bool grid = p.view().showGrid();
    if (grid) p.setGridSize(false, p.view().gridX(), p.view().gridY(), true);
    SPrintJob job{printableComposite(p), std::clamp(p.resolution() > 0 ? p.resolution() : 72, 72, 600),
                  windowPrintRecord(w)};
    if (grid) p.setGridSize(true, p.view().gridX(), p.view().gridY(), true);
    return job;
  };
  auto print = [this, printJob](TDrawWindowWidget& w) {
    TPaper& p = w.window().paper();
    QPrinter& out = printer();
    SPrintJob job = printJob(w);
    const TMTC& composite = p.composite();
    int result = printWithDialog(*this, out, job.record, {job.picture.width(), job.picture.height(), job.resolution},
                                 [&composite](TMTC& target, const TRect& rect, int32_t n) {
                                   sampleImageInto(composite, target, rect, n);
                                 });
    // Printing to a file: each print asks for its file, proposing a name no
    // file has yet, and an existing file is replaced only when the user says so.
    if (result == 1 && out.outputFormat() == QPrinter::PdfFormat && (printToFile_ || out.outputFileName().isEmpty())) {
      // The printed file is one more file the program writes: it starts
      // where the save dialogs start, and its folder is theirs next time.
      const std::string folder = saveFolderFor(w);
      const QString suggestion = QString::fromStdString(
          freePrintFileName(folder.empty() ? QDir::homePath().toStdString() : folder, w.window().paper().name()));
      QString path;
      if (choosePrintFile) {
        path = choosePrintFile(suggestion);
      } else {
        // Refused while another dialog is open: the path stays empty, as on a cancel.
        (void)runModal([&] {
          path = QFileDialog::getSaveFileName(this, QString(), suggestion, QStringLiteral("PDF (*.pdf)"), nullptr,
                                              QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
        });
      }
      if (!path.isEmpty() && QFileInfo::exists(path) &&
          askConfirm(formatRes(kResPrintOverwrite, {QDir::toNativeSeparators(path).toStdString()}),
                     MessageButtons::YesNo) != kMrYes)
        path.clear();
      if (path.isEmpty()) result = 2;
      out.setOutputFileName(path);
      if (!path.isEmpty()) appProfile().savePath = QFileInfo(path).absolutePath().toStdString();
    }
    if (result == 1) {
      keepPrintRecord(w, job.record);
      if (!printImage(out, job.record, job.picture, job.resolution)) showWarning(resString(kResPrintNoPrinter));
    }
    // The next print names its file again.
    if (printToFile_) out.setOutputFileName(QString());
    return false;  // printing changes nothing in the document
  };
  // The preview shows the page as the window's last placement puts it; the
  // placement and the printing itself are the print command's.
  auto preview = [this, printJob](TDrawWindowWidget& w) {
    SPrintJob job = printJob(w);
    QPrintPreviewDialog dialog(&printer(), this);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(resText(kResPrintCaption));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [job](QPrinter* target) {
      if (!printImage(*target, job.record, job.picture, job.resolution))
        showWarning(resString(kResPrintNoPrinter));
    });
    (void)showModalDialog(dialog);  // the preview only shows
    // A file named from the preview's own print button is not reused.
    if (printToFile_) printer().setOutputFileName(QString());
  };
  const std::pair<const char*, std::function<void(TDrawWindowWidget&)>> printCommands[] = {
      {"ActFilePrint", [print](TDrawWindowWidget& w) { (void)print(w); }},  // a failed print was shown
      {"ActFilePrintPreview", preview}};
  for (const auto& [name, run] : printCommands)
    a.bind(
        name,
        [this, run, open] {
          TDrawWindowWidget* w = activeDrawWindow();
          if (w != nullptr && open(ECommandGate::G0, *w)) run(*w);
        },
        [this, open] {
          TDrawWindowWidget* w = activeDrawWindow();
          return SActionState{w != nullptr && open(ECommandGate::G0, *w)};
        });
  a.bind("ActFileNewFromTwain32", [this] { (void)acquireFromScanner(); });  // failures are reported there

  // ---- help
  a.bind("actAboutBox", [this] { (void)showAbout(*this); });  // the box only informs
  a.bind("actOpenHtmlHelp", [] {
    // The help pages open in the desktop's browser.
    const QString path = QString::fromStdString(helpFilePath(appProfile().programFolder));
    if (!QFileInfo::exists(path) || !shellOpen(path))
      showWarning(formatRes(kResHelpFailed, {QDir::toNativeSeparators(path).toStdString()}));
  });
}

}  // namespace pg
