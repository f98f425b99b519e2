// A program that only creates a Qt Widgets application and ends: the floor
// against which Vandrel's start-up is measured.
#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return 0;
}
