#pragma once
// The open and save dialogs of every dialog kind (io/file_dialog_kinds.h):
// Qt's own (non-native) file dialog, so that the preview panel can sit in
// it; a save dialog gives the name the extension of the chosen filter entry
// whenever the entry changes.
#include <QCheckBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

namespace pg {

// In and out: the chosen file name, the filter index (from 1) and the
// folder; initialName proposes a name.
struct SFileDialogRequest {
  int32_t kind = 0;
  std::string initialName;
  std::string fileName;
  int32_t filterIndex = 1;
  std::string folder;
  bool showPreview = true;  // the preview check box, kept in the preferences
  bool openPaused = false;  // openDocumentDialog's choice
};

// The preview panel: a 126 x 126 picture, the size and the date of the file.
class TFilePreview : public QWidget {
 public:
  explicit TFilePreview(QWidget* parent = nullptr);
  // Loads the file's preview; the panel is active while the file exists, is
  // not a folder and its preview could be read.
  void showFile(const QString& path);
  bool isActive() const { return active_; }
  QCheckBox& previewBox() { return *check_; }
  QString sizeText() const { return size_->text(); }
  QString timeText() const { return time_->text(); }
  const QImage& picture() const { return picture_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* box_ = nullptr;
  QLabel* size_ = nullptr;
  QLabel* time_ = nullptr;
  QCheckBox* check_ = nullptr;
  QImage picture_;
  QString path_;
  bool active_ = false;
};

// The dialog of a request's kind, set up but not shown.
class TPreviewFileDialog : public QFileDialog {
 public:
  TPreviewFileDialog(QWidget* parent, const SFileDialogRequest& request);
  TFilePreview* preview() const { return preview_; }
  // Adds a check box under the preview (or under the dialog without one).
  QCheckBox* addCheckBox(const QString& text);
  // The filter index (from 1) of the entry now chosen.
  int32_t filterIndex() const;

 private:
  void filterChosen(const QString& filter);
  int32_t kind_;
  QStringList filters_;
  TFilePreview* preview_ = nullptr;
};

// Replaces the dialog (tests); answers the previous replacement. The
// runner of openDocumentDialog sets the request's openPaused.
using FileDialogRunner = std::function<bool(SFileDialogRequest&)>;
FileDialogRunner setFileDialogRunner(FileDialogRunner runner);

// Runs the dialog; true when the user chose a file (an open dialog's file
// must exist). On true the request holds the name, the index and the folder.
[[nodiscard]] bool executeFileDialog(QWidget* parent, SFileDialogRequest& request);

// The dialog for recordings (kind 2) with the check box "停止状態で開く(&A)";
// on true `openPaused` is its state.
[[nodiscard]] bool openDocumentDialog(QWidget* parent, SFileDialogRequest& request, bool& openPaused);
// The save dialog for recordings (kind 10).
[[nodiscard]] bool saveDocumentDialog(QWidget* parent, SFileDialogRequest& request);

}  // namespace pg
