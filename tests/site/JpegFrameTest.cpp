// Reading a picture's frame from its headers, and what decoding it will hold.

#include "site/JpegFrame.h"
#include "site/JpegCodec.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <functional>

#include <jpeglib.h>

using namespace pixelnook;
using fixtures::JpegSpec;
using fixtures::MakeJpeg;

namespace {

// The same facts as libjpeg itself works them out from the headers.
struct LibjpegView {
    int Width = 0, Height = 0;
    std::vector<std::pair<int, int>> Factors;
    bool MultiScan = false;
    uint64_t CoefficientBytes = 0;
};

struct JumpingErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

LibjpegView ViewWithLibjpeg(const std::vector<unsigned char> &bytes)
{
    jpeg_decompress_struct cinfo;
    JumpingErrors err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = [](j_common_ptr c) {
        std::longjmp(reinterpret_cast<JumpingErrors *>(c->err)->jump, 1);
    };
    LibjpegView view;
    jpeg_create_decompress(&cinfo);
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        ADD_FAILURE() << "libjpeg refused the fixture";
        return LibjpegView{};
    }
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    view.Width = static_cast<int>(cinfo.image_width);
    view.Height = static_cast<int>(cinfo.image_height);
    view.MultiScan = jpeg_has_multiple_scans(&cinfo);
    for (int i = 0; i < cinfo.num_components; ++i) {
        const jpeg_component_info &c = cinfo.comp_info[i];
        view.Factors.emplace_back(c.h_samp_factor, c.v_samp_factor);
        // How the coefficient controller sizes each component's array.
        const uint64_t columns =
            (c.width_in_blocks + c.h_samp_factor - 1) / c.h_samp_factor * c.h_samp_factor;
        const uint64_t rows =
            (c.height_in_blocks + c.v_samp_factor - 1) / c.v_samp_factor * c.v_samp_factor;
        view.CoefficientBytes += columns * rows * sizeof(JBLOCK);
    }
    if (!view.MultiScan)
        view.CoefficientBytes = 0;
    jpeg_destroy_decompress(&cinfo);
    return view;
}

struct FrameCase {
    const char *Name;
    std::function<std::vector<unsigned char>()> Bytes;
    bool MultiScan;
    Orientation Orient = Orientation::Normal;
};

void PrintTo(const FrameCase &c, std::ostream *os)
{
    *os << c.Name;
}

JpegSpec Spec(int w, int h, int hs, int vs, bool progressive = false, int components = 3)
{
    JpegSpec s{w, h};
    s.HSamp = hs;
    s.VSamp = vs;
    s.Progressive = progressive;
    s.Components = components;
    return s;
}

std::vector<unsigned char> Segment(unsigned char marker, size_t payload)
{
    std::vector<unsigned char> s{0xFF, marker, static_cast<unsigned char>((payload + 2) >> 8),
                                 static_cast<unsigned char>((payload + 2) & 0xFF)};
    s.resize(4 + payload, 0xAB);
    return s;
}

class JpegFrameTable : public ::testing::TestWithParam<FrameCase> {};

// Every field agrees with libjpeg's own reading of the same stream, from
// memory and from a file alike; the orientation with the decoder's.
TEST_P(JpegFrameTable, AgreesWithLibjpeg)
{
    const FrameCase c = GetParam();
    const std::vector<unsigned char> bytes = c.Bytes();
    const LibjpegView expected = ViewWithLibjpeg(bytes);
    JpegDecoder decoder(bytes.data(), bytes.size(), size_t(1) << 30);
    const Orientation orientation = decoder.ReadHeader().Orient;
    ASSERT_EQ(expected.MultiScan, c.MultiScan) << "fixture is not what the case says";
    EXPECT_EQ(orientation, c.Orient);

    fixtures::TempDir dir;
    fixtures::WriteFile(dir.path() / "pic.jpg", bytes);
    const std::optional<JpegFrame> fromMemory = ReadJpegFrame(bytes.data(), bytes.size());
    const std::optional<JpegFrame> fromFile =
        ReadJpegFrameFromFile((dir.path() / "pic.jpg").string());
    for (const std::optional<JpegFrame> &frame : {fromMemory, fromFile}) {
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(frame->Width, expected.Width);
        EXPECT_EQ(frame->Height, expected.Height);
        std::vector<std::pair<int, int>> factors;
        for (const JpegFrame::Component &component : frame->Components)
            factors.emplace_back(component.H, component.V);
        EXPECT_EQ(factors, expected.Factors);
        EXPECT_EQ(frame->MultiScan, expected.MultiScan);
        EXPECT_EQ(CoefficientBufferBytes(*frame), expected.CoefficientBytes);
        EXPECT_EQ(frame->Orient, orientation);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, JpegFrameTable,
    ::testing::Values(
        FrameCase{"Baseline420", [] { return MakeJpeg(Spec(640, 480, 2, 2)); }, false},
        FrameCase{"Baseline444", [] { return MakeJpeg(Spec(333, 211, 1, 1)); }, false},
        FrameCase{"Grayscale", [] { return MakeJpeg(Spec(100, 75, 1, 1, false, 1)); }, false},
        FrameCase{"Progressive420OddSize", [] { return MakeJpeg(Spec(333, 211, 2, 2, true)); },
                  true},
        FrameCase{"Progressive422", [] { return MakeJpeg(Spec(641, 479, 2, 1, true)); }, true},
        FrameCase{"Progressive411", [] { return MakeJpeg(Spec(650, 70, 4, 1, true)); }, true},
        FrameCase{"Progressive444", [] { return MakeJpeg(Spec(120, 90, 1, 1, true)); }, true},
        FrameCase{"ProgressiveGrayscale", [] { return MakeJpeg(Spec(99, 37, 1, 1, true, 1)); },
                  true},
        FrameCase{"NonInterleavedBaseline",
                  [] {
                      JpegSpec s = Spec(160, 120, 2, 2);
                      s.NonInterleaved = true;
                      return MakeJpeg(s);
                  },
                  true},
        // Segments larger than a file read, before the frame and between the
        // frame and the scan: the reader must skip, not scan, through them.
        FrameCase{"LargeSegmentsFirst",
                  [] {
                      return fixtures::WithMarkers(
                          MakeJpeg(Spec(200, 150, 2, 2, true)),
                          {Segment(0xE1, 65533), Segment(0xE2, 65533), Segment(0xFE, 70)});
                  },
                  true},
        // The first Exif segment gives the orientation, after any other APP1.
        FrameCase{"ExifAfterOtherApp1",
                  [] {
                      const std::string xmp = "http://ns.adobe.com/xap/1.0/";
                      std::vector<unsigned char> other = Segment(0xE1, xmp.size() + 1);
                      std::copy(xmp.begin(), xmp.end(), other.begin() + 4);
                      JpegSpec s = Spec(120, 90, 2, 2, true);
                      s.App1 = fixtures::ExifBody(6, true);
                      return fixtures::WithMarkers(MakeJpeg(s), {other});
                  },
                  true, Orientation::Rotate90},
        FrameCase{"TwoExifSegments",
                  [] {
                      std::vector<unsigned char> first = fixtures::ExifBody(3, false);
                      first.insert(first.begin(),
                                   {0xFF, 0xE1, 0, static_cast<unsigned char>(first.size() + 2)});
                      JpegSpec s = Spec(120, 90, 2, 2);
                      s.App1 = fixtures::ExifBody(8, false);
                      return fixtures::WithMarkers(MakeJpeg(s), {first});
                  },
                  false, Orientation::Rotate180},
        FrameCase{"SegmentLengthBelowTwo",
                  [] {
                      return fixtures::WithMarkers(
                          MakeJpeg(Spec(64, 48, 2, 2, true)),
                          {{0xFF, 0xE0, 0x00, 0x00}, {0xFF, 0xFE, 0x00, 0x01}});
                  },
                  true},
        FrameCase{"FillBytesBeforeMarkers",
                  [] {
                      std::vector<unsigned char> fill{0xFF, 0xFF, 0xFF};
                      std::vector<unsigned char> app = Segment(0xE0, 10);
                      fill.insert(fill.end(), app.begin(), app.end());
                      return fixtures::WithMarkers(MakeJpeg(Spec(64, 48, 2, 2)), {fill});
                  },
                  false}),
    [](const ::testing::TestParamInfo<FrameCase> &info) { return info.param.Name; });

TEST(JpegFrame, StreamsThatAreNotReadAsAFrame)
{
    const std::vector<unsigned char> good = MakeJpeg(Spec(64, 48, 2, 2, true));
    const auto cut = [&](size_t n) {
        return std::vector<unsigned char>(good.begin(), good.begin() + n);
    };
    auto sofAt = [&] {
        for (size_t i = 2; i + 1 < good.size(); ++i)
            if (good[i] == 0xFF && good[i + 1] == 0xC2)
                return i;
        return size_t(0);
    };
    const size_t sof = sofAt();
    ASSERT_GT(sof, 0u);
    // The frame header: FF C2, length, precision, height, width, count,
    // then id, sampling factors and table of each component.
    auto patched = [&](std::initializer_list<std::pair<size_t, unsigned char>> changes) {
        std::vector<unsigned char> bytes = good;
        for (const auto &[offset, value] : changes)
            bytes[sof + offset] = value;
        return bytes;
    };
    const struct {
        const char *Name;
        std::vector<unsigned char> Bytes;
    } cases[] = {
        {"empty", {}},
        {"not JPEG", {'G', 'I', 'F', '8', '9', 'a', 0, 0}},
        {"start of image only", cut(2)},
        {"ends inside the frame header", cut(sof + 6)},
        {"ends before the first scan", cut(sof + 19)},
        {"end of image before any frame", {0xFF, 0xD8, 0xFF, 0xD9}},
        {"scan before any frame",
         {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00}},
        {"zero width", patched({{7, 0}, {8, 0}})},
        {"no components", patched({{9, 0}})},
        {"sampling factor 0", patched({{11, 0x01}})},
        {"sampling factor 5", patched({{11, 0x51}})},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(ReadJpegFrame(c.Bytes.data(), c.Bytes.size()).has_value()) << c.Name;
    EXPECT_FALSE(ReadJpegFrameFromFile("/nonexistent/pixelnook/picture.jpg").has_value());
}

// The estimate is what libjpeg really allocates: a decoder allowed just less
// runs out of memory when it starts, one allowed a little more (for its
// small tables) does not.
TEST(JpegFrame, CoefficientEstimateIsWhatTheDecoderNeeds)
{
    for (const JpegSpec &spec : {Spec(640, 480, 2, 2, true), Spec(333, 211, 1, 1, true),
                                 Spec(250, 90, 2, 1, true), Spec(300, 200, 1, 1, true, 1)}) {
        SCOPED_TRACE(std::to_string(spec.Width) + "x" + std::to_string(spec.Height));
        const std::vector<unsigned char> bytes = MakeJpeg(spec);
        const std::optional<JpegFrame> frame = ReadJpegFrame(bytes.data(), bytes.size());
        ASSERT_TRUE(frame.has_value());
        const uint64_t estimate = CoefficientBufferBytes(*frame);
        ASSERT_GT(estimate, 0u);

        JpegDecoder tooLittle(bytes.data(), bytes.size(), estimate - 1);
        tooLittle.ReadHeader();
        try {
            tooLittle.Start();
            ADD_FAILURE() << "decoding started with less memory than the estimate";
        } catch (const JpegError &e) {
            EXPECT_TRUE(e.OutOfMemory()) << e.what();
        }

        JpegDecoder enough(bytes.data(), bytes.size(), estimate + (uint64_t(1) << 20));
        enough.ReadHeader();
        EXPECT_NO_THROW(enough.Start());
    }
}

} // namespace
