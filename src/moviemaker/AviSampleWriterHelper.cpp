// Writes a known movie for readers other than AVIFile (see AviMovieWriter_ffprobe_test.sh):
//   avi-sample-writer FOLDER
// FOLDER\movie.avi: six 640 x 480 frames at 1 frame per second through CAviMovieWriter;
// FOLDER\expected.raw: the same frames top row first, as decoders hand them out.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/SettingStore.h"
#include "moviemaker/AviMovieWriter.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const std::wstring folder = argv[1];
  // The default settings, whatever lies beside the program.
  app::CSettingStore::InstanceFor(folder + L"\\no-config.ini");

  constexpr int kWidth = 640, kHeight = 480, kFrames = 6, kRow = kWidth * 3;
  std::ofstream expected((folder + L"\\expected.raw").c_str(), std::ios::binary);
  {
    moviemaker::CAviMovieWriter writer(folder + L"\\movie.avi", 1);
    std::vector<BYTE> frame(static_cast<size_t>(kRow) * kHeight);
    for (int index = 0; index < kFrames; ++index) {
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
          BYTE* pixel = &frame[static_cast<size_t>(y) * kRow + x * 3];
          pixel[0] = static_cast<BYTE>(x ^ index);
          pixel[1] = static_cast<BYTE>(y + index * 7);
          pixel[2] = static_cast<BYTE>(x + y + index * 40);
        }
      if (writer.AppendFrame(kWidth, kHeight, frame.data()) != S_OK) return 1;
      // Stored bottom row first: the last row in memory is the top of the picture.
      for (int y = kHeight - 1; y >= 0; --y)
        expected.write(reinterpret_cast<const char*>(&frame[static_cast<size_t>(y) * kRow]), kRow);
    }
  }
  app::CSettingStore::DestroyInstance();
  return expected ? 0 : 1;
}
