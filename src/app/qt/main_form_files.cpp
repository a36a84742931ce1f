// The main window's file and clipboard commands: every road by which a
// document comes in (the open command, the recent-files list, dropped files,
// the command line and a second instance, revert, new from the clipboard)
// and the save, export and copy-and-paste commands.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "app/app_profile.h"
#include "app/clipboard_commands.h"
#include "app/dialog_texts.h"
#include "app/document_files.h"
#include "app/file_open.h"
#include "app/mru_file_list.h"
#include "app/qt/jpeg_option_dialog.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "app/qt/mru_menu.h"
#include "canvas/canvas_shared.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "core/chunk_head.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "io/clipboard_image.h"
#include "io/file_kinds.h"
#include "io/image_codecs.h"
#include "io/qt/file_dialog.h"
#include "io/qt/progress_dialog.h"
#include "platform/clipboard.h"
#include "platform/message_service.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"
#include "record/legacy_event_packet.h"

namespace pg {
namespace {

std::string std8(const QString& s) { return s.toStdString(); }

// The wait cursor for the duration of a file operation.
class CBusyCursor {
 public:
  CBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~CBusyCursor() { QApplication::restoreOverrideCursor(); }
  CBusyCursor(const CBusyCursor&) = delete;
  CBusyCursor& operator=(const CBusyCursor&) = delete;
};

void reportClip(const SClipOutcome& outcome) {
  if (!outcome.warning.empty()) showWarning(outcome.warning);
}

void reportSave(const SSaveOutcome& outcome) {
  if (outcome.message.empty()) return;
  if (outcome.ok)
    showInfo(outcome.message);
  else
    showWarning(outcome.message);
}

bool runSaveDialog(int32_t kind, const std::string& proposed, const std::string& folder, std::string& chosen) {
  SFileDialogRequest request;
  request.kind = kind;
  request.initialName = proposed;
  request.folder = folder;
  request.showPreview = appProfile().useFilePreview;
  if (!executeFileDialog(QApplication::activeWindow(), request)) return false;
  appProfile().savePath = request.folder;
  appProfile().useFilePreview = request.showPreview;
  chosen = request.fileName;
  return true;
}

// Qt's clipboard, the clipboard file beside the preferences and the progress
// window are the program's while the main window lives.
class CFileServices final : public QObject {
 public:
  explicit CFileServices(QWidget* owner) : QObject(owner), progress_(owner) {
    previousClipboard_ = setClipboard(&clipboard_);
    previousProgress_ = setProgressService(&progress_);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (!folder.isEmpty() && QDir().mkpath(folder)) setClipboardFile(std8(folder + QStringLiteral("/pgClip.bmp")));
  }
  ~CFileServices() override {
    setClipboard(previousClipboard_);
    setProgressService(previousProgress_);
    setClipboardFile({});
  }
  CFileServices(const CFileServices&) = delete;
  CFileServices& operator=(const CFileServices&) = delete;

 private:
  CQtClipboard clipboard_;
  TQtProgressService progress_;
  IClipboard* previousClipboard_ = nullptr;
  ProgressService* previousProgress_ = nullptr;
};

}  // namespace

std::string TMainForm::saveFolderFor(const TDrawWindowWidget& w) {
  const CAppProfile& prefs = appProfile();
  if ((prefs.FileIODir & 1) != 0 && w.window().hasFileName()) {
    const QFileInfo info(QString::fromStdString(w.window().fileName()));
    if (info.dir().exists()) return std8(info.absolutePath());
  }
  return prefs.savePath;
}

// ---- opening -------------------------------------------------------------------------------

TDrawWindowWidget* TMainForm::findDrawWindow(const QString& path) const {
  // File names differ by case on this system: the same file is the same
  // canonical path (links resolved), compared exactly.
  auto canonical = [](const QString& p) {
    const QFileInfo info(p);
    const QString c = info.canonicalFilePath();
    return c.isEmpty() ? info.absoluteFilePath() : c;
  };
  const QString wanted = canonical(path);
  for (TDrawWindowWidget* w : drawWindows())
    if (w->window().hasFileName() && canonical(QString::fromStdString(w->window().fileName())) == wanted) return w;
  return nullptr;
}

void TMainForm::discardNewWindow(TDrawWindowWidget& window) {
  window.window().exchangeModified(false);
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window.parentWidget())) {
    sub->close();
    delete sub;
  }
}

void TMainForm::fileOpened(TDrawWindowWidget& window, const QString& path) {
  // Version 1.1 files are never written back: the window keeps no path.
  const FileKind kind = fileKindFromExt(std8(path));
  if (kind != FileKind::LegacyRecording && kind != FileKind::LegacyDocument) window.window().setFileName(std8(path));
  window.window().paper().setName(std8(path));
  window.window().updateTitle();
  window.window().exchangeModified(false);
  // Readers that fill a window made before the picture's size was known
  // leave it at its first size: it opens around the document it now shows.
  fitDrawWindow(window, window.window().paper().width(), window.window().paper().height());
  recentFiles().addItem(0, std8(path));
  fileMruMenu_->rebuild();
  actions().updateAll();
}

bool TMainForm::openingAllowed() const {
  return batchMode_ ? drawWindows().isEmpty() : (activeDrawWindow() == nullptr || !activeDrawWindow()->window().isBusy());
}

TDrawWindowWidget* TMainForm::openRecording(const QString& path, bool paused) {
  const std::string p = std8(path);
  TDrawWindowWidget* window = nullptr;
  switch (fileKindFromExt(p)) {
    case FileKind::Native:
      // File > Open shows the finished picture; here the drawing process the
      // file carries replays from its start in a window of its own.
      if (!QFileInfo::exists(path) || QFileInfo(path).isDir()) {
        showWarning(formatRes(66540, {p}));
        return nullptr;
      }
      if (!openingAllowed()) return nullptr;
      window = openEventsForReplay(path);  // a recording that does not start was reported by its window
      if (window == nullptr) return nullptr;
      fitDrawWindow(*window, window->window().paper().width(), window->window().paper().height());
      break;
    case FileKind::EventsV1:
    case FileKind::EventsV3:
    case FileKind::EventsV4:
    case FileKind::LegacyRecording:
      window = openFile(path);  // reports its own failures
      if (window == nullptr) return nullptr;
      break;
    default:
      showWarning(resString(66545));
      return nullptr;
  }
  // Paused before its first step: the replay waits for the Event menu.
  if (paused && window->window().isReplaying()) window->window().setReplayPause(true);
  actions().updateAll();
  return window;
}

TDrawWindowWidget* TMainForm::openFile(const QString& path) {
  const std::string p = std8(path);
  if (!QFileInfo::exists(path) || QFileInfo(path).isDir()) {
    showWarning(formatRes(66540, {p}));
    return nullptr;
  }
  if (!openingAllowed()) return nullptr;
  // A modified window of the same file is replaced only once the file has
  // been read again: a read that fails keeps the document as it was.
  TDrawWindowWidget* replaced = nullptr;
  if (TDrawWindowWidget* open = findDrawWindow(path)) {
    if (!open->isModified()) {
      recentFiles().addItem(0, p);
      fileMruMenu_->rebuild();
      if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget())) mdi_->setActiveSubWindow(sub);
      return open;
    }
    if (askConfirm(formatRes(66541, {p}), MessageButtons::YesNo) != kMrYes) return open;
    replaced = open;
  }
  CBusyCursor wait;
  TDrawWindowWidget* window = nullptr;
  const OpenRoute route = openRouteOf(fileKindFromExt(p));
  switch (route) {
    case OpenRoute::Document:
    case OpenRoute::Picture:
    case OpenRoute::LegacyDocument: {
      // A picture is read first: its window is made at its size, and a
      // picture that cannot be read makes no window.
      SPictureLoad picture;
      if (route == OpenRoute::Picture) {
        picture = loadPictureForOpen(p);
        if (!picture.picture) {
          showWarning(picture.failure);
          return nullptr;
        }
        window = newDrawWindow(path, picture.picture->Width, picture.picture->Height, picture.resolution);
      } else {
        window = newDrawWindow(QString(), 1, 1, 72);
      }
      if (window == nullptr) {
        showWarning(resString(66542));
        return nullptr;
      }
      const SOpenOutcome outcome = fillWindowFromFile(window->window(), p, route, picture.picture.get());
      for (const std::string& warning : outcome.warnings) showWarning(warning);
      if (!outcome.ok) {
        discardNewWindow(*window);
        return nullptr;
      }
      break;
    }
    case OpenRoute::Recording:
      // A recording opens into a new window that replays it.
      window = openEventsForReplay(path);
      if (window == nullptr) return nullptr;
      break;
    case OpenRoute::LegacyRecording:
      window = openEventsForReplay(path);
      if (window == nullptr) {
        showWarning(resString(66545));
        return nullptr;
      }
      break;
    case OpenRoute::Unsupported:
      showWarning(formatRes(kResUnsupportedFormat, {p}));
      return nullptr;
  }
  if (replaced != nullptr) discardNewWindow(*replaced);  // the user agreed to drop its changes
  fileOpened(*window, path);
  return window;
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  event->acceptProposedAction();
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    if (!QFileInfo::exists(path)) {
      showWarning(formatRes(66540, {std8(path)}));
      continue;
    }
    if (openFile(path) == nullptr) showWarning(formatRes(66546, {std8(path)}));
  }
  raise();
  activateWindow();
}

// ---- saving --------------------------------------------------------------------------------

bool TMainForm::saveDrawWindow(TDrawWindowWidget& window, const QString& path) {
  TDrawWindow& w = window.window();
  if (w.isStrokeOpen()) return false;
  CBusyCursor wait;
  const std::string p = std8(path);
  const SSaveOutcome outcome = saveDocumentToFile(w.paper(), p, [this](SJpegSaveOptions& options) {
    return execJpegOptionDialog(*this, options);
  });
  reportSave(outcome);
  if (!outcome.ok) return false;
  const bool native = fileKindFromExt(p) == FileKind::Native;
  if (native) w.exchangeModified(false);
  // A flat picture written from a document kept in the native format is an
  // export: the document stays with its own file, so that the next save
  // does not flatten its layers into the picture.
  const bool exported = !native && w.hasFileName() && fileKindFromExt(w.fileName()) == FileKind::Native;
  if (!exported) {
    w.setFileName(p);
    w.paper().setName(p);
  }
  w.updateTitle();
  recentFiles().addItem(0, p);
  fileMruMenu_->rebuild();
  actions().updateAll();
  return true;
}

bool TMainForm::saveDrawWindowAs(TDrawWindowWidget& window) {
  if (window.window().isStrokeOpen()) return false;
  std::string chosen;
  if (!runSaveDialog(8, window.window().paper().name(), saveFolderFor(window), chosen)) return false;
  return saveDrawWindow(window, QString::fromStdString(chosen));
}

bool TMainForm::saveDrawWindowInPlace(TDrawWindowWidget& window) {
  if (!window.window().hasFileName()) return saveDrawWindowAs(window);
  return saveDrawWindow(window, QString::fromStdString(window.window().fileName()));
}

// ---- commands ------------------------------------------------------------------------------

void TMainForm::bindFileCommands() {
  setAcceptDrops(true);
  new CFileServices(this);
  TMainActions& a = *actions_;
  // A recent file that cannot be opened leaves the list.
  disconnect(fileMruMenu_, &TMRUMenu::mruItemClicked, this, &TMainForm::handOverFile);
  connect(fileMruMenu_, &TMRUMenu::mruItemClicked, this, [this](const QString& path) {
    if (openFile(path) != nullptr) return;
    (void)recentFiles().removeItem(std8(path));  // openFile said why; a path not listed has nothing to remove
    fileMruMenu_->rebuild();
  });

  // A command on the active document window, enabled by a test of it.
  auto window = [this](auto act) {
    return [this, act] {
      TDrawWindowWidget* active = activeDrawWindow();
      if (active != nullptr) act(*active);
    };
  };
  auto when = [this](auto test) {
    return [this, test] {
      TDrawWindowWidget* active = activeDrawWindow();
      return SActionState{active != nullptr ? bool(test(*active)) : false};
    };
  };
  // canSave: idle and not recording a stroke.
  auto canSave = [](TDrawWindowWidget& w) { return w.window().isIdle() && !w.window().isStrokeOpen(); };
  // The edit gates of the document commands (G0, G1 and the copy gate).
  auto g0 = [](TDrawWindowWidget& w) { return w.window().canEdit(false, false, true); };
  auto g1 = [](TDrawWindowWidget& w) { return w.window().canEdit(true, false, true); };
  auto gc = [](TDrawWindowWidget& w) { return w.window().canEdit(false, true, true); };
  auto noneOrIdle = [this] {
    TDrawWindowWidget* w = activeDrawWindow();
    return SActionState{w == nullptr || w->window().isIdle()};
  };

  a.bind("ActFileOpen", [this] {
    SFileDialogRequest request;
    request.kind = 0;
    request.folder = appProfile().loadPath;
    request.filterIndex = appProfile().pictLoadExtIdx;
    request.showPreview = appProfile().useFilePreview;
    if (!executeFileDialog(this, request)) return;
    appProfile().loadPath = request.folder;
    appProfile().pictLoadExtIdx = request.filterIndex;
    appProfile().useFilePreview = request.showPreview;
    (void)openFile(QString::fromStdString(request.fileName));  // a failure was reported by openFile
  }, noneOrIdle);
  a.bind("ActEventOpen", [this] {
    SFileDialogRequest request;
    request.kind = 2;  // the recordings
    // The recordings have a folder of their own when the preferences keep one.
    CAppProfile& prefs = appProfile();
    std::string& folder = (prefs.FileIODir & 2) != 0 ? prefs.eventPath : prefs.loadPath;
    request.folder = folder;
    request.filterIndex = prefs.eventLoadExtIdx;
    bool openPaused = false;
    if (!openDocumentDialog(this, request, openPaused)) return;
    folder = request.folder;
    appProfile().eventLoadExtIdx = request.filterIndex;
    (void)openRecording(QString::fromStdString(request.fileName), openPaused);  // a failure was reported
  }, noneOrIdle);
  a.bind("ActFileRevert", window([this](TDrawWindowWidget& w) {
           // A file that cannot be opened again is reported by openFile.
           if (w.window().hasFileName()) (void)openFile(QString::fromStdString(w.window().fileName()));
         }),
         when([canSave](TDrawWindowWidget& w) { return canSave(w) && w.window().hasFileName() && w.isModified(); }));
  // The saves report their own failures.
  a.bind("ActFileSave", window([this](TDrawWindowWidget& w) { (void)saveDrawWindowInPlace(w); }),
         when([canSave](TDrawWindowWidget& w) { return canSave(w) && w.window().hasFileName(); }));
  a.bind("ActFileSaveAs", window([this](TDrawWindowWidget& w) { (void)saveDrawWindowAs(w); }), when(canSave));
  a.bind("ActLyrSaveAs", window([g1](TDrawWindowWidget& w) {
           if (!g1(w)) return;
           TPaper& doc = w.window().paper();
           const CLayerData* layer = doc.currentLayer();
           if (layer == nullptr) return;
           const std::string title = QFileInfo(QString::fromStdString(doc.name())).completeBaseName().toStdString();
           SFileDialogRequest request;
           std::string chosen;
           if (!runSaveDialog(17, layerExportName(title, doc.currentLayerIndex(), layer->name), saveFolderFor(w),
                              chosen))
             return;
           CBusyCursor wait;
           reportSave(saveLayerToFile(doc, doc.currentLayerIndex(), chosen));
         }),
         when(g1));
  a.bind("ActFileSaveAuto", window([this](TDrawWindowWidget& w) {
           const std::time_t now = std::time(nullptr);
           std::tm local{};
           localtime_r(&now, &local);
           const std::string name = datedBmpName(saveFolderFor(w), local, [](const std::string& n) {
             std::error_code ec;
             return std::filesystem::exists(n, ec);
           });
           CBusyCursor wait;
           // A BMP save like any other: the same writer and the same messages.
           const SSaveOutcome outcome = saveDocumentToFile(w.window().paper(), name, {});
           reportSave(outcome);
           if (!outcome.ok) return;
           recentFiles().addItem(0, name);
           fileMruMenu_->rebuild();
         }),
         when(canSave));

  // ---- clipboard ----
  a.bind("ActEditCopyLayer", window([gc](TDrawWindowWidget& w) {
           if (gc(w)) reportClip(copyLayerToClipboard(w.window().paper()));
         }),
         when(gc));
  a.bind("ActEditCopyImage", window([](TDrawWindowWidget& w) { reportClip(copyImageToClipboard(w.window().paper())); }),
         when([](TDrawWindowWidget& w) { return w.window().canEdit(true, true, false); }));
  a.bind("ActEditCut", window([g0](TDrawWindowWidget& w) {
           if (!g0(w)) return;
           const SClipOutcome cut = cutToClipboard(w.window().paper(), w.window().flow());
           reportClip(cut);
           if (cut.done) w.window().setModified(true);
         }),
         when([g0](TDrawWindowWidget& w) {
           SRectXYWH box;
           return g0(w) && selectionBox(w.window().paper(), box);
         }));
  a.bind("ActEditPasteNew", window([g0](TDrawWindowWidget& w) {
           if (!g0(w)) return;
           const SClipOutcome paste = pasteAsNewLayer(w.window().paper(), w.window().flow());
           reportClip(paste);
           if (!paste.done) return;
           w.window().setModified(true);
           w.window().documentLayoutChanged(false);
         }),
         when([g0](TDrawWindowWidget& w) { return g0(w) && canPasteImage(); }));
  a.bind("ActFileNewFromCB", [this] {
    std::unique_ptr<TMTC> picture = getClipboardImage();
    if (!picture) {
      showWarning(resString(kResNoClipboardBitmap));
      return;
    }
    static int32_t counter = 0;
    const QString name = QStringLiteral("PASTE%1").arg(++counter);
    TDrawWindowWidget* w = newDrawWindow(name, picture->Width, picture->Height, 72);
    if (w == nullptr) {
      showWarning(resString(66542));
      return;
    }
    if (!loadPictureIntoDocument(w->window().paper(), *picture)) {
      showWarning(resString(kResNoMemory));
      discardNewWindow(*w);
      return;
    }
    w->window().documentLayoutChanged(true);
  }, [] { return SActionState{canPasteImage()}; });
}

}  // namespace pg
