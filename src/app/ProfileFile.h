// One section of an INI file, read and written with the system's private-profile functions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

class CProfileSection {
 public:
  CProfileSection(std::wstring filePath, std::wstring section);

  // The value of key, or defaultValue when the key (or the file) is missing. Values of any
  // length are read whole.
  std::wstring ReadText(const wchar_t* key, const wchar_t* defaultValue) const;
  // The value of key read as a decimal number (atol rules), or defaultValue when missing.
  std::int32_t ReadNumber(const wchar_t* key, std::int32_t defaultValue) const;

  // Makes sure that the file can store values: a missing file is created as UTF-16LE with
  // a byte-order mark, so that the profile functions store characters of any language; an
  // existing 8-bit file is rewritten that way, keeping its content, only when one of
  // values would not survive its code page. False when the file could not be prepared.
  bool PrepareFor(const std::vector<std::wstring>& values) const;

  bool WriteText(const wchar_t* key, const std::wstring& value) const;
  // Writes the number with "%d".
  bool WriteNumber(const wchar_t* key, std::int32_t value) const;

  const std::wstring& FilePath() const { return m_filePath; }

 private:
  std::wstring m_filePath;
  std::wstring m_section;
};

}  // namespace app
