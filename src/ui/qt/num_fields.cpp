#include "ui/qt/num_fields.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>
#include <QWheelEvent>

#include "core/assign_changed.h"
#include "ui/appearance_manager.h"
#include "ui/qt/graphic_image.h"
#include "ui/text_flags.h"

namespace pg {

char uiDecimalSep() {
  const QString s = QLocale().decimalPoint();
  return s.size() == 1 && s[0].unicode() < 128 ? static_cast<char>(s[0].unicode()) : '.';
}

namespace {

QString formatted(const QString& format, float v) {
  return QString::fromStdString(formatValue(format.toStdString(), v, uiDecimalSep()));
}

float applyText(TNumMngr& m, const QString& text) { return valueFromText(m, text.toStdString(), uiDecimalSep()); }

}  // namespace

// ---- TNumEdit ------------------------------------------------------------------

TNumEdit::TNumEdit(QWidget* parent) : QLineEdit(parent) {
  resize(40, height());
  setMaxLength(16);
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { textEditedByUser(t); });
  numRefresh();
}

TNumEdit::~TNumEdit() = default;

void TNumEdit::setFormatString(const QString& f) {
  if (assignIfChanged(format_, f)) numRefresh();
}

void TNumEdit::numRefresh() { setText(associate() ? formatted(format_, associate()->value()) : QStringLiteral("0")); }

void TNumEdit::textEditedByUser(const QString& text) {
  if (TNumMngr* m = associate()) {
    // Live typing clamps but never wraps, and the edit is the sender so that
    // its text is not reformatted under the user.
    if (const auto n = parseNumber(text.toStdString(), m->isSigned(), uiDecimalSep()))
      m->setValueFrom(this, std::min(m->valueMax(), std::max(m->valueMin(), *n)));
  }
  if (OnChange) OnChange();
}

void TNumEdit::cut() {
  QLineEdit::cut();
  TNumMngr* m = associate();
  if (!m) return;
  // Only an emptied field falls back to the default; what is left of a
  // partial cut is a value of its own.
  if (text().isEmpty())
    m->resetToDefault();
  else
    applyText(*m, text());
  numRefresh();
}

void TNumEdit::paste() {
  QLineEdit::paste();
  if (TNumMngr* m = associate()) applyText(*m, text());
}

void TNumEdit::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Cut)) {
    cut();
    return;
  }
  if (e->matches(QKeySequence::Paste)) {
    paste();
    return;
  }
  const QString t = e->text();
  if (!t.isEmpty() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    const char32_t ch = t.toUcs4().value(0);
    const bool allowNeg = !associate() || associate()->isSigned();
    if (!acceptNumChar(text().toStdString(), ch, allowNeg, uiDecimalSep())) return;
  }
  const bool large = e->modifiers() & Qt::ShiftModifier;
  if (TNumMngr* m = associate()) {
    if (e->key() == Qt::Key_Up) {
      applyText(*m, text());
      m->increment(large);
    } else if (e->key() == Qt::Key_Down) {
      applyText(*m, text());
      m->decrement(large);
    }
  }
  QLineEdit::keyPressEvent(e);
}

void TNumEdit::wheelEvent(QWheelEvent* e) {
  TNumMngr* m = associate();
  const int dy = e->angleDelta().y();
  if (!m || dy == 0) {
    QLineEdit::wheelEvent(e);
    return;
  }
  applyText(*m, text());
  const bool large = e->modifiers() & Qt::ShiftModifier;
  if (dy > 0)
    m->increment(large);
  else
    m->decrement(large);
  e->accept();
}

void TNumEdit::focusOutEvent(QFocusEvent* e) {
  if (TNumMngr* m = associate()) {
    if (text() != formatted(format_, m->value())) {
      applyText(*m, text());
      // A text naming the current value in another form ("255.0") changes
      // nothing in the model, but the field still shows the value.
      numRefresh();
    }
  }
  QLineEdit::focusOutEvent(e);
}

// ---- label faces -----------------------------------------------------------------

void paintLabelFace(TMemoryGraphic& g, const QString& text, const QFont& font, Qt::Alignment align, bool framed,
                    bool enabled) {
  if (!g.isValid()) return;
  const TUiSysColors& c = uiSysColors();
  const int32_t w = g.width();
  const int32_t h = g.height();
  g.fillRect({0, 0, w, h}, c.window, copyChannel, copyChannel);
  TRect r{0, 0, w, h};
  uint32_t flags = dtSingleLine | dtNoPrefix;
  if (align & Qt::AlignRight)
    flags |= dtRight;
  else if (align & Qt::AlignHCenter)
    flags |= dtCenter;
  if (framed) {
    // Framed labels set their text 2 pixels lower and keep it off the frame.
    r.Top += 2;
    r.Bottom += 2;
    if (flags & dtRight) {
      r.Left = std::max(r.Left - 3, 4);
      r.Right -= 3;
    } else if (!(flags & dtCenter)) {
      r.Left += 3;
      r.Right = std::min(r.Right + 3, w - 4);
    }
  }
  const TRect bounds = r;
  if (bounds.Right > bounds.Left) {
    TRect tr = bounds;
    drawText(g, text, tr, font, enabled ? c.windowText : c.grayText, flags);
    // drawText makes its rectangle opaque; the face is opaque anyway.
  }
  if (framed) g.frameRect({0, 0, w, h}, 1, c.grayText, copyChannel, copyChannel);
}

// ---- TNumLabel --------------------------------------------------------------------

TNumLabel::TNumLabel(QWidget* parent) : QWidget(parent) {
  resize(36, 16);
  numRefresh();
}

TNumLabel::~TNumLabel() = default;

void TNumLabel::setFormatString(const QString& f) {
  if (assignIfChanged(format_, f)) numRefresh();
}

void TNumLabel::numRefresh() {
  caption_ = associate() ? formatted(format_, associate()->value()) : QStringLiteral("0");
  update();
}

void TNumLabel::paintEvent(QPaintEvent*) {
  TMemoryGraphic g(width(), height());
  paintLabelFace(g, caption_, font(), Qt::AlignRight, framed(), isEnabled());
  QPainter p(this);
  blitToPainter(p, 0, 0, g.width(), g.height(), g, 0, 0);
}

// ---- capture -----------------------------------------------------------------------

TCaptureHandler::~TCaptureHandler() {
  if (capturing_ && QCoreApplication::instance()) CAppEventRouter::instance().remove(this);
}

void TCaptureHandler::beginCapture() {
  if (capturing_) return;
  capturing_ = true;
  result_ = kCaptureEditing;
  CAppEventRouter::instance().push(this);
}

void TCaptureHandler::endCapture() {
  if (!capturing_) return;
  capturing_ = false;
  CAppEventRouter::instance().remove(this);
  // The exit handler may replace OnExit; call a copy.
  const auto exit = OnExit;
  if (exit) exit();
}

bool TCaptureHandler::appEvent(QObject* /*watched*/, QEvent* event) {
  if (!capturing_) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter ||
          key == Qt::Key_Space) {
        result_ = kCaptureAccept;
      } else if (key == Qt::Key_Escape) {
        result_ = kCaptureCancel;
      } else {
        return false;
      }
      endCapture();
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() != Qt::LeftButton && me->button() != Qt::RightButton) return false;
      const QPoint local = edit_.mapFromGlobal(me->globalPosition().toPoint());
      if (edit_.isVisible() && edit_.rect().contains(local)) return false;
      // The click ends the editing and goes no further.
      result_ = kCaptureAccept;
      endCapture();
      return true;
    }
    case QEvent::ShortcutOverride: {
      const auto mods = static_cast<QKeyEvent*>(event)->modifiers();
      if (!(mods & (Qt::ControlModifier | Qt::AltModifier))) return false;
      event->accept();
      return true;
    }
    case QEvent::Shortcut: {
      const QKeySequence seq = static_cast<QShortcutEvent*>(event)->key();
      return !seq.isEmpty() && (seq[0].keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier));
    }
    default:
      return false;
  }
}

bool TCaptureHandler::appDeactivated() {
  if (capturing_) {
    result_ = kCaptureAccept;
    endCapture();
  }
  return true;
}

namespace {
QPointer<TCaptureEdit> gTextEdit;
QPointer<TCaptureNumEdit> gNumEdit;

}  // namespace

void parkCaptureEdit(QWidget& edit) {
  edit.hide();
  edit.setParent(nullptr);
}

void showCaptureEditOver(QLineEdit& edit, QWidget& control, const QRect& r) {
  QWidget* host = control.parentWidget() ? control.parentWidget() : &control;
  edit.setParent(host);
  edit.setFont(control.font());
  edit.setGeometry(host == &control ? r : r.translated(control.pos()));
  edit.show();
  edit.raise();
  edit.setFocus();
}

void openCaptureEdit(QLineEdit& edit, TCaptureHandler& capture, QWidget& control, const QRect& r,
                     const QString& text, bool& editing, std::function<void()> onExit) {
  edit.setText(text);
  capture.OnExit = std::move(onExit);
  showCaptureEditOver(edit, control, r);
  editing = true;
  capture.beginCapture();
}

void closeCaptureNumEdit(TCaptureNumEdit& edit, bool& editing, const std::function<void()>& onEditExit,
                         const std::function<TNumMngr*()>& associate, float saved) {
  editing = false;
  edit.capture.OnExit = nullptr;
  if (onEditExit) onEditExit();
  if (TNumMngr* m = associate()) {
    if (edit.capture.result() == kCaptureAccept)
      applyText(*m, edit.text());
    else
      m->setValue(saved);  // typing is undone
  }
  parkCaptureEdit(edit);
  edit.setAssociate(nullptr);
}

TCaptureEdit& sharedCaptureEdit() {
  if (!gTextEdit) {
    gTextEdit = new TCaptureEdit();
    gTextEdit->hide();
  }
  return *gTextEdit;
}

TCaptureNumEdit& sharedCaptureNumEdit() {
  if (!gNumEdit) {
    gNumEdit = new TCaptureNumEdit();
    gNumEdit->hide();
  }
  return *gNumEdit;
}

void freeSharedCaptureEdits() {
  delete gTextEdit.data();
  delete gNumEdit.data();
}

// ---- TLabelEdit -----------------------------------------------------------------------

TLabelEdit::TLabelEdit(QWidget* parent) : QWidget(parent) { setCursor(Qt::IBeamCursor); }

TLabelEdit::~TLabelEdit() {
  if (editing_ && gTextEdit) {
    gTextEdit->capture.OnExit = nullptr;
    gTextEdit->capture.endCapture();
    parkCaptureEdit(*gTextEdit);
  }
}

void TLabelEdit::setCaption(const QString& c) {
  if (assignIfChanged(caption_, c)) update();
}

void TLabelEdit::setAlignment(Qt::Alignment a) {
  align_ = a;
  update();
}

bool TLabelEdit::isEditing() const { return editing_; }

void TLabelEdit::paintEvent(QPaintEvent*) {
  TMemoryGraphic g(width(), height());
  paintLabelFace(g, caption_, font(), align_, true, isEnabled());
  QPainter p(this);
  blitToPainter(p, 0, 0, g.width(), g.height(), g, 0, 0);
}

void TLabelEdit::mousePressEvent(QMouseEvent* e) {
  QWidget::mousePressEvent(e);
  if (e->button() != Qt::LeftButton || !isVisible() || !isEnabled() || editing_) return;
  TCaptureEdit& ed = sharedCaptureEdit();
  if (ed.capture.capturing()) return;
  ed.setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
  openCaptureEdit(ed, ed.capture, *this, rect(), caption_, editing_, [this] { endEdit(); });
  if (OnEditEnter) OnEditEnter();
}

void TLabelEdit::endEdit() {
  TCaptureEdit& ed = sharedCaptureEdit();
  editing_ = false;
  ed.capture.OnExit = nullptr;
  if (OnEditExit) OnEditExit();
  if (ed.capture.result() == kCaptureAccept && ed.text() != caption_) {
    setCaption(ed.text());
    if (OnChange) OnChange();
  }
  parkCaptureEdit(ed);
}

// ---- TNumLabelEdit --------------------------------------------------------------------

TNumLabelEdit::TNumLabelEdit(QWidget* parent) : TNumLabel(parent) { setCursor(Qt::IBeamCursor); }

TNumLabelEdit::~TNumLabelEdit() {
  if (editing_ && gNumEdit) {
    gNumEdit->capture.OnExit = nullptr;
    gNumEdit->capture.endCapture();
    gNumEdit->setAssociate(nullptr);
    parkCaptureEdit(*gNumEdit);
  }
}

bool TNumLabelEdit::isEditing() const { return editing_; }

void TNumLabelEdit::mousePressEvent(QMouseEvent* e) {
  QWidget::mousePressEvent(e);
  TNumMngr* m = associate();
  if (e->button() != Qt::LeftButton || !m || !isVisible() || !isEnabled() || readOnly_ || editing_) return;
  TCaptureNumEdit& ed = sharedCaptureNumEdit();
  if (ed.capture.capturing()) return;
  saved_ = m->value();
  ed.setFormatString(formatString());
  ed.setAssociate(m);
  ed.setMaxLength(maxLength_);
  openCaptureEdit(ed, ed.capture, *this, rect(), caption_, editing_, [this] { endEdit(); });
  if (OnEditEnter) OnEditEnter();
}

void TNumLabelEdit::endEdit() {
  closeCaptureNumEdit(sharedCaptureNumEdit(), editing_, OnEditExit, [this] { return associate(); }, saved_);
}

}  // namespace pg
