#include "moviemaker/AviOutputFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "moviemaker/AviReadBack.h"
#include "testing/FileBytes.h"
#include "testing/TempFolder.h"

namespace moviemaker {
namespace {

using Bytes = std::vector<BYTE>;

class AviOutputFileTest : public ::testing::Test {
 protected:
  // A file with its stream, compressed stream and a format of width x 1 pixels of 8 bits.
  HRESULT Open(LONGLONG largestBytes = kLargestAviFileBytes, int width = 4) {
    HRESULT result = CAviOutputFile::Create(m_path, m_file, largestBytes);
    if (FAILED(result)) return result;
    AVISTREAMINFOW info{};
    info.fccType = streamtypeVIDEO;
    info.fccHandler = comptypeDIB;
    info.dwScale = 1;
    info.dwRate = 25;
    ::SetRect(&info.rcFrame, 0, 0, width, 1);
    result = CAviOutputFile::CreateStream(m_file, info, m_raw);
    if (FAILED(result)) return result;
    AVICOMPRESSOPTIONS options{};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = comptypeDIB;
    options.dwKeyFrameEvery = 1;
    options.dwFlags = AVICOMPRESSF_KEYFRAMES;
    result = MakeCompressedStream(m_compressed, m_raw, options);
    if (FAILED(result)) return result;
    BITMAPINFOHEADER format{};
    format.biSize = sizeof format;
    format.biWidth = width;
    format.biHeight = 1;
    format.biPlanes = 1;
    format.biBitCount = 8;
    return m_compressed->SetFormat(0, &format, sizeof format);
  }
  void Release() {
    m_compressed.reset();
    m_raw.reset();
    m_file.reset();
  }

  const testing_support::TempFolder m_folder{L"avifile"};
  const std::wstring m_path = m_folder.File(L"out.avi");
  std::shared_ptr<CAviOutputFile> m_file;
  std::shared_ptr<CAviVideoStream> m_raw, m_compressed;
};

TEST_F(AviOutputFileTest, SamplesOfOddSizesReadBackWhole) {
  ASSERT_EQ(Open(), S_OK);
  const Bytes samples[] = {{1, 2, 3}, {4, 5, 6, 7, 8}, {9, 10, 11, 12}};
  LONG position = 0;
  for (const Bytes& sample : samples)
    ASSERT_EQ(
        m_compressed->Write(position++, 1, sample.data(), static_cast<LONG>(sample.size()), 0),
        S_OK);
  Release();
  EXPECT_EQ(testing_support::ReadFileBytes(m_path).size() % 2, 0u);
  const MovieOnDisk movie = ReadMovie(m_path);
  ASSERT_TRUE(movie.opened);
  EXPECT_EQ(movie.info.dwRate, 25u);
  ASSERT_EQ(movie.samples.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(movie.samples[i], samples[i]) << i;
    EXPECT_TRUE(movie.keyFrames[i]) << i;
  }
}

TEST_F(AviOutputFileTest, AFileWithoutSamplesIsAnEmptyMovie) {
  ASSERT_EQ(Open(), S_OK);
  Release();
  const MovieOnDisk movie = ReadMovie(m_path);
  ASSERT_TRUE(movie.opened);
  EXPECT_EQ(movie.samples.size(), 0u);
  EXPECT_EQ(movie.formatSize, 40);
}

TEST_F(AviOutputFileTest, TheFileStaysWithinItsLargestSizeAndWholeWhenFull) {
  constexpr LONGLONG kLargest = 10000;
  ASSERT_EQ(Open(kLargest, 1000), S_OK);
  const Bytes sample(1000, 0x5A);
  LONG written = 0;
  HRESULT result = S_OK;
  while (written < 100 &&
         SUCCEEDED(result = m_compressed->Write(written, 1, sample.data(), 1000, 0)))
    ++written;
  EXPECT_EQ(result, AVIERR_FILEWRITE);
  EXPECT_GT(written, 5);
  Release();
  EXPECT_LE(static_cast<LONGLONG>(testing_support::ReadFileBytes(m_path).size()), kLargest);
  const MovieOnDisk movie = ReadMovie(m_path);
  ASSERT_TRUE(movie.opened);
  EXPECT_EQ(movie.samples.size(), static_cast<size_t>(written));
  EXPECT_EQ(movie.samples.back(), sample);
}

TEST_F(AviOutputFileTest, WritesOutOfOrderAndLateFormatsAreRefused) {
  ASSERT_EQ(Open(), S_OK);
  const Bytes sample(4, 1);
  EXPECT_EQ(m_compressed->Write(1, 1, sample.data(), 4, 0), AVIERR_BADPARAM);
  EXPECT_EQ(m_compressed->Write(0, 2, sample.data(), 4, 0), AVIERR_BADPARAM);
  EXPECT_EQ(m_compressed->Write(0, 1, nullptr, 4, 0), AVIERR_BADPARAM);
  ASSERT_EQ(m_compressed->Write(0, 1, sample.data(), 4, 0), S_OK);
  BITMAPINFOHEADER format{};
  format.biSize = sizeof format;
  EXPECT_EQ(m_compressed->SetFormat(0, &format, sizeof format), AVIERR_BADFORMAT);
  std::shared_ptr<CAviVideoStream> second;
  AVISTREAMINFOW info{};
  info.fccType = streamtypeVIDEO;
  EXPECT_EQ(CAviOutputFile::CreateStream(m_file, info, second), AVIERR_UNSUPPORTED);
  Release();
  EXPECT_EQ(ReadMovie(m_path).samples.size(), 1u);
}

TEST_F(AviOutputFileTest, OnlyUncompressedVideoHasACompressor) {
  ASSERT_EQ(Open(), S_OK);
  AVICOMPRESSOPTIONS options{};
  options.fccType = streamtypeVIDEO;
  options.fccHandler = mmioFOURCC('M', 'J', 'P', 'G');
  std::shared_ptr<CAviVideoStream> compressed;
  EXPECT_EQ(MakeCompressedStream(compressed, m_raw, options), AVIERR_NOCOMPRESSOR);
  EXPECT_EQ(compressed, nullptr);
}

TEST_F(AviOutputFileTest, CreatingReportsTheSystemsFailure) {
  std::shared_ptr<CAviOutputFile> file;
  EXPECT_EQ(CAviOutputFile::Create(m_folder.File(L"missing\\out.avi"), file),
            HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(file, nullptr);
}

}  // namespace
}  // namespace moviemaker
