#include "io/qt/file_dialog.h"

#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <ctime>

#include "core/planes.h"
#include "io/file_dialog_kinds.h"
#include "io/file_preview.h"
#include "ui/qt/res_text.h"

namespace pg {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// "desc|*.a;*.B" entries as Qt name filters "desc (*.a *.A *.b *.B)"; Qt
// matches names with the case of the file system.
QStringList qtFilters(int32_t kind) {
  QStringList out;
  for (const SFileFilterEntry& e : parseFileFilter(buildFileFilter(kind))) {
    QString description = qs(e.description);
    if (const qsizetype paren = description.lastIndexOf(QStringLiteral(" ("));
        paren > 0 && description.endsWith(QLatin1Char(')')))
      description.truncate(paren);
    QStringList patterns;
    for (const std::string& p : e.patterns) {
      const QString pattern = qs(p);
      for (const QString& v : {pattern.toLower(), pattern.toUpper()})
        if (!patterns.contains(v)) patterns << v;
    }
    out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return out;
}

FileDialogRunner& runnerSlot() {
  static FileDialogRunner runner;
  return runner;
}

}  // namespace

// ---- preview panel -----------------------------------------------------------------------

TFilePreview::TFilePreview(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PreviewPanel"));
  auto* layout = new QVBoxLayout(this);
  box_ = new QWidget(this);
  box_->setObjectName(QStringLiteral("PaintBox1"));
  box_->setFixedSize(kPreviewSide + 4, kPreviewSide + 4);
  box_->installEventFilter(this);
  size_ = new QLabel(qs(previewSizeLabel(false, 0, 0)), this);
  size_->setObjectName(QStringLiteral("LabelSize"));
  time_ = new QLabel(qs(previewTimeLabel(false, std::tm{})), this);
  time_->setObjectName(QStringLiteral("LabelUpdateTime"));
  check_ = new QCheckBox(resText(66549), this);
  check_->setObjectName(QStringLiteral("CheckBoxPreview"));
  check_->setChecked(true);
  layout->addWidget(box_);
  layout->addWidget(size_);
  layout->addWidget(time_);
  layout->addWidget(check_);
  layout->addStretch(1);
  connect(check_, &QCheckBox::toggled, this, [this] { showFile(path_); });
}

void TFilePreview::showFile(const QString& path) {
  path_ = path;
  const QFileInfo info(path);
  active_ = !path.isEmpty() && info.exists() && !info.isDir() && info.lastModified().isValid();
  picture_ = QImage();
  uint32_t w = 0, h = 0;
  if (active_) {
    TMTC plane;
    active_ = loadFilePreview(path.toStdString(), plane, w, h);
    if (active_ && check_->isChecked() && isPlaneReady(&plane)) {
      QImage image(plane.Width, plane.Height, QImage::Format_ARGB32);
      for (int32_t y = 0; y < plane.Height; ++y)
        std::memcpy(image.scanLine(y), plane.pixelAt(0, y), 4 * static_cast<size_t>(plane.Width));
      picture_ = image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
  }
  std::tm local{};
  if (active_) {
    const QDateTime t = info.lastModified().toLocalTime();
    local.tm_year = t.date().year() - 1900;
    local.tm_mon = t.date().month() - 1;
    local.tm_mday = t.date().day();
    local.tm_hour = t.time().hour();
    local.tm_min = t.time().minute();
  }
  for (QWidget* child : {static_cast<QWidget*>(size_), static_cast<QWidget*>(time_), box_}) child->setEnabled(active_);
  size_->setText(qs(previewSizeLabel(active_, w, h)));
  time_->setText(qs(previewTimeLabel(active_, local)));
  box_->update();
}

bool TFilePreview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == box_ && event->type() == QEvent::Paint) {
    QPainter p(box_);
    p.fillRect(box_->rect(), palette().color(QPalette::Dark));
    if (!picture_.isNull())
      p.drawImage((box_->width() - picture_.width()) / 2, (box_->height() - picture_.height()) / 2, picture_);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// ---- dialog ------------------------------------------------------------------------------

TPreviewFileDialog::TPreviewFileDialog(QWidget* parent, const SFileDialogRequest& request)
    : QFileDialog(parent), kind_(request.kind) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  const SFileDialogKind kind = fileDialogKind(request.kind);
  const bool save = kind.mode == FileDialogMode::Save;
  setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  setOption(QFileDialog::DontConfirmOverwrite, !save);
  filters_ = qtFilters(request.kind);
  setNameFilters(filters_);
  const std::string ext = defaultExtForKind(request.kind);
  setDefaultSuffix(qs(ext.empty() ? ext : ext.substr(1)));
  const int32_t index = std::clamp<int32_t>(request.filterIndex, 1, std::max<int32_t>(1, int32_t(filters_.size())));
  if (!filters_.isEmpty()) selectNameFilter(filters_[index - 1]);
  if (!request.folder.empty()) setDirectory(qs(normaliseInitialDir(request.folder)));
  std::string name = request.initialName;
  if (save && !name.empty()) name = replaceExtension(name, extForFilterIndex(request.kind, index));
  if (!name.empty()) selectFile(qs(name));
  if (save) connect(this, &QFileDialog::filterSelected, this, &TPreviewFileDialog::filterChosen);
  if (kind.preview) {
    preview_ = new TFilePreview(this);
    preview_->previewBox().setChecked(request.showPreview);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
      grid->addWidget(preview_, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, preview_, &TFilePreview::showFile);
  }
}

QCheckBox* TPreviewFileDialog::addCheckBox(const QString& text) {
  auto* box = new QCheckBox(text, this);
  if (preview_ != nullptr) {
    preview_->layout()->addWidget(box);
  } else if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
  }
  return box;
}

int32_t TPreviewFileDialog::filterIndex() const {
  return static_cast<int32_t>(filters_.indexOf(selectedNameFilter())) + 1;
}

void TPreviewFileDialog::filterChosen(const QString& filter) {
  const int32_t index = static_cast<int32_t>(filters_.indexOf(filter)) + 1;
  const QStringList chosen = selectedFiles();
  if (chosen.isEmpty()) return;
  const QString current = QFileInfo(chosen.first()).fileName();
  if (current.isEmpty()) return;
  selectFile(qs(replaceExtension(current.toStdString(), extForFilterIndex(kind_, index))));
}

FileDialogRunner setFileDialogRunner(FileDialogRunner runner) {
  FileDialogRunner previous = std::move(runnerSlot());
  runnerSlot() = std::move(runner);
  return previous;
}

namespace {

// Runs a dialog of the request's kind; `extra`, when given, is a check box
// added to it whose state comes back through `checked`.
[[nodiscard]] bool runDialog(QWidget* parent, SFileDialogRequest& request, const QString& extra, bool* checked) {
  if (runnerSlot()) {
    const bool ok = runnerSlot()(request);
    if (ok && checked != nullptr) *checked = request.openPaused;
    return ok;
  }
  TPreviewFileDialog dialog(parent, request);
  QCheckBox* box = extra.isEmpty() ? nullptr : dialog.addCheckBox(extra);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  const QFileInfo chosen(dialog.selectedFiles().first());
  if (fileDialogKind(request.kind).mode == FileDialogMode::Open && !chosen.exists()) return false;
  request.fileName = chosen.absoluteFilePath().toStdString();
  request.folder = chosen.absolutePath().toStdString();
  request.filterIndex = dialog.filterIndex();
  if (dialog.preview() != nullptr) request.showPreview = dialog.preview()->previewBox().isChecked();
  if (box != nullptr && checked != nullptr) *checked = box->isChecked();
  return true;
}

}  // namespace

bool executeFileDialog(QWidget* parent, SFileDialogRequest& request) {
  return runDialog(parent, request, QString(), nullptr);
}

bool openDocumentDialog(QWidget* parent, SFileDialogRequest& request, bool& openPaused) {
  request.kind = 2;
  return runDialog(parent, request, resText(66550), &openPaused);
}

bool saveDocumentDialog(QWidget* parent, SFileDialogRequest& request) {
  request.kind = 10;
  return runDialog(parent, request, QString(), nullptr);
}

}  // namespace pg
