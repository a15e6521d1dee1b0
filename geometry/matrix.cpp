#include "geometry/matrix.h"

#include <cmath>

namespace vantrel {

namespace {

float& At(Matrix4& m, int row, int column) {
    Vector4& r = m.row[row];
    return column == 0 ? r.x : column == 1 ? r.y : column == 2 ? r.z : r.w;
}

// Det3 of the entries left after removing row skipRow and column skipColumn, in order.
float Minor(const Matrix4& m, int skipRow, int skipColumn) {
    float e[9];
    int n = 0;
    for (int r = 0; r < 4; ++r) {
        if (r == skipRow) continue;
        for (int c = 0; c < 4; ++c) {
            if (c != skipColumn) e[n++] = MatElement(m, r, c);
        }
    }
    return Det3(e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
}

}  // namespace

float MatElement(const Matrix4& m, int row, int column) {
    const Vector4& r = m.row[row];
    return column == 0 ? r.x : column == 1 ? r.y : column == 2 ? r.z : r.w;
}

void MatFromRows(const Vector4& r0, const Vector4& r1, const Vector4& r2, const Vector4& r3, Matrix4& out) {
    out.row[0] = r0;
    out.row[1] = r1;
    out.row[2] = r2;
    out.row[3] = r3;
}

void MatIdentity(Matrix4& out) {
    MatFromRows({1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, out);
}

void MatZero(Matrix4& out) { out = Matrix4{}; }

Truth MatEqual(const Matrix4& a, const Matrix4& b) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (MatElement(a, r, c) != MatElement(b, r, c)) return kFalse;
        }
    }
    return kTrue;
}

void MatTranspose(const Matrix4& m, Matrix4& out) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) At(out, r, c) = MatElement(m, c, r);
    }
}

void MatScale(const Matrix4& m, float s, Matrix4& out) {
    for (int r = 0; r < 4; ++r) Vec4Scale(m.row[r], s, out.row[r]);
}

void MatMultiply(const Matrix4& a, const Matrix4& b, Matrix4& out) {
    Matrix4 columns;  // b transposed first, which is what lets out alias b
    MatTranspose(b, columns);
    for (int r = 0; r < 4; ++r) {
        const Vector4 rowOfA = a.row[r];
        for (int c = 0; c < 4; ++c) At(out, r, c) = Vec4Dot(rowOfA, columns.row[c]);
    }
}

void MatScaling(const Vector3& v, Matrix4& out) {
    MatFromRows({v.x, 0, 0, 0}, {0, v.y, 0, 0}, {0, 0, v.z, 0}, {0, 0, 0, 1}, out);
}

void MatTranslation(const Vector3& v, Matrix4& out) {
    MatFromRows({1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {v.x, v.y, v.z, 1}, out);
}

void MatRotation(std::int32_t axis, float angle, Matrix4& out) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    switch (axis) {
        case static_cast<std::int32_t>(Axis::X):
            MatFromRows({1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}, out);
            break;
        case static_cast<std::int32_t>(Axis::Y):
            MatFromRows({c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}, out);
            break;
        case static_cast<std::int32_t>(Axis::Z):
            MatFromRows({c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, out);
            break;
        default:
            break;
    }
}

float Det3(float a1, float a2, float a3, float a4, float a5, float a6, float a7, float a8, float a9) {
    return a1 * (a5 * a9 - a6 * a8) - a2 * (a4 * a9 - a6 * a7) + a3 * (a4 * a8 - a5 * a7);
}

float MatDeterminant(const Matrix4& m) {
    return m.row[0].x * Minor(m, 0, 0) - m.row[0].y * Minor(m, 0, 1) + m.row[0].z * Minor(m, 0, 2) -
           m.row[0].w * Minor(m, 0, 3);
}

void MatInverse(const Matrix4& m, Matrix4& out) {
    Matrix4 cofactors;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const float sign = ((r + c) % 2 == 0) ? 1.0f : -1.0f;
            At(cofactors, r, c) = sign * Minor(m, r, c);
        }
    }
    MatScale(cofactors, 1.0f / MatDeterminant(m), cofactors);
    MatTranspose(cofactors, out);
}

void TransformPoint(const Vector3& v, const Matrix4& m, Vector3& out) {
    Vector4 result;
    TransformPoint4(v, m, result);
    out = {result.x, result.y, result.z};
}

void TransformPoint4(const Vector3& v, const Matrix4& m, Vector4& out) {
    const Vector4 p{v.x, v.y, v.z, 1.0f};  // copied first, so out may alias v's storage
    Vector4 result;
    result.x = p.x * m.row[0].x + p.y * m.row[1].x + p.z * m.row[2].x + p.w * m.row[3].x;
    result.y = p.x * m.row[0].y + p.y * m.row[1].y + p.z * m.row[2].y + p.w * m.row[3].y;
    result.z = p.x * m.row[0].z + p.y * m.row[1].z + p.z * m.row[2].z + p.w * m.row[3].z;
    result.w = p.x * m.row[0].w + p.y * m.row[1].w + p.z * m.row[2].w + p.w * m.row[3].w;
    out = result;
}

void DirectionFromAngles(const Vector3& angles, Vector3& out) {
    Matrix4 pitch, yaw, turn;
    MatRotation(static_cast<std::int32_t>(Axis::X), angles.y, pitch);
    MatRotation(static_cast<std::int32_t>(Axis::Y), angles.z, yaw);
    MatMultiply(pitch, yaw, turn);
    TransformPoint({0, 0, 1}, turn, out);
}

}  // namespace vantrel
