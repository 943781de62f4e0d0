#pragma once
// Reads a JPEG file back through libjpeg: its header facts, its quantisation
// tables and its pixels, and the tables a given quality would produce.
#include <QByteArray>
#include <QColor>
#include <QImage>

#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

struct JpegFacts {
    bool decoded = false;
    std::string error;
    int width = 0, height = 0, components = 0;
    bool progressive = true;
    J_COLOR_SPACE colorSpace = JCS_UNKNOWN;
    std::array<std::array<unsigned, DCTSIZE2>, 2> quant{}; // luminance, chrominance
    QImage pixels;                                         // RGB888
};

namespace jpeg_probe {

struct ErrorJump {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

inline void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorJump*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Only plain C objects live between setjmp and the calls that may jump; the
// pixels go to a malloc'd buffer that the caller frees.
inline bool decode(const QByteArray& bytes, JpegFacts& facts, unsigned char** rgb) {
    jpeg_decompress_struct cinfo;
    ErrorJump err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    if (setjmp(err.jump)) {
        facts.error = err.message;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    facts.width = static_cast<int>(cinfo.image_width);
    facts.height = static_cast<int>(cinfo.image_height);
    facts.components = cinfo.num_components;
    facts.progressive = cinfo.progressive_mode != 0;
    facts.colorSpace = cinfo.jpeg_color_space;
    for (int t = 0; t < 2; ++t)
        if (cinfo.quant_tbl_ptrs[t] != nullptr)
            for (int k = 0; k < DCTSIZE2; ++k)
                facts.quant[t][k] = cinfo.quant_tbl_ptrs[t]->quantval[k];
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const std::size_t stride = std::size_t(cinfo.output_width) * 3;
    *rgb = static_cast<unsigned char*>(std::malloc(stride * cinfo.output_height));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = *rgb + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

inline JpegFacts read(const QByteArray& bytes) {
    JpegFacts facts;
    unsigned char* rgb = nullptr;
    facts.decoded = decode(bytes, facts, &rgb);
    if (facts.decoded)
        facts.pixels =
            QImage(rgb, facts.width, facts.height, facts.width * 3, QImage::Format_RGB888).copy();
    std::free(rgb);
    return facts;
}

// The tables that jpeg_set_quality(quality, TRUE) gives an encoder.
inline std::array<std::array<unsigned, DCTSIZE2>, 2> qualityTables(int quality) {
    std::array<std::array<unsigned, DCTSIZE2>, 2> tables{};
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    cinfo.in_color_space = JCS_RGB;
    cinfo.input_components = 3;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    for (int t = 0; t < 2; ++t)
        for (int k = 0; k < DCTSIZE2; ++k)
            tables[t][k] = cinfo.quant_tbl_ptrs[t]->quantval[k];
    jpeg_destroy_compress(&cinfo);
    return tables;
}

// The start-of-frame markers present in the file: 0xC0 baseline, 0xC1
// extended sequential, 0xC2 progressive.
inline bool hasFrameMarker(const QByteArray& bytes, unsigned char marker) {
    const char pattern[] = {static_cast<char>(0xFF), static_cast<char>(marker)};
    return bytes.contains(QByteArray(pattern, 2));
}

// Within the loss of a quality-90 JPEG on flat colour (per channel).
inline bool closeTo(QColor actual, QColor expected, int tolerance = 12) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

} // namespace jpeg_probe
