#include "moviemaker/AviMovieWriter.h"

#include <windows.h>

#include <vfw.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/SettingStore.h"
#include "feed/ErrorMessageText.h"
#include "framework/SystemMessage.h"
#include "moviemaker/AviReadBack.h"
#include "testing/FileBytes.h"
#include "testing/TempFolder.h"

namespace moviemaker {
namespace {

using testing_support::FileExists;
using Frame = std::vector<BYTE>;

// A 24-bit frame whose every byte depends on its position and on the frame's index.
Frame PatternFrame(int width, int height, int index) {
  Frame frame(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      BYTE* pixel = &frame[(static_cast<size_t>(y) * width + x) * 3];
      pixel[0] = static_cast<BYTE>(x ^ index);
      pixel[1] = static_cast<BYTE>(y + index * 7);
      pixel[2] = static_cast<BYTE>(x + y + index * 40);
    }
  return frame;
}

class AviMovieWriterTest : public ::testing::Test {
 protected:
  AviMovieWriterTest() { UseMovieResolution(1); }
  ~AviMovieWriterTest() override { app::CSettingStore::DestroyInstance(); }

  void UseMovieResolution(int movieResolution) {
    app::CSettingStore::DestroyInstance();
    const std::wstring config = m_folder.File(L"config.ini");
    testing_support::WriteFileBytes(
        config, "[usingsetting]\r\nmovieresolution=" + std::to_string(movieResolution) + "\r\n");
    app::CSettingStore::InstanceFor(config);
  }

  const testing_support::TempFolder m_folder{L"movie"};
  const std::wstring m_movie = m_folder.File(L"影片.avi");
};

TEST_F(AviMovieWriterTest, SixFramesAtOneFramePerSecondReadBackExactly) {
  std::vector<Frame> frames;
  {
    CAviMovieWriter writer(m_movie, 1);
    for (int i = 0; i < 6; ++i) {
      frames.push_back(PatternFrame(640, 480, i));
      ASSERT_EQ(writer.AppendFrame(640, 480, frames.back().data()), S_OK) << i;
    }
    EXPECT_STREQ(writer.GetLastErrorText(), L"Method Succeeded");
    EXPECT_EQ(writer.GetOutputPath(), m_movie);
  }
  const MovieOnDisk movie = ReadMovie(m_movie);
  ASSERT_TRUE(movie.opened);
  EXPECT_EQ(movie.info.fccType, streamtypeVIDEO);
  EXPECT_EQ(movie.info.dwRate, 1u);
  EXPECT_EQ(movie.info.dwScale, 1u);
  EXPECT_EQ(movie.info.rcFrame.left, 0);
  EXPECT_EQ(movie.info.rcFrame.top, 0);
  EXPECT_EQ(movie.info.rcFrame.right, 640);
  EXPECT_EQ(movie.info.rcFrame.bottom, 480);
  EXPECT_EQ(movie.info.dwLength, 6u);
  EXPECT_EQ(movie.info.fccHandler, comptypeDIB);
  EXPECT_EQ(movie.info.dwQuality, 0xFFFFFFFFu);
  // AVIFile reports the largest sample as the buffer size; the stream header in the file
  // holds the size of the writer's frame buffer.
  const std::string bytes = testing_support::ReadFileBytes(m_movie);
  const size_t streamHeader = bytes.find("strh");
  ASSERT_NE(streamHeader, std::string::npos);
  DWORD suggestedBufferSize = 0;
  std::memcpy(&suggestedBufferSize, &bytes[streamHeader + 8 + 36], 4);
  EXPECT_EQ(suggestedBufferSize,
            static_cast<DWORD>(std::max(640, ::GetSystemMetrics(SM_CXSCREEN)) *
                               std::max(480, ::GetSystemMetrics(SM_CYSCREEN)) * 4));
  EXPECT_STREQ(movie.info.szName, L"Video Stream");
  EXPECT_EQ(movie.formatSize, 40);
  EXPECT_EQ(movie.format.biWidth, 640);
  EXPECT_EQ(movie.format.biHeight, 480);
  EXPECT_EQ(movie.format.biPlanes, 1);
  EXPECT_EQ(movie.format.biBitCount, 24);
  EXPECT_EQ(movie.format.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(movie.format.biSizeImage, 640u * 480 * 3);
  ASSERT_EQ(movie.samples.size(), 6u);
  for (size_t i = 0; i < frames.size(); ++i) {
    EXPECT_TRUE(movie.keyFrames[i]) << i;
    ASSERT_EQ(movie.samples[i].size(), 640u * 480 * 3) << i;
    EXPECT_TRUE(movie.samples[i] == frames[i]) << "frame " << i << " differs";
  }
}

TEST_F(AviMovieWriterTest, ARecordingAtTwelveFramesPerSecond) {
  {
    CAviMovieWriter writer(m_movie, 12);
    for (int i = 0; i < 24; ++i)
      ASSERT_EQ(writer.AppendFrame(320, 240, PatternFrame(320, 240, i).data()), S_OK);
  }
  const MovieOnDisk movie = ReadMovie(m_movie);
  ASSERT_TRUE(movie.opened);
  EXPECT_EQ(movie.info.dwRate, 12u);
  EXPECT_EQ(movie.info.dwScale, 1u);
  EXPECT_EQ(movie.info.rcFrame.right, 320);
  EXPECT_EQ(movie.info.rcFrame.bottom, 240);
  ASSERT_EQ(movie.samples.size(), 24u);
  EXPECT_TRUE(movie.samples[23] == PatternFrame(320, 240, 23));
}

TEST_F(AviMovieWriterTest, TheSettleCheckSwallowsTheFirstThreeFramesAtTheSmallResolution) {
  for (const int movieResolution : {0, 1}) {
    SCOPED_TRACE(movieResolution);
    UseMovieResolution(movieResolution);
    {
      CAviMovieWriter writer(m_movie, 1);
      for (int i = 0; i < 5; ++i)
        EXPECT_EQ(writer.AppendFrame(64, 48, PatternFrame(64, 48, i).data()), S_OK) << i;
    }
    const MovieOnDisk movie = ReadMovie(m_movie);
    ASSERT_TRUE(movie.opened);
    if (movieResolution == 0) {
      ASSERT_EQ(movie.samples.size(), 2u);
      EXPECT_TRUE(movie.samples[0] == PatternFrame(64, 48, 3));
      EXPECT_TRUE(movie.samples[1] == PatternFrame(64, 48, 4));
    } else {
      ASSERT_EQ(movie.samples.size(), 5u);
      EXPECT_TRUE(movie.samples[0] == PatternFrame(64, 48, 0));
    }
  }
}

TEST_F(AviMovieWriterTest, NothingIsCreatedBeforeTheFirstFrame) {
  {
    CAviMovieWriter writer(m_movie, 1);
    EXPECT_STREQ(writer.GetLastErrorText(), L"Method Succeeded");
  }
  EXPECT_FALSE(FileExists(m_movie));
}

TEST_F(AviMovieWriterTest, AMissingFolderFailsTheFirstFrameWithTheSystemsText) {
  const std::wstring nowhere = m_folder.File(L"missing\\movie.avi");
  // The code the system gives for this path, asked independently of the writer.
  std::shared_ptr<CAviOutputFile> probe;
  const HRESULT openFailure = CAviOutputFile::Create(nowhere, probe);
  ASSERT_EQ(openFailure, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
  // The system's own words for it (without their line break), not the decoder hint.
  const std::wstring systemText = framework::SystemMessageText(ERROR_PATH_NOT_FOUND);
  ASSERT_FALSE(feed::ErrorMessageText(openFailure).empty());
  ASSERT_EQ(systemText.rfind(feed::ErrorMessageText(openFailure), 0), 0u)
      << "not the system's text";

  CAviMovieWriter writer(nowhere, 1);
  const Frame frame = PatternFrame(64, 48, 0);
  EXPECT_EQ(writer.AppendFrame(64, 48, frame.data()), E_FAIL);
  EXPECT_EQ(writer.GetLastErrorText(), feed::ErrorMessageText(openFailure));
  EXPECT_FALSE(FileExists(nowhere));
  // Released for good: later calls fail and leave the text alone.
  EXPECT_EQ(writer.AppendFrame(64, 48, frame.data()), E_FAIL);
  EXPECT_EQ(writer.AppendFrame(64, 48, frame.data()), E_FAIL);
  EXPECT_EQ(writer.AppendFrame(64, 48, frame.data()), E_FAIL);
  EXPECT_EQ(writer.GetLastErrorText(), feed::ErrorMessageText(openFailure));
  EXPECT_FALSE(FileExists(nowhere));
}

TEST_F(AviMovieWriterTest, CloseMovieCompletesTheFileAndEndsTheWriter) {
  CAviMovieWriter writer(m_movie, 1);
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(writer.AppendFrame(64, 48, PatternFrame(64, 48, i).data()), S_OK);
  writer.CloseMovie();
  writer.CloseMovie();
  EXPECT_EQ(writer.AppendFrame(64, 48, PatternFrame(64, 48, 3).data()), E_FAIL);
  EXPECT_STREQ(writer.GetLastErrorText(), L"Method Succeeded");

  // Complete on disk while the writer object still lives.
  const MovieOnDisk movie = ReadMovie(m_movie);
  ASSERT_TRUE(movie.opened);
  ASSERT_EQ(movie.samples.size(), 3u);
  EXPECT_TRUE(movie.samples[2] == PatternFrame(64, 48, 2));
}

TEST_F(AviMovieWriterTest, CloseMovieBeforeAnyFrameLeavesNoFile) {
  CAviMovieWriter writer(m_movie, 1);
  writer.CloseMovie();
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(writer.AppendFrame(64, 48, PatternFrame(64, 48, i).data()), E_FAIL);
  EXPECT_STREQ(writer.GetLastErrorText(), L"Method Succeeded");
  EXPECT_FALSE(FileExists(m_movie));
}

// A DIB section of the given depth whose pixels are pattern frame 'index' (24 bit) or the
// same bytes with a fourth byte per pixel (32 bit).
struct DibSection {
  HBITMAP bitmap = nullptr;
  BYTE* bits = nullptr;
  size_t size = 0;
  DibSection(int width, int height, WORD bitsPerPixel, int index) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = static_cast<BYTE*>(pixels);
    size = static_cast<size_t>(width) * height * bitsPerPixel / 8;
    const Frame pattern = PatternFrame(width, height, index);
    if (bits == nullptr) return;
    for (size_t i = 0; i < size; ++i) bits[i] = pattern[i % pattern.size()] ^ (i / pattern.size());
  }
  ~DibSection() { ::DeleteObject(bitmap); }
  Frame Bytes() const { return Frame(bits, bits + size); }
};

TEST_F(AviMovieWriterTest, BitmapsAreWrittenInTheirOwnDepth) {
  for (const WORD depth : {24, 32}) {
    SCOPED_TRACE(depth);
    std::vector<Frame> written;
    {
      CAviMovieWriter writer(m_movie, 1);
      for (int i = 0; i < 3; ++i) {
        const DibSection dib(64, 48, depth, i);
        ASSERT_NE(dib.bitmap, nullptr);
        ASSERT_EQ(writer.AppendBitmap(dib.bitmap), S_OK) << writer.GetLastErrorText();
        written.push_back(dib.Bytes());
      }
    }
    const MovieOnDisk movie = ReadMovie(m_movie);
    ASSERT_TRUE(movie.opened);
    EXPECT_EQ(movie.format.biBitCount, depth);
    EXPECT_EQ(movie.format.biWidth, 64);
    EXPECT_EQ(movie.format.biHeight, 48);
    ASSERT_EQ(movie.samples.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(movie.samples[i] == written[i]) << i;
  }
}

TEST_F(AviMovieWriterTest, AFrameUnlikeTheFirstIsRefusedAndTheMovieGoesOn) {
  {
    CAviMovieWriter writer(m_movie, 1);
    ASSERT_EQ(writer.AppendFrame(64, 48, PatternFrame(64, 48, 0).data()), S_OK);
    // Larger than the frame buffer would hold, if the screen were small.
    const Frame huge = PatternFrame(2048, 2048, 1);
    EXPECT_EQ(writer.AppendFrame(2048, 2048, huge.data()), E_FAIL);
    EXPECT_STREQ(writer.GetLastErrorText(),
                 L"Video Frame Differs from the First Frame of the Movie");
    EXPECT_EQ(writer.AppendFrame(64, 48, nullptr), E_FAIL);
    const DibSection otherSize(32, 32, 24, 2);
    EXPECT_EQ(writer.AppendBitmap(otherSize.bitmap), E_FAIL);
    EXPECT_EQ(writer.AppendFrame(64, 48, PatternFrame(64, 48, 3).data()), S_OK);
  }
  const MovieOnDisk movie = ReadMovie(m_movie);
  ASSERT_EQ(movie.samples.size(), 2u);
  EXPECT_TRUE(movie.samples[1] == PatternFrame(64, 48, 3));
}

TEST_F(AviMovieWriterTest, AnUnusableFirstFrameEndsTheWriterWithoutAFile) {
  const struct {
    int width, height;
    bool pixels;
    const wchar_t* text;
  } cases[] = {{64, 48, false, L"No Pixels in the Video Frame"},
               {0, 48, true, L"Invalid Video Frame Size"},
               {-64, 48, true, L"Invalid Video Frame Size"},
               {100000, 100000, true, L"Invalid Video Frame Size"}};
  const Frame frame = PatternFrame(64, 48, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    CAviMovieWriter writer(m_movie, 1);
    EXPECT_EQ(writer.AppendFrame(c.width, c.height, c.pixels ? frame.data() : nullptr), E_FAIL);
    EXPECT_STREQ(writer.GetLastErrorText(), c.text);
    EXPECT_EQ(writer.AppendFrame(64, 48, frame.data()), E_FAIL);
    EXPECT_FALSE(FileExists(m_movie));
  }
  CAviMovieWriter noBitmap(m_movie, 1);
  EXPECT_EQ(noBitmap.AppendBitmap(nullptr), E_FAIL);
  EXPECT_STREQ(noBitmap.GetLastErrorText(), L"Invalid Video Frame Size");
}

TEST_F(AviMovieWriterTest, AnOutputPathLongerThanMaxPathIsRefused) {
  const std::wstring longPath = m_folder.File(std::wstring(260, L'm') + L".avi");
  CAviMovieWriter writer(longPath, 1);
  EXPECT_EQ(writer.GetOutputPath(), longPath);
  EXPECT_EQ(writer.AppendFrame(64, 48, PatternFrame(64, 48, 0).data()), E_FAIL);
  EXPECT_STREQ(writer.GetLastErrorText(), L"Output Path Is Too Long");
}

TEST_F(AviMovieWriterTest, AnExistingFileIsReplaced) {
  ASSERT_TRUE(testing_support::WriteFileBytes(m_movie, std::string(100000, 'x')));
  {
    CAviMovieWriter writer(m_movie, 1);
    ASSERT_EQ(writer.AppendFrame(64, 48, PatternFrame(64, 48, 0).data()), S_OK);
  }
  const MovieOnDisk movie = ReadMovie(m_movie);
  ASSERT_TRUE(movie.opened);
  EXPECT_EQ(movie.samples.size(), 1u);
}

}  // namespace
}  // namespace moviemaker
