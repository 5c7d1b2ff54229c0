// Needs a display: runs in a real GL context.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "sim/world.h"
#include "tests/support/glcamera.h"
#include "view/viewer.h"

namespace {

class Graphics : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static bool open = false;
        if (open) return;
        int argc = 1;
        char name[] = "graphics_test";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_DOUBLE);
        glutCreateWindow("graphics test");
        open = true;
    }
    void SetUp() override { initGraphics(); }
};

void expectMatrix(GLenum which, const Mat4& want) {
    GLdouble got[16];
    glGetDoublev(which, got);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], want.m[i], 1e-6) << "element " << i;
}

void expectLight(GLenum light, GLenum parameter, std::vector<GLfloat> want) {
    GLfloat got[4];
    glGetLightfv(light, parameter, got);
    EXPECT_EQ(std::vector<GLfloat>(got, got + 4), want) << "light " << light - GL_LIGHT0;
}

GLint integer(GLenum which) {
    GLint value = -1;  // never a value asked for
    glGetIntegerv(which, &value);
    return value;
}

}  // namespace

// And the matrix a spring is drawn under, which the RIB's chains are checked
// against.
TEST_F(Graphics, FixedProjectionAndCamera) {
    expectMatrix(GL_PROJECTION_MATRIX, windowProjection());
    expectMatrix(GL_MODELVIEW_MATRIX, windowCamera());
    glPushMatrix();
    glRotatef(15, 1, 1, 0);
    expectMatrix(GL_MODELVIEW_MATRIX, multiply(windowCamera(), rotation(15, 1, 1, 0)));
    glPopMatrix();
}

TEST_F(Graphics, TwoOfThreeLightsOnAndFixedInTheScene) {
    const double positions[3][4] = {{-3, 1, 2, 1}, {1, -1, 3, 1}, {0, 0, -3, 1}};
    const std::vector<GLfloat> ambient[3] = {
        {0.35f, 0.15f, 0.35f, 0.5f}, {0.01f, 0.01f, 0.01f, 0.5f}, {0.1f, 0.1f, 0.1f, 0.5f}};
    const std::vector<GLfloat> diffuse[3] = {
        {0.15f, 0.45f, 0.45f, 0.5f}, {0.01f, 0.01f, 0.01f, 0.5f}, {0.1f, 0.1f, 0.1f, 0.5f}};
    for (int n = 0; n < 3; ++n) {
        // GL keeps positions in eye coordinates: they went through the camera.
        double eye[4];
        transform(windowCamera(), positions[n], eye);
        GLfloat got[4];
        glGetLightfv(GL_LIGHT0 + n, GL_POSITION, got);
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(got[c], eye[c], 1e-5) << n << "," << c;
        expectLight(GL_LIGHT0 + n, GL_SPECULAR, {1, 1, 1, 0.5f});
        expectLight(GL_LIGHT0 + n, GL_AMBIENT, ambient[n]);
        expectLight(GL_LIGHT0 + n, GL_DIFFUSE, diffuse[n]);
    }
}

// Colour-tracking material, additive blending, lights 0 and 1 alone, no depth
// test and no culling.
TEST_F(Graphics, FixedState) {
    const std::pair<GLenum, GLint> integers[] = {
        {GL_MATRIX_MODE, GL_MODELVIEW},           {GL_COLOR_MATERIAL_FACE, GL_FRONT},
        {GL_COLOR_MATERIAL_PARAMETER, GL_AMBIENT_AND_DIFFUSE},
        {GL_BLEND_SRC, GL_SRC_ALPHA},             {GL_BLEND_DST, GL_ONE},
        {GL_FRONT_FACE, GL_CCW},                  {GL_SHADE_MODEL, GL_SMOOTH},
        {GL_LIGHT_MODEL_TWO_SIDE, 0}};
    for (auto [which, want] : integers) EXPECT_EQ(integer(which), want) << std::hex << which;
    for (GLenum on : {GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_COLOR_MATERIAL, GL_BLEND})
        EXPECT_TRUE(glIsEnabled(on)) << std::hex << on;
    for (GLenum off : {GL_LIGHT2, GL_LIGHT3, GL_LIGHT4, GL_LIGHT5, GL_LIGHT6, GL_LIGHT7,
                       GL_DEPTH_TEST, GL_CULL_FACE})
        EXPECT_FALSE(glIsEnabled(off)) << std::hex << off;

    GLfloat specular[4], shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_EQ(std::vector<GLfloat>(specular, specular + 4), (std::vector<GLfloat>{1, 1, 1, 0.5f}));
    EXPECT_EQ(shininess, 128.0f);
}
