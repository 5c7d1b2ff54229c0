// Attribute, transformation, shader and light requests.
#include <initializer_list>

#include "rib/internal/requests.h"

using namespace duzozo;

namespace {

void writeKeyword(RibWriter& w, const char* keyword) {
    w.WriteRequest(keyword);
    w.EndRequest();
}

// keyword "token"
void writeQuotedLine(RibWriter& w, const char* keyword, RtToken token) {
    w.WriteRequest(keyword);
    w.WriteSpace();
    w.WriteQuoted(token);
    w.EndRequest();
}

// keyword integer
void writeIntLine(RibWriter& w, const char* keyword, RtInt value) {
    w.WriteRequest(keyword);
    w.WriteSpace();
    w.WriteInt(value);
    w.EndRequest();
}

// keyword [values], the array following binaryOutput.
void writeArrayLine(RibWriter& w, const char* keyword, const RtFloat* values, RtInt n) {
    w.WriteRequest(keyword);
    w.WriteSpace();
    w.WriteFloatArray(values, n);
    w.EndRequest();
}

// The keyword and each float as " %g".
void writeGsLine(RibWriter& w, const char* keyword, std::initializer_list<RtFloat> values) {
    w.WriteRequest(keyword);
    writeGs(w, values);
    w.EndRequest();
}

// The keyword and each float as a value of its own, which binaryOutput
// encodes; as text each ends in a blank.
void writeFloatsLine(RibWriter& w, const char* keyword, std::initializer_list<RtFloat> values) {
    w.WriteRequest(keyword);
    w.WriteSpace();
    for (RtFloat v : values) w.WriteFloat(v);
    w.EndRequest();
}

}  // namespace

// A colour has as many components as ColorSamples last gave.
void RibWriter::Color(RtColor color) {
    writeArrayLine(*this, "Color", color, colorSamples);
}

void RibWriter::Opacity(RtColor color) {
    writeArrayLine(*this, "Opacity", color, colorSamples);
}

void RibWriter::TextureCoordinates(RtFloat s1, RtFloat t1, RtFloat s2, RtFloat t2, RtFloat s3,
                                   RtFloat t3, RtFloat s4, RtFloat t4) {
    WriteRequest("TextureCoordinates");
    WriteSpace();
    WriteChar('[');
    writeGs(*this, {s1, t1, s2, t2, s3, t3, s4, t4});
    WriteSpace();
    WriteChar(']');
    EndRequest();
}

void RibWriter::ShadingRate(RtFloat size) {
    writeGsLine(*this, "ShadingRate", {size});
}

void RibWriter::ShadingInterpolation(RtToken type) {
    writeQuotedLine(*this, "ShadingInterpolation", type);
}

void RibWriter::Matte(RtBoolean onoff) {
    writeIntLine(*this, "Matte", onoff);
}

void RibWriter::Bound(RtBound bound) {
    writeArrayLine(*this, "Bound", bound, 6);
}

void RibWriter::Detail(RtBound bound) {
    writeArrayLine(*this, "Detail", bound, 6);
}

void RibWriter::DetailRange(RtFloat minvisible, RtFloat lowertransition, RtFloat uppertransition,
                            RtFloat maxvisible) {
    writeGsLine(*this, "DetailRange", {minvisible, lowertransition, uppertransition, maxvisible});
}

void RibWriter::GeometricApproximation(RtToken type, RtFloat value) {
    WriteRequest("GeometricApproximation");
    WriteSpace();
    WriteQuoted(type);
    writeGs(*this, {value});
    EndRequest();
}

void RibWriter::GeometricRepresentation(RtToken type) {
    writeQuotedLine(*this, "GeometricRepresentation", type);
}

void RibWriter::Sides(RtInt sides) {
    writeIntLine(*this, "Sides", sides);
}

void RibWriter::Orientation(RtToken orientation) {
    writeQuotedLine(*this, "Orientation", orientation);
}

void RibWriter::ReverseOrientation() {
    writeKeyword(*this, "ReverseOrientation");
}

void RibWriter::AttributeV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Attribute", name, 0, n, tokens, values);
}

void RibWriter::Identity() {
    writeKeyword(*this, "Identity");
}

void RibWriter::ConcatTransform(RtMatrix transform) {
    writeArrayLine(*this, "ConcatTransform", &transform[0][0], 16);
}

void RibWriter::Transform(RtMatrix transform) {
    writeArrayLine(*this, "Transform", &transform[0][0], 16);
}

void RibWriter::Perspective(RtFloat fov) {
    writeGsLine(*this, "Perspective", {fov});
}

// Translate and Rotate write single floats, each ending in its own blank.
void RibWriter::Translate(RtFloat dx, RtFloat dy, RtFloat dz) {
    writeFloatsLine(*this, "Translate", {dx, dy, dz});
}

void RibWriter::Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz) {
    writeFloatsLine(*this, "Rotate", {angle, dx, dy, dz});
}

void RibWriter::Scale(RtFloat sx, RtFloat sy, RtFloat sz) {
    writeGsLine(*this, "Scale", {sx, sy, sz});
}

// Three blanks set the two direction vectors apart.
void RibWriter::Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2, RtFloat dy2,
                     RtFloat dz2) {
    WriteRequest("Skew");
    writeGs(*this, {angle});
    WriteSeparator("  ");
    writeGs(*this, {dx1, dy1, dz1});
    WriteSeparator("  ");
    writeGs(*this, {dx2, dy2, dz2});
    EndRequest();
}

void RibWriter::CoordinateSystem(RtToken space) {
    writeQuotedLine(*this, "CoordinateSystem", space);
}

void RibWriter::CoordSysTransform(RtToken space) {
    writeQuotedLine(*this, "CoordSysTransform", space);
}

// A writer keeps no transformation state, so it has nothing to transform with.
RtPoint* RibWriter::TransformPoints(RtToken, RtToken, RtInt, RtPoint[]) {
    return nullptr;
}

void RibWriter::TransformBegin() {
    writeKeyword(*this, "TransformBegin");
}

void RibWriter::TransformEnd() {
    writeKeyword(*this, "TransformEnd");
}

void RibWriter::SurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Surface", name, 0, n, tokens, values);
}

void RibWriter::DisplacementV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Displacement", name, 0, n, tokens, values);
}

void RibWriter::DeformationV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Deformation", name, 0, n, tokens, values);
}

void RibWriter::AtmosphereV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Atmosphere", name, 0, n, tokens, values);
}

void RibWriter::InteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Interior", name, 0, n, tokens, values);
}

void RibWriter::ExteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Exterior", name, 0, n, tokens, values);
}

void RibWriter::ImagerV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Imager", name, 0, n, tokens, values);
}

// Both kinds of light draw on the one counter, so handles are unique per writer.
RtLightHandle RibWriter::LightSourceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "LightSource", name, nextLightHandle, n, tokens, values);
    return nextLightHandle++;
}

RtLightHandle RibWriter::AreaLightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                          RtPointer values[]) {
    writeNamedRequest(*this, "AreaLightSource", name, nextLightHandle, n, tokens, values);
    return nextLightHandle++;
}

void RibWriter::Illuminate(RtLightHandle light, RtBoolean onoff) {
    WriteRequest("Illuminate");
    WriteSpace();
    WriteInt(light);
    WriteSpace();
    WriteInt(onoff);
    EndRequest();
}
