#pragma once
// The one QApplication of a Qt test program. Every test that needs widgets or
// the clipboard calls ensureQtApp() first; whichever test runs first makes the
// object, the others find it, so no program ever makes a second one.
#include <QApplication>
#include <QCoreApplication>

namespace pg::testing {

inline void ensureQtApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "pigmora_qt_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: at program exit Qt's own globals may already be gone
  // when a static application object would tear down its input devices.
  new QApplication(argc, argv);
}

}  // namespace pg::testing
