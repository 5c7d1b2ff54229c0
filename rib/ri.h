// The RenderMan Interface as seen by callers: value types, standard tokens,
// the plain Ri... functions that forward to the current renderer and, for
// C++, the abstract request interface. Usable from C99 and from C++.
#ifndef DUZOZO_RIB_RI_H
#define DUZOZO_RIB_RI_H

#ifdef __cplusplus
#include <cstdarg>
#include <cstdint>
#else
#include <stdarg.h>
#include <stdint.h>
#endif

typedef int32_t RtInt;
typedef float RtFloat;
typedef int16_t RtBoolean;
typedef const char* RtToken;
typedef const char* RtString;
typedef void* RtPointer;
typedef void RtVoid;
typedef RtFloat RtPoint[3];
typedef RtFloat RtColor[3];
typedef RtFloat RtHpoint[4];
typedef RtFloat RtBound[6];
typedef RtFloat RtMatrix[4][4];
typedef RtFloat RtBasis[4][4];
typedef RtInt RtLightHandle;
typedef RtInt RtObjectHandle;

#ifdef __cplusplus
class RenderInterface;
class RibWriter;
// A renderer that RiContext can make current again.
typedef RenderInterface* RtContextHandle;
extern "C" {
#else
typedef RtPointer RtContextHandle;
#endif

typedef RtFloat (*RtFilterFunc)(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
typedef void (*RtErrorHandler)(RtInt code, RtInt severity, const char* message);
typedef void (*RtProcSubdivFunc)(RtPointer data, RtFloat detail);
typedef void (*RtProcFreeFunc)(RtPointer data);
typedef void (*RtArchiveCallback)(RtToken type, const char* format, ...);

#define RI_FALSE 0
#define RI_TRUE 1
#define RI_INFINITY 1.0e38
#define RI_EPSILON 1.0e-10

// Ends every variable-argument parameter list. It must be a pointer: a plain
// 0 passed through "..." is an int and would be read back as garbage.
#ifdef __cplusplus
#define RI_NULL (static_cast<RtToken>(nullptr))
#else
#define RI_NULL ((RtToken)0)
#endif

// The steps between patches of the standard bases.
#define RI_BEZIERSTEP ((RtInt)3)
#define RI_BSPLINESTEP ((RtInt)1)
#define RI_CATMULLROMSTEP ((RtInt)1)
#define RI_HERMITESTEP ((RtInt)2)
#define RI_POWERSTEP ((RtInt)4)

// Error codes.
#define RIE_NOERROR ((RtInt)0)
#define RIE_NOMEM ((RtInt)1)
#define RIE_SYSTEM ((RtInt)2)
#define RIE_NOFILE ((RtInt)3)
#define RIE_BADFILE ((RtInt)4)
#define RIE_VERSION ((RtInt)5)
#define RIE_DISKFULL ((RtInt)6)
#define RIE_INCAPABLE ((RtInt)11)
#define RIE_UNIMPLEMENT ((RtInt)12)
#define RIE_LIMIT ((RtInt)13)
#define RIE_BUG ((RtInt)14)
#define RIE_NOTSTARTED ((RtInt)23)
#define RIE_NESTING ((RtInt)24)
#define RIE_NOTOPTIONS ((RtInt)25)
#define RIE_NOTATTRIBS ((RtInt)26)
#define RIE_NOTPRIMS ((RtInt)27)
#define RIE_ILLSTATE ((RtInt)28)
#define RIE_BADMOTION ((RtInt)29)
#define RIE_BADSOLID ((RtInt)30)
#define RIE_BADTOKEN ((RtInt)41)
#define RIE_RANGE ((RtInt)42)
#define RIE_CONSISTENCY ((RtInt)43)
#define RIE_BADHANDLE ((RtInt)44)
#define RIE_NOSHADER ((RtInt)45)
#define RIE_MISSINGDATA ((RtInt)46)
#define RIE_SYNTAX ((RtInt)47)
#define RIE_MATH ((RtInt)61)

// Error severities.
#define RIE_INFO ((RtInt)0)
#define RIE_WARNING ((RtInt)1)
#define RIE_ERROR ((RtInt)2)
#define RIE_SEVERE ((RtInt)3)

// The standard token names. Those that the writer declares start as literals
// and become the interned copies once a writer has made its declarations.
extern RtToken RI_FRAMEBUFFER, RI_FILE;
extern RtToken RI_RGB, RI_RGBA, RI_RGBZ, RI_RGBAZ, RI_A, RI_Z, RI_AZ;
extern RtToken RI_PERSPECTIVE, RI_ORTHOGRAPHIC;
extern RtToken RI_HIDDEN, RI_PAINT;
extern RtToken RI_CONSTANT, RI_SMOOTH;
extern RtToken RI_FLATNESS, RI_FOV;
extern RtToken RI_AMBIENTLIGHT, RI_POINTLIGHT, RI_DISTANTLIGHT, RI_SPOTLIGHT;
extern RtToken RI_INTENSITY, RI_LIGHTCOLOR, RI_FROM, RI_TO, RI_CONEANGLE, RI_CONEDELTAANGLE,
    RI_BEAMDISTRIBUTION;
extern RtToken RI_MATTE, RI_METAL, RI_SHINYMETAL, RI_PLASTIC, RI_PAINTEDPLASTIC;
extern RtToken RI_KA, RI_KD, RI_KS, RI_KR, RI_ROUGHNESS, RI_TEXTURENAME, RI_SPECULARCOLOR;
extern RtToken RI_DEPTHCUE, RI_FOG, RI_BUMPY;
extern RtToken RI_MINDISTANCE, RI_MAXDISTANCE, RI_BACKGROUND, RI_DISTANCE, RI_AMPLITUDE;
extern RtToken RI_RASTER, RI_SCREEN, RI_CAMERA, RI_WORLD, RI_OBJECT, RI_CURRENT, RI_SHADER,
    RI_EYE, RI_NDC;
extern RtToken RI_INSIDE, RI_OUTSIDE, RI_LH, RI_RH;
extern RtToken RI_P, RI_PZ, RI_PW, RI_N, RI_NP, RI_CS, RI_OS, RI_S, RI_T, RI_ST;
extern RtToken RI_WIDTH, RI_CONSTANTWIDTH;
extern RtToken RI_BILINEAR, RI_BICUBIC, RI_LINEAR, RI_CUBIC;
extern RtToken RI_PRIMITIVE, RI_INTERSECTION, RI_UNION, RI_DIFFERENCE;
extern RtToken RI_WRAP, RI_NOWRAP, RI_PERIODIC, RI_NONPERIODIC, RI_CLAMP, RI_BLACK;
extern RtToken RI_IGNORE, RI_PRINT, RI_ABORT, RI_HANDLER;
extern RtToken RI_ORIGIN, RI_IDENTIFIER, RI_NAME;
extern RtToken RI_COMMENT, RI_STRUCTURE, RI_VERBATIM;
extern RtToken RI_HOLE, RI_CREASE, RI_CORNER, RI_INTERPOLATEBOUNDARY;
extern RtToken RI_BOX, RI_CATMULLROM, RI_GAUSSIAN, RI_TRIANGLE, RI_SINC;
extern RtToken RI_FILTER, RI_SWIDTH, RI_TWIDTH, RI_FILL, RI_FIDELITY, RI_SAMPLES, RI_BLUR,
    RI_SBLUR, RI_TBLUR, RI_BIAS, RI_LERP, RI_GAPBIAS, RI_GAPOPT, RI_SOURCE, RI_REFBLUR,
    RI_SREFBLUR, RI_TREFBLUR, RI_IGNOREABOVE;
extern RtToken RI_NONDIFFUSE, RI_NONSPECULAR, RI_CATEGORY, RI_PRIVATE_W;

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

// Set by the "rib" option; RiBegin hands both to each new writer.
extern int ribBinaryFormat;
extern int ribGzipCompression;
// Applies a "rib" (or "RIB") option to the process-wide settings.
void applyRibOptions(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);

// RiBegin creates a writer for the target (a file name, "rendrib", "rgl",
// "prman", "|command", or null for standard output) and makes it the current
// renderer; createRibWriter creates one with no options and leaves the
// current renderer alone. C sees the writer as an opaque context handle.
#ifdef __cplusplus
RibWriter* RiBegin(RtToken name);
RibWriter* createRibWriter(RtToken name);
#else
RtContextHandle RiBegin(RtToken name);
RtContextHandle createRibWriter(RtToken name);
#endif
// Ends the current renderer's output (a final line break; a file or pipe is
// closed, its command waited for), destroys it and leaves none current.
RtVoid RiEnd(void);
// The current renderer, and making a renderer current; a program can drive
// several writers through the plain functions by switching between them.
RtContextHandle RiGetContext(void);
RtVoid RiContext(RtContextHandle handle);

// The plain functions. Each performs its request on the current renderer,
// or, when there is none, reports "RiBegin not called" through RiErrorPrint
// with its own name, which ends the process.
#define DUZOZO_REQUEST(result, name, parameters, arguments) result Ri##name parameters;
#define DUZOZO_PAIRS(result, name, parameters, last, fixed) result Ri##name parameters;
#include "rib/requestlist.h"
#undef DUZOZO_REQUEST
#undef DUZOZO_PAIRS
// A "rib" (or "RIB") option sets the process-wide settings instead and needs
// no renderer, so it can come before RiBegin.
RtVoid RiOption(RtToken name, ...);
RtVoid RiOptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
// The n times follow as doubles (floats widen when passed through "...").
RtVoid RiMotionBegin(RtInt n, ...);
RtVoid RiArchiveRecord(RtToken type, const char* format, ...);
RtVoid RiArchiveRecordV(RtToken type, const char* format, va_list args);

#ifdef __cplusplus
}  // extern "C"

// One operation per request. The order of declaration is fixed: it is the
// order of the interface's table of operations.
class RenderInterface {
  public:
    // Destroying the current renderer leaves no current renderer behind, so
    // a later plain call is reported instead of reaching a dead object.
    virtual ~RenderInterface();

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

    // Later requests. They are not pure, so that an implementation written
    // before them still compiles; one that does not override them reports
    // each call as an unimplemented feature (a warning) and goes on.
    virtual void ClippingPlane(RtFloat x, RtFloat y, RtFloat z, RtFloat nx, RtFloat ny, RtFloat nz);
    virtual void Deformation(RtToken name, ...);
    virtual void DeformationV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
    virtual void MakeBump(RtString picturename, RtString texturename, RtToken swrap,
                          RtToken twrap, RtFilterFunc filter, RtFloat swidth, RtFloat twidth, ...);
    virtual void MakeBumpV(RtString picturename, RtString texturename, RtToken swrap,
                           RtToken twrap, RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                           RtInt n, RtToken tokens[], RtPointer values[]);
};

// Null until RiBegin; the plain functions forward to it.
extern RenderInterface* currentRenderer;

#endif  // __cplusplus

#endif  // DUZOZO_RIB_RI_H
