// Geometry requests, the standard basis matrices and the procedural markers.
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>

#include "rib/internal/requests.h"

using namespace duzozo;

RtBasis RiBezierBasis = {{-1, 3, -3, 1}, {3, -6, 3, 0}, {-3, 3, 0, 0}, {1, 0, 0, 0}};
RtBasis RiBSplineBasis = {{-1.0f / 6, 3.0f / 6, -3.0f / 6, 1.0f / 6},
                          {3.0f / 6, -6.0f / 6, 3.0f / 6, 0},
                          {-3.0f / 6, 0, 3.0f / 6, 0},
                          {1.0f / 6, 4.0f / 6, 1.0f / 6, 0}};
RtBasis RiCatmullRomBasis = {
    {-0.5f, 1.5f, -1.5f, 0.5f}, {1, -2.5f, 2, -0.5f}, {-0.5f, 0, 0.5f, 0}, {0, 1, 0, 0}};
RtBasis RiHermiteBasis = {{2, 1, -2, 1}, {-3, -2, 3, -1}, {0, 1, 0, 0}, {1, 0, 0, 0}};
RtBasis RiPowerBasis = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

namespace duzozo {

bool usableCount(RibWriter& w, const char* request, const char* what, long long count,
                 long long least) {
    if (count >= least) return true;
    std::string message = std::string(request) + ": " + what + " of " + std::to_string(count);
    w.Report(RIE_RANGE, RIE_ERROR, message.c_str());
    return false;
}

bool usableCounts(RibWriter& w, const char* request, const char* what, const RtInt* counts,
                  long long n) {
    for (long long i = 0; i < n; ++i) {
        if (counts[i] >= 0) continue;
        std::string message = std::string(request) + ": " + what + "[" + std::to_string(i) +
                              "] of " + std::to_string(counts[i]);
        w.Report(RIE_RANGE, RIE_ERROR, message.c_str());
        return false;
    }
    return true;
}

}  // namespace duzozo

void RiProcDelayedReadArchive(RtPointer, RtFloat) {}
void RiProcRunProgram(RtPointer, RtFloat) {}
void RiProcDynamicLoad(RtPointer, RtFloat) {}

namespace {

bool equals(const char* a, const char* b) {
    return a && std::strcmp(a, b) == 0;
}

// Counts are worked out in 64 bits so that odd arguments cannot overflow;
// a result outside the range of RtInt is handed on as the nearest RtInt.
RtInt toCount(long long v) {
    if (v > std::numeric_limits<RtInt>::max()) return std::numeric_limits<RtInt>::max();
    if (v < std::numeric_limits<RtInt>::min()) return std::numeric_limits<RtInt>::min();
    return RtInt(v);
}

// Saturates like toCount: a factor outside RtInt's range already puts the
// product out of it, unless the other factor is 0. A negative factor means no
// patches or spans in that direction, so two of them give no values rather
// than a positive count the caller never supplied.
RtInt productCount(long long a, long long b) {
    if (a < 0 || b < 0) return 0;
    return toCount(1LL * toCount(a) * toCount(b));
}

long long sum(const RtInt* values, RtInt n) {
    long long total = 0;
    for (RtInt i = 0; i < n; ++i) total += values[i];
    return total;
}

// The largest vertex index, never below 0: the count of vertex values is one more.
long long maxIndex(const RtInt* vertices, RtInt n) {
    RtInt largest = 0;
    for (RtInt i = 0; i < n; ++i) {
        if (vertices[i] > largest) largest = vertices[i];
    }
    return largest;
}

void writeQuadric(RibWriter& w, const char* keyword, std::initializer_list<RtFloat> arguments,
                  RtInt n, RtToken tokens[], RtPointer values[]) {
    w.WriteRequest(keyword);
    writeGs(w, arguments);
    w.WritePrimitiveParams(4, 4, 1, n, tokens, values);
}

// Known by address only: a copy with the same values is written as its numbers.
const char* basisName(RtBasis basis) {
    if (basis == RiBezierBasis) return "bezier";
    if (basis == RiBSplineBasis) return "b-spline";
    if (basis == RiCatmullRomBasis) return "catmull-rom";
    if (basis == RiHermiteBasis) return "hermite";
    if (basis == RiPowerBasis) return "power";
    return nullptr;
}

void writeBasis(RibWriter& w, RtBasis basis) {
    if (const char* name = basisName(basis)) {
        w.WriteQuoted(name);
    } else {
        w.WriteFloatArray(&basis[0][0], 16);
    }
}

// A step of 0 or less cannot divide a patch or curve count. The request's
// line is ended so that the next request starts on a line of its own.
bool stepUsable(RibWriter& w, const char* request, const char* which, int step) {
    if (step > 0) return true;
    std::string message = std::string(request) + " needs a positive " + which +
                          " basis step, not " + std::to_string(step);
    w.Report(RIE_RANGE, RIE_ERROR, message.c_str());
    w.EndRequest();
    return false;
}

}  // namespace

void RibWriter::ConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
                      RtPointer values[]) {
    writeQuadric(*this, "Cone", {height, radius, thetamax}, n, tokens, values);
}

void RibWriter::CylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                          RtToken tokens[], RtPointer values[]) {
    writeQuadric(*this, "Cylinder", {radius, zmin, zmax, thetamax}, n, tokens, values);
}

void RibWriter::DiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
                      RtPointer values[]) {
    writeQuadric(*this, "Disk", {height, radius, thetamax}, n, tokens, values);
}

void RibWriter::HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n,
                             RtToken tokens[], RtPointer values[]) {
    writeQuadric(*this, "Hyperboloid",
                 {point1[0], point1[1], point1[2], point2[0], point2[1], point2[2], thetamax}, n,
                 tokens, values);
}

void RibWriter::ParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                            RtToken tokens[], RtPointer values[]) {
    writeQuadric(*this, "Paraboloid", {rmax, zmin, zmax, thetamax}, n, tokens, values);
}

void RibWriter::SphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                        RtToken tokens[], RtPointer values[]) {
    writeQuadric(*this, "Sphere", {radius, zmin, zmax, thetamax}, n, tokens, values);
}

void RibWriter::TorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                       RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeQuadric(*this, "Torus", {majorradius, minorradius, phimin, phimax, thetamax}, n, tokens,
                 values);
}

void RibWriter::PolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]) {
    if (!usableCount(*this, "Polygon", "nvertices", nvertices)) return;
    WriteRequest("Polygon");
    WritePrimitiveParams(nvertices, nvertices, 1, nvertices, n, tokens, values);
}

void RibWriter::GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[],
                                RtPointer values[]) {
    if (!usableCount(*this, "GeneralPolygon", "nloops", nloops) ||
        !usableCounts(*this, "GeneralPolygon", "nvertices", nvertices, nloops)) {
        return;
    }
    RtInt vertices = toCount(sum(nvertices, nloops));
    WriteRequest("GeneralPolygon");
    WriteIntArray(nvertices, nloops);
    WriteSpace();
    WritePrimitiveParams(vertices, vertices, 1, vertices, n, tokens, values);
}

void RibWriter::PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n,
                                RtToken tokens[], RtPointer values[]) {
    if (!usableCount(*this, "PointsPolygons", "npolys", npolys) ||
        !usableCounts(*this, "PointsPolygons", "nvertices", nvertices, npolys)) {
        return;
    }
    RtInt nindices = toCount(sum(nvertices, npolys));
    if (!usableCounts(*this, "PointsPolygons", "vertices", vertices, nindices)) return;
    RtInt points = toCount(maxIndex(vertices, nindices) + 1);
    WriteRequest("PointsPolygons");
    WriteIntArray(nvertices, npolys);
    WriteSpace();
    WriteIntArray(vertices, nindices);
    WriteSpace();
    WritePrimitiveParams(points, points, npolys, nindices, n, tokens, values);
}

void RibWriter::PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                       RtInt vertices[], RtInt n, RtToken tokens[],
                                       RtPointer values[]) {
    const char* request = "PointsGeneralPolygons";
    if (!usableCount(*this, request, "npolys", npolys) ||
        !usableCounts(*this, request, "nloops", nloops, npolys)) {
        return;
    }
    RtInt nloopsTotal = toCount(sum(nloops, npolys));
    if (!usableCounts(*this, request, "nvertices", nvertices, nloopsTotal)) return;
    RtInt nindices = toCount(sum(nvertices, nloopsTotal));
    if (!usableCounts(*this, request, "vertices", vertices, nindices)) return;
    RtInt points = toCount(maxIndex(vertices, nindices) + 1);
    WriteRequest("PointsGeneralPolygons");
    WriteIntArray(nloops, npolys);
    WriteSpace();
    WriteIntArray(nvertices, nloopsTotal);
    WriteSpace();
    WriteIntArray(vertices, nindices);
    WriteSpace();
    WritePrimitiveParams(points, points, npolys, nindices, n, tokens, values);
}

void RibWriter::Basis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep) {
    WriteRequest("Basis");
    WriteSpace();
    writeBasis(*this, ubasis);
    WriteSpace();
    WriteInt(ustep);
    WriteSpace();
    writeBasis(*this, vbasis);
    WriteSpace();
    WriteInt(vstep);
    EndRequest();
    uStep = ustep;
    vStep = vstep;
}

void RibWriter::PatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {
    WriteRequest("Patch");
    WriteSpace();
    WriteQuoted(type);
    WritePrimitiveParams(equals(type, "bilinear") ? 4 : 16, 4, 1, n, tokens, values);
}

void RibWriter::PatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, RtInt n,
                           RtToken tokens[], RtPointer values[]) {
    if (!usableCount(*this, "PatchMesh", "nu", nu) || !usableCount(*this, "PatchMesh", "nv", nv)) {
        return;
    }
    WriteRequest("PatchMesh");
    WriteSpace();
    WriteQuoted(type);
    WriteSpace();
    WriteInt(nu);
    WriteSpace();
    WriteQuoted(uwrap);
    WriteSpace();
    WriteInt(nv);
    WriteSpace();
    WriteQuoted(vwrap);

    bool uperiodic = equals(uwrap, "periodic");
    bool vperiodic = equals(vwrap, "periodic");
    long long upatches, vpatches;
    if (equals(type, "bilinear")) {
        upatches = uperiodic ? nu : nu - 1LL;
        vpatches = vperiodic ? nv : nv - 1LL;
    } else if (equals(type, "bicubic")) {
        if (!stepUsable(*this, "PatchMesh", "u", uStep) ||
            !stepUsable(*this, "PatchMesh", "v", vStep)) {
            return;
        }
        upatches = uperiodic ? nu / uStep : (nu - 4LL) / uStep + 1;
        vpatches = vperiodic ? nv / vStep : (nv - 4LL) / vStep + 1;
    } else {
        Report(RIE_BADTOKEN, RIE_ERROR,
               (std::string("unknown patch type ") + (type ? type : "")).c_str());
        EndRequest();
        return;
    }
    long long uvarying = uperiodic ? upatches : upatches + 1;
    long long vvarying = vperiodic ? vpatches : vpatches + 1;
    WritePrimitiveParams(productCount(nu, nv), productCount(uvarying, vvarying),
                         productCount(upatches, vpatches), n, tokens, values);
}

void RibWriter::TrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[],
                          RtFloat min[], RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[],
                          RtFloat w[]) {
    if (!usableCount(*this, "TrimCurve", "nloops", nloops) ||
        !usableCounts(*this, "TrimCurve", "ncurves", ncurves, nloops)) {
        return;
    }
    RtInt curves = toCount(sum(ncurves, nloops));
    if (!usableCounts(*this, "TrimCurve", "order", order, curves) ||
        !usableCounts(*this, "TrimCurve", "n", n, curves)) {
        return;
    }
    RtInt points = toCount(sum(n, curves));
    RtInt knots = toCount(sum(order, curves) + points);
    WriteRequest("TrimCurve");
    WriteSpace();
    WriteIntArray(ncurves, nloops);
    WriteIntArray(order, curves);
    WriteFloatArray(knot, knots);
    WriteSpace();
    WriteFloatArray(min, curves);
    WriteSpace();
    WriteFloatArray(max, curves);
    WriteSpace();
    WriteIntArray(n, curves);
    WriteFloatArray(u, points);
    WriteSpace();
    WriteFloatArray(v, points);
    WriteSpace();
    WriteFloatArray(w, points);
    EndRequest();
}

void RibWriter::NuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax,
                         RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax,
                         RtInt n, RtToken tokens[], RtPointer values[]) {
    for (auto [what, count] : {std::pair<const char*, RtInt>{"nu", nu}, {"uorder", uorder},
                               {"nv", nv}, {"vorder", vorder}}) {
        if (!usableCount(*this, "NuPatch", what, count)) return;
    }
    WriteRequest("NuPatch");
    WriteSpace();
    WriteInt(nu);
    WriteSpace();
    WriteInt(uorder);
    WriteSpace();
    WriteFloatArray(uknot, toCount(1LL * nu + uorder));
    WriteSpace();
    WriteFixed(umin);
    WriteSpace();
    WriteFixed(umax);
    WriteSpace();
    WriteInt(nv);
    WriteSpace();
    WriteInt(vorder);
    WriteSpace();
    WriteFloatArray(vknot, toCount(1LL * nv + vorder));
    WriteSpace();
    WriteFixed(vmin);
    WriteSpace();
    WriteFixed(vmax);
    WriteSpace();
    long long uspan = 1LL * nu - uorder, vspan = 1LL * nv - vorder;
    WritePrimitiveParams(productCount(nu, nv), productCount(uspan + 2, vspan + 2),
                         productCount(uspan + 1, vspan + 1), n, tokens, values);
}

void RibWriter::CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n,
                        RtToken tokens[], RtPointer values[]) {
    if (!usableCount(*this, "Curves", "ncurves", ncurves) ||
        !usableCounts(*this, "Curves", "nvertices", nvertices, ncurves)) {
        return;
    }
    WriteRequest("Curves");
    WriteSpace();
    WriteQuoted(type);
    WriteIntArray(nvertices, ncurves);
    WriteSpace();
    WriteQuoted(wrap);
    WriteSpace();

    bool cubic = equals(type, "cubic");
    bool periodic = equals(wrap, "periodic");
    if (cubic && !stepUsable(*this, "Curves", "v", vStep)) return;
    long long varying = 0, vertices = 0;
    for (RtInt i = 0; i < ncurves; ++i) {
        long long nv = nvertices[i];
        vertices += nv;
        if (!cubic) {
            varying += nv;
        } else if (periodic) {
            varying += nv / vStep;
        } else {
            varying += (nv - 4) / vStep + 2;
        }
    }
    // "uniform" is one value per curve.
    WritePrimitiveParams(toCount(vertices), toCount(varying), ncurves > 0 ? ncurves : 0, n,
                         tokens, values);
}

void RibWriter::PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]) {
    if (!usableCount(*this, "Points", "npoints", npoints)) return;
    WriteRequest("Points");
    WriteSpace();
    WritePrimitiveParams(npoints, npoints, 1, n, tokens, values);
}

void RibWriter::SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[],
                                 RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[],
                                 RtFloat floatargs[], RtInt n, RtToken tokens[],
                                 RtPointer values[]) {
    const char* request = "SubdivisionMesh";
    if (!usableCount(*this, request, "nfaces", nfaces) ||
        !usableCounts(*this, request, "nvertices", nvertices, nfaces) ||
        !usableCount(*this, request, "ntags", ntags) ||
        !usableCounts(*this, request, "nargs", nargs, 2LL * ntags)) {
        return;
    }
    RtInt nindices = toCount(sum(nvertices, nfaces));
    if (!usableCounts(*this, request, "vertices", vertices, nindices)) return;
    RtInt points = toCount(maxIndex(vertices, nindices) + 1);
    WriteRequest("SubdivisionMesh");
    WriteSpace();
    WriteQuoted(scheme);
    WriteSpace();
    WriteIntArray(nvertices, nfaces);
    WriteSpace();
    WriteIntArray(vertices, nindices);
    WriteSpace();
    if (ntags > 0) {
        // nargs holds (integer count, float count) for each tag.
        long long nint = 0, nfloat = 0;
        for (RtInt k = 0; k < ntags; ++k) {
            nint += nargs[2LL * k];
            nfloat += nargs[2LL * k + 1];
        }
        // A reader takes four tag arrays, empty or not.
        WriteStringArray(tags, ntags);
        WriteIntArray(nargs, toCount(2LL * ntags));
        WriteIntArray(intargs, toCount(nint));
        WriteFloatArray(floatargs, toCount(nfloat));
    }
    WritePrimitiveParams(points, points, nfaces, nindices, n, tokens, values);
}

namespace {

struct BlobbyCounts {
    RtInt leaves = 0;
    RtInt floats = 0;
    RtInt strings = 0;
};

// Walks the opcodes, skipping their operand words, to count what the leaves use.
BlobbyCounts countBlobby(const RtInt* code, RtInt ncode) {
    BlobbyCounts counts;
    RtInt i = 0;
    while (i < ncode) {
        long long operands = 0;
        switch (code[i]) {
            case 0:
            case 1:
            case 2:
            case 3:
                // A count word, then that many operands. The count may be
                // missing at the end, and a negative one must not step back.
                operands = 1;
                if (i + 1 < ncode && code[i + 1] > 0) operands += code[i + 1];
                break;
            case 4:
            case 5:
                operands = 2;
                break;
            case 6:
            case 7:
                operands = 1;
                break;
            case 1000:
                operands = 1;
                counts.leaves += 1;
                counts.floats += 1;
                break;
            case 1001:
                operands = 1;
                counts.leaves += 1;
                counts.floats += 16;
                break;
            case 1002:
                operands = 1;
                counts.leaves += 1;
                counts.floats += 23;
                break;
            case 1003:
                operands = 2;
                counts.leaves += 1;
                counts.floats += 4;
                counts.strings += 1;
                break;
            default:
                break;
        }
        if (operands >= ncode - i) break;  // the operands run past the end
        i += RtInt(operands) + 1;
    }
    return counts;
}

}  // namespace

void RibWriter::BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                        RtInt nstr, RtString str[], RtInt n, RtToken tokens[], RtPointer values[]) {
    for (auto [what, count] : {std::pair<const char*, RtInt>{"nleaf", nleaf}, {"ncode", ncode},
                               {"nflt", nflt}, {"nstr", nstr}}) {
        if (!usableCount(*this, "Blobby", what, count)) return;
    }
    BlobbyCounts counts = countBlobby(code, ncode);
    // The counts the caller gives are written as given; a mismatch with what
    // the opcodes use is the caller's to know about.
    auto mismatch = [&](const char* what, RtInt given, const char* kind, RtInt used) {
        if (given == used) return;
        std::string message = std::string("RiBlobby ") + what + " [" + std::to_string(given) +
                              "] != " + kind + " count [" + std::to_string(used) + "]";
        Report(RIE_CONSISTENCY, RIE_WARNING, message.c_str());
    };
    mismatch("nleaf", nleaf, "leaf", counts.leaves);
    mismatch("nflt", nflt, "float", counts.floats);
    mismatch("nstr", nstr, "string", counts.strings);
    WriteRequest("Blobby");
    WriteSpace();
    WriteInt(nleaf);
    WriteSpace();
    WriteIntArray(code, ncode);
    WriteSpace();
    WriteFloatArray(flt, nflt);
    WriteSpace();
    WriteStringArray(str, nstr);
    if (n != 0) {
        // As text the parameters go on a line of their own, and the request
        // ends with an empty line.
        WriteSeparator("\n");
        // The whole blobby is one surface: one "uniform" value.
        WritePrimitiveParams(nleaf, nleaf, 1, n, tokens, values);
    }
    EndRequest();
}

void RibWriter::Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivide,
                           RtProcFreeFunc) {
    const char* name;
    int nstrings;
    if (subdivide == RiProcDelayedReadArchive) {
        name = "DelayedReadArchive";
        nstrings = 1;
    } else if (subdivide == RiProcRunProgram) {
        name = "RunProgram";
        nstrings = 2;
    } else if (subdivide == RiProcDynamicLoad) {
        name = "DynamicLoad";
        nstrings = 2;
    } else {
        Report(RIE_UNIMPLEMENT, RIE_ERROR, "procedural type");
        return;
    }
    const RtString* given = static_cast<const RtString*>(data);
    RtString strings[2] = {given ? given[0] : nullptr,
                           given && nstrings > 1 ? given[1] : nullptr};
    WriteRequest("Procedural");
    WriteSpace();
    WriteQuoted(name);
    WriteSpace();
    WriteStrings(strings, nstrings, false);
    WriteSpace();
    WriteFloatArray(bound, 6);
    EndRequest();
}

void RibWriter::GeometryV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {
    writeNamedRequest(*this, "Geometry", type, 0, n, tokens, values);
}
