#include "app/StorageRoot.h"

#include <gtest/gtest.h>

#include <ostream>

namespace app {
namespace {

struct RootCase {
  const wchar_t* chosen;
  const wchar_t* storageRoot;
  const wchar_t* productFolder;
};

// Names the case by its input in test listings.
void PrintTo(const RootCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(c.chosen);
}

class StorageRootTest : public ::testing::TestWithParam<RootCase> {};

TEST_P(StorageRootTest, NormalisesAndDerivesTheProductFolder) {
  const RootCase& c = GetParam();
  const std::wstring root = NormaliseStorageRoot(c.chosen);
  EXPECT_EQ(root, c.storageRoot);
  EXPECT_EQ(ProductFolderFor(root), c.productFolder);
  // Normalising twice changes nothing: a saved root reads back as it was saved.
  EXPECT_EQ(NormaliseStorageRoot(root), root);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StorageRootTest,
    ::testing::Values(RootCase{L"D:/Media//", L"D:\\Media", L"D:\\Media\\Plumora"},
                      RootCase{L"E:\\Plumora", L"E:\\Plumora", L"E:\\Plumora"},
                      RootCase{L"E:\\Plumora\\\\", L"E:\\Plumora", L"E:\\Plumora"},
                      RootCase{L"C:\\", L"C:", L"C:\\Plumora"},
                      RootCase{L"\\", L"\\", L"\\Plumora"}, RootCase{L"////", L"\\", L"\\Plumora"},
                      RootCase{L"", L"", L""},
                      RootCase{L"D:\\视频\\我的", L"D:\\视频\\我的", L"D:\\视频\\我的\\Plumora"},
                      RootCase{L"\\\\server\\share\\", L"\\\\server\\share",
                               L"\\\\server\\share\\Plumora"},
                      // Only a last folder named exactly Plumora is the product folder.
                      RootCase{L"D:\\MyPlumora", L"D:\\MyPlumora", L"D:\\MyPlumora\\Plumora"},
                      RootCase{L"D:\\plumora", L"D:\\plumora", L"D:\\plumora\\Plumora"},
                      RootCase{L"Plumora", L"Plumora", L"Plumora"}));

TEST(ProductFolderFor, TakesARootReadFromTheFileAsItStands) {
  // Values read from "config.ini" are not normalised; no doubled separator results.
  EXPECT_EQ(ProductFolderFor(L"D:\\Media\\"), L"D:\\Media\\Plumora");
  EXPECT_EQ(ProductFolderFor(L"D:/Media"), L"D:/Media\\Plumora");
  EXPECT_EQ(ProductFolderFor(L"E:\\Plumora\\"), L"E:\\Plumora\\");
}

}  // namespace
}  // namespace app
