// One section of an INI file, read and written with the system's private-profile functions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

// Settings that must change together are written into a copy of the file, which then
// takes the file's place in one step: a save cut short (the program killed, the power
// gone) leaves the old file or the new one, never a mix of both or a short file. The
// profile functions rewrite the whole file for every key, so writing the file itself
// could leave either.
//   Starts the copy beside the file (path + ".tmp"), holding what the file holds, or
// nothing when there is no file yet. Returns the copy's path, empty when it failed.
std::wstring BeginProfileReplacement(const std::wstring& path);
// Puts the copy on disk and in the file's place. False when it failed; the copy is gone
// either way.
bool CompleteProfileReplacement(const std::wstring& copy, const std::wstring& path);
// Forgets a copy that will not be used.
void AbandonProfileReplacement(const std::wstring& copy);

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
