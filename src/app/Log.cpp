#include "app/Log.h"

#include <log4cplus/configurator.h>
#include <log4cplus/logger.h>

#include <codecvt>
#include <cstdarg>
#include <cwchar>
#include <locale>

namespace applog {

namespace {

// The root logger, obtained once; log4cplus serialises records from several threads.
log4cplus::Logger& RootLogger() {
  static log4cplus::Logger root = log4cplus::Logger::getRoot();
  return root;
}

void UseUtf8ForWideStreams() {
  // MinGW's C++ library knows no named locales, so the UTF-8 conversion is added as a
  // facet. codecvt_utf8 is deprecated but is the standard facet that does exactly this.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  std::locale::global(std::locale(std::locale::classic(), new std::codecvt_utf8<wchar_t>));
#pragma GCC diagnostic pop
}

}  // namespace

void ConfigureLogging(const wchar_t* propertiesFile) {
  UseUtf8ForWideStreams();
  log4cplus::PropertyConfigurator::doConfigure(propertiesFile,
                                               log4cplus::Logger::getDefaultHierarchy(), 0);
}

bool IsLogEnabled(LogLevel level) {
  return RootLogger().isEnabledFor(static_cast<log4cplus::LogLevel>(level));
}

void WriteLogRecord(LogLevel level, const char* module, int line, const wchar_t* format, ...) {
  wchar_t text[1024];
  va_list args;
  va_start(args, format);
  const int written = std::vswprintf(text, sizeof text / sizeof text[0], format, args);
  va_end(args);
  // vswprintf fails when the text is longer than the buffer: keep what fits.
  if (written < 0) text[sizeof text / sizeof text[0] - 1] = L'\0';
  RootLogger().forcedLog(static_cast<log4cplus::LogLevel>(level), text, module, line);
}

}  // namespace applog
