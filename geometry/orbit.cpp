#include "geometry/orbit.h"

namespace vantrel {

void OrbitPoint(const Vector3& target, float radius, float longitude, float latitude, Vector3& out) {
    Vector3 towardTarget;  // unit direction from the orbit point to the target
    DirectionFromAngles({0, latitude, -longitude}, towardTarget);
    VecScale(towardTarget, -radius, towardTarget);
    VecAdd(target, towardTarget, out);
}

void MatViewFromPlacement(const Vector3& orientation, const Vector3& eye, Matrix4& out) {
    // Built right to left, because MatMultiply may write over its second operand only.
    Matrix4 placement, step;
    MatTranslation(eye, placement);
    MatRotation(static_cast<std::int32_t>(Axis::Y), orientation.z, step);
    MatMultiply(step, placement, placement);
    MatRotation(static_cast<std::int32_t>(Axis::X), orientation.y, step);
    MatMultiply(step, placement, placement);
    MatRotation(static_cast<std::int32_t>(Axis::Z), orientation.x, step);
    MatMultiply(step, placement, placement);
    MatInverse(placement, out);
}

}  // namespace vantrel
