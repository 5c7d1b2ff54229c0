// The variable-argument forms: each collects its pairs and calls its vector
// form on the same object.
#include <vector>

#include "rib/parampairs.h"
#include "rib/ribwriter.h"

using namespace duzozo;

void RibWriter::MotionBegin(RtInt n, ...) {
    // Any number of times; room for at least one so the array is never null.
    std::vector<RtFloat> times(n > 0 ? size_t(n) : 1);
    if (n > 0) {
        va_list args;
        va_start(args, n);
        for (RtInt i = 0; i < n; ++i) times[size_t(i)] = RtFloat(va_arg(args, double));
        va_end(args);
    }
    MotionBeginV(n, times.data());
}

void RibWriter::ArchiveRecord(RtToken type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    ArchiveRecordV(type, format, args);
    va_end(args);
}

void RibWriter::Projection(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    ProjectionV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Display(RtString name, RtToken type, RtToken mode, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, mode);
    pairs.collect(args);
    va_end(args);
    DisplayV(name, type, mode, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Hider(RtToken type, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, type);
    pairs.collect(args);
    va_end(args);
    HiderV(type, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Option(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    OptionV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Attribute(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    AttributeV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Surface(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    SurfaceV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Displacement(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    DisplacementV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Atmosphere(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    AtmosphereV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Interior(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    InteriorV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Exterior(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    ExteriorV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Imager(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    ImagerV(name, pairs.n, pairs.tokens, pairs.values);
}

RtLightHandle RibWriter::LightSource(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    return LightSourceV(name, pairs.n, pairs.tokens, pairs.values);
}

RtLightHandle RibWriter::AreaLightSource(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    return AreaLightSourceV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Cone(RtFloat height, RtFloat radius, RtFloat thetamax, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, thetamax);
    pairs.collect(args);
    va_end(args);
    ConeV(height, radius, thetamax, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Cylinder(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, thetamax);
    pairs.collect(args);
    va_end(args);
    CylinderV(radius, zmin, zmax, thetamax, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Disk(RtFloat height, RtFloat radius, RtFloat thetamax, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, thetamax);
    pairs.collect(args);
    va_end(args);
    DiskV(height, radius, thetamax, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Hyperboloid(RtPoint point1, RtPoint point2, RtFloat thetamax, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, thetamax);
    pairs.collect(args);
    va_end(args);
    HyperboloidV(point1, point2, thetamax, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Paraboloid(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, thetamax);
    pairs.collect(args);
    va_end(args);
    ParaboloidV(rmax, zmin, zmax, thetamax, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Sphere(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, thetamax);
    pairs.collect(args);
    va_end(args);
    SphereV(radius, zmin, zmax, thetamax, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Torus(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                      RtFloat thetamax, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, thetamax);
    pairs.collect(args);
    va_end(args);
    TorusV(majorradius, minorradius, phimin, phimax, thetamax, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Polygon(RtInt nvertices, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, nvertices);
    pairs.collect(args);
    va_end(args);
    PolygonV(nvertices, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::GeneralPolygon(RtInt nloops, RtInt nvertices[], ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, nvertices);
    pairs.collect(args);
    va_end(args);
    GeneralPolygonV(nloops, nvertices, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::PointsPolygons(RtInt npolys, RtInt nvertices[], RtInt vertices[], ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, vertices);
    pairs.collect(args);
    va_end(args);
    PointsPolygonsV(npolys, nvertices, vertices, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::PointsGeneralPolygons(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                      RtInt vertices[], ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, vertices);
    pairs.collect(args);
    va_end(args);
    PointsGeneralPolygonsV(npolys, nloops, nvertices, vertices, pairs.n, pairs.tokens,
                           pairs.values);
}

void RibWriter::Patch(RtToken type, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, type);
    pairs.collect(args);
    va_end(args);
    PatchV(type, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::PatchMesh(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, vwrap);
    pairs.collect(args);
    va_end(args);
    PatchMeshV(type, nu, uwrap, nv, vwrap, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::NuPatch(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax,
                        RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, vmax);
    pairs.collect(args);
    va_end(args);
    NuPatchV(nu, uorder, uknot, umin, umax, nv, vorder, vknot, vmin, vmax, pairs.n, pairs.tokens,
             pairs.values);
}

void RibWriter::Curves(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, wrap);
    pairs.collect(args);
    va_end(args);
    CurvesV(type, ncurves, nvertices, wrap, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Points(RtInt npoints, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, npoints);
    pairs.collect(args);
    va_end(args);
    PointsV(npoints, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::SubdivisionMesh(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[],
                                RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[],
                                RtFloat floatargs[], ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, floatargs);
    pairs.collect(args);
    va_end(args);
    SubdivisionMeshV(scheme, nfaces, nvertices, vertices, ntags, tags, nargs, intargs, floatargs,
                     pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Blobby(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                       RtInt nstr, RtString str[], ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, str);
    pairs.collect(args);
    va_end(args);
    BlobbyV(nleaf, ncode, code, nflt, flt, nstr, str, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::Geometry(RtToken type, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, type);
    pairs.collect(args);
    va_end(args);
    GeometryV(type, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::MakeTexture(RtString picturename, RtString texturename, RtToken swrap,
                            RtToken twrap, RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                            ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, twidth);
    pairs.collect(args);
    va_end(args);
    MakeTextureV(picturename, texturename, swrap, twrap, filter, swidth, twidth, pairs.n,
                 pairs.tokens, pairs.values);
}

void RibWriter::MakeLatLongEnvironment(RtString picturename, RtString texturename,
                                       RtFilterFunc filter, RtFloat swidth, RtFloat twidth, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, twidth);
    pairs.collect(args);
    va_end(args);
    MakeLatLongEnvironmentV(picturename, texturename, filter, swidth, twidth, pairs.n, pairs.tokens,
                            pairs.values);
}

void RibWriter::MakeCubeFaceEnvironment(RtString px, RtString nx, RtString py, RtString ny,
                                        RtString pz, RtString nz, RtString texturename, RtFloat fov,
                                        RtFilterFunc filter, RtFloat swidth, RtFloat twidth, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, twidth);
    pairs.collect(args);
    va_end(args);
    MakeCubeFaceEnvironmentV(px, nx, py, ny, pz, nz, texturename, fov, filter, swidth, twidth,
                             pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::MakeShadow(RtString picturename, RtString texturename, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, texturename);
    pairs.collect(args);
    va_end(args);
    MakeShadowV(picturename, texturename, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::ReadArchive(RtToken name, RtArchiveCallback callback, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, callback);
    pairs.collect(args);
    va_end(args);
    ReadArchiveV(name, callback, pairs.n, pairs.tokens, pairs.values);
}
