// The RenderMan Interface as seen by callers: value types, the abstract
// request interface, the process-wide current renderer and the plain option
// functions that forward to it.
#pragma once

#include <cstdarg>
#include <cstdint>

typedef int32_t RtInt;
typedef float RtFloat;
typedef int16_t RtBoolean;
typedef const char* RtToken;
typedef const char* RtString;
typedef void* RtPointer;
typedef RtFloat RtPoint[3];
typedef RtFloat RtColor[3];
typedef RtFloat RtBound[6];
typedef RtFloat RtMatrix[4][4];
typedef RtFloat RtBasis[4][4];
typedef RtInt RtLightHandle;
typedef RtInt RtObjectHandle;

typedef RtFloat (*RtFilterFunc)(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
typedef void (*RtErrorHandler)(RtInt code, RtInt severity, const char* message);
typedef void (*RtProcSubdivFunc)(RtPointer data, RtFloat detail);
typedef void (*RtProcFreeFunc)(RtPointer data);
typedef void (*RtArchiveCallback)(RtToken type, const char* format, ...);

// Ends every variable-argument parameter list. It must be a pointer: a plain
// 0 passed through "..." is an int and would be read back as garbage.
#define RI_NULL (static_cast<RtToken>(nullptr))

// Variable-argument forms collect at most this many (token, value) pairs.
constexpr int kMaxParamPairs = 512;

// One pure operation per request. The order of declaration is fixed: it is
// the order of the interface's table of operations.
class RenderInterface {
  public:
    virtual ~RenderInterface() {}

    virtual void FrameBegin(RtInt frame) = 0;
    virtual void FrameEnd() = 0;
    virtual void WorldBegin() = 0;
    virtual void WorldEnd() = 0;

    virtual void Format(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio) = 0;
    virtual void FrameAspectRatio(RtFloat aspect) = 0;
    virtual void ScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top) = 0;
    virtual void CropWindow(RtFloat xmin, RtFloat xmax, RtFloat ymin, RtFloat ymax) = 0;
    virtual void Projection(RtToken name, ...) = 0;
    virtual void ProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void Clipping(RtFloat hither, RtFloat yon) = 0;
    virtual void DepthOfField(RtFloat fstop, RtFloat focallength, RtFloat focaldistance) = 0;
    virtual void Shutter(RtFloat min, RtFloat max) = 0;
    virtual void PixelVariance(RtFloat variation) = 0;
    virtual void PixelSamples(RtFloat xsamples, RtFloat ysamples) = 0;
    virtual void PixelFilter(RtFilterFunc filter, RtFloat xwidth, RtFloat ywidth) = 0;
    virtual void Exposure(RtFloat gain, RtFloat gamma) = 0;
    virtual void Quantize(RtToken type, RtInt one, RtInt min, RtInt max,
                          RtFloat ditheramplitude) = 0;
    virtual void Display(RtString name, RtToken type, RtToken mode, ...) = 0;
    virtual void DisplayV(RtString name, RtToken type, RtToken mode, RtInt n, RtToken tokens[],
                          RtPointer values[]) = 0;
    virtual void Hider(RtToken type, ...) = 0;
    virtual void HiderV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void ColorSamples(RtInt n, RtFloat nRGB[], RtFloat RGBn[]) = 0;
    virtual void RelativeDetail(RtFloat relativedetail) = 0;
    virtual void Option(RtToken name, ...) = 0;
    virtual void OptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;

    virtual void AttributeBegin() = 0;
    virtual void AttributeEnd() = 0;
    virtual void Color(RtColor color) = 0;
    virtual void Opacity(RtColor color) = 0;
    virtual void TextureCoordinates(RtFloat s1, RtFloat t1, RtFloat s2, RtFloat t2, RtFloat s3,
                                    RtFloat t3, RtFloat s4, RtFloat t4) = 0;
    virtual void ShadingRate(RtFloat size) = 0;
    virtual void ShadingInterpolation(RtToken type) = 0;
    virtual void Matte(RtBoolean onoff) = 0;
    virtual void Bound(RtBound bound) = 0;
    virtual void Detail(RtBound bound) = 0;
    virtual void DetailRange(RtFloat minvisible, RtFloat lowertransition, RtFloat uppertransition,
                             RtFloat maxvisible) = 0;
    virtual void GeometricApproximation(RtToken type, RtFloat value) = 0;
    virtual void GeometricRepresentation(RtToken type) = 0;
    virtual void Sides(RtInt sides) = 0;
    virtual void Orientation(RtToken orientation) = 0;
    virtual void ReverseOrientation() = 0;
    // The one pair whose vector form comes first.
    virtual void AttributeV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void Attribute(RtToken name, ...) = 0;

    virtual void Identity() = 0;
    virtual void ConcatTransform(RtMatrix transform) = 0;
    virtual void Transform(RtMatrix transform) = 0;
    virtual void Perspective(RtFloat fov) = 0;
    virtual void Translate(RtFloat dx, RtFloat dy, RtFloat dz) = 0;
    virtual void Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz) = 0;
    virtual void Scale(RtFloat sx, RtFloat sy, RtFloat sz) = 0;
    virtual void Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2,
                      RtFloat dy2, RtFloat dz2) = 0;
    virtual void CoordinateSystem(RtToken space) = 0;
    virtual void CoordSysTransform(RtToken space) = 0;
    virtual RtPoint* TransformPoints(RtToken fromspace, RtToken tospace, RtInt n,
                                     RtPoint points[]) = 0;
    virtual void TransformBegin() = 0;
    virtual void TransformEnd() = 0;
    // The variable form takes n times as doubles (floats widen through "...").
    virtual void MotionBegin(RtInt n, ...) = 0;
    virtual void MotionBeginV(RtInt n, RtFloat times[]) = 0;
    virtual void MotionEnd() = 0;

    virtual void Surface(RtToken name, ...) = 0;
    virtual void SurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void Displacement(RtToken name, ...) = 0;
    virtual void DisplacementV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void Atmosphere(RtToken name, ...) = 0;
    virtual void AtmosphereV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void Interior(RtToken name, ...) = 0;
    virtual void InteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void Exterior(RtToken name, ...) = 0;
    virtual void ExteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void Imager(RtToken name, ...) = 0;
    virtual void ImagerV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual RtLightHandle LightSource(RtToken name, ...) = 0;
    virtual RtLightHandle LightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                       RtPointer values[]) = 0;
    virtual RtLightHandle AreaLightSource(RtToken name, ...) = 0;
    virtual RtLightHandle AreaLightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                           RtPointer values[]) = 0;
    virtual void Illuminate(RtLightHandle light, RtBoolean onoff) = 0;

    virtual void Cone(RtFloat height, RtFloat radius, RtFloat thetamax, ...) = 0;
    virtual void ConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
                       RtPointer values[]) = 0;
    virtual void Cylinder(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) = 0;
    virtual void CylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                           RtToken tokens[], RtPointer values[]) = 0;
    virtual void Disk(RtFloat height, RtFloat radius, RtFloat thetamax, ...) = 0;
    virtual void DiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
                       RtPointer values[]) = 0;
    virtual void Hyperboloid(RtPoint point1, RtPoint point2, RtFloat thetamax, ...) = 0;
    virtual void HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n,
                              RtToken tokens[], RtPointer values[]) = 0;
    virtual void Paraboloid(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) = 0;
    virtual void ParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                             RtToken tokens[], RtPointer values[]) = 0;
    virtual void Sphere(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) = 0;
    virtual void SphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                         RtToken tokens[], RtPointer values[]) = 0;
    virtual void Torus(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                       RtFloat thetamax, ...) = 0;
    virtual void TorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                        RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void Polygon(RtInt nvertices, ...) = 0;
    virtual void PolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void GeneralPolygon(RtInt nloops, RtInt nvertices[], ...) = 0;
    virtual void GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[],
                                 RtPointer values[]) = 0;
    virtual void PointsPolygons(RtInt npolys, RtInt nvertices[], RtInt vertices[], ...) = 0;
    virtual void PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n,
                                 RtToken tokens[], RtPointer values[]) = 0;
    virtual void PointsGeneralPolygons(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                       RtInt vertices[], ...) = 0;
    virtual void PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                        RtInt vertices[], RtInt n, RtToken tokens[],
                                        RtPointer values[]) = 0;
    virtual void Basis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep) = 0;
    virtual void Patch(RtToken type, ...) = 0;
    virtual void PatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void PatchMesh(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, ...) = 0;
    virtual void PatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, RtInt n,
                            RtToken tokens[], RtPointer values[]) = 0;
    virtual void TrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[],
                           RtFloat min[], RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[],
                           RtFloat w[]) = 0;
    virtual void NuPatch(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax,
                         RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax,
                         ...) = 0;
    virtual void NuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax,
                          RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax,
                          RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void Curves(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, ...) = 0;
    virtual void CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n,
                         RtToken tokens[], RtPointer values[]) = 0;
    virtual void Points(RtInt npoints, ...) = 0;
    virtual void PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void SubdivisionMesh(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[],
                                 RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[],
                                 RtFloat floatargs[], ...) = 0;
    virtual void SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[],
                                  RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[],
                                  RtFloat floatargs[], RtInt n, RtToken tokens[],
                                  RtPointer values[]) = 0;
    virtual void Blobby(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                        RtInt nstr, RtString str[], ...) = 0;
    virtual void BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                         RtInt nstr, RtString str[], RtInt n, RtToken tokens[],
                         RtPointer values[]) = 0;
    virtual void Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivide,
                            RtProcFreeFunc free) = 0;
    virtual void Geometry(RtToken type, ...) = 0;
    virtual void GeometryV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) = 0;

    virtual void SolidBegin(RtToken operation) = 0;
    virtual void SolidEnd() = 0;
    virtual RtObjectHandle ObjectBegin() = 0;
    virtual void ObjectEnd() = 0;
    virtual void ObjectInstance(RtObjectHandle handle) = 0;
    virtual void MakeTexture(RtString picturename, RtString texturename, RtToken swrap,
                             RtToken twrap, RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                             ...) = 0;
    virtual void MakeTextureV(RtString picturename, RtString texturename, RtToken swrap,
                              RtToken twrap, RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                              RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void MakeLatLongEnvironment(RtString picturename, RtString texturename,
                                        RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                                        ...) = 0;
    virtual void MakeLatLongEnvironmentV(RtString picturename, RtString texturename,
                                         RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                                         RtInt n, RtToken tokens[], RtPointer values[]) = 0;
    virtual void MakeCubeFaceEnvironment(RtString px, RtString nx, RtString py, RtString ny,
                                         RtString pz, RtString nz, RtString texturename,
                                         RtFloat fov, RtFilterFunc filter, RtFloat swidth,
                                         RtFloat twidth, ...) = 0;
    virtual void MakeCubeFaceEnvironmentV(RtString px, RtString nx, RtString py, RtString ny,
                                          RtString pz, RtString nz, RtString texturename,
                                          RtFloat fov, RtFilterFunc filter, RtFloat swidth,
                                          RtFloat twidth, RtInt n, RtToken tokens[],
                                          RtPointer values[]) = 0;
    virtual void MakeShadow(RtString picturename, RtString texturename, ...) = 0;
    virtual void MakeShadowV(RtString picturename, RtString texturename, RtInt n, RtToken tokens[],
                             RtPointer values[]) = 0;

    virtual RtToken Declare(const char* name, const char* declaration) = 0;
    virtual void ArchiveRecord(RtToken type, const char* format, ...) = 0;
    virtual void ArchiveRecordV(RtToken type, const char* format, va_list args) = 0;
    virtual void ReadArchive(RtToken name, RtArchiveCallback callback, ...) = 0;
    virtual void ReadArchiveV(RtToken name, RtArchiveCallback callback, RtInt n, RtToken tokens[],
                              RtPointer values[]) = 0;
    virtual void ErrorHandler(RtErrorHandler handler) = 0;
};

class RibWriter;

// Null until RiBegin; the plain option functions forward to it.
extern RenderInterface* currentRenderer;
// Set by the "rib" option; RiBegin hands both to each new writer.
extern int ribBinaryFormat;
extern int ribGzipCompression;

// Creates a writer for the target (a file name, "rendrib", "rgl", "prman",
// "|command", or null for standard output) and makes it the current renderer.
RibWriter* RiBegin(const char* name);
// Creates a writer with no options; the current renderer is left alone.
RibWriter* createRibWriter(const char* name);

void RiFormat(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio);
void RiFrameAspectRatio(RtFloat aspect);
void RiScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top);
void RiCropWindow(RtFloat xmin, RtFloat xmax, RtFloat ymin, RtFloat ymax);
void RiProjection(RtToken name, ...);
void RiProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
void RiClipping(RtFloat hither, RtFloat yon);
void RiDepthOfField(RtFloat fstop, RtFloat focallength, RtFloat focaldistance);
void RiShutter(RtFloat min, RtFloat max);
void RiPixelVariance(RtFloat variation);
void RiPixelSamples(RtFloat xsamples, RtFloat ysamples);
void RiPixelFilter(RtFilterFunc filter, RtFloat xwidth, RtFloat ywidth);
void RiExposure(RtFloat gain, RtFloat gamma);
void RiQuantize(RtToken type, RtInt one, RtInt min, RtInt max, RtFloat ditheramplitude);
void RiDisplay(RtString name, RtToken type, RtToken mode, ...);
void RiDisplayV(RtString name, RtToken type, RtToken mode, RtInt n, RtToken tokens[],
                RtPointer values[]);
void RiHider(RtToken type, ...);
void RiHiderV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]);
void RiColorSamples(RtInt n, RtFloat nRGB[], RtFloat RGBn[]);
void RiRelativeDetail(RtFloat relativedetail);
void RiOption(RtToken name, ...);
void RiOptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);

// Applies a "rib" (or "RIB") option to the process-wide settings.
void applyRibOptions(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);

// Standard pixel filters; requests recognise them by address.
RtFloat RiGaussianFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiBoxFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiTriangleFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiCatmullRomFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiSincFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);

// Standard basis matrices; Basis recognises them by address.
extern RtBasis RiBezierBasis;
extern RtBasis RiBSplineBasis;
extern RtBasis RiCatmullRomBasis;
extern RtBasis RiHermiteBasis;
extern RtBasis RiPowerBasis;

// Procedural markers; Procedural recognises them by address. They do nothing.
void RiProcDelayedReadArchive(RtPointer data, RtFloat detail);
void RiProcRunProgram(RtPointer data, RtFloat detail);
void RiProcDynamicLoad(RtPointer data, RtFloat detail);

// The standard error routines (tables and reporter state in rib/errors.h).
void RiErrorIgnore(RtInt code, RtInt severity, const char* message);
void RiErrorPrint(RtInt code, RtInt severity, const char* message);
void RiErrorAbort(RtInt code, RtInt severity, const char* message);
