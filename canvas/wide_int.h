#pragma once
// 128-bit integers for the few set-up products of two 32-bit coordinate differences and a third
// factor, which overflow 64 bits at the extremes of the coordinate range.

namespace vantrel {

__extension__ typedef __int128 Int128;

// floor(n / d) for d > 0.
inline Int128 FloorDivide(Int128 n, Int128 d) {
    Int128 q = n / d;
    if (n % d != 0 && n < 0) {
        --q;
    }
    return q;
}

// ceil(n / d) for d > 0.
inline Int128 CeilDivide(Int128 n, Int128 d) { return -FloorDivide(-n, d); }

}  // namespace vantrel
