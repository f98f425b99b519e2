// Vandrel's pictures: the program's icon and the icons of the eight file
// types, drawn at any size. The build draws the installed files from them
// (tools/make_icons.cpp); the running program draws its window icon the
// same way, so both are always one picture.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QString>

namespace vandrel {

// The sizes of the icon theme's folders that the program's icon is installed in.
inline constexpr int kProgramIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// A rounded square of `color` with `label` on it, drawn as at 48 pixels and
// scaled to `size`.
inline QImage DrawIcon(const QString& label, const QColor& color, int labelPixels, int size) {
  QImage icon(size, size, QImage::Format_ARGB32);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(size / 48.0, size / 48.0);
  painter.setBrush(color);
  painter.setPen(color.darker(140));
  painter.drawRoundedRect(QRectF(3.5, 3.5, 41, 41), 7, 7);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(labelPixels);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRectF(0, 0, 48, 48), Qt::AlignCenter, label);
  painter.end();
  return icon;
}

inline QImage DrawProgramIcon(int size) {
  return DrawIcon(QStringLiteral("V"), QColor(0x1f, 0x5f, 0x66), 30, size);
}

// The program's icon at every installed size: every window shows it.
inline QIcon ProgramIcon() {
  QIcon icon;
  for (int size : kProgramIconSizes) icon.addPixmap(QPixmap::fromImage(DrawProgramIcon(size)));
  return icon;
}

}  // namespace vandrel
