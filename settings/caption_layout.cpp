// The caption-mark preview's arithmetic (see caption_layout.h).
#include "settings/caption_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/gbk_text.h"

namespace settings {

namespace {

// A step without a finite result counts as 0.
double finite(double x) { return std::isfinite(x) ? x : 0.0; }

// What a control keeps of a size it is given.
int32_t asSize(int32_t pixels) { return std::max(pixels, 0); }

}  // namespace

CaptionLayout layoutCaptionPreview(const CaptionLayoutInput& in) {
    CaptionLayout out;
    out.boardWidth = 150;
    double ph = gbk::toNumber(in.photoHeight);
    double pw = gbk::toNumber(in.photoWidth);
    out.boardHeight = asSize(gbk::integerPart(finite(finite(ph / pw) * 150)));
    if (out.boardHeight > 200) {
        out.boardHeight = 200;
        pw = gbk::toNumber(in.photoWidth);
        ph = gbk::toNumber(in.photoHeight);
        out.boardWidth = asSize(gbk::integerPart(finite(finite(pw / ph) * 200)));
    }
    ph = gbk::toNumber(in.photoHeight);
    out.scale = finite(out.boardHeight / ph);
    out.markerHeight = asSize(gbk::integerPart(finite(in.fontSize * out.scale)));
    out.markerWidth = asSize(gbk::integerPart(finite(out.markerHeight * 10.0)));
    out.markerLeft = gbk::integerPart(finite(gbk::toNumber(in.leftDistance) * out.scale));
    // The sum first, then the product, then the difference.
    const double sum = finite(gbk::toNumber(in.bottomDistance) + in.fontSize);
    const double product = finite(sum * out.scale);
    out.markerTop = gbk::integerPart(finite(out.boardHeight - product));
    return out;
}

bool photoSizeAllowsLayout(std::string_view widthText, std::string_view heightText) {
    if (!(std::fabs(gbk::toNumber(widthText)) > 0.0000001)) return false;
    return std::fabs(gbk::toNumber(heightText)) > 0.0000001;
}

int32_t wholeNumberFloor(double x) {
    if (!std::isfinite(x)) return 0;
    double whole = std::floor(x);
    if (x > 0 && x - whole > 0.999999999999) whole += 1;
    constexpr double lowest = std::numeric_limits<int32_t>::min();
    constexpr double highest = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(whole, lowest, highest));
}

CaptionDistances distancesOfMarker(int32_t markerLeft, int32_t markerTop, int32_t markerHeight,
                                   int32_t boardHeight, double scale) {
    CaptionDistances d;
    d.left = wholeNumberFloor(markerLeft / scale);
    // Top and height are added first: the caption's bottom edge counts.
    const double bottomEdge = static_cast<double>(markerTop) + markerHeight;
    d.bottom = wholeNumberFloor((boardHeight - bottomEdge) / scale);
    return d;
}

MarkerPiece markerPieceOnBoard(int32_t markerLeft, int32_t markerTop, int32_t markerWidth, int32_t markerHeight,
                               int32_t boardWidth, int32_t boardHeight) {
    // In 64 bits: a marker's right or bottom edge may lie beyond the 32-bit range.
    const int64_t left = std::max<int64_t>(markerLeft, 0);
    const int64_t top = std::max<int64_t>(markerTop, 0);
    const int64_t right = std::min<int64_t>(int64_t{markerLeft} + std::max(markerWidth, 0), boardWidth);
    const int64_t bottom = std::min<int64_t>(int64_t{markerTop} + std::max(markerHeight, 0), boardHeight);
    if (right <= left || bottom <= top) return {};
    return {static_cast<int32_t>(left),         static_cast<int32_t>(top),
            static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top),
            static_cast<int32_t>(left - markerLeft), static_cast<int32_t>(top - markerTop)};
}

}  // namespace settings
