#pragma once

#include <array>
#include <cmath>

// The window's fixed projection and camera, and the springs' tilt, worked out
// here from their definitions rather than taken from GL, to check GL, the
// picture and the RIB against. Matrices are column-major, as GL hands them out.
struct Mat4 {
    double m[16] = {};
};

inline Mat4 identity4() {
    Mat4 i;
    i.m[0] = i.m[5] = i.m[10] = i.m[15] = 1;
    return i;
}

// glOrtho(-5, 5, -8, 2, -10, 20)
inline Mat4 windowProjection() {
    const double l = -5, r = 5, b = -8, t = 2, n = -10, f = 20;
    Mat4 p;
    p.m[0] = 2 / (r - l), p.m[5] = 2 / (t - b), p.m[10] = -2 / (f - n), p.m[15] = 1;
    p.m[12] = -(r + l) / (r - l), p.m[13] = -(t + b) / (t - b), p.m[14] = -(f + n) / (f - n);
    return p;
}

// gluLookAt from (2, 3, 5) at (0, 4, 0), y up
inline Mat4 windowCamera() {
    using V = std::array<double, 3>;
    auto unit = [](V v) {
        double l = std::hypot(v[0], v[1], v[2]);
        return V{v[0] / l, v[1] / l, v[2] / l};
    };
    auto cross = [](V a, V b) {
        return V{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    };
    const V eye{2, 3, 5}, centre{0, 4, 0};
    const V f = unit({centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]});
    const V s = unit(cross(f, {0, 1, 0})), u = cross(s, f);
    Mat4 v;
    for (int i = 0; i < 3; ++i) {
        v.m[4 * i] = s[i], v.m[4 * i + 1] = u[i], v.m[4 * i + 2] = -f[i];
        v.m[12] -= s[i] * eye[i], v.m[13] -= u[i] * eye[i], v.m[14] += f[i] * eye[i];
    }
    v.m[15] = 1;
    return v;
}

// m · (x, y, z, w)
inline void transform(const Mat4& a, const double in[4], double out[4]) {
    for (int r = 0; r < 4; ++r) {
        out[r] = 0;
        for (int c = 0; c < 4; ++c) out[r] += a.m[4 * c + r] * in[c];
    }
}

// a · b
inline Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 p;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k) p.m[4 * c + r] += a.m[4 * k + r] * b.m[4 * c + k];
    return p;
}

// The matrix glRotatef(degrees, x, y, z) multiplies in.
inline Mat4 rotation(double degrees, double x, double y, double z) {
    const double l = std::hypot(x, y, z), a = degrees * std::acos(-1.0) / 180;
    const double c = std::cos(a), s = std::sin(a), k = 1 - c;
    x /= l, y /= l, z /= l;
    const double rows[3][3] = {{x * x * k + c, x * y * k - z * s, x * z * k + y * s},
                               {y * x * k + z * s, y * y * k + c, y * z * k - x * s},
                               {x * z * k - y * s, y * z * k + x * s, z * z * k + c}};
    Mat4 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.m[4 * j + i] = rows[i][j];
    r.m[15] = 1;
    return r;
}

// Where a point of the scene lands in a window of the given size, in pixels
// from the top left corner, under the camera and then `model`.
inline void windowPixel(const Mat4& model, const double scene[3], int width, int height,
                        double pixel[2]) {
    double p[4] = {scene[0], scene[1], scene[2], 1}, clip[4];
    transform(multiply(windowProjection(), multiply(windowCamera(), model)), p, clip);
    pixel[0] = (clip[0] / clip[3] + 1) / 2 * width;
    pixel[1] = (1 - clip[1] / clip[3]) / 2 * height;
}
