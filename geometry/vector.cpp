#include "geometry/vector.h"

#include <cmath>

#include "geometry/random.h"

namespace vantrel {

void VecMake(float x, float y, float z, Vector3& out) { out = {x, y, z}; }
void VecCopy(const Vector3& source, Vector3& destination) { destination = source; }
void VecZero(Vector3& out) { out = {0, 0, 0}; }
void VecOnes(Vector3& out) { out = {1, 1, 1}; }

Truth VecEqual(const Vector3& a, const Vector3& b) {
    return ToTruth(a.x == b.x && a.y == b.y && a.z == b.z);
}

void VecAdd(const Vector3& a, const Vector3& b, Vector3& out) { out = {a.x + b.x, a.y + b.y, a.z + b.z}; }
void VecSub(const Vector3& a, const Vector3& b, Vector3& out) { out = {a.x - b.x, a.y - b.y, a.z - b.z}; }
void VecScale(const Vector3& v, float s, Vector3& out) { out = {s * v.x, s * v.y, s * v.z}; }

float VecDot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void VecCross(const Vector3& a, const Vector3& b, Vector3& out) {
    out.x = a.y * b.z - a.z * b.y;
    out.y = a.z * b.x - a.x * b.z;
    out.z = a.x * b.y - a.y * b.x;
}

float VecLength(const Vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

float VecDistance(const Vector3& a, const Vector3& b) {
    Vector3 difference;
    VecSub(a, b, difference);
    return VecLength(difference);
}

void VecNormalize(const Vector3& v, Vector3& out) {
    const float length = VecLength(v);
    if (length != 0.0f) VecScale(v, 1.0f / length, out);
}

float VecCosAngle(const Vector3& a, const Vector3& b) {
    const Vector3 zero;
    if (VecEqual(a, zero) || VecEqual(b, zero)) return 0.0f;
    Vector3 unitA, unitB;
    VecNormalize(a, unitA);
    VecNormalize(b, unitB);
    return VecDot(unitA, unitB);
}

void VecLerp(const Vector3& a, const Vector3& b, float t, Vector3& out) {
    out = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

void VecProject(const Vector3& a, const Vector3& b, Vector3& out) {
    Vector3 direction;  // stays zero when b is zero
    VecNormalize(b, direction);
    VecScale(direction, VecDot(a, direction), out);
}

void VecReflectAgainst(const Vector3& v, const Vector3& n, Vector3& out) {
    if (!(VecCosAngle(v, n) < 0.0f)) return;
    Vector3 projection;
    VecProject(v, n, projection);
    VecScale(projection, 2.0f, projection);
    VecSub(v, projection, out);
}

void VecRandomUnitCube(Random& random, Vector3& out) {
    const float x = 2.0f * RandomUniform(random) - 1.0f;
    const float y = 2.0f * RandomUniform(random) - 1.0f;
    const float z = 2.0f * RandomUniform(random) - 1.0f;
    out = {x, y, z};
}

void VecToPoint4(const Vector3& v, Vector4& out) { out = {v.x, v.y, v.z, 1.0f}; }

void Vec4Make(float x, float y, float z, float w, Vector4& out) { out = {x, y, z, w}; }
float Vec4Dot(const Vector4& a, const Vector4& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }
void Vec4Scale(const Vector4& q, float s, Vector4& out) { out = {s * q.x, s * q.y, s * q.z, s * q.w}; }

}  // namespace vantrel
