#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "canvas/drawing.h"
#include "canvas/gradient_fill.h"
#include "canvas/pixel_paths.h"
#include "canvas/polygon_spans.h"
#include "canvas/raster_ops.h"
#include "canvas/row_coverage.h"
#include "canvas/wide_int.h"

namespace vantrel {
namespace {

struct Channels {
    std::int64_t value[3] = {0, 0, 0};  // red, green, blue, 16 bits each
};

Channels ChannelsOf(const TriVertex& v) { return Channels{{v.red, v.green, v.blue}}; }

// 16-bit channels to a pixel: the high byte of each is the colour byte.
std::uint32_t PixelFromChannels(std::int64_t red, std::int64_t green, std::int64_t blue) {
    return 0xFF000000u | static_cast<std::uint32_t>(((red >> 8) << 16) | ((green >> 8) << 8) | (blue >> 8));
}

// The ramp of length L from a to b at offsets p, p + 1, ...: each channel is
// floor((a (L - p) + b p) / L), exact in 64 bits for every L below 2^32. The numerator grows by
// b - a per offset, so the floor is stepped by whole and fractional parts, not divided each time.
struct RampStepper {
    std::int64_t length = 1;
    std::int64_t value[3] = {0, 0, 0};
    std::int64_t remainder[3] = {0, 0, 0};      // 0 <= remainder < length
    std::int64_t stepValue[3] = {0, 0, 0};      // floor((b - a) / length)
    std::int64_t stepRemainder[3] = {0, 0, 0};  // 0 <= stepRemainder < length

    void Start(const Channels& a, const Channels& b, std::int64_t rampLength, std::int64_t p) {
        length = rampLength;
        for (int k = 0; k < 3; ++k) {
            const std::int64_t numerator = a.value[k] * (length - p) + b.value[k] * p;  // >= 0
            value[k] = numerator / length;
            remainder[k] = numerator - value[k] * length;
            const std::int64_t growth = b.value[k] - a.value[k];
            stepValue[k] = growth >= 0 ? growth / length : -((-growth + length - 1) / length);
            stepRemainder[k] = growth - stepValue[k] * length;
        }
    }
    std::uint32_t Pixel() const { return PixelFromChannels(value[0], value[1], value[2]); }
    void Step() {
        for (int k = 0; k < 3; ++k) {
            value[k] += stepValue[k];
            remainder[k] += stepRemainder[k];
            if (remainder[k] >= length) {
                remainder[k] -= length;
                ++value[k];
            }
        }
    }
};

// Rows of a vertical rectangle skip the runs of the coverage, when given.
void FillGradientRect(const Surface& surface, const TriVertex& a, const TriVertex& b, bool horizontal,
                      const RowCoverage* coverage = nullptr) {
    const std::int64_t left = std::min(a.x, b.x);
    const std::int64_t right = std::max(a.x, b.x);
    const std::int64_t top = std::min(a.y, b.y);
    const std::int64_t bottom = std::max(a.y, b.y);
    const std::int32_t x0 = static_cast<std::int32_t>(std::max<std::int64_t>(left, 0));
    const std::int32_t x1 = static_cast<std::int32_t>(std::min<std::int64_t>(right, surface.width));
    const std::int32_t y0 = static_cast<std::int32_t>(std::max<std::int64_t>(top, 0));
    const std::int32_t y1 = static_cast<std::int32_t>(std::min<std::int64_t>(bottom, surface.height));
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    // The vertex nearer the start of the ramp brings its colour with it.
    const bool aFirst = horizontal ? a.x <= b.x : a.y <= b.y;
    const Channels start = ChannelsOf(aFirst ? a : b);
    const Channels end = ChannelsOf(aFirst ? b : a);
    if (horizontal) {
        std::uint32_t* first = SurfaceRow(surface, y0);
        RampStepper ramp;
        ramp.Start(start, end, right - left, x0 - left);
        for (std::int32_t x = x0; x < x1; ++x, ramp.Step()) {
            first[x] = ramp.Pixel();
        }
        for (std::int32_t y = y0 + 1; y < y1; ++y) {
            std::copy(first + x0, first + x1, SurfaceRow(surface, y) + x0);
        }
        return;
    }
    RampStepper ramp;
    ramp.Start(start, end, bottom - top, y0 - top);
    for (std::int32_t y = y0; y < y1; ++y, ramp.Step()) {
        std::uint32_t* row = SurfaceRow(surface, y);
        if (coverage == nullptr || y >= coverage->rows) {
            FillPixels(row + x0, x1 - x0, ramp.Pixel());
            continue;
        }
        std::int32_t x = x0;
        const CoveredRow& covered = coverage->row[y];
        for (std::int32_t k = 0; k < covered.count && x < x1; ++k) {
            const CoveredRun& run = covered.runs[k];
            if (x < run.x0) FillPixels(row + x, std::min(run.x0, x1) - x, ramp.Pixel());
            x = std::max(x, run.x1);
        }
        if (x < x1) FillPixels(row + x, x1 - x, ramp.Pixel());
    }
}

// One channel of a triangle's ramp along a row: value = floor(numerator / det), stepped by whole
// and fractional parts so the inner loop only adds. Used for triangles whose corners need 128-bit
// weight products.
struct WideChannelStepper {
    std::int64_t value = 0;
    Int128 remainder = 0;  // 0 <= remainder < det
    std::int64_t stepValue = 0;
    Int128 stepRemainder = 0;

    void Start(Int128 numerator, Int128 stepNumerator, Int128 det) {
        const Int128 q = FloorDivide(numerator, det);
        value = static_cast<std::int64_t>(q);
        remainder = numerator - q * det;
        const Int128 s = FloorDivide(stepNumerator, det);
        stepValue = static_cast<std::int64_t>(s);
        stepRemainder = stepNumerator - s * det;
    }
    void Step(Int128 det) {
        value += stepValue;
        remainder += stepRemainder;
        if (remainder >= det) {
            remainder -= det;
            ++value;
        }
    }
};

// Every span whole: a shape drawn over whatever the surface holds.
struct WholeSpans {
    static constexpr bool kCulls = false;
    std::int32_t Pieces(std::int32_t, std::int32_t xa, std::int32_t xb, CoveredRun* pieces) const {
        pieces[0] = {xa, xb};
        return 1;
    }
};

// Each span less the coverage's runs, which then take it in; -1 for a row with no room.
struct UncoveredPieces {
    static constexpr bool kCulls = true;
    RowCoverage& coverage;
    std::int32_t Pieces(std::int32_t y, std::int32_t xa, std::int32_t xb, CoveredRun* pieces) const {
        return CoverSpan(coverage, y, xa, xb, pieces);
    }
};

// Room for a span's pieces under any run limit.
constexpr std::int32_t kMostPieces = kCoveredRunsPerRow + 1;

// The spans TriangleForEachSpan gives (the same walk, kept in step with it), up to the first for
// which found(y, x0, x1) is true; whether there was one. Stopping early saves a twentieth of a frame.
template <typename SpanFunction>
bool TriangleFindSpan(const Point2 (&corners)[3], std::int32_t width, std::int32_t height, SpanFunction&& found) {
    const Point2* top = &corners[0];
    const Point2* middle = &corners[1];
    const Point2* bottom = &corners[2];
    if (middle->y < top->y) std::swap(top, middle);
    if (bottom->y < middle->y) std::swap(middle, bottom);
    if (middle->y < top->y) std::swap(top, middle);
    PolygonEdge tall;
    if (width <= 0 || height <= 0 || !PolygonEdgeSetUp(*top, *bottom, height, tall)) return false;
    PolygonEdge halves[2];
    const bool present[2] = {PolygonEdgeSetUp(*top, *middle, height, halves[0]),
                             PolygonEdgeSetUp(*middle, *bottom, height, halves[1])};
    for (int half = 0; half < 2; ++half) {
        if (!present[half]) continue;
        PolygonEdge& edge = halves[half];
        for (std::int32_t y = edge.firstRow; y < edge.endRow; ++y) {
            const std::int64_t x0 = std::max<std::int64_t>(std::min(tall.x, edge.x), 0);
            const std::int64_t x1 = std::min<std::int64_t>(std::max(tall.x, edge.x), width);
            if (x0 < x1 && found(y, static_cast<std::int32_t>(x0), static_cast<std::int32_t>(x1))) return true;
            PolygonEdgeStep(tall);
            PolygonEdgeStep(edge);
        }
    }
    return false;
}

// Whether some span of the triangle has a pixel outside the runs: without one, it is not set up.
// Its bounding box within the runs settles most hidden triangles before an edge is set up.
bool AnyUncovered(const Point2 (&corners)[3], const Surface& surface, const RowCoverage& coverage) {
    if (TriangleBoxCovered(corners, surface.width, surface.height, coverage)) return false;
    return TriangleFindSpan(corners, surface.width, surface.height, [&](std::int32_t row, std::int32_t xa, std::int32_t xb) {
        return row >= coverage.rows || !RowCovers(coverage.row[row], xa, xb);
    });
}

// False when a row of the coverage had no room (the triangle is then drawn in part).
template <typename Cover>
bool FillWideGradientTriangle(const Surface& surface, const TriVertex (&v)[3], const Cover& cover) {
    const Int128 x0 = v[0].x, y0 = v[0].y, x1 = v[1].x, y1 = v[1].y, x2 = v[2].x, y2 = v[2].y;
    Int128 det = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (det == 0) {
        return true;
    }
    const Point2 corners[3] = {{v[0].x, v[0].y}, {v[1].x, v[1].y}, {v[2].x, v[2].y}};
    if constexpr (Cover::kCulls) {
        if (!AnyUncovered(corners, surface, cover.coverage)) return true;
    }
    // Barycentric weights scaled by det; flipping all signs keeps det positive.
    const Int128 sign = det < 0 ? -1 : 1;
    det *= sign;
    const Channels c[3] = {ChannelsOf(v[0]), ChannelsOf(v[1]), ChannelsOf(v[2])};
    Int128 stepX[3];
    for (int k = 0; k < 3; ++k) {
        stepX[k] = sign * (c[0].value[k] * (y1 - y2) + c[1].value[k] * (y2 - y0) + c[2].value[k] * (y0 - y1));
    }
    bool fits = true;
    TriangleForEachSpan(corners, surface.width, surface.height,
                       [&](std::int32_t y, std::int32_t xa, std::int32_t xb) {
                           CoveredRun pieces[kMostPieces];
                           const std::int32_t pieceCount = fits ? cover.Pieces(y, xa, xb, pieces) : 0;
                           if (pieceCount < 0) fits = false;
                           std::uint32_t* row = SurfaceRow(surface, y);
                           for (std::int32_t piece = 0; piece < pieceCount; ++piece) {
                               const Int128 px = pieces[piece].x0, py = y;
                               const Int128 w0 = (x1 - px) * (y2 - py) - (x2 - px) * (y1 - py);
                               const Int128 w1 = (x2 - px) * (y0 - py) - (x0 - px) * (y2 - py);
                               const Int128 w2 = det * sign - w0 - w1;
                               WideChannelStepper channel[3];
                               for (int k = 0; k < 3; ++k) {
                                   const Int128 numerator =
                                       c[0].value[k] * w0 + c[1].value[k] * w1 + c[2].value[k] * w2;
                                   channel[k].Start(sign * numerator, stepX[k], det);
                               }
                               for (std::int32_t x = pieces[piece].x0; x < pieces[piece].x1; ++x) {
                                   row[x] = PixelFromChannels(channel[0].value, channel[1].value, channel[2].value);
                                   channel[0].Step(det);
                                   channel[1].Step(det);
                                   channel[2].Step(det);
                               }
                           }
                       });
    return fits;
}

// A channel's colour byte at a pixel is floor(numerator / divisor) with divisor = 256 det, the
// high byte of the exact 16-bit ramp value; when every corner's channels are whole bytes (low
// bytes zero, as the renderer's colours are) numerator and divisor are both divided by 256. The
// numerator grows by a fixed amount per pixel and per row, so a byte and its remainder are
// stepped by addition alone. Bytes are kept packed as a
// pixel: each stays within 0 .. 255 on every filled pixel, so adding the per-channel steps to the
// packed word gives exactly the packed result.
constexpr std::uint32_t kChannelBit[3] = {1u << 16, 1u << 8, 1u};
constexpr std::int32_t kLanes = 16;

struct GradientSteps {
    std::int64_t divisor = 1;
    std::int64_t stepByte[3] = {0, 0, 0};  // floor(per-pixel numerator step / divisor)
    std::int64_t stepRem[3] = {0, 0, 0};   // the rest, 0 <= stepRem < divisor
    std::uint32_t stepPixel = 0;           // the byte steps packed, without carries
    // For the 32-bit lanes (divisor <= 2^31; left unset until needed): the ramp i pixels on,
    // i = 0 .. 8, as a packed byte offset (SSE2) or bytes plus one (AVX2), and remainders below divisor.
    std::uint32_t lanePixel[9];
    std::uint32_t laneBytes[9];
    std::int32_t laneRem[3][9];
    // For the 16-bit lanes (divisor below 2^15; accessed unaligned, as Windows builds do not
    // align the stack beyond 16 bytes): per channel, the byte offset and remainder of
    // the ramp 0 .. 7 pixels on (SSE2), or 0-3, 8-11, 4-7, 12-15 (AVX2); then a turn's step.
    alignas(32) std::int16_t narrowByte[3][kLanes];
    alignas(32) std::int16_t narrowRem[3][kLanes];
    alignas(32) std::int16_t narrowStepByte[3][kLanes];  // the same in every lane; SSE2
    alignas(32) std::int16_t narrowStepRem[3][kLanes];
    // AVX2: the byte offsets plus one (and the alpha byte), and a turn's byte steps plus one, as
    // the green-blue and the alpha-red lanes hold them.
    alignas(32) std::uint16_t narrowGreenBlue[kLanes];
    alignas(32) std::uint16_t narrowAlphaRed[kLanes];
    std::uint16_t narrowTurnGreenBlue = 0, narrowTurnRed = 0;
};

// floor(n / d) and n - d floor(n / d) for a fixed d > 0. Up to |n| = 2^50 the quotient rounded
// from a product with 1 / d is within a quarter of the exact one, so it is the floor or one more
// and one correction makes it exact; a 64-bit division costs several times as much. A triangle's
// numerators are a step per pixel (below 2^39 for corners within +-2^20) or a ramp value or its
// change between two filled pixels (below 256 d), so d below 2^41 keeps all of them in range.
struct Divisor {
    std::int64_t d;
    double inverse;
    bool byProduct;

    explicit Divisor(std::int64_t divisor)
        : d(divisor), inverse(1.0 / static_cast<double>(divisor)), byProduct(divisor < (std::int64_t{1} << 41)) {}

    void DivMod(std::int64_t n, std::int64_t& quotient, std::int64_t& remainder) const {
        if (!byProduct) {
            quotient = n / d;
            remainder = n - quotient * d;
            if (remainder < 0) {
                --quotient;
                remainder += d;
            }
            return;
        }
        const double estimate = static_cast<double>(n) * inverse;
#if defined(__x86_64__)
        quotient = _mm_cvtsd_si64(_mm_set_sd(estimate));
#else
        quotient = std::llrint(estimate);
#endif
        remainder = n - quotient * d;
        if (remainder < 0) {
            --quotient;
            remainder += d;
        } else if (remainder >= d) {
            ++quotient;
            remainder -= d;
        }
    }
};

// Each byte plus one, modulo 256 on its own: no borrow or carry crosses into the next.
inline std::uint32_t ByteWise(const std::int64_t (&bytes)[3]) {
    return static_cast<std::uint32_t>((((bytes[0] + 1) & 0xFF) << 16) | (((bytes[1] + 1) & 0xFF) << 8) | ((bytes[2] + 1) & 0xFF));
}

inline std::uint32_t PackedBytes(const std::int64_t (&bytes)[3]) {
    return static_cast<std::uint32_t>(bytes[0]) * kChannelBit[0] + static_cast<std::uint32_t>(bytes[1]) * kChannelBit[1] +
           static_cast<std::uint32_t>(bytes[2]);
}

void FillRowPortable(std::uint32_t* p, std::int32_t count, const std::int64_t (&byte)[3],
                     const std::int64_t (&rem)[3], const GradientSteps& s) {
    const std::int64_t d = s.divisor;
    std::uint32_t pixel = 0xFF000000u | PackedBytes(byte);
    std::int64_t r0 = rem[0], r1 = rem[1], r2 = rem[2];
    for (std::int32_t i = 0; i < count; ++i) {
        p[i] = pixel;
        pixel += s.stepPixel;
        // A remainder reaching the divisor carries one into its byte, without a branch.
        r0 += s.stepRem[0];
        std::int64_t carry = (d - 1 - r0) >> 63;
        r0 -= d & carry;
        pixel += kChannelBit[0] & static_cast<std::uint32_t>(carry);
        r1 += s.stepRem[1];
        carry = (d - 1 - r1) >> 63;
        r1 -= d & carry;
        pixel += kChannelBit[1] & static_cast<std::uint32_t>(carry);
        r2 += s.stepRem[2];
        carry = (d - 1 - r2) >> 63;
        r2 -= d & carry;
        pixel += kChannelBit[2] & static_cast<std::uint32_t>(carry);
    }
}

#if defined(__x86_64__)
// The first count (0 .. 3) pixels of four, without a masked store.
inline void StoreFirstPixels(std::uint32_t* p, std::int32_t count, __m128i pixels) {
    if (count & 2) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), pixels);
        pixels = _mm_srli_si128(pixels, 8);
        p += 2;
    }
    if (count & 1) {
        *p = static_cast<std::uint32_t>(_mm_cvtsi128_si32(pixels));
    }
}

// Remainders sit in 32-bit lanes less 2^31, so the signed compare orders them as unsigned
// numbers: exact while remainder plus step stays below 2^32, that is divisor <= 2^31.
inline std::int32_t Biased(std::int64_t remainder) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(remainder) - 0x80000000u);
}

// Four pixels a turn.
void FillRowSse2(std::uint32_t* p, std::int32_t count, const std::int64_t (&byte)[3], const std::int64_t (&rem)[3],
                 const GradientSteps& s) {
    const std::uint32_t pixel = 0xFF000000u | PackedBytes(byte);
    const __m128i divisor = _mm_set1_epi32(static_cast<std::int32_t>(s.divisor));
    const __m128i below = _mm_set1_epi32(Biased(s.divisor - 1));
    __m128i pix = _mm_add_epi32(_mm_set1_epi32(static_cast<std::int32_t>(pixel)),
                                _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.lanePixel)));
    const __m128i stepPix = _mm_set1_epi32(static_cast<std::int32_t>(s.lanePixel[4]));
    __m128i r[3], stepR[3], bit[3];
    for (int k = 0; k < 3; ++k) {
        bit[k] = _mm_set1_epi32(static_cast<std::int32_t>(kChannelBit[k]));
        stepR[k] = _mm_set1_epi32(s.laneRem[k][4]);
        r[k] = _mm_add_epi32(_mm_set1_epi32(Biased(rem[k])),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.laneRem[k])));
        const __m128i carry = _mm_cmpgt_epi32(r[k], below);
        r[k] = _mm_sub_epi32(r[k], _mm_and_si128(carry, divisor));
        pix = _mm_add_epi32(pix, _mm_and_si128(carry, bit[k]));
    }
    std::int32_t i = 0;
    for (;; i += 4) {
        if (count - i < 4) {
            break;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), pix);
        pix = _mm_add_epi32(pix, stepPix);
        for (int k = 0; k < 3; ++k) {
            r[k] = _mm_add_epi32(r[k], stepR[k]);
            const __m128i carry = _mm_cmpgt_epi32(r[k], below);
            r[k] = _mm_sub_epi32(r[k], _mm_and_si128(carry, divisor));
            pix = _mm_add_epi32(pix, _mm_and_si128(carry, bit[k]));
        }
    }
    StoreFirstPixels(p + i, count - i, pix);
}

// The last count (1 .. 7) pixels of a row: current holds them from its first lane on, previous
// the eight before (when afterRun). Masked stores are microcoded on some processors, so a row
// of eight or more ends on one store of its last eight pixels, rewriting some with the same
// values.
__attribute__((target("avx2"))) inline void Avx2StoreTail(std::uint32_t* p, std::int32_t count, bool afterRun,
                                                          __m256i previous, __m256i current) {
    if (afterRun) {
        const __m256i at = _mm256_add_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(count));
        const __m256i fromCurrent = _mm256_cmpgt_epi32(at, _mm256_set1_epi32(7));
        const __m256i last = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(previous, at),
                                                _mm256_permutevar8x32_epi32(current, at), fromCurrent);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + count - 8), last);
        return;
    }
    // Shorter rows: the first and the last four (or two) pixels, overlapping.
    const __m128i first = _mm256_castsi256_si128(current);
    const std::int32_t piece = count >= 4 ? 4 : count >= 2 ? 2 : 1;
    const __m256i at = _mm256_add_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(count - piece));
    const __m128i last = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(current, at));
    if (piece == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), first);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + count - 4), last);
    } else if (piece == 2) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), first);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + count - 2), last);
    } else {
        *p = static_cast<std::uint32_t>(_mm_cvtsi128_si32(first));
    }
}

// The 32-bit lanes' ramp moved on by a step: remainders, the same less the divisor, and the
// bytes plus one. Each byte of the pixel is stepped on its own, modulo 256 (exact, as every filled
// pixel's bytes are within 0 .. 255), by its step plus one, less one where its remainder did not
// carry. Remainders are unsigned: the smaller of r + step and r + step - divisor (wrapped) is the
// next one, and equals the first when nothing carried.
struct Avx2Ramp {
    __m256i rem[3], pixel;
};

__attribute__((target("avx2"), always_inline)) inline void Avx2Step(Avx2Ramp& ramp, const __m256i (&step)[3],
                                                                    const __m256i (&stepLess)[3], const __m256i& stepPixel) {
    __m256i same[3];
    for (int k = 0; k < 3; ++k) {
        const __m256i stepped = _mm256_add_epi32(ramp.rem[k], step[k]);
        ramp.rem[k] = _mm256_min_epu32(stepped, _mm256_add_epi32(ramp.rem[k], stepLess[k]));
        same[k] = _mm256_cmpeq_epi32(ramp.rem[k], stepped);
    }
    // Bytes 0 .. 2 of each pixel from the blue, green and red masks; the alpha byte gets zero.
    const __m256i redUp = _mm256_srli_epi32(same[0], 8);
    const __m256i uncarried = _mm256_blendv_epi8(_mm256_blendv_epi8(redUp, same[1], _mm256_set1_epi32(0x0000FF00)), same[2],
                                                 _mm256_set1_epi32(0x000000FF));
    ramp.pixel = _mm256_add_epi8(_mm256_add_epi8(ramp.pixel, stepPixel), uncarried);
}

// Eight pixels a turn for processors that report AVX2: the row's first pixel in every lane, moved
// on by the lane table, then by eight pixels a turn.
__attribute__((target("avx2"))) void FillRowAvx2(std::uint32_t* p, std::int32_t count, const std::int64_t (&byte)[3],
                                                 const std::int64_t (&rem)[3], const GradientSteps& s) {
    const __m256i divisor = _mm256_set1_epi32(static_cast<std::int32_t>(s.divisor));
    Avx2Ramp ramp;
    __m256i lane[3], laneLess[3], step[3], stepLess[3];
    for (int k = 0; k < 3; ++k) {
        ramp.rem[k] = _mm256_set1_epi32(static_cast<std::int32_t>(rem[k]));
        lane[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.laneRem[k]));
        laneLess[k] = _mm256_sub_epi32(lane[k], divisor);
        step[k] = _mm256_set1_epi32(s.laneRem[k][8]);
        stepLess[k] = _mm256_sub_epi32(step[k], divisor);
    }
    ramp.pixel = _mm256_set1_epi32(static_cast<std::int32_t>(0xFF000000u | PackedBytes(byte)));
    Avx2Step(ramp, lane, laneLess, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.laneBytes)));
    const __m256i stepPixel = _mm256_set1_epi32(static_cast<std::int32_t>(s.laneBytes[8]));
    std::int32_t i = 0;
    __m256i previous = ramp.pixel;
    for (; count - i >= 8; i += 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), ramp.pixel);
        previous = ramp.pixel;
        Avx2Step(ramp, step, stepLess, stepPixel);
    }
    if (i < count) {
        Avx2StoreTail(p + i, count - i, i >= 8, previous, ramp.pixel);
    }
}

// 16-bit lanes: a byte and a remainder per channel and pixel, twice the pixels per vector. The
// remainder is kept less the divisor, in -divisor .. -1, so it carries when it turns
// non-negative; every sum stays within 16 bits while the divisor is below 2^15. Each turn packs
// the three bytes into pixels: (green << 8 | blue) and (0xFF00 | red) interleaved.
struct Sse2Narrow {
    __m128i byte[3], rem[3];

    void Carry(const __m128i& divisor) {
        for (int k = 0; k < 3; ++k) {
            const __m128i carry = _mm_cmpgt_epi16(rem[k], _mm_set1_epi16(-1));
            rem[k] = _mm_sub_epi16(rem[k], _mm_and_si128(carry, divisor));
            byte[k] = _mm_sub_epi16(byte[k], carry);
        }
    }
    void Pack(__m128i& low, __m128i& high) const {
        const __m128i greenBlue = _mm_or_si128(_mm_slli_epi16(byte[1], 8), byte[2]);
        const __m128i alphaRed = _mm_or_si128(byte[0], _mm_set1_epi16(static_cast<std::int16_t>(0xFF00)));
        low = _mm_unpacklo_epi16(greenBlue, alphaRed);
        high = _mm_unpackhi_epi16(greenBlue, alphaRed);
    }
};

// Lane `lane` of v in all eight.
template <int lane>
inline __m128i Spread(__m128i v) {
    if constexpr (lane < 4) {
        const __m128i low = _mm_shufflelo_epi16(v, lane * 0x55);
        return _mm_unpacklo_epi64(low, low);
    } else {
        const __m128i high = _mm_shufflehi_epi16(v, (lane - 4) * 0x55);
        return _mm_unpackhi_epi64(high, high);
    }
}

// A row's start: 16-bit lanes, bytes 0-2, remainders less the divisor 4-6.
using NarrowFillRow = void (*)(std::uint32_t*, std::int32_t, __m128i, const GradientSteps&);

// Eight pixels a turn in 16-bit lanes.
void FillRowSse2Narrow(std::uint32_t* p, std::int32_t count, __m128i start, const GradientSteps& s) {
    const __m128i divisor = _mm_set1_epi16(static_cast<std::int16_t>(s.divisor));
    Sse2Narrow ramp;
    const __m128i startByte[3] = {Spread<0>(start), Spread<1>(start), Spread<2>(start)};
    const __m128i startRem[3] = {Spread<4>(start), Spread<5>(start), Spread<6>(start)};
    for (int k = 0; k < 3; ++k) {
        ramp.byte[k] = _mm_add_epi16(startByte[k], _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.narrowByte[k])));
        ramp.rem[k] = _mm_add_epi16(startRem[k], _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.narrowRem[k])));
    }
    ramp.Carry(divisor);
    std::int32_t i = 0;
    __m128i low, high;
    for (;;) {
        ramp.Pack(low, high);
        if (count - i < 8) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 4), high);
        i += 8;
        for (int k = 0; k < 3; ++k) {
            ramp.rem[k] = _mm_add_epi16(ramp.rem[k], _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.narrowStepRem[k])));
            ramp.byte[k] = _mm_add_epi16(ramp.byte[k], _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.narrowStepByte[k])));
        }
        ramp.Carry(divisor);
    }
    if (count - i >= 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), low);
        low = high;
        i += 4;
    }
    StoreFirstPixels(p + i, count - i, low);
}

// The 16-bit lanes' ramp: remainders less the divisor, which carried when no longer negative, and
// the bytes as they are stored, green and blue in one lane and alpha and red in another. Moved on
// by a step, each byte goes on its own (exact, as every filled pixel's bytes are within 0 .. 255)
// by its step plus one, less one where its remainder did not carry.
struct Avx2NarrowRamp {
    __m256i rem[3], greenBlue, alphaRed;
};

__attribute__((target("avx2"), always_inline)) inline void Avx2NarrowStep(Avx2NarrowRamp& ramp, const __m256i (&stepRem)[3],
                                                                          const __m256i& stepGreenBlue, const __m256i& stepRed,
                                                                          const __m256i& divisor) {
    __m256i same[3];  // -1 where the remainder did not carry
    for (int k = 0; k < 3; ++k) {
        ramp.rem[k] = _mm256_add_epi16(ramp.rem[k], stepRem[k]);
        same[k] = _mm256_srai_epi16(ramp.rem[k], 15);
        ramp.rem[k] = _mm256_sub_epi16(ramp.rem[k], _mm256_andnot_si256(same[k], divisor));
    }
    const __m256i highBytes = _mm256_set1_epi16(static_cast<std::int16_t>(0xFF00));
    ramp.greenBlue = _mm256_add_epi8(_mm256_add_epi8(ramp.greenBlue, stepGreenBlue), _mm256_blendv_epi8(same[2], same[1], highBytes));
    ramp.alphaRed = _mm256_add_epi8(_mm256_add_epi8(ramp.alphaRed, stepRed), _mm256_srli_epi16(same[0], 8));
}

// Sixteen pixels a turn in 16-bit lanes: the row's first pixel in every lane, moved on by the lane
// tables, then by sixteen pixels a turn. The interleave works within each 128-bit half, so the
// lanes hold pixels 0-3, 8-11, 4-7, 12-15 and come out as pixels 0-7 and 8-15.
__attribute__((target("avx2"))) void FillRowAvx2Narrow(std::uint32_t* p, std::int32_t count, __m128i start,
                                                       const GradientSteps& s) {
    const __m256i divisor = _mm256_set1_epi16(static_cast<std::int16_t>(s.divisor));
    const __m256i both = _mm256_broadcastsi128_si256(start);
    // In every lane: the low bytes of green and blue (bytes 2 and 4), of red under a zero alpha
    // (byte 0, then none), or byte pair 2k + 8, 2k + 9 (channel k's remainder).
    alignas(32) static constexpr std::uint16_t kPick[5][16] = {
        {0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204, 0x0204},
        {0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000},
        {0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908, 0x0908},
        {0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A, 0x0B0A},
        {0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C, 0x0D0C}};
    const auto pick = [&both](int k) __attribute__((target("avx2"), always_inline)) {
        return _mm256_shuffle_epi8(both, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kPick[k])));
    };
    const auto table = [](const auto& lanes) __attribute__((target("avx2"), always_inline)) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes));
    };
    Avx2NarrowRamp ramp{{pick(2), pick(3), pick(4)}, pick(0), pick(1)};
    Avx2NarrowStep(ramp, {table(s.narrowRem[0]), table(s.narrowRem[1]), table(s.narrowRem[2])}, table(s.narrowGreenBlue),
                   table(s.narrowAlphaRed), divisor);
    const __m256i turnGreenBlue = _mm256_set1_epi16(static_cast<std::int16_t>(s.narrowTurnGreenBlue));
    const __m256i turnRed = _mm256_set1_epi16(static_cast<std::int16_t>(s.narrowTurnRed));
    std::int32_t i = 0;
    __m256i low, high, previous = _mm256_setzero_si256();
    for (;;) {
        low = _mm256_unpacklo_epi16(ramp.greenBlue, ramp.alphaRed);
        high = _mm256_unpackhi_epi16(ramp.greenBlue, ramp.alphaRed);
        if (count - i < 16) break;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), low);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i + 8), high);
        previous = high;
        i += 16;
        // Read here: rows shorter than sixteen pixels leave the turn's table unset.
        Avx2NarrowStep(ramp, {table(s.narrowStepRem[0]), table(s.narrowStepRem[1]), table(s.narrowStepRem[2])},
                       turnGreenBlue, turnRed, divisor);
    }
    if (count - i >= 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), low);
        previous = low;
        low = high;
        i += 8;
    }
    if (i < count) {
        Avx2StoreTail(p + i, count - i, i >= 8, previous, low);
    }
}
#endif

using FillRow = void (*)(std::uint32_t*, std::int32_t, const std::int64_t (&)[3], const std::int64_t (&)[3],
                         const GradientSteps&);

struct RowFiller {
    FillRow fill = FillRowPortable;  // unless narrowLanes
    std::int32_t narrowLanes = 0;    // 8 or 16 for the 16-bit lanes, else 0
    bool wide = false;             // the 32-bit lanes
};

// 16-bit lanes need remainders below 2^15, and byte steps small enough for the lane tables to
// hold 15 of them.
RowFiller RowFillerFor(PixelPath path, std::int64_t divisor, const std::int64_t (&stepByte)[3]) {
    RowFiller filler;
#if defined(__x86_64__)
    if (path == PixelPath::Portable) {
        return filler;
    }
    const bool smallSteps = std::max({std::abs(stepByte[0]), std::abs(stepByte[1]), std::abs(stepByte[2])}) <= 1024;
    if (divisor < (std::int64_t{1} << 15) && smallSteps) {
        filler.narrowLanes = path == PixelPath::Avx2 ? 16 : 8;
    } else if (divisor <= (std::int64_t{1} << 31)) {
        filler.wide = true;
        filler.fill = path == PixelPath::Avx2 ? FillRowAvx2 : FillRowSse2;
    }
#else
    (void)path;
    (void)divisor;
    (void)stepByte;
#endif
    return filler;
}

#if defined(__x86_64__)
// The SSE2 lane table, four lanes at a time: the ramp j pixels on has the byte offset
// j stepByte + floor(j stepRem / d) and the remainder j stepRem mod d. The quotient (below 17)
// comes from a float product, off by at most one, and is corrected by the remainder's range;
// every product is of 16-bit halves, so SSE2 suffices.
void SetUpNarrowLanes(GradientSteps& s) {
    alignas(16) static constexpr std::int32_t kOffsets[3][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 8, 8, 8}};  // last: the step
    const auto d = static_cast<std::int32_t>(s.divisor);
    const __m128i divisor = _mm_set1_epi32(d);
    const __m128i lastRem = _mm_set1_epi32(d - 1);
    const __m128 inverse = _mm_set1_ps(1.0f / static_cast<float>(d));
    for (int k = 0; k < 3; ++k) {
        const __m128i laneStepRem = _mm_set1_epi32(static_cast<std::int32_t>(s.stepRem[k]));
        const __m128i laneStepByte = _mm_set1_epi32(static_cast<std::uint16_t>(s.stepByte[k]));
        __m128i byte[3], rem[3];
        for (int g = 0; g < 3; ++g) {
            const __m128i j = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kOffsets[g]));
            __m128i r = _mm_madd_epi16(j, laneStepRem);
            __m128i q = _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(r), inverse));
            r = _mm_sub_epi32(r, _mm_madd_epi16(q, divisor));
            const __m128i under = _mm_cmplt_epi32(r, _mm_setzero_si128());
            r = _mm_add_epi32(r, _mm_and_si128(under, divisor));
            q = _mm_add_epi32(q, under);
            const __m128i over = _mm_cmpgt_epi32(r, lastRem);
            r = _mm_sub_epi32(r, _mm_and_si128(over, divisor));
            q = _mm_sub_epi32(q, over);
            byte[g] = _mm_add_epi32(_mm_madd_epi16(j, laneStepByte), q);
            rem[g] = r;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s.narrowByte[k]), _mm_packs_epi32(byte[0], byte[1]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s.narrowRem[k]), _mm_packs_epi32(rem[0], rem[1]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s.narrowStepByte[k]), _mm_packs_epi32(byte[2], byte[2]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s.narrowStepRem[k]), _mm_packs_epi32(rem[2], rem[2]));
    }
}

// The AVX2 lane table for pixels from .. from + 7 (from 0 or 8) in 32-bit lanes, as above. Rows
// shorter than eight pixels read only the first eight, so the rest and the step wait for a longer
// row.
__attribute__((target("avx2"))) void SetUpNarrowLanesAvx2(GradientSteps& s, std::int32_t from) {
    const auto d = static_cast<std::int32_t>(s.divisor);
    const __m256i divisor = _mm256_set1_epi32(d);
    const __m256i lastRem = _mm256_set1_epi32(d - 1);
    const __m256 inverse = _mm256_set1_ps(1.0f / static_cast<float>(d));
    const __m256i j = _mm256_add_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(from));
    std::uint16_t turn[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        __m256i r = _mm256_madd_epi16(j, _mm256_set1_epi32(static_cast<std::int32_t>(s.stepRem[k])));
        __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(r), inverse));
        r = _mm256_sub_epi32(r, _mm256_madd_epi16(q, divisor));
        const __m256i under = _mm256_cmpgt_epi32(_mm256_setzero_si256(), r);
        r = _mm256_add_epi32(r, _mm256_and_si256(under, divisor));
        q = _mm256_add_epi32(q, under);
        const __m256i over = _mm256_cmpgt_epi32(r, lastRem);
        r = _mm256_sub_epi32(r, _mm256_and_si256(over, divisor));
        q = _mm256_sub_epi32(q, over);
        const __m256i byte = _mm256_add_epi32(
            _mm256_madd_epi16(j, _mm256_set1_epi32(static_cast<std::uint16_t>(s.stepByte[k]))), q);
        // Bytes and remainders of pixels 0-3 | 4-7 on, as 64-bit pieces b, r | b, r; each table is
        // written whole, so the row's loads right after are served from the stores.
        const __m256i packed = _mm256_packs_epi32(byte, r);
        __m256i bytes = _mm256_permute4x64_epi64(packed, _MM_SHUFFLE(2, 2, 0, 0));
        __m256i rems = _mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 3, 1, 1));
        auto* byteTable = reinterpret_cast<__m256i*>(s.narrowByte[k]);
        auto* remTable = reinterpret_cast<__m256i*>(s.narrowRem[k]);
        if (from == 8) {
            bytes = _mm256_blend_epi32(_mm256_loadu_si256(byteTable), bytes, 0xCC);
            rems = _mm256_blend_epi32(_mm256_loadu_si256(remTable), rems, 0xCC);
        }
        _mm256_storeu_si256(byteTable, bytes);
        _mm256_storeu_si256(remTable, rems);
        if (from == 8) {
            // Sixteen pixels on: twice eight.
            std::int32_t rem16 = 2 * _mm256_cvtsi256_si32(r), byte16 = 2 * _mm256_cvtsi256_si32(byte);
            if (rem16 >= d) {
                rem16 -= d;
                ++byte16;
            }
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(s.narrowStepRem[k]), _mm256_set1_epi16(static_cast<std::int16_t>(rem16)));
            turn[k] = static_cast<std::uint16_t>((byte16 + 1) & 0xFF);
        }
    }
    if (from == 8) {
        s.narrowTurnRed = turn[0];
        s.narrowTurnGreenBlue = static_cast<std::uint16_t>(turn[1] << 8 | turn[2]);
    }
    const auto plusOne = [&s](int k) __attribute__((target("avx2"), always_inline)) {
        return _mm256_add_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.narrowByte[k])), _mm256_set1_epi16(1));
    };
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(s.narrowGreenBlue),
                        _mm256_or_si256(_mm256_slli_epi16(plusOne(1), 8), _mm256_and_si256(plusOne(2), lowBytes)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(s.narrowAlphaRed),
                        _mm256_or_si256(_mm256_and_si256(plusOne(0), lowBytes), _mm256_set1_epi16(static_cast<std::int16_t>(0xFF00))));
}
#endif

// The ramp start n pixels on along a row from byte, rem: the numerator grows by n perX. Both
// ends are filled pixels, so the growth stays below 256 divisors.
inline void RampAhead(const std::int64_t (&byte)[3], const std::int64_t (&rem)[3], std::int64_t n,
                      const std::int64_t (&perX)[3], const Divisor& divisor, std::int64_t (&aheadByte)[3],
                      std::int64_t (&aheadRem)[3]) {
    for (int k = 0; k < 3; ++k) {
        divisor.DivMod(rem[k] + n * perX[k], aheadByte[k], aheadRem[k]);
        aheadByte[k] += byte[k];
    }
}

// A row's ramp start as 64-bit bytes and remainders, for the portable and 32-bit lanes.
struct ScalarRows {
    const GradientSteps& s;
    FillRow fill;
    std::int64_t byte[3] = {0, 0, 0}, rem[3] = {0, 0, 0};
    std::int64_t stepByte[2][3] = {}, stepRem[2][3] = {};  // near, far

    ScalarRows(const GradientSteps& steps, FillRow filler) : s(steps), fill(filler) {}
    void Start(const std::int64_t (&b)[3], const std::int64_t (&r)[3]) {
        std::copy(b, b + 3, byte);
        std::copy(r, r + 3, rem);
    }
    void SetSteps(const std::int64_t (&nearByte)[3], const std::int64_t (&nearRem)[3], const std::int64_t (&farByte)[3],
                  const std::int64_t (&farRem)[3]) {
        for (int k = 0; k < 3; ++k) {
            stepByte[0][k] = nearByte[k];
            stepRem[0][k] = nearRem[k];
            stepByte[1][k] = farByte[k];
            stepRem[1][k] = farRem[k];
        }
    }
    void Advance(bool far) {
        const std::int64_t d = s.divisor;
        for (int k = 0; k < 3; ++k) {
            rem[k] += stepRem[far][k];
            const std::int64_t carry = (d - 1 - rem[k]) >> 63;
            rem[k] -= d & carry;
            byte[k] += stepByte[far][k] - carry;
        }
    }
    // Pixels x .. x + count - 1 of the row whose ramp start is at pixel from <= x.
    void Fill(std::uint32_t* row, std::int32_t from, std::int32_t x, std::int32_t count, const std::int64_t (&perX)[3],
              const Divisor& divisor) {
        if (x == from) {
            fill(row + x, count, byte, rem, s);
            return;
        }
        std::int64_t aheadByte[3], aheadRem[3];
        RampAhead(byte, rem, x - from, perX, divisor, aheadByte, aheadRem);
        fill(row + x, count, aheadByte, aheadRem, s);
    }
};

#if defined(__x86_64__)
// A row's ramp start for the 16-bit lanes, stepped from row to row in one vector: 16-bit lanes
// bytes 0-2 and remainders less the divisor 4-6. Bytes are exact modulo 2^16, which is exact
// for the 0 .. 255 of every filled pixel.
struct NarrowRows {
    GradientSteps& s;
    NarrowFillRow fill;
    __m128i state = _mm_setzero_si128();
    __m128i steps[2] = {_mm_setzero_si128(), _mm_setzero_si128()};  // near, far

    bool complete;  // the AVX2 lane table beyond the first eight pixels is set up

    NarrowRows(GradientSteps& steps, std::int32_t lanes)
        : s(steps), fill(lanes == 16 ? FillRowAvx2Narrow : FillRowSse2Narrow), complete(lanes == 8) {
        if (lanes == 16) {
            SetUpNarrowLanesAvx2(steps, 0);
        } else {
            SetUpNarrowLanes(steps);
        }
    }
    static __m128i Lanes(const std::int64_t (&b)[3], const std::int64_t (&r)[3], std::int64_t less) {
        return _mm_setr_epi16(static_cast<std::int16_t>(b[0]), static_cast<std::int16_t>(b[1]),
                              static_cast<std::int16_t>(b[2]), 0, static_cast<std::int16_t>(r[0] - less),
                              static_cast<std::int16_t>(r[1] - less), static_cast<std::int16_t>(r[2] - less), 0);
    }
    void Start(const std::int64_t (&b)[3], const std::int64_t (&r)[3]) { state = Lanes(b, r, s.divisor); }
    void SetSteps(const std::int64_t (&nearByte)[3], const std::int64_t (&nearRem)[3], const std::int64_t (&farByte)[3],
                  const std::int64_t (&farRem)[3]) {
        steps[0] = Lanes(nearByte, nearRem, 0);
        steps[1] = Lanes(farByte, farRem, 0);
    }
    void Advance(bool far) {
        state = _mm_add_epi16(state, steps[far]);
        const __m128i remainders = _mm_setr_epi16(0, 0, 0, 0, -1, -1, -1, 0);
        const __m128i carry = _mm_and_si128(_mm_cmpgt_epi16(state, _mm_set1_epi16(-1)), remainders);
        state = _mm_sub_epi16(state, _mm_and_si128(carry, _mm_set1_epi16(static_cast<std::int16_t>(s.divisor))));
        state = _mm_sub_epi16(state, _mm_srli_si128(carry, 8));
    }
    void Fill(std::uint32_t* row, std::int32_t from, std::int32_t x, std::int32_t count, const std::int64_t (&perX)[3],
              const Divisor& divisor) {
        if (count >= 8 && !complete) {
            SetUpNarrowLanesAvx2(s, 8);
            complete = true;
        }
        if (x == from) {
            fill(row + x, count, state, s);
            return;
        }
        FillAhead(row, x - from, x, count, perX, divisor);
    }
    // Kept apart so the lanes are not spilled on every row.
    __attribute__((noinline)) void FillAhead(std::uint32_t* row, std::int32_t ahead, std::int32_t x, std::int32_t count,
                                             const std::int64_t (&perX)[3], const Divisor& divisor) {
        alignas(16) std::int16_t lanes[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), state);
        const std::int64_t byte[3] = {lanes[0], lanes[1], lanes[2]};
        const std::int64_t rem[3] = {lanes[4] + s.divisor, lanes[5] + s.divisor, lanes[6] + s.divisor};
        std::int64_t aheadByte[3], aheadRem[3];
        RampAhead(byte, rem, ahead, perX, divisor, aheadByte, aheadRem);
        fill(row + x, count, Lanes(aheadByte, aheadRem, s.divisor), s);
    }
};
#endif

// Corners within +-2^20: every weight product and channel sum stays below 2^62. False when a row
// of the coverage had no room (the triangle is then drawn in part).
template <typename Cover>
bool FillGradientTriangle(const Surface& surface, const TriVertex (&v)[3], PixelPath path, const Cover& cover) {
    const std::int64_t x0 = v[0].x, y0 = v[0].y, x1 = v[1].x, y1 = v[1].y, x2 = v[2].x, y2 = v[2].y;
    const std::int64_t signedDet = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (signedDet == 0) {
        return true;
    }
    const Point2 corners[3] = {{v[0].x, v[0].y}, {v[1].x, v[1].y}, {v[2].x, v[2].y}};
    if constexpr (Cover::kCulls) {
        if (!AnyUncovered(corners, surface, cover.coverage)) return true;
    }
    const std::int64_t sign = signedDet < 0 ? -1 : 1;
    Channels c[3] = {ChannelsOf(v[0]), ChannelsOf(v[1]), ChannelsOf(v[2])};
    const bool wholeBytes = ((v[0].red | v[0].green | v[0].blue | v[1].red | v[1].green | v[1].blue | v[2].red |
                              v[2].green | v[2].blue) & 0xFF) == 0;
    const std::int64_t unit = wholeBytes ? 1 : 256;
    if (wholeBytes) {
        for (Channels& corner : c)
            for (std::int64_t& channel : corner.value) channel >>= 8;
    }
    GradientSteps s;
    s.divisor = unit * signedDet * sign;
    const std::int64_t d = s.divisor;
    const Divisor divisor(d);
    // The numerator of each channel at (px, py) is sign * (c0 w0 + c1 w1 + c2 w2), affine in px, py.
    std::int64_t perX[3], perY[3];
    for (int k = 0; k < 3; ++k) {
        perX[k] = sign * (c[0].value[k] * (y1 - y2) + c[1].value[k] * (y2 - y0) + c[2].value[k] * (y0 - y1));
        perY[k] = sign * (c[0].value[k] * (x2 - x1) + c[1].value[k] * (x0 - x2) + c[2].value[k] * (x1 - x0));
        divisor.DivMod(perX[k], s.stepByte[k], s.stepRem[k]);
    }
    s.stepPixel = PackedBytes(s.stepByte);
    const RowFiller filler = RowFillerFor(path, d, s.stepByte);
    if (filler.wide) {
        // Lanes 0 .. 8 one step apart; without branches, since whether a remainder carries is as
        // good as random.
        std::int64_t byte[3] = {0, 0, 0}, rem[3] = {0, 0, 0};
        for (std::int32_t i = 0;; ++i) {
            s.lanePixel[i] = PackedBytes(byte);
            s.laneBytes[i] = ByteWise(byte);
            for (int k = 0; k < 3; ++k) s.laneRem[k][i] = static_cast<std::int32_t>(rem[k]);
            if (i == 8) break;
            for (int k = 0; k < 3; ++k) {
                rem[k] += s.stepRem[k];
                const std::int64_t carry = (d - 1 - rem[k]) >> 63;
                rem[k] -= d & carry;
                byte[k] += s.stepByte[k] - carry;
            }
        }
    }
    // The ramp at each row's first pixel: from scratch after a gap, else from the row before by
    // the step for a shift of shift or shift + 1 pixels (a triangle edge moves by one of two
    // amounts from row to row).
    // Rows within four of the bottom corner ask for no rows ahead: those belong to other drawing.
    const std::int32_t lastPrefetchRow = std::max({v[0].y, v[1].y, v[2].y}) - 5;
    // A row wholly covered is skipped, and the next one starts from scratch.
    bool fits = true;
    const auto walk = [&](auto& rows) {
        std::int32_t lastY = INT32_MIN, lastX = 0;
        std::int64_t shift = INT64_MIN;
        TriangleForEachSpan(corners, surface.width, surface.height, [&](std::int32_t y, std::int32_t xa, std::int32_t xb) {
            CoveredRun pieces[kMostPieces];
            const std::int32_t pieceCount = fits ? cover.Pieces(y, xa, xb, pieces) : 0;
            if (pieceCount <= 0) {
                if (pieceCount < 0) fits = false;
                return;
            }
            const std::int64_t moved = static_cast<std::int64_t>(xa) - lastX;
            if (y != lastY + 1) {
                const std::int64_t px = xa, py = y;
                const std::int64_t w0 = (x1 - px) * (y2 - py) - (x2 - px) * (y1 - py);
                const std::int64_t w1 = (x2 - px) * (y0 - py) - (x0 - px) * (y2 - py);
                const std::int64_t w2 = signedDet - w0 - w1;
                std::int64_t byte[3], rem[3];
                for (int k = 0; k < 3; ++k) {
                    divisor.DivMod(sign * (c[0].value[k] * w0 + c[1].value[k] * w1 + c[2].value[k] * w2), byte[k], rem[k]);
                }
                rows.Start(byte, rem);
            } else {
                if (moved != shift && moved != shift + 1) {
                    shift = moved;
                    std::int64_t nearByte[3], nearRem[3], farByte[3], farRem[3];
                    for (int k = 0; k < 3; ++k) {
                        divisor.DivMod(shift * perX[k] + perY[k], nearByte[k], nearRem[k]);
                        farByte[k] = nearByte[k] + s.stepByte[k];
                        farRem[k] = nearRem[k] + s.stepRem[k];
                        if (farRem[k] >= d) {
                            farRem[k] -= d;
                            ++farByte[k];
                        }
                    }
                    rows.SetSteps(nearByte, nearRem, farByte, farRem);
                }
                rows.Advance(moved != shift);
            }
            lastY = y;
            lastX = xa;
            if (y <= lastPrefetchRow) {
                PrefetchRowsAhead(surface, y, xa, xb);
            }
            std::uint32_t* row = SurfaceRow(surface, y);
            for (std::int32_t piece = 0; piece < pieceCount; ++piece) {
                rows.Fill(row, xa, pieces[piece].x0, pieces[piece].x1 - pieces[piece].x0, perX, divisor);
            }
        });
    };
#if defined(__x86_64__)
    if (filler.narrowLanes != 0) {
        NarrowRows rows(s, filler.narrowLanes);
        walk(rows);
        return fits;
    }
#endif
    ScalarRows rows(s, filler.fill);
    walk(rows);
    return fits;
}

// Corners within +-2^20 keep every weight product and channel sum below 2^62.
bool FitsSixtyFourBits(const TriVertex (&v)[3]) {
    constexpr std::int32_t kLimit = 1 << 20;
    for (const TriVertex& corner : v) {
        if (corner.x < -kLimit || corner.x > kLimit || corner.y < -kLimit || corner.y > kLimit) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool GradientFill(DcHandle dc, const TriVertex* vertices, std::uint32_t vertexCount, const void* mesh,
                  std::uint32_t meshCount, std::uint32_t mode) {
    if (dc == nullptr || (meshCount > 0 && (vertices == nullptr || mesh == nullptr))) {
        return false;
    }
    if (mode == GRADIENT_FILL_RECT_H || mode == GRADIENT_FILL_RECT_V) {
        const auto* rects = static_cast<const GradientRectMesh*>(mesh);
        for (std::uint32_t i = 0; i < meshCount; ++i) {
            if (rects[i].upperLeft >= vertexCount || rects[i].lowerRight >= vertexCount) {
                return false;
            }
        }
        const Surface* surface = DcSurface(dc);
        for (std::uint32_t i = 0; surface != nullptr && i < meshCount; ++i) {
            FillGradientRect(*surface, vertices[rects[i].upperLeft], vertices[rects[i].lowerRight],
                             mode == GRADIENT_FILL_RECT_H);
        }
        return true;
    }
    if (mode != GRADIENT_FILL_TRIANGLE) {
        return false;
    }
    const auto* triangles = static_cast<const GradientTriangleMesh*>(mesh);
    for (std::uint32_t i = 0; i < meshCount; ++i) {
        if (triangles[i].vertex1 >= vertexCount || triangles[i].vertex2 >= vertexCount ||
            triangles[i].vertex3 >= vertexCount) {
            return false;
        }
    }
    const Surface* surface = DcSurface(dc);
    const PixelPath path = CurrentPixelPath();
    for (std::uint32_t i = 0; surface != nullptr && i < meshCount; ++i) {
        const TriVertex corners[3] = {vertices[triangles[i].vertex1], vertices[triangles[i].vertex2],
                                      vertices[triangles[i].vertex3]};
        if (FitsSixtyFourBits(corners)) {
            FillGradientTriangle(*surface, corners, path, WholeSpans{});
        } else {
            FillWideGradientTriangle(*surface, corners, WholeSpans{});
        }
    }
    return true;
}

bool GradientTriangleUncovered(DcHandle dc, const TriVertex (&corners)[3], RowCoverage& coverage) {
    const Surface* surface = DcSurface(dc);
    if (surface == nullptr) return true;
    const UncoveredPieces cover{coverage};
    if (FitsSixtyFourBits(corners)) return FillGradientTriangle(*surface, corners, CurrentPixelPath(), cover);
    return FillWideGradientTriangle(*surface, corners, cover);
}

void GradientRectVUncovered(DcHandle dc, const TriVertex (&corners)[2], const RowCoverage& coverage) {
    const Surface* surface = DcSurface(dc);
    if (surface != nullptr) FillGradientRect(*surface, corners[0], corners[1], false, &coverage);
}

bool GradientRectVRowPixels(const TriVertex (&corners)[2], std::int32_t rows, std::uint32_t* pixels) {
    const TriVertex& a = corners[0];
    const TriVertex& b = corners[1];
    const std::int64_t top = std::min(a.y, b.y);
    const std::int64_t bottom = std::max(a.y, b.y);
    if (top > 0 || bottom < rows || std::min(a.x, b.x) > 0 || std::max(a.x, b.x) <= 0) return false;
    // As FillGradientRect: the vertex nearer the top brings its colour, the ramp starts at row 0.
    const bool aFirst = a.y <= b.y;
    RampStepper ramp;
    ramp.Start(ChannelsOf(aFirst ? a : b), ChannelsOf(aFirst ? b : a), bottom - top, -top);
    for (std::int32_t y = 0; y < rows; ++y, ramp.Step()) pixels[y] = ramp.Pixel();
    return true;
}

TriVertex TriVertexFromColorRef(std::int32_t x, std::int32_t y, ColorRef color) {
    TriVertex vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.red = static_cast<std::uint16_t>((color & 0xFFu) << 8);
    vertex.green = static_cast<std::uint16_t>(((color >> 8) & 0xFFu) << 8);
    vertex.blue = static_cast<std::uint16_t>(((color >> 16) & 0xFFu) << 8);
    return vertex;
}

}  // namespace vantrel
