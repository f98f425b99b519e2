#include <QApplication>

#include "app/start.h"

int main(int argc, char** argv) { return vandrel::RunProgram(argc, argv); }
