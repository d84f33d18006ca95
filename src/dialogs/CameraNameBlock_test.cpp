#include "dialogs/CameraNameBlock.h"

#include <gtest/gtest.h>

namespace dialogs {
namespace {

std::u16string Text(const CameraNameBlock& block) {
  return CameraNameFromValue(block.data(), block.size());
}

TEST(CameraNameBlockTest, TheNameIsFollowedByZeroFillAndAlwaysEndsInAZero) {
  struct Case {
    std::u16string name;
    std::u16string stored;
  };
  const std::u16string ninetyNine(99, u'a');
  const char16_t grinning[] = u"\U0001F600";  // a surrogate pair
  const Case cases[] = {
      {u"", u""},
      {u"Virtual Camera", u"Virtual Camera"},
      {u"会议室摄像头 2", u"会议室摄像头 2"},
      {ninetyNine, ninetyNine},
      {ninetyNine + u"bc", ninetyNine},
      // The pair would be cut in half at 99 units: both halves go.
      {std::u16string(98, u'x') + grinning, std::u16string(98, u'x')},
      // A pair that ends at unit 99 stays whole.
      {std::u16string(97, u'x') + grinning + u"y", std::u16string(97, u'x') + grinning},
  };
  for (const Case& c : cases) {
    const CameraNameBlock block = MakeCameraNameBlock(c.name);
    EXPECT_EQ(Text(block), c.stored) << c.name.size();
    for (std::size_t i = c.stored.size(); i < block.size(); ++i)
      ASSERT_EQ(block[i], u'\0') << c.name.size() << " at " << i;
  }
  EXPECT_EQ(sizeof(CameraNameBlock), 200u);
}

TEST(CameraNameBlockTest, AValueIsReadUpToItsFirstZeroOrItsEnd) {
  const char16_t units[] = {u'a', u'b', u'\0', u'c'};
  EXPECT_EQ(CameraNameFromValue(units, 4), u"ab");
  EXPECT_EQ(CameraNameFromValue(units, 1), u"a");
  EXPECT_EQ(CameraNameFromValue(units, 0), u"");
}

}  // namespace
}  // namespace dialogs
