// The handlers of page "基本设置" for the photo and video sizes and the caption mark: the
// photo-size presets, the aspect-ratio radios, the caption preview with its draggable
// marker, and the caption's font and colours.
//
// They belong to 设置程序窗口 and work on its form and the program's configuration
// variables (globals.h); the window binds them with bind() before its form loads, calls
// prepare() when it is created and has the preview laid out from the configuration with
// layOutFromConfiguration() while reading it. Nothing here writes quillmar.ini: "确定" saves what the edits and variables
// hold.
#pragma once

#include <QImage>

#include "platform/ui/dialogs.h"
#include "platform/ui/form.h"
#include "settings/caption_layout.h"
#include "settings/photo_size.h"

namespace settings {

class PhotoPage {
public:
    explicit PhotoPage(ui::Form& form) : form_(form) {}
    PhotoPage(const PhotoPage&) = delete;
    PhotoPage& operator=(const PhotoPage&) = delete;

    // Binds the handlers below to their controls' events.
    void bind();

    // The start-up layout: the steps of 刷新照片预览 on photo_width, photo_height, the two
    // distances and 照片字体大小 as read, before the edits are filled.
    void layOutFromConfiguration();
    // Fills 组合框_照片尺寸 with its six items (nothing selected) and has the marker's
    // picture, a row of digits, fill the marker whatever its size.
    void prepare();

    void 刷新照片预览();
    void 组合框_照片尺寸_列表项被选择();
    void 单选框_宽高比43_被单击();
    void 单选框_宽高比32_被单击();
    void 单选框_宽高比169_被单击();
    void 编辑框_视频预览区宽度_内容被改变();
    void 编辑框_生成照片的宽度_失去焦点();
    void 编辑框_生成照片的高度_失去焦点();
    void 编辑框_照片标记_距底端_失去焦点();
    void 编辑框_照片标记_距左边_失去焦点();
    void 图片框_数字_鼠标左键被按下();
    void 按钮_字体设置_被单击();

private:
    void applyLayout(const CaptionLayout& layout);
    // Puts the marker control over the piece of marker_ that lies on the board and draws
    // that piece of the digits.
    void placeMarker();
    void setPreviewHeight(AspectRatio ratio);
    void layOutUnlessSizeIsZero();

    ui::Form& form_;
    // The font dialog's state, kept for the run: the style bits the user chose come back
    // next time although quillmar.ini stores only size, colour and face.
    ui::dialogs::FontChoice captionFont_;
    // The marker as laid out (or dropped), board-relative; the control shows the piece of
    // it that lies on the board, and the distances are taken from the whole of it.
    CaptionLayout marker_;
    QImage digits_;
};

}  // namespace settings
