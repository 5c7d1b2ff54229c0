// Attribute, transformation, shader and light requests.
#include <initializer_list>

#include "rib/internal/requests.h"

using namespace duzozo;

namespace {

void writeKeyword(RibWriter& w, const char* keyword) {
    w.WriteText(keyword);
    w.WriteChar('\n');
}

// keyword "token"
void writeQuotedLine(RibWriter& w, const char* keyword, RtToken token) {
    w.WriteText(keyword);
    w.WriteChar(' ');
    w.WriteQuoted(token);
    w.WriteChar('\n');
}

// keyword [values], the array following binaryOutput.
void writeArrayLine(RibWriter& w, const char* keyword, const RtFloat* values, RtInt n) {
    w.WriteText(keyword);
    w.WriteChar(' ');
    w.WriteFloatArray(values, n);
    w.WriteChar('\n');
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
    WriteText("TextureCoordinates [");
    writeGs(*this, {s1, t1, s2, t2, s3, t3, s4, t4});
    WriteText(" ]\n");
}

void RibWriter::ShadingRate(RtFloat size) {
    WriteText("ShadingRate");
    writeGs(*this, {size});
    WriteChar('\n');
}

void RibWriter::ShadingInterpolation(RtToken type) {
    writeQuotedLine(*this, "ShadingInterpolation", type);
}

void RibWriter::Matte(RtBoolean onoff) {
    WriteText("Matte ");
    WriteInt(onoff);
    WriteChar('\n');
}

void RibWriter::Bound(RtBound bound) {
    writeArrayLine(*this, "Bound", bound, 6);
}

void RibWriter::Detail(RtBound bound) {
    writeArrayLine(*this, "Detail", bound, 6);
}

void RibWriter::DetailRange(RtFloat minvisible, RtFloat lowertransition, RtFloat uppertransition,
                            RtFloat maxvisible) {
    WriteText("DetailRange");
    writeGs(*this, {minvisible, lowertransition, uppertransition, maxvisible});
    WriteChar('\n');
}

void RibWriter::GeometricApproximation(RtToken type, RtFloat value) {
    WriteText("GeometricApproximation ");
    WriteQuoted(type);
    writeGs(*this, {value});
    WriteChar('\n');
}

void RibWriter::GeometricRepresentation(RtToken type) {
    writeQuotedLine(*this, "GeometricRepresentation", type);
}

void RibWriter::Sides(RtInt sides) {
    WriteText("Sides ");
    WriteInt(sides);
    WriteChar('\n');
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
    WriteText("Perspective");
    writeGs(*this, {fov});
    WriteChar('\n');
}

// Translate and Rotate write single floats, each ending in its own blank.
void RibWriter::Translate(RtFloat dx, RtFloat dy, RtFloat dz) {
    WriteText("Translate ");
    WriteFloat(dx);
    WriteFloat(dy);
    WriteFloat(dz);
    WriteChar('\n');
}

void RibWriter::Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz) {
    WriteText("Rotate ");
    WriteFloat(angle);
    WriteFloat(dx);
    WriteFloat(dy);
    WriteFloat(dz);
    WriteChar('\n');
}

void RibWriter::Scale(RtFloat sx, RtFloat sy, RtFloat sz) {
    WriteText("Scale");
    writeGs(*this, {sx, sy, sz});
    WriteChar('\n');
}

// Three blanks set the two direction vectors apart.
void RibWriter::Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2, RtFloat dy2,
                     RtFloat dz2) {
    WriteText("Skew");
    writeGs(*this, {angle});
    WriteText("  ");
    writeGs(*this, {dx1, dy1, dz1});
    WriteText("  ");
    writeGs(*this, {dx2, dy2, dz2});
    WriteChar('\n');
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
    WriteText("Illuminate ");
    WriteInt(light);
    WriteChar(' ');
    WriteInt(onoff);
    WriteChar('\n');
}
