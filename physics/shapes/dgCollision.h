#pragma once
// Abstract base of every collision shape: an offset matrix placing the shape
// in its body's frame, a signature by which the world's shape cache knows
// equal shapes, a fixed shape kind that chooses the contact routine, and the
// operations through which the world and the contact code use any shape.

#include <cstdint>

#include "physics/math/dgMatrix.h"
#include "physics/memory/dgRef.h"

class dgBody;
struct dgContact;

// Called once per face by ForEachFace: the body given, the vertex count, the
// vertices as x, y, z float triples 12 bytes apart, the face id (0 for convex shapes).
using dgFaceCallback = void (*)(const dgBody* body, int vertexCount, const float* vertices, int faceId);
// Fills outPlane (normal, distance) for a shape's user data, a context and the
// shape's global matrix; returns nonzero when it filled the plane.
using dgPlaneCallback = int (*)(void* userData, void* context, const dgMatrix& globalMatrix, float* outPlane);

class dgCollision : public dgRef {
 public:
  // Shape kinds; no class produces 6 to 9.
  enum Kind : uint32_t {
    kBox = 0,
    kInert = 1,  // answers no query: the chassis's wheel parts
    kSphere = 2,
    kEllipse = 3,
    kCapsule = 4,
    kCylinder = 5,
    kPolygonalSoup = 10,
    kCompound = 11,
    kConvexPolygon = 12,
  };

  // Flag bit 0: the offset matrix differs from the identity.
  static constexpr uint32_t kOffsetFlag = 1u;
  // Words of the parameter block whose hash is a shape's signature.
  static constexpr int kSignatureWords = 32;
  // The miss value of every shape's ray cast.
  static constexpr float kRayMiss = 1.2f;

  // A shape with one reference, the attached flag and no name.
  dgCollision(uint32_t signature, const dgMatrix& offset, uint32_t kind);

  uint32_t GetTypeId() const override { return dgCollisionId; }
  bool IsType(uint32_t id) const override { return id == dgCollisionId || dgRef::IsType(id); }

  // Stores the shape's own box (only the polygon soup keeps one).
  virtual void SetCollisionBBox(const dgVector& minCorner, const dgVector& maxCorner) = 0;
  // The user-data word (the soup returns its database).
  virtual void* GetUserData() const { return nullptr; }
  // Sets the user-data word where a shape keeps one.
  virtual void SetUserData(void*) {}
  // World box of the shape placed by its global matrix (offset already applied).
  virtual void CalcAABB(const dgMatrix& globalMatrix, dgVector& outMin, dgVector& outMax) const = 0;
  // Calls back once per face, vertices mapped by the offset times the body's matrix.
  virtual void ForEachFace(const dgBody* body, dgFaceCallback callback) const = 0;
  // Segment p0 -> p1 in the shape's frame: the hit parameter in 0..1 with the
  // record's normal and userId written, or a value outside it (kRayMiss) on a miss.
  virtual float RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const = 0;
  // Volume in the shape's frame.
  virtual float GetVolume() const = 0;
  // Principal inertia per unit mass and centre of mass, in the shape's frame.
  virtual void CalculateInertia(dgVector& outInertia, dgVector& outCentre) const = 0;
  // Volume and centroid below a plane the callback gives.
  virtual void CalculateVolumeBelowPlane(dgVector& out, const dgMatrix& globalMatrix, dgPlaneCallback callback,
                                         void* context) const = 0;
  // The identity for every shape of this library.
  virtual void GetAuxiliaryMatrix(dgMatrix& out) const { out = dgGetIdentityMatrix(); }
  // The signature computed again from the shape's parameters.
  virtual uint32_t CalculateSignature() const = 0;

  // Stores the offset and sets flag bit 0 unless it is exactly the identity.
  void SetOffsetMatrix(const dgMatrix& offset);
  const dgMatrix& GetOffsetMatrix() const { return offset_; }
  // True when flag bit 0 is set.
  bool HasOffset() const { return (flags_ & kOffsetFlag) != 0; }
  uint32_t GetSignature() const { return signature_; }
  uint32_t GetKind() const { return kind_; }
  uint32_t GetFlags() const { return flags_; }
  // Sets or clears flag bits above bit 0 (bit 0 follows the offset matrix).
  void SetFlagBits(uint32_t bits) { flags_ |= bits & ~kOffsetFlag; }
  void ClearFlagBits(uint32_t bits) { flags_ &= ~(bits & ~kOffsetFlag); }

  // True when the diagonal holds exactly 1.0 and every other element equals
  // 0.0 (-0.0 counts as zero).
  static bool IsIdentity(const dgMatrix& matrix);
  // The hash of the 128-byte parameter block: kind, the parameters each
  // quantised to trunc(value · 1024), then the offset's sixteen floats. The
  // block itself goes to outBlock (kSignatureWords words) when given.
  static uint32_t MakeSignature(uint32_t kind, const float* params, int paramCount, const dgMatrix& offset,
                                uint32_t* outBlock = nullptr);
  // A parameter as the signature block stores it.
  static int32_t QuantizeParameter(float value);

 private:
  dgMatrix offset_;
  uint32_t signature_ = 0;
  uint32_t kind_ = 0;
  uint32_t flags_ = 0;
};
