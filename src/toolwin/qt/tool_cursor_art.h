#pragma once
// The program's own screen cursors, drawn here: a picture and a hot spot per
// cursor number, the brush outline that shows the brush size at the current
// zoom, and TToolCursors, which turns a document window's cursor choice into
// a QCursor through the rows the preferences chose.
#include <QCursor>
#include <QImage>
#include <QPoint>

#include <map>

#include "toolwin/tool_cursors.h"

namespace pg {

struct SCursorArt {
  QImage image;  // null: the system arrow stands for the number
  QPoint hotSpot;
};

// The 32 x 32 picture of a screen cursor number.
SCursorArt cursorArt(int32_t number);
// A circle of the radius (screen pixels) about the hot spot, with the
// number's picture pointing at its centre; just the picture when the circle
// would be too small to see or too large for a cursor.
SCursorArt brushOutlineArt(int32_t number, float radius);
// The outline is drawn for radii in this range.
inline constexpr float kOutlineMinRadius = 3.0f;
inline constexpr float kOutlineMaxRadius = 120.0f;

// The hot spot stored in a cursor file's first entry; (-1, -1) when the bytes
// are no cursor file.
QPoint cursorFileHotSpot(const QByteArray& bytes);

class TToolCursors {
 public:
  const CToolCursorRows& rows() const { return rows_; }
  // Chooses the rows and, when the pens use a cursor file, loads it as
  // cursor 38 (the arrow when it cannot be read).
  void applyPreferences(const SCursorPrefs& prefs);
  bool fileCursorLoaded() const { return fileLoaded_; }
  // The cursor of a choice; pen cursors outline the brush radius (screen
  // pixels) when it is given (above 0).
  QCursor cursorFor(const SCursorChoice& c, float brushRadius) const;
  QCursor screenCursor(int32_t number) const;

 private:
  CToolCursorRows rows_;
  QCursor fileCursor_{Qt::ArrowCursor};
  bool fileLoaded_ = false;
  mutable std::map<int32_t, QCursor> cache_;
};

}  // namespace pg
