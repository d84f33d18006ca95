// libFuzzer target: any text as a chosen storage root keeps the normalisation's promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/StorageRoot.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  // UTF-16 code units, as the program holds paths.
  std::wstring chosen;
  for (size_t i = 0; i + 1 < size; i += 2)
    chosen.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

  const std::wstring root = app::NormaliseStorageRoot(chosen);
  Check(root.find(L'/') == std::wstring::npos);
  Check(root.size() <= 1 || root.back() != L'\\');
  Check(root.size() <= chosen.size());
  Check(app::NormaliseStorageRoot(root) == root);

  const std::wstring product = app::ProductFolderFor(root);
  Check(product.empty() == root.empty());
  if (!root.empty()) {
    Check(product.compare(0, root.size(), root) == 0);
    Check(EndsWith(product, app::kProductName));
    Check(product.find(L"\\\\", root.size() > 0 ? root.size() - 1 : 0) == std::wstring::npos);
  }
  // Roots read from the file are not normalised; they must not upset the derivation.
  const std::wstring asRead = app::ProductFolderFor(chosen);
  Check(asRead.empty() == chosen.empty());
  return 0;
}
