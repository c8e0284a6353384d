// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/modresize.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define TAVLO_SCALER_AVX2 1
#include <immintrin.h>
#endif

namespace tavlo {
namespace {

bool g_wideVectorsAllowed = true;

// The 32-byte kernels run where the processor has them.
bool useAvx2()
{
#if defined(TAVLO_SCALER_AVX2)
    static const bool present = __builtin_cpu_supports("avx2");
    return present && g_wideVectorsAllowed;
#else
    return false;
#endif
}

// Filter weights are fixed point with this many fraction bits; each output's
// weights add up to exactly one, so flat areas and opaque alpha stay exact.
constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
constexpr int kRounding = 1 << (kWeightBits - 1);

// Keys' cubic convolution with a = -0.5 (Catmull-Rom): sharp without ringing much.
double cubic(double x)
{
    constexpr double a = -0.5;
    x = std::fabs(x);
    if (x < 1.0)
        return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
    if (x < 2.0)
        return (((x - 5.0) * x + 8.0) * x - 4.0) * a;
    return 0.0;
}

// The source pixels and weights behind each output pixel along one axis.
struct Taps
{
    int stride = 0;         // weights kept per output
    std::vector<int> first; // first source pixel of each output
    std::vector<int> count; // source pixels used by each output
    std::vector<int16_t> weights;
    // The weights again two by two (even one low, odd one high), as
    // _mm_madd_epi16 pairs them with two pixels' channels.
    int pairStride = 0;
    std::vector<int32_t> pairs;
    // For the 32-byte pass across: windows of groups x 8 pixels moved to lie
    // inside the row, each group's weights laid out for two _mm256_madd_epi16
    // (taps 0 1 | 4 5, then 2 3 | 6 7). No groups when the row is too short.
    int groups = 0;
    std::vector<int> wideFirst;
    std::vector<int32_t> wideWeights; // 16 per group
};

int32_t pairOf(int16_t low, int16_t high)
{
    return int32_t(uint32_t(uint16_t(low)) | uint32_t(uint16_t(high)) << 16);
}

void buildWideTaps(Taps &taps, int inSize)
{
    const int outSize = int(taps.first.size());
    const int widest = *std::max_element(taps.count.begin(), taps.count.end());
    const int groups = (widest + 7) / 8;
    if (groups * 8 > inSize)
        return;
    taps.groups = groups;
    taps.wideFirst.resize(size_t(outSize));
    taps.wideWeights.assign(size_t(outSize) * size_t(groups) * 16, 0);
    std::vector<int16_t> shifted(size_t(groups) * 8);
    for (int i = 0; i < outSize; ++i) {
        const int first = taps.first[size_t(i)];
        const int start = std::min(first, inSize - groups * 8);
        std::fill(shifted.begin(), shifted.end(), int16_t(0));
        std::copy_n(&taps.weights[size_t(i) * size_t(taps.stride)], taps.count[size_t(i)],
                    shifted.begin() + (first - start));
        taps.wideFirst[size_t(i)] = start;
        int32_t *out = &taps.wideWeights[size_t(i) * size_t(groups) * 16];
        for (int g = 0; g < groups; ++g)
            for (int lane = 0; lane < 2; ++lane)
                for (int q = 0; q < 4; ++q) {
                    const int16_t *t = &shifted[size_t(g * 8 + lane * 4)];
                    out[g * 16 + lane * 4 + q] = pairOf(t[0], t[1]);
                    out[g * 16 + 8 + lane * 4 + q] = pairOf(t[2], t[3]);
                }
    }
}

Taps buildTaps(int inSize, int outSize)
{
    const double scale = double(inSize) / outSize;
    // Shrinking stretches the kernel over the source area each output covers.
    const double filterScale = std::max(scale, 1.0);
    const double support = 2.0 * filterScale;
    Taps taps;
    taps.stride = int(std::ceil(support)) * 2 + 1;
    taps.first.resize(size_t(outSize));
    taps.count.resize(size_t(outSize));
    taps.weights.assign(size_t(outSize) * size_t(taps.stride), 0);
    std::vector<double> w(size_t(taps.stride));
    for (int i = 0; i < outSize; ++i) {
        const double centre = (i + 0.5) * scale;
        const int lo = std::max(int(centre - support + 0.5), 0);
        const int hi = std::min(int(centre + support + 0.5), inSize);
        const int n = std::min(hi - lo, taps.stride);
        double total = 0;
        for (int k = 0; k < n; ++k) {
            w[size_t(k)] = cubic((lo + k - centre + 0.5) / filterScale);
            total += w[size_t(k)];
        }
        int16_t *out = &taps.weights[size_t(i) * size_t(taps.stride)];
        int sum = 0, peak = 0;
        for (int k = 0; k < n; ++k) {
            const double v = total != 0 ? w[size_t(k)] / total : (k == 0 ? 1.0 : 0.0);
            out[k] = int16_t(std::lround(v * kWeightOne));
            sum += out[k];
            if (out[k] > out[peak])
                peak = k;
        }
        out[peak] = int16_t(out[peak] + kWeightOne - sum);
        // Zero weights at the ends cost time and add nothing.
        int begin = 0, end = n;
        while (end > begin + 1 && out[end - 1] == 0)
            --end;
        while (begin < end - 1 && out[begin] == 0)
            ++begin;
        if (begin > 0)
            std::memmove(out, out + begin, size_t(end - begin) * sizeof(int16_t));
        std::fill(out + (end - begin), out + taps.stride, int16_t(0));
        taps.first[size_t(i)] = lo + begin;
        taps.count[size_t(i)] = end - begin;
    }
    taps.pairStride = (taps.stride + 1) / 2;
    taps.pairs.assign(size_t(outSize) * size_t(taps.pairStride), 0);
    for (int i = 0; i < outSize; ++i) {
        const int16_t *w = &taps.weights[size_t(i) * size_t(taps.stride)];
        int32_t *pair = &taps.pairs[size_t(i) * size_t(taps.pairStride)];
        for (int k = 0; k < taps.stride; k += 2)
            pair[k / 2] = pairOf(w[k], k + 1 < taps.stride ? w[k + 1] : 0);
    }
    buildWideTaps(taps, inSize);
    return taps;
}

inline uchar clampByte(int32_t v)
{
    return uchar(std::clamp(v >> kWeightBits, 0, 255));
}

#if defined(__SSE2__)
inline __m128i loadPixel(const uchar *p)
{
    int32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
}
#endif

#if defined(TAVLO_SCALER_AVX2)
__attribute__((target("avx2"))) void scaleAcrossAvx2(const QImage &src, QImage &dst,
                                                     const Taps &taps)
{
    // Four pixels a lane, channels of neighbours interleaved: a0 b0 a1 b1 .. c0 d0 ..
    const __m256i order = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0,
                                           4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i rounding = _mm256_set1_epi32(kRounding);
    const int groups = taps.groups;
    const qsizetype inLine = src.bytesPerLine();
    // Two rows at a time share the weights; the second row repeats the
    // first when the height is odd.
    for (int y = 0; y < dst.height(); y += 2) {
        const uchar *in = src.constScanLine(y);
        const qsizetype next = y + 1 < dst.height() ? inLine : 0;
        uchar *out0 = dst.scanLine(y);
        uchar *out1 = y + 1 < dst.height() ? dst.scanLine(y + 1) : nullptr;
        for (int x = 0; x < dst.width(); ++x) {
            const uchar *p = in + 4 * taps.wideFirst[size_t(x)];
            const int32_t *w = &taps.wideWeights[size_t(x) * size_t(groups) * 16];
            __m256i acc0 = zero, acc1 = zero;
            for (int g = 0; g < groups; ++g) {
                const __m256i *wg = reinterpret_cast<const __m256i *>(w + 16 * g);
                const __m256i wa = _mm256_loadu_si256(wg);
                const __m256i wb = _mm256_loadu_si256(wg + 1);
                const __m256i px0 = _mm256_shuffle_epi8(
                    _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 32 * g)), order);
                const __m256i px1 = _mm256_shuffle_epi8(
                    _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + next + 32 * g)),
                    order);
                acc0 =
                    _mm256_add_epi32(acc0, _mm256_madd_epi16(_mm256_unpacklo_epi8(px0, zero), wa));
                acc0 =
                    _mm256_add_epi32(acc0, _mm256_madd_epi16(_mm256_unpackhi_epi8(px0, zero), wb));
                acc1 =
                    _mm256_add_epi32(acc1, _mm256_madd_epi16(_mm256_unpacklo_epi8(px1, zero), wa));
                acc1 =
                    _mm256_add_epi32(acc1, _mm256_madd_epi16(_mm256_unpackhi_epi8(px1, zero), wb));
            }
            // Lane sums: the low lane for the first row, the high lane for the second.
            __m256i sum = _mm256_add_epi32(_mm256_permute2x128_si256(acc0, acc1, 0x20),
                                           _mm256_permute2x128_si256(acc0, acc1, 0x31));
            sum = _mm256_srai_epi32(_mm256_add_epi32(sum, rounding), kWeightBits);
            sum = _mm256_packs_epi32(sum, sum);
            sum = _mm256_packus_epi16(sum, sum);
            const int32_t pixel0 = _mm256_cvtsi256_si32(sum);
            const int32_t pixel1 = _mm_cvtsi128_si32(_mm256_extracti128_si256(sum, 1));
            std::memcpy(out0 + 4 * x, &pixel0, 4);
            if (out1)
                std::memcpy(out1 + 4 * x, &pixel1, 4);
        }
    }
}

// One row of the pass down, 32 bytes at a time; returns where it stopped.
__attribute__((target("avx2"))) int scaleDownRowAvx2(const uchar *base, qsizetype bpl, int first,
                                                     int n, const int32_t *pairs, uchar *out,
                                                     int bytes)
{
    const __m256i zero = _mm256_setzero_si256();
    int x = 0;
    for (; x + 32 <= bytes; x += 32) {
        __m256i acc0 = _mm256_set1_epi32(kRounding), acc1 = acc0, acc2 = acc0, acc3 = acc0;
        for (int k = 0; k < n; k += 2) {
            const uchar *row = base + (first + k) * bpl + x;
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(row));
            const __m256i b =
                k + 1 < n ? _mm256_loadu_si256(reinterpret_cast<const __m256i *>(row + bpl)) : zero;
            const __m256i wk = _mm256_set1_epi32(pairs[k / 2]);
            // Lanes stay apart through unpacking and packing, so bytes keep their order.
            const __m256i lo = _mm256_unpacklo_epi8(a, b);
            const __m256i hi = _mm256_unpackhi_epi8(a, b);
            acc0 = _mm256_add_epi32(acc0, _mm256_madd_epi16(_mm256_unpacklo_epi8(lo, zero), wk));
            acc1 = _mm256_add_epi32(acc1, _mm256_madd_epi16(_mm256_unpackhi_epi8(lo, zero), wk));
            acc2 = _mm256_add_epi32(acc2, _mm256_madd_epi16(_mm256_unpacklo_epi8(hi, zero), wk));
            acc3 = _mm256_add_epi32(acc3, _mm256_madd_epi16(_mm256_unpackhi_epi8(hi, zero), wk));
        }
        const __m256i low = _mm256_packs_epi32(_mm256_srai_epi32(acc0, kWeightBits),
                                               _mm256_srai_epi32(acc1, kWeightBits));
        const __m256i high = _mm256_packs_epi32(_mm256_srai_epi32(acc2, kWeightBits),
                                                _mm256_srai_epi32(acc3, kWeightBits));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + x), _mm256_packus_epi16(low, high));
    }
    return x;
}
#endif

// Scales each row of src (4 bytes a pixel) across into dst, row for row.
void scaleAcross(const QImage &src, QImage &dst, const Taps &taps)
{
#if defined(TAVLO_SCALER_AVX2)
    if (taps.groups > 0 && useAvx2())
        return scaleAcrossAvx2(src, dst, taps);
#endif
    const int width = dst.width();
    for (int y = 0; y < dst.height(); ++y) {
        const uchar *in = src.constScanLine(y);
        uchar *out = dst.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const uchar *p = in + 4 * taps.first[size_t(x)];
            const int n = taps.count[size_t(x)];
#if defined(__SSE2__)
            const int32_t *w = &taps.pairs[size_t(x) * size_t(taps.pairStride)];
            const __m128i zero = _mm_setzero_si128();
            __m128i acc = _mm_set1_epi32(kRounding);
            int k = 0;
            for (; k + 1 < n; k += 2) {
                // Two neighbouring pixels, channels interleaved: a0 b0 a1 b1 ...
                const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(p + 4 * k));
                const __m128i pairs = _mm_unpacklo_epi8(two, _mm_srli_si128(two, 4));
                acc = _mm_add_epi32(
                    acc, _mm_madd_epi16(_mm_unpacklo_epi8(pairs, zero), _mm_set1_epi32(w[k / 2])));
            }
            if (k < n) {
                const __m128i one = _mm_unpacklo_epi8(loadPixel(p + 4 * k), zero);
                acc = _mm_add_epi32(
                    acc, _mm_madd_epi16(_mm_unpacklo_epi16(one, zero), _mm_set1_epi32(w[k / 2])));
            }
            acc = _mm_srai_epi32(acc, kWeightBits);
            acc = _mm_packs_epi32(acc, acc);
            const int32_t pixel = _mm_cvtsi128_si32(_mm_packus_epi16(acc, acc));
            std::memcpy(out + 4 * x, &pixel, 4);
#else
            const int16_t *w = &taps.weights[size_t(x) * size_t(taps.stride)];
            int32_t acc[4] = {kRounding, kRounding, kRounding, kRounding};
            for (int k = 0; k < n; ++k)
                for (int c = 0; c < 4; ++c)
                    acc[c] += w[k] * p[4 * k + c];
            for (int c = 0; c < 4; ++c)
                out[4 * x + c] = clampByte(acc[c]);
#endif
        }
    }
}

// Scales the columns of src down into dst, column for column.
void scaleDown(const QImage &src, QImage &dst, const Taps &taps)
{
    const int bytes = dst.width() * 4;
    const uchar *base = src.constBits();
    const qsizetype bpl = src.bytesPerLine();
    [[maybe_unused]] const bool avx2 = useAvx2();
    for (int y = 0; y < dst.height(); ++y) {
        const int16_t *w = &taps.weights[size_t(y) * size_t(taps.stride)];
        [[maybe_unused]] const int32_t *pairs = &taps.pairs[size_t(y) * size_t(taps.pairStride)];
        const int first = taps.first[size_t(y)];
        const int n = taps.count[size_t(y)];
        uchar *out = dst.scanLine(y);
        int x = 0;
#if defined(TAVLO_SCALER_AVX2)
        if (avx2)
            x = scaleDownRowAvx2(base, bpl, first, n, pairs, out, bytes);
#endif
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        for (; x + 16 <= bytes; x += 16) {
            __m128i acc0 = _mm_set1_epi32(kRounding), acc1 = acc0, acc2 = acc0, acc3 = acc0;
            for (int k = 0; k < n; k += 2) {
                const uchar *row = base + (first + k) * bpl + x;
                const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row));
                const bool pair = k + 1 < n;
                const __m128i b =
                    pair ? _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + bpl)) : zero;
                const __m128i wk = _mm_set1_epi32(pairs[k / 2]);
                const __m128i lo = _mm_unpacklo_epi8(a, b);
                const __m128i hi = _mm_unpackhi_epi8(a, b);
                acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), wk));
                acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), wk));
                acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), wk));
                acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), wk));
            }
            const __m128i low = _mm_packs_epi32(_mm_srai_epi32(acc0, kWeightBits),
                                                _mm_srai_epi32(acc1, kWeightBits));
            const __m128i high = _mm_packs_epi32(_mm_srai_epi32(acc2, kWeightBits),
                                                 _mm_srai_epi32(acc3, kWeightBits));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + x), _mm_packus_epi16(low, high));
        }
#endif
        for (; x < bytes; ++x) {
            int32_t acc = kRounding;
            for (int k = 0; k < n; ++k)
                acc += w[k] * base[(first + k) * bpl + x];
            out[x] = clampByte(acc);
        }
    }
}

// Negative lobes can lift a colour above its alpha, which premultiplied pixels never have.
void clampToAlpha(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (qRed(p) > a || qGreen(p) > a || qBlue(p) > a)
                line[x] =
                    qRgba(std::min(qRed(p), a), std::min(qGreen(p), a), std::min(qBlue(p), a), a);
        }
    }
}

bool withinBounds(QSize size)
{
    return !size.isEmpty() && size.width() <= kMaxScaledSide && size.height() <= kMaxScaledSide &&
           qint64(size.width()) * size.height() <= kMaxScaledPixels;
}

qint64 roundHalfEven(double value)
{
    return qint64(std::nearbyint(value));
}

} // namespace

void setScalerWideVectorsForTesting(bool allowed)
{
    g_wideVectorsAllowed = allowed;
}

QRect FitPictureRect(QSize pictureSize, QSize box)
{
    if (pictureSize.isEmpty() || box.isEmpty())
        return {};
    const double ratio = double(pictureSize.width()) / pictureSize.height();
    const double boxRatio = double(box.width()) / box.height();
    qint64 width = box.width(), height = box.height();
    if (boxRatio < ratio)
        height = roundHalfEven(box.width() / ratio);
    else
        width = roundHalfEven(box.height() * ratio);
    width = std::clamp<qint64>(width, 1, box.width());
    height = std::clamp<qint64>(height, 1, box.height());
    return QRect(int(roundHalfEven((box.width() - width) * 0.5)),
                 int(roundHalfEven((box.height() - height) * 0.5)), int(width), int(height));
}

QImage ScalePicture(const QImage &picture, QSize size)
{
    if (picture.isNull() || !withinBounds(size))
        return {};
    const QImage::Format format =
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const QImage source = picture.convertToFormat(format);
    if (source.isNull())
        return {};
    const QSize from = source.size();
    if (from == size)
        return source;

    const bool across = from.width() != size.width();
    const bool down = from.height() != size.height();
    const Taps tapsX = across ? buildTaps(from.width(), size.width()) : Taps{};
    const Taps tapsY = down ? buildTaps(from.height(), size.height()) : Taps{};
    // A pixel across costs about twice a pixel down, which runs on whole rows:
    // do first the pass that leaves the other less to do.
    const double costX = 2.0 * tapsX.stride, costY = tapsY.stride;
    const double acrossFirst =
        double(from.height()) * size.width() * costX + double(size.height()) * size.width() * costY;
    const double downFirst =
        double(size.height()) * from.width() * costY + double(size.height()) * size.width() * costX;

    QImage result;
    if (across && down) {
        const bool acrossIsFirst = acrossFirst <= downFirst;
        QImage middle(acrossIsFirst ? QSize(size.width(), from.height())
                                    : QSize(from.width(), size.height()),
                      format);
        result = QImage(size, format);
        if (middle.isNull() || result.isNull())
            return {};
        if (acrossIsFirst) {
            scaleAcross(source, middle, tapsX);
            scaleDown(middle, result, tapsY);
        } else {
            scaleDown(source, middle, tapsY);
            scaleAcross(middle, result, tapsX);
        }
    } else {
        result = QImage(size, format);
        if (result.isNull())
            return {};
        if (across)
            scaleAcross(source, result, tapsX);
        else
            scaleDown(source, result, tapsY);
    }
    if (format == QImage::Format_ARGB32_Premultiplied)
        clampToAlpha(result);
    return result;
}

QImage ResizePicture(const QImage &picture, int width, int height, const QColor &backColour,
                     bool keepAspect)
{
    const QSize box(width, height);
    if (picture.isNull() || !withinBounds(box))
        return {};
    const QRect target = keepAspect ? FitPictureRect(picture.size(), box) : QRect(QPoint(), box);
    QImage scaled = ScalePicture(picture, target.size());
    if (scaled.isNull())
        return {};
    if (target.size() == box && !scaled.hasAlphaChannel())
        return scaled;
    QImage result(box, QImage::Format_RGB32);
    if (result.isNull())
        return {};
    result.fill(backColour.rgb());
    QPainter painter(&result);
    painter.drawImage(target.topLeft(), scaled);
    return result;
}

} // namespace tavlo
