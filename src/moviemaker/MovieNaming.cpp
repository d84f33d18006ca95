#include "moviemaker/MovieNaming.h"

#include <cstdio>

namespace moviemaker {
namespace {

// Only the ASCII letters matter to the extensions looked for.
std::wstring LowerAscii(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return text;
}

bool Holds(const std::wstring& lowered, const wchar_t* part) {
  return lowered.find(part) != std::wstring::npos;
}

}  // namespace

bool IsImageFileName(const std::wstring& path) {
  const std::wstring lowered = LowerAscii(path);
  return Holds(lowered, L".jpg") || Holds(lowered, L".bmp") || Holds(lowered, L".png");
}

bool ContainsAviExtension(const std::wstring& path) {
  return Holds(LowerAscii(path), L".avi");
}

std::wstring MoviePath(const std::wstring& folder, const std::wstring& name) {
  std::wstring path = folder + L"\\" + name;
  if (!IsImageFileName(path) && !ContainsAviExtension(path)) path += L".avi";
  return path;
}

std::wstring ProposedMovieName(int year, int month, int day, int hour, int minute, int second) {
  wchar_t stamp[64];
  std::swprintf(stamp, 64, L"%04d-%02d-%02d %02d-%02d-%02d", year, month, day, hour, minute,
                second);
  return std::wstring(L"视频_") + stamp + L".avi";
}

}  // namespace moviemaker
