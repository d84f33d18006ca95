// The two playlists the crash tests and their saver process agree on. They differ in
// length and content, so that a file cut short or mixed is neither of them.
#pragma once

#include <string>

#include "mainwindow/PlaylistStore.h"

namespace mainwindow {

inline Playlist CrashTestList(const wchar_t* folder, int count) {
  Playlist list;
  for (int i = 0; i < count; ++i)
    list.push_back(std::wstring(folder) + L"\\clip" + std::to_wstring(i) + L" - take.avi");
  return list;
}

inline Playlist CrashTestListA() {
  return CrashTestList(L"C:\\Videos\\first list", 300);
}

inline Playlist CrashTestListB() {
  return CrashTestList(L"D:\\Media\\second", 120);
}

}  // namespace mainwindow
