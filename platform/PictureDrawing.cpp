#include "platform/PictureDrawing.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace mapfeed {

namespace {

using picture::Layer;
using picture::Shape;

struct Look {
    QColor line;
    qreal width;
};

Look lookOf(Layer layer) {
    switch (layer) {
        case Layer::Design: return {QColor(150, 150, 150), 1.0};
        case Layer::Input: return {QColor(0x1f, 0x5f, 0xbf), 1.5};
        case Layer::Appended: return {QColor(0xe0, 0x5a, 0x00), 2.5};
    }
    return {Qt::black, 1.0};
}

/// The shape's places as pixels, a vertex dropped while it stays within the pixel of the last
/// one kept: a line of a million vertices across a few hundred pixels costs a few hundred.
void toPixels(const picture::Picture& picture, const Shape& shape, const picture::View& view, QPolygonF& out) {
    out.clear();
    const picture::Place* places = picture.places.data() + shape.first;
    // A shape is looked at no closer than its size on the screen allows: a line across a few
    // pixels, or of many more vertices than pixels, is sampled, its ends always kept.
    const double across = (shape.box.width() + shape.box.height()) / view.unitsPerPixel;
    const std::uint32_t most = static_cast<std::uint32_t>(std::min(4.0 * across + 2, 4e9));
    const std::uint32_t step = shape.count > most ? shape.count / most : 1;
    if (shape.count == 0) return;
    QPointF last(-1e9, -1e9);
    for (std::uint32_t i = 0;; i = std::min(i + step, shape.count - 1)) {
        const QPointF pixel(view.pixelX(places[i].x), view.pixelY(places[i].y));
        const bool lastOne = i + 1 == shape.count;
        if (lastOne || std::abs(pixel.x() - last.x()) >= 1 || std::abs(pixel.y() - last.y()) >= 1) {
            out.append(pixel);
            last = pixel;
        }
        if (lastOne) return;
    }
}

void drawScaleBar(QPainter& painter, const picture::View& view, const std::string& unitName) {
    const picture::ScaleBar bar = picture::scaleBar(view, view.width / 4.0, unitName);
    if (bar.pixels <= 0) return;
    const qreal left = 12, base = view.height - 14;
    const QString label = QString::fromStdString(bar.label);
    const QFontMetricsF metrics(painter.font());
    const QRectF back(left - 6, base - metrics.height() - 10, std::max(bar.pixels, metrics.horizontalAdvance(label)) + 12,
                      metrics.height() + 18);
    painter.fillRect(back, QColor(255, 255, 255, 210));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(QPointF(left, base), QPointF(left + bar.pixels, base));
    painter.drawLine(QPointF(left, base - 5), QPointF(left, base + 3));
    painter.drawLine(QPointF(left + bar.pixels, base - 5), QPointF(left + bar.pixels, base + 3));
    painter.drawText(QPointF(left, base - 6), label);
}

}  // namespace

QImage drawPicture(const picture::Picture& picture, const picture::View& view, const std::set<int>& hidden,
                   qreal devicePixelRatio) {
    QImage image(QSize(view.width, view.height) * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const picture::Box shown = view.shown();
    QPolygonF pixels;
    // The design file first, then the input over it, and what was appended on top.
    for (Layer layer : {Layer::Design, Layer::Input, Layer::Appended}) {
        const Look look = lookOf(layer);
        QPen pen(look.line, look.width);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        for (std::size_t index = 0; index < picture.shapes.size(); ++index) {
            const Shape& shape = picture.shapes[index];
            if (shape.layer != layer || hidden.count(shape.level) || !shape.box.intersects(shown)) continue;
            switch (shape.kind) {
                case Shape::Kind::Line:
                case Shape::Kind::Ring:
                    toPixels(picture, shape, view, pixels);
                    if (shape.kind == Shape::Kind::Ring) {
                        // A polygon is filled lightly; its holes are cut out of the fill.
                        QPainterPath area;
                        area.setFillRule(Qt::OddEvenFill);
                        area.addPolygon(pixels);
                        std::size_t next = index + 1;
                        for (; next < picture.shapes.size() && picture.shapes[next].hole; ++next) {
                            QPolygonF hole;
                            toPixels(picture, picture.shapes[next], view, hole);
                            area.addPolygon(hole);
                        }
                        if (!shape.hole) {
                            QColor fill = look.line;
                            fill.setAlpha(layer == Layer::Design ? 25 : 45);
                            painter.fillPath(area, fill);
                        }
                        pixels.append(pixels.value(0));
                    }
                    if (pixels.size() < 2 || pixels.boundingRect().width() + pixels.boundingRect().height() < 1.5) {
                        // Smaller than a pixel at this scale: a dot, so that it is not lost.
                        const QPointF at = pixels.isEmpty() ? QPointF() : pixels.first();
                        painter.fillRect(QRectF(at - QPointF(1, 1), QSizeF(3, 3)), look.line);
                        break;
                    }
                    painter.drawPolyline(pixels);
                    break;
                case Shape::Kind::Point: {
                    const picture::Place& p = picture.places[shape.first];
                    const QPointF at(view.pixelX(p.x), view.pixelY(p.y));
                    painter.drawLine(at - QPointF(3, 3), at + QPointF(3, 3));
                    painter.drawLine(at - QPointF(3, -3), at + QPointF(3, -3));
                    break;
                }
                case Shape::Kind::Text: {
                    const picture::Place& p = picture.places[shape.first];
                    const qreal pixelHeight = shape.height / view.unitsPerPixel;
                    if (pixelHeight < 2) {
                        // Too small to read: a dot says that text stands there.
                        painter.drawPoint(QPointF(view.pixelX(p.x), view.pixelY(p.y)));
                        break;
                    }
                    QFont font = painter.font();
                    font.setPixelSize(std::max(1, static_cast<int>(std::min<qreal>(pixelHeight, 2000))));
                    painter.save();
                    painter.setFont(font);
                    painter.translate(view.pixelX(p.x), view.pixelY(p.y));
                    painter.rotate(-shape.angle);
                    painter.drawText(QPointF(0, 0), QString::fromStdString(shape.text));
                    painter.restore();
                    break;
                }
            }
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawScaleBar(painter, view, picture.unitName);
    return image;
}

}  // namespace mapfeed
