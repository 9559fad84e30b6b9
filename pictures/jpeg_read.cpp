// Reading JPEG files through libjpeg, from the toolbox's byte source.
//
// libjpeg reports a fatal error by calling error_exit, which must not return: ours jumps back
// (longjmp) to the entry point that called into the library. Every such entry point therefore
// holds no object with a destructor between its setjmp and its calls into libjpeg, and after a
// jump it only marks the decoder failed; the decompressor itself is destroyed with the decoder,
// whatever state the jump left it in.
#include "pictures/jpeg_read.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "pictures/exif.h"
#include "platform/pixels.h"

namespace jpeg {
namespace {

constexpr size_t kBufferBytes = 8192;
// A progressive file keeps every coefficient of the picture until its last scan: 2 bytes per
// sample, at most 4 samples per pixel. Our largest picture needs about 265 MB of them; a
// header that asks for more than this (it cannot, within the size limit, but a library's
// rounding is not ours to trust) is refused rather than served.
constexpr long kMaxMemory = static_cast<long>(pictures::kMaxPixels * 4 * sizeof(JCOEF)) + (32L << 20);
// Encoders write a dozen scans or so; a file of hundreds makes the decoder pass over the
// whole picture again and again for nothing.
constexpr int kMaxScans = 500;

struct Errors {
    jpeg_error_mgr manager;  // first: libjpeg hands back a pointer to it
    jmp_buf jump;
};

struct Source {
    jpeg_source_mgr manager;  // first, as above
    pictures::ByteSource* bytes = nullptr;
    bool ended = false;  // the file ran out and an end marker was made up
    JOCTET buffer[kBufferBytes];
};

[[noreturn]] void ErrorExit(j_common_ptr info) { longjmp(reinterpret_cast<Errors*>(info->err)->jump, 1); }

// Warnings about damaged coded data refuse the file: libjpeg would go on and paint grey or
// smeared blocks. Other warnings (stray bytes between markers, an unknown JFIF version) and
// trace messages are kept quiet.
void EmitMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    switch (info->err->msg_code) {
        case JWRN_HIT_MARKER:
        case JWRN_JPEG_EOF:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_BOGUS_PROGRESSION:
            ErrorExit(info);
        default:
            break;
    }
}

void OutputMessage(j_common_ptr) {}

void ProgressMonitor(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) ErrorExit(info);
}

void InitSource(j_decompress_ptr) {}

// At the end of the file, an end-of-image marker lets libjpeg stop where the data stops, as
// its own file source does; that the file ended early is remembered, and a second request past
// the end fails at once.
boolean FillInputBuffer(j_decompress_ptr info) {
    Source& source = *reinterpret_cast<Source*>(info->src);
    if (source.ended) ERREXIT(info, JERR_INPUT_EOF);
    size_t got = 0;
    if (!source.bytes->read(source.buffer, kBufferBytes, got) || got == 0) {
        source.ended = true;
        source.buffer[0] = 0xFF;
        source.buffer[1] = JPEG_EOI;
        got = 2;
    }
    source.manager.next_input_byte = source.buffer;
    source.manager.bytes_in_buffer = got;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    jpeg_source_mgr& manager = *info->src;
    while (count > static_cast<long>(manager.bytes_in_buffer)) {
        count -= static_cast<long>(manager.bytes_in_buffer);
        FillInputBuffer(info);
    }
    if (count <= 0) return;
    manager.next_input_byte += count;
    manager.bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// Adobe's encoders store CMYK inverted (0 is full ink), and so does libjpeg: with the stored
// values, red = C * K / 255 and so on.
void CmykToBgr(const JSAMPLE* cmyk, uint8_t* bgr, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned k = cmyk[3];
        bgr[0] = static_cast<uint8_t>((cmyk[2] * k + 127) / 255);
        bgr[1] = static_cast<uint8_t>((cmyk[1] * k + 127) / 255);
        bgr[2] = static_cast<uint8_t>((cmyk[0] * k + 127) / 255);
    }
}

class JpegDecoder final : public pictures::Decoder {
public:
    explicit JpegDecoder(pictures::ByteSource& bytes);
    ~JpegDecoder() override { jpeg_destroy_decompress(&info_); }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    bool readHeader(pictures::Header& header) override;
    void reduceFor(int32_t width, int32_t height, pictures::Header& header) override;
    bool decode(pictures::RowPlacer& placer) override;

private:
    bool refuse() {
        failed_ = true;
        return false;
    }
    bool chooseColours();
    int orientation() const;
    void readRows(pictures::RowPlacer& placer);

    jpeg_decompress_struct info_{};
    Errors errors_{};
    Source source_{};
    jpeg_progress_mgr progress_{};
    bool failed_ = false;
};

JpegDecoder::JpegDecoder(pictures::ByteSource& bytes) {
    info_.err = jpeg_std_error(&errors_.manager);
    errors_.manager.error_exit = ErrorExit;
    errors_.manager.emit_message = EmitMessage;
    errors_.manager.output_message = OutputMessage;
    if (setjmp(errors_.jump) != 0) {
        failed_ = true;
        return;
    }
    jpeg_create_decompress(&info_);
    info_.mem->max_memory_to_use = kMaxMemory;
    source_.bytes = &bytes;
    source_.manager.init_source = InitSource;
    source_.manager.fill_input_buffer = FillInputBuffer;
    source_.manager.skip_input_data = SkipInputData;
    source_.manager.resync_to_restart = jpeg_resync_to_restart;
    source_.manager.term_source = TermSource;
    info_.src = &source_.manager;
    progress_.progress_monitor = ProgressMonitor;
    info_.progress = &progress_;
}

// Rows come out as blue, green, red, ready for the placer, except from four-colour files,
// which come out as stored and are turned into BGR here.
bool JpegDecoder::chooseColours() {
    switch (info_.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            info_.out_color_space = JCS_EXT_BGR;
            return true;
        case JCS_CMYK:
        case JCS_YCCK:
            info_.out_color_space = JCS_CMYK;
            return true;
        default:
            return false;
    }
}

// The first EXIF block decides; a photo without one stands as stored.
int JpegDecoder::orientation() const {
    for (jpeg_saved_marker_ptr marker = info_.marker_list; marker != nullptr; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1) continue;
        const int found = pictures::ExifOrientation(marker->data, marker->data_length);
        if (found != 0) return found;
    }
    return 1;
}

bool JpegDecoder::readHeader(pictures::Header& header) {
    if (failed_) return false;
    if (setjmp(errors_.jump) != 0) return refuse();
    jpeg_save_markers(&info_, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&info_, TRUE);
    // Checked here, before jpeg_start_decompress allocates for the whole picture.
    if (!pictures::SizeAllowed(info_.image_width, info_.image_height) || !chooseColours()) return refuse();
    header.width = static_cast<int32_t>(info_.image_width);
    header.height = static_cast<int32_t>(info_.image_height);
    header.orientation = orientation();
    return true;
}

// libjpeg scales by n/8 inside its inverse DCT, so a photo's preview costs a fraction of the
// whole picture. The smallest n whose upright picture still covers the preview is taken.
void JpegDecoder::reduceFor(int32_t width, int32_t height, pictures::Header& header) {
    if (failed_) return;
    if (setjmp(errors_.jump) != 0) {
        failed_ = true;
        return;
    }
    const int64_t wanted = header.transposed() ? height : width;
    const int64_t wantedRows = header.transposed() ? width : height;
    unsigned eighths = 1;
    for (; eighths < 8; ++eighths) {
        const int64_t scaledWidth = (int64_t{info_.image_width} * eighths + 7) / 8;
        const int64_t scaledHeight = (int64_t{info_.image_height} * eighths + 7) / 8;
        if (scaledWidth >= wanted && scaledHeight >= wantedRows) break;
    }
    info_.scale_num = eighths;
    info_.scale_denom = 8;
    // A preview is small and brief: the faster transform and plain upsampling do not show.
    info_.dct_method = JDCT_IFAST;
    info_.do_fancy_upsampling = FALSE;
    jpeg_calc_output_dimensions(&info_);
    header.width = static_cast<int32_t>(info_.output_width);
    header.height = static_cast<int32_t>(info_.output_height);
}

// One row at a time, so a preview holds only its own pixels (and, for a progressive file,
// the coefficients libjpeg must keep anyway).
void JpegDecoder::readRows(pictures::RowPlacer& placer) {
    const JDIMENSION width = info_.output_width;
    const bool cmyk = info_.out_color_space == JCS_CMYK;
    auto common = reinterpret_cast<j_common_ptr>(&info_);
    JSAMPROW row = (*info_.mem->alloc_sarray)(common, JPOOL_IMAGE, width * info_.output_components, 1)[0];
    JSAMPROW bgr = cmyk ? (*info_.mem->alloc_sarray)(common, JPOOL_IMAGE, width * 3, 1)[0] : row;
    const PixelView* direct = cmyk ? nullptr : placer.direct();
    while (info_.output_scanline < info_.output_height) {
        const auto y = static_cast<int32_t>(info_.output_scanline);
        JSAMPROW into = direct != nullptr ? RowPointer(*direct, y) : row;
        jpeg_read_scanlines(&info_, &into, 1);
        if (direct != nullptr || !placer.wants(y)) continue;
        if (cmyk) CmykToBgr(row, bgr, width);
        placer.put(y, bgr);
    }
}

bool JpegDecoder::decode(pictures::RowPlacer& placer) {
    if (failed_) return false;
    if (setjmp(errors_.jump) != 0) return refuse();
    jpeg_start_decompress(&info_);
    readRows(placer);
    // Reads on to the end marker: a file cut after its last row is still cut.
    jpeg_finish_decompress(&info_);
    return !source_.ended;
}

}  // namespace

std::unique_ptr<pictures::Decoder> MakeDecoder(pictures::ByteSource& source) {
    return std::make_unique<JpegDecoder>(source);
}

}  // namespace jpeg
