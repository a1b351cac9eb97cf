// The one crossing between the core's Windows-1252 text and Qt's QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zirvo {

QString ToQString(std::string_view cp1252);
// Characters Windows-1252 cannot hold become "?"; *complete tells whether
// every character could be kept.
std::string FromQString(const QString& text, bool* complete = nullptr);
// True when every character of the text exists in Windows-1252.
bool FitsCp1252(const QString& text);

}  // namespace zirvo
