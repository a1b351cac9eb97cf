#include "base/qtext_qt.h"

namespace zirvo {

QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) { return text.toStdString(); }

}  // namespace zirvo
