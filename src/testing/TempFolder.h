// For tests: a fresh folder under the temporary folder, removed with its contents.
#pragma once

#include <string>

namespace testing_support {

class TempFolder {
 public:
  explicit TempFolder(const std::wstring& purpose);
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  const std::wstring& Path() const { return m_path; }
  std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }

 private:
  std::wstring m_path;
};

// A name no other test program running now uses: "Plumora.<purpose>.<pid>.<counter>".
std::wstring UniqueName(const std::wstring& purpose);

}  // namespace testing_support
