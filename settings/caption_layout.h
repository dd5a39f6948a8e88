// The caption-mark preview's arithmetic: the board that shows the photo's shape within
// 150 x 200 pixels, the marker where the caption will sit, and the distances a dropped
// marker stands for.
//
// Every step is double precision and each step's result is kept as a double; a size or
// position handed to a control is the integer part (cut toward zero, signed 32-bit). A
// step without a finite result (a division by zero) counts as 0, so a photo size that
// reads as 0 gives a 0-high board and a 0 x 0 marker at the board's top-left corner.
// Sizes are what a control holds: a control takes no negative size, so a negative photo
// or font size ends in a board or marker 0 pixels wide or high, not in a negative one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace settings {

// What a layout reads: the four edits' texts and the font size in points.
struct CaptionLayoutInput {
    std::string photoWidth;
    std::string photoHeight;
    std::string leftDistance;
    std::string bottomDistance;
    int32_t fontSize = 0;
};

// Board size, the preview scale (preview pixels per photo pixel, 预览比例) and the
// marker's place and size relative to the board.
struct CaptionLayout {
    int32_t boardWidth = 0;
    int32_t boardHeight = 0;
    double scale = 0;
    int32_t markerLeft = 0;
    int32_t markerTop = 0;
    int32_t markerWidth = 0;
    int32_t markerHeight = 0;
    bool operator==(const CaptionLayout&) const = default;
};

// The preview for the photo size, distances and font size. The board is 150 wide with
// the photo's height to width, unless that height exceeds 200: then 200 high and
// narrower. The marker is font size x scale high and ten times that wide; its top is where
// a caption of the font's height ends `bottomDistance` above the photo's bottom edge.
CaptionLayout layoutCaptionPreview(const CaptionLayoutInput& input);

// True when both photo-size texts read as numbers away from 0 (beyond 1e-7): only then do
// the lost-focus handlers lay the preview out again.
bool photoSizeAllowsLayout(std::string_view widthText, std::string_view heightText);

// The largest whole number not above x, except that a positive x whose fraction exceeds
// 0.999999999999 counts as the next one (60.9999999999995 gives 61): divisions by the
// preview scale land a hair below whole numbers. Negative values go down (-3.5 gives
// -4). Saturates to the signed 32-bit range; a value that is not finite gives 0.
int32_t wholeNumberFloor(double x);

// The distances from the photo's left and bottom edges that a marker at (markerLeft,
// markerTop), markerHeight high, on a board boardHeight high stands for at `scale`.
struct CaptionDistances {
    int32_t left = 0;
    int32_t bottom = 0;
    bool operator==(const CaptionDistances&) const = default;
};
CaptionDistances distancesOfMarker(int32_t markerLeft, int32_t markerTop, int32_t markerHeight,
                                   int32_t boardHeight, double scale);

// The part of a marker that lies on the board: its place and size in board pixels, and
// where it begins inside the marker. Width and height are 0 when no part lies on the
// board. A tiny photo size with a common font makes the marker thousands of times the
// board's size; only this part is ever drawn, so no picture is larger than the board.
struct MarkerPiece {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t offsetX = 0;  // the piece's left edge, counted from the marker's
    int32_t offsetY = 0;
    bool operator==(const MarkerPiece&) const = default;
};
MarkerPiece markerPieceOnBoard(int32_t markerLeft, int32_t markerTop, int32_t markerWidth, int32_t markerHeight,
                               int32_t boardWidth, int32_t boardHeight);

}  // namespace settings
