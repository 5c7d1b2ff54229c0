// Writes a small but complete RIB scene: options, a camera, lights, quadrics,
// a polygon mesh with per-vertex colours, a patch mesh, curves, a subdivision
// mesh, an object instanced twice and a motion block.
//
//   scene [--binary] FILE
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "rib/ribwriter.h"

namespace {

void writeScene(RenderInterface& ri) {
    RtFloat fov = 40;
    RiFormat(320, 240, 1);
    RiPixelSamples(2, 2);
    RiPixelFilter(RiGaussianFilter, 2, 2);
    RiShutter(0, 1);
    RiDisplay("scene.tif", "file", "rgb", RI_NULL);
    RiProjection("perspective", "fov", &fov, RI_NULL);

    ri.FrameBegin(1);
    ri.Translate(0, -0.5f, 6);
    ri.Rotate(-20, 1, 0, 0);
    ri.WorldBegin();

    RtFloat intensity = 0.8f, ambient = 0.125f;
    RtPoint from = {1, 4, -2}, to = {0, 0, 0};
    RtLightHandle sun =
        ri.LightSource("distantlight", "intensity", &intensity, "from", from, "to", to, RI_NULL);
    ri.LightSource("ambientlight", "intensity", &ambient, RI_NULL);
    ri.Illuminate(sun, 1);
    RtFloat kd = 0.75f;
    ri.Surface("plastic", "Kd", &kd, RI_NULL);

    // The floor: two quads sharing an edge, coloured per vertex.
    RtInt nvertices[] = {4, 4};
    RtInt vertices[] = {0, 1, 4, 3, 1, 2, 5, 4};
    RtFloat floorP[] = {-3, 0, -3, 0, 0, -3, 3, 0, -3, -3, 0, 3, 0, 0, 3, 3, 0, 3};
    RtFloat floorCs[] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 1, 1, 1, 0, 1};
    ri.AttributeBegin();
    ri.PointsPolygons(2, nvertices, vertices, "P", floorP, "Cs", floorCs, RI_NULL);
    ri.AttributeEnd();

    // Quadrics.
    RtColor red = {1, 0, 0}, gold = {1, 0.75f, 0.25f};
    ri.AttributeBegin();
    ri.Translate(-1.5f, 0.5f, 0);
    ri.Color(red);
    ri.Sphere(0.5f, -0.5f, 0.5f, 360, RI_NULL);
    ri.AttributeEnd();
    ri.AttributeBegin();
    ri.Rotate(-90, 1, 0, 0);
    ri.Cylinder(0.25f, 0, 1, 360, RI_NULL);
    ri.Disk(1, 0.25f, 360, RI_NULL);
    ri.AttributeEnd();
    ri.AttributeBegin();
    ri.Translate(1.5f, 0.25f, 0);
    ri.Color(gold);
    ri.Torus(0.5f, 0.125f, 0, 360, 360, RI_NULL);
    ri.AttributeEnd();

    // One bicubic Bezier patch as a 4 by 4 mesh.
    RtFloat patchP[48];
    for (int v = 0; v < 4; ++v) {
        for (int u = 0; u < 4; ++u) {
            RtFloat* p = &patchP[(v * 4 + u) * 3];
            p[0] = u - 1.5f;
            p[1] = (u == 1 || u == 2) && (v == 1 || v == 2) ? 1 : 0;
            p[2] = v - 1.5f;
        }
    }
    ri.AttributeBegin();
    ri.Translate(0, 0, 2);
    ri.Basis(RiBezierBasis, 3, RiBezierBasis, 3);
    ri.PatchMesh("bicubic", 4, "nonperiodic", 4, "nonperiodic", "P", patchP, RI_NULL);
    ri.AttributeEnd();

    // A cubic Catmull-Rom curve through six points.
    RtInt curveVertices[] = {6};
    RtFloat curveP[] = {-2, 0, -2, -1, 1, -2, 0, 0, -2, 1, 1, -2, 2, 0, -2, 2.5f, 0.5f, -2};
    RtFloat width = 0.05f;
    ri.AttributeBegin();
    ri.Basis(RiCatmullRomBasis, 1, RiCatmullRomBasis, 1);
    ri.Curves("cubic", 1, curveVertices, "nonperiodic", "P", curveP, "constantwidth", &width,
              RI_NULL);
    ri.AttributeEnd();

    // A subdivision cube with one creased edge.
    RtInt faceSizes[] = {4, 4, 4, 4, 4, 4};
    RtInt faces[] = {0, 1, 3, 2, 2, 3, 5, 4, 4, 5, 7, 6, 6, 7, 1, 0, 1, 7, 5, 3, 6, 0, 2, 4};
    RtFloat cubeP[] = {-0.5f, -0.5f, 0.5f,  0.5f,  -0.5f, 0.5f, -0.5f, 0.5f,
                       0.5f,  0.5f,  0.5f,  0.5f,  -0.5f, 0.5f, -0.5f, 0.5f,
                       0.5f,  -0.5f, -0.5f, -0.5f, -0.5f, 0.5f, -0.5f, -0.5f};
    RtToken tags[] = {"crease"};
    RtInt nargs[] = {2, 1};
    RtInt intargs[] = {0, 1};
    RtFloat floatargs[] = {5};
    ri.AttributeBegin();
    ri.Translate(-1.5f, 0.5f, 2);
    ri.SubdivisionMesh("catmull-clark", 6, faceSizes, faces, 1, tags, nargs, intargs, floatargs,
                       "P", cubeP, RI_NULL);
    ri.AttributeEnd();

    // A cone kept once and instanced twice.
    RtObjectHandle cone = ri.ObjectBegin();
    ri.Rotate(-90, 1, 0, 0);
    ri.Cone(0.5f, 0.25f, 360, RI_NULL);
    ri.ObjectEnd();
    for (RtFloat x : {-0.5f, 0.5f}) {
        ri.AttributeBegin();
        ri.Translate(x, 0, -1);
        ri.ObjectInstance(cone);
        ri.AttributeEnd();
    }

    // A sphere moving to the right while the shutter is open.
    ri.AttributeBegin();
    ri.MotionBegin(2, 0.0, 1.0);
    ri.Translate(1.5f, 0.25f, 2);
    ri.Translate(2, 0.25f, 2);
    ri.MotionEnd();
    ri.Sphere(0.25f, -0.25f, 0.25f, 360, RI_NULL);
    ri.AttributeEnd();

    ri.WorldEnd();
    ri.FrameEnd();
}

}  // namespace

int main(int argc, char** argv) {
    bool binary = argc == 3 && std::strcmp(argv[1], "--binary") == 0;
    if (argc != 2 && !binary) {
        std::fprintf(stderr, "usage: scene [--binary] FILE\n");
        return 2;
    }
    if (binary) {
        // A "rib" option needs no renderer: it sets how the next writer encodes.
        RtString format = "binary";
        RiOption("rib", "format", &format, RI_NULL);
    }
    RibWriter* writer = RiBegin(argv[argc - 1]);
    if (!writer) return 1;
    writeScene(*writer);
    delete writer;  // ends the output and closes the file
    currentRenderer = nullptr;
    return 0;
}
