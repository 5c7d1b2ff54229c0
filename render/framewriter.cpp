#include "render/framewriter.h"

#include <cmath>

#include "scene/look.h"

namespace {

// RenderMan wants the near plane in front of the eye. Moving the eye back
// along its line of sight leaves an orthographic picture as it is, so it
// moves back until the window's near plane lies at depth 1.
constexpr double kEyeBack = 1 - look::kVolume.nearPlane;

// Faces that no light reaches stay visibly in their colour, as in the window.
RtFloat kAmbient = 0.25f;
// About two pixels wide at the window's size: the window's lines are one.
RtFloat kRopeWidth = 0.06f;

void append(std::vector<RtFloat>& out, const Vector3& v) {
    out.push_back(RtFloat(v.x));
    out.push_back(RtFloat(v.y));
    out.push_back(RtFloat(v.z));
}

// Sums of products that are 0 in exact arithmetic (the eye's offset along
// the camera's x axis, the tilt's entries along its axis) come out of double
// sums as remnants; anything that small is such a remnant and is written as 0.
RtFloat exact(double v) { return RtFloat(std::fabs(v) < 1e-12 ? 0 : v); }

// The springs' tilt as RenderMan composes transforms: points are rows, so
// the matrix is the transpose of the one glRotatef makes.
void tiltMatrix(RtMatrix m) {
    const look::Rotation& r = look::kSpringTilt;
    const Vector3 a = Vector3(r.x, r.y, r.z).normalized();
    const double x = a.x, y = a.y, z = a.z, angle = r.degrees * std::acos(-1.0) / 180;
    const double c = std::cos(angle), s = std::sin(angle);
    const double gl[3][3] = {
        {x * x * (1 - c) + c, x * y * (1 - c) - z * s, x * z * (1 - c) + y * s},
        {y * x * (1 - c) + z * s, y * y * (1 - c) + c, y * z * (1 - c) - x * s},
        {x * z * (1 - c) - y * s, y * z * (1 - c) + x * s, z * z * (1 - c) + c}};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            m[row][col] = row < 3 && col < 3 ? exact(gl[col][row]) : row == col ? 1 : 0;
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
    const Snapshot now = snapshot();
    RiFrameBegin(RtInt(frame));
    writeCamera(frame);
    RiWorldBegin();
    writeLights(now);
    RiAttributeBegin();
    const float* colour = world.multiBody ? look::kSpringColour : look::kBoxColour;
    RtColor rgb = {colour[0], colour[1], colour[2]};
    RiColor(rgb);
    if (world.multiBody) {
        // Lines have no sides to turn to a light: the chains show in their
        // own colour, as thin curves.
        RiSurface("constant", RI_NULL);
        RtMatrix tilt;
        tiltMatrix(tilt);
        RiConcatTransform(tilt);
    } else {
        RiSurface("plastic", RI_NULL);
    }
    if (options.motionBlur) {
        RtFloat times[] = {0, 1};
        RiMotionBeginV(2, times);
        writeBodies(stepStart);
        writeBodies(now);
        RiMotionEnd();
    } else {
        writeBodies(now);
    }
    RiAttributeEnd();
    RiWorldEnd();
    RiFrameEnd();
}

void FrameWriter::writeCamera(long frame) const {
    const look::ViewVolume& v = look::kVolume;
    RiFormat(options.width, options.height, 1);
    RiDisplay(options.image.at(frame).c_str(), "file", "rgb", RI_NULL);
    RiProjection("orthographic", RI_NULL);
    // Stretched over the whole picture, as the window stretches it.
    RiScreenWindow(RtFloat(v.left), RtFloat(v.right), RtFloat(v.bottom), RtFloat(v.top));
    RiClipping(RtFloat(v.nearPlane + kEyeBack), RtFloat(v.farPlane + kEyeBack));
    if (options.motionBlur) RiShutter(0, 1);

    // Camera space is the window's eye space with z turned round: left-handed,
    // looking down +z, as RenderMan has it.
    Vector3 ahead = (look::kCentre - look::kEye).normalized();
    Vector3 right = ahead.cross(look::kUp).normalized();
    Vector3 up = right.cross(ahead);
    const Vector3 axes[3] = {right, up, ahead};
    RtMatrix toCamera = {};
    for (int c = 0; c < 3; ++c) {
        toCamera[0][c] = exact(axes[c].x);
        toCamera[1][c] = exact(axes[c].y);
        toCamera[2][c] = exact(axes[c].z);
        toCamera[3][c] = exact(-axes[c].dot(look::kEye) + (c == 2 ? kEyeBack : 0));
    }
    toCamera[3][3] = 1;
    RiConcatTransform(toCamera);
}

// The window's lights do not fade with distance, as a RenderMan point light
// does. A distant light from each light's place towards the middle of what
// is shown lights it from the window's direction, at the same strength
// wherever the bodies go.
void FrameWriter::writeLights(const Snapshot& positions) const {
    RiLightSource("ambientlight", "intensity", &kAmbient, RI_NULL);
    Vector3 middle;
    std::size_t count = 0;
    for (const std::vector<Vector3>& body : positions)
        for (const Vector3& p : body) middle = middle + p, ++count;
    if (count > 0) middle = middle / double(count);
    RtPoint to = {RtFloat(middle.x), RtFloat(middle.y), RtFloat(middle.z)};
    for (const look::Light& light : look::kLights) {
        if (!light.on) continue;
        RtPoint from = {light.position[0], light.position[1], light.position[2]};
        RtFloat intensity = light.intensity;
        RiLightSource("distantlight", "from", from, "to", to, "intensity", &intensity, RI_NULL);
    }
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
