// For tests: whole files as bytes, and UTF-16 text files as the profile functions read them.
#pragma once

#include <string>

namespace testing_support {

// The bytes of the file, or empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// A UTF-16LE byte-order mark followed by text in UTF-16LE.
std::string Utf16FileBytes(const std::wstring& text);

bool FileExists(const std::wstring& path);

// Keeps a file as it was: on destruction writes its bytes back, or deletes it when there
// was none, whatever happened to it meanwhile.
class CFileKeeper {
 public:
  explicit CFileKeeper(std::wstring path);
  CFileKeeper(const CFileKeeper&) = delete;
  CFileKeeper& operator=(const CFileKeeper&) = delete;
  ~CFileKeeper();

 private:
  std::wstring m_path;
  std::string m_bytes;
  bool m_existed;
};

}  // namespace testing_support
