#include "feed/FrameChannel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "feed/FrameLayout.h"
#include "framework/Handle.h"
#include "testing/LogCapture.h"
#include "testing/Process.h"
#include "testing/TempFolder.h"

namespace feed {
namespace {

using testing_support::LogCapture;

const std::wstring kLevel = L"ERROR";
const std::wstring kModule = L"CMyVideoPlayer";
const std::wstring kTooSmall = L"存储图像的空间太小，不能传输图像";

std::vector<BYTE> Pattern(size_t size, BYTE seed) {
  std::vector<BYTE> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>((i * 131 + seed) ^ (i >> 11));
  return bytes;
}

// What a reader in this process sees of a named block.
class BlockReader {
 public:
  explicit BlockReader(const std::wstring& name)
      : m_mapping(::OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str())) {
    if (m_mapping)
      m_view.Reset(::MapViewOfFile(m_mapping.Get(), FILE_MAP_READ, 0, 0, kFrameBlockBytes));
  }
  bool Open() const { return static_cast<bool>(m_view); }
  const BYTE* Bytes() const { return m_view.Bytes(); }
  std::uint16_t Width() const { return Field(0); }
  std::uint16_t Height() const { return Field(2); }
  bool PixelsEqual(size_t offset, const BYTE* expected, size_t size) const {
    return std::memcmp(Bytes() + kFrameHeaderBytes + offset, expected, size) == 0;
  }

 private:
  std::uint16_t Field(size_t offset) const {
    std::uint16_t value;
    std::memcpy(&value, Bytes() + offset, sizeof value);
    return value;
  }
  framework::CHandle m_mapping;
  framework::CMappedView m_view;
};

class FrameChannelTest : public ::testing::Test {
 protected:
  const std::wstring m_name = testing_support::UniqueName(L"channel");
  CFrameChannel m_channel{m_name};
};

TEST_F(FrameChannelTest, CapacityIsExactlyThreeThousandByTwoThousand) {
  const auto full = Pattern(3000 * 2000 * 3, 1);
  ASSERT_TRUE(m_channel.Write(full.data(), 3000, 2000));
  BlockReader reader(m_name);
  ASSERT_TRUE(reader.Open());
  EXPECT_EQ(reader.Width(), 3000);
  EXPECT_EQ(reader.Height(), 2000);
  EXPECT_TRUE(reader.PixelsEqual(0, full.data(), full.size()));

  const LogCapture log;
  const auto tooTall = Pattern(3000 * 2001 * 3, 2);
  EXPECT_FALSE(m_channel.Write(tooTall.data(), 3000, 2001));
  EXPECT_EQ(log.Count(kLevel, kModule, kTooSmall), 1) << log.Text();
  EXPECT_EQ(reader.Width(), 3000);
  EXPECT_EQ(reader.Height(), 2000);
  EXPECT_TRUE(reader.PixelsEqual(0, full.data(), full.size()));
}

TEST_F(FrameChannelTest, EmptyFrameWritesOnlyTheHeader) {
  const auto first = Pattern(8 * 8 * 3, 3);
  ASSERT_TRUE(m_channel.Write(first.data(), 8, 8));
  BlockReader reader(m_name);
  ASSERT_TRUE(reader.Open());

  const struct { int width, height; } empties[] = {{0, 5}, {7, 0}, {0, 0}};
  for (const auto& size : empties) {
    SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
    EXPECT_TRUE(m_channel.Write(first.data(), size.width, size.height));
    EXPECT_EQ(reader.Width(), size.width);
    EXPECT_EQ(reader.Height(), size.height);
    EXPECT_TRUE(reader.PixelsEqual(0, first.data(), first.size()));
  }
}

TEST_F(FrameChannelTest, SmallerFrameLeavesTheLargerOnesTail) {
  const auto large = Pattern(1280 * 720 * 3, 4);
  const auto small = Pattern(640 * 480 * 3, 5);
  ASSERT_TRUE(m_channel.Write(large.data(), 1280, 720));
  ASSERT_TRUE(m_channel.Write(small.data(), 640, 480));
  BlockReader reader(m_name);
  ASSERT_TRUE(reader.Open());
  EXPECT_EQ(reader.Width(), 640);
  EXPECT_EQ(reader.Height(), 480);
  EXPECT_TRUE(reader.PixelsEqual(0, small.data(), small.size()));  // bytes 4 .. 921603
  EXPECT_TRUE(
      reader.PixelsEqual(small.size(), large.data() + small.size(), large.size() - small.size()));
}

TEST_F(FrameChannelTest, PaddedRowsAreCopiedAsTheyAreUpToWidthTimesHeightTimesThree) {
  const int width = 642, height = 4;
  const size_t stride = Rgb24RowStride(width);  // 1928: two padding bytes per row
  const auto sample = Pattern(stride * height, 6);
  const auto before = Pattern(stride * height * 2, 7);
  ASSERT_TRUE(m_channel.Write(before.data(), width, height * 2));
  ASSERT_TRUE(m_channel.Write(sample.data(), width, height));

  BlockReader reader(m_name);
  ASSERT_TRUE(reader.Open());
  const size_t copied = static_cast<size_t>(width) * height * 3;
  // Row padding included: row 1 starts at 1928 in the block as in the sample.
  EXPECT_TRUE(reader.PixelsEqual(0, sample.data(), copied));
  // The sample's last bytes (the top row's tail) are not part of the frame: the
  // earlier, larger frame's bytes are still there.
  EXPECT_FALSE(reader.PixelsEqual(copied, sample.data() + copied, stride * height - copied));
  EXPECT_TRUE(reader.PixelsEqual(copied, before.data() + copied, stride * height - copied));
}

TEST_F(FrameChannelTest, NullPixelsAreRefusedSilently) {
  const LogCapture log;
  EXPECT_FALSE(m_channel.Write(nullptr, 640, 480));
  EXPECT_FALSE(m_channel.Write(nullptr, 0, 0));
  EXPECT_FALSE(m_channel.HasMapping());
  EXPECT_FALSE(BlockReader(m_name).Open());
  EXPECT_EQ(log.CountAll(), 0) << log.Text();
}

TEST_F(FrameChannelTest, SizesTheHeaderCannotHoldAreRefusedAndLogged) {
  const auto frame = Pattern(16 * 16 * 3, 8);
  ASSERT_TRUE(m_channel.Write(frame.data(), 16, 16));
  const auto wide = Pattern(65536 * 3, 9);

  const LogCapture log;
  EXPECT_FALSE(m_channel.Write(wide.data(), 65536, 1));
  EXPECT_FALSE(m_channel.Write(frame.data(), -16, -16));
  EXPECT_EQ(log.Count(kLevel, kModule, L"Frame size out of range width=65536 height=1"), 1)
      << log.Text();
  EXPECT_EQ(log.Count(kLevel, kModule, L"Frame size out of range width=-16 height=-16"), 1)
      << log.Text();

  BlockReader reader(m_name);
  ASSERT_TRUE(reader.Open());
  EXPECT_EQ(reader.Width(), 16);
  EXPECT_EQ(reader.Height(), 16);
  EXPECT_TRUE(reader.PixelsEqual(0, frame.data(), frame.size()));
}

TEST_F(FrameChannelTest, FailedCreationIsLoggedAndRetriedOnEveryFrame) {
  // A mutex holding the name makes creating a mapping of that name fail.
  framework::CHandle squatter(::CreateMutexW(nullptr, FALSE, m_name.c_str()));
  ASSERT_TRUE(squatter);
  const auto frame = Pattern(4 * 4 * 3, 10);

  const LogCapture log;
  EXPECT_FALSE(m_channel.Write(frame.data(), 4, 4));
  EXPECT_FALSE(m_channel.Write(frame.data(), 4, 4));
  EXPECT_FALSE(m_channel.HasMapping());
  const std::wstring expected =
      L"Could not create file mapping object error code=" + std::to_wstring(ERROR_INVALID_HANDLE);
  EXPECT_EQ(log.Count(kLevel, kModule, expected), 2) << log.Text();

  squatter.Reset();
  EXPECT_TRUE(m_channel.Write(frame.data(), 4, 4));
  EXPECT_TRUE(m_channel.HasMapping());
}

TEST_F(FrameChannelTest, SmallerExistingObjectFailsTheMappingUntilItIsGone) {
  // Another program made the object first, too small for a frame.
  framework::CHandle small(
      ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, m_name.c_str()));
  ASSERT_TRUE(small);
  const auto frame = Pattern(4 * 4 * 3, 11);

  const LogCapture log;
  EXPECT_FALSE(m_channel.Write(frame.data(), 4, 4));
  EXPECT_FALSE(m_channel.HasMapping());
  EXPECT_FALSE(m_channel.Write(frame.data(), 4, 4));
  EXPECT_EQ(log.CountStartingWith(kLevel, kModule, L"Could not map view of file error code="), 2)
      << log.Text();
  EXPECT_EQ(log.CountAll(), 2) << log.Text();

  small.Reset();
  EXPECT_TRUE(m_channel.Write(frame.data(), 4, 4));
  EXPECT_TRUE(m_channel.HasMapping());
  BlockReader reader(m_name);
  ASSERT_TRUE(reader.Open());
  EXPECT_TRUE(reader.PixelsEqual(0, frame.data(), frame.size()));
}

// The frame as another process reads it: channel-reader dumps header and pixels to a file.
std::vector<BYTE> DumpFromAnotherProcess(const std::wstring& name) {
  const testing_support::TempFolder folder(L"dump");
  const std::wstring dump = folder.File(L"frame.bin");
  const int exitCode =
      testing_support::RunProgram(testing_support::ProgramFolder() + L"\\channel-reader.exe",
                                  L"--name \"" + name + L"\" --dump \"" + dump + L"\"");
  EXPECT_EQ(exitCode, 0);
  std::ifstream in(dump.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<BYTE> ExpectedBlock(int width, int height, const std::vector<BYTE>& pixels) {
  std::vector<BYTE> block(4 + static_cast<size_t>(width) * height * 3);
  const std::uint16_t header[2] = {static_cast<std::uint16_t>(width),
                                   static_cast<std::uint16_t>(height)};
  std::memcpy(block.data(), header, sizeof header);
  std::memcpy(block.data() + 4, pixels.data(), block.size() - 4);
  return block;
}

TEST_F(FrameChannelTest, AnotherProcessReadsTheFramesHeaderAndPixels) {
  const struct {
    int width, height;
  } sizes[] = {{640, 480}, {642, 5}, {1, 1}, {0, 3}, {1920, 1080}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
    const auto sample = Pattern(Rgb24RowStride(size.width) * size.height + 1, 12);
    ASSERT_TRUE(m_channel.Write(sample.data(), size.width, size.height));
    EXPECT_EQ(DumpFromAnotherProcess(m_name), ExpectedBlock(size.width, size.height, sample));
  }
}

TEST(WriteFrame, FeedsTheCamerasNamedBlock) {
  const auto sample = Pattern(320 * 240 * 3, 13);
  ASSERT_TRUE(WriteFrame(sample.data(), 320, 240));
  EXPECT_EQ(DumpFromAnotherProcess(kFrameChannelName), ExpectedBlock(320, 240, sample));
  EXPECT_FALSE(WriteFrame(nullptr, 320, 240));
}

}  // namespace
}  // namespace feed
