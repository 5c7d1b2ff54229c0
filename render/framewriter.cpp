#include "render/framewriter.h"

#include <cmath>

namespace {

// The window's camera: its orthographic view volume and its look-at.
const Vector3 kEye(2, 3, 5), kCentre(0, 4, 0), kUp(0, 1, 0);
constexpr RtFloat kLeft = -5, kRight = 5, kBottom = -8, kTop = 2, kNear = -10, kFar = 20;
// RenderMan wants the near plane in front of the eye. Moving the eye back
// along its line of sight leaves an orthographic picture as it is, so it
// moves back until the window's near plane lies at depth 1.
constexpr RtFloat kEyeBack = 1 - kNear;

// Brighter than the window's dim GL lights, at the same places; a point
// light fades with the square of the distance, and the box sits about 3.5
// from both.
RtFloat kAmbient = 0.12f;
struct PointLight {
    RtPoint from;
    RtFloat intensity;
};
PointLight kLights[] = {{{-3, 1, 2}, 12}, {{1, -1, 3}, 6}};

RtColor kStageGrey = {0.6f, 0.6f, 0.6f};
RtColor kBoxRed = {0.9f, 0.08f, 0.06f};
RtColor kRopeWhite = {0.9f, 0.9f, 0.9f};
RtFloat kRopeWidth = 0.06f;

// The floor and the two walls, far enough out in z and up in y to fill the
// view; each faces into the space the box moves in.
RtFloat kStage[3][12] = {
    {-4, -1, -20, -4, -1, 20, 4, -1, 20, 4, -1, -20},
    {-4, -1, -20, -4, 10, -20, -4, 10, 20, -4, -1, 20},
    {4, -1, -20, 4, -1, 20, 4, 10, 20, 4, 10, -20},
};

void append(std::vector<RtFloat>& out, const Vector3& v) {
    out.push_back(RtFloat(v.x));
    out.push_back(RtFloat(v.y));
    out.push_back(RtFloat(v.z));
}

}  // namespace

FrameWriter::FrameWriter(const World& world, const FrameOptions& options)
    : world(world), options(options) {
    quads = outerQuads(world.nodesX, world.nodesY, world.nodesZ);
    // The mesh holds only the nodes its faces use: the box's inner nodes
    // would be points without a normal.
    std::vector<int> compact(std::size_t(world.nodesX) * world.nodesY * world.nodesZ, -1);
    for (const SurfaceQuad& q : quads)
        for (int v : q) compact[v] = 0;
    for (std::size_t v = 0; v < compact.size(); ++v) {
        if (compact[v] < 0) continue;
        compact[v] = int(surfaceNodes.size());
        surfaceNodes.push_back(int(v));
    }
    for (const SurfaceQuad& q : quads)
        for (int v : q) vertices.push_back(compact[v]);
    stepStart = snapshot();
}

FrameWriter::Snapshot FrameWriter::snapshot() const {
    if (!world.multiBody) return {nodePositions(world)};
    Snapshot positions;
    for (const SoftBody* body : world.bodies) positions.push_back(nodePositions(*body));
    return positions;
}

void FrameWriter::beforeStep() { stepStart = snapshot(); }

void FrameWriter::write(long frame) const {
    RiFrameBegin(RtInt(frame));
    writeCamera(frame);
    RiWorldBegin();
    writeStage();
    RiAttributeBegin();
    RiColor(world.multiBody ? kRopeWhite : kBoxRed);
    RiSurface("plastic", RI_NULL);
    if (options.motionBlur) {
        RtFloat times[] = {0, 1};
        RiMotionBeginV(2, times);
        writeBodies(stepStart);
        writeBodies(snapshot());
        RiMotionEnd();
    } else {
        writeBodies(snapshot());
    }
    RiAttributeEnd();
    RiWorldEnd();
    RiFrameEnd();
}

void FrameWriter::writeCamera(long frame) const {
    RiFormat(options.width, options.height, 1);
    RiDisplay(options.image.at(frame).c_str(), "file", "rgb", RI_NULL);
    RiProjection("orthographic", RI_NULL);
    // Stretched over the whole picture, as the window stretches it.
    RiScreenWindow(kLeft, kRight, kBottom, kTop);
    RiClipping(kNear + kEyeBack, kFar + kEyeBack);
    if (options.motionBlur) RiShutter(0, 1);

    // Camera space is the window's eye space with z turned round: left-handed,
    // looking down +z, as RenderMan has it.
    Vector3 ahead = (kCentre - kEye).normalized();
    Vector3 right = ahead.cross(kUp).normalized();
    Vector3 up = right.cross(ahead);
    const Vector3 axes[3] = {right, up, ahead};
    // The eye lies in the plane through the centre that `right` faces, so
    // its offset along `right` is 0, yet comes out of the sums as a rounding
    // remnant; anything that small is such a remnant and is written as 0.
    auto exact = [](double v) { return RtFloat(std::fabs(v) < 1e-12 ? 0 : v); };
    RtMatrix toCamera = {};
    for (int c = 0; c < 3; ++c) {
        toCamera[0][c] = exact(axes[c].x);
        toCamera[1][c] = exact(axes[c].y);
        toCamera[2][c] = exact(axes[c].z);
        toCamera[3][c] = exact(-axes[c].dot(kEye) + (c == 2 ? kEyeBack : 0));
    }
    toCamera[3][3] = 1;
    RiConcatTransform(toCamera);
}

void FrameWriter::writeStage() const {
    RiLightSource("ambientlight", "intensity", &kAmbient, RI_NULL);
    for (PointLight& light : kLights) {
        RiLightSource("pointlight", "from", light.from, "intensity", &light.intensity, RI_NULL);
    }
    RiAttributeBegin();
    RiColor(kStageGrey);
    RiSurface("plastic", RI_NULL);
    for (RtFloat* plane : kStage) RiPolygon(4, "P", plane, RI_NULL);
    RiAttributeEnd();
}

void FrameWriter::writeBodies(const Snapshot& positions) const {
    std::vector<RtFloat> points;
    if (world.multiBody) {
        std::vector<RtInt> counts;
        for (const std::vector<Vector3>& chain : positions) {
            counts.push_back(RtInt(chain.size()));
            for (const Vector3& p : chain) append(points, p);
        }
        RtToken tokens[] = {"P", "constantwidth"};
        RtPointer values[] = {points.data(), &kRopeWidth};
        RiCurvesV("linear", RtInt(counts.size()), counts.data(), "nonperiodic", 2, tokens, values);
        return;
    }
    if (quads.empty()) return;
    std::vector<Vector3> normals = vertexNormals(quads, positions[0]);
    std::vector<RtFloat> outward;
    for (int v : surfaceNodes) {
        append(points, positions[0][v]);
        append(outward, normals[v]);
    }
    std::vector<RtInt> sides(quads.size(), 4);
    RtToken tokens[] = {"P", "N"};
    RtPointer values[] = {points.data(), outward.data()};
    RiPointsPolygonsV(RtInt(quads.size()), sides.data(), const_cast<RtInt*>(vertices.data()), 2,
                      tokens, values);
}
