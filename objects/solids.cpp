#include "objects/solids.h"

#include <cmath>
#include <numbers>

#include "geometry/matrix.h"

// The lattice members: each says only where vertex (row, column) lies.
namespace vantrel {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Unit vector (0, 0, 1) pitched about x, then yawed about y.
Vector3 Direction(float pitch, float yaw) {
    Vector3 out;
    DirectionFromAngles({0, pitch, yaw}, out);
    return out;
}

Vector3 Scaled(const Vector3& v, float s) {
    Vector3 out;
    VecScale(v, s, out);
    return out;
}

template <typename VertexAt>
std::int32_t BuildLattice(Scene& scene, std::int32_t rows, std::int32_t columns, FaceSides sides,
                          VertexAt vertexAt) {
    Lattice lattice;
    if (!LatticeBegin(scene, columns, lattice)) return 0;
    for (std::int32_t r = 0; r < rows; ++r) {
        for (std::int32_t c = 0; c < columns; ++c) {
            if (!LatticeAddVertex(scene, lattice, vertexAt(r, c))) return 0;
        }
    }
    return LatticeFinish(scene, lattice, sides);
}

// Yaw of column j of a ring of segments: step * j, not a running sum.
float YawStep(std::int32_t segments) { return 2.0f * kPi / static_cast<float>(segments); }

}  // namespace

std::int32_t MakeGrid(Scene& scene, float width, float depth, std::int32_t cellsX, std::int32_t cellsZ,
                      FaceSides sides) {
    if (cellsX < 1 || cellsZ < 1) return 0;
    return BuildLattice(scene, cellsZ + 1, cellsX + 1, sides, [&](std::int32_t r, std::int32_t c) {
        return Vector3{static_cast<float>(c) * width / static_cast<float>(cellsX), 0.0f,
                       static_cast<float>(r) * depth / static_cast<float>(cellsZ)};
    });
}

std::int32_t MakeSphere(Scene& scene, float radius, std::int32_t segments, std::int32_t rings) {
    if (segments < 1 || rings < 1) return 0;
    const float yawStep = YawStep(segments);
    const float pitchStep = kPi / static_cast<float>(rings);
    return BuildLattice(scene, rings + 1, segments + 1, FaceSides::Single, [&](std::int32_t i, std::int32_t j) {
        const float pitch = -kPi / 2.0f + static_cast<float>(i) * pitchStep;
        return Scaled(Direction(pitch, static_cast<float>(j) * yawStep), radius);
    });
}

std::int32_t MakeHemisphere(Scene& scene, float radius, std::int32_t segments, std::int32_t rings) {
    if (segments < 1 || rings < 1) return 0;
    const float yawStep = YawStep(segments);
    const float pitchStep = (kPi / 2.0f) / static_cast<float>(rings);
    // The dome's rows down to the equator, then a row at the origin that closes the base.
    return BuildLattice(scene, rings + 2, segments + 1, FaceSides::Single, [&](std::int32_t i, std::int32_t j) {
        if (i > rings) return Vector3{};
        const float pitch = -kPi / 2.0f + static_cast<float>(i) * pitchStep;
        return Scaled(Direction(pitch, static_cast<float>(j) * yawStep), radius);
    });
}

std::int32_t MakeCone(Scene& scene, float radius, float height, std::int32_t segments) {
    if (segments < 1) return 0;
    const float yawStep = YawStep(segments);
    return BuildLattice(scene, 3, segments + 1, FaceSides::Single, [&](std::int32_t row, std::int32_t j) {
        const float yaw = static_cast<float>(j) * yawStep;
        switch (row) {
            case 0: return Vector3{0.0f, height, 0.0f};
            case 1: return Vector3{radius * std::sin(yaw), 0.0f, radius * std::cos(yaw)};
            default: return Vector3{};
        }
    });
}

std::int32_t MakeCylinder(Scene& scene, float radius, float height, std::int32_t segments) {
    if (segments < 1) return 0;
    const float yawStep = YawStep(segments);
    return BuildLattice(scene, 4, segments + 1, FaceSides::Single, [&](std::int32_t row, std::int32_t j) {
        const float yaw = static_cast<float>(j) * yawStep;
        switch (row) {
            case 0: return Vector3{0.0f, height, 0.0f};
            case 1: return Vector3{radius * std::sin(yaw), height, radius * std::cos(yaw)};
            case 2: return Vector3{radius * std::sin(yaw), 0.0f, radius * std::cos(yaw)};
            default: return Vector3{};
        }
    });
}

std::int32_t MakePie(Scene& scene, float radius, float height, float startDegrees, float endDegrees,
                     std::int32_t segments) {
    if (segments < 1) return 0;
    const float step = YawStep(segments);
    const float start = startDegrees * kPi / 180.0f;
    const float end = endDegrees * kPi / 180.0f;
    // Set at the column pulled onto the start, cleared at the one pulled onto the end; it is
    // not reset between the two rim rows.
    bool inWedge = false;
    auto rimPoint = [&](std::int32_t j, float y) {
        float yaw = static_cast<float>(j) * step;
        bool pulled = false;
        if (!inWedge && std::fabs(yaw - start) <= step) {
            yaw = start;
            inWedge = pulled = true;
        } else if (inWedge && std::fabs(yaw - end) <= step) {
            yaw = end;
            inWedge = false;
            pulled = true;
        }
        if (!pulled && (yaw < start || yaw > end)) return Vector3{0.0f, y, 0.0f};
        return Vector3{radius * std::sin(yaw), y, radius * std::cos(yaw)};
    };
    return BuildLattice(scene, 4, segments + 1, FaceSides::Single, [&](std::int32_t row, std::int32_t j) {
        switch (row) {
            case 0: return Vector3{0.0f, height, 0.0f};
            case 1: return rimPoint(j, height);
            case 2: return rimPoint(j, 0.0f);
            default: return Vector3{};
        }
    });
}

std::int32_t MakeTorus(Scene& scene, float ringRadius, float tubeRadius, std::int32_t segments,
                       std::int32_t tubeSides) {
    if (segments < 1 || tubeSides < 1) return 0;
    const float yawStep = YawStep(segments);
    const float pitchStep = 2.0f * kPi / static_cast<float>(tubeSides);
    return BuildLattice(scene, tubeSides + 1, segments + 1, FaceSides::Single, [&](std::int32_t i, std::int32_t j) {
        const float yaw = static_cast<float>(j) * yawStep;
        const float pitch = -kPi / 2.0f + static_cast<float>(i) * pitchStep;
        Vector3 out;
        VecAdd(Scaled(Direction(0.0f, yaw), ringRadius), Scaled(Direction(pitch, yaw), tubeRadius), out);
        return out;
    });
}

}  // namespace vantrel
