// libFuzzer target: any file name found in an output folder is parsed safely, and a name
// this program makes from it parses back to the slot it was made from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "camera/OutputNames.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool AllDigits(const std::wstring& text) {
  for (const wchar_t c : text)
    if (c < L'0' || c > L'9') return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  std::wstring name;
  for (size_t i = 0; i + 1 < size; i += 2)
    name.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

  std::wstring date;
  std::int32_t counter = -1;
  if (camera::ParseOutputFileName(name, date, counter)) {
    Check(AllDigits(date));
    Check(counter >= 0);
  }

  const auto slot = camera::NextDatedSlot(name, L"20120512");
  if (slot) {
    Check(slot->counter >= 1);
    Check(slot->date >= L"20120512");
    for (const auto kind : {camera::OutputKind::Photograph, camera::OutputKind::Recording}) {
      const std::wstring made = camera::DatedFileName(kind, *slot);
      std::wstring madeDate;
      std::int32_t madeCounter = -1;
      Check(camera::ParseOutputFileName(made, madeDate, madeCounter));
      Check(madeDate == slot->date && madeCounter == slot->counter);
    }
  }

  for (const auto kind : {camera::OutputKind::Photograph, camera::OutputKind::Recording}) {
    const auto number = camera::TreeNumberOf(name, camera::TreePrefix(kind));
    if (!number) continue;
    const auto tree = camera::NextTreeSlot(0, *number);
    if (!tree) continue;
    Check(tree->number >= 0 && tree->number > *number);
    Check(camera::TreeNumberOf(camera::TreeFileName(kind, *tree), camera::TreePrefix(kind)) ==
          tree->number);
    Check(camera::TreeNumberOf(camera::TreeGroupName(*tree), L"") == tree->group);
  }
  return 0;
}
