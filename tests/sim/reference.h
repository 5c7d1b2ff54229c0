#pragma once

// An independent, scalar re-statement of the box's construction and its time
// step on plain arrays, with no code shared with the sim library. The library
// must match it bit for bit.

#include <cmath>
#include <vector>

namespace reference {

struct Node {
    double p[3], v[3] = {0, 0, 0}, a[3] = {0, 0, 0}, f[3] = {0, 0, 0}, c[3] = {0, 0, 0};
    double m;
};
struct Spring {
    int a, b;
    double rest, f1[3], f2[3];
};

struct Box {
    int n;  // nodes per axis
    double k, damp;
    std::vector<Node> nodes;  // index (i * n + j) * n + k
    std::vector<Spring> springs;
    int at(int i, int j, int k) const { return (i * n + j) * n + k; }

    Box(int cells, double s, double stiff, double dmp, double mass)
        : n(cells + 1), k(stiff), damp(dmp) {
        double x = -(cells * s) / 2.0;
        for (int i = 0; i < n; ++i, x += s) {
            double y = -(cells * s) / 2.0;
            for (int j = 0; j < n; ++j, y += s) {
                double z = -(cells * s) / 2.0;
                for (int q = 0; q < n; ++q, z += s)
                    nodes.push_back({{x, y, z}, {}, {}, {}, {}, mass});
            }
        }
        auto add = [&](int a, int b, double r) { springs.push_back({a, b, r, {}, {}}); };
        int m = n - 1;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                for (int q = 0; q < n; ++q) {
                    if (i < m) add(at(i, j, q), at(i + 1, j, q), s);
                    if (j < m) add(at(i, j, q), at(i, j + 1, q), s);
                    if (q < m) add(at(i, j, q), at(i, j, q + 1), s);
                }
        double r3 = std::sqrt((3.0 * s) * s), r2 = std::sqrt((2.0 * s) * s);
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < m; ++j)
                for (int q = 0; q < m; ++q) {
                    add(at(i, j, q), at(i + 1, j + 1, q + 1), r3);
                    add(at(i + 1, j, q), at(i, j + 1, q + 1), r3);
                    add(at(i + 1, j, q + 1), at(i, j + 1, q), r3);
                    add(at(i, j, q + 1), at(i + 1, j + 1, q), r3);
                }
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                for (int q = 0; q < n; ++q) {
                    if (i < m && j < m)
                        add(at(i, j, q), at(i + 1, j + 1, q), r2),
                            add(at(i + 1, j, q), at(i, j + 1, q), r2);
                    if (q < m && j < m)
                        add(at(i, j, q), at(i, j + 1, q + 1), r2),
                            add(at(i, j, q + 1), at(i, j + 1, q), r2);
                    if (i < m && q < m)
                        add(at(i, j, q), at(i + 1, j, q + 1), r2),
                            add(at(i, j, q + 1), at(i + 1, j, q), r2);
                }
    }
};

inline double dot(const double* a, const double* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline double len(const double* a) {
    return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
}
inline void unit(const double* a, double* out) {
    double l = len(a);
    for (int c = 0; c < 3; ++c) out[c] = l != 0.0 ? a[c] / l : 0.0;
}

// Normal force, friction against the previous contact force, reflection.
inline void contact(Node& nd, const double* n) {
    double N[3] = {0, 0, 0}, d = dot(nd.f, n);
    if (d < 0) {
        for (int c = 0; c < 3; ++c) N[c] = n[c] * std::fabs(d);
        double sum[3], t[3], qs[3], qk[3], ft[3], vt[3], R[3];
        for (int c = 0; c < 3; ++c) sum[c] = nd.f[c] + nd.c[c];
        unit(sum, t);
        double b[3] = {t[1] * n[2] - t[2] * n[1], t[2] * n[0] - t[0] * n[2],
                       t[0] * n[1] - t[1] * n[0]};
        double fT = dot(nd.f, t), fB = dot(nd.f, b), vT = dot(nd.v, t), vB = dot(nd.v, b);
        for (int c = 0; c < 3; ++c) {
            ft[c] = t[c] * fT + b[c] * fB;
            vt[c] = t[c] * vT + b[c] * vB;
            qs[c] = nd.c[c] * 0.5;
            qk[c] = nd.c[c] * 0.3;
        }
        if (len(ft) - len(qs) > 0 || len(vt) > 0.025) {
            double u[3], mag = len(qk);
            unit(vt, u);
            for (int c = 0; c < 3; ++c) R[c] = -u[c] * mag;
        } else {
            for (int c = 0; c < 3; ++c) nd.v[c] += -vt[c], R[c] = -ft[c];
        }
        for (int c = 0; c < 3; ++c) nd.f[c] += R[c];
    }
    for (int c = 0; c < 3; ++c) nd.c[c] = N[c], nd.f[c] += N[c];
    double vn = dot(nd.v, n);
    for (int c = 0; c < 3; ++c) nd.v[c] += n[c] * -vn;
    for (int c = 0; c < 3; ++c) nd.v[c] += (n[c] * -vn) * 1.0;
}

// One frame with gravity: all spring forces first, then every node alone.
// `push` is added to the nodes listed in `pushed` (a poke) during this step.
inline void step(Box& box, double dt, const std::vector<int>& pushed = {},
                 const double* push = nullptr) {
    for (Spring& s : box.springs) {
        Node &p = box.nodes[s.a], &q = box.nodes[s.b];
        double dd[3], u[3], dir[3];
        for (int c = 0; c < 3; ++c) dd[c] = p.p[c] - q.p[c], u[c] = q.p[c] - p.p[c];
        double F = box.k * (s.rest - std::sqrt(dd[0] * dd[0] + dd[1] * dd[1] + dd[2] * dd[2]));
        unit(u, dir);
        for (int c = 0; c < 3; ++c) {
            s.f1[c] = -(dir[c] * F) - p.v[c] * box.damp;
            s.f2[c] = dir[c] * F - q.v[c] * box.damp;
        }
    }
    for (int id = 0; id < int(box.nodes.size()); ++id) {
        Node& nd = box.nodes[id];
        nd.f[0] = 0.0 + 0.0, nd.f[1] = 0.0 + -9.8 * nd.m, nd.f[2] = 0.0 + 0.0;
        for (const Spring& s : box.springs) {
            const double* sf = s.a == id ? s.f1 : s.b == id ? s.f2 : nullptr;
            for (int c = 0; sf && c < 3; ++c) nd.f[c] += sf[c];
        }
        for (int p : pushed)
            for (int c = 0; p == id && c < 3; ++c) nd.f[c] += push[c];
        static const double up[3] = {0, 1, 0}, right[3] = {1, 0, 0}, left[3] = {-1, 0, 0};
        if (nd.p[1] <= -1.0) contact(nd, up);
        if (nd.p[0] <= -4.0) contact(nd, right);
        if (nd.p[0] >= 4.0) contact(nd, left);
        for (int c = 0; c < 3; ++c) {
            nd.a[c] = nd.f[c] / nd.m;
            nd.v[c] += nd.a[c] * dt;
            nd.p[c] += (nd.v[c] * dt) + (nd.a[c] * ((0.5 * dt) * dt));
        }
    }
}

}  // namespace reference
