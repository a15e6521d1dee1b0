#pragma once
// The orbit: the camera (or, while Shift is held, the light) sits on a sphere around a target
// and looks at it. Longitude turns about the vertical axis, latitude raises the point.
#include "geometry/matrix.h"
#include "geometry/vector.h"

namespace vantrel {

struct Orbit {
    float longitude = 0;   // radians about +y; 0 puts the point on the -z side of the target
    float latitude = 0;    // radians above the horizontal plane
    float radius = 0;      // world units from the target
    float rotateRate = 0;  // radians of longitude or latitude per pixel of mouse movement
    float zoomRate = 0;    // world units of radius per pixel of mouse movement
};

// The point radius away from target, on the side the direction (0, latitude, -longitude)
// looks from. out may share storage with target.
void OrbitPoint(const Vector3& target, float radius, float longitude, float latitude, Vector3& out);

// World-to-view matrix of an eye at eye turned by orientation (roll about Z, pitch about X,
// yaw about Y, in radians): the inverse of roll * pitch * yaw * translation(eye).
void MatViewFromPlacement(const Vector3& orientation, const Vector3& eye, Matrix4& out);

}  // namespace vantrel
