// Makes one thumbnail from arbitrary bytes and an arbitrary size text through
// the real thumbnail code. Input: one byte n, then n % 16 bytes of size text,
// then the picture. Every outcome must be a thumbnail of exactly the size the
// rule gives, or a SiteError with a message; the picture read from a file,
// its rows also feeding a web copy, must give the same as its bytes in
// memory, and the web copy must have its sides; anything else is a finding.
#include "site/FileSystem.h"
#include "site/JpegCodec.h"
#include "site/JpegFrame.h"
#include "site/SiteError.h"
#include "site/Thumbnail.h"
#include "site/WebCopy.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

using namespace pixelnook;

namespace {

// The cap of a small machine, so runs stay within the fuzzer's memory limit
// wherever they run.
constexpr uint64_t kMemoryCap = uint64_t(1) << 30;
// Small web copies keep the runs fast and still shrink most pictures.
constexpr int kWebSize = 48;
// A web copy reads every row: a few hundred bytes claiming 65500 x 65500
// pixels take seconds natively and minutes under the sanitizers, so only
// pictures up to this many pixels feed one.
constexpr uint64_t kMaxWebPixels = uint64_t(1) << 22;

[[noreturn]] void Fail(const std::string &what)
{
    std::fprintf(stderr, "thumbnail fuzzer: %s\n", what.c_str());
    std::abort();
}

// One file for the whole run, in memory-backed storage where there is one.
const std::string &PictureFile()
{
    static const std::string path = [] {
        const char *folder = std::getenv("TMPDIR");
        std::string pattern = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm"
                                          : folder                      ? folder
                                                                        : "/tmp") +
                              "/pixelnook-fuzz-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            Fail("cannot make a temporary file");
        close(fd);
        std::atexit([] { unlink(PictureFile().c_str()); });
        return pattern;
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t textLength = std::min<size_t>(data[0] % 16, size - 1);
    const std::string sizeText(reinterpret_cast<const char *>(data + 1), textLength);
    const std::vector<unsigned char> bytes(data + 1 + textLength, data + size);

    // The header reader that plans the workers' memory reads anything
    // without fault, whatever the decoder makes of it.
    const std::optional<JpegFrame> frame = ReadJpegFrame(bytes.data(), bytes.size());
    if (frame)
        CoefficientBufferBytes(*frame);

    // The same picture read from a file, a piece at a time as the build
    // reads it, must give the same thumbnail or the same error.
    const std::string &path = PictureFile();
    WriteWholeFile(path, bytes.data(), bytes.size());
    PreparedThumbnail fromFile;
    std::string fileError;
    WebCopyMaker web(path, kWebSize);
    const bool withWeb =
        frame &&
        static_cast<uint64_t>(frame->Width) * static_cast<uint64_t>(frame->Height) <= kMaxWebPixels;
    try {
        fromFile = PrepareThumbnail(path, sizeText, kMemoryCap, withWeb ? &web : nullptr);
    } catch (const SiteError &e) {
        fileError = e.what();
    }

    PreparedThumbnail thumbnail;
    try {
        thumbnail = PrepareThumbnailFromBytes(bytes, path, sizeText, kMemoryCap);
    } catch (const SiteError &e) {
        if (std::string(e.what()).empty())
            Fail("an error without a message");
        if (fileError != e.what())
            Fail("read from a file the picture failed otherwise: \"" + fileError +
                 "\" instead of \"" + e.what() + "\"");
        return 0;
    }
    if (!fileError.empty())
        Fail("read from a file the picture failed: " + fileError);
    if (fromFile.Jpeg != thumbnail.Jpeg || fromFile.EncodeError != thumbnail.EncodeError)
        Fail("read from a file the picture gave another thumbnail");

    // The picture was accepted: the thumbnail must have been encoded in
    // memory, since only a failure of the file can stop it now.
    if (!thumbnail.EncodeError.empty())
        Fail("encoding failed after a successful decode: " + thumbnail.EncodeError);

    // Its size follows the picture's header, as the picture is shown
    // (sides exchanged when its Exif turns it a quarter), and the size text;
    // its coding follows the picture's.
    JpegDecoder source(bytes.data(), bytes.size(), size_t(1) << 30);
    const JpegHeader picture = source.ReadHeader();
    const bool turned = SwapsSides(picture.Orient);
    const ThumbnailExtent expected = ThumbnailDimensions(turned ? picture.Height : picture.Width,
                                                         turned ? picture.Width : picture.Height,
                                                         ConvertThumbnailSize(sizeText));
    JpegDecoder made(thumbnail.Jpeg.data(), thumbnail.Jpeg.size(), size_t(1) << 30);
    JpegHeader header;
    try {
        header = made.ReadHeader();
    } catch (const SiteError &e) {
        Fail(std::string("the thumbnail is not a readable JPEG: ") + e.what());
    }
    if (header.Width != expected.Width || header.Height != expected.Height)
        Fail("thumbnail of " + std::to_string(header.Width) + " x " +
             std::to_string(header.Height) + ", expected " + std::to_string(expected.Width) +
             " x " + std::to_string(expected.Height));
    if (header.Components != 3 || header.Progressive != picture.Progressive)
        Fail("thumbnail coded unlike its source");

    // A colour picture's rows made its web copy too, upright and shrunk.
    if (fromFile.EveryRowShown != (withWeb && picture.Components != 1))
        Fail("the rows of a colour picture were not all shown");
    if (fromFile.EveryRowShown) {
        std::vector<unsigned char> copy;
        try {
            copy = web.Finish(PictureTags{});
        } catch (const SiteError &e) {
            Fail(std::string("no web copy of an accepted picture: ") + e.what());
        }
        const WebCopySides sides = WebCopySidesFor(picture.Width, picture.Height, kWebSize);
        JpegDecoder copyDecoder(copy.data(), copy.size(), size_t(1) << 30);
        const JpegHeader copyHeader = copyDecoder.ReadHeader();
        if (copyHeader.Width != (turned ? sides.Height : sides.Width) ||
            copyHeader.Height != (turned ? sides.Width : sides.Height))
            Fail("web copy of " + std::to_string(copyHeader.Width) + " x " +
                 std::to_string(copyHeader.Height));
    }

    // A picture the decoder accepted has the frame the header reader sees.
    if (!frame)
        Fail("the header reader found no frame in an accepted picture");
    if (frame->Width != picture.Width || frame->Height != picture.Height ||
        frame->MultiScan != picture.Progressive ||
        static_cast<int>(frame->Components.size()) != picture.Components ||
        frame->Orient != picture.Orient)
        Fail("the header reader's frame differs from the decoder's");
    return 0;
}
