#include "app/qt/startup.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/app_profile.h"
#include "app/command_line.h"
#include "app/qt/batch_run.h"
#include "app/qt/main_form.h"
#include "app/qt/quit_signals.h"
#include "app/qt/single_instance.h"
#include "platform/debug_output.h"
#include "platform/message_service.h"
#include "platform/qt/message_box_qt.h"
#include "platform/settings_store.h"
#include "platform/string_table.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/qt_appearance.h"

namespace pg {

namespace {

// Resource id of the colour-depth question.
constexpr uint32_t kResPaletteModeQuestion = 65226;
// How long a second start waits for the running instance: to connect, and
// for each file to be taken (the running instance may be showing a box).
constexpr int kConnectTimeoutMs = 3000;
constexpr int kHandOverTimeoutMs = 60000;

bool tracing() {
  const char* v = std::getenv("PIGMORA_TRACE");
  return v && *v;
}

void trace(const std::string& line) {
  if (!tracing()) return;
  std::fprintf(stderr, "pigmora: %s\n", line.c_str());
  std::fflush(stderr);
}

enum class PreStart : uint8_t { Continue, EndNow, HandOverFailed };

// The checks before anything else; ends the process (nothing saved) when
// the user declines the colour depth or the files went to a running instance.
PreStart preStart(const CommandLine& cl, CSingleInstance& instance) {
  const StartupState& state = cl.state;
  // The display's colour depth, where the platform knows it; an unattended
  // run never asks.
  if (!state.batchMode) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && screen->depth() > 0 && screen->depth() < 15 &&
        askConfirm(formatRes(kResPaletteModeQuestion, {kProductName}), MessageButtons::YesNo) != kMrYes)
      return PreStart::EndNow;
  }
  for (const std::string& arg : cl.unknownSwitches) showWarning(unknownSwitchText(arg));
  for (const std::string& arg : cl.droppedFiles) debugOutput("command line: a path too long was left out: " + arg);

  // Batch processes neither take the lock nor look for an instance, so
  // that several may run beside a normal one.
  if (state.batchMode) return PreStart::Continue;
  switch (instance.acquire()) {
    case InstanceLock::Acquired: return PreStart::Continue;
    case InstanceLock::Failed:
      debugOutput("instance: the lock file " + instanceLockPath().toStdString() + " cannot be made");
      return PreStart::Continue;
    case InstanceLock::Held: break;
  }
  switch (handOverToRunningInstance(instanceServerName(), cl.files, kConnectTimeoutMs, kHandOverTimeoutMs)) {
    case HandOver::NoInstance: return PreStart::Continue;  // a further instance
    case HandOver::Done: return PreStart::EndNow;
    case HandOver::Failed: return PreStart::HandOverFailed;
  }
  return PreStart::Continue;
}

// The language module beside the program replaces the built-in texts.
bool loadLanguageModule(const std::string& programPath, CAppProfile& profile) {
  const std::string path = resourceModulePath(programPath);
  profile.interfaceLanguage = 2;
  if (installResourceModule(path) == ResourceModuleResult::Ok) return true;
  showWarning(formatText("Failed to load \"%s\"!", {path}));
  return false;
}

void bringToFront(QWidget* window) {
  if (!window) return;
  if (window->isMinimized()) window->showNormal();
  window->raise();
  window->activateWindow();
}

[[nodiscard]] bool handOver(TMainForm* form, const QString& path) {
  if (!form) return false;
  trace("hand-over " + path.toStdString());
  form->handOverFile(path);
  return true;
}

}  // namespace

int runPigmora(int argc, char** argv) {
  QApplication app(argc, argv);  // takes Qt's own switches out of argv

  QtMessageService messages;
  ScopedMessageService scopedMessages(messages);

  const std::string workingFolder = QDir::currentPath().toStdString();
  const CommandLine commandLine = parseCommandLine(argc, argv, workingFolder);
  setStartupState(commandLine.state);
  setMessageBatchMode(commandLine.state.batchMode);

  CSingleInstance instance;
  switch (preStart(commandLine, instance)) {
    case PreStart::Continue: break;
    case PreStart::EndNow: return 0;
    case PreStart::HandOverFailed: return kExitHandOverFailed;
  }

  // appInit: the preferences, then the language module.
  const std::string programPath = QCoreApplication::applicationFilePath().toStdString();
  CFileSettingsStore store(CFileSettingsStore::defaultFileName());
  setAppSettingsStore(&store);
  CAppProfile& profile = appProfile();
  profile.readSystemInfo(programPath);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    profile.screenWidth = screen->size().width();
    profile.screenHeight = screen->size().height();
  }
  (void)profile.load(store);  // always true: a section that cannot be read keeps its defaults
  if (!loadLanguageModule(programPath, profile)) {
    // Nothing is saved: the preferences were never in use.
    setAppSettingsStore(nullptr);
    return kExitLanguageModule;
  }
  QGuiApplication::setApplicationDisplayName(QString());
  // A batch with a file to replay needs no main window; its result is the
  // exit status. It changes no preference and writes none, so that batch
  // runs beside each other and beside a normal instance never race on them.
  if (commandLine.state.batchMode && !commandLine.files.empty()) {
    const int status = runBatch(commandLine);
    setAppSettingsStore(nullptr);
    return status;
  }

  // The appearance and the glyphs, made from the palette, before any window.
  createQtUiManagers();
  auto form = std::make_unique<TMainForm>();
  form->setBatchMode(commandLine.state.batchMode);
  messages.setMainWindow(form.get());
  QPointer<TMainForm> window(form.get());

  CInstanceServer server;
  server.setModes(commandLine.state.batchMode, commandLine.state.viewerMode);
  server.onFile = [window](const QString& path) {
    if (!handOver(window, path)) return false;
    bringToFront(window);
    return true;
  };
  server.onRaise = [window] { bringToFront(window); };

  CQuitSignals quitSignals([window] {
    // The normal close path asks what it must ask and saves nothing itself;
    // the loop ends once the window is closed.
    if (window && window->close()) QCoreApplication::quit();
  });

  form->show();
  if (instance.holdsLock() && !server.listen(instanceServerName(), true))
    debugOutput("single instance: not listening; a second start opens its own window");
  // The files of the command line open once the loop runs, as on the
  // window's first activation.
  QTimer::singleShot(0, form.get(), [window, files = commandLine.files] {
    // A window closed before the loop ran has nobody left to open them.
    for (const std::string& file : files) (void)handOver(window, QString::fromStdString(file));
  });
  trace("ready");

  const int status = app.exec();

  server.close();
  if (!profile.save(store)) debugOutput("preferences: not every value could be saved");
  messages.setMainWindow(nullptr);
  form.reset();
  freeSharedCaptureEdits();
  resetUiManagers();
  setAppSettingsStore(nullptr);
  instance.release();
  return status;
}

}  // namespace pg
