// Text crosses between the program (CP1251 bytes) and Qt (Unicode) only here.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace ui {

QString toQ(std::string_view cp1251Text);
// A character CP1251 lacks becomes '?'.
std::string fromQ(const QString& text);
// A UTF-8 source literal as a QString (captions written in the code).
inline QString tr8(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace ui
