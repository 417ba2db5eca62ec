#include "physics/body/dgConstraint.h"

void dgConstraint::ResetToDefaults() {
  solverWords[0] = solverWords[1] = solverWords[2] = 0;
  maxDOF = kMaxDOF;
  rowCode = 9;
  solverWord = 0;
}

void dgBilateralConstraint::SetStiffness(float stiffness) {
  if (!(stiffness >= 0.0f)) stiffness = 0.0f;
  if (stiffness > 1.0f) stiffness = 1.0f;
  stiffnessCode = 5.0f - 4.0f * stiffness;
}

void dgBilateralConstraint::ResetToDefaults() {
  dgConstraint::ResetToDefaults();
  localMatrix0 = dgGetIdentityMatrix();
  localMatrix1 = dgGetIdentityMatrix();
  SetStiffness(kDefaultStiffness);
  for (float& force : rowForce) force = 0.0f;
}

void dgBilateralConstraint::NotifyRelease() const {
  if (userCallback) userCallback(this);
}
