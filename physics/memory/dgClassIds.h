#pragma once
// Class ids: the hash of each class's name, fixed at compile time so that no
// id needs the allocation hooks or a start-up order.

#include <cstdint>

#include "physics/memory/dgCRC.h"

inline constexpr uint32_t dgRefId = dgCRCOfText("dgRef");
inline constexpr uint32_t dgCollisionId = dgCRCOfText("dgCollision");
inline constexpr uint32_t dgConvexCollisionId = dgCRCOfText("dgConvexCollision");
inline constexpr uint32_t dgCollisionBoxId = dgCRCOfText("dgCollisionBox");
inline constexpr uint32_t dgCollisionNullId = dgCRCOfText("dgCollisionNull");
inline constexpr uint32_t dgCollisionConeId = dgCRCOfText("dgCollisionCone");
inline constexpr uint32_t dgCollisionSphereId = dgCRCOfText("dgCollisionSphere");
inline constexpr uint32_t dgCollisionEllipseId = dgCRCOfText("dgCollisionEllipse");
inline constexpr uint32_t dgCollisionCapsuleId = dgCRCOfText("dgCollisionCapsule");
inline constexpr uint32_t dgCollisionCylinderId = dgCRCOfText("dgCollisionCylinder");
inline constexpr uint32_t dgCompoundCollisionId = dgCRCOfText("dgCompoundCollision");
inline constexpr uint32_t dgWheelCollisionId = dgCRCOfText("dgWheelCollision");
inline constexpr uint32_t dgCollisionConvexHullId = dgCRCOfText("dgCollisionConvexHull");
inline constexpr uint32_t dgCollisionConvexModifierId = dgCRCOfText("dgCollisionConvexModifier");
inline constexpr uint32_t dgCollisionChamferCylinderId = dgCRCOfText("dgCollisionChamferCylinder");
inline constexpr uint32_t dgCollisionPolygonalSoupId = dgCRCOfText("dgCollisionPolygonalSoup");
inline constexpr uint32_t dgCollisionConvexPolygonId =
    dgCRCOfText("dgCollisionPolygonalSoup::dgCollisionConvexPolygon");
inline constexpr uint32_t dgPolygonSoupDatabaseId = dgCRCOfText("dgPolygonSoupDatabase");
inline constexpr uint32_t dgAABBPolygonSoupId = dgCRCOfText("dgAABBPolygonSoup");
inline constexpr uint32_t dgBaseNodeId = dgCRCOfText("dgBaseNode");
