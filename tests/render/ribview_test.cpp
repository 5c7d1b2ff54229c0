// The RIB's camera and lights, worked out from the requests as a renderer
// reads them, against the window's: no renderer is needed.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "tests/render/ribframes.h"
#include "tests/support/glcamera.h"

namespace {

using namespace ribframes;

// Points are rows, as RenderMan has them: p' = p · m.
using Matrix = std::array<double, 16>;  // row by row

Matrix identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix times(const Matrix& a, const Matrix& b) {
    Matrix p{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k) p[4 * r + c] += a[4 * r + k] * b[4 * k + c];
    return p;
}

struct Placed {
    const Request* request;
    Matrix toCamera;  // from the request's own space
};

// What a frame's requests set up: the picture, the view and where each shape
// and light stands.
struct View {
    double width = 0, height = 0;
    double left = 0, right = 0, bottom = 0, top = 0, nearPlane = 0, farPlane = 0;
    Matrix worldToCamera = identity();
    std::vector<Placed> shapes, lights;

    // Camera coordinates of p; then, in x and y, its pixel from the top left.
    std::array<double, 3> place(const Matrix& m, const double* p) const {
        double camera[4] = {};
        for (int c = 0; c < 4; ++c)
            camera[c] = p[0] * m[c] + p[1] * m[4 + c] + p[2] * m[8 + c] + m[12 + c];
        double x = camera[0] / camera[3], y = camera[1] / camera[3];
        return {(x - left) / (right - left) * width, (top - y) / (top - bottom) * height,
                camera[2] / camera[3]};
    }
};

View view(const Frame& f) {
    View v;
    Matrix current = identity();
    std::vector<Matrix> saved;
    for (const Request& r : f.requests) {
        const std::string& n = r.name;
        if (n == "Format") {
            v.width = number(r, 0);
            v.height = number(r, 1);
            EXPECT_EQ(number(r, 2), 1);
        } else if (n == "Projection") {
            EXPECT_EQ(text(r, 0), "orthographic");
        } else if (n == "ScreenWindow") {
            v.left = number(r, 0), v.right = number(r, 1);
            v.bottom = number(r, 2), v.top = number(r, 3);
        } else if (n == "Clipping") {
            v.nearPlane = number(r, 0), v.farPlane = number(r, 1);
        } else if (n == "ConcatTransform") {
            Matrix m;
            std::copy_n(r.args.at(0).numbers.begin(), 16, m.begin());
            current = times(m, current);
        } else if (n == "WorldBegin" || n == "AttributeBegin" || n == "TransformBegin") {
            if (n == "WorldBegin") v.worldToCamera = current;
            saved.push_back(current);
        } else if (n == "WorldEnd" || n == "AttributeEnd" || n == "TransformEnd") {
            current = saved.back();
            saved.pop_back();
        } else if (n == "PointsPolygons" || n == "Curves") {
            v.shapes.push_back({&r, current});
        } else if (n == "LightSource") {
            v.lights.push_back({&r, current});
        } else if (n != "Display" && n != "Shutter" && n != "Color" && n != "Surface" &&
                   n != "MotionBegin" && n != "MotionEnd") {
            ADD_FAILURE() << "a request these tests do not follow: " << n;
        }
    }
    EXPECT_GT(v.nearPlane, 0) << "the near plane must lie in front of the eye";
    return v;
}

struct Case {
    std::vector<std::string> args;
    bool binary;
};

const Case kCases[] = {
    {{"--frames", "400", "--every", "50", "--poke", "120:0", "--poke", "260:2"}, false},
    {{"--frames", "300", "--every", "100", "--poke", "99:1", "--motion-blur", "--size", "400x250"},
     true},
    {{"--ropes", "--frames", "900", "--every", "300", "--size", "200x320"}, false},
    {{"--ropes", "--frames", "600", "--every", "600", "--motion-blur"}, true},
};

}  // namespace

// Every point of every shape, in both samples of a blurred frame, lands on
// the pixel where the window draws that node: the box as it is, the chains
// turned as the window turns each spring. Nothing lies outside the clipping
// planes or behind the eye.
TEST(RibView, EveryNodeLandsWhereTheWindowDrawsItAndWithinTheClippingPlanes) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        std::vector<Frame> written = framesOf(c.args, c.binary);
        ASSERT_FALSE(written.empty());
        double worst = 0;
        for (const Frame& f : written) {
            View v = view(f);
            ASSERT_EQ(v.shapes.size(), f.all("MotionBegin").empty() ? 1u : 2u) << f.number;
            for (const Placed& shape : v.shapes) {
                const bool chains = shape.request->name == "Curves";
                const Mat4 model = chains ? rotation(15, 1, 1, 0) : identity4();
                const std::vector<double>& p = *param(*shape.request, "P");
                for (std::size_t at = 0; at + 2 < p.size(); at += 3) {
                    std::array<double, 3> rib = v.place(shape.toCamera, &p[at]);
                    double window[2];
                    windowPixel(model, &p[at], int(v.width), int(v.height), window);
                    worst = std::max(
                        {worst, std::abs(rib[0] - window[0]), std::abs(rib[1] - window[1])});
                    EXPECT_GE(rib[2], v.nearPlane) << "frame " << f.number << " point " << at / 3;
                    EXPECT_LE(rib[2], v.farPlane) << "frame " << f.number << " point " << at / 3;
                }
            }
        }
        EXPECT_LT(worst, 0.01) << "pixels between the RIB's node and the window's";
    }
}

// The two lights the window switches on, from where the window has them, in
// the scene's own space; the third, never switched on in the window, is not
// there either.
TEST(RibView, TheLightsStandWhereTheWindowsLightsStand) {
    const std::vector<double> windowLights[] = {{-3, 1, 2}, {1, -1, 3}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        for (const Frame& f : framesOf(c.args, c.binary)) {
            View v = view(f);
            std::vector<const Placed*> distant;
            for (const Placed& light : v.lights) {
                EXPECT_EQ(light.toCamera, v.worldToCamera) << "a light moved out of the scene";
                if (text(*light.request, 0) == "distantlight") distant.push_back(&light);
            }
            ASSERT_EQ(distant.size(), 2u);
            for (int n = 0; n < 2; ++n) {
                const Request& light = *distant[n]->request;
                ASSERT_NE(param(light, "from"), nullptr);
                EXPECT_EQ(*param(light, "from"), windowLights[n]);
                ASSERT_NE(param(light, "intensity"), nullptr);
                EXPECT_GT(param(light, "intensity")->at(0), 0);
            }
        }
    }
}
