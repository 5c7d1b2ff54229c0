#include "rib/internal/floatformat.h"

#include <charconv>
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

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// m * 2^q * 10^k rounded once to the nearest integer, ties to even, which is
// how printf rounds the exact binary value. False where 128 bits cannot hold
// the exact product or the result passes 64 bits.
bool roundScaled(uint32_t m, int q, int k, uint64_t& n) {
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

// Writes the `count` decimal digits of d (leading zeros included).
void writeDigits(char* out, uint32_t d, int count) {
    int i = count;
    while (i >= 2) {
        uint32_t pair = d % 100;
        d /= 100;
        i -= 2;
        std::memcpy(out + i, kPairs + 2 * pair, 2);
    }
    if (i == 1) out[0] = char('0' + d);
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
    // floor(log10 |v|) is this or one more, as |v| lies in [2^e2, 2^(e2+1)).
    int e10 = ((biased - 127) * 78913) >> 18;
    uint64_t n;
    if (!roundScaled(m, q, p - 1 - e10, n)) return general(out, v, p);
    if (n >= kPow10[p]) {
        // Either the estimate was one low or rounding carried into a new
        // digit; both make the next exponent the one printf shows, and
        // rounding the exact value again there is still a single rounding.
        ++e10;
        if (!roundScaled(m, q, p - 1 - e10, n)) return general(out, v, p);
    }
    if (n < kPow10[p - 1] || n >= kPow10[p]) return general(out, v, p);

    // %g drops trailing zeros of the fraction, and the point with them.
    uint32_t d = uint32_t(n);
    int used = p;
    while (used > 1 && d % 10 == 0) {
        d /= 10;
        --used;
    }
    char text[10];
    writeDigits(text, d, used);

    if (negative) *out++ = '-';
    if (e10 < -4 || e10 >= p) {
        *out++ = text[0];
        if (used > 1) {
            *out++ = '.';
            std::memcpy(out, text + 1, std::size_t(used - 1));
            out += used - 1;
        }
        *out++ = 'e';
        int e = e10;
        if (e < 0) {
            *out++ = '-';
            e = -e;
        } else {
            *out++ = '+';
        }
        std::memcpy(out, kPairs + 2 * e, 2);  // |e| <= 38 for a normal float
        return out + 2;
    }
    if (e10 >= 0) {
        int whole = e10 + 1;
        if (used <= whole) {
            std::memcpy(out, text, std::size_t(used));
            out += used;
            for (int i = used; i < whole; ++i) *out++ = '0';
            return out;
        }
        std::memcpy(out, text, std::size_t(whole));
        out += whole;
        *out++ = '.';
        std::memcpy(out, text + whole, std::size_t(used - whole));
        return out + (used - whole);
    }
    *out++ = '0';
    *out++ = '.';
    for (int zero = e10 + 1; zero < 0; ++zero) *out++ = '0';
    std::memcpy(out, text, std::size_t(used));
    return out + used;
}

}  // namespace duzozo
