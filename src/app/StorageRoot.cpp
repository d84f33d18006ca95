#include "app/StorageRoot.h"

#include <algorithm>
#include <string_view>

namespace app {

std::wstring NormaliseStorageRoot(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  while (path.size() > 1 && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring ProductFolderFor(const std::wstring& storageRoot) {
  if (storageRoot.empty()) return {};
  // A root read from the file is taken as it stands, trailing separators included.
  std::wstring_view folder = storageRoot;
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
    folder.remove_suffix(1);
  const size_t separator = folder.find_last_of(L"\\/");
  const std::wstring_view lastFolder =
      separator == std::wstring_view::npos ? folder : folder.substr(separator + 1);
  // Choosing the product folder itself must not nest a second one inside it.
  if (lastFolder == kProductName) return storageRoot;
  const bool endsInSeparator = folder.size() != storageRoot.size();
  return storageRoot + (endsInSeparator ? L"" : L"\\") + kProductName;
}

}  // namespace app
