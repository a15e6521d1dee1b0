#pragma once
// 4x4 float matrices for row vectors: p' = p * M, so A * B applies A first;
// a translation sits in row 3. Outputs come last.
#include <cstdint>

#include "geometry/vector.h"

namespace vantrel {

struct Matrix4 {
    Vector4 row[4];  // row[r] holds elements (r, 0..3)
};

enum class Axis : std::int32_t { X = 1, Y = 2, Z = 3 };

float MatElement(const Matrix4& m, int row, int column);
void MatFromRows(const Vector4& r0, const Vector4& r1, const Vector4& r2, const Vector4& r3, Matrix4& out);
void MatIdentity(Matrix4& out);
// The all-zero matrix also marks "no parent" in the mesh hierarchy.
void MatZero(Matrix4& out);
Truth MatEqual(const Matrix4& a, const Matrix4& b);
// out must not share storage with m.
void MatTranspose(const Matrix4& m, Matrix4& out);
void MatScale(const Matrix4& m, float s, Matrix4& out);
// out may share storage with b but not with a.
void MatMultiply(const Matrix4& a, const Matrix4& b, Matrix4& out);
void MatScaling(const Vector3& v, Matrix4& out);
void MatTranslation(const Vector3& v, Matrix4& out);
// axis 1 = X, 2 = Y, 3 = Z; any other code leaves out untouched.
void MatRotation(std::int32_t axis, float angle, Matrix4& out);
float Det3(float a1, float a2, float a3, float a4, float a5, float a6, float a7, float a8, float a9);
float MatDeterminant(const Matrix4& m);
// Adjugate over determinant; a singular m gives non-finite entries. out may share storage with m.
void MatInverse(const Matrix4& m, Matrix4& out);
// out may share storage with v.
void TransformPoint(const Vector3& v, const Matrix4& m, Vector3& out);
void TransformPoint4(const Vector3& v, const Matrix4& m, Vector4& out);
// (0, 0, 1) turned by pitch angles.y about X then yaw angles.z about Y; angles.x is unused.
void DirectionFromAngles(const Vector3& angles, Vector3& out);

}  // namespace vantrel
