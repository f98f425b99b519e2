// The one QApplication of a test program that shows widgets (offscreen
// under CTest), created on first use and destroyed when the tests are done,
// while Qt's own globals (fonts, input devices) still exist.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

namespace vandrel::test {

namespace detail {

inline QApplication*& AppSlot() {
  static QApplication* app = nullptr;
  return app;
}

class QtAppEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete AppSlot();
    AppSlot() = nullptr;
  }
};

inline ::testing::Environment* const kQtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace detail

inline QApplication& App() {
  static int argc = 1;
  static char name[] = "vandrel_tests";
  static char* argv[] = {name, nullptr};
  if (!detail::AppSlot()) detail::AppSlot() = new QApplication(argc, argv);
  return *detail::AppSlot();
}

}  // namespace vandrel::test
