// The RIB writer: the one implementation of RenderInterface. Every request
// writes its RIB text at once through the writer's one buffered stream.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "rib/ri.h"
#include "rib/ribstream.h"

// Declare writes its RIB line only while this is nonzero; every writer's
// construction sets it to 1.
extern int echoDeclarations;

class RibWriter : public RenderInterface {
  public:
    // The target name is a file name, "rendrib", "rgl", "prman" (started as
    // commands), "|command", or null for standard output. Option pairs of
    // (token, pointer to value) follow, ended by a null token: "format"
    // (pointer to text), "binary" (pointer to int), "compression" (pointer
    // to text, "gzip" compresses the whole stream) and "gzip" (pointer to int).
    explicit RibWriter(const char* name, ...);
    // Writes the final line break and closes the file or pipe.
    ~RibWriter() override;
    RibWriter(const RibWriter&) = delete;
    RibWriter& operator=(const RibWriter&) = delete;

    void FrameBegin(RtInt frame) override;
    void FrameEnd() override;
    void WorldBegin() override;
    void WorldEnd() override;

    void Format(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio) override;
    void FrameAspectRatio(RtFloat aspect) override;
    void ScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top) override;
    void CropWindow(RtFloat xmin, RtFloat xmax, RtFloat ymin, RtFloat ymax) override;
    void Projection(RtToken name, ...) override;
    void ProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void Clipping(RtFloat hither, RtFloat yon) override;
    void DepthOfField(RtFloat fstop, RtFloat focallength, RtFloat focaldistance) override;
    void Shutter(RtFloat min, RtFloat max) override;
    void PixelVariance(RtFloat variation) override;
    void PixelSamples(RtFloat xsamples, RtFloat ysamples) override;
    void PixelFilter(RtFilterFunc filter, RtFloat xwidth, RtFloat ywidth) override;
    void Exposure(RtFloat gain, RtFloat gamma) override;
    void Quantize(RtToken type, RtInt one, RtInt min, RtInt max, RtFloat ditheramplitude) override;
    void Display(RtString name, RtToken type, RtToken mode, ...) override;
    void DisplayV(RtString name, RtToken type, RtToken mode, RtInt n, RtToken tokens[],
                  RtPointer values[]) override;
    void Hider(RtToken type, ...) override;
    void HiderV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void ColorSamples(RtInt n, RtFloat nRGB[], RtFloat RGBn[]) override;
    void RelativeDetail(RtFloat relativedetail) override;
    void Option(RtToken name, ...) override;
    void OptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;

    void AttributeBegin() override;
    void AttributeEnd() override;
    void Color(RtColor color) override;
    void Opacity(RtColor color) override;
    void TextureCoordinates(RtFloat s1, RtFloat t1, RtFloat s2, RtFloat t2, RtFloat s3, RtFloat t3,
                            RtFloat s4, RtFloat t4) override;
    void ShadingRate(RtFloat size) override;
    void ShadingInterpolation(RtToken type) override;
    void Matte(RtBoolean onoff) override;
    void Bound(RtBound bound) override;
    void Detail(RtBound bound) override;
    void DetailRange(RtFloat minvisible, RtFloat lowertransition, RtFloat uppertransition,
                     RtFloat maxvisible) override;
    void GeometricApproximation(RtToken type, RtFloat value) override;
    void GeometricRepresentation(RtToken type) override;
    void Sides(RtInt sides) override;
    void Orientation(RtToken orientation) override;
    void ReverseOrientation() override;
    void AttributeV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void Attribute(RtToken name, ...) override;

    void Identity() override;
    void ConcatTransform(RtMatrix transform) override;
    void Transform(RtMatrix transform) override;
    void Perspective(RtFloat fov) override;
    void Translate(RtFloat dx, RtFloat dy, RtFloat dz) override;
    void Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz) override;
    void Scale(RtFloat sx, RtFloat sy, RtFloat sz) override;
    void Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2, RtFloat dy2,
              RtFloat dz2) override;
    void CoordinateSystem(RtToken space) override;
    void CoordSysTransform(RtToken space) override;
    RtPoint* TransformPoints(RtToken fromspace, RtToken tospace, RtInt n,
                             RtPoint points[]) override;
    void TransformBegin() override;
    void TransformEnd() override;
    void MotionBegin(RtInt n, ...) override;
    void MotionBeginV(RtInt n, RtFloat times[]) override;
    void MotionEnd() override;

    void Surface(RtToken name, ...) override;
    void SurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void Displacement(RtToken name, ...) override;
    void DisplacementV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void Atmosphere(RtToken name, ...) override;
    void AtmosphereV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void Interior(RtToken name, ...) override;
    void InteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void Exterior(RtToken name, ...) override;
    void ExteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void Imager(RtToken name, ...) override;
    void ImagerV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
    RtLightHandle LightSource(RtToken name, ...) override;
    RtLightHandle LightSourceV(RtToken name, RtInt n, RtToken tokens[],
                               RtPointer values[]) override;
    RtLightHandle AreaLightSource(RtToken name, ...) override;
    RtLightHandle AreaLightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                   RtPointer values[]) override;
    void Illuminate(RtLightHandle light, RtBoolean onoff) override;

    void Cone(RtFloat height, RtFloat radius, RtFloat thetamax, ...) override;
    void ConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
               RtPointer values[]) override;
    void Cylinder(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) override;
    void CylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                   RtToken tokens[], RtPointer values[]) override;
    void Disk(RtFloat height, RtFloat radius, RtFloat thetamax, ...) override;
    void DiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
               RtPointer values[]) override;
    void Hyperboloid(RtPoint point1, RtPoint point2, RtFloat thetamax, ...) override;
    void HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n, RtToken tokens[],
                      RtPointer values[]) override;
    void Paraboloid(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) override;
    void ParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                     RtToken tokens[], RtPointer values[]) override;
    void Sphere(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) override;
    void SphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                 RtToken tokens[], RtPointer values[]) override;
    void Torus(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
               RtFloat thetamax, ...) override;
    void TorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void Polygon(RtInt nvertices, ...) override;
    void PolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void GeneralPolygon(RtInt nloops, RtInt nvertices[], ...) override;
    void GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[],
                         RtPointer values[]) override;
    void PointsPolygons(RtInt npolys, RtInt nvertices[], RtInt vertices[], ...) override;
    void PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n,
                         RtToken tokens[], RtPointer values[]) override;
    void PointsGeneralPolygons(RtInt npolys, RtInt nloops[], RtInt nvertices[], RtInt vertices[],
                               ...) override;
    void PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[], RtInt vertices[],
                                RtInt n, RtToken tokens[], RtPointer values[]) override;
    void Basis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep) override;
    void Patch(RtToken type, ...) override;
    void PatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void PatchMesh(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, ...) override;
    void PatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, RtInt n,
                    RtToken tokens[], RtPointer values[]) override;
    void TrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[], RtFloat min[],
                   RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[], RtFloat w[]) override;
    void NuPatch(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax, RtInt nv,
                 RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax, ...) override;
    void NuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax, RtInt nv,
                  RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax, RtInt n,
                  RtToken tokens[], RtPointer values[]) override;
    void Curves(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, ...) override;
    void CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n,
                 RtToken tokens[], RtPointer values[]) override;
    void Points(RtInt npoints, ...) override;
    void PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void SubdivisionMesh(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[],
                         RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[],
                         RtFloat floatargs[], ...) override;
    void SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[],
                          RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[],
                          RtFloat floatargs[], RtInt n, RtToken tokens[],
                          RtPointer values[]) override;
    void Blobby(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[], RtInt nstr,
                RtString str[], ...) override;
    void BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[], RtInt nstr,
                 RtString str[], RtInt n, RtToken tokens[], RtPointer values[]) override;
    void Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivide,
                    RtProcFreeFunc free) override;
    void Geometry(RtToken type, ...) override;
    void GeometryV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) override;

    void SolidBegin(RtToken operation) override;
    void SolidEnd() override;
    RtObjectHandle ObjectBegin() override;
    void ObjectEnd() override;
    void ObjectInstance(RtObjectHandle handle) override;
    void MakeTexture(RtString picturename, RtString texturename, RtToken swrap, RtToken twrap,
                     RtFilterFunc filter, RtFloat swidth, RtFloat twidth, ...) override;
    void MakeTextureV(RtString picturename, RtString texturename, RtToken swrap, RtToken twrap,
                      RtFilterFunc filter, RtFloat swidth, RtFloat twidth, RtInt n,
                      RtToken tokens[], RtPointer values[]) override;
    void MakeLatLongEnvironment(RtString picturename, RtString texturename, RtFilterFunc filter,
                                RtFloat swidth, RtFloat twidth, ...) override;
    void MakeLatLongEnvironmentV(RtString picturename, RtString texturename, RtFilterFunc filter,
                                 RtFloat swidth, RtFloat twidth, RtInt n, RtToken tokens[],
                                 RtPointer values[]) override;
    void MakeCubeFaceEnvironment(RtString px, RtString nx, RtString py, RtString ny, RtString pz,
                                 RtString nz, RtString texturename, RtFloat fov,
                                 RtFilterFunc filter, RtFloat swidth, RtFloat twidth, ...) override;
    void MakeCubeFaceEnvironmentV(RtString px, RtString nx, RtString py, RtString ny, RtString pz,
                                  RtString nz, RtString texturename, RtFloat fov,
                                  RtFilterFunc filter, RtFloat swidth, RtFloat twidth, RtInt n,
                                  RtToken tokens[], RtPointer values[]) override;
    void MakeShadow(RtString picturename, RtString texturename, ...) override;
    void MakeShadowV(RtString picturename, RtString texturename, RtInt n, RtToken tokens[],
                     RtPointer values[]) override;

    RtToken Declare(const char* name, const char* declaration) override;
    void ArchiveRecord(RtToken type, const char* format, ...) override;
    void ArchiveRecordV(RtToken type, const char* format, va_list args) override;
    void ReadArchive(RtToken name, RtArchiveCallback callback, ...) override;
    void ReadArchiveV(RtToken name, RtArchiveCallback callback, RtInt n, RtToken tokens[],
                      RtPointer values[]) override;
    void ErrorHandler(RtErrorHandler handler) override;

    void ClippingPlane(RtFloat x, RtFloat y, RtFloat z, RtFloat nx, RtFloat ny, RtFloat nz) override;
    void Deformation(RtToken name, ...) override;
    void DeformationV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
    void MakeBump(RtString picturename, RtString texturename, RtToken swrap, RtToken twrap,
                  RtFilterFunc filter, RtFloat swidth, RtFloat twidth, ...) override;
    void MakeBumpV(RtString picturename, RtString texturename, RtToken swrap, RtToken twrap,
                   RtFilterFunc filter, RtFloat swidth, RtFloat twidth, RtInt n, RtToken tokens[],
                   RtPointer values[]) override;

    // Value writers. Floats follow binaryOutput; integers and strings are
    // always text.
    void WriteFloat(RtFloat v);
    void WriteFloatArray(const RtFloat* values, RtInt n);
    void WriteIntArray(const RtInt* values, RtInt n);
    void WriteStringArray(const RtString* texts, RtInt n);
    // Writes ' "name"' when name is given, ' handle' when handle > 0, then
    // each declared parameter, then a line break. Value counts come from the
    // declaration's type and array size alone.
    void WriteParams(RtToken name, RtInt handle, RtInt n, const RtToken tokens[],
                     const RtPointer values[]);
    // The same, from one array of alternating tokens and values that ends
    // with a null token.
    void WriteParams(RtToken name, RtInt handle, const RtPointer pairs[]);
    // Element counts are the count of the parameter's storage class
    // ("constant" counts 1) times its array size.
    void WritePrimitiveParams(RtInt vertexCount, RtInt varyingCount, RtInt uniformCount, RtInt n,
                              const RtToken tokens[], const RtPointer values[]);
    void WritePrimitiveParams(RtInt vertexCount, RtInt varyingCount, RtInt uniformCount,
                              const RtPointer pairs[]);
    // With the count of "facevarying" parameters; the forms above count them
    // as varying.
    void WritePrimitiveParams(RtInt vertexCount, RtInt varyingCount, RtInt uniformCount,
                              RtInt faceVaryingCount, RtInt n, const RtToken tokens[],
                              const RtPointer values[]);
    // Writes a Declare line for each token whose declaration this stream
    // has not seen yet (it was declared through another writer, or changed
    // since), so that the file stands alone. Called before a request's
    // keyword, since nothing may come between a keyword and its parameters.
    void DeclareUsed(RtInt n, const RtToken tokens[]);

    // Low-level output, all through outputStream; nothing is written once the
    // stream is closed.
    void WriteText(const char* s);
    void WriteChar(char c) {
        if (outputStream) outputStream->put(c);
    }
    void WriteBytes(const void* p, size_t n) {
        if (outputStream) outputStream->write(p, n);
    }
    void WriteInt(long v);      // the bytes of printf "%ld"
    void WriteG(double v);      // the bytes of printf "%g", no trailing blank
    void WriteFixed(double v);  // the bytes of printf "%f"
    // '"' + s + '"', with '"' and '\\' escaped so that no caller text can end
    // the string early; a null s writes "".
    void WriteQuoted(const char* s);
    void Flush();

    duzozo::RibStream* outputStream = nullptr;
    const char* targetName = nullptr;
    int isPipe = 0;
    int uStep = 3;
    int vStep = 3;
    int binaryOutput = 0;
    int nextLightHandle = 1;
    int nextObjectHandle = 1;

  private:
    // What AttributeBegin and the other blocks save: the basis steps, and for
    // frames the colour samples (an option) too.
    struct SavedState {
        int uStep, vStep, colorSamples;
        bool frame;
    };
    void SaveState(bool frame);
    void RestoreState();
    struct StreamDeclaration {
        int type, storageClass, arraySize;
        bool operator==(const StreamDeclaration& o) const {
            return type == o.type && storageClass == o.storageClass && arraySize == o.arraySize;
        }
    };
    // Makes the token's declaration the one a reader of this stream knows;
    // when `write` and the reader knew none or another, with a Declare line.
    void NoteDeclaration(RtToken token, bool write);

    // Components of every colour, set by ColorSamples.
    int colorSamples = 3;
    std::vector<SavedState> savedStates;
    // The declaration each token has as far as a reader of this stream knows.
    std::unordered_map<const void*, StreamDeclaration> streamDeclarations;

    void construct(const char* name, RtInt n, const RtToken tokens[], const RtPointer values[]);
    void WriteParamValues(RtInt elements, int type, const void* value);
};

// The 247 standard declarations, made without Declare lines.
void predeclareTokens(RibWriter* writer);
