#include "sim/vector3.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/capture.h"

TEST(Vector3, LengthNormalizeAndDirection) {
    EXPECT_EQ(Vector3(3, 0, 4).length(), 5.0);
    EXPECT_EQ(Vector3(3, 0, 4).normalized(), Vector3(0.6, 0, 0.8));
    EXPECT_EQ(Vector3(0, 0, 0).normalized(), Vector3(0, 0, 0));
    EXPECT_EQ(Vector3(1, 1, 1).unitTowards(Vector3(1, 1, 3)), Vector3(0, 0, 1));
    EXPECT_EQ(Vector3(2, 2, 2).unitTowards(Vector3(2, 2, 2)), Vector3(0, 0, 0));
}

TEST(Vector3, CrossIsOrdered) {
    EXPECT_EQ(Vector3(1, 0, 0).cross(Vector3(0, 1, 0)), Vector3(0, 0, 1));
    EXPECT_EQ(Vector3(0, 1, 0).cross(Vector3(1, 0, 0)), Vector3(0, 0, -1));
    Vector3 a(0, 1, 0);
    a.crossAssign(Vector3(1, 0, 0));
    EXPECT_EQ(a, Vector3(0, 0, -1));
}

TEST(Vector3, DistanceSquaredKeepsDifferencesOnlyInScratch) {
    Vector3 a(1, 2, 3);
    EXPECT_EQ(a.distanceSquared(Vector3(4, 6, 3)), 25.0);
    EXPECT_EQ(a, Vector3(1, 2, 3));
    EXPECT_EQ(a.dx, -3.0);
    EXPECT_EQ(a.dy, -4.0);
    EXPECT_EQ(a.dz, 0.0);
    // Copying takes the value only; assignment takes the scratch as well.
    Vector3 copied(a);
    EXPECT_EQ(copied.dx, 0.0);
    Vector3 assigned;
    assigned = a;
    EXPECT_EQ(assigned.dy, -4.0);
}

TEST(Vector3, ExactComparisonAndUnguardedDivision) {
    EXPECT_FALSE(Vector3(0.1 + 0.2, 0, 0) == Vector3(0.3, 0, 0));
    EXPECT_TRUE(Vector3(0.3, 0, 0) == Vector3(0.3, 0, 0));
    Vector3 v = Vector3(1, 2, 3) / 0.0;
    EXPECT_TRUE(std::isinf(v.x) && std::isinf(v.y) && std::isinf(v.z));
}

TEST(Vector3, PrintUsesShortestSixDigitForm) {
    EXPECT_EQ(captureStderr([] { Vector3(1, 2.5, -3).print(); }), "(1,2.5,-3)");
    EXPECT_EQ(captureStderr([] { Vector3(1234567, 0.1, 0).print(); }), "(1.23457e+06,0.1,0)");
}
