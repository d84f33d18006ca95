#include "app/ProfileFile.h"

#include <windows.h>

#include <utility>

#include "framework/CodePage.h"
#include "framework/DecimalText.h"
#include "framework/Handle.h"

namespace app {

namespace {

constexpr char kUtf16LeMark[] = "\xFF\xFE";

// A file handle: CreateFile reports failure as INVALID_HANDLE_VALUE, which CHandle
// does not take for empty.
framework::CHandle OpenFile(const std::wstring& path, DWORD access, DWORD creation) {
  const HANDLE file = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, creation,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  return framework::CHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  const framework::CHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
  if (!file) return false;
  LARGE_INTEGER size{};
  // An INI file of a gigabyte is not one of ours; leave it alone.
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > (1 << 30)) return false;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  return bytes.empty() ||
         (::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
          read == bytes.size());
}

bool WriteWholeFile(const framework::CHandle& file, const std::string& bytes) {
  DWORD written = 0;
  return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

bool HasByteOrderMark(const std::string& bytes) {
  return bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0 ||
         bytes.rfind("\xEF\xBB\xBF", 0) == 0;
}

// Rewrites an 8-bit profile file as UTF-16LE, read in the code page the profile functions
// read it with, and puts it in place in one step.
bool ConvertToUtf16(const std::wstring& path, const std::string& ansiBytes) {
  const std::wstring text = framework::FromCodePage(CP_ACP, ansiBytes);
  std::string bytes(kUtf16LeMark, 2);
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  const std::wstring temporary = path + L".tmp";
  {
    const framework::CHandle file = OpenFile(temporary, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file) return false;
    if (!WriteWholeFile(file, bytes)) {
      ::DeleteFileW(temporary.c_str());
      return false;
    }
  }
  return CompleteProfileReplacement(temporary, path);
}

}  // namespace

std::wstring BeginProfileReplacement(const std::wstring& path) {
  const std::wstring copy = path + L".tmp";
  // A copy that a save cut short left behind is simply replaced.
  if (::CopyFileW(path.c_str(), copy.c_str(), FALSE)) {
    // The copy takes the file's attributes; a read-only one could not be written.
    ::SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    return copy;
  }
  const DWORD error = ::GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return {};
  if (!::DeleteFileW(copy.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) return {};
  return copy;
}

bool CompleteProfileReplacement(const std::wstring& copy, const std::wstring& path) {
  bool done = false;
  {
    // On disk before it replaces the file, so that not even a system crash leaves a short one.
    const framework::CHandle file = OpenFile(copy, GENERIC_WRITE, OPEN_EXISTING);
    done = file && ::FlushFileBuffers(file.Get());
  }
  done = done && ::MoveFileExW(copy.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!done) AbandonProfileReplacement(copy);
  return done;
}

void AbandonProfileReplacement(const std::wstring& copy) {
  ::DeleteFileW(copy.c_str());
}

CProfileSection::CProfileSection(std::wstring filePath, std::wstring section)
    : m_filePath(std::move(filePath)), m_section(std::move(section)) {}

std::wstring CProfileSection::ReadText(const wchar_t* key, const wchar_t* defaultValue) const {
  // The longest value an INI line can usefully hold; MAX_PATH is only where the search starts.
  constexpr DWORD kLongestValue = 65536;
  std::wstring value(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(value.size());
    const DWORD length = ::GetPrivateProfileStringW(m_section.c_str(), key, defaultValue,
                                                    value.data(), size, m_filePath.c_str());
    // A value that filled the buffer may have been cut: read again with more room.
    if (length + 1 < size || size >= kLongestValue) {
      value.resize(length < size ? length : size - 1);
      return value;
    }
    value.resize(size * 2);
  }
}

std::int32_t CProfileSection::ReadNumber(const wchar_t* key, std::int32_t defaultValue) const {
  // A sentinel that no file value can equal tells a missing key from an empty one.
  constexpr wchar_t kMissing[] = L"\x1F<missing>\x1F";
  const std::wstring text = ReadText(key, kMissing);
  if (text == kMissing) return defaultValue;
  return framework::ParseDecimal(text);
}

bool CProfileSection::PrepareFor(const std::vector<std::wstring>& values) const {
  // A new file: the byte-order mark alone, created only if nobody else just did.
  const framework::CHandle created = OpenFile(m_filePath, GENERIC_WRITE, CREATE_NEW);
  if (created) return WriteWholeFile(created, std::string(kUtf16LeMark, 2));
  if (::GetLastError() != ERROR_FILE_EXISTS) return false;

  std::string bytes;
  if (!ReadWholeFile(m_filePath, bytes)) return false;
  if (HasByteOrderMark(bytes)) return true;
  std::string converted;
  for (const std::wstring& value : values)
    if (!framework::ToCodePage(CP_ACP, value, converted)) return ConvertToUtf16(m_filePath, bytes);
  return true;
}

bool CProfileSection::WriteText(const wchar_t* key, const std::wstring& value) const {
  return ::WritePrivateProfileStringW(m_section.c_str(), key, value.c_str(), m_filePath.c_str()) !=
         FALSE;
}

bool CProfileSection::WriteNumber(const wchar_t* key, std::int32_t value) const {
  wchar_t text[16];
  swprintf(text, 16, L"%d", static_cast<int>(value));
  return WriteText(key, text);
}

}  // namespace app
