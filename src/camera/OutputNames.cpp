#include "camera/OutputNames.h"

#include <limits>

#include "framework/DecimalText.h"

namespace camera {

namespace {

constexpr std::int32_t kLargestNumber = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kGroupSize = 1000;

bool AllDigits(std::wstring_view text) {
  for (const wchar_t c : text)
    if (c < L'0' || c > L'9') return false;
  return true;
}

}  // namespace

std::wstring ZeroPad(int width, std::int32_t number) {
  std::wstring text = std::to_wstring(number);
  if (text.size() < static_cast<size_t>(width)) text.insert(0, width - text.size(), L'0');
  return text;
}

std::wstring DateStamp(int year, int month, int day) {
  return ZeroPad(4, year) + ZeroPad(2, month) + ZeroPad(2, day);
}

bool ParseOutputFileName(std::wstring_view name, std::wstring& date, std::int32_t& counter) {
  const size_t underscore = name.find(L'_');
  if (underscore == std::wstring_view::npos) return false;
  // The first character (S or M) is skipped, unless the name starts with the "_" itself.
  const std::wstring_view dateText = name.substr(0, underscore).substr(underscore > 0 ? 1 : 0);
  if (!AllDigits(dateText)) return false;

  std::wstring_view rest = name.substr(underscore + 1);
  const size_t dot = rest.rfind(L'.');
  if (dot != std::wstring_view::npos && dot != 0) rest = rest.substr(0, dot);
  if (!AllDigits(rest)) return false;

  date.assign(dateText);
  counter = framework::ParseDecimal(rest);
  return true;
}

std::optional<DatedSlot> NextDatedSlot(std::wstring_view latestName, const std::wstring& today) {
  std::wstring date;
  std::int32_t counter = 0;
  if (latestName.empty() || !ParseOutputFileName(latestName, date, counter) || today > date)
    return DatedSlot{today, 1};
  // The same day, or a file dated in the future: its numbering goes on.
  if (counter == kLargestNumber) return std::nullopt;
  return DatedSlot{date, counter + 1};
}

std::wstring DatedFileName(OutputKind kind, const DatedSlot& slot) {
  const bool photograph = kind == OutputKind::Photograph;
  return (photograph ? L"S" : L"M") + slot.date + L"_" + ZeroPad(4, slot.counter) +
         (photograph ? L".jpg" : L".avi");
}

const wchar_t* TreePrefix(OutputKind kind) {
  return kind == OutputKind::Photograph ? L"SingleShot" : L"Movie";
}

const wchar_t* TreeExtension(OutputKind kind) {
  return kind == OutputKind::Photograph ? L"jpg" : L"avi";
}

std::optional<std::int32_t> TreeNumberOf(std::wstring_view name, std::wstring_view prefix) {
  if (prefix.empty()) return framework::ParseDecimal(name);
  if (name.substr(0, prefix.size()) != prefix) return std::nullopt;
  const std::wstring_view rest = name.substr(prefix.size());
  const size_t dot = rest.find(L'.');
  if (dot == std::wstring_view::npos) return 0;
  return framework::ParseDecimal(rest.substr(0, dot));
}

std::optional<TreeSlot> NextTreeSlot(std::int32_t largestGroup, std::int32_t largestNumber) {
  const TreeSlot last{largestGroup < 0 ? 0 : largestGroup, largestNumber < -1 ? -1 : largestNumber};
  return FollowingTreeSlot(last);
}

std::optional<TreeSlot> FollowingTreeSlot(const TreeSlot& slot) {
  if (slot.number == kLargestNumber) return std::nullopt;
  TreeSlot next{slot.group, slot.number + 1};
  if (next.number > 0 && next.number % kGroupSize == 0) {
    if (next.group == kLargestNumber) return std::nullopt;
    ++next.group;
  }
  return next;
}

std::wstring TreeGroupName(const TreeSlot& slot) {
  return ZeroPad(3, slot.group);
}

std::wstring TreeFileName(OutputKind kind, const TreeSlot& slot) {
  return TreePrefix(kind) + ZeroPad(4, slot.number) + L"." + TreeExtension(kind);
}

}  // namespace camera
