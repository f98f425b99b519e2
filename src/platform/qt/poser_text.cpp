#include "platform/qt/poser_text.h"

#include <QString>

#include "common/encoding.h"

namespace vandrel {

QString FromUtf8(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToUtf8(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString FromPoserText(const std::string& bytes) { return FromUtf8(PoserTextToUtf8(bytes)); }

std::string ToPoserText(const QString& text) { return Utf8ToPoserText(ToUtf8(text)); }

}  // namespace vandrel
