// One graph assembled on a thread of its own, so that opening a file that never ends
// (a stalled network share, a parser that waits for ever on a damaged file) holds up no
// window: the owner waits as long as it likes and then leaves the job behind.
//
// The graph manager is free-threaded and creates the filters it inserts on a thread of
// its own, so the graph the job built can be used from the owner's thread afterwards.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>

#include "feed/GraphAssembly.h"
#include "framework/Handle.h"

namespace feed {

// How the owner hears that the job has ended: `message` with `ticket` in wParam is
// posted to `window`. No window: the owner waits with WaitFor.
struct BuildNotice {
  HWND window = nullptr;
  UINT message = 0;
  WPARAM ticket = 0;
};

class CGraphBuildJob {
 public:
  // Starts assembling the recipe's graph; with `fallBack` the whole-file route follows a
  // failed source route. Null when the thread could not start, `error` saying why.
  static std::shared_ptr<CGraphBuildJob> Start(const GraphRecipe& recipe, bool fallBack,
                                               const BuildNotice& notice, HRESULT& error);

  CGraphBuildJob(const GraphRecipe& recipe, bool fallBack, const BuildNotice& notice);
  CGraphBuildJob(const CGraphBuildJob&) = delete;
  CGraphBuildJob& operator=(const CGraphBuildJob&) = delete;

  const GraphRecipe& Recipe() const { return m_recipe; }
  WPARAM Ticket() const { return m_notice.ticket; }

  // Waits up to `ms` for the end, answering messages sent to the calling thread's windows
  // meanwhile (the renderer may send to the video window); whether the job has ended.
  bool WaitFor(DWORD ms) const;
  bool HasEnded() const { return ::WaitForSingleObject(m_ended.Get(), 0) == WAIT_OBJECT_0; }

  // Once ended: the assembly's result, and the parts it built (moved out, success or not).
  HRESULT Result() const;
  GraphParts TakeParts();

  // Nobody wants the graph any more: whatever the job built is released, now if it has
  // ended, else by its thread when the assembly returns.
  void Abandon();

  // Waits up to `ms` for the threads of jobs that have ended to be gone too; a job still
  // assembling (a stalled file) is not waited for. Whether every ended job's thread is
  // gone. The process does this on its way out as well, so that no job's thread is still
  // ending (leaving COM, detaching from the libraries) while the process ends around it.
  static bool WaitForEndedThreads(DWORD ms);
  // The jobs' threads that have not been seen to end yet, a stalled one's included.
  static size_t ThreadsLeft();

 private:
  static DWORD WINAPI ThreadMain(void* job);
  void Build();

  const GraphRecipe m_recipe;
  const bool m_fallBack;
  const BuildNotice m_notice;
  framework::CHandle m_ended;  // manual-reset event

  mutable std::mutex m_lock;
  bool m_abandoned = false;
  HRESULT m_result = E_PENDING;
  GraphParts m_parts;
};

}  // namespace feed
