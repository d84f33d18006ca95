#include "testing/LogCapture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/Log.h"
#include "testing/TempFolder.h"
#include "testing/Text.h"

namespace testing_support {

namespace {

std::wstring LogFolderPath() {
  static const TempFolder folder(L"log");
  return folder.Path();
}

std::wstring LogFilePath() {
  return LogFolderPath() + L"\\records.log";
}

std::wstring FromUtf8(const std::string& text) {
  const int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0 && !text.empty()) return L"<log file is not valid UTF-8>";
  std::wstring out(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::string ReadBytesFrom(const std::wstring& path, unsigned long long offset) {
  std::ifstream in(path.c_str(), std::ios::binary);
  if (!in) return {};
  in.seekg(static_cast<std::streamoff>(offset));
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

unsigned long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Configures logging once, before the first test, exactly as the program does: through
// a properties file read by log4cplus.
class LoggingEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    // Forward slashes: log4cplus properties treat nothing specially in them.
    std::wstring logFile = LogFilePath();
    for (wchar_t& c : logFile)
      if (c == L'\\') c = L'/';
    const std::wstring properties =
        L"# Test logging: every record, one per line.\n"
        L"log4cplus.rootLogger=INFO, File\n"
        L"log4cplus.appender.File=log4cplus::FileAppender\n"
        L"log4cplus.appender.File.File=" +
        logFile +
        L"\n"
        L"log4cplus.appender.File.Locale=GLOBAL\n"
        L"log4cplus.appender.File.ImmediateFlush=true\n"
        L"log4cplus.appender.File.layout=log4cplus::PatternLayout\n"
        L"log4cplus.appender.File.layout.ConversionPattern=%p|%b|%L|%m%n\n";
    const std::wstring propertiesPath = LogFolderPath() + L"\\test.properties";
    std::ofstream(propertiesPath.c_str(), std::ios::binary) << Utf8(properties);
    applog::ConfigureLogging(propertiesPath.c_str());
  }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new LoggingEnvironment);

}  // namespace

LogCapture::LogCapture() : m_start(FileSize(LogFilePath())) {}

std::wstring LogCapture::Text() const {
  return FromUtf8(ReadBytesFrom(LogFilePath(), m_start));
}

int LogCapture::Count(const std::wstring& level, const std::wstring& module,
                      const std::wstring& message) const {
  return CountMatching(level, module, message, true);
}

int LogCapture::CountStartingWith(const std::wstring& level, const std::wstring& module,
                                  const std::wstring& messageStart) const {
  return CountMatching(level, module, messageStart, false);
}

int LogCapture::CountMatching(const std::wstring& level, const std::wstring& module,
                              const std::wstring& message, bool wholeText) const {
  std::wistringstream lines(Text());
  const std::wstring prefix = level + L"|" + module + L"|";
  int count = 0;
  for (std::wstring line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    // LEVEL|module|line|text
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    const size_t bar = line.find(L'|', prefix.size());
    if (bar == std::wstring::npos) continue;
    const std::wstring text = line.substr(bar + 1);
    if (wholeText ? text == message : text.compare(0, message.size(), message) == 0) ++count;
  }
  return count;
}

int LogCapture::CountAll() const {
  std::wistringstream lines(Text());
  int count = 0;
  for (std::wstring line; std::getline(lines, line);) ++count;
  return count;
}

}  // namespace testing_support
