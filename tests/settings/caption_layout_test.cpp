// The caption-mark preview: board and marker for a photo size, the zero test of the
// lost-focus handlers, the floor rule and the distances a dropped marker stands for.
#include "settings/caption_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

using settings::CaptionLayout;
using settings::CaptionLayoutInput;

struct LayoutCase {
    CaptionLayoutInput input;
    CaptionLayout expected;
};

TEST(CaptionPreview, WorkedLayoutsAndSizesThatReadAsZero) {
    const LayoutCase cases[] = {
        {{"300", "400", "20", "20", 20}, {150, 200, 0.5, 10, 180, 100, 10}},
        // 210 high at 150 wide: capped at 200, the width recomputed.
        {{"295", "413", "20", "20", 20}, {142, 200, 200.0 / 413, 9, 180, 90, 9}},
        {{"400", "300", "20", "20", 20}, {150, 112, 112.0 / 300, 7, 97, 70, 7}},
        // A division by zero counts as 0: a 0-high board, the marker 0 x 0 in its corner.
        {{"300", "0", "20", "20", 20}, {150, 0, 0, 0, 0, 0, 0}},
        {{"", "400", "20", "20", 20}, {150, 0, 0, 0, 0, 0, 0}},
        {{"0", "0", "20", "20", 20}, {150, 0, 0, 0, 0, 0, 0}},
        // Distances that are no numbers count as 0; nothing is bounded.
        {{"300", "400", "x", "", 20}, {150, 200, 0.5, 0, 190, 100, 10}},
        {{"300", "400", "-40", "500", 20}, {150, 200, 0.5, -20, -60, 100, 10}},
        // A board or marker cannot take a negative size.
        {{"-300", "400", "20", "20", 20}, {150, 0, 0, 0, 0, 0, 0}},
        {{"300", "400", "20", "20", -20}, {150, 200, 0.5, 10, 200, 0, 0}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.input.photoWidth + " x " + c.input.photoHeight + ", " + c.input.leftDistance + ", " +
                     c.input.bottomDistance + ", " + std::to_string(c.input.fontSize));
        const CaptionLayout got = settings::layoutCaptionPreview(c.input);
        EXPECT_EQ(got.boardWidth, c.expected.boardWidth);
        EXPECT_EQ(got.boardHeight, c.expected.boardHeight);
        EXPECT_DOUBLE_EQ(got.scale, c.expected.scale);
        EXPECT_EQ(got.markerLeft, c.expected.markerLeft);
        EXPECT_EQ(got.markerTop, c.expected.markerTop);
        EXPECT_EQ(got.markerWidth, c.expected.markerWidth);
        EXPECT_EQ(got.markerHeight, c.expected.markerHeight);
    }
}

TEST(CaptionPreview, LostFocusLaysOutOnlyForSizesAwayFromZero) {
    EXPECT_TRUE(settings::photoSizeAllowsLayout("300", "400"));
    EXPECT_TRUE(settings::photoSizeAllowsLayout("-300", "0.0000002"));
    EXPECT_FALSE(settings::photoSizeAllowsLayout("0", "400"));
    EXPECT_FALSE(settings::photoSizeAllowsLayout("300", ""));
    EXPECT_FALSE(settings::photoSizeAllowsLayout("abc", "400"));
    EXPECT_FALSE(settings::photoSizeAllowsLayout("0.0000001", "400"));
    EXPECT_FALSE(settings::photoSizeAllowsLayout("300", "-0.00000005"));
}

TEST(CaptionPreview, WholeNumberFloor) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double x;
        int32_t expected;
    } cases[] = {
        {60.9999999999995, 61},  // a hair below a whole number counts as it
        {60.99999999999, 60},    // ... but only within 1e-12
        {18.585, 18},
        {22.715, 22},
        {5.0, 5},
        {0.0, 0},
        {-3.5, -4},
        {-2.9999999999999, -3},  // negative values always go down
        {-0.0000001, -1},
        {3e9, INT32_MAX},
        {-3e9, INT32_MIN},
        {inf, 0},
        {-inf, 0},
        {std::nan(""), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(settings::wholeNumberFloor(c.x), c.expected);
    }
}

TEST(CaptionPreview, DroppedMarkerGivesTheDistances) {
    // The worked drag: scale 0.5, board 200 high, a 10-high marker at 30, 150.
    EXPECT_EQ(settings::distancesOfMarker(30, 150, 10, 200, 0.5), (settings::CaptionDistances{60, 80}));
    // A click without a move on the 295 x 413 layout rewrites 20 and 20 as 18 and 22.
    const CaptionLayout narrow = settings::layoutCaptionPreview({"295", "413", "20", "20", 20});
    EXPECT_EQ(settings::distancesOfMarker(narrow.markerLeft, narrow.markerTop, narrow.markerHeight,
                                          narrow.boardHeight, narrow.scale),
              (settings::CaptionDistances{18, 22}));
    // The 300 x 400 layout comes back as it was laid out.
    const CaptionLayout even = settings::layoutCaptionPreview({"300", "400", "20", "20", 20});
    EXPECT_EQ(settings::distancesOfMarker(even.markerLeft, even.markerTop, even.markerHeight, even.boardHeight,
                                          even.scale),
              (settings::CaptionDistances{20, 20}));
    // Dragged out past the left and bottom edges: negative distances.
    EXPECT_EQ(settings::distancesOfMarker(-7, 195, 10, 200, 0.5), (settings::CaptionDistances{-14, -10}));
    // After a layout without a finite scale the distances read 0.
    EXPECT_EQ(settings::distancesOfMarker(30, 150, 10, 200, 0.0), (settings::CaptionDistances{0, 0}));
    EXPECT_EQ(settings::distancesOfMarker(0, 0, 0, 0, 0.0), (settings::CaptionDistances{0, 0}));
}

TEST(CaptionPreview, MarkerPieceOnTheBoard) {
    using settings::MarkerPiece;
    using settings::markerPieceOnBoard;
    // Wholly on the board: the whole marker.
    EXPECT_EQ(markerPieceOnBoard(10, 180, 100, 10, 150, 200), (MarkerPiece{10, 180, 100, 10, 0, 0}));
    // Over the right and bottom edges, and over the left and top ones.
    EXPECT_EQ(markerPieceOnBoard(100, 195, 100, 10, 150, 200), (MarkerPiece{100, 195, 50, 5, 0, 0}));
    EXPECT_EQ(markerPieceOnBoard(-20, -60, 100, 70, 150, 200), (MarkerPiece{0, 0, 80, 10, 20, 60}));
    // Far larger than the board on every side: the board.
    EXPECT_EQ(markerPieceOnBoard(-13350, -13350, 135000, 13500, 150, 150), (MarkerPiece{0, 0, 150, 150, 13350, 13350}));
    EXPECT_EQ(markerPieceOnBoard(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 150, 200), (MarkerPiece{}));
    EXPECT_EQ(markerPieceOnBoard(-5, -5, INT_MAX, INT_MAX, 150, 200), (MarkerPiece{0, 0, 150, 200, 5, 5}));
    // Off the board, touching its edge, or of no size: nothing.
    EXPECT_EQ(markerPieceOnBoard(150, 0, 10, 10, 150, 200), (MarkerPiece{}));
    EXPECT_EQ(markerPieceOnBoard(-10, 0, 10, 10, 150, 200), (MarkerPiece{}));
    EXPECT_EQ(markerPieceOnBoard(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 150, 200), (MarkerPiece{}));
    EXPECT_EQ(markerPieceOnBoard(10, 10, 0, 10, 150, 200), (MarkerPiece{}));
    EXPECT_EQ(markerPieceOnBoard(10, 10, 10, 10, 150, 0), (MarkerPiece{}));
}

}  // namespace
