// The one crossing between the program's UTF-8 text and Qt's QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zirvo {

QString ToQString(std::string_view utf8);
std::string FromQString(const QString& text);

}  // namespace zirvo
