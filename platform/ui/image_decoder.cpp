// JPEG through libjpeg-turbo with an error handler that returns instead of exiting;
// everything else through Qt's image readers.
#include "platform/ui/image_decoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace ui {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void onError(j_common_ptr info) {
    // libjpeg's default handler calls exit(); a bad photo must not end the program.
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

void onMessage(j_common_ptr, int) {}  // warnings (a truncated file) stay quiet

}  // namespace

QImage decodeJpeg(const std::string& bytes) {
    if (bytes.size() < 4) return {};
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    // Declared before the setjmp: the image being filled must survive a longjmp.
    QImage image;
    volatile bool started = false;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        // Lines read before the error stay; the rest is left as filled in below.
        return started ? image : QImage();
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;  // grey and YCbCr alike come out as 24-bit RGB
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width == 0 || info.output_height == 0 ||
        info.output_width > 30000 || info.output_height > 30000) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    image.fill(Qt::gray);
    started = true;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

QImage decodeImage(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xD8)
        return decodeJpeg(bytes);
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
    return image;
}

}  // namespace ui
