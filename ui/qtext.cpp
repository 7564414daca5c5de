#include "ui/qtext.h"

#include <QList>

#include "core/codec.h"

namespace ui {

QString toQ(std::string_view cp1251Text) {
  QString out;
  out.reserve(static_cast<qsizetype>(cp1251Text.size()));
  for (char c : cp1251Text) out += QChar(static_cast<char16_t>(core::cp1251ToUnicode(static_cast<unsigned char>(c))));
  return out;
}

std::string fromQ(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  const auto ucs4 = text.toUcs4();
  for (const auto cp : ucs4) {
    const int b = core::unicodeToCp1251(static_cast<char32_t>(cp));
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

}  // namespace ui
