#include <gtest/gtest.h>

#include "engine/foundation/File.h"
#include "engine/scene/core/TransformPair.h"
#include "engine/scene/model/Instance.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"
#include "support/SceneTestSupport.h"

namespace {

// Bytes of one binary record: the leading integer and the matrix, then
// position, radius, three position copies, rotation and three spare groups.
constexpr uint64_t kMatrixBytes = 64;
constexpr uint64_t kRecordBytes = 2 + kMatrixBytes + 12 + 4 + 36 + 16 + (2 + 16) + (2 + 16) + (2 + 28);

C3METransformPair MakePair() {
  C3METransformPair pair;
  pair.bind.centre = Vector3(1.0f, -2.5f, 3.0f);
  pair.bind.radius = 7.0f;
  pair.bind.rotation.SetAxisAngle(Vector3(0, 1, 0), 0.5f);
  pair.bind.RebuildMatrix();
  pair.pose.centre = Vector3(9, 9, 9);
  return pair;
}

TEST(TransformPair, BinaryRecordRoundTrips) {
  platform::ScopedTempFolder folder("scene-pair");
  const std::string path = folder / "pair.bin";
  const C3METransformPair written = MakePair();
  {
    File file;
    ASSERT_TRUE(file.OpenWrite(path.c_str()) & File::kOpen);
    written.Write(file);
  }
  uint64_t size = 0;
  ASSERT_TRUE(platform::FileSizeOnDisk(path, size));
  EXPECT_EQ(size, kRecordBytes);
  C3METransformPair read;
  File file;
  ASSERT_TRUE(file.OpenRead(path.c_str()) & File::kOpen);
  read.Read(file);
  EXPECT_EQ(read.bind.centre, written.bind.centre);
  EXPECT_EQ(read.bind.radius, 7.0f);
  EXPECT_EQ(read.bind.rotation.y, written.bind.rotation.y);
  EXPECT_EQ(read.bind.rotation.w, written.bind.rotation.w);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(read.bind.local.m[i], written.bind.local.m[i]) << i;
  EXPECT_EQ(read.pose.centre, Vector3());  // the pose is not part of the record
  read.ResetPose();
  EXPECT_EQ(read.pose.centre, written.bind.centre);
}

TEST(TransformPair, AppendingLeavesOutTheMatrixAndShortFilesStop) {
  platform::ScopedTempFolder folder("scene-pair");
  const std::string path = folder / "pair.bin";
  {
    File file;
    ASSERT_TRUE(file.OpenAppend(path.c_str()) & File::kOpen);
    MakePair().Write(file);
  }
  uint64_t size = 0;
  ASSERT_TRUE(platform::FileSizeOnDisk(path, size));
  EXPECT_EQ(size, kRecordBytes - kMatrixBytes);

  // A file too short for the matrix closes on it; nothing after is read.
  WriteFile(folder / "short.bin", std::vector<uint8_t>(10, 0x41));
  C3METransformPair read = MakePair();
  File file;
  ASSERT_TRUE(file.OpenRead((folder / "short.bin").c_str()) & File::kOpen);
  read.Read(file);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(file.GetFlags() & File::kTransferFailed);
  EXPECT_EQ(read.bind.centre, MakePair().bind.centre);
  EXPECT_EQ(read.bind.radius, 7.0f);
}

TEST(InstanceRecord, BinaryRoundTripAndHostileChildCount) {
  platform::ScopedTempFolder folder("scene-instance");
  const std::string path = folder / "instance.bin";
  C3MEInstance instance;
  instance.name = "arm";
  instance.componentId = 3;
  instance.tag = 12;
  ASSERT_TRUE(instance.ReserveChildren(2));
  instance.AddChild(4);
  instance.AddChild(6);
  {
    File file(File::kTerminatedStrings);
    ASSERT_TRUE(file.OpenWrite(path.c_str()) & File::kOpen);
    instance.Write(file);
  }
  File file;
  ASSERT_TRUE(file.OpenRead(path.c_str()) & File::kOpen);
  C3MEInstance read;
  ASSERT_TRUE(read.Read(file));
  EXPECT_TRUE(read.name == "arm");
  EXPECT_EQ(read.componentId, 3);
  EXPECT_EQ(read.tag, 12);
  ASSERT_EQ(read.childCount, 2u);
  EXPECT_EQ(read.childIds[1], 6);

  // A child count far beyond the bytes left is refused without allocating it.
  Bytes hostile;
  hostile.Str("bad").I32(0).I32(0).I32(0x7FFFFFFF);
  hostile.data.resize(hostile.data.size() + kRecordBytes, 0);
  WriteFile(folder / "hostile.bin", hostile.data);
  File bad;
  ASSERT_TRUE(bad.OpenRead((folder / "hostile.bin").c_str()) & File::kOpen);
  C3MEInstance refused;
  EXPECT_FALSE(refused.Read(bad));
  EXPECT_EQ(refused.childCount, 0u);
}

}  // namespace
