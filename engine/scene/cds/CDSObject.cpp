#include "engine/scene/cds/CDSObject.h"

#include <cmath>
#include <vector>

#include "engine/scene/core/SceneNode.h"
#include "physics/world/Physics.h"

namespace {

// Contacts asked of the library per pair.
constexpr int kMaxContacts = CCDSContact::kMaxPoints;

bool IsFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

Vector3 FromFloats(const float* f) { return Vector3(f[0], f[1], f[2]); }

// A placement whose local x runs along from -> to, centred between them:
// capsules and cylinders lie along their local x.
Matrix4 AxisPlacement(const Vector3& from, const Vector3& to) {
  Matrix4 placement;
  Vector3 along = to - from;
  if (along.LengthSquared() > 0.0f) {
    along.Normalise();
    const Vector3 hint = std::fabs(along.y) < 0.9f ? Vector3(0, 1, 0) : Vector3(1, 0, 0);
    Vector3 up = hint - along * Vector3::Dot(along, hint);
    up.Normalise();
    const Vector3 right = Vector3::Cross(along, up);
    // Columns are the images of the local axes.
    placement.m[0] = along.x, placement.m[1] = along.y, placement.m[2] = along.z;
    placement.m[4] = up.x, placement.m[5] = up.y, placement.m[6] = up.z;
    placement.m[8] = right.x, placement.m[9] = right.y, placement.m[10] = right.z;
  }
  placement.SetTranslation((from + to) * 0.5f);
  return placement;
}

// The rotation part of a matrix applied to a direction.
Vector3 RotateDirection(const Matrix4& m, const Vector3& d) {
  return Vector3(m.m[0] * d.x + m.m[4] * d.y + m.m[8] * d.z, m.m[1] * d.x + m.m[5] * d.y + m.m[9] * d.z,
                 m.m[2] * d.x + m.m[6] * d.y + m.m[10] * d.z);
}

}  // namespace

CCDSObject::CCDSObject(int32_t slotIndex) : slot(slotIndex) {}

CCDSObject::~CCDSObject() { ReleaseCollision(); }

CCDSContact& CCDSObject::GetContact() {
  static CCDSContact contact;
  return contact;
}

Matrix4 CCDSObject::NodeWorldMatrix(CSCNNode* node) {
  if (node == nullptr) return Matrix4();
  // Parents first, each node's world matrix made from its parent's.
  std::vector<CSCNNode*> chain;
  for (CSCNNode* walk = node; walk != nullptr; walk = walk->parent) chain.push_back(walk);
  Matrix4 world;
  const Matrix4* parentWorld = nullptr;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    world = (*it)->GetMatrix(parentWorld);
    parentWorld = &world;
  }
  return world;
}

Matrix4 CCDSObject::WorldMatrix() const { return NodeWorldMatrix(node); }

void CCDSObject::ReleaseCollision() {
  if (physicsWorld != nullptr && collision != nullptr) PhysicsReleaseCollision(physicsWorld, collision);
  collision = nullptr;
  volume = std::monostate();
}

bool CCDSObject::Replace(dgWorld* world, int32_t newKind, dgCollision* made) {
  kind = newKind;
  physicsWorld = world;
  collision = made;
  return made != nullptr;
}

bool CCDSObject::SetSphere(dgWorld* world, const BoundingSphere& sphere) {
  ReleaseCollision();
  volume = sphere;
  Matrix4 offset;
  offset.SetTranslation(sphere.centre);
  const float r = sphere.radius;
  return Replace(world, kSphere, world ? PhysicsCreateSphere(world, r, r, r, offset.m) : nullptr);
}

bool CCDSObject::SetBox(dgWorld* world, const CCDSShape& box) {
  ReleaseCollision();
  volume = box;
  const Vector3 size = box.Max() - box.Min();
  return Replace(world, kBox, world ? PhysicsCreateBox(world, size.x, size.y, size.z, nullptr) : nullptr);
}

bool CCDSObject::SetCylinder(dgWorld* world, const Cylinder& cylinder) {
  ReleaseCollision();
  volume = cylinder;
  const Matrix4 offset = AxisPlacement(cylinder.A, cylinder.B);
  const float height = cylinder.AxisLength();
  return Replace(world, kCylinder, world ? PhysicsCreateCylinder(world, cylinder.radius, height, offset.m) : nullptr);
}

bool CCDSObject::SetCapsule(dgWorld* world, const Capsule& capsule) {
  ReleaseCollision();
  volume = capsule;
  const Matrix4 offset = AxisPlacement(capsule.A, capsule.B);
  // The library's capsule height runs from cap tip to cap tip.
  const float height = capsule.AxisLength() + 2.0f * capsule.radius;
  return Replace(world, kCapsule, world ? PhysicsCreateCapsule(world, capsule.radius, height, offset.m) : nullptr);
}

bool CCDSObject::BeginMesh(dgWorld* world) {
  ReleaseCollision();
  dgCollision* tree = world ? PhysicsCreateTreeCollision(world, nullptr) : nullptr;
  if (tree != nullptr) PhysicsTreeCollisionBeginBuild(tree);
  return Replace(world, kMesh, tree);
}

void CCDSObject::AddTriangle(const Vector3& a, const Vector3& b, const Vector3& c, int32_t attribute) {
  if (kind != kMesh || collision == nullptr) return;
  const float vertices[9] = {a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z};
  PhysicsTreeCollisionAddFace(collision, 3, vertices, 3 * sizeof(float), attribute);
}

void CCDSObject::EndMesh() {
  if (kind == kMesh && collision != nullptr) PhysicsTreeCollisionEndBuild(collision, 1);
}

void CCDSObject::UpdateBounds() {
  if (collision == nullptr) return;
  const Matrix4 world = WorldMatrix();
  float p0[3];
  float p1[3];
  PhysicsCollisionCalculateAABB(collision, world.m, p0, p1);
  SetMinMax(FromFloats(p0), FromFloats(p1));
}

int CCDSObject::Collide(CCDSObject& other) {
  CCDSContact& contact = GetContact();
  contact.Clear();
  if (collision == nullptr || other.collision == nullptr || physicsWorld == nullptr) return contact.state;
  const Matrix4 mine = WorldMatrix();
  const Matrix4 theirs = other.WorldMatrix();
  float points[kMaxContacts * 3];
  float normals[kMaxContacts * 3];
  float depths[kMaxContacts];
  const int n = PhysicsCollisionCollide(physicsWorld, kMaxContacts, collision, mine.m, other.collision, theirs.m,
                                        points, normals, depths);
  if (n <= 0) return contact.state;
  contact.state = CCDSContact::kTouching;
  contact.a = this;
  contact.b = &other;
  contact.count = n < kMaxContacts ? n : kMaxContacts;
  for (int i = 0; i < contact.count; ++i) {
    contact.points[i] = FromFloats(points + 3 * i);
    contact.normals[i] = FromFloats(normals + 3 * i);
    contact.depths[i] = depths[i];
    if (depths[i] != 0.0f) contact.state = CCDSContact::kPenetrating;
  }
  return contact.state;
}

int CCDSObject::IntersectSphere(const BoundingSphere& sphere) {
  CCDSContact& contact = GetContact();
  contact.Clear();
  if (collision == nullptr || physicsWorld == nullptr || !IsFinite(sphere.centre) || !std::isfinite(sphere.radius))
    return contact.state;
  const Matrix4 world = WorldMatrix();
  const Vector3& centre = sphere.centre;
  Vector3 point;
  Vector3 normal;
  if (kind == kMesh) {
    // The library answers no closest point for a mesh, so a sphere of the
    // query's size is collided with it instead.
    Matrix4 at;
    at.SetTranslation(centre);
    dgCollision* probe = PhysicsCreateSphere(physicsWorld, sphere.radius, sphere.radius, sphere.radius, nullptr);
    if (probe == nullptr) return contact.state;
    float points[kMaxContacts * 3];
    float normals[kMaxContacts * 3];
    float depths[kMaxContacts];
    const int n =
        PhysicsCollisionCollide(physicsWorld, kMaxContacts, probe, at.m, collision, world.m, points, normals, depths);
    PhysicsReleaseCollision(physicsWorld, probe);
    if (n <= 0) return contact.state;
    point = FromFloats(points);
    normal = FromFloats(normals);
  } else {
    float contactPoint[3];
    float contactNormal[3];
    const float p[3] = {centre.x, centre.y, centre.z};
    if (PhysicsCollisionClosestPoint(physicsWorld, p, collision, world.m, contactPoint, contactNormal) == 0) {
      // No separate closest point: the centre lies in the shape.
      point = centre;
    } else {
      point = FromFloats(contactPoint);
      normal = FromFloats(contactNormal);
      if (!(Vector3::Distance(point, centre) <= sphere.radius)) return contact.state;
    }
  }
  contact.state = CCDSContact::kPenetrating;
  contact.a = this;
  contact.count = 1;
  contact.points[0] = point;
  contact.normals[0] = normal;
  return contact.state;
}

int CCDSObject::IntersectRay(const Ray& ray) {
  CCDSContact& contact = GetContact();
  contact.Clear();
  if (collision == nullptr || !IsFinite(ray.origin) || !IsFinite(ray.direction) || !std::isfinite(ray.length) ||
      ray.length == 0.0f)
    return contact.state;
  const Matrix4 world = WorldMatrix();
  const Matrix4 toNode = Matrix4::Invert(world);
  const Vector3 start = toNode.TransformPoint(ray.origin);
  const Vector3 end = toNode.TransformPoint(ray.origin + ray.direction * ray.length);
  const float p0[3] = {start.x, start.y, start.z};
  const float p1[3] = {end.x, end.y, end.z};
  float normal[3] = {0, 0, 0};
  int attribute = 0;
  const float t = PhysicsCollisionRayCast(collision, p0, p1, normal, &attribute);
  if (!(t >= 0.0f && t <= 1.0f)) return contact.state;
  const float distance = t * ray.length;
  Vector3 worldNormal = RotateDirection(world, FromFloats(normal));
  worldNormal.Normalise();
  contact.state = CCDSContact::kPenetrating;
  contact.a = this;
  contact.count = 1;
  contact.points[0] = ray.origin + ray.direction * distance;
  contact.normals[0] = worldNormal;
  contact.depths[0] = distance;
  return contact.state;
}
