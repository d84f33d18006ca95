#include "feed/GraphBuildJob.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/ComScope.h"

namespace feed {

namespace {

// The thread of every job started, with its job's "ended" event, until the thread is gone.
class CJobThreads {
 public:
  CJobThreads() = default;
  CJobThreads(const CJobThreads&) = delete;
  CJobThreads& operator=(const CJobThreads&) = delete;
  // On the process's way out, before the threads that are left are ended with it.
  ~CJobThreads() { WaitForEnded(kExitWaitMs); }

  void Add(HANDLE thread, HANDLE ended) {
    std::lock_guard<std::mutex> guard(m_lock);
    DropGone();
    HANDLE endedCopy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), ended, ::GetCurrentProcess(), &endedCopy, SYNCHRONIZE,
                      FALSE, 0);
    m_threads.push_back({framework::CHandle(thread), framework::CHandle(endedCopy)});
  }

  bool WaitForEnded(DWORD ms) {
    const ULONGLONG deadline = ::GetTickCount64() + ms;
    std::lock_guard<std::mutex> guard(m_lock);
    bool allGone = true;
    for (const Entry& entry : m_threads) {
      if (!IsSignalled(entry.ended)) continue;  // still assembling: it may never return
      const ULONGLONG now = ::GetTickCount64();
      const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
      if (::WaitForSingleObject(entry.thread.Get(), left) != WAIT_OBJECT_0) allGone = false;
    }
    DropGone();
    return allGone;
  }

  size_t Left() {
    std::lock_guard<std::mutex> guard(m_lock);
    DropGone();
    return m_threads.size();
  }

 private:
  struct Entry {
    framework::CHandle thread;
    framework::CHandle ended;
  };

  // Once its job has ended, a thread only releases a graph it was left with, leaves COM
  // and returns: this is ample, and short enough not to hold up a quitting user.
  static constexpr DWORD kExitWaitMs = 5000;

  // A job whose event could not be copied counts as ended: its thread is waited for.
  static bool IsSignalled(const framework::CHandle& event) {
    return !event || ::WaitForSingleObject(event.Get(), 0) == WAIT_OBJECT_0;
  }

  void DropGone() {
    m_threads.erase(std::remove_if(m_threads.begin(), m_threads.end(),
                                   [](const Entry& entry) {
                                     return ::WaitForSingleObject(entry.thread.Get(), 0) ==
                                            WAIT_OBJECT_0;
                                   }),
                    m_threads.end());
  }

  std::mutex m_lock;
  std::vector<Entry> m_threads;
};

CJobThreads& JobThreads() {
  static CJobThreads threads;
  return threads;
}

}  // namespace

std::shared_ptr<CGraphBuildJob> CGraphBuildJob::Start(const GraphRecipe& recipe, bool fallBack,
                                                      const BuildNotice& notice, HRESULT& error) {
  auto job = std::make_shared<CGraphBuildJob>(recipe, fallBack, notice);
  if (!job->m_ended) {
    error = HRESULT_FROM_WIN32(::GetLastError());
    return nullptr;
  }
  // The thread owns a reference of its own: the job outlives an owner that left it.
  auto* threadReference = new std::shared_ptr<CGraphBuildJob>(job);
  HANDLE thread =
      ::CreateThread(nullptr, 0, &CGraphBuildJob::ThreadMain, threadReference, 0, nullptr);
  if (thread == nullptr) {
    error = HRESULT_FROM_WIN32(::GetLastError());
    delete threadReference;
    return nullptr;
  }
  JobThreads().Add(thread, job->m_ended.Get());
  error = S_OK;
  return job;
}

CGraphBuildJob::CGraphBuildJob(const GraphRecipe& recipe, bool fallBack, const BuildNotice& notice)
    : m_recipe(recipe),
      m_fallBack(fallBack),
      m_notice(notice),
      m_ended(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

DWORD WINAPI CGraphBuildJob::ThreadMain(void* param) {
  std::unique_ptr<std::shared_ptr<CGraphBuildJob>> job(
      static_cast<std::shared_ptr<CGraphBuildJob>*>(param));
  {
    const framework::CComScope com(COINIT_MULTITHREADED);
    (*job)->Build();
    // An abandoned graph goes here, before COM ends for this thread.
    job.reset();
  }
  return 0;
}

void CGraphBuildJob::Build() {
  GraphParts parts;
  HRESULT result = AssembleGraph(m_recipe, parts);
  if (FAILED(result) && m_fallBack) {
    // Whatever fails on the source route, the graph manager's own rendering of the whole
    // file gets a try, in a graph of its own.
    parts = GraphParts{};
    GraphRecipe wholeFile = m_recipe;
    wholeFile.renderWholeFile = true;
    result = AssembleGraph(wholeFile, parts);
  }

  {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_abandoned) {
      m_result = result;
      m_parts = std::move(parts);
    }
  }
  // Left behind, `parts` go with this scope, on this thread.
  ::SetEvent(m_ended.Get());
  if (m_notice.window != nullptr)
    ::PostMessageW(m_notice.window, m_notice.message, m_notice.ticket, 0);
}

bool CGraphBuildJob::WaitFor(DWORD ms) const {
  const DWORD start = ::GetTickCount();
  HANDLE ended = m_ended.Get();
  for (;;) {
    const DWORD waited = ::GetTickCount() - start;
    if (waited >= ms) return HasEnded();
    const DWORD woken = ::MsgWaitForMultipleObjects(1, &ended, FALSE, ms - waited, QS_SENDMESSAGE);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return HasEnded();
    // Only sent messages are answered: nothing posted runs inside the caller's call.
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

HRESULT CGraphBuildJob::Result() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_result;
}

GraphParts CGraphBuildJob::TakeParts() {
  std::lock_guard<std::mutex> guard(m_lock);
  return std::exchange(m_parts, GraphParts{});
}

bool CGraphBuildJob::WaitForEndedThreads(DWORD ms) {
  return JobThreads().WaitForEnded(ms);
}

size_t CGraphBuildJob::ThreadsLeft() {
  return JobThreads().Left();
}

void CGraphBuildJob::Abandon() {
  GraphParts left;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_abandoned = true;
    left = std::exchange(m_parts, GraphParts{});
  }
  // `left` is released here, outside the lock.
}

}  // namespace feed
