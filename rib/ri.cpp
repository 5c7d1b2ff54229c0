// The current renderer and the plain option functions that forward to it.
#include "rib/ri.h"

#include <cstring>
#include <new>

#include "rib/errors.h"
#include "rib/parampairs.h"
#include "rib/ribwriter.h"

RenderInterface* currentRenderer = nullptr;
int ribBinaryFormat = 0;
int ribGzipCompression = 0;

namespace {

// Reports a request made before RiBegin; at this severity the report ends the
// process.
bool haveRenderer(const char* function) {
    if (currentRenderer) return true;
    RiErrorPrint(kRieNotStarted, kRieSevere, function);
    return false;
}

bool isRibOption(RtToken name) {
    return name && (std::strcmp(name, "rib") == 0 || std::strcmp(name, "RIB") == 0);
}

}  // namespace

RibWriter* RiBegin(const char* name) {
    RibWriter* writer = new (std::nothrow)
        RibWriter(name, "binary", &ribBinaryFormat, "gzip", &ribGzipCompression, RI_NULL);
    currentRenderer = writer;
    return writer;
}

RibWriter* createRibWriter(const char* name) {
    return new (std::nothrow) RibWriter(name, RI_NULL);
}

void applyRibOptions(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    if (!isRibOption(name)) return;
    for (RtInt i = 0; i < n; ++i) {
        if (!tokens[i] || !values[i]) continue;
        if (std::strcmp(tokens[i], "format") == 0) {
            const char* text = *static_cast<const char* const*>(values[i]);
            ribBinaryFormat = text && std::strcmp(text, "binary") == 0;
        } else if (std::strcmp(tokens[i], "binary") == 0) {
            ribBinaryFormat = *static_cast<const int*>(values[i]);
        } else if (std::strcmp(tokens[i], "compression") == 0) {
            const char* text = *static_cast<const char* const*>(values[i]);
            ribGzipCompression = text && std::strcmp(text, "gzip") == 0;
        }
    }
}

void RiFormat(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio) {
    if (haveRenderer("RiFormat"))
        currentRenderer->Format(xresolution, yresolution, pixelaspectratio);
}

void RiFrameAspectRatio(RtFloat aspect) {
    if (haveRenderer("RiFrameAspectRatio")) currentRenderer->FrameAspectRatio(aspect);
}

void RiScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top) {
    if (haveRenderer("RiScreenWindow")) currentRenderer->ScreenWindow(left, right, bottom, top);
}

void RiCropWindow(RtFloat xmin, RtFloat xmax, RtFloat ymin, RtFloat ymax) {
    if (haveRenderer("RiCropWindow")) currentRenderer->CropWindow(xmin, xmax, ymin, ymax);
}

void RiProjection(RtToken name, ...) {
    if (!haveRenderer("RiProjection")) return;
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    currentRenderer->ProjectionV(name, pairs.n, pairs.tokens, pairs.values);
}

void RiProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    if (haveRenderer("RiProjectionV")) currentRenderer->ProjectionV(name, n, tokens, values);
}

void RiClipping(RtFloat hither, RtFloat yon) {
    if (haveRenderer("RiClipping")) currentRenderer->Clipping(hither, yon);
}

void RiDepthOfField(RtFloat fstop, RtFloat focallength, RtFloat focaldistance) {
    if (haveRenderer("RiDepthOfField"))
        currentRenderer->DepthOfField(fstop, focallength, focaldistance);
}

void RiShutter(RtFloat min, RtFloat max) {
    if (haveRenderer("RiShutter")) currentRenderer->Shutter(min, max);
}

void RiPixelVariance(RtFloat variation) {
    if (haveRenderer("RiPixelVariance")) currentRenderer->PixelVariance(variation);
}

void RiPixelSamples(RtFloat xsamples, RtFloat ysamples) {
    if (haveRenderer("RiPixelSamples")) currentRenderer->PixelSamples(xsamples, ysamples);
}

void RiPixelFilter(RtFilterFunc filter, RtFloat xwidth, RtFloat ywidth) {
    if (haveRenderer("RiPixelFilter")) currentRenderer->PixelFilter(filter, xwidth, ywidth);
}

void RiExposure(RtFloat gain, RtFloat gamma) {
    if (haveRenderer("RiExposure")) currentRenderer->Exposure(gain, gamma);
}

void RiQuantize(RtToken type, RtInt one, RtInt min, RtInt max, RtFloat ditheramplitude) {
    if (haveRenderer("RiQuantize")) currentRenderer->Quantize(type, one, min, max, ditheramplitude);
}

void RiDisplay(RtString name, RtToken type, RtToken mode, ...) {
    if (!haveRenderer("RiDisplay")) return;
    ParamPairs pairs;
    va_list args;
    va_start(args, mode);
    pairs.collect(args);
    va_end(args);
    currentRenderer->DisplayV(name, type, mode, pairs.n, pairs.tokens, pairs.values);
}

void RiDisplayV(RtString name, RtToken type, RtToken mode, RtInt n, RtToken tokens[],
                RtPointer values[]) {
    if (haveRenderer("RiDisplayV")) currentRenderer->DisplayV(name, type, mode, n, tokens, values);
}

void RiHider(RtToken type, ...) {
    if (!haveRenderer("RiHider")) return;
    ParamPairs pairs;
    va_list args;
    va_start(args, type);
    pairs.collect(args);
    va_end(args);
    currentRenderer->HiderV(type, pairs.n, pairs.tokens, pairs.values);
}

void RiHiderV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {
    if (haveRenderer("RiHiderV")) currentRenderer->HiderV(type, n, tokens, values);
}

void RiColorSamples(RtInt n, RtFloat nRGB[], RtFloat RGBn[]) {
    if (haveRenderer("RiColorSamples")) currentRenderer->ColorSamples(n, nRGB, RGBn);
}

void RiRelativeDetail(RtFloat relativedetail) {
    if (haveRenderer("RiRelativeDetail")) currentRenderer->RelativeDetail(relativedetail);
}

void RiOption(RtToken name, ...) {
    ParamPairs pairs;
    va_list args;
    va_start(args, name);
    pairs.collect(args);
    va_end(args);
    if (isRibOption(name)) {
        applyRibOptions(name, pairs.n, pairs.tokens, pairs.values);
        return;
    }
    if (haveRenderer("RiOption"))
        currentRenderer->OptionV(name, pairs.n, pairs.tokens, pairs.values);
}

void RiOptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    if (isRibOption(name)) {
        applyRibOptions(name, n, tokens, values);
        return;
    }
    if (haveRenderer("RiOptionV")) currentRenderer->OptionV(name, n, tokens, values);
}
