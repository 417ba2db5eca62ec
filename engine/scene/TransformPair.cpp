#include "engine/scene/TransformPair.h"

void C3METransformPair::CopyFrom(const C3METransformPair& other) {
    pose.Copy(other.pose);
    bind.Copy(other.bind);
}

void C3METransformPair::ResetPose() { pose.Copy(bind); }
