#include "rib/internal/floatformat.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace duzozo {
namespace {

using Wide = unsigned __int128;

// A float is m * 2^q with m below 2^24, so m * 5^k stays below 2^128 up to
// k = 44; that reaches every float but the last few powers of ten above the
// subnormals, which the general conversion takes.
constexpr int kMaxPow5 = 44;

struct Pow5Table {
    Wide at[kMaxPow5 + 1];
    constexpr Pow5Table() : at() {
        Wide p = 1;
        for (int k = 0; k <= kMaxPow5; ++k, p *= 5) at[k] = p;
    }
};
constexpr Pow5Table kPow5;

constexpr uint32_t kPow10[10] = {1,      10,      100,      1000,      10000,
                                 100000, 1000000, 10000000, 100000000, 1000000000};

// 10^e for e = -45 .. 39, each the double nearest to it, as the compiler
// reads the literals.
constexpr double kPow10Double[85] = {
    1e-45, 1e-44, 1e-43, 1e-42, 1e-41, 1e-40, 1e-39, 1e-38, 1e-37, 1e-36, 1e-35, 1e-34,
    1e-33, 1e-32, 1e-31, 1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22,
    1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10,
    1e-9, 1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5,
    1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19,
    1e20, 1e21, 1e22, 1e23, 1e24, 1e25, 1e26, 1e27, 1e28, 1e29, 1e30, 1e31, 1e32, 1e33,
    1e34, 1e35, 1e36, 1e37, 1e38, 1e39};

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// m * 2^q * 10^k rounded once to the nearest integer, ties to even, which is
// how printf rounds the exact binary value. False where 128 bits cannot hold
// the exact product or the result passes 64 bits.
bool roundScaled(uint32_t m, int q, int k, uint64_t& n) {
    // The usual magnitudes, about 1e-9 to 1e9, need no more than 64 bits:
    // m * 5^17 is below 2^64.
    if (k >= 0 && k <= 17 && q + k < 0 && q + k > -64) {
        uint64_t x = uint64_t(m) * uint64_t(kPow5.at[k]);
        int drop = -(q + k);
        uint64_t whole = x >> drop;
        uint64_t rest = x & ((uint64_t(1) << drop) - 1);
        uint64_t half = uint64_t(1) << (drop - 1);
        n = whole + (rest > half || (rest == half && (whole & 1) != 0));
        return true;
    }
    if (k >= 0) {
        if (k > kMaxPow5) return false;
        Wide x = Wide(m) * kPow5.at[k];
        int shift = q + k;
        if (shift >= 0) {  // already an integer
            if (shift >= 64 || (x >> (127 - shift)) != 0) return false;
            Wide whole = x << shift;
            if ((whole >> 64) != 0) return false;
            n = uint64_t(whole);
            return true;
        }
        int drop = -shift;
        if (drop >= 128) return false;
        Wide whole = x >> drop;
        if ((whole >> 64) != 0) return false;
        Wide rest = x - (whole << drop);
        Wide half = Wide(1) << (drop - 1);
        n = uint64_t(whole);
        if (rest > half || (rest == half && (n & 1) != 0)) ++n;
        return true;
    }
    // Dividing by 10^j = 5^j * 2^j, the power of two folded into either side.
    int j = -k;
    if (j > kMaxPow5) return false;
    int s = q - j;
    Wide num, den;
    if (s >= 0) {
        if (s > 104) return false;  // m * 2^s would pass 128 bits
        num = Wide(m) << s;
        den = kPow5.at[j];
    } else {
        int up = -s;
        if (up >= 64 || (kPow5.at[j] >> (126 - up)) != 0) return false;
        num = m;
        den = kPow5.at[j] << up;
    }
    Wide quotient, rest;
    if ((num >> 64) == 0 && (den >> 64) == 0) {  // the common case: a plain division
        uint64_t a = uint64_t(num), b = uint64_t(den);
        quotient = a / b;
        rest = a % b;
    } else {
        quotient = num / den;
        rest = num % den;
    }
    if ((quotient >> 64) != 0) return false;
    n = uint64_t(quotient);
    Wide twice = rest << 1;  // rest < den < 2^127
    if (twice > den || (twice == den && (n & 1) != 0)) ++n;
    return true;
}

char* general(char* out, float v, int precision) {
    // C++ defines to_chars with a precision as the bytes of printf's %.*g.
    char text[48];
    char* end =
        std::to_chars(text, text + sizeof text, double(v), std::chars_format::general, precision)
            .ptr;
    std::size_t size = std::size_t(end - text);
    std::memcpy(out, text, size);
    return out + size;
}

// The eight decimal digits of v < 10^8 as byte values 0..9, the first digit
// in the low byte: halves, then quarters, then single digits, each step
// dividing every lane at once by a multiply and a shift.
uint64_t eightDigits(uint32_t v) {
    uint64_t x = (v / 10000) | (uint64_t(v % 10000) << 32);
    uint64_t hundreds = ((x * 10486) >> 20) & 0x0000007F0000007Full;
    x = hundreds | ((x - hundreds * 100) << 16);
    uint64_t tens = ((x * 103) >> 10) & 0x000F000F000F000Full;
    return tens | ((x - tens * 10) << 8);
}

// The word's low byte first, whatever the machine's order.
void storeWord(char* out, uint64_t word) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    std::memcpy(out, &word, sizeof word);
}

}  // namespace

char* formatFloat(char* out, float v, int precision) {
    int p = precision < 1 ? 1 : precision > 9 ? 9 : precision;
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bool negative = (bits >> 31) != 0;
    int biased = int(bits >> 23) & 0xff;
    uint32_t fraction = bits & 0x7fffff;
    if (biased == 0xff || (biased == 0 && fraction == 0)) {
        if (negative) *out++ = '-';
        const char* word = biased == 0 ? "0" : fraction != 0 ? "nan" : "inf";
        std::size_t size = std::strlen(word);
        std::memcpy(out, word, size);
        return out + size;
    }
    if (biased == 0) return general(out, v, p);  // subnormal

    uint32_t m = fraction | (uint32_t(1) << 23);
    int q = biased - 150;
    // floor(log10 |v|) is this or one more, as |v| lies in [2^e2, 2^(e2+1));
    // a comparison settles which without a branch. Should the rounded
    // power of ten ever mislead it, the digits below show it.
    int e10 = ((biased - 127) * 78913) >> 18;
    e10 += std::fabs(double(v)) >= kPow10Double[e10 + 46];
    uint64_t n;
    if (!roundScaled(m, q, p - 1 - e10, n)) return general(out, v, p);
    if (n >= kPow10[p]) {
        // Either the estimate was one low or rounding carried into a new
        // digit; both make the next exponent the one printf shows, and
        // rounding the exact value again there is still a single rounding.
        ++e10;
        if (!roundScaled(m, q, p - 1 - e10, n)) return general(out, v, p);
    }
    if (n < kPow10[p - 1]) {
        --e10;
        if (!roundScaled(m, q, p - 1 - e10, n)) return general(out, v, p);
    }
    if (n < kPow10[p - 1] || n >= kPow10[p]) return general(out, v, p);

    // The digits are made in registers and stored whole, never stored a
    // byte at a time and read back, which stalls the store forwarding that
    // the copies into place would otherwise wait on. Left-aligned to nine
    // digits: the first, and the other eight as one word of ASCII.
    uint32_t n9 = uint32_t(n) * kPow10[9 - p];
    char first = char('0' + n9 / 100000000);
    uint64_t rest = eightDigits(n9 % 100000000);
    // %g drops trailing zeros of the fraction, and the point with them: the
    // zero digits are the zero bytes at the word's high end.
    int used = rest == 0 ? 1 : 9 - __builtin_clzll(rest) / 8;
    rest |= 0x3030303030303030ull;

    *out = '-';
    out += negative;
    // Everything below stores within kFloatChars of the start; bytes past the
    // returned end are scratch.
    if (e10 < -4 || e10 >= p) {
        out[0] = first;
        out[1] = '.';
        storeWord(out + 2, rest);
        out += used > 1 ? used + 1 : 1;
        int e = e10 < 0 ? -e10 : e10;
        out[0] = 'e';
        out[1] = e10 < 0 ? '-' : '+';
        std::memcpy(out + 2, kPairs + 2 * e, 2);  // |e| <= 38 for a normal float
        return out + 4;
    }
    if (e10 >= 0) {
        int whole = e10 + 1;  // at most p, so up to nine digits before the point
        out[0] = first;
        if (used <= whole) {  // an integer; the zeros up to the point are digits
            storeWord(out + 1, rest);
            return out + whole;
        }
        // The point goes after the first `whole` digits: the word's low
        // whole - 1 bytes stay, the others move up one byte.
        int keep = 8 * (whole - 1);  // below 64, as used > whole
        uint64_t low = rest & ((uint64_t(1) << keep) - 1);
        out[9] = char(rest >> 56);
        storeWord(out + 1, low | (uint64_t('.') << keep) | ((rest >> keep) << keep << 8));
        return out + used + 1;
    }
    std::memcpy(out, "0.000", 5);
    out += 2 + (-e10 - 1);
    out[0] = first;
    storeWord(out + 1, rest);
    return out + used;
}

}  // namespace duzozo
