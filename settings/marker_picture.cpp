// The caption marker's picture (see marker_picture.h).
#include "settings/marker_picture.h"

#include <QBuffer>
#include <QPainter>

namespace settings {

std::string markerPiecePicture(const QImage& digits, const MarkerPiece& piece, int32_t markerWidth,
                               int32_t markerHeight) {
    if (digits.isNull() || piece.width <= 0 || piece.height <= 0 || markerWidth <= 0 || markerHeight <= 0)
        return {};
    // Marker pixels to digit pixels: the piece's rectangle within the digits picture.
    const double perX = static_cast<double>(digits.width()) / markerWidth;
    const double perY = static_cast<double>(digits.height()) / markerHeight;
    const QRectF source(piece.offsetX * perX, piece.offsetY * perY, piece.width * perX, piece.height * perY);
    QImage drawn(piece.width, piece.height, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(0, 0, piece.width, piece.height), digits, source);
    }
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    drawn.save(&out, "PNG");
    return bytes.toStdString();
}

}  // namespace settings
