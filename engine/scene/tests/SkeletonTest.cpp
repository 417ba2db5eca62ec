#include <gtest/gtest.h>

#include <string>

#include "engine/scene/anim/Skeleton.h"
#include "platform/TempFolder.h"
#include "support/SceneTestSupport.h"

namespace {

// Hips has Spine (with its own child Hand) and Leg: four bones, pre-order.
const char* const kSkeleton =
    "[BONES]\n"
    "[NBONES]4\n"
    "[RBONE] Hips [C] 2 [P] [0,1,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
    "[CBONE] Spine [C] 1 [P] [0,0.5,0] [R] (quat 0 0.7071068 0 0.7071068) [S] [2,2,2]\n"
    "[CBONE] Hand [C] 0 [P] [3,4,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
    "[CBONE] Leg [C] 0 [P] [0,-1,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
    "[END]\n";

class SkeletonFile : public ::testing::Test {
 protected:
  // Writes the text under a lower-case name and returns that name.
  std::string Write(const std::string& text, const std::string& name = "skeleton.txt") {
    const std::string path = folder_ / name;
    WriteFile(path, text);
    return path;
  }
  platform::ScopedTempFolder folder_{"scene-bones"};
  LogCapture log_{kLog3ME};
};

TEST_F(SkeletonFile, ReadsTreeDepthFirstUnderUpperCasedName) {
  const std::string path = Write(kSkeleton);
  C3MEBone root;
  ASSERT_TRUE(root.Read(String(path.c_str())));
  EXPECT_TRUE(log_.Contains("Loaded skeleton " + UpperName(path)));

  EXPECT_EQ(root.name, "Hips");
  EXPECT_EQ(root.parent, nullptr);
  ASSERT_EQ(root.childCount, 2u);
  const C3MEBone& spine = root.children[0];
  const C3MEBone& leg = root.children[1];
  EXPECT_EQ(spine.name, "Spine");
  EXPECT_EQ(leg.name, "Leg");
  EXPECT_EQ(spine.parent, &root);
  ASSERT_EQ(spine.childCount, 1u);
  EXPECT_EQ(spine.children[0].name, "Hand");
  EXPECT_EQ(spine.children[0].parent, &spine);
  EXPECT_EQ(leg.childCount, 0u);
  EXPECT_EQ(leg.children, nullptr);

  EXPECT_EQ(spine.bind.GetPosition(), Vector3(0, 0.5f, 0));
  EXPECT_FLOAT_EQ(spine.bind.GetRotation().y, 0.7071068f);
  // The scale in the file is not used.
  EXPECT_EQ(spine.bind.scale, Vector3(1, 1, 1));

  EXPECT_EQ(root.CountBones(), 4u);
  EXPECT_FLOAT_EQ(root.GetLength(), 0.5f);
  EXPECT_FLOAT_EQ(spine.GetLength(), 5.0f);
  EXPECT_FLOAT_EQ(leg.GetLength(), 0.0f);
  EXPECT_EQ(root.FindBone(String("Hand")), &spine.children[0]);
  EXPECT_EQ(root.FindBone(String("hand")), nullptr);
}

TEST_F(SkeletonFile, ZeroBonesReadNothingAndSucceed) {
  C3MEBone root;
  ASSERT_TRUE(root.SetChildCount(2));
  EXPECT_TRUE(root.Read(String(Write("[BONES]\n[NBONES]0\n[END]\n").c_str())));
  // Reading clears the old children even when the file has none.
  EXPECT_EQ(root.childCount, 0u);
  EXPECT_EQ(root.name, "Unknown");
}

TEST_F(SkeletonFile, CountBeyondTheTreeLetsTheNextRootReplaceIt) {
  const std::string text =
      "[BONES]\n[NBONES]4\n"
      "[RBONE] First [C] 1 [P] [0,0,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
      "[CBONE] A [C] 0 [P] [1,0,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
      "[RBONE] Second [C] 1 [P] [0,0,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
      "[CBONE] B [C] 0 [P] [2,0,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
      "[END]\n";
  C3MEBone root;
  ASSERT_TRUE(root.Read(String(Write(text).c_str())));
  EXPECT_EQ(root.name, "Second");
  ASSERT_EQ(root.childCount, 1u);
  EXPECT_EQ(root.children[0].name, "B");
  EXPECT_EQ(root.FindBone(String("A")), nullptr);
}

TEST_F(SkeletonFile, FailuresAreLoggedWithTheUpperCasedName) {
  struct Case {
    std::string text;
    std::string fileName;
    std::string expectedLine;  // a log line that must come out
  };
  const Case cases[] = {
      {kSkeleton, "bones.bne", "FAILED skeleton "},
      {kSkeleton, "bones.dat", "FAILED skeleton "},
      {"[BONE]\n[NBONES]0\n[END]\n", "header.txt", "FAILED skeleton "},
      {"[BONES]\n[NBONES]0\n", "noend.txt", "FAILED skeleton "},
      {"[BONES]\n[NBONES]1\n[RBONE] A [C] 4294967295 [P] [0,0,0]\n[END]\n", "wrap.txt", "child count exceeds the file"},
      {"[BONES]\n[NBONES]1\n[RBONE] A [C] -1\n[END]\n", "negative.txt", "child count exceeds the file"},
      {"[BONES]\n[NBONES]2147483647\n[END]\n", "count.txt", "bone count exceeds the file"},
  };
  for (const Case& c : cases) {
    const std::string path = Write(c.text, c.fileName);
    C3MEBone root;
    EXPECT_FALSE(root.Read(String(path.c_str()))) << c.fileName;
    EXPECT_TRUE(log_.Contains(c.expectedLine)) << c.fileName;
    EXPECT_TRUE(log_.Contains("FAILED skeleton " + UpperName(path))) << c.fileName;
  }
  C3MEBone root;
  EXPECT_FALSE(root.Read(String("")));
  EXPECT_TRUE(log_.Contains("C3MEBone::Read - ERROR : No filename!"));
  EXPECT_FALSE(root.Read(String((folder_ / "missing.txt").c_str())));
}

TEST_F(SkeletonFile, TruncatedFilesNeverCrashAndFail) {
  const std::string whole = kSkeleton;
  // Every cut that loses the end token must fail; the tree keeps what was read.
  for (size_t length = 0; length + 1 < whole.size(); ++length) {
    const std::string path = Write(whole.substr(0, length), "cut.txt");
    C3MEBone root;
    EXPECT_FALSE(root.Read(String(path.c_str()))) << length;
    EXPECT_LE(root.CountBones(), 4u);
  }
}

TEST_F(SkeletonFile, DeepAndWideTreesAreRefused) {
  const std::string placement = " [P] [0,1,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n";
  std::string deep = "[BONES]\n[NBONES]400\n[RBONE] B0 [C] 1" + placement;
  for (int i = 1; i < 400; ++i) deep += "[CBONE] B" + std::to_string(i) + " [C] 1" + placement;
  deep += "[END]\n";
  C3MEBone root;
  EXPECT_FALSE(root.Read(String(Write(deep, "deep.txt").c_str())));
  EXPECT_TRUE(log_.Contains("skeleton too deep"));

  // Many small lines fit the file but pass the bone budget.
  std::string wide = "[BONES]\n[NBONES]1\n[RBONE] R [C] 5000\n";
  for (int i = 0; i < 5000; ++i) wide += "[CBONE] b [C] 0\n";
  wide += "[END]\n";
  EXPECT_FALSE(root.Read(String(Write(wide, "wide.txt").c_str())));
  EXPECT_TRUE(log_.Contains("too many bones"));
}

TEST(Skeleton, FindBoneIsDepthFirstPreOrder) {
  // Root -> [X -> [Dup], Dup]: the deeper Dup under X comes first in pre-order.
  C3MEBone root;
  ASSERT_TRUE(root.SetChildCount(2));
  root.children[0].name = "X";
  root.children[1].name = "Dup";
  ASSERT_TRUE(root.children[0].SetChildCount(1));
  root.children[0].children[0].name = "Dup";
  EXPECT_EQ(root.FindBone(String("Dup")), &root.children[0].children[0]);
  root.name = "Dup";
  EXPECT_EQ(root.FindBone(String("Dup")), &root);
  EXPECT_EQ(root.CountBones(), 4u);
}

TEST(Skeleton, ResetPoseTreeAndSavedPose) {
  C3MEBone root;
  ASSERT_TRUE(root.SetChildCount(1));
  root.bind.SetPosition(1, 2, 3);
  root.children[0].bind.SetPosition(0, 5, 0);
  root.children[0].pose.SetPosition(9, 9, 9);
  root.ResetPoseTree();
  EXPECT_EQ(root.pose.GetPosition(), Vector3(1, 2, 3));
  EXPECT_EQ(root.children[0].pose.GetPosition(), Vector3(0, 5, 0));
  EXPECT_FLOAT_EQ(root.pose.local.m[13], 2.0f);

  EXPECT_EQ(root.savedPose, nullptr);
  root.SaveBlendPose();
  ASSERT_NE(root.savedPose, nullptr);
  EXPECT_EQ(root.savedPose->GetPosition(), Vector3(1, 2, 3));
}

}  // namespace
