// The names of the camera studio's photographs and recordings, worked out from the names
// already on disk and the local date. No Win32: built for Windows and natively.
//
// Dated scheme: "S20120512_0001.jpg" and "M20120512_0001.avi" directly in the folder, the
// counter starting at 1 every day. Folder tree: folder\20120512\000\SingleShot0000.jpg,
// one group folder per thousand numbers, the numbers running on across groups.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace camera {

enum class OutputKind { Photograph, Recording };

// The number formatted with "%3d" or "%4d" and every space turned into 0: 7 gives 007 or
// 0007; a number with more digits than width stays as it is.
std::wstring ZeroPad(int width, std::int32_t number);

// "%04d%02d%02d" of year, month and day: 20120512.
std::wstring DateStamp(int year, int month, int day);

// Splits a dated name into its date and counter: "S20120512_0003.jpg" gives 20120512 and 3.
// The first character and the extension are not examined; the date is the text between
// the first character and the first "_", the counter what follows up to the last ".".
// Both must be digits only (either may be empty; an empty counter is 0).
bool ParseOutputFileName(std::wstring_view name, std::wstring& date, std::int32_t& counter);

struct DatedSlot {
  std::wstring date;
  std::int32_t counter;
};

// The date and counter after the latest dated name in a folder (empty when it has none):
// today and 1 on a new day, the next counter on the same day, and the next counter of a
// future date when the latest name lies in the future. Empty when the counter is exhausted.
std::optional<DatedSlot> NextDatedSlot(std::wstring_view latestName, const std::wstring& today);

// "S" or "M", the date, "_", the counter with at least four digits, ".jpg" or ".avi".
std::wstring DatedFileName(OutputKind kind, const DatedSlot& slot);

// "SingleShot" or "Movie", the prefix of the folder tree's names.
const wchar_t* TreePrefix(OutputKind kind);
// "jpg" or "avi".
const wchar_t* TreeExtension(OutputKind kind);

// What a name in a folder of the tree counts as. Without a prefix: the number of the whole
// name. With one: names not starting with it do not count (empty); otherwise the number of
// what follows the prefix up to the first "." (0 when there is no ".").
std::optional<std::int32_t> TreeNumberOf(std::wstring_view name, std::wstring_view prefix);

struct TreeSlot {
  std::int32_t group;
  std::int32_t number;
};

// The group folder and number after the largest group (-1 when the day has none) and the
// largest number in that group (-1 when it has none): the number goes on by one, into the
// next group when it reaches a multiple of 1000. Empty when the numbers are exhausted.
std::optional<TreeSlot> NextTreeSlot(std::int32_t largestGroup, std::int32_t largestNumber);

// The slot after slot, for when its name is taken.
std::optional<TreeSlot> FollowingTreeSlot(const TreeSlot& slot);

// The group folder and file name of slot: "000" and "SingleShot0000.jpg".
std::wstring TreeGroupName(const TreeSlot& slot);
std::wstring TreeFileName(OutputKind kind, const TreeSlot& slot);

}  // namespace camera
