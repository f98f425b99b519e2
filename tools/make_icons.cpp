// Draws the icons of the eight Poser file types (Icons/<EXT>.png beside the
// program), used when Vandrel registers itself for those types, and the
// program's own icon: Icons/Vandrel.png and, for the icon theme,
// Icons/hicolor/<N>x<N>/apps/vandrel.png at every installed size.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "platform/qt/program_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons FOLDER\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) return 1;
  struct Type {
    const char* ext;
    QColor color;
  };
  const Type types[] = {{"CR2", QColor(0x2e, 0x6d, 0xb4)}, {"PZ2", QColor(0x3a, 0x9a, 0x4a)},
                        {"PP2", QColor(0xb4, 0x6d, 0x2e)}, {"HR2", QColor(0x8a, 0x4a, 0xa8)},
                        {"CM2", QColor(0x55, 0x55, 0x55)}, {"FC2", QColor(0xc0, 0x3a, 0x5a)},
                        {"HD2", QColor(0xc0, 0x90, 0x20)}, {"LT2", QColor(0xd8, 0xb0, 0x10)}};
  for (const Type& type : types) {
    const QImage icon = vandrel::DrawIcon(QString::fromLatin1(type.ext), type.color, 14, 48);
    if (!icon.save(folder + "/" + type.ext + ".png", "PNG")) return 1;
  }
  if (!vandrel::DrawProgramIcon(48).save(folder + "/Vandrel.png", "PNG")) return 1;
  for (int size : vandrel::kProgramIconSizes) {
    const QString theme = QString("%1/hicolor/%2x%2/apps").arg(folder).arg(size);
    if (!QDir().mkpath(theme) || !vandrel::DrawProgramIcon(size).save(theme + "/vandrel.png", "PNG"))
      return 1;
  }
  return 0;
}
