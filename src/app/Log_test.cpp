#include "app/Log.h"

#include <gtest/gtest.h>
#include <log4cplus/logger.h>

#include "testing/LogCapture.h"

namespace applog {
namespace {

using testing_support::LogCapture;

TEST(Log, RecordsReachTheConfiguredFileWithLevelModuleLineAndChineseText) {
  const LogCapture log;
  const int line = __LINE__ + 1;
  LOG_INFO("Lumaret", L"begin to quillmesh %d 次, %ls", 3, L"示例影音文件");
  LOG_ERROR("CMyVideoPlayer", L"存储图像的空间太小，不能传输图像");

  const std::wstring text = log.Text();
  EXPECT_EQ(log.Count(L"INFO", L"Lumaret", L"begin to quillmesh 3 次, 示例影音文件"), 1) << text;
  EXPECT_EQ(log.Count(L"ERROR", L"CMyVideoPlayer", L"存储图像的空间太小，不能传输图像"), 1) << text;
  EXPECT_NE(text.find(L"INFO|Lumaret|" + std::to_wstring(line) + L"|"), std::wstring::npos) << text;
}

TEST(Log, DisabledLevelWritesNothingAndFormatsNothing) {
  log4cplus::Logger root = log4cplus::Logger::getRoot();
  const log4cplus::LogLevel previous = root.getLogLevel();
  root.setLogLevel(log4cplus::ERROR_LOG_LEVEL);

  const LogCapture log;
  int formatted = 0;
  EXPECT_FALSE(IsLogEnabled(LogLevel::Info));
  EXPECT_TRUE(IsLogEnabled(LogLevel::Error));
  LOG_INFO("Lumaret", L"not wanted %d", ++formatted);
  LOG_ERROR("Lumaret", L"wanted %d", ++formatted);
  root.setLogLevel(previous);

  EXPECT_EQ(formatted, 1);
  EXPECT_EQ(log.CountAll(), 1) << log.Text();
  EXPECT_EQ(log.Count(L"ERROR", L"Lumaret", L"wanted 1"), 1) << log.Text();
}

TEST(Log, OverlongTextIsCutNotLost) {
  const LogCapture log;
  const std::wstring longText(5000, L'长');
  LOG_ERROR("CMyVideoPlayer", L"%ls", longText.c_str());
  const std::wstring text = log.Text();
  EXPECT_EQ(log.CountAll(), 1) << text.substr(0, 200);
  EXPECT_NE(text.find(L"ERROR|CMyVideoPlayer|"), std::wstring::npos);
  EXPECT_NE(text.find(std::wstring(1000, L'长')), std::wstring::npos);
}

}  // namespace
}  // namespace applog
