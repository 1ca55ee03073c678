#include "JpegCodec.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>
#include <unistd.h>

namespace pixelnook {

namespace {

// libjpeg's error manager with the place its error exit jumps back to.
// Every entry point below sets the jump with setjmp right before its
// libjpeg calls and creates nothing with a destructor until they return:
// a longjmp cannot run destructors.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code;
    bool tooManyScans;
    int readErrno; // set when reading the picture's file failed
};

extern "C" void ErrorExit(j_common_ptr cinfo)
{
    ErrorManager *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    err->code = cinfo->err->msg_code;
    std::longjmp(err->jump, 1);
}

// Warnings (damaged or truncated data) and trace messages are dropped: the
// library fills in what is missing and the picture is used as it comes.
extern "C" void EmitMessage(j_common_ptr, int) {}
extern "C" void OutputMessage(j_common_ptr) {}

void InitErrorManager(ErrorManager &err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
    err.code = 0;
    err.tooManyScans = false;
    err.readErrno = 0;
}

// Every scan of a multi-scan picture is a pass over all the blocks of its
// components, and a scan can be a dozen bytes: a small file repeating scans
// would keep the decoder busy for hours. What the scans may cost together
// is therefore bounded by the picture's size: so many passes over each of
// its blocks, or a floor of block passes that takes well under a second,
// whichever is more. libjpeg's standard progression passes over a block six
// times at most (luminance and gray; four for chrominance), other encoders'
// layouts about as often; a successive-approximation layout that refines
// every coefficient bit by bit from the eighth down stays within it too.
constexpr unsigned long long kPassesPerBlock = 20;
constexpr unsigned long long kMinBlockPasses = 1ull << 24;

struct ScanLimit {
    jpeg_progress_mgr pub;
    unsigned long long budget; // block passes the scans may make in all
    unsigned long long spent;
    int scansCounted;
};

// Called before each scan's first rows are decoded (and between rows):
// charges each new scan with the blocks it covers.
extern "C" void CheckScans(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    ScanLimit *limit = reinterpret_cast<ScanLimit *>(cinfo->progress);
    const j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number <= limit->scansCounted)
        return;
    unsigned long long blocks = 0;
    for (int i = 0; i < d->comps_in_scan; ++i)
        blocks += static_cast<unsigned long long>(d->cur_comp_info[i]->width_in_blocks) *
                  d->cur_comp_info[i]->height_in_blocks;
    // Scans read between two calls (none, as libjpeg calls back after each
    // scan header) would be charged like this one.
    const unsigned long long scans =
        static_cast<unsigned long long>(d->input_scan_number - limit->scansCounted);
    limit->scansCounted = d->input_scan_number;
    limit->spent += scans * blocks;
    if (limit->spent > limit->budget) {
        reinterpret_cast<ErrorManager *>(cinfo->err)->tooManyScans = true;
        (*cinfo->err->error_exit)(cinfo);
    }
}

[[noreturn]] void ThrowJpegError(int code)
{
    throw JpegError(code, code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY);
}

[[noreturn]] void ThrowJpegError(const ErrorManager &err)
{
    if (err.readErrno != 0)
        throw JpegError(err.code, false, false, err.readErrno);
    ThrowJpegError(err.code);
}

// The picture read from a file a buffer at a time, starting with bytes the
// caller already read. The end of the file is handled as the memory source
// handles the end of its bytes (a warning and an inserted end-of-image
// marker), so both give the same picture.
struct FileSource {
    jpeg_source_mgr pub;
    int fd;
    unsigned char *buffer;
    size_t capacity;
    size_t firstBytes; // what the buffer holds before the first refill
    bool started;
};

extern "C" void InitFileSource(j_decompress_ptr) {}
extern "C" void TermFileSource(j_decompress_ptr) {}

extern "C" boolean FillFileBuffer(j_decompress_ptr cinfo)
{
    FileSource *src = reinterpret_cast<FileSource *>(cinfo->src);
    ssize_t n;
    if (!src->started) {
        src->started = true;
        n = static_cast<ssize_t>(src->firstBytes);
    } else {
        do
            n = ::read(src->fd, src->buffer, src->capacity);
        while (n < 0 && errno == EINTR);
    }
    if (n < 0) {
        reinterpret_cast<ErrorManager *>(cinfo->err)->readErrno = errno;
        ERREXIT(cinfo, JERR_FILE_READ);
    }
    if (n == 0) {
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = static_cast<size_t>(n);
    return TRUE;
}

extern "C" void SkipFileData(j_decompress_ptr cinfo, long count)
{
    jpeg_source_mgr *src = cinfo->src;
    if (count <= 0)
        return;
    while (static_cast<size_t>(count) > src->bytes_in_buffer) {
        count -= static_cast<long>(src->bytes_in_buffer);
        FillFileBuffer(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

constexpr int kGrayLevels = 236;

// libjpeg's skip, its error thrown once the library has returned.
void SkipScanlines(jpeg_decompress_struct &cinfo, ErrorManager &err, JDIMENSION rows)
{
    if (setjmp(err.jump))
        ThrowJpegError(err);
    jpeg_skip_scanlines(&cinfo, rows);
}

} // namespace

JpegError::JpegError(int code, bool outOfMemory, bool tooManyScans, int readErrno)
    : SiteError("JPEG error #" + std::to_string(code)), outOfMemory_(outOfMemory),
      tooManyScans_(tooManyScans), readErrno_(readErrno)
{
}

// ---------------------------------------------------------------- decoder

struct JpegDecoder::State {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    ScanLimit scanLimit;
    FileSource file;
    std::vector<unsigned char> fileBuffer;
    std::vector<unsigned char> skippedRow; // where rows read in place of a skip go
    bool created = false;
};

JpegDecoder::JpegDecoder(const unsigned char *data, size_t size, size_t memoryLimit)
    : state_(new State)
{
    Create(memoryLimit, data, size, false);
}

JpegDecoder::JpegDecoder(int fd, std::vector<unsigned char> firstBytes, size_t memoryLimit)
    : state_(new State)
{
    State *s = state_.get();
    const size_t firstSize = firstBytes.size();
    s->fileBuffer = std::move(firstBytes);
    // Room for a whole refill, and for the two bytes of an inserted marker.
    s->fileBuffer.resize(std::max<size_t>({firstSize, kDecoderFileBuffer, 2}));
    s->file.pub = jpeg_source_mgr{};
    s->file.pub.init_source = InitFileSource;
    s->file.pub.fill_input_buffer = FillFileBuffer;
    s->file.pub.skip_input_data = SkipFileData;
    s->file.pub.resync_to_restart = jpeg_resync_to_restart;
    s->file.pub.term_source = TermFileSource;
    s->file.fd = fd;
    s->file.buffer = s->fileBuffer.data();
    s->file.capacity = s->fileBuffer.size();
    s->file.firstBytes = firstSize;
    s->file.started = false;
    Create(memoryLimit, nullptr, 0, true);
}

void JpegDecoder::Create(size_t memoryLimit, const unsigned char *data, size_t size, bool fromFile)
{
    State *s = state_.get();
    InitErrorManager(s->err);
    s->cinfo.err = &s->err.pub;
    if (setjmp(s->err.jump)) {
        // The destructor does not run when a constructor throws.
        if (s->created)
            jpeg_destroy_decompress(&s->cinfo);
        s->created = false;
        ThrowJpegError(s->err);
    }
    jpeg_create_decompress(&s->cinfo);
    s->created = true;
    // The Exif segment says how the picture is to be turned upright.
    jpeg_save_markers(&s->cinfo, JPEG_APP0 + 1, 0xFFFF);
    // A colour profile says how the web copy is brought into sRGB.
    jpeg_save_markers(&s->cinfo, JPEG_APP0 + 2, 0xFFFF);
    // No backing store: a picture that needs more than the limit fails.
    s->cinfo.mem->max_memory_to_use = static_cast<long>(memoryLimit);
    if (fromFile)
        s->cinfo.src = &s->file.pub;
    else
        jpeg_mem_src(&s->cinfo, data, static_cast<unsigned long>(size));
}

JpegDecoder::~JpegDecoder()
{
    if (state_->created)
        jpeg_destroy_decompress(&state_->cinfo);
}

JpegHeader JpegDecoder::ReadHeader()
{
    State *s = state_.get();
    // The colour profile is gathered by the library (which fails only for
    // want of memory, before handing anything over) while nothing with a
    // destructor exists here.
    JOCTET *icc = nullptr;
    unsigned int iccLength = 0;
    if (setjmp(s->err.jump))
        ThrowJpegError(s->err);
    jpeg_read_header(&s->cinfo, TRUE);
    const bool progressive = jpeg_has_multiple_scans(&s->cinfo);
    // A profile with missing or repeated segments is only warned about and
    // left out.
    if (!jpeg_read_icc_profile(&s->cinfo, &icc, &iccLength))
        icc = nullptr;

    JpegHeader header;
    header.Width = static_cast<int32_t>(s->cinfo.image_width);
    header.Height = static_cast<int32_t>(s->cinfo.image_height);
    header.Components = s->cinfo.num_components;
    header.Progressive = progressive;
    static const unsigned char kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    for (jpeg_saved_marker_ptr m = s->cinfo.marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= sizeof kExif &&
            std::equal(kExif, kExif + sizeof kExif, m->data)) {
            header.Orient = ExifOrientation(m->data, m->data_length);
            break;
        }
    }
    if (icc) {
        std::unique_ptr<JOCTET, void (*)(void *)> owned(icc, std::free);
        header.IccProfile.assign(icc, icc + iccLength);
    }
    return header;
}

void JpegDecoder::LimitMemory(size_t memoryLimit)
{
    if (state_->created)
        state_->cinfo.mem->max_memory_to_use = static_cast<long>(memoryLimit);
}

void JpegDecoder::Start(GrayOutput gray)
{
    State *s = state_.get();
    jpeg_decompress_struct &c = s->cinfo;
    c.scale_num = 1;
    c.scale_denom = 1;
    c.dct_method = JDCT_FLOAT;
    c.do_fancy_upsampling = TRUE;
    c.do_block_smoothing = TRUE;
    c.buffered_image = FALSE;
    if (c.num_components == 1 && gray == GrayOutput::Plain) {
        c.out_color_space = JCS_GRAYSCALE;
        c.quantize_colors = FALSE;
    } else if (c.num_components == 1) {
        c.out_color_space = JCS_GRAYSCALE;
        c.quantize_colors = TRUE;
        c.desired_number_of_colors = kGrayLevels;
        c.two_pass_quantize = FALSE;
        c.dither_mode = JDITHER_FS;
    } else {
        c.out_color_space = JCS_RGB;
        c.quantize_colors = FALSE;
    }
    unsigned long long blocks = 0;
    for (int i = 0; i < c.num_components; ++i)
        blocks += static_cast<unsigned long long>(c.comp_info[i].width_in_blocks) *
                  c.comp_info[i].height_in_blocks;
    s->scanLimit.pub = jpeg_progress_mgr{};
    s->scanLimit.pub.progress_monitor = CheckScans;
    s->scanLimit.budget = std::max(kMinBlockPasses, kPassesPerBlock * blocks);
    s->scanLimit.spent = 0;
    s->scanLimit.scansCounted = 0;
    c.progress = &s->scanLimit.pub;
    if (setjmp(s->err.jump)) {
        if (s->err.tooManyScans)
            throw JpegError(s->err.code, false, true);
        ThrowJpegError(s->err);
    }
    jpeg_start_decompress(&c);
}

bool JpegDecoder::Quantized() const
{
    return state_->cinfo.quantize_colors != FALSE;
}

const unsigned char *JpegDecoder::GrayLevels() const
{
    return state_->cinfo.colormap ? state_->cinfo.colormap[0] : nullptr;
}

void JpegDecoder::ReadRow(unsigned char *row)
{
    State *s = state_.get();
    if (setjmp(s->err.jump))
        ThrowJpegError(s->err);
    JSAMPROW rows[1] = {row};
    const JDIMENSION read = jpeg_read_scanlines(&s->cinfo, rows, 1);
    // A memory source never suspends, but a row that did not come must not
    // be taken for one that did.
    if (read != 1)
        ThrowJpegError(JERR_INPUT_EOF);
}

void JpegDecoder::SkipRows(uint32_t count)
{
    State *s = state_.get();
    const jpeg_decompress_struct &c = s->cinfo;
    // The rows the upsampler makes together: the largest vertical sampling
    // factor at full size.
    const uint32_t group = static_cast<uint32_t>(std::max(1, c.max_v_samp_factor));
    const uint32_t lead = std::min(count, (group - c.output_scanline % group) % group);
    if (lead > 0) {
        s->skippedRow.resize(static_cast<size_t>(c.output_width) *
                             static_cast<size_t>(c.output_components));
        for (uint32_t k = 0; k < lead; ++k)
            ReadRow(s->skippedRow.data());
    }
    if (count > lead)
        SkipScanlines(s->cinfo, s->err, count - lead);
}

uint32_t JpegDecoder::NextRow() const
{
    return state_->cinfo.output_scanline;
}

void JpegDecoder::Finish()
{
    State *s = state_.get();
    if (setjmp(s->err.jump))
        ThrowJpegError(s->err);
    jpeg_finish_decompress(&s->cinfo);
}

// ---------------------------------------------------------------- encoder

namespace {

// The encoder's output, in a buffer that is ours on every path. (libjpeg's
// own memory destination frees the buffers it outgrows but hands over the
// current one only when the stream is finished, so an encoding abandoned
// half-way leaves the caller holding a buffer that is already freed.)
struct MemoryDestination {
    jpeg_destination_mgr pub;
    unsigned char *buffer;
    size_t size; // allocated
};

constexpr size_t kFirstOutputBuffer = 16384;

extern "C" void InitDestination(j_compress_ptr cinfo)
{
    MemoryDestination *d = reinterpret_cast<MemoryDestination *>(cinfo->dest);
    if (!d->buffer) {
        d->buffer = static_cast<unsigned char *>(std::malloc(kFirstOutputBuffer));
        if (!d->buffer)
            ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
        d->size = kFirstOutputBuffer;
    }
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = d->size;
}

// Called when the buffer is full: double it.
extern "C" boolean EmptyDestination(j_compress_ptr cinfo)
{
    MemoryDestination *d = reinterpret_cast<MemoryDestination *>(cinfo->dest);
    const size_t size = d->size * 2;
    unsigned char *buffer = static_cast<unsigned char *>(std::realloc(d->buffer, size));
    if (!buffer)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    d->pub.next_output_byte = buffer + d->size;
    d->pub.free_in_buffer = size - d->size;
    d->buffer = buffer;
    d->size = size;
    return TRUE;
}

extern "C" void TermDestination(j_compress_ptr) {}

} // namespace

struct JpegEncoder::State {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    bool created = false;
    MemoryDestination destination{};
};

JpegEncoder::JpegEncoder() : state_(new State)
{
    State *s = state_.get();
    InitErrorManager(s->err);
    s->cinfo.err = &s->err.pub;
    if (setjmp(s->err.jump)) {
        if (s->created)
            jpeg_destroy_compress(&s->cinfo);
        s->created = false;
        ThrowJpegError(s->err);
    }
    jpeg_create_compress(&s->cinfo);
    s->created = true;
}

JpegEncoder::~JpegEncoder()
{
    if (state_->created)
        jpeg_destroy_compress(&state_->cinfo);
    std::free(state_->destination.buffer);
}

// The encoder's output buffer and the picture's size: plain fields, set
// before any libjpeg call of a Start.
void JpegEncoder::SetPicture(int32_t width, int32_t height)
{
    State &s = *state_;
    s.destination.pub.init_destination = InitDestination;
    s.destination.pub.empty_output_buffer = EmptyDestination;
    s.destination.pub.term_destination = TermDestination;
    s.cinfo.dest = &s.destination.pub;
    s.cinfo.image_width = static_cast<JDIMENSION>(width);
    s.cinfo.image_height = static_cast<JDIMENSION>(height);
}

void JpegEncoder::Start(int32_t width, int32_t height, bool progressive)
{
    State *s = state_.get();
    jpeg_compress_struct &c = s->cinfo;
    if (setjmp(s->err.jump))
        ThrowJpegError(s->err);
    SetPicture(width, height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    c.dct_method = JDCT_FLOAT;
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
}

namespace {

// Spectral selection only: every coefficient is coded once.
// clang-format off
const jpeg_scan_info kWebColourScans[] = {
    {3, {0, 1, 2, 0}, 0, 0, 0, 0},
    {1, {0, 0, 0, 0}, 1, 5, 0, 0},
    {1, {1, 0, 0, 0}, 1, 63, 0, 0},
    {1, {2, 0, 0, 0}, 1, 63, 0, 0},
    {1, {0, 0, 0, 0}, 6, 63, 0, 0},
};
// clang-format on
const jpeg_scan_info kWebGrayScans[] = {
    {1, {0, 0, 0, 0}, 0, 0, 0, 0},
    {1, {0, 0, 0, 0}, 1, 5, 0, 0},
    {1, {0, 0, 0, 0}, 6, 63, 0, 0},
};

} // namespace

void JpegEncoder::StartWeb(int32_t width, int32_t height, int components, int quality)
{
    State *s = state_.get();
    jpeg_compress_struct &c = s->cinfo;
    if (setjmp(s->err.jump))
        ThrowJpegError(s->err);
    SetPicture(width, height);
    const bool gray = components == 1;
    c.input_components = gray ? 1 : 3;
    c.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    // A progressive stream always gets Huffman tables made for it.
    c.optimize_coding = TRUE;
    c.scan_info = gray ? kWebGrayScans : kWebColourScans;
    c.num_scans = gray ? 3 : 5;
    jpeg_start_compress(&c, TRUE);
}

void JpegEncoder::WriteRow(const unsigned char *rgb)
{
    State *s = state_.get();
    if (setjmp(s->err.jump))
        ThrowJpegError(s->err);
    JSAMPROW rows[1] = {const_cast<JSAMPROW>(rgb)};
    jpeg_write_scanlines(&s->cinfo, rows, 1);
}

std::vector<unsigned char> JpegEncoder::Finish()
{
    State *s = state_.get();
    if (setjmp(s->err.jump))
        ThrowJpegError(s->err);
    jpeg_finish_compress(&s->cinfo);
    const MemoryDestination &d = s->destination;
    return std::vector<unsigned char>(d.buffer, d.buffer + (d.size - d.pub.free_in_buffer));
}

} // namespace pixelnook
