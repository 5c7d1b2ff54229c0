// Every request of the RenderMan Interface, in the order of the request
// interface's table of operations. The one list generates the plain Ri...
// functions (declared in rib/ri.h, defined in the library), the operations of
// RenderInterface, RibWriter's overrides, the variable-argument forms and the
// forwarding of a filter, so none of them can drift apart. An includer
// defines the macros it needs; the list undefines all of them at its end.
//
//   DUZOZO_REQUEST(result, Name, (parameters), (arguments))
//       RiName forwards its arguments to the current renderer's Name.
//   DUZOZO_PAIRS(result, Name, (parameters, ...), last, (fixed arguments))
//       A variable-argument form: it collects the (token, value) pairs after
//       its parameter last and hands them with the fixed arguments to NameV.
//   DUZOZO_SPECIAL(result, Name, (parameters))
//       A request whose plain function and variable-argument form have a
//       shape of their own (a "rib" option needs no renderer, motion times
//       come as doubles, a record takes a format and its arguments, an error
//       handler is installed even without a renderer), written by hand.
//       Left out (empty) unless the includer defines it.
//   DUZOZO_REQUEST_LATER, DUZOZO_PAIRS_LATER
//       The requests added after the first release, which an implementation
//       need not override. They default to DUZOZO_REQUEST and DUZOZO_PAIRS.
//
// Not listed: RiBegin, RiEnd, RiContext and RiGetContext, which make and
// choose renderers rather than being requests of one.
//
// No include guard: each includer expands the list its own way.

#ifndef DUZOZO_SPECIAL
#define DUZOZO_SPECIAL(result, name, parameters)
#endif
#ifndef DUZOZO_REQUEST_LATER
#define DUZOZO_REQUEST_LATER DUZOZO_REQUEST
#endif
#ifndef DUZOZO_PAIRS_LATER
#define DUZOZO_PAIRS_LATER DUZOZO_PAIRS
#endif

DUZOZO_REQUEST(RtVoid, FrameBegin, (RtInt frame), (frame))
DUZOZO_REQUEST(RtVoid, FrameEnd, (void), ())
DUZOZO_REQUEST(RtVoid, WorldBegin, (void), ())
DUZOZO_REQUEST(RtVoid, WorldEnd, (void), ())

DUZOZO_REQUEST(RtVoid, Format, (RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio),
               (xresolution, yresolution, pixelaspectratio))
DUZOZO_REQUEST(RtVoid, FrameAspectRatio, (RtFloat aspect), (aspect))
DUZOZO_REQUEST(RtVoid, ScreenWindow, (RtFloat left, RtFloat right, RtFloat bottom, RtFloat top),
               (left, right, bottom, top))
DUZOZO_REQUEST(RtVoid, CropWindow, (RtFloat xmin, RtFloat xmax, RtFloat ymin, RtFloat ymax),
               (xmin, xmax, ymin, ymax))
DUZOZO_PAIRS(RtVoid, Projection, (RtToken name, ...), name, (name))
DUZOZO_REQUEST(RtVoid, ProjectionV, (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_REQUEST(RtVoid, Clipping, (RtFloat hither, RtFloat yon), (hither, yon))
DUZOZO_REQUEST(RtVoid, DepthOfField, (RtFloat fstop, RtFloat focallength, RtFloat focaldistance),
               (fstop, focallength, focaldistance))
DUZOZO_REQUEST(RtVoid, Shutter, (RtFloat min, RtFloat max), (min, max))
DUZOZO_REQUEST(RtVoid, PixelVariance, (RtFloat variation), (variation))
DUZOZO_REQUEST(RtVoid, PixelSamples, (RtFloat xsamples, RtFloat ysamples), (xsamples, ysamples))
DUZOZO_REQUEST(RtVoid, PixelFilter, (RtFilterFunc filter, RtFloat xwidth, RtFloat ywidth),
               (filter, xwidth, ywidth))
DUZOZO_REQUEST(RtVoid, Exposure, (RtFloat gain, RtFloat gamma), (gain, gamma))
DUZOZO_REQUEST(RtVoid, Quantize,
               (RtToken type, RtInt one, RtInt min, RtInt max, RtFloat ditheramplitude),
               (type, one, min, max, ditheramplitude))
DUZOZO_PAIRS(RtVoid, Display, (RtString name, RtToken type, RtToken mode, ...), mode,
             (name, type, mode))
DUZOZO_REQUEST(RtVoid, DisplayV,
               (RtString name, RtToken type, RtToken mode, RtInt n, RtToken tokens[],
                RtPointer values[]),
               (name, type, mode, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Hider, (RtToken type, ...), type, (type))
DUZOZO_REQUEST(RtVoid, HiderV, (RtToken type, RtInt n, RtToken tokens[], RtPointer values[]),
               (type, n, tokens, values))
DUZOZO_REQUEST(RtVoid, ColorSamples, (RtInt n, RtFloat nRGB[], RtFloat RGBn[]), (n, nRGB, RGBn))
DUZOZO_REQUEST(RtVoid, RelativeDetail, (RtFloat relativedetail), (relativedetail))
DUZOZO_SPECIAL(RtVoid, Option, (RtToken name, ...))
DUZOZO_SPECIAL(RtVoid, OptionV, (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]))

DUZOZO_REQUEST(RtVoid, AttributeBegin, (void), ())
DUZOZO_REQUEST(RtVoid, AttributeEnd, (void), ())
DUZOZO_REQUEST(RtVoid, Color, (RtColor color), (color))
DUZOZO_REQUEST(RtVoid, Opacity, (RtColor color), (color))
DUZOZO_REQUEST(RtVoid, TextureCoordinates,
               (RtFloat s1, RtFloat t1, RtFloat s2, RtFloat t2, RtFloat s3, RtFloat t3, RtFloat s4,
                RtFloat t4),
               (s1, t1, s2, t2, s3, t3, s4, t4))
DUZOZO_REQUEST(RtVoid, ShadingRate, (RtFloat size), (size))
DUZOZO_REQUEST(RtVoid, ShadingInterpolation, (RtToken type), (type))
DUZOZO_REQUEST(RtVoid, Matte, (RtBoolean onoff), (onoff))
DUZOZO_REQUEST(RtVoid, Bound, (RtBound bound), (bound))
DUZOZO_REQUEST(RtVoid, Detail, (RtBound bound), (bound))
DUZOZO_REQUEST(RtVoid, DetailRange,
               (RtFloat minvisible, RtFloat lowertransition, RtFloat uppertransition,
                RtFloat maxvisible),
               (minvisible, lowertransition, uppertransition, maxvisible))
DUZOZO_REQUEST(RtVoid, GeometricApproximation, (RtToken type, RtFloat value), (type, value))
DUZOZO_REQUEST(RtVoid, GeometricRepresentation, (RtToken type), (type))
DUZOZO_REQUEST(RtVoid, Sides, (RtInt sides), (sides))
DUZOZO_REQUEST(RtVoid, Orientation, (RtToken orientation), (orientation))
DUZOZO_REQUEST(RtVoid, ReverseOrientation, (void), ())
DUZOZO_REQUEST(RtVoid, AttributeV, (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Attribute, (RtToken name, ...), name, (name))

DUZOZO_REQUEST(RtVoid, Identity, (void), ())
DUZOZO_REQUEST(RtVoid, ConcatTransform, (RtMatrix transform), (transform))
DUZOZO_REQUEST(RtVoid, Transform, (RtMatrix transform), (transform))
DUZOZO_REQUEST(RtVoid, Perspective, (RtFloat fov), (fov))
DUZOZO_REQUEST(RtVoid, Translate, (RtFloat dx, RtFloat dy, RtFloat dz), (dx, dy, dz))
DUZOZO_REQUEST(RtVoid, Rotate, (RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz),
               (angle, dx, dy, dz))
DUZOZO_REQUEST(RtVoid, Scale, (RtFloat sx, RtFloat sy, RtFloat sz), (sx, sy, sz))
DUZOZO_REQUEST(RtVoid, Skew,
               (RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2, RtFloat dy2,
                RtFloat dz2),
               (angle, dx1, dy1, dz1, dx2, dy2, dz2))
DUZOZO_REQUEST(RtVoid, CoordinateSystem, (RtToken space), (space))
DUZOZO_REQUEST(RtVoid, CoordSysTransform, (RtToken space), (space))
DUZOZO_REQUEST(RtPoint*, TransformPoints,
               (RtToken fromspace, RtToken tospace, RtInt n, RtPoint points[]),
               (fromspace, tospace, n, points))
DUZOZO_REQUEST(RtVoid, TransformBegin, (void), ())
DUZOZO_REQUEST(RtVoid, TransformEnd, (void), ())
DUZOZO_SPECIAL(RtVoid, MotionBegin, (RtInt n, ...))
DUZOZO_REQUEST(RtVoid, MotionBeginV, (RtInt n, RtFloat times[]), (n, times))
DUZOZO_REQUEST(RtVoid, MotionEnd, (void), ())

DUZOZO_PAIRS(RtVoid, Surface, (RtToken name, ...), name, (name))
DUZOZO_REQUEST(RtVoid, SurfaceV, (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Displacement, (RtToken name, ...), name, (name))
DUZOZO_REQUEST(RtVoid, DisplacementV,
               (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Atmosphere, (RtToken name, ...), name, (name))
DUZOZO_REQUEST(RtVoid, AtmosphereV,
               (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Interior, (RtToken name, ...), name, (name))
DUZOZO_REQUEST(RtVoid, InteriorV, (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Exterior, (RtToken name, ...), name, (name))
DUZOZO_REQUEST(RtVoid, ExteriorV, (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Imager, (RtToken name, ...), name, (name))
DUZOZO_REQUEST(RtVoid, ImagerV, (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_PAIRS(RtLightHandle, LightSource, (RtToken name, ...), name, (name))
DUZOZO_REQUEST(RtLightHandle, LightSourceV,
               (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_PAIRS(RtLightHandle, AreaLightSource, (RtToken name, ...), name, (name))
DUZOZO_REQUEST(RtLightHandle, AreaLightSourceV,
               (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_REQUEST(RtVoid, Illuminate, (RtLightHandle light, RtBoolean onoff), (light, onoff))

DUZOZO_PAIRS(RtVoid, Cone, (RtFloat height, RtFloat radius, RtFloat thetamax, ...), thetamax,
             (height, radius, thetamax))
DUZOZO_REQUEST(RtVoid, ConeV,
               (RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
                RtPointer values[]),
               (height, radius, thetamax, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Cylinder, (RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...),
             thetamax, (radius, zmin, zmax, thetamax))
DUZOZO_REQUEST(RtVoid, CylinderV,
               (RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                RtToken tokens[], RtPointer values[]),
               (radius, zmin, zmax, thetamax, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Disk, (RtFloat height, RtFloat radius, RtFloat thetamax, ...), thetamax,
             (height, radius, thetamax))
DUZOZO_REQUEST(RtVoid, DiskV,
               (RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
                RtPointer values[]),
               (height, radius, thetamax, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Hyperboloid, (RtPoint point1, RtPoint point2, RtFloat thetamax, ...),
             thetamax, (point1, point2, thetamax))
DUZOZO_REQUEST(RtVoid, HyperboloidV,
               (RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n, RtToken tokens[],
                RtPointer values[]),
               (point1, point2, thetamax, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Paraboloid, (RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...),
             thetamax, (rmax, zmin, zmax, thetamax))
DUZOZO_REQUEST(RtVoid, ParaboloidV,
               (RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                RtToken tokens[], RtPointer values[]),
               (rmax, zmin, zmax, thetamax, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Sphere, (RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...),
             thetamax, (radius, zmin, zmax, thetamax))
DUZOZO_REQUEST(RtVoid, SphereV,
               (RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                RtToken tokens[], RtPointer values[]),
               (radius, zmin, zmax, thetamax, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Torus,
             (RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
              RtFloat thetamax, ...),
             thetamax, (majorradius, minorradius, phimin, phimax, thetamax))
DUZOZO_REQUEST(RtVoid, TorusV,
               (RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]),
               (majorradius, minorradius, phimin, phimax, thetamax, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Polygon, (RtInt nvertices, ...), nvertices, (nvertices))
DUZOZO_REQUEST(RtVoid, PolygonV, (RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]),
               (nvertices, n, tokens, values))
DUZOZO_PAIRS(RtVoid, GeneralPolygon, (RtInt nloops, RtInt nvertices[], ...), nvertices,
             (nloops, nvertices))
DUZOZO_REQUEST(RtVoid, GeneralPolygonV,
               (RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[], RtPointer values[]),
               (nloops, nvertices, n, tokens, values))
DUZOZO_PAIRS(RtVoid, PointsPolygons, (RtInt npolys, RtInt nvertices[], RtInt vertices[], ...),
             vertices, (npolys, nvertices, vertices))
DUZOZO_REQUEST(RtVoid, PointsPolygonsV,
               (RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n, RtToken tokens[],
                RtPointer values[]),
               (npolys, nvertices, vertices, n, tokens, values))
DUZOZO_PAIRS(RtVoid, PointsGeneralPolygons,
             (RtInt npolys, RtInt nloops[], RtInt nvertices[], RtInt vertices[], ...), vertices,
             (npolys, nloops, nvertices, vertices))
DUZOZO_REQUEST(RtVoid, PointsGeneralPolygonsV,
               (RtInt npolys, RtInt nloops[], RtInt nvertices[], RtInt vertices[], RtInt n,
                RtToken tokens[], RtPointer values[]),
               (npolys, nloops, nvertices, vertices, n, tokens, values))
DUZOZO_REQUEST(RtVoid, Basis, (RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep),
               (ubasis, ustep, vbasis, vstep))
DUZOZO_PAIRS(RtVoid, Patch, (RtToken type, ...), type, (type))
DUZOZO_REQUEST(RtVoid, PatchV, (RtToken type, RtInt n, RtToken tokens[], RtPointer values[]),
               (type, n, tokens, values))
DUZOZO_PAIRS(RtVoid, PatchMesh,
             (RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, ...), vwrap,
             (type, nu, uwrap, nv, vwrap))
DUZOZO_REQUEST(RtVoid, PatchMeshV,
               (RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, RtInt n,
                RtToken tokens[], RtPointer values[]),
               (type, nu, uwrap, nv, vwrap, n, tokens, values))
DUZOZO_REQUEST(RtVoid, TrimCurve,
               (RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[], RtFloat min[],
                RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[], RtFloat w[]),
               (nloops, ncurves, order, knot, min, max, n, u, v, w))
DUZOZO_PAIRS(RtVoid, NuPatch,
             (RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax, RtInt nv,
              RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax, ...),
             vmax, (nu, uorder, uknot, umin, umax, nv, vorder, vknot, vmin, vmax))
DUZOZO_REQUEST(RtVoid, NuPatchV,
               (RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax, RtInt nv,
                RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax, RtInt n,
                RtToken tokens[], RtPointer values[]),
               (nu, uorder, uknot, umin, umax, nv, vorder, vknot, vmin, vmax, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Curves, (RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, ...),
             wrap, (type, ncurves, nvertices, wrap))
DUZOZO_REQUEST(RtVoid, CurvesV,
               (RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n,
                RtToken tokens[], RtPointer values[]),
               (type, ncurves, nvertices, wrap, n, tokens, values))
DUZOZO_PAIRS(RtVoid, Points, (RtInt npoints, ...), npoints, (npoints))
DUZOZO_REQUEST(RtVoid, PointsV, (RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]),
               (npoints, n, tokens, values))
DUZOZO_PAIRS(RtVoid, SubdivisionMesh,
             (RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[], RtInt ntags,
              RtToken tags[], RtInt nargs[], RtInt intargs[], RtFloat floatargs[], ...),
             floatargs,
             (scheme, nfaces, nvertices, vertices, ntags, tags, nargs, intargs, floatargs))
DUZOZO_REQUEST(RtVoid, SubdivisionMeshV,
               (RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[], RtInt ntags,
                RtToken tags[], RtInt nargs[], RtInt intargs[], RtFloat floatargs[], RtInt n,
                RtToken tokens[], RtPointer values[]),
               (scheme, nfaces, nvertices, vertices, ntags, tags, nargs, intargs, floatargs, n,
                tokens, values))
DUZOZO_PAIRS(RtVoid, Blobby,
             (RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[], RtInt nstr,
              RtString str[], ...),
             str, (nleaf, ncode, code, nflt, flt, nstr, str))
DUZOZO_REQUEST(RtVoid, BlobbyV,
               (RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[], RtInt nstr,
                RtString str[], RtInt n, RtToken tokens[], RtPointer values[]),
               (nleaf, ncode, code, nflt, flt, nstr, str, n, tokens, values))
DUZOZO_REQUEST(RtVoid, Procedural,
               (RtPointer data, RtBound bound, RtProcSubdivFunc subdivfunc,
                RtProcFreeFunc freefunc),
               (data, bound, subdivfunc, freefunc))
DUZOZO_PAIRS(RtVoid, Geometry, (RtToken type, ...), type, (type))
DUZOZO_REQUEST(RtVoid, GeometryV, (RtToken type, RtInt n, RtToken tokens[], RtPointer values[]),
               (type, n, tokens, values))

DUZOZO_REQUEST(RtVoid, SolidBegin, (RtToken operation), (operation))
DUZOZO_REQUEST(RtVoid, SolidEnd, (void), ())
DUZOZO_REQUEST(RtObjectHandle, ObjectBegin, (void), ())
DUZOZO_REQUEST(RtVoid, ObjectEnd, (void), ())
DUZOZO_REQUEST(RtVoid, ObjectInstance, (RtObjectHandle handle), (handle))
DUZOZO_PAIRS(RtVoid, MakeTexture,
             (RtString picturename, RtString texturename, RtToken swrap, RtToken twrap,
              RtFilterFunc filter, RtFloat swidth, RtFloat twidth, ...),
             twidth, (picturename, texturename, swrap, twrap, filter, swidth, twidth))
DUZOZO_REQUEST(RtVoid, MakeTextureV,
               (RtString picturename, RtString texturename, RtToken swrap, RtToken twrap,
                RtFilterFunc filter, RtFloat swidth, RtFloat twidth, RtInt n, RtToken tokens[],
                RtPointer values[]),
               (picturename, texturename, swrap, twrap, filter, swidth, twidth, n, tokens,
                values))
DUZOZO_PAIRS(RtVoid, MakeLatLongEnvironment,
             (RtString picturename, RtString texturename, RtFilterFunc filter, RtFloat swidth,
              RtFloat twidth, ...),
             twidth, (picturename, texturename, filter, swidth, twidth))
DUZOZO_REQUEST(RtVoid, MakeLatLongEnvironmentV,
               (RtString picturename, RtString texturename, RtFilterFunc filter, RtFloat swidth,
                RtFloat twidth, RtInt n, RtToken tokens[], RtPointer values[]),
               (picturename, texturename, filter, swidth, twidth, n, tokens, values))
DUZOZO_PAIRS(RtVoid, MakeCubeFaceEnvironment,
             (RtString px, RtString nx, RtString py, RtString ny, RtString pz, RtString nz,
              RtString texturename, RtFloat fov, RtFilterFunc filter, RtFloat swidth,
              RtFloat twidth, ...),
             twidth, (px, nx, py, ny, pz, nz, texturename, fov, filter, swidth, twidth))
DUZOZO_REQUEST(RtVoid, MakeCubeFaceEnvironmentV,
               (RtString px, RtString nx, RtString py, RtString ny, RtString pz, RtString nz,
                RtString texturename, RtFloat fov, RtFilterFunc filter, RtFloat swidth,
                RtFloat twidth, RtInt n, RtToken tokens[], RtPointer values[]),
               (px, nx, py, ny, pz, nz, texturename, fov, filter, swidth, twidth, n, tokens,
                values))
DUZOZO_PAIRS(RtVoid, MakeShadow, (RtString picturename, RtString texturename, ...), texturename,
             (picturename, texturename))
DUZOZO_REQUEST(RtVoid, MakeShadowV,
               (RtString picturename, RtString texturename, RtInt n, RtToken tokens[],
                RtPointer values[]),
               (picturename, texturename, n, tokens, values))

DUZOZO_REQUEST(RtToken, Declare, (const char* name, const char* declaration), (name, declaration))
DUZOZO_SPECIAL(RtVoid, ArchiveRecord, (RtToken type, const char* format, ...))
DUZOZO_SPECIAL(RtVoid, ArchiveRecordV, (RtToken type, const char* format, va_list args))
DUZOZO_PAIRS(RtVoid, ReadArchive, (RtToken name, RtArchiveCallback callback, ...), callback,
             (name, callback))
DUZOZO_REQUEST(RtVoid, ReadArchiveV,
               (RtToken name, RtArchiveCallback callback, RtInt n, RtToken tokens[],
                RtPointer values[]),
               (name, callback, n, tokens, values))
DUZOZO_SPECIAL(RtVoid, ErrorHandler, (RtErrorHandler handler))

// Requests added after the first release: they come last, so that the
// interface keeps its order for programs built against that release.
DUZOZO_REQUEST_LATER(RtVoid, ClippingPlane,
               (RtFloat x, RtFloat y, RtFloat z, RtFloat nx, RtFloat ny, RtFloat nz),
               (x, y, z, nx, ny, nz))
DUZOZO_PAIRS_LATER(RtVoid, Deformation, (RtToken name, ...), name, (name))
DUZOZO_REQUEST_LATER(RtVoid, DeformationV,
               (RtToken name, RtInt n, RtToken tokens[], RtPointer values[]),
               (name, n, tokens, values))
DUZOZO_PAIRS_LATER(RtVoid, MakeBump,
             (RtString picturename, RtString texturename, RtToken swrap, RtToken twrap,
              RtFilterFunc filter, RtFloat swidth, RtFloat twidth, ...),
             twidth, (picturename, texturename, swrap, twrap, filter, swidth, twidth))
DUZOZO_REQUEST_LATER(RtVoid, MakeBumpV,
               (RtString picturename, RtString texturename, RtToken swrap, RtToken twrap,
                RtFilterFunc filter, RtFloat swidth, RtFloat twidth, RtInt n, RtToken tokens[],
                RtPointer values[]),
               (picturename, texturename, swrap, twrap, filter, swidth, twidth, n, tokens,
                values))

#undef DUZOZO_REQUEST
#undef DUZOZO_PAIRS
#undef DUZOZO_SPECIAL
#undef DUZOZO_REQUEST_LATER
#undef DUZOZO_PAIRS_LATER
