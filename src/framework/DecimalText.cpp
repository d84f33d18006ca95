#include "framework/DecimalText.h"

#include <limits>

namespace framework {

namespace {

// The white space that iswspace accepts in the "C" locale.
bool IsSpace(wchar_t c) {
  return c == L' ' || (c >= L'\t' && c <= L'\r');
}

// Magnitudes are counted up to one past INT32_MAX, so that INT32_MIN fits too; larger
// ones stop there.
constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;

// A number as the text begins: white space, an optional sign, decimal digits.
struct LeadingNumber {
  bool negative = false;
  bool hasDigits = false;
  std::int64_t magnitude = 0;  // at most kLimit
  bool beyondLimit = false;    // the digits went past kLimit
  size_t end = 0;              // just after the last digit (or the sign, or the space)
};

LeadingNumber ReadLeadingNumber(std::wstring_view text) {
  LeadingNumber number;
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) number.negative = text[i++] == L'-';
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    number.hasDigits = true;
    number.magnitude = number.magnitude * 10 + (text[i] - L'0');
    if (number.magnitude > kLimit) {
      number.magnitude = kLimit;
      number.beyondLimit = true;
    }
  }
  number.end = i;
  return number;
}

}  // namespace

std::int32_t ParseDecimal(std::wstring_view text) {
  const LeadingNumber number = ReadLeadingNumber(text);
  if (number.negative) return static_cast<std::int32_t>(-number.magnitude);
  return static_cast<std::int32_t>(number.magnitude == kLimit ? kLimit - 1 : number.magnitude);
}

bool ParseWholeNumber(std::wstring_view text, std::int32_t& value) {
  const LeadingNumber number = ReadLeadingNumber(text);
  if (!number.hasDigits || number.beyondLimit || (!number.negative && number.magnitude == kLimit))
    return false;
  size_t i = number.end;
  while (i < text.size() && IsSpace(text[i])) ++i;
  if (i != text.size()) return false;
  value = static_cast<std::int32_t>(number.negative ? -number.magnitude : number.magnitude);
  return true;
}

}  // namespace framework
