// The caption marker's picture: a row of digits stretched to the marker's size, of which
// only the piece on the preview board is drawn (see markerPieceOnBoard).
#pragma once

#include <cstdint>
#include <string>

#include <QImage>

#include "settings/caption_layout.h"

namespace settings {

// The pixels of `piece` of `digits` stretched to markerWidth x markerHeight, as PNG bytes
// for a picture box; empty when the piece or the digits are. The whole stretched picture
// is never made: a marker may be far larger than memory allows.
std::string markerPiecePicture(const QImage& digits, const MarkerPiece& piece, int32_t markerWidth,
                               int32_t markerHeight);

}  // namespace settings
