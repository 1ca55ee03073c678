#include "WebScaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace pixelnook {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLobes = 3; // Lanczos3

double Sinc(double x)
{
    if (x == 0)
        return 1;
    const double px = kPi * x;
    return std::sin(px) / px;
}

double Lanczos3(double x)
{
    x = std::fabs(x);
    return x < kLobes ? Sinc(x) * Sinc(x / kLobes) : 0;
}

// The box ahead of the filter: an axis shrinking by 4 or more first
// averages whole boxes of floor(in / (2 * out)) pixels, which leaves the
// filter a reduction between 2 and 4.
int BoxFor(int in, int out)
{
    return in >= 4 * static_cast<int64_t>(out) ? in / (2 * out) : 1;
}

// The filter's window around one output pixel, in box-averaged samples
// before the edges are folded in: the samples strictly inside the support.
struct Window {
    double Centre;
    int64_t From, To;
};

Window WindowOf(int i, double ratio, double support)
{
    const double centre = (i + 0.5) * ratio - 0.5;
    return {centre, static_cast<int64_t>(std::floor(centre - support)) + 1,
            static_cast<int64_t>(std::ceil(centre + support)) - 1};
}

int64_t Clamp(int64_t i, int samples)
{
    return std::min<int64_t>(std::max<int64_t>(i, 0), samples - 1);
}

// The picture's width, once the sizes are known to be ones the scaler takes.
int CheckedWidth(int inWidth, int inHeight, int outWidth, int outHeight, int channels)
{
    if (inWidth < 1 || inHeight < 1)
        throw std::invalid_argument("WebScaler: the picture has no pixels");
    if (outWidth < 1 || outHeight < 1 || outWidth > inWidth || outHeight > inHeight)
        throw std::invalid_argument("WebScaler: the output size must be from 1 to the picture's");
    if (channels != 1 && channels != 3)
        throw std::invalid_argument("WebScaler: only gray (1) and RGB (3) pictures are scaled");
    return inWidth;
}

// Four floats worked on at once: one RGB pixel (R, G, B and padding) or
// four gray ones. GCC and clang turn these into SIMD registers on every
// target that has them, where the plain loops below would be vectorised the
// wrong way round (across the taps, with their sums in order).
typedef float F4 __attribute__((vector_size(16)));

F4 Load(const float *p)
{
    F4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void Store(float *p, F4 v)
{
    std::memcpy(p, &v, sizeof v);
}

// Kept rows are padded to a whole number of these floats, so that the
// vertical filter needs no ragged end, and by at least one float, so that
// the last RGB sample may be loaded as four.
constexpr int kBlock = 16;

size_t PaddedRow(int samples, int channels)
{
    const size_t floats = static_cast<size_t>(samples) * channels + 1;
    return (floats + kBlock - 1) / kBlock * kBlock;
}

// The vertical filter over `count` kept rows: out = sum of weight[k] * row k,
// a block of floats at a time with its sums held in registers throughout.
void VerticalSum(float *out, size_t length, const float *const *rows, const float *weights,
                 int count)
{
    for (size_t t = 0; t < length; t += kBlock) {
        const float *r = rows[0] + t;
        F4 a0 = weights[0] * Load(r), a1 = weights[0] * Load(r + 4);
        F4 a2 = weights[0] * Load(r + 8), a3 = weights[0] * Load(r + 12);
        for (int k = 1; k < count; ++k) {
            r = rows[k] + t;
            const float w = weights[k];
            a0 += w * Load(r);
            a1 += w * Load(r + 4);
            a2 += w * Load(r + 8);
            a3 += w * Load(r + 12);
        }
        Store(out + t, a0);
        Store(out + t + 4, a1);
        Store(out + t + 8, a2);
        Store(out + t + 12, a3);
    }
}

// Rounded to nearest and clamped to 0..255: a loop the compiler turns into
// SIMD conversions and clamps, where one value at a time (three per pixel)
// cost as much as the filter's sums.
void ToBytes(const float *in, size_t count, unsigned char *out)
{
    for (size_t i = 0; i < count; ++i) {
        int q = static_cast<int>(in[i] + 0.5f); // truncates: rounds every value > -1 right
        q = q < 0 ? 0 : q;
        q = q > 255 ? 255 : q;
        out[i] = static_cast<unsigned char>(q);
    }
}

// One input row as box sums along the row, `times` over (the last box of
// rows counts its edge row for the rows the picture lacks), written over or
// added to `sample`.
template <int Channels>
void RowToSamples(const unsigned char *row, int width, int box, int samples, float *sample,
                  bool add, float times)
{
    if (box == 1) {
        const size_t n = static_cast<size_t>(width) * Channels;
        if (add) {
            for (size_t i = 0; i < n; ++i)
                sample[i] += times * row[i];
        } else {
            for (size_t i = 0; i < n; ++i)
                sample[i] = times * row[i];
        }
        return;
    }
    const int whole = width / box; // boxes with all their pixels
    for (int s = 0; s < samples; ++s) {
        unsigned sum[Channels] = {};
        const unsigned char *p = row + static_cast<size_t>(s) * box * Channels;
        const int have = s < whole ? box : width - s * box;
        for (int b = 0; b < have; ++b)
            for (int c = 0; c < Channels; ++c)
                sum[c] += p[b * Channels + c];
        if (have < box) {
            const unsigned char *edge = row + static_cast<size_t>(width - 1) * Channels;
            for (int c = 0; c < Channels; ++c)
                sum[c] += static_cast<unsigned>(box - have) * edge[c];
        }
        float *q = sample + static_cast<size_t>(s) * Channels;
        for (int c = 0; c < Channels; ++c)
            q[c] = add ? q[c] + times * static_cast<float>(sum[c])
                       : times * static_cast<float>(sum[c]);
    }
}

// The horizontal filter of one vertically filtered row of RGB samples: each
// output pixel sums `taps` samples from first[x], each loaded as four floats
// (the fourth, the next sample's red or the row's padding, is left out),
// and is stored as four floats, the fourth overwritten by the next pixel's
// red (`out` has a float to spare at its end).
void HorizontalRgb(const float *row, int outWidth, const int *first, const float *weights, int taps,
                   float *out)
{
    for (int x = 0; x < outWidth; ++x) {
        const float *p = row + static_cast<size_t>(first[x]) * 3;
        const float *w = weights + static_cast<size_t>(x) * taps;
        // Two sums, odd and even taps, to halve the chain of additions.
        F4 a = w[0] * Load(p), b = {0, 0, 0, 0};
        int k = 1;
        for (; k + 1 < taps; k += 2) {
            b += w[k] * Load(p + 3 * k);
            a += w[k + 1] * Load(p + 3 * (k + 1));
        }
        if (k < taps)
            b += w[k] * Load(p + 3 * k);
        Store(out + 3 * static_cast<size_t>(x), a + b);
    }
}

void HorizontalGray(const float *row, int outWidth, const int *first, const float *weights,
                    int taps, float *out)
{
    for (int x = 0; x < outWidth; ++x) {
        const float *p = row + first[x];
        const float *w = weights + static_cast<size_t>(x) * taps;
        F4 a = {0, 0, 0, 0};
        int k = 0;
        for (; k + 3 < taps; k += 4)
            a += Load(w + k) * Load(p + k);
        float sum = (a[0] + a[1]) + (a[2] + a[3]);
        for (; k < taps; ++k)
            sum += w[k] * p[k];
        out[x] = sum;
    }
}

} // namespace

// The filter's taps for every output pixel of one axis. With sameWindow
// (the horizontal pass) every window is Stride samples wide, shifted in
// from the far edge where needed and padded with zero weights, so that the
// inner sum has one length; otherwise each window is just as wide as its
// taps.
WebScaler::Axis::Axis(int in, int out, bool sameWindow, bool withWeights)
    : In(in), Out(out), Box(BoxFor(in, out)), Samples((in + Box - 1) / Box)
{
    if (in == out) {
        // Passes straight through: no taps, one sample kept.
        Stride = 1;
        return;
    }
    First.resize(out);
    Count.resize(out);
    const double ratio = static_cast<double>(in) / (static_cast<double>(Box) * out);
    const double support = kLobes * ratio;
    for (int i = 0; i < out; ++i) {
        const Window w = WindowOf(i, ratio, support);
        First[i] = static_cast<int>(Clamp(w.From, Samples));
        Count[i] = static_cast<int>(Clamp(w.To, Samples)) - First[i] + 1;
        Stride = std::max(Stride, Count[i]);
    }
    if (!withWeights)
        return;
    Weights.assign(static_cast<size_t>(out) * Stride, 0.0f);
    for (int i = 0; i < out; ++i) {
        const Window w = WindowOf(i, ratio, support);
        if (sameWindow) {
            const int shifted = std::min(First[i], Samples - Stride);
            Count[i] += First[i] - shifted;
            First[i] = shifted;
        }
        // Each tap outside the picture lands on its edge sample; the sum
        // of the weights becomes 1, and the box's sum its average.
        float *weight = &Weights[static_cast<size_t>(i) * Stride];
        double total = 0;
        for (int64_t t = w.From; t <= w.To; ++t) {
            const double value = Lanczos3((t - w.Centre) / ratio);
            weight[Clamp(t, Samples) - First[i]] += static_cast<float>(value);
            total += value;
        }
        const float scale = static_cast<float>(1 / (total * Box));
        for (int k = 0; k < Count[i]; ++k)
            weight[k] *= scale;
    }
}

WebScaler::WebScaler(int inWidth, int inHeight, int outWidth, int outHeight, int channels,
                     RowOut out)
    : h_(CheckedWidth(inWidth, inHeight, outWidth, outHeight, channels), outWidth, true),
      v_(inHeight, outHeight, false), channels_(channels), out_(std::move(out)),
      copyThrough_(inWidth == outWidth && inHeight == outHeight)
{
    if (copyThrough_)
        return;
    const size_t rowFloats = PaddedRow(h_.Samples, channels_);
    ring_.resize(rowFloats * v_.Stride);
    kept_.resize(v_.Stride);
    column_.resize(rowFloats);
    outRow_.resize(static_cast<size_t>(outWidth) * channels);
    if (!h_.Passes())
        filtered_.resize(outRow_.size() + 1);
}

uint64_t WebScaler::MemoryBytes(int inWidth, int inHeight, int outWidth, int outHeight,
                                int channels)
{
    CheckedWidth(inWidth, inHeight, outWidth, outHeight, channels);
    if (inWidth == outWidth && inHeight == outHeight)
        return 0;
    uint64_t bytes = 0;
    uint64_t rowFloats = 0, ringRows = 0;
    // The tables as the scaler builds them, sized from the windows alone.
    const auto tables = [](const Axis &axis) {
        const uint64_t weights =
            axis.Passes() ? 0 : static_cast<uint64_t>(axis.Out) * axis.Stride * sizeof(float);
        return (axis.First.capacity() + axis.Count.capacity()) * sizeof(int) + weights;
    };
    {
        const Axis h(inWidth, outWidth, true, false);
        bytes += tables(h);
        rowFloats = PaddedRow(h.Samples, channels);
    }
    {
        const Axis v(inHeight, outHeight, false, false);
        bytes += tables(v);
        ringRows = static_cast<uint64_t>(v.Stride);
        bytes += ringRows * sizeof(const float *);
    }
    bytes += (ringRows + 1) * rowFloats * sizeof(float);
    bytes += static_cast<uint64_t>(outWidth) * channels;
    if (inWidth != outWidth)
        bytes += (static_cast<uint64_t>(outWidth) * channels + 1) * sizeof(float);
    return bytes;
}

void WebScaler::TakeSample(const unsigned char *row, float *sample, bool add, int times) const
{
    const float t = static_cast<float>(times);
    if (channels_ == 3)
        RowToSamples<3>(row, h_.In, h_.Box, h_.Samples, sample, add, t);
    else
        RowToSamples<1>(row, h_.In, h_.Box, h_.Samples, sample, add, t);
}

void WebScaler::Row(const unsigned char *row)
{
    if (rowsIn_ >= v_.In)
        throw std::logic_error("WebScaler: more rows than the picture has");
    ++rowsIn_;
    if (copyThrough_) {
        out_(row);
        ++rowsOut_;
        return;
    }
    // The row joins the box-averaged row under way, kept in the ring slot of
    // the sample it makes; the rows the picture lacks in a last, partial box
    // are its edge row again.
    const size_t rowFloats = PaddedRow(h_.Samples, channels_);
    float *sample = &ring_[(samplesDone_ % v_.Stride) * rowFloats];
    const bool last = rowsIn_ == v_.In;
    const int times = last ? v_.Box - boxRows_ : 1;
    TakeSample(row, sample, boxRows_ > 0, times);
    boxRows_ += times;
    if (boxRows_ < v_.Box)
        return;
    boxRows_ = 0;
    ++samplesDone_;
    while (rowsOut_ < v_.Out &&
           (v_.Passes() ? rowsOut_ : v_.First[rowsOut_] + v_.Count[rowsOut_] - 1) < samplesDone_) {
        Horizontal(Vertical(rowsOut_));
        ++rowsOut_;
    }
}

// Output row j's vertical filter over the kept rows; a height that stays
// hands on the kept row itself.
const float *WebScaler::Vertical(int j)
{
    const size_t rowFloats = PaddedRow(h_.Samples, channels_);
    if (v_.Passes())
        return ring_.data();
    const int count = v_.Count[j];
    const float *weights = &v_.Weights[static_cast<size_t>(j) * v_.Stride];
    for (int k = 0; k < count; ++k)
        kept_[k] = &ring_[((v_.First[j] + k) % v_.Stride) * rowFloats];
    VerticalSum(column_.data(), rowFloats, kept_.data(), weights, count);
    return column_.data();
}

void WebScaler::Horizontal(const float *row)
{
    if (h_.Passes()) {
        ToBytes(row, outRow_.size(), outRow_.data());
    } else {
        if (channels_ == 3)
            HorizontalRgb(row, h_.Out, h_.First.data(), h_.Weights.data(), h_.Stride,
                          filtered_.data());
        else
            HorizontalGray(row, h_.Out, h_.First.data(), h_.Weights.data(), h_.Stride,
                           filtered_.data());
        ToBytes(filtered_.data(), outRow_.size(), outRow_.data());
    }
    out_(outRow_.data());
}

} // namespace pixelnook
