#include <gtest/gtest.h>

#include "tests/support/capture.h"
#include "sim/massnode.h"
#include "sim/spring.h"

TEST(MassNode, PendingForceActsOnceAndSpringEndsPickTheirForce) {
    MassNode a(Vector3(0, 0, 0), 1), b(Vector3(1, 0, 0), 1);
    Spring s(&a, &b, 1, 1, 0);
    s.forceOnFirst = Vector3(1, 0, 0);
    s.forceOnSecond = Vector3(0, 7, 0);
    b.springs.push_back(&s);
    b.springEnds.push_back(2);
    b.addPendingForce(Vector3(0, 0, 2));
    b.addPendingForce(Vector3(0, 0, 2));
    b.clearForce();
    b.gatherSpringForces();
    b.applyPendingForce();
    b.applyPendingForce();
    EXPECT_EQ(b.force, Vector3(0, 7, 4));
}

TEST(MassNode, ContactPushingAwayGetsNoNormalForceButIsReflected) {
    MassNode node(Vector3(0, -1.5, 0), 1);
    node.contactForce = Vector3(0, 3, 0);
    node.force = Vector3(1, 2, 0);
    node.velocity = Vector3(0, 0.5, 0);
    node.collide(Vector3(0, 1, 0));
    EXPECT_EQ(node.force, Vector3(1, 2, 0));
    EXPECT_EQ(node.contactForce, Vector3(0, 0, 0));
    EXPECT_EQ(node.velocity, Vector3(0, -0.5, 0));  // moving out, yet turned back
    node.reflectVelocity(Vector3(0, 1, 0), 1.0);
    EXPECT_EQ(node.velocity, Vector3(0, 0.5, 0));
}

TEST(MassNode, FirstContactIsKineticWithZeroFriction) {
    MassNode node(Vector3(0, -1, 0), 1);
    node.force = Vector3(3, -5, 0);
    node.velocity = Vector3(0.01, 0, 0);
    node.applyNormalForce(Vector3(0, 1, 0));
    EXPECT_EQ(node.force, Vector3(3, 0, 0));
    EXPECT_EQ(node.contactForce, Vector3(0, 5, 0));
    EXPECT_EQ(node.velocity, Vector3(0.01, 0, 0));
}

TEST(MassNode, FrictionUsesThePreviousContactForce) {
    // Slow and weakly pushed: static friction stops the sliding at once.
    MassNode stuck(Vector3(0, -1, 0), 1);
    stuck.contactForce = Vector3(0, 10, 0);
    stuck.force = Vector3(1, -10, 0);
    stuck.velocity = Vector3(0.02, -1, 0);
    stuck.applyNormalForce(Vector3(0, 1, 0));
    EXPECT_EQ(stuck.velocity, Vector3(0, -1, 0));
    EXPECT_EQ(stuck.force, Vector3(0, 0, 0));
    // Fast: kinetic friction of 0.3 times the old normal force, against the motion.
    MassNode sliding(Vector3(0, -1, 0), 1);
    sliding.contactForce = Vector3(0, 12, 0);
    sliding.force = Vector3(1, -12, 0);
    sliding.velocity = Vector3(1, 0, 0);
    sliding.applyNormalForce(Vector3(0, 1, 0));
    EXPECT_EQ(sliding.force, Vector3(1 - 12 * 0.3, 0, 0));
    EXPECT_EQ(sliding.contactForce, Vector3(0, 12, 0));
    EXPECT_EQ(sliding.velocity, Vector3(1, 0, 0));
}

TEST(Spring, HookeAndOwnVelocityDamping) {
    MassNode a(Vector3(0, 0, 0), 1), b(Vector3(2, 0, 0), 1);
    Spring s(&a, &b, 1, 10, 0);
    s.computeForces();
    EXPECT_EQ(s.forceOnFirst, Vector3(10, 0, 0));
    EXPECT_EQ(s.forceOnSecond, Vector3(-10, 0, 0));
    b.position = Vector3(0.5, 0, 0);
    s.computeForces();
    EXPECT_EQ(s.forceOnFirst, Vector3(-5, 0, 0));
    EXPECT_EQ(s.forceOnSecond, Vector3(5, 0, 0));

    Spring swapped(&b, &a, 1, 10, 0);
    swapped.computeForces();
    EXPECT_EQ(swapped.forceOnFirst, Vector3(5, 0, 0));
    EXPECT_EQ(swapped.forceOnSecond, Vector3(-5, 0, 0));

    Spring moving(&a, &b, 0.5, 10, 0.02);
    a.velocity = b.velocity = Vector3(0, -1, 0);
    moving.computeForces();
    EXPECT_EQ(moving.forceOnFirst, Vector3(0, 0.02, 0));
    EXPECT_EQ(moving.forceOnSecond, Vector3(0, 0.02, 0));

    b.position = a.position;  // coincident ends: damping alone
    b.velocity = Vector3(3, 0, 0);
    moving.computeForces();
    EXPECT_EQ(moving.forceOnFirst, Vector3(0, 0.02, 0));
    EXPECT_EQ(moving.forceOnSecond, Vector3(0.0 - 3 * 0.02, 0, 0));
}

TEST(Spring, Print) {
    MassNode a(Vector3(0, 0, 0), 1), b(Vector3(0.5, 0, 0), 1);
    Spring s(&a, &b, 0.5, 1, 0);
    EXPECT_EQ(captureStderr([&] { s.print(); }), "[(0,0,0)(0.5,0,0)]");
}
