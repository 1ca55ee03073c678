#include "JpegFrame.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace pixelnook {

namespace {

// Bytes between markers that the decoder would skip with a warning; past
// this many the stream is taken as not worth reading further.
constexpr size_t kMaxGarbage = size_t(1) << 20;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The next byte, or -1 at the end.
    virtual int Get() = 0;
    // Skips count bytes; false when the stream ends first.
    virtual bool Skip(size_t count) = 0;

    int Get16()
    {
        const int high = Get();
        const int low = Get();
        return high < 0 || low < 0 ? -1 : high << 8 | low;
    }
};

class MemorySource : public ByteSource {
public:
    MemorySource(const unsigned char *data, size_t size) : data_(data), size_(size) {}
    int Get() override { return pos_ < size_ ? data_[pos_++] : -1; }
    bool Skip(size_t count) override
    {
        if (count > size_ - pos_)
            return false;
        pos_ += count;
        return true;
    }

private:
    const unsigned char *data_;
    size_t size_;
    size_t pos_ = 0;
};

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

class FileSource : public ByteSource {
public:
    explicit FileSource(std::FILE *file) : file_(file) {}
    int Get() override
    {
        const int c = std::getc(file_);
        return c == EOF ? -1 : c;
    }
    bool Skip(size_t count) override
    {
        // Skipping may land past the end; the next Get() then reports it.
        return std::fseek(file_, static_cast<long>(count), SEEK_CUR) == 0;
    }

private:
    std::FILE *file_;
};

// The frame markers that start a picture: SOF0 to SOF15 but DHT (C4),
// JPG (C8) and DAC (CC).
bool IsFrameMarker(int marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Progressive frames, sequential or differential, Huffman or arithmetic.
bool IsProgressiveFrame(int marker)
{
    return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

// The next marker code after skipping anything that is not one, the way
// the decoder resynchronises; -1 at the end or after too much garbage.
int NextMarker(ByteSource &in)
{
    size_t garbage = 0;
    for (;;) {
        int c = in.Get();
        while (c >= 0 && c != 0xFF) {
            if (++garbage > kMaxGarbage)
                return -1;
            c = in.Get();
        }
        while (c == 0xFF)
            c = in.Get(); // fill bytes
        if (c != 0)
            return c; // -1 at the end, otherwise the marker code
        garbage += 2; // a stuffed 0xFF 0x00 outside a scan
    }
}

std::optional<JpegFrame> ReadFrame(ByteSource &in)
{
    if (in.Get() != 0xFF || in.Get() != 0xD8)
        return std::nullopt;
    std::optional<JpegFrame> frame;
    int frameMarker = 0;
    bool exifSeen = false;
    Orientation orientation = Orientation::Normal;
    for (;;) {
        const int marker = NextMarker(in);
        if (marker < 0 || marker == 0xD8 || marker == 0xD9)
            return std::nullopt;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
            continue; // no segment follows
        const int length = in.Get16();
        if (length < 0)
            return std::nullopt;
        // The decoder reads a length below 2 as an empty segment.
        size_t rest = length > 2 ? static_cast<size_t>(length) - 2 : 0;
        if (IsFrameMarker(marker)) {
            if (frame || rest < 6)
                return std::nullopt;
            frame.emplace();
            frameMarker = marker;
            in.Get(); // sample precision
            frame->Height = in.Get16();
            frame->Width = in.Get16();
            const int count = in.Get();
            rest -= 6;
            if (frame->Width <= 0 || frame->Height < 0 || count <= 0 || rest < size_t(3) * count)
                return std::nullopt;
            for (int i = 0; i < count; ++i) {
                in.Get(); // component id
                const int factors = in.Get();
                in.Get(); // quantization table
                JpegFrame::Component component;
                component.H = factors >> 4;
                component.V = factors & 15;
                if (factors < 0 || component.H < 1 || component.H > 4 || component.V < 1 ||
                    component.V > 4)
                    return std::nullopt;
                frame->Components.push_back(component);
            }
            rest -= size_t(3) * count;
        } else if (marker == 0xE1 && !exifSeen) {
            // The decoder reads Orientation from the first Exif APP1.
            std::vector<unsigned char> body(rest);
            size_t got = 0;
            for (; got < rest; ++got) {
                const int c = in.Get();
                if (c < 0)
                    return std::nullopt;
                body[got] = static_cast<unsigned char>(c);
            }
            rest = 0;
            static const unsigned char kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
            if (body.size() >= sizeof kExif &&
                std::equal(kExif, kExif + sizeof kExif, body.begin())) {
                exifSeen = true;
                orientation = ExifOrientation(body.data(), body.size());
            }
        } else if (marker == 0xDA) {
            const int inScan = in.Get();
            if (!frame || inScan < 1)
                return std::nullopt;
            frame->MultiScan = IsProgressiveFrame(frameMarker) ||
                               static_cast<size_t>(inScan) < frame->Components.size();
            frame->Orient = orientation;
            return frame;
        }
        if (!in.Skip(rest))
            return std::nullopt;
    }
}

uint64_t RoundUp(uint64_t value, uint64_t multiple)
{
    return (value + multiple - 1) / multiple * multiple;
}

uint64_t CeilDiv(uint64_t a, uint64_t b)
{
    return (a + b - 1) / b;
}

} // namespace

std::optional<JpegFrame> ReadJpegFrame(const unsigned char *data, size_t size)
{
    MemorySource in(data, size);
    return ReadFrame(in);
}

std::optional<JpegFrame> ReadJpegFrameFromFile(const std::string &path)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    FileSource in(file.get());
    return ReadFrame(in);
}

uint64_t CoefficientBufferBytes(const JpegFrame &frame)
{
    if (!frame.MultiScan)
        return 0;
    int maxH = 1, maxV = 1;
    for (const JpegFrame::Component &c : frame.Components) {
        maxH = std::max(maxH, c.H);
        maxV = std::max(maxV, c.V);
    }
    uint64_t blocks = 0;
    for (const JpegFrame::Component &c : frame.Components) {
        const uint64_t columns =
            CeilDiv(static_cast<uint64_t>(frame.Width) * c.H, uint64_t(8) * maxH);
        const uint64_t rows =
            CeilDiv(static_cast<uint64_t>(frame.Height) * c.V, uint64_t(8) * maxV);
        blocks += RoundUp(columns, c.H) * RoundUp(rows, c.V);
    }
    return blocks * 128;
}

} // namespace pixelnook
