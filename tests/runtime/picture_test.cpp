// Pictures: JPEG decoding through libjpeg (colour, grey, truncated, garbage) and the
// picture box's fitting and empty picture.
#include <QLabel>

#include <cstdio>
#include <random>

#include <jpeglib.h>

#include "platform/ui/image_decoder.h"
#include "runtime_test_support.h"

using namespace runtime_test;

namespace {

// A JPEG made with libjpeg's compressor: width x height, `components` 3 (a red left half,
// a blue right half) or 1 (mid grey).
std::string makeJpeg(int width, int height, int components) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(size_t(width) * components);
    for (int x = 0; x < width; ++x) {
        if (components == 1) {
            row[x] = 128;
        } else {
            const bool left = x < width / 2;
            row[x * 3] = left ? 255 : 0;
            row[x * 3 + 1] = 0;
            row[x * 3 + 2] = left ? 0 : 255;
        }
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    std::free(buffer);
    return out;
}

TEST(JpegDecoding, ColourAndGreyBecome24BitRgb) {
    const QImage colour = ui::decodeJpeg(makeJpeg(64, 32, 3));
    ASSERT_FALSE(colour.isNull());
    EXPECT_EQ(colour.format(), QImage::Format_RGB888);
    EXPECT_EQ(colour.size(), QSize(64, 32));
    const QColor red = colour.pixelColor(8, 16), blue = colour.pixelColor(56, 16);
    EXPECT_GT(red.red(), 230);
    EXPECT_LT(red.blue(), 30);
    EXPECT_GT(blue.blue(), 230);
    EXPECT_LT(blue.red(), 30);

    const QImage grey = ui::decodeJpeg(makeJpeg(16, 16, 1));
    ASSERT_FALSE(grey.isNull());
    EXPECT_EQ(grey.format(), QImage::Format_RGB888);
    const uchar* px = grey.constScanLine(8) + 8 * 3;
    EXPECT_EQ(px[0], px[1]);
    EXPECT_EQ(px[1], px[2]);
    EXPECT_NEAR(px[0], 128, 3);
}

TEST(JpegDecoding, DamagedBytesNeverCrash) {
    const std::string whole = makeJpeg(64, 64, 3);
    // Cut in the middle of the picture data (after the start-of-scan marker): the header
    // was readable, so a picture (partly grey) comes back.
    const size_t scan = whole.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    const QImage cut = ui::decodeJpeg(whole.substr(0, scan + (whole.size() - scan) / 2));
    EXPECT_EQ(cut.size(), QSize(64, 64));
    // Cut inside the header: nothing.
    EXPECT_TRUE(ui::decodeJpeg(whole.substr(0, 20)).isNull());
    std::mt19937 random(7);
    std::string garbage(4096, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    EXPECT_TRUE(ui::decodeImage(garbage).isNull());
    garbage[0] = char(0xFF);
    garbage[1] = char(0xD8);  // looks like a JPEG, is none
    EXPECT_TRUE(ui::decodeImage(garbage).isNull());
    EXPECT_TRUE(ui::decodeImage("").isNull());
}

class PictureBoxTest : public RuntimeTest {};

TEST_F(PictureBoxTest, FitsKeepingAspectAndShowsNothingForBadBytes) {
    ui::Form f;
    ASSERT_TRUE(f.load(form("测试窗口.ui")));
    ui::PictureBox box = f.picture("图片框1");  // 120 x 120
    ASSERT_TRUE(box.setPicture(makeJpeg(200, 100, 3)));
    EXPECT_TRUE(box.hasPicture());
    const QPixmap shown = static_cast<QLabel*>(box.widget())->pixmap();
    EXPECT_EQ(shown.size(), QSize(120, 60));
    EXPECT_FALSE(box.setPicture("not a picture"));
    EXPECT_FALSE(box.hasPicture());
    EXPECT_TRUE(static_cast<QLabel*>(box.widget())->pixmap().isNull());
    EXPECT_FALSE(box.setPictureFile("/no/such/photo.jpg"));
    EXPECT_FALSE(box.setAnimation("/no/such/picture.gif"));

    ui::DrawingBoard board = f.board("画板_结果照片");
    ASSERT_TRUE(board.setPicture(makeJpeg(150, 200, 3)));
    board.setHeight(80);  // the background follows the board
    ui::processPendingEvents();
    auto* background = board.widget()->findChild<QLabel*>(QStringLiteral("qt_lookup_board_background"));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->size(), QSize(150, 80));
    EXPECT_EQ(background->pixmap().size(), QSize(150, 80));
}

}  // namespace
