#include "moviemaker/MovieNaming.h"

#include <gtest/gtest.h>

namespace moviemaker {
namespace {

TEST(MovieNaming, PicturesAndMoviesAreKnownByTheirExtensionAnywhereInThePath) {
  struct Case {
    const wchar_t* path;
    bool image, avi;
  };
  const Case cases[] = {
      {L"C:\\a\\photo.JPG", true, false},
      {L"C:\\a\\photo.png", true, false},
      {L"C:\\a\\scan.Bmp", true, false},
      {L"C:\\my.png.movie", true, false},    // anywhere, not only at the end
      {L"C:\\a\\photo.jpeg", false, false},  // ".jpeg" holds no ".jpg"
      {L"C:\\a\\anim.gif", false, false},
      {L"C:\\clips\\test.AVI", false, true},
      {L"C:\\clips.avi\\x", false, true},
      {L"C:\\a\\avi", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.path, c.path + wcslen(c.path)));
    EXPECT_EQ(IsImageFileName(c.path), c.image);
    EXPECT_EQ(ContainsAviExtension(c.path), c.avi);
  }
}

TEST(MovieNaming, AMoviePathGetsDotAviUnlessItHoldsAMovieOrPictureExtension) {
  EXPECT_EQ(MoviePath(L"D:\\clips", L"test"), L"D:\\clips\\test.avi");
  EXPECT_EQ(MoviePath(L"D:\\clips", L"test.AVI"), L"D:\\clips\\test.AVI");
  EXPECT_EQ(MoviePath(L"D:\\clips", L"my.png.movie"), L"D:\\clips\\my.png.movie");
  EXPECT_EQ(MoviePath(L"D:\\clips", L""), L"D:\\clips\\.avi");
  EXPECT_EQ(MoviePath(L"D:\\clips.avi", L"x"), L"D:\\clips.avi\\x");
}

TEST(MovieNaming, TheProposedNameCarriesTheLocalTime) {
  EXPECT_EQ(ProposedMovieName(2012, 5, 12, 8, 30, 5), L"视频_2012-05-12 08-30-05.avi");
  EXPECT_EQ(ProposedMovieName(2026, 12, 31, 23, 59, 59), L"视频_2026-12-31 23-59-59.avi");
}

}  // namespace
}  // namespace moviemaker
