#pragma once
#include "engine/foundation/TransformNode.h"

class File;

// The rest placement read from a file (bind) and the placement animation and
// drawing work on (pose): the base of bones and model instances.
class C3METransformPair {
 public:
  C3METransformPair() = default;
  virtual ~C3METransformPair() = default;

  // Copies the other pair's pose, then its bind transform.
  void CopyFrom(const C3METransformPair& other);
  // Copies the bind transform into the pose transform.
  void ResetPose();
  // Writes the bind record (matrix only when the file is open for writing, not appending).
  void Write(File& file) const;
  // Reads the bind record; the pose is left for the owner to set.
  void Read(File& file);

  TransformNode bind;
  TransformNode pose;
};
