#pragma once
// Three- and four-component float vectors and their free operations.
// Outputs come last; unless a comment says otherwise, out may share storage with any input.
#include "geometry/rounding.h"

namespace vantrel {

struct Random;

struct Vector3 {
    float x = 0, y = 0, z = 0;
};

struct Vector4 {
    float x = 0, y = 0, z = 0, w = 0;
};

void VecMake(float x, float y, float z, Vector3& out);
void VecCopy(const Vector3& source, Vector3& destination);
void VecZero(Vector3& out);
void VecOnes(Vector3& out);
// -1 when every component is equal (so 0 and -0 are equal), else 0.
Truth VecEqual(const Vector3& a, const Vector3& b);
void VecAdd(const Vector3& a, const Vector3& b, Vector3& out);
void VecSub(const Vector3& a, const Vector3& b, Vector3& out);
void VecScale(const Vector3& v, float s, Vector3& out);
float VecDot(const Vector3& a, const Vector3& b);
// out must not share storage with a or b.
void VecCross(const Vector3& a, const Vector3& b, Vector3& out);
float VecLength(const Vector3& v);
float VecDistance(const Vector3& a, const Vector3& b);
// Leaves out untouched when v has length 0.
void VecNormalize(const Vector3& v, Vector3& out);
// 0 when either operand is the zero vector.
float VecCosAngle(const Vector3& a, const Vector3& b);
void VecLerp(const Vector3& a, const Vector3& b, float t, Vector3& out);
// Projection of a onto the direction of b; a zero b gives (0, 0, 0).
void VecProject(const Vector3& a, const Vector3& b, Vector3& out);
// Mirrors v against n only when v points against n; otherwise out is left untouched.
void VecReflectAgainst(const Vector3& v, const Vector3& n, Vector3& out);
// Each component uniform in [-1, 1), drawn in the order x, y, z.
void VecRandomUnitCube(Random& random, Vector3& out);
void VecToPoint4(const Vector3& v, Vector4& out);

void Vec4Make(float x, float y, float z, float w, Vector4& out);
float Vec4Dot(const Vector4& a, const Vector4& b);
void Vec4Scale(const Vector4& q, float s, Vector4& out);

}  // namespace vantrel
