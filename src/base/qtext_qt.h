// The one crossing between the program's UTF-8 text and Qt's QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zirvo {

QString ToQString(std::string_view utf8);
std::string FromQString(const QString& text);
// True when every character of the text exists in Windows-1252, that is when
// a template file can store it.
bool FitsCp1252(const QString& text);

}  // namespace zirvo
