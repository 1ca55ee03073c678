// The scaling part of a web-ready copy made from the thumbnail's own decode:
// the decoder hands over the stored picture's rows one by one, and the
// scaler shrinks them as they come, without ever holding the whole picture.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace pixelnook {

// Shrinks a picture as its rows arrive, top to bottom, and hands each
// finished row on at once. Each axis is reduced on its own with a Lanczos3
// filter widened by the reduction ratio (weights summing to 1, the edge
// pixels extended). An axis shrinking by 4 or more first averages whole boxes
// of floor(in / (2 * out)) pixels (a last, partial box is filled out with the
// edge pixel), and the filter does the rest. An axis whose size stays passes
// through untouched, so a picture already small enough comes out with its
// very bytes. Only the rows the vertical filter still needs are kept, as
// 32-bit floats.
class WebScaler {
public:
    // Receives each output row, outWidth * channels bytes, top to bottom.
    using RowOut = std::function<void(const unsigned char *row)>;

    // 1 <= outWidth <= inWidth, 1 <= outHeight <= inHeight (never enlarges),
    // channels 1 (gray) or 3 (RGB, interleaved). Throws std::invalid_argument
    // otherwise.
    WebScaler(int inWidth, int inHeight, int outWidth, int outHeight, int channels, RowOut out);

    // One input row of inWidth * channels bytes. After the inHeight-th row,
    // all outHeight rows have gone out, in order. More rows than inHeight:
    // std::logic_error.
    void Row(const unsigned char *row);

    // What a scaler of these sizes holds at its peak, in bytes: everything it
    // allocates (the filter tables and the rows it keeps), not the object
    // itself. Throws std::invalid_argument for sizes the constructor refuses.
    static uint64_t MemoryBytes(int inWidth, int inHeight, int outWidth, int outHeight,
                                int channels);

private:
    // One axis's reduction: the box average ahead of the filter, and the
    // filter's taps over the box-averaged samples, the edges folded in. Taps
    // of output i cover samples First[i] .. First[i] + Count[i] - 1, their
    // weights at Weights[i * Stride]; the box's 1 / Box is in the weights.
    // An axis that keeps its size has no tables.
    struct Axis {
        int In = 0, Out = 0;
        int Box = 1;     // input pixels per box-averaged sample
        int Samples = 0; // box-averaged samples, ceil(In / Box)
        int Stride = 0;  // the widest window, the weights' stride
        std::vector<int> First, Count;
        std::vector<float> Weights;

        // withWeights false: the windows alone, for sizing (the weights take
        // Out * Stride floats).
        Axis(int in, int out, bool sameWindow, bool withWeights = true);
        // The axis keeps its size: no box, no taps, each sample as it is.
        bool Passes() const { return In == Out; }
    };

    void TakeSample(const unsigned char *row, float *sample, bool add, int times) const;
    const float *Vertical(int j);
    void Horizontal(const float *row);

    Axis h_, v_;
    int channels_;
    RowOut out_;
    bool copyThrough_;
    int rowsIn_ = 0;      // input rows taken
    int boxRows_ = 0;     // input rows summed into the box sample under way
    int samplesDone_ = 0; // box-averaged rows complete
    int rowsOut_ = 0;
    std::vector<float> ring_;         // v_.Stride box-averaged rows, sample i at i % v_.Stride
    std::vector<const float *> kept_; // the kept rows of one output row's window
    std::vector<float> column_;       // one vertically filtered row
    std::vector<float> filtered_;     // one output row before rounding (and a float to spare)
    std::vector<unsigned char> outRow_;
};

} // namespace pixelnook
