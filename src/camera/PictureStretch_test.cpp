#include "camera/PictureStretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <vector>

namespace camera {
namespace {

using Pixel = std::array<std::uint8_t, 4>;  // blue, green, red, alpha as the layout has them

// A picture held top row first without padding, in one of the layouts.
struct Picture {
  int width = 0, height = 0;
  PixelLayout layout = PixelLayout::Bgr;
  std::vector<std::uint8_t> bytes;

  Picture(int w, int h, PixelLayout l)
      : width(w), height(h), layout(l), bytes(static_cast<size_t>(w) * h * BytesPerPixel(l)) {}

  std::ptrdiff_t Stride() const {
    return static_cast<std::ptrdiff_t>(width * BytesPerPixel(layout));
  }
  std::uint8_t* At(int x, int y) { return bytes.data() + y * Stride() + x * BytesPerPixel(layout); }
  Pixel Get(int x, int y) {
    Pixel pixel{0, 0, 0, 255};
    std::copy_n(At(x, y), BytesPerPixel(layout), pixel.begin());
    return pixel;
  }
  void Set(int x, int y, Pixel pixel) {
    std::copy_n(pixel.begin(), BytesPerPixel(layout), At(x, y));
  }
  void Fill(const std::function<Pixel(int, int)>& colourAt) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) Set(x, y, colourAt(x, y));
  }
  PixelsView View() const { return {bytes.data(), width, height, Stride()}; }
  PixelsTarget Target() { return {bytes.data(), width, height, Stride()}; }
};

Picture Stretched(const Picture& source, int width, int height) {
  Picture target(width, height, source.layout);
  EXPECT_TRUE(StretchPixels(source.View(), target.Target(), source.layout));
  return target;
}

::testing::AssertionResult Near(Pixel actual, Pixel expected, int tolerance) {
  for (size_t c = 0; c < actual.size(); ++c)
    if (std::abs(actual[c] - expected[c]) > tolerance)
      return ::testing::AssertionFailure()
             << "got " << int(actual[0]) << "," << int(actual[1]) << "," << int(actual[2]) << ","
             << int(actual[3]) << " for " << int(expected[0]) << "," << int(expected[1]) << ","
             << int(expected[2]) << "," << int(expected[3]);
  return ::testing::AssertionSuccess();
}

constexpr PixelLayout kLayouts[] = {PixelLayout::Bgr, PixelLayout::Bgrx, PixelLayout::BgraStraight,
                                    PixelLayout::BgraPremultiplied};

// Sizes the program stretches between: 1280 x 720 to 640 x 480, small pictures over a
// whole frame, odd ratios, one pixel each way.
struct SizeCase {
  int fromWidth, fromHeight, toWidth, toHeight;
};
constexpr SizeCase kSizes[] = {{1280, 720, 640, 480}, {100, 100, 320, 240}, {7, 5, 13, 3},
                               {1, 1, 9, 4},          {640, 480, 1, 1},     {33, 17, 33, 17},
                               {3, 400, 300, 2}};

TEST(StretchPixels, AFlatColourStaysExactlyThatColourAtEverySizeAndLayout) {
  const Pixel colour{37, 201, 90, 255};
  for (PixelLayout layout : kLayouts) {
    for (const SizeCase& size : kSizes) {
      SCOPED_TRACE(testing::Message()
                   << static_cast<int>(layout) << ": " << size.fromWidth << "x" << size.fromHeight
                   << " to " << size.toWidth << "x" << size.toHeight);
      Picture source(size.fromWidth, size.fromHeight, layout);
      source.Fill([&](int, int) { return colour; });
      Picture target = Stretched(source, size.toWidth, size.toHeight);
      for (int y = 0; y < target.height; ++y)
        for (int x = 0; x < target.width; ++x) ASSERT_TRUE(Near(target.Get(x, y), colour, 0));
    }
  }
}

TEST(StretchPixels, AtTheSameSizeEveryPixelIsKept) {
  Picture source(31, 9, PixelLayout::Bgr);
  source.Fill([](int x, int y) {
    return Pixel{static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 28),
                 static_cast<std::uint8_t>((x * 37 + y * 91) % 256), 255};
  });
  EXPECT_EQ(Stretched(source, 31, 9).bytes, source.bytes);
}

// A picture shrunk to half must average the pixels under each new one: one-pixel stripes
// of black and white become an even grey, not black, white or bands of both.
TEST(StretchPixels, ShrinkingAveragesFineDetailInsteadOfSamplingIt) {
  for (const SizeCase& size :
       {SizeCase{1280, 720, 640, 480}, SizeCase{400, 400, 100, 100}, SizeCase{300, 300, 70, 70}}) {
    SCOPED_TRACE(testing::Message() << size.fromWidth << " to " << size.toWidth);
    Picture source(size.fromWidth, size.fromHeight, PixelLayout::Bgr);
    source.Fill([](int x, int y) {
      const std::uint8_t v = (x + y) % 2 == 0 ? 255 : 0;
      return Pixel{v, v, v, 255};
    });
    Picture target = Stretched(source, size.toWidth, size.toHeight);
    // Mirrored, the border pixels repeat once, which breaks the checkerboard there.
    for (int y = 2; y < target.height - 2; ++y)
      for (int x = 2; x < target.width - 2; ++x)
        ASSERT_TRUE(Near(target.Get(x, y), Pixel{128, 128, 128, 255}, 12)) << x << "," << y;
  }
}

// Four coloured quadrants: each keeps its colour up to the picture's edges and corners
// (nothing from outside darkens them), and the quadrants' borders stay where they were.
TEST(StretchPixels, QuadrantsKeepTheirColoursToTheEdgesAndTheirBordersInPlace) {
  const Pixel colours[2][2] = {{{0, 0, 255, 255}, {0, 255, 0, 255}},
                               {{255, 0, 0, 255}, {255, 255, 255, 255}}};
  for (const SizeCase& size :
       {SizeCase{100, 100, 320, 240}, SizeCase{1280, 720, 640, 480}, SizeCase{64, 48, 640, 480}}) {
    SCOPED_TRACE(testing::Message() << size.fromWidth << " to " << size.toWidth);
    Picture source(size.fromWidth, size.fromHeight, PixelLayout::Bgrx);
    source.Fill(
        [&](int x, int y) { return colours[y * 2 / size.fromHeight][x * 2 / size.fromWidth]; });
    Picture target = Stretched(source, size.toWidth, size.toHeight);
    const int w = target.width, h = target.height;
    const struct {
      int x, y, row, column;
    } checks[] = {{0, 0, 0, 0},         {w - 1, 0, 0, 1},        {0, h - 1, 1, 0},
                  {w - 1, h - 1, 1, 1}, {w / 4, h / 4, 0, 0},    {w / 2 - 8, h / 2 + 8, 1, 0},
                  {w / 2 + 8, 0, 0, 1}, {3 * w / 4, h - 1, 1, 1}};
    for (const auto& check : checks) {
      Pixel expected = colours[check.row][check.column];
      Pixel actual = target.Get(check.x, check.y);
      actual[3] = expected[3] = 0;  // the unused fourth byte
      EXPECT_TRUE(Near(actual, expected, 0)) << check.x << "," << check.y;
    }
  }
}

// Catmull-Rom reproduces straight ramps: an enlarged gradient is a gradient, without the
// steps of sampling or the overshoot of a sharpening filter.
TEST(StretchPixels, AnEnlargedRampRisesEvenlyWithoutOvershoot) {
  Picture source(16, 1, PixelLayout::Bgr);
  source.Fill([](int x, int) {
    const auto v = static_cast<std::uint8_t>(x * 16);
    return Pixel{v, v, v, 255};
  });
  Picture target = Stretched(source, 160, 1);
  for (int x = 1; x < 160; ++x) ASSERT_GE(target.Get(x, 0)[0], target.Get(x - 1, 0)[0]) << x;
  // Away from the mirrored ends each new pixel is exactly on the line through the old ones.
  for (int x = 20; x < 140; ++x) {
    const double expected = ((x + 0.5) / 10 - 0.5) * 16;
    ASSERT_NEAR(target.Get(x, 0)[0], expected, 1.0) << x;
  }
  // The ends keep the ramp's end colours.
  EXPECT_NEAR(target.Get(0, 0)[0], 0, 2);
  EXPECT_NEAR(target.Get(159, 0)[0], 240, 3);
}

// The hidden colour of transparent pixels must not show at their visible neighbours' edge.
TEST(StretchPixels, TransparentPixelsLendNoColourToTheirNeighbours) {
  for (PixelLayout layout : {PixelLayout::BgraStraight, PixelLayout::BgraPremultiplied}) {
    SCOPED_TRACE(static_cast<int>(layout));
    Picture source(8, 8, layout);
    const Pixel hidden = layout == PixelLayout::BgraStraight ? Pixel{0, 255, 0, 0}  // green
                                                             : Pixel{0, 0, 0, 0};
    source.Fill([&](int x, int) { return x < 4 ? Pixel{0, 0, 255, 255} : hidden; });
    Picture target = Stretched(source, 30, 5);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 30; ++x) {
        const Pixel pixel = target.Get(x, y);
        if (pixel[3] == 0) continue;
        if (layout == PixelLayout::BgraStraight) {
          EXPECT_LE(pixel[1], 2) << "green at " << x << "," << y;
          EXPECT_GE(pixel[2], 250) << "red faded at " << x << "," << y;
        } else {
          EXPECT_LE(pixel[2], pixel[3]) << x << "," << y;
        }
      }
      EXPECT_TRUE(Near(target.Get(0, y), Pixel{0, 0, 255, 255}, 0));
      EXPECT_EQ(target.Get(29, y)[3], 0);
    }
  }
}

// Rows may run bottom-up, as in a Windows bitmap: the same picture comes out.
TEST(StretchPixels, BottomUpRowsGiveTheSamePicture) {
  Picture source(50, 30, PixelLayout::Bgr);
  source.Fill([](int x, int y) {
    return Pixel{static_cast<std::uint8_t>(x * 5), static_cast<std::uint8_t>(y * 8),
                 static_cast<std::uint8_t>(x * y % 256), 255};
  });
  const Picture expected = Stretched(source, 23, 41);

  Picture flippedSource(50, 30, PixelLayout::Bgr), flippedTarget(23, 41, PixelLayout::Bgr);
  for (int y = 0; y < 30; ++y)
    std::copy_n(source.At(0, y), source.Stride(), flippedSource.At(0, 29 - y));
  const PixelsView view{flippedSource.At(0, 29), 50, 30, -flippedSource.Stride()};
  const PixelsTarget target{flippedTarget.At(0, 40), 23, 41, -flippedTarget.Stride()};
  ASSERT_TRUE(StretchPixels(view, target, PixelLayout::Bgr));
  for (int y = 0; y < 41; ++y)
    ASSERT_TRUE(std::equal(expected.bytes.begin() + y * expected.Stride(),
                           expected.bytes.begin() + (y + 1) * expected.Stride(),
                           flippedTarget.At(0, 40 - y)))
        << y;
}

TEST(StretchPixels, RefusesEmptyAndAbsurdSizesWithoutWritingAnything) {
  std::vector<std::uint8_t> source(16 * 16 * 4, 200), target(16 * 16 * 4, 7);
  const struct {
    PixelsView from;
    PixelsTarget to;
  } bad[] = {
      {{nullptr, 4, 4, 16}, {target.data(), 4, 4, 16}},
      {{source.data(), 4, 4, 16}, {nullptr, 4, 4, 16}},
      {{source.data(), 0, 4, 16}, {target.data(), 4, 4, 16}},
      {{source.data(), 4, -1, 16}, {target.data(), 4, 4, 16}},
      {{source.data(), 4, 4, 16}, {target.data(), 0, 4, 16}},
      {{source.data(), 4, 4, 16}, {target.data(), 4, -4, 16}},
      // A filter of more taps than any picture needs, and a picture between the passes
      // too big to hold: refused before touching the (here too small) buffers.
      {{source.data(), 1 << 30, 1, 0}, {target.data(), 1, 1, 0}},
      {{source.data(), 1 << 15, 1 << 15, 0}, {target.data(), 1 << 15, 1 << 15, 0}},
  };
  for (const auto& c : bad) {
    EXPECT_FALSE(StretchPixels(c.from, c.to, PixelLayout::BgraStraight));
    EXPECT_TRUE(std::all_of(target.begin(), target.end(), [](std::uint8_t b) { return b == 7; }));
  }
}

}  // namespace
}  // namespace camera
