#include "devtools/HandleList.h"

#include <winternl.h>

#include <vector>

#include "devtools/SystemInformation.h"
#include "framework/Handle.h"

namespace devtools {

namespace {

// The layout of SystemExtendedHandleInformation's answer.
struct HandleEntry {
  PVOID object;
  ULONG_PTR processId;
  ULONG_PTR handleValue;
  ULONG grantedAccess;
  USHORT creatorBackTraceIndex;
  USHORT objectTypeIndex;
  ULONG handleAttributes;
  ULONG reserved;
};

struct HandleListHead {
  ULONG_PTR count;
  ULONG_PTR reserved;
};

}  // namespace

std::map<DWORD, HandleTally> TallyHandles() {
  std::map<DWORD, HandleTally> tallies;
  std::vector<unsigned char> buffer;
  if (!QuerySystemInformation(kSystemExtendedHandleInformation, buffer)) return tallies;
  const auto* head = reinterpret_cast<const HandleListHead*>(buffer.data());
  const auto* entries = reinterpret_cast<const HandleEntry*>(head + 1);
  const size_t room = (buffer.size() - sizeof(HandleListHead)) / sizeof(HandleEntry);
  for (size_t i = 0; i < head->count && i < room; ++i) {
    HandleTally& tally = tallies[static_cast<DWORD>(entries[i].processId)];
    ++tally.total;
    ++tally.byType[entries[i].objectTypeIndex];
    tally.sampleHandle.emplace(entries[i].objectTypeIndex, entries[i].handleValue);
  }
  return tallies;
}

std::wstring ObjectTypeName(DWORD processId, ULONG_PTR handleValue) {
  const framework::CHandle process(::OpenProcess(PROCESS_DUP_HANDLE, FALSE, processId));
  HANDLE duplicate = nullptr;
  if (!process ||
      !::DuplicateHandle(process.Get(), reinterpret_cast<HANDLE>(handleValue),
                         ::GetCurrentProcess(), &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return {};
  const framework::CHandle mine(duplicate);
  // The type's description, its name's characters right after it.
  alignas(PUBLIC_OBJECT_TYPE_INFORMATION) unsigned char answer[1024] = {};
  ULONG length = 0;
  if (::NtQueryObject(mine.Get(), ObjectTypeInformation, answer, sizeof answer, &length) != 0)
    return {};
  const auto* type = reinterpret_cast<const PUBLIC_OBJECT_TYPE_INFORMATION*>(answer);
  if (type->TypeName.Buffer == nullptr) return {};
  return std::wstring(type->TypeName.Buffer, type->TypeName.Length / sizeof(wchar_t));
}

}  // namespace devtools
