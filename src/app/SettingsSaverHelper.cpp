// The other process of the settings crash test: saves the two crash-test records into a
// configuration file in turn until it is killed.
//   settings-saver CONFIG EVENT   sets the named event once the first save is done
#include <windows.h>

#include "app/SettingCrashRecords.h"
#include "app/SettingStore.h"
#include "framework/Handle.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const framework::CHandle ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]));
  if (!ready) return 2;
  app::CSettingStore* store = app::CSettingStore::InstanceFor(argv[1]);
  for (bool first = true;; first = false) {
    if (!store->Save(app::CrashTestSettings(true))) return 1;
    if (first) ::SetEvent(ready.Get());
    if (!store->Save(app::CrashTestSettings(false))) return 1;
  }
}
