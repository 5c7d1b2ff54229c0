// Solid and object blocks, motion blocks and the texture-making requests.
#include <initializer_list>

#include "rib/internal/requests.h"

using namespace duzozo;

namespace {

// "filter" swidth twidth, then the parameter list, which ends the line.
void writeFilterAndParams(RibWriter& w, RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                          RtInt n, RtToken tokens[], RtPointer values[]) {
    w.WriteQuoted(ribFilterName(filter));
    w.WriteSpace();
    w.WriteG(swidth);
    w.WriteSpace();
    w.WriteG(twidth);
    w.WriteParams(nullptr, 0, n, tokens, values);
}

void writeQuotedNames(RibWriter& w, std::initializer_list<RtString> names) {
    for (RtString name : names) {
        w.WriteQuoted(name);
        w.WriteSpace();
    }
}

}  // namespace

void RibWriter::SolidBegin(RtToken operation) {
    WriteRequest("SolidBegin");
    WriteSpace();
    WriteQuoted(operation);
    EndRequest();
    SaveState(false);
}

void RibWriter::SolidEnd() {
    WriteRequest("SolidEnd");
    EndRequest();
    RestoreState();
}

// Handles number the objects of one writer 1, 2, 3 ... in order of definition.
RtObjectHandle RibWriter::ObjectBegin() {
    WriteRequest("ObjectBegin");
    WriteSpace();
    WriteInt(nextObjectHandle);
    EndRequest();
    SaveState(false);
    return nextObjectHandle++;
}

void RibWriter::ObjectEnd() {
    WriteRequest("ObjectEnd");
    EndRequest();
    RestoreState();
}

void RibWriter::ObjectInstance(RtObjectHandle handle) {
    WriteRequest("ObjectInstance");
    WriteSpace();
    WriteInt(handle);
    EndRequest();
}

void RibWriter::MotionBeginV(RtInt n, RtFloat times[]) {
    if (!usableCount(*this, "MotionBegin", "n", n)) return;
    WriteRequest("MotionBegin");
    WriteSpace();
    WriteFloatArray(times, n);
    EndRequest();
}

void RibWriter::MotionEnd() {
    WriteRequest("MotionEnd");
    EndRequest();
}

void RibWriter::MakeTextureV(RtString picturename, RtString texturename, RtToken swrap,
                             RtToken twrap, RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                             RtInt n, RtToken tokens[], RtPointer values[]) {
    WriteRequest("MakeTexture");
    WriteSpace();
    writeQuotedNames(*this, {picturename, texturename, swrap, twrap});
    writeFilterAndParams(*this, filter, swidth, twidth, n, tokens, values);
}

// A bump map is made from its picture exactly as a texture is.
void RibWriter::MakeBumpV(RtString picturename, RtString texturename, RtToken swrap, RtToken twrap,
                          RtFilterFunc filter, RtFloat swidth, RtFloat twidth, RtInt n,
                          RtToken tokens[], RtPointer values[]) {
    WriteRequest("MakeBump");
    WriteSpace();
    writeQuotedNames(*this, {picturename, texturename, swrap, twrap});
    writeFilterAndParams(*this, filter, swidth, twidth, n, tokens, values);
}

void RibWriter::MakeLatLongEnvironmentV(RtString picturename, RtString texturename,
                                        RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                                        RtInt n, RtToken tokens[], RtPointer values[]) {
    WriteRequest("MakeLatLongEnvironment");
    WriteSpace();
    writeQuotedNames(*this, {picturename, texturename});
    writeFilterAndParams(*this, filter, swidth, twidth, n, tokens, values);
}

void RibWriter::MakeCubeFaceEnvironmentV(RtString px, RtString nx, RtString py, RtString ny,
                                         RtString pz, RtString nz, RtString texturename,
                                         RtFloat fov, RtFilterFunc filter, RtFloat swidth,
                                         RtFloat twidth, RtInt n, RtToken tokens[],
                                         RtPointer values[]) {
    WriteRequest("MakeCubeFaceEnvironment");
    WriteSpace();
    writeQuotedNames(*this, {px, nx, py, ny, pz, nz, texturename});
    WriteG(fov);
    WriteSpace();
    writeFilterAndParams(*this, filter, swidth, twidth, n, tokens, values);
}

void RibWriter::MakeShadowV(RtString picturename, RtString texturename, RtInt n, RtToken tokens[],
                            RtPointer values[]) {
    WriteRequest("MakeShadow");
    WriteSpace();
    WriteQuoted(picturename);
    WriteSpace();
    WriteQuoted(texturename);
    WriteParams(nullptr, 0, n, tokens, values);
}
