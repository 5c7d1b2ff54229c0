// A large text RIB scene for timing readers: frames of options, lights,
// shaders, transforms and every common kind of primitive with its
// primitive variables, the same bytes on every run. Made with plain text
// formatting only, so that it owes nothing to the library it measures.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace duzozo {
namespace bench {

class SceneText {
  public:
    explicit SceneText(std::string& out) : out_(out) {}

    SceneText& raw(const char* text) {
        out_ += text;
        return *this;
    }
    SceneText& integer(long v) {
        char text[24];
        out_.append(text, std::to_chars(text, text + sizeof text, v).ptr);
        out_ += ' ';
        return *this;
    }
    // %g with `digits` significant digits: 6 as most writers do, 9 where
    // the floats are to come back exactly.
    SceneText& number(float v, int digits) {
        char text[40];
        out_.append(text, std::to_chars(text, text + sizeof text, double(v),
                                        std::chars_format::general, digits)
                              .ptr);
        out_ += ' ';
        return *this;
    }
    SceneText& quoted(const std::string& text) {
        out_ += '"';
        out_ += text;
        out_ += "\" ";
        return *this;
    }
    SceneText& numbers(const std::vector<float>& v, int digits) {
        out_ += '[';
        for (float x : v) number(x, digits);
        return close();
    }
    SceneText& integers(const std::vector<int>& v) {
        out_ += '[';
        for (int x : v) integer(x);
        return close();
    }
    SceneText& strings(const std::vector<std::string>& v) {
        out_ += '[';
        for (const std::string& s : v) quoted(s);
        return close();
    }
    SceneText& close() {
        if (out_.back() == ' ') out_.pop_back();
        out_ += "] ";
        return *this;
    }
    SceneText& end() {
        if (!out_.empty() && out_.back() == ' ') out_.pop_back();
        out_ += '\n';
        return *this;
    }

  private:
    std::string& out_;
};

// A small deterministic generator: the scene must not change between runs
// or machines.
class SceneRandom {
  public:
    explicit SceneRandom(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform in [lo, hi).
    float uniform(float lo, float hi) { return lo + (hi - lo) * float(next() >> 8) * (1.0f / 16777216.0f); }
    int below(int n) { return int(next() % std::uint32_t(n)); }

  private:
    std::uint32_t state_;
};

class SceneGenerator {
  public:
    explicit SceneGenerator(std::uint32_t seed = 1) : random_(seed) {}

    // Whole frames until the text reaches `targetBytes`.
    std::string generate(std::size_t targetBytes) {
        std::string out;
        out.reserve(targetBytes + (1 << 20));
        SceneText t(out);
        t.raw("##RenderMan RIB-Structure 1.0\nversion 3.03\n");
        t.raw("Declare \"bumpiness\" \"varying float\"\n");
        t.raw("Declare \"roughness\" \"uniform float\"\n");
        for (int frame = 1; out.size() < targetBytes; ++frame) this->frame(t, frame);
        return out;
    }

  private:
    void frame(SceneText& t, int frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame%04d.tif", frame);
        t.raw("FrameBegin ").integer(frame).end();
        t.raw("Format ").integer(640).integer(480).number(1, 6).end();
        t.raw("PixelSamples ").number(4, 6).number(4, 6).end();
        t.raw("ShadingRate ").number(1, 6).end();
        t.raw("Projection ").quoted("perspective").quoted("fov").numbers({40}, 6).end();
        t.raw("Display ").quoted(name).quoted("file").quoted("rgba").end();
        t.raw("Option ").quoted("limits").quoted("bucketsize").integers({16, 16}).end();
        t.raw("Option ").quoted("searchpath").quoted("string shader").strings({"@:shaders"}).end();
        t.raw("Clipping ").number(0.1f, 6).number(1000, 6).end();
        t.raw("Translate ").number(0, 6).number(-0.5f, 6).number(8 + frame * 0.01f, 6).end();
        t.raw("Rotate ").number(-25, 6).number(1, 6).number(0, 6).number(0, 6).end();
        t.raw("WorldBegin").end();
        t.raw("LightSource ").quoted("distantlight").integer(1).quoted("intensity").numbers({0.8f}, 6)
            .quoted("from").numbers({0, 10, -4}, 6).quoted("to").numbers({0, 0, 0}, 6).end();
        t.raw("LightSource ").quoted("pointlight").integer(2).quoted("intensity").numbers({25}, 6)
            .quoted("from").numbers({3, 4, -2}, 6).quoted("color lightcolor").numbers({1, 0.9f, 0.8f}, 6).end();
        t.raw("Illuminate ").integer(2).integer(1).end();
        // Odd frames carry their geometry's positions to nine digits.
        int digits = frame % 2 == 1 ? 9 : 6;
        for (int object = 0; object < 4; ++object) {
            std::snprintf(name, sizeof name, "mesh_%d_%d", frame, object);
            t.raw("AttributeBegin").end();
            t.raw("Attribute ").quoted("identifier").quoted("name").strings({name}).end();
            t.raw("Color ").numbers({random_.uniform(0, 1), random_.uniform(0, 1), random_.uniform(0, 1)}, 6).end();
            surface(t);
            t.raw("Translate ").number(random_.uniform(-3, 3), 6).number(0, 6).number(random_.uniform(-3, 3), 6).end();
            t.raw("Scale ").number(0.5f, 6).number(0.5f, 6).number(0.5f, 6).end();
            switch (object) {
                case 0: pointsPolygons(t, digits); break;
                case 1: patchMesh(t, digits); break;
                case 2: curves(t, digits); break;
                case 3: subdivisionMesh(t, digits); break;
            }
            t.raw("AttributeEnd").end();
        }
        t.raw("AttributeBegin").end();
        t.raw("ConcatTransform ").numbers(matrix(), 9).end();
        nuPatch(t, digits);
        t.raw("AttributeEnd").end();
        t.raw("WorldEnd").end();
        t.raw("FrameEnd").end();
    }

    std::vector<float> matrix() {
        float a = random_.uniform(0, 6.2831853f), c = std::cos(a), s = std::sin(a);
        return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, random_.uniform(-1, 1), 0.25f, random_.uniform(-1, 1), 1};
    }

    void surface(SceneText& t) {
        static const char* const textures[] = {"wood.tx", "marble.tx", "brick_diffuse.tx"};
        t.raw("Surface ").quoted(random_.below(2) ? "plastic" : "paintedplastic")
            .quoted("Ka").numbers({1}, 6).quoted("Kd").numbers({random_.uniform(0.3f, 0.9f)}, 6)
            .quoted("Ks").numbers({0.5f}, 6).quoted("roughness").numbers({0.1f}, 6)
            .quoted("color specularcolor").numbers({1, 1, 1}, 6)
            .quoted("string texturename").strings({textures[random_.below(3)]}).end();
        t.raw("Displacement ").quoted("bumpy").quoted("float Km").numbers({0.03f}, 6).end();
    }

    // A height field over a grid of `columns` by `rows` points.
    void grid(int columns, int rows, std::vector<float>& P, std::vector<float>& N,
              std::vector<float>& st) {
        float phase = random_.uniform(0, 6.2831853f);
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < columns; ++i) {
                float x = float(i) / float(columns - 1) * 2 - 1, z = float(j) / float(rows - 1) * 2 - 1;
                float y = 0.2f * std::sin(4 * x + phase) * std::cos(3 * z);
                P.insert(P.end(), {x, y, z});
                float nx = -0.8f * std::cos(4 * x + phase) * std::cos(3 * z);
                float nz = 0.6f * std::sin(4 * x + phase) * std::sin(3 * z);
                float length = std::sqrt(nx * nx + 1 + nz * nz);
                N.insert(N.end(), {nx / length, 1 / length, nz / length});
                st.insert(st.end(), {float(i) / float(columns - 1), float(j) / float(rows - 1)});
            }
        }
    }

    void pointsPolygons(SceneText& t, int digits) {
        const int columns = 48, rows = 40;
        std::vector<float> P, N, st, Cs, bump;
        grid(columns, rows, P, N, st);
        for (int k = 0; k < columns * rows; ++k) {
            Cs.insert(Cs.end(), {random_.uniform(0, 1), random_.uniform(0, 1), random_.uniform(0, 1)});
            bump.push_back(random_.uniform(0, 0.05f));
        }
        std::vector<int> nvertices, vertices;
        for (int j = 0; j + 1 < rows; ++j) {
            for (int i = 0; i + 1 < columns; ++i) {
                int a = j * columns + i;
                nvertices.push_back(4);
                vertices.insert(vertices.end(), {a, a + 1, a + columns + 1, a + columns});
            }
        }
        t.raw("PointsPolygons ").integers(nvertices).integers(vertices).quoted("P").numbers(P, digits)
            .quoted("N").numbers(N, 6).quoted("st").numbers(st, 6).quoted("Cs").numbers(Cs, 6)
            .quoted("bumpiness").numbers(bump, 6).end();
    }

    void patchMesh(SceneText& t, int digits) {
        // Bezier steps of 3: (13 - 4) / 3 + 1 = 4 patches across, 3 down.
        const int nu = 13, nv = 10;
        std::vector<float> P, N, st, Cs;
        grid(nu, nv, P, N, st);
        for (int k = 0; k < 5 * 4; ++k) Cs.insert(Cs.end(), {random_.uniform(0, 1), 0.5f, 0.25f});
        t.raw("Basis ").quoted("bezier").integer(3).quoted("bezier").integer(3).end();
        t.raw("PatchMesh ").quoted("bicubic").integer(nu).quoted("nonperiodic").integer(nv)
            .quoted("nonperiodic").quoted("P").numbers(P, digits).quoted("Cs").numbers(Cs, 6).end();
    }

    void curves(SceneText& t, int digits) {
        // Catmull-Rom steps of 1: n - 2 widths for a curve of n points.
        std::vector<int> nvertices;
        std::vector<float> P, width;
        for (int c = 0; c < 60; ++c) {
            int n = 6 + random_.below(10);
            nvertices.push_back(n);
            float x = random_.uniform(-1, 1), z = random_.uniform(-1, 1);
            for (int k = 0; k < n; ++k)
                P.insert(P.end(), {x + 0.02f * std::sin(float(k)), 0.1f * float(k), z});
            for (int k = 0; k < n - 2; ++k) width.push_back(0.01f * float(n - k) / float(n));
        }
        t.raw("Basis ").quoted("catmull-rom").integer(1).quoted("catmull-rom").integer(1).end();
        t.raw("Curves ").quoted("cubic").integers(nvertices).quoted("nonperiodic").quoted("P")
            .numbers(P, digits).quoted("width").numbers(width, 6)
            .quoted("constant color hairtint").numbers({0.4f, 0.3f, 0.2f}, 6).end();
    }

    void subdivisionMesh(SceneText& t, int digits) {
        const int columns = 24, rows = 20;
        std::vector<float> P, N, st;
        grid(columns, rows, P, N, st);
        std::vector<int> nvertices, vertices;
        std::vector<float> uv;
        for (int j = 0; j + 1 < rows; ++j) {
            for (int i = 0; i + 1 < columns; ++i) {
                int a = j * columns + i;
                nvertices.push_back(4);
                vertices.insert(vertices.end(), {a, a + 1, a + columns + 1, a + columns});
                uv.insert(uv.end(), {st[2 * a], st[2 * a + 1], st[2 * a + 2], st[2 * a + 1],
                                     st[2 * a + 2], st[2 * a + 3], st[2 * a], st[2 * a + 3]});
            }
        }
        std::vector<float> sharp(columns * rows);
        for (float& s : sharp) s = random_.uniform(0, 1);
        t.raw("SubdivisionMesh ").quoted("catmull-clark").integers(nvertices).integers(vertices)
            .strings({"crease", "interpolateboundary"}).integers({2, 1, 0, 0}).integers({0, 1})
            .numbers({2.5f}, 6).quoted("P").numbers(P, digits)
            .quoted("vertex float sharpness").numbers(sharp, 6)
            .quoted("facevarying float[2] uv").numbers(uv, 6).end();
    }

    void nuPatch(SceneText& t, int digits) {
        // Cubic across, quadratic down: (nu - 4 + 2) * (nv - 3 + 2) varying values.
        const int nu = 7, nv = 5;
        std::vector<float> uknots = {0, 0, 0, 0, 1, 2, 3, 4, 4, 4, 4};
        std::vector<float> vknots = {0, 0, 0, 1, 2, 3, 3, 3};
        std::vector<float> Pw, st;
        for (int j = 0; j < nv; ++j) {
            for (int i = 0; i < nu; ++i)
                Pw.insert(Pw.end(), {float(i), random_.uniform(-0.5f, 0.5f), float(j), 1});
        }
        for (int k = 0; k < (nu - 4 + 2) * (nv - 3 + 2); ++k)
            st.insert(st.end(), {random_.uniform(0, 1), random_.uniform(0, 1)});
        t.raw("NuPatch ").integer(nu).integer(4).numbers(uknots, 6).number(0, 6).number(4, 6)
            .integer(nv).integer(3).numbers(vknots, 6).number(0, 6).number(3, 6)
            .quoted("Pw").numbers(Pw, digits).quoted("st").numbers(st, 6).end();
    }

    SceneRandom random_;
};

// The scene of about `megabytes` MB that the benchmarks read.
inline std::string generateScene(double megabytes, std::uint32_t seed = 1) {
    return SceneGenerator(seed).generate(std::size_t(megabytes * 1e6));
}

}  // namespace bench
}  // namespace duzozo
