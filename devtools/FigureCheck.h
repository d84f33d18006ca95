// Which of the process figures (ProcessFigures.h) this system really reports: a helper
// process (this program started with kHoldResourcesArgument) takes known amounts of
// handles, GDI and USER objects, private memory and threads, and is measured from outside
// before and after, as the processes under watch are. Under Wine some of the calls are
// stubs that answer zero whatever a process holds; the check tells those apart.
#pragma once

#include <string>
#include <vector>

namespace devtools {

inline constexpr wchar_t kHoldResourcesArgument[] = L"--hold-resources";

// What the helper takes.
inline constexpr unsigned kHeldHandles = 64;
inline constexpr unsigned kHeldGdiObjects = 16;
inline constexpr unsigned kHeldUserObjects = 8;
inline constexpr unsigned kHeldThreads = 4;
inline constexpr unsigned long long kHeldPrivateBytes = 64ull << 20;

struct FigureCheck {
  // Each true when the figure rose by what the helper took.
  bool handles = false;
  bool gdiObjects = false;
  bool userObjects = false;
  bool privateBytes = false;
  bool pagefileBytes = false;
  bool handleTable = false;
  bool listedHandles = false;
  bool threads = false;
  // One line per figure: by how much it rose and what that means.
  std::vector<std::wstring> findings;
};

// Runs the helper (the program file self) and measures it. False, with why in error, when
// the helper could not be started or did not follow.
bool CheckFigures(const std::wstring& self, FigureCheck& check, std::wstring& error);

// The helper's side, for the arguments after kHoldResourcesArgument: takes the amounts
// when told and holds them until told to end. The exit code.
int HoldResources(const std::wstring& eventPrefix);

}  // namespace devtools
