// For test programs: log4cplus configured for real from a properties file that sends the
// root logger's records to a UTF-8 file, one record per line as "LEVEL|module|line|text".
#pragma once

#include <string>

namespace testing_support {

class LogCapture {
 public:
  // Starts a capture at the current end of the log.
  LogCapture();

  // The records written since the capture started, as text.
  std::wstring Text() const;

  // How many records of this level and module carry exactly this text.
  int Count(const std::wstring& level, const std::wstring& module,
            const std::wstring& message) const;

  // How many records of this level and module have a text that starts with this one.
  int CountStartingWith(const std::wstring& level, const std::wstring& module,
                        const std::wstring& messageStart) const;

  // How many records since the capture started, of any kind.
  int CountAll() const;

 private:
  int CountMatching(const std::wstring& level, const std::wstring& module,
                    const std::wstring& message, bool wholeText) const;

  unsigned long long m_start;
};

}  // namespace testing_support
