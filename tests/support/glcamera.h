#pragma once

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

inline Mat4 windowProjection() {
    const double l = -5, r = 5, b = -8, t = 2, n = -10, f = 20;
    Mat4 p;
    p.m[0] = 2 / (r - l);
    p.m[5] = 2 / (t - b);
    p.m[10] = -2 / (f - n);
    p.m[12] = -(r + l) / (r - l);
    p.m[13] = -(t + b) / (t - b);
    p.m[14] = -(f + n) / (f - n);
    p.m[15] = 1;
    return p;
}

inline Mat4 windowCamera() {
    const double eye[3] = {2, 3, 5}, centre[3] = {0, 4, 0}, up[3] = {0, 1, 0};
    auto normalize = [](double v[3]) {
        double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int i = 0; i < 3; ++i) v[i] /= length;
    };
    auto cross = [](const double a[3], const double b[3], double out[3]) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    double f[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]}, s[3], u[3];
    normalize(f);
    cross(f, up, s);
    normalize(s);
    cross(s, f, u);
    Mat4 v;
    for (int i = 0; i < 3; ++i) {
        v.m[4 * i] = s[i];
        v.m[4 * i + 1] = u[i];
        v.m[4 * i + 2] = -f[i];
    }
    for (int i = 0; i < 3; ++i) v.m[12 + 0] -= s[i] * eye[i];
    for (int i = 0; i < 3; ++i) v.m[12 + 1] -= u[i] * eye[i];
    for (int i = 0; i < 3; ++i) v.m[12 + 2] += f[i] * eye[i];
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
    double length = std::sqrt(x * x + y * y + z * z);
    x /= length, y /= length, z /= length;
    double a = degrees * std::acos(-1.0) / 180, c = std::cos(a), s = std::sin(a);
    const double rows[3][3] = {
        {x * x * (1 - c) + c, x * y * (1 - c) - z * s, x * z * (1 - c) + y * s},
        {y * x * (1 - c) + z * s, y * y * (1 - c) + c, y * z * (1 - c) - x * s},
        {x * z * (1 - c) - y * s, y * z * (1 - c) + x * s, z * z * (1 - c) + c}};
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
    double p[4] = {scene[0], scene[1], scene[2], 1}, eye[4], clip[4];
    transform(multiply(windowCamera(), model), p, eye);
    transform(windowProjection(), eye, clip);
    pixel[0] = (clip[0] / clip[3] + 1) / 2 * width;
    pixel[1] = (1 - clip[1] / clip[3]) / 2 * height;
}
