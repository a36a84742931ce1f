#pragma once
// The one QApplication of a Qt test program. Every test that needs widgets or
// the clipboard calls ensureQtApp() first; whichever test runs first makes the
// object, the others find it, so no program ever makes a second one. It is
// deleted after the last test, while Qt's own globals still exist: deleted
// by a static destructor at exit it would tear down its input devices after
// them, and never deleted it would leave the font database's memory behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>

namespace pg::testing {

inline QApplication*& ownQtApp() {
  static QApplication* app = nullptr;
  return app;
}

inline void ensureQtApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "pigmora_qt_test";
  static char* argv[] = {name, nullptr};
  ownQtApp() = new QApplication(argc, argv);
}

class QtAppEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete ownQtApp();
    ownQtApp() = nullptr;
  }
};

// Registered once a program, before its tests run.
inline ::testing::Environment* const kQtAppEnvironment = ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace pg::testing
