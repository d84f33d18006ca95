#include "testing/FileBytes.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <utility>

namespace testing_support {

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string Utf16FileBytes(const std::wstring& text) {
  static_assert(sizeof(wchar_t) == 2, "UTF-16 wide characters");
  return std::string("\xFF\xFE", 2) +
         std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

bool FileExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

CFileKeeper::CFileKeeper(std::wstring path)
    : m_path(std::move(path)), m_bytes(ReadFileBytes(m_path)), m_existed(FileExists(m_path)) {}

CFileKeeper::~CFileKeeper() {
  if (m_existed)
    WriteFileBytes(m_path, m_bytes);
  else
    ::DeleteFileW(m_path.c_str());
}

}  // namespace testing_support
