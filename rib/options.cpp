// Option and camera requests, and the standard pixel-filter functions.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "rib/internal/parampairs.h"
#include "rib/internal/requests.h"

using namespace duzozo;

RtFloat RiGaussianFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth) {
    double u = x / (xwidth * 0.5);
    double v = y / (ywidth * 0.5);
    return static_cast<RtFloat>(std::exp(-2.0 * (u * u + v * v)));
}

RtFloat RiBoxFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth) {
    return (std::fabs(x) < xwidth * 0.5 && std::fabs(y) < ywidth * 0.5) ? 1.0f : 0.0f;
}

RtFloat RiTriangleFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth) {
    RtFloat a = static_cast<RtFloat>(1.0 - std::fabs(x) / (xwidth * 0.5));
    RtFloat b = static_cast<RtFloat>(1.0 - std::fabs(y) / (ywidth * 0.5));
    RtFloat w = a < b ? a : b;
    return w < 0.0f ? 0.0f : w;
}

// Not normalised: the weight is 2 at the centre.
RtFloat RiCatmullRomFilter(RtFloat x, RtFloat y, RtFloat, RtFloat) {
    RtFloat r2 = x * x + y * y;
    if (r2 > 4.0f) return 0.0f;
    double r = std::sqrt(static_cast<double>(r2));
    if (r < 1.0) return static_cast<RtFloat>(r2 * (3.0 * r - 5.0) + 2.0);
    return static_cast<RtFloat>(r2 * (5.0 - r) - 8.0 * r + 4.0);
}

RtFloat RiSincFilter(RtFloat x, RtFloat y, RtFloat, RtFloat) {
    RtFloat r = static_cast<RtFloat>(std::sqrt(static_cast<double>(x * x + y * y)));
    if (r > 2.0f) return 0.0f;
    if (r < 0.0001f) return 1.0f;
    const RtFloat pi = 3.1415927f;
    double pr = static_cast<double>(pi) * r;
    return static_cast<RtFloat>(std::sin(pr) / pr);
}

namespace duzozo {

const char* ribFilterName(RtFilterFunc filter) {
    if (filter == RiGaussianFilter) return "gaussian";
    if (filter == RiBoxFilter) return "box";
    if (filter == RiTriangleFilter) return "triangle";
    if (filter == RiCatmullRomFilter) return "catmull-rom";
    if (filter == RiSincFilter) return "sinc";
    return "";
}

void writeGs(RibWriter& w, std::initializer_list<RtFloat> values) {
    for (RtFloat v : values) {
        w.WriteSpace();
        w.WriteG(v);
    }
}

}  // namespace duzozo

namespace {

// The keyword, each float as " %g", the line break.
void writeFloatsLine(RibWriter& w, const char* keyword, std::initializer_list<RtFloat> values) {
    w.WriteRequest(keyword);
    writeGs(w, values);
    w.EndRequest();
}

}  // namespace

void RibWriter::Format(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio) {
    WriteRequest("Format");
    WriteSpace();
    WriteInt(xresolution);
    WriteSpace();
    WriteInt(yresolution);
    WriteSpace();
    WriteG(pixelaspectratio);
    EndRequest();
}

void RibWriter::FrameAspectRatio(RtFloat aspect) {
    writeFloatsLine(*this, "FrameAspectRatio", {aspect});
}

void RibWriter::ScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top) {
    writeFloatsLine(*this, "ScreenWindow", {left, right, bottom, top});
}

void RibWriter::CropWindow(RtFloat xmin, RtFloat xmax, RtFloat ymin, RtFloat ymax) {
    writeFloatsLine(*this, "CropWindow", {xmin, xmax, ymin, ymax});
}

void RibWriter::ProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Projection", name, 0, n, tokens, values);
}

void RibWriter::Clipping(RtFloat hither, RtFloat yon) {
    writeFloatsLine(*this, "Clipping", {hither, yon});
}

void RibWriter::ClippingPlane(RtFloat x, RtFloat y, RtFloat z, RtFloat nx, RtFloat ny, RtFloat nz) {
    writeFloatsLine(*this, "ClippingPlane", {x, y, z, nx, ny, nz});
}

void RibWriter::DepthOfField(RtFloat fstop, RtFloat focallength, RtFloat focaldistance) {
    writeFloatsLine(*this, "DepthOfField", {fstop, focallength, focaldistance});
}

void RibWriter::Shutter(RtFloat min, RtFloat max) {
    writeFloatsLine(*this, "Shutter", {min, max});
}

void RibWriter::PixelVariance(RtFloat variation) {
    writeFloatsLine(*this, "PixelVariance", {variation});
}

void RibWriter::PixelSamples(RtFloat xsamples, RtFloat ysamples) {
    writeFloatsLine(*this, "PixelSamples", {xsamples, ysamples});
}

void RibWriter::PixelFilter(RtFilterFunc filter, RtFloat xwidth, RtFloat ywidth) {
    WriteRequest("PixelFilter");
    WriteSpace();
    WriteQuoted(ribFilterName(filter));
    writeGs(*this, {xwidth, ywidth});
    EndRequest();
}

void RibWriter::Exposure(RtFloat gain, RtFloat gamma) {
    writeFloatsLine(*this, "Exposure", {gain, gamma});
}

void RibWriter::Quantize(RtToken type, RtInt one, RtInt min, RtInt max, RtFloat ditheramplitude) {
    WriteRequest("Quantize");
    WriteSpace();
    WriteQuoted(type);
    for (RtInt v : {one, min, max}) {
        WriteSpace();
        WriteInt(v);
    }
    writeGs(*this, {ditheramplitude});
    EndRequest();
}

void RibWriter::DisplayV(RtString name, RtToken type, RtToken mode, RtInt n, RtToken tokens[],
                         RtPointer values[]) {
    WriteRequest("Display");
    WriteSpace();
    WriteQuoted(name);
    WriteSpace();
    WriteQuoted(type);
    WriteSpace();
    WriteQuoted(mode);
    WriteParams(nullptr, 0, n, tokens, values);
}

void RibWriter::HiderV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Hider", type, 0, n, tokens, values);
}

void RibWriter::ColorSamples(RtInt n, RtFloat nRGB[], RtFloat RGBn[]) {
    // A colour has at least one sample.
    if (!usableCount(*this, "ColorSamples", "n", n, 1)) return;
    // Both matrices are n by 3; a huge n is held to the largest array rather
    // than wrapping around.
    long long values = 3LL * n;
    RtInt count = values > 0x7fffffff ? 0x7fffffff : RtInt(values);
    WriteRequest("ColorSamples");
    WriteSpace();
    WriteFloatArray(nRGB, count);
    WriteSpace();
    WriteFloatArray(RGBn, count);
    EndRequest();
    colorSamples = n;
}

void RibWriter::RelativeDetail(RtFloat relativedetail) {
    writeFloatsLine(*this, "RelativeDetail", {relativedetail});
}

void RibWriter::OptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    if (!isRibOption(name)) {
        writeNamedRequest(*this, "Option", name, 0, n, tokens, values);
        return;
    }
    // A "rib" option is the writer's own setting, never part of the stream.
    // Only the encoding by number and the precision change from the next
    // request on; compression cannot start in the middle of the stream.
    for (RtInt i = 0; i < n; ++i) {
        if (!tokens[i] || !values[i]) continue;
        if (std::strcmp(tokens[i], "binary") == 0) {
            binaryOutput = *static_cast<const RtInt*>(values[i]);
        } else if (std::strcmp(tokens[i], "precision") == 0) {
            SetPrecision(*static_cast<const RtInt*>(values[i]));
        }
    }
}
