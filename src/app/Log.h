// The program's one way to write log records: through the log4cplus root logger, with
// the level tested before any text is formatted. Appenders and layout come from the
// properties file that ConfigureLogging reads.
#pragma once

namespace applog {

enum class LogLevel : int {
  Info = 20000,   // log4cplus::INFO_LOG_LEVEL
  Error = 40000,  // log4cplus::ERROR_LOG_LEVEL
};

// Reads a log4cplus properties file into the default hierarchy. Wide records are written
// as UTF-8 by appenders configured with Locale=GLOBAL, because this sets the global
// C++ locale's wide conversion to UTF-8 first. A missing or unreadable file leaves
// logging unconfigured (records go nowhere); it is not an error.
void ConfigureLogging(const wchar_t* propertiesFile);

bool IsLogEnabled(LogLevel level);

// Formats with swprintf conventions and hands the record to the root logger, naming
// the source module and line. Use through LOG_INFO / LOG_ERROR, which test the level first.
void WriteLogRecord(LogLevel level, const char* module, int line, const wchar_t* format, ...);

}  // namespace applog

#define PLUMORA_LOG(level, module, ...)                               \
  do {                                                                \
    if (::applog::IsLogEnabled(level))                                \
      ::applog::WriteLogRecord(level, module, __LINE__, __VA_ARGS__); \
  } while (0)

#define LOG_INFO(module, ...) PLUMORA_LOG(::applog::LogLevel::Info, module, __VA_ARGS__)
#define LOG_ERROR(module, ...) PLUMORA_LOG(::applog::LogLevel::Error, module, __VA_ARGS__)
