#include "base/qtext_qt.h"

#include "base/text.h"

namespace zirvo {

QString ToQString(std::string_view cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

std::string FromQString(const QString& text, bool* complete) {
  return Utf8ToCp1252(text.toStdString(), complete);
}

bool FitsCp1252(const QString& text) {
  bool complete = true;
  FromQString(text, &complete);
  return complete;
}

}  // namespace zirvo
