#include "devtools/FigureCheck.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>

#include "devtools/ProcessFigures.h"
#include "framework/Handle.h"
#include "testing/Process.h"

namespace devtools {

namespace {

constexpr DWORD kStepTimeoutMs = 30000;
// Handles the helper takes besides the events: one per thread and the threads' stop event.
constexpr unsigned kHeldKernelHandles = kHeldHandles + kHeldThreads + 1;
// A count may rise by a few more: the system opens handles of its own now and then.
constexpr unsigned kHandleSlack = 8;

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiObjectDeleter>;

struct MenuDestroyer {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
using Menu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

struct MemoryReleaser {
  void operator()(void* memory) const { ::VirtualFree(memory, 0, MEM_RELEASE); }
};
using Memory = std::unique_ptr<void, MemoryReleaser>;

// Private memory that counts everywhere: committed and written to.
Memory TakePrivateMemory(size_t bytes) {
  Memory memory(::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (auto* pages = static_cast<volatile char*>(memory.get()))
    for (size_t at = 0; at < bytes; at += 4096) pages[at] = 1;
  return memory;
}

// Threads that wait until stopped; they end with this object.
class IdleThreads {
 public:
  explicit IdleThreads(unsigned count) : m_stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    for (unsigned i = 0; i < count; ++i)
      m_threads.emplace_back(::CreateThread(nullptr, 0, &Idle, m_stop.Get(), 0, nullptr));
  }
  IdleThreads(const IdleThreads&) = delete;
  IdleThreads& operator=(const IdleThreads&) = delete;
  ~IdleThreads() {
    ::SetEvent(m_stop.Get());
    for (const framework::CHandle& thread : m_threads)
      ::WaitForSingleObject(thread.Get(), kStepTimeoutMs);
  }

 private:
  static DWORD WINAPI Idle(void* stop) {
    ::WaitForSingleObject(static_cast<HANDLE>(stop), INFINITE);
    return 0;
  }

  framework::CHandle m_stop;
  std::vector<framework::CHandle> m_threads;
};

// One of each kind of resource, taken and given back: whatever the system sets up on a
// process's first window object, brush or thread is then in place before the baseline.
void WarmUp() {
  const framework::CHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const GdiObject brush(::CreateSolidBrush(RGB(1, 2, 3)));
  const Menu menu(::CreateMenu());
  const Memory memory = TakePrivateMemory(1 << 20);
  const IdleThreads threads(1);
}

std::wstring EventName(const std::wstring& prefix, const wchar_t* step) {
  return prefix + step;
}

using Figure = std::optional<std::uint64_t> ProcessFigures::*;

long long Rise(const ProcessFigures& before, const ProcessFigures& after, Figure figure) {
  if (!(before.*figure) || !(after.*figure)) return 0;
  return static_cast<long long>(*(after.*figure)) - static_cast<long long>(*(before.*figure));
}

std::wstring Finding(const wchar_t* figure, const wchar_t* call, long long rise,
                     const std::wstring& taken, const wchar_t* meaning) {
  return std::wstring(figure) + L": " + call + L" rose by " + std::to_wstring(rise) +
         L" while the helper took " + taken + L": " + meaning;
}

void Judge(const ProcessFigures& before, const ProcessFigures& after, FigureCheck& check) {
  constexpr const wchar_t* kUnavailable = L"unavailable here";
  const std::wstring handles = std::to_wstring(kHeldKernelHandles) + L" handles";

  const long long handleRise = Rise(before, after, &ProcessFigures::handles);
  check.handles =
      handleRise >= kHeldKernelHandles && handleRise <= kHeldKernelHandles + kHandleSlack;
  check.findings.push_back(Finding(L"handles", L"GetProcessHandleCount", handleRise, handles,
                                   check.handles ? L"a count of handles" : kUnavailable));

  const long long tableRise = Rise(before, after, &ProcessFigures::handleTable);
  const bool tableCounts =
      tableRise >= kHeldKernelHandles && tableRise <= kHeldKernelHandles + kHandleSlack;
  check.handleTable = tableRise >= kHeldKernelHandles;
  check.findings.push_back(
      Finding(L"handle_table", L"SystemProcessInformation's HandleCount", tableRise, handles,
              tableCounts         ? L"a count of handles"
              : check.handleTable ? L"grows with them in steps: the size of the handle table, "
                                    L"not a count"
                                  : kUnavailable));

  const long long listedRise = Rise(before, after, &ProcessFigures::listedHandles);
  check.listedHandles =
      listedRise >= kHeldKernelHandles && listedRise <= kHeldKernelHandles + kHandleSlack;
  check.findings.push_back(
      Finding(L"listed_handles", L"the system's handle list (SystemExtendedHandleInformation)",
              listedRise, handles, check.listedHandles ? L"a count of handles" : kUnavailable));

  const long long gdiRise = Rise(before, after, &ProcessFigures::gdiObjects);
  check.gdiObjects = gdiRise >= kHeldGdiObjects;
  check.findings.push_back(Finding(L"gdi", L"GetGuiResources(GR_GDIOBJECTS)", gdiRise,
                                   std::to_wstring(kHeldGdiObjects) + L" brushes",
                                   check.gdiObjects ? L"a count of GDI objects" : kUnavailable));

  const long long userRise = Rise(before, after, &ProcessFigures::userObjects);
  check.userObjects = userRise >= kHeldUserObjects;
  check.findings.push_back(Finding(L"user", L"GetGuiResources(GR_USEROBJECTS)", userRise,
                                   std::to_wstring(kHeldUserObjects) + L" menus",
                                   check.userObjects ? L"a count of USER objects" : kUnavailable));

  // Nine tenths: the heap may give a little back meanwhile.
  const long long enough = static_cast<long long>(kHeldPrivateBytes / 10 * 9);
  const std::wstring memory = std::to_wstring(kHeldPrivateBytes) + L" bytes, written";
  const long long privateRise = Rise(before, after, &ProcessFigures::privateBytes);
  check.privateBytes = privateRise >= enough;
  check.findings.push_back(Finding(L"private_bytes", L"PrivateUsage", privateRise, memory,
                                   check.privateBytes ? L"private bytes" : kUnavailable));
  const long long pagefileRise = Rise(before, after, &ProcessFigures::pagefileBytes);
  check.pagefileBytes = pagefileRise >= enough;
  check.findings.push_back(Finding(L"pagefile_bytes", L"PagefileUsage", pagefileRise, memory,
                                   check.pagefileBytes ? L"follows private memory" : kUnavailable));

  const long long threadRise = Rise(before, after, &ProcessFigures::threads);
  check.threads = threadRise >= kHeldThreads && threadRise <= kHeldThreads + 2;
  check.findings.push_back(Finding(L"threads", L"Toolhelp32's thread list", threadRise,
                                   std::to_wstring(kHeldThreads) + L" threads",
                                   check.threads ? L"a count of threads" : kUnavailable));
}

}  // namespace

bool CheckFigures(const std::wstring& self, FigureCheck& check, std::wstring& error) {
  const std::wstring prefix = L"Plumora.process-stats." + std::to_wstring(::GetCurrentProcessId()) +
                              L"." + std::to_wstring(::GetTickCount64()) + L".";
  const framework::CHandle ready(
      ::CreateEventW(nullptr, TRUE, FALSE, EventName(prefix, L"ready").c_str()));
  const framework::CHandle take(
      ::CreateEventW(nullptr, TRUE, FALSE, EventName(prefix, L"take").c_str()));
  const framework::CHandle taken(
      ::CreateEventW(nullptr, TRUE, FALSE, EventName(prefix, L"taken").c_str()));
  const framework::CHandle end(
      ::CreateEventW(nullptr, TRUE, FALSE, EventName(prefix, L"end").c_str()));
  if (!ready || !take || !taken || !end) {
    error = L"could not create the helper's events";
    return false;
  }
  testing_support::ChildProcess helper(self, std::wstring(kHoldResourcesArgument) + L" " + prefix);
  if (!helper.Started()) {
    error = L"could not start the helper " + self;
    return false;
  }
  const auto waitFor = [&](const framework::CHandle& event) {
    const HANDLE objects[] = {event.Get(), helper.Handle()};
    return ::WaitForMultipleObjects(2, objects, FALSE, kStepTimeoutMs) == WAIT_OBJECT_0;
  };
  if (!waitFor(ready)) {
    error = L"the helper ended or hung before it was ready";
    return false;
  }
  const std::optional<ProcessFigures> before = ReadProcessFigures(helper.Id());
  ::SetEvent(take.Get());
  if (!waitFor(taken)) {
    error = L"the helper ended or hung while it took its resources";
    return false;
  }
  const std::optional<ProcessFigures> after = ReadProcessFigures(helper.Id());
  ::SetEvent(end.Get());
  if (helper.Wait(kStepTimeoutMs) != 0 || !before || !after) {
    error = L"the helper failed, or its figures could not be read";
    return false;
  }
  Judge(*before, *after, check);
  return true;
}

int HoldResources(const std::wstring& eventPrefix) {
  const auto open = [&](const wchar_t* step, DWORD access) {
    return framework::CHandle(::OpenEventW(access, FALSE, EventName(eventPrefix, step).c_str()));
  };
  const framework::CHandle ready = open(L"ready", EVENT_MODIFY_STATE);
  const framework::CHandle take = open(L"take", SYNCHRONIZE);
  const framework::CHandle taken = open(L"taken", EVENT_MODIFY_STATE);
  const framework::CHandle end = open(L"end", SYNCHRONIZE);
  if (!ready || !take || !taken || !end) return 2;

  WarmUp();
  ::SetEvent(ready.Get());
  if (::WaitForSingleObject(take.Get(), kStepTimeoutMs) != WAIT_OBJECT_0) return 1;

  std::vector<framework::CHandle> events;
  for (unsigned i = 0; i < kHeldHandles; ++i)
    events.emplace_back(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::vector<GdiObject> brushes;
  for (unsigned i = 0; i < kHeldGdiObjects; ++i)
    brushes.emplace_back(::CreateSolidBrush(RGB(i, i, i)));
  std::vector<Menu> menus;
  for (unsigned i = 0; i < kHeldUserObjects; ++i) menus.emplace_back(::CreateMenu());
  const Memory memory = TakePrivateMemory(kHeldPrivateBytes);
  const IdleThreads threads(kHeldThreads);
  // Give the new threads time to appear in the system's lists.
  ::Sleep(200);

  ::SetEvent(taken.Get());
  return ::WaitForSingleObject(end.Get(), kStepTimeoutMs) == WAIT_OBJECT_0 ? 0 : 1;
}

}  // namespace devtools
