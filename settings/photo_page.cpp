// Page "基本设置": photo-size presets, aspect ratios, caption preview, marker drag, font
// and colours (see photo_page.h).
#include "settings/photo_page.h"

#include <QFile>

#include <algorithm>
#include <limits>

#include "text/gbk_literal.h"
#include "text/gbk_text.h"
#include "platform/ui/application.h"
#include "platform/ui/image_decoder.h"
#include "settings/colour_choice.h"
#include "settings/globals.h"
#include "settings/marker_picture.h"

namespace settings {

namespace {

// -16777216, the pattern FF 00 00 00: no background colour at all.
constexpr const char* kTransparent = "-16777216";

int32_t colourOf(const std::string& text) { return gbk::integerPart(gbk::toNumber(text)); }

// A marker edge moved by a drag, kept in the signed 32-bit range.
int32_t movedBy(int32_t edge, int64_t by) {
    return static_cast<int32_t>(std::clamp<int64_t>(edge + by, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

void PhotoPage::bind() {
    form_.on("组合框_照片尺寸", ui::Event::ItemSelected, [this] { 组合框_照片尺寸_列表项被选择(); });
    form_.on("单选框_宽高比43", ui::Event::Clicked, [this] { 单选框_宽高比43_被单击(); });
    form_.on("单选框_宽高比32", ui::Event::Clicked, [this] { 单选框_宽高比32_被单击(); });
    form_.on("单选框_宽高比169", ui::Event::Clicked, [this] { 单选框_宽高比169_被单击(); });
    form_.on("编辑框_视频预览区宽度", ui::Event::ContentChanged, [this] { 编辑框_视频预览区宽度_内容被改变(); });
    form_.on("编辑框_生成照片的宽度", ui::Event::LostFocus, [this] { 编辑框_生成照片的宽度_失去焦点(); });
    form_.on("编辑框_生成照片的高度", ui::Event::LostFocus, [this] { 编辑框_生成照片的高度_失去焦点(); });
    form_.on("编辑框_照片标记_距底端", ui::Event::LostFocus, [this] { 编辑框_照片标记_距底端_失去焦点(); });
    form_.on("编辑框_照片标记_距左边", ui::Event::LostFocus, [this] { 编辑框_照片标记_距左边_失去焦点(); });
    form_.on("图片框_数字", ui::Event::LeftButtonPressed, [this] { 图片框_数字_鼠标左键被按下(); });
    form_.on("按钮_字体设置", ui::Event::Clicked, [this] { 按钮_字体设置_被单击(); });
}

void PhotoPage::prepare() {
    ui::ComboBox sizes = form_.combo("组合框_照片尺寸");
    sizes.clear();
    for (const std::string& caption : photoSizeCaptions()) sizes.addItem(caption);
    // The marker stands for about ten characters of the caption's height: the digits
    // stretch to it rather than keep their own shape.
    QFile digits(QStringLiteral(":/settings/pictures/digits.jpg"));
    if (digits.open(QIODevice::ReadOnly)) digits_ = ui::decodeImage(digits.readAll().toStdString());
    form_.picture("图片框_数字").setFit(ui::PictureBox::Fit::Stretch);
}

void PhotoPage::applyLayout(const CaptionLayout& layout) {
    ui::DrawingBoard board = form_.board("画板_结果照片");
    board.setWidth(layout.boardWidth);
    board.setHeight(layout.boardHeight);
    预览比例 = layout.scale;
    marker_ = layout;
    placeMarker();
}

void PhotoPage::placeMarker() {
    const MarkerPiece piece = markerPieceOnBoard(marker_.markerLeft, marker_.markerTop, marker_.markerWidth,
                                                 marker_.markerHeight, marker_.boardWidth, marker_.boardHeight);
    ui::PictureBox picture = form_.picture("图片框_数字");
    picture.setGeometry(piece.left, piece.top, piece.width, piece.height);
    picture.setPicture(markerPiecePicture(digits_, piece, marker_.markerWidth, marker_.markerHeight));
}

void PhotoPage::layOutFromConfiguration() {
    applyLayout(layoutCaptionPreview({photo_width, photo_height, 照片标记距左边距离, 照片标记距底端距离, 照片字体大小}));
}

void PhotoPage::刷新照片预览() {
    applyLayout(layoutCaptionPreview({form_.edit("编辑框_生成照片的宽度").text(), form_.edit("编辑框_生成照片的高度").text(),
                                      form_.edit("编辑框_照片标记_距左边").text(),
                                      form_.edit("编辑框_照片标记_距底端").text(), 照片字体大小}));
}

void PhotoPage::组合框_照片尺寸_列表项被选择() {
    const int item = form_.combo("组合框_照片尺寸").currentIndex();
    // The arrays exist from start-up on; an item they do not cover changes nothing.
    if (item < 0 || item >= static_cast<int>(预设宽度数组.size()) || item >= static_cast<int>(预设高度数组.size()))
        return;
    form_.edit("编辑框_生成照片的宽度").setText(预设宽度数组[item]);
    form_.edit("编辑框_生成照片的高度").setText(预设高度数组[item]);
    刷新照片预览();
}

void PhotoPage::setPreviewHeight(AspectRatio ratio) {
    const int32_t height = previewHeightFor(form_.edit("编辑框_视频预览区宽度").text(), ratio);
    form_.edit("编辑框_视频预览区高度").setText(gbk::toText(height));
}

void PhotoPage::单选框_宽高比43_被单击() { setPreviewHeight(kRatio4to3); }
void PhotoPage::单选框_宽高比32_被单击() { setPreviewHeight(kRatio3to2); }
void PhotoPage::单选框_宽高比169_被单击() { setPreviewHeight(kRatio16to9); }

void PhotoPage::编辑框_视频预览区宽度_内容被改变() {
    if (form_.radio("单选框_自定义宽高比").isChecked()) return;
    if (form_.radio("单选框_宽高比43").isChecked())
        setPreviewHeight(kRatio4to3);
    else if (form_.radio("单选框_宽高比32").isChecked())
        setPreviewHeight(kRatio3to2);
    else if (form_.radio("单选框_宽高比169").isChecked())
        setPreviewHeight(kRatio16to9);
}

void PhotoPage::layOutUnlessSizeIsZero() {
    if (photoSizeAllowsLayout(form_.edit("编辑框_生成照片的宽度").text(), form_.edit("编辑框_生成照片的高度").text()))
        刷新照片预览();
}

void PhotoPage::编辑框_生成照片的宽度_失去焦点() { layOutUnlessSizeIsZero(); }
void PhotoPage::编辑框_生成照片的高度_失去焦点() { layOutUnlessSizeIsZero(); }
void PhotoPage::编辑框_照片标记_距底端_失去焦点() { layOutUnlessSizeIsZero(); }
void PhotoPage::编辑框_照片标记_距左边_失去焦点() { layOutUnlessSizeIsZero(); }

void PhotoPage::图片框_数字_鼠标左键被按下() {
    ui::PictureBox marker = form_.picture("图片框_数字");
    const int pieceLeft = marker.left(), pieceTop = marker.top();
    ui::dragUntilButtonReleased(marker);
    // The piece shown moved as far as the whole marker did. The marker stays where it was
    // dropped, drawn again for what of it now lies on the board; the distances follow it.
    marker_.markerLeft = movedBy(marker_.markerLeft, int64_t{marker.left()} - pieceLeft);
    marker_.markerTop = movedBy(marker_.markerTop, int64_t{marker.top()} - pieceTop);
    placeMarker();
    const CaptionDistances d = distancesOfMarker(marker_.markerLeft, marker_.markerTop, marker_.markerHeight,
                                                 form_.board("画板_结果照片").height(), 预览比例);
    form_.edit("编辑框_照片标记_距左边").setText(gbk::toText(d.left));
    form_.edit("编辑框_照片标记_距底端").setText(gbk::toText(d.bottom));
}

void PhotoPage::按钮_字体设置_被单击() {
    captionFont_.pointSize = 照片字体大小;
    captionFont_.colour = static_cast<uint32_t>(colourOf(照片字体颜色));
    captionFont_.face = 照片字体名称;
    // Confirmed or cancelled, the component's values are taken: a cancel leaves the preset.
    ui::dialogs::chooseFont(captionFont_);
    照片字体大小 = captionFont_.pointSize;
    照片字体颜色 = gbk::toText(static_cast<int32_t>(captionFont_.colour));
    照片字体名称 = captionFont_.face;
    const ui::dialogs::Answer transparent = ui::dialogs::messageBox(
        codepage::gbkText("文本背景颜色是否用透明色？"), ui::dialogs::Buttons::YesNo);
    if (transparent == ui::dialogs::Answer::Yes)
        照片文本背景颜色 = kTransparent;
    else
        照片文本背景颜色 = gbk::toText(选取颜色(form_.window(), colourOf(照片文本背景颜色), 1));
    刷新照片预览();
}

}  // namespace settings
