#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "geometry/matrix.h"
#include "geometry/random.h"
#include "geometry/vector.h"

namespace vantrel {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void ExpectMatricesNear(const Matrix4& a, const Matrix4& b, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(MatElement(a, r, c), MatElement(b, r, c), tolerance);
    }
}

TEST(Vector, ZeroVectorsLeaveOutputsAloneOrGiveZero) {
    Vector3 out{7, 8, 9};
    VecNormalize({0, 0, 0}, out);
    EXPECT_EQ(VecEqual(out, {7, 8, 9}), kTrue);
    VecProject({3, 4, 5}, {0, 0, 0}, out);
    EXPECT_EQ(VecEqual(out, {0, 0, 0}), kTrue);
    EXPECT_EQ(VecCosAngle({0, 0, 0}, {1, 0, 0}), 0.0f);
    EXPECT_EQ(VecCosAngle({1, 0, 0}, {-0.0f, 0, 0}), 0.0f);  // -0 equals 0
    VecNormalize({0, 3, 4}, out);
    ExpectNear(out, {0, 0.6f, 0.8f});
    EXPECT_EQ(VecLength({0, 0, 0}), 0.0f);
}

TEST(Vector, ReflectOnlyMirrorsVectorsPointingAgainstTheNormal) {
    Vector3 out{1, 2, 3};
    VecReflectAgainst({1, 1, 0}, {0, 1, 0}, out);  // pointing with n: untouched
    EXPECT_EQ(VecEqual(out, {1, 2, 3}), kTrue);
    VecReflectAgainst({1, 0, 0}, {0, 1, 0}, out);  // perpendicular: untouched
    EXPECT_EQ(VecEqual(out, {1, 2, 3}), kTrue);
    VecReflectAgainst({1, -1, 0}, {0, 2, 0}, out);
    ExpectNear(out, {1, 1, 0});
    Vector3 same{1, -1, 0};  // output sharing the input's storage
    VecReflectAgainst(same, {0, 1, 0}, same);
    ExpectNear(same, {1, 1, 0});
}

TEST(Vector, CrossAndSharedOutputs) {
    Vector3 out;
    VecCross({1, 0, 0}, {0, 1, 0}, out);
    EXPECT_EQ(VecEqual(out, {0, 0, 1}), kTrue);
    Vector3 a{1, 2, 3};
    VecAdd(a, a, a);
    EXPECT_EQ(VecEqual(a, {2, 4, 6}), kTrue);
    VecLerp(a, {4, 4, 4}, 0.5f, a);
    EXPECT_EQ(VecEqual(a, {3, 4, 5}), kTrue);
    EXPECT_FLOAT_EQ(VecDistance({1, 1, 1}, {4, 5, 1}), 5.0f);
}

TEST(Matrix, RowVectorConventionsAndRotations) {
    Matrix4 move, turn;
    MatTranslation({10, 20, 30}, move);
    EXPECT_EQ(MatElement(move, 3, 0), 10.0f);  // translation sits in row 3
    Vector3 p{1, 2, 3};
    TransformPoint(p, move, p);  // output shares the input
    EXPECT_EQ(VecEqual(p, {11, 22, 33}), kTrue);

    MatRotation(3, kPi / 2, turn);  // +X turns toward +Y
    TransformPoint({1, 0, 0}, turn, p);
    ExpectNear(p, {0, 1, 0});
    MatRotation(1, kPi / 2, turn);  // +Y turns toward +Z
    TransformPoint({0, 1, 0}, turn, p);
    ExpectNear(p, {0, 0, 1});
    MatRotation(2, kPi / 2, turn);  // +Z turns toward +X
    TransformPoint({0, 0, 1}, turn, p);
    ExpectNear(p, {1, 0, 0});

    // A * B applies A first: rotate then translate.
    Matrix4 both;
    MatMultiply(turn, move, both);
    TransformPoint({0, 0, 1}, both, p);
    ExpectNear(p, {11, 20, 30});

    Matrix4 untouched;
    MatIdentity(untouched);
    MatRotation(0, 1.0f, untouched);
    MatRotation(4, 1.0f, untouched);
    Matrix4 identity;
    MatIdentity(identity);
    EXPECT_EQ(MatEqual(untouched, identity), kTrue);
}

TEST(Matrix, MultiplyMayShareItsSecondOperand) {
    Matrix4 a, b, expected;
    MatRotation(1, 0.3f, a);
    MatTranslation({1, 2, 3}, b);
    MatMultiply(a, b, expected);
    MatMultiply(a, b, b);
    EXPECT_EQ(MatEqual(b, expected), kTrue);
    Matrix4 identity;
    MatIdentity(identity);
    MatMultiply(identity, expected, b);
    EXPECT_EQ(MatEqual(b, expected), kTrue);
}

TEST(Matrix, InverseUndoesTranslationsAndRotations) {
    Matrix4 move, inverse, expected;
    MatTranslation({5, -6, 7}, move);
    MatInverse(move, inverse);
    MatTranslation({-5, 6, -7}, expected);
    ExpectMatricesNear(inverse, expected);

    Random random;
    RandomSeed(random, 1234.5);
    Matrix4 identity;
    MatIdentity(identity);
    for (int trial = 0; trial < 50; ++trial) {
        Matrix4 m, r;
        MatRotation(3, RandomUniform(random) * 6.0f, m);
        MatRotation(1, RandomUniform(random) * 6.0f, r);
        MatMultiply(m, r, m);
        MatRotation(2, RandomUniform(random) * 6.0f, r);
        MatMultiply(m, r, m);
        MatTranslation({RandomUniform(random) * 400 - 200, RandomUniform(random) * 400 - 200, 50}, r);
        MatMultiply(m, r, m);
        EXPECT_NEAR(MatDeterminant(m), 1.0f, 1e-4f);
        MatInverse(m, inverse);
        Matrix4 product;
        MatMultiply(m, inverse, product);
        ExpectMatricesNear(product, identity, 1e-3f);
    }
}

TEST(Matrix, DeterminantExpandsAlongRowZero) {
    Matrix4 m;
    MatFromRows({2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {1, 2, 3, 1}, m);
    EXPECT_FLOAT_EQ(MatDeterminant(m), 24.0f);
    EXPECT_FLOAT_EQ(Det3(1, 2, 3, 4, 5, 6, 7, 8, 10), -3.0f);
}

TEST(Matrix, DirectionFromAnglesUsesPitchThenYaw) {
    Vector3 out;
    DirectionFromAngles({5, 0, 0}, out);
    ExpectNear(out, {0, 0, 1});
    DirectionFromAngles({0, kPi / 2, 0}, out);
    ExpectNear(out, {0, -1, 0});
    DirectionFromAngles({0, 0, kPi / 2}, out);
    ExpectNear(out, {1, 0, 0});
    DirectionFromAngles({0, 0.4f, -1.1f}, out);
    ExpectNear(out, {std::cos(0.4f) * std::sin(-1.1f), -std::sin(0.4f), std::cos(0.4f) * std::cos(-1.1f)});
    EXPECT_NEAR(VecLength(out), 1.0f, 1e-6f);
}

TEST(Random, FixedSeedRepeatsAndValuesStayInRange) {
    Random first, second;
    RandomSeed(first, 45296.123);
    RandomSeed(second, 45296.123);
    for (int i = 0; i < 10000; ++i) {
        const float a = RandomUniform(first);
        EXPECT_EQ(a, RandomUniform(second));
        ASSERT_GE(a, 0.0f);
        ASSERT_LT(a, 1.0f);
    }
    Random other;
    RandomSeed(other, 45296.124);  // one millisecond later gives another sequence
    RandomSeed(first, 45296.123);
    EXPECT_NE(RandomUniform(first), RandomUniform(other));

    Vector3 cube;
    VecRandomUnitCube(first, cube);
    EXPECT_GE(cube.x, -1.0f);
    EXPECT_LT(cube.z, 1.0f);
}

TEST(Random, InjectedClockSeedsReproducibly) {
    Random a, b;
    a.clock = [] { return 3600.5; };
    b.clock = a.clock;
    RandomSeedFromClock(a);
    RandomSeedFromClock(b);
    EXPECT_EQ(RandomUniform(a), RandomUniform(b));
    Random seeded;
    RandomSeed(seeded, 3600.5);
    RandomSeedFromClock(a);
    EXPECT_EQ(RandomUniform(a), RandomUniform(seeded));
}

}  // namespace
}  // namespace vantrel
