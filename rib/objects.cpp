// Solid and object blocks, motion blocks and the texture-making requests.
#include <initializer_list>

#include "rib/internal/requests.h"

using namespace duzozo;

namespace {

// "filter" swidth twidth, then the parameter list, which ends the line.
void writeFilterAndParams(RibWriter& w, RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                          RtInt n, RtToken tokens[], RtPointer values[]) {
    w.WriteChar('"');
    w.WriteText(ribFilterName(filter));
    w.WriteText("\" ");
    w.WriteG(swidth);
    w.WriteChar(' ');
    w.WriteG(twidth);
    w.WriteParams(nullptr, 0, n, tokens, values);
}

void writeQuotedNames(RibWriter& w, std::initializer_list<RtString> names) {
    for (RtString name : names) {
        w.WriteQuoted(name);
        w.WriteChar(' ');
    }
}

}  // namespace

void RibWriter::SolidBegin(RtToken operation) {
    WriteText("SolidBegin ");
    WriteQuoted(operation);
    WriteChar('\n');
    SaveState(false);
}

void RibWriter::SolidEnd() {
    WriteText("SolidEnd\n");
    RestoreState();
}

// Handles number the objects of one writer 1, 2, 3 ... in order of definition.
RtObjectHandle RibWriter::ObjectBegin() {
    WriteText("ObjectBegin ");
    WriteInt(nextObjectHandle);
    WriteChar('\n');
    SaveState(false);
    return nextObjectHandle++;
}

void RibWriter::ObjectEnd() {
    WriteText("ObjectEnd\n");
    RestoreState();
}

void RibWriter::ObjectInstance(RtObjectHandle handle) {
    WriteText("ObjectInstance ");
    WriteInt(handle);
    WriteChar('\n');
}

void RibWriter::MotionBeginV(RtInt n, RtFloat times[]) {
    if (!usableCount(*this, "MotionBegin", "n", n)) return;
    WriteText("MotionBegin ");
    WriteFloatArray(times, n);
    WriteChar('\n');
}

void RibWriter::MotionEnd() {
    WriteText("MotionEnd\n");
}

void RibWriter::MakeTextureV(RtString picturename, RtString texturename, RtToken swrap,
                             RtToken twrap, RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                             RtInt n, RtToken tokens[], RtPointer values[]) {
    WriteText("MakeTexture ");
    writeQuotedNames(*this, {picturename, texturename, swrap, twrap});
    writeFilterAndParams(*this, filter, swidth, twidth, n, tokens, values);
}

// A bump map is made from its picture exactly as a texture is.
void RibWriter::MakeBumpV(RtString picturename, RtString texturename, RtToken swrap, RtToken twrap,
                          RtFilterFunc filter, RtFloat swidth, RtFloat twidth, RtInt n,
                          RtToken tokens[], RtPointer values[]) {
    WriteText("MakeBump ");
    writeQuotedNames(*this, {picturename, texturename, swrap, twrap});
    writeFilterAndParams(*this, filter, swidth, twidth, n, tokens, values);
}

void RibWriter::MakeLatLongEnvironmentV(RtString picturename, RtString texturename,
                                        RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                                        RtInt n, RtToken tokens[], RtPointer values[]) {
    WriteText("MakeLatLongEnvironment ");
    writeQuotedNames(*this, {picturename, texturename});
    writeFilterAndParams(*this, filter, swidth, twidth, n, tokens, values);
}

void RibWriter::MakeCubeFaceEnvironmentV(RtString px, RtString nx, RtString py, RtString ny,
                                         RtString pz, RtString nz, RtString texturename,
                                         RtFloat fov, RtFilterFunc filter, RtFloat swidth,
                                         RtFloat twidth, RtInt n, RtToken tokens[],
                                         RtPointer values[]) {
    WriteText("MakeCubeFaceEnvironment ");
    writeQuotedNames(*this, {px, nx, py, ny, pz, nz, texturename});
    WriteG(fov);
    WriteChar(' ');
    writeFilterAndParams(*this, filter, swidth, twidth, n, tokens, values);
}

void RibWriter::MakeShadowV(RtString picturename, RtString texturename, RtInt n, RtToken tokens[],
                            RtPointer values[]) {
    WriteText("MakeShadow ");
    WriteQuoted(picturename);
    WriteChar(' ');
    WriteQuoted(texturename);
    WriteParams(nullptr, 0, n, tokens, values);
}
