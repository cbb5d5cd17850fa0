#include "platform/Jpeg.h"

#include <QFile>

#include <jpeglib.h>
#include <csetjmp>
#include <cstdio>

namespace qm {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return; jump back
// to the decoder instead of letting the library end the process.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr) {}  // warnings of a slightly damaged file are not shown

// Everything that must survive a longjmp lives outside the frame that calls setjmp.
bool Decode(const QByteArray& data, QImage& out, jpeg_decompress_struct& cinfo, ErrorManager& err) {
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.output_message = OnMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int w = int(cinfo.output_width), h = int(cinfo.output_height);
    const int comps = cinfo.output_components;
    if (w <= 0 || h <= 0 || w > 20000 || h > 20000 || (comps != 3 && comps != 4)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out = QImage(w, h, QImage::Format_RGB32);
    if (out.isNull()) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // The row buffer belongs to the library's pool, freed by jpeg_destroy even after a jump.
    JSAMPARRAY rows =
        (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, JDIMENSION(w * comps), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, rows, 1);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        const unsigned char* src = rows[0];
        for (int x = 0; x < w; ++x, src += comps) {
            if (comps == 3) {
                dst[x] = qRgb(src[0], src[1], src[2]);
            } else {
                // Adobe writes CMYK inverted: the stored values are 255 - ink.
                const int k = src[3];
                dst[x] = qRgb(src[0] * k / 255, src[1] * k / 255, src[2] * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (data.size() < 4) return {};
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    QImage img;
    if (!Decode(data, img, cinfo, err)) return {};
    return img;
}

QImage LoadJpegFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return DecodeJpeg(f.readAll());
}

}  // namespace qm
