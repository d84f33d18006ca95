// The movie maker's rules for file names, without Win32: which paths count as pictures or
// movies, the path a new movie gets and the name proposed for it.
#pragma once

#include <string>

namespace moviemaker {

// Whether a lower-cased copy of path holds ".jpg", ".bmp" or ".png" anywhere.
bool IsImageFileName(const std::wstring& path);
// Whether a lower-cased copy of path holds ".avi" anywhere.
bool ContainsAviExtension(const std::wstring& path);

// folder\name, with ".avi" appended unless the path already holds ".avi" or a picture's
// extension somewhere.
std::wstring MoviePath(const std::wstring& folder, const std::wstring& name);

// "视频_2012-05-12 08-30-05.avi" for that local time.
std::wstring ProposedMovieName(int year, int month, int day, int hour, int minute, int second);

// The file pickers' patterns for the pictures the strip can draw.
constexpr const wchar_t* kPicturePatterns = L"*.jpg;*.jpeg;*.png;*.bmp;*.gif";

}  // namespace moviemaker
