// Draws the icons of the eight Poser file types (Icons/<EXT>.png beside the
// program), used when Vandrel registers itself for those types, and the
// program's own icon (Icons/Vandrel.png, installed with its desktop entry).
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

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
    const char* label = nullptr;  // the extension when not given
    int size = 14;
  };
  const Type types[] = {{"CR2", QColor(0x2e, 0x6d, 0xb4)}, {"PZ2", QColor(0x3a, 0x9a, 0x4a)},
                        {"PP2", QColor(0xb4, 0x6d, 0x2e)}, {"HR2", QColor(0x8a, 0x4a, 0xa8)},
                        {"CM2", QColor(0x55, 0x55, 0x55)}, {"FC2", QColor(0xc0, 0x3a, 0x5a)},
                        {"HD2", QColor(0xc0, 0x90, 0x20)}, {"LT2", QColor(0xd8, 0xb0, 0x10)},
                        {"Vandrel", QColor(0x1f, 0x5f, 0x66), "V", 30}};
  for (const Type& type : types) {
    QImage icon(48, 48, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(type.color);
    painter.setPen(type.color.darker(140));
    painter.drawRoundedRect(QRectF(3.5, 3.5, 41, 41), 7, 7);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(type.size);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(icon.rect(), Qt::AlignCenter, QString::fromLatin1(type.label ? type.label : type.ext));
    painter.end();
    if (!icon.save(folder + "/" + type.ext + ".png", "PNG")) return 1;
  }
  return 0;
}
