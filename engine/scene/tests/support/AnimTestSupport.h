#pragma once
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"

// A key-frame file of frames 0..frameCount-1 with one key per named bone;
// bone b of frame f sits at (f + 10 b, 2 f, 0) with no rotation.
inline std::string KeysText(int frameCount, const std::vector<std::string>& bones) {
  std::string text = "[KEYS]\n[NFRAMES]" + std::to_string(frameCount) + "f\n";
  for (int f = 0; f < frameCount; ++f) {
    text += "[FRAME]" + std::to_string(f) + " [@]" + std::to_string(f * 0.1) + "f [KEYS]" +
            std::to_string(bones.size()) + "\n";
    for (size_t b = 0; b < bones.size(); ++b)
      text += "\t[BONE] " + bones[b] + " [P] [" + std::to_string(f + 10 * int(b)) + "," + std::to_string(2 * f) +
              ",0] [R] (quat 0 0 0 1) [S] [1,1,1]\n";
  }
  return text + "[END]\n";
}

// A skeleton file of a root "Root" with one child "Arm" at (0, 1, 0).
inline std::string TwoBoneSkeletonText() {
  return "[BONES]\n[NBONES]2\n"
         "[RBONE] Root [C] 1 [P] [0,0,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
         "[CBONE] Arm [C] 0 [P] [0,1,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
         "[END]\n";
}
