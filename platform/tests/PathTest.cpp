#include <gtest/gtest.h>

#include <fstream>

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/TempFolder.h"

namespace {

class PathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(root_.Path().empty());
    ASSERT_TRUE(platform::MakeFolder(root_ / "Resources"));
    ASSERT_TRUE(platform::MakeFolder(root_ / "Resources/Fonts"));
    std::ofstream(root_ / "Resources/Fonts/NewDefault.png") << "png";
  }
  platform::ScopedTempFolder root_{"vyre-path"};
};

TEST_F(PathTest, ResolvesComponentsIgnoringCaseAndSlashDirection) {
  const std::string expected = root_ / "Resources/Fonts/NewDefault.png";
  const char* written[] = {
      "Resources/Fonts/NewDefault.png",
      "resources\\fonts\\newdefault.png",
      "RESOURCES/FONTS\\NEWDEFAULT.PNG",
      "Resources//Fonts/newDEFAULT.png",
  };
  for (const char* name : written) {
    EXPECT_EQ(platform::ResolvePath(root_.Path() + "/" + name), expected) << name;
  }
}

TEST_F(PathTest, MissingComponentsKeepTheirSpelling) {
  // An existing folder found by case, then a file about to be created.
  EXPECT_EQ(platform::ResolvePath(root_.Path() + "\\resources\\fonts\\New.TXT"), root_ / "Resources/Fonts/New.TXT");
  // Nothing below a missing folder is looked up.
  EXPECT_EQ(platform::ResolvePath(root_.Path() + "/Missing/fonts/x"), root_ / "Missing/fonts/x");
  EXPECT_EQ(platform::ResolvePath(""), "");
}

TEST_F(PathTest, ExactNameWinsOverCaseInsensitiveMatch) {
  std::ofstream(root_ / "Resources/readme") << "lower";
  std::ofstream(root_ / "Resources/README") << "upper";
  EXPECT_EQ(platform::ResolvePath(root_.Path() + "/resources/README"), root_ / "Resources/README");
  EXPECT_EQ(platform::ResolvePath(root_.Path() + "/resources/readme"), root_ / "Resources/readme");
}

}  // namespace
