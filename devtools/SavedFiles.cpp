#include "devtools/SavedFiles.h"

#include "testing/FileBytes.h"

namespace devtools {

FileState CSavedFiles::Read(const wchar_t* name) const {
  FileState state;
  const std::wstring path = Path(name);
  state.exists = testing_support::FileExists(path);
  if (state.exists) state.bytes = testing_support::ReadFileBytes(path);
  return state;
}

}  // namespace devtools
