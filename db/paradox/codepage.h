// Text of a table's code page to and from the program's CP1251. Code pages 1251
// and 866 carry Russian text completely; 1252, 437 and 850 only as far as their
// characters exist in CP1251. Other code pages keep ASCII and read the rest as '?'.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace db::paradox {

class CodePage {
 public:
  explicit CodePage(int number);

  int number() const { return m_number; }
  // True when every byte of the code page has a defined meaning here.
  bool known() const { return m_known; }

  // Characters CP1251 lacks become '?'.
  std::string ToCp1251(std::string_view tableText) const;
  // nullopt when some character has no place in this code page.
  std::optional<std::string> FromCp1251(std::string_view cp1251Text) const;
  // The CP1251 byte one table byte reads as ('?' when CP1251 lacks it).
  unsigned char Cp1251Byte(unsigned char tableByte) const { return m_toCp1251[tableByte]; }

 private:
  int m_number;
  bool m_known = false;
  std::array<unsigned char, 256> m_toCp1251{};
  std::array<int, 256> m_fromCp1251{};  // -1: not representable
};

}  // namespace db::paradox
