// Compares the installed icon, rendered to a PNG by an SVG renderer, with the icon the window
// draws for itself (platform/AppIcon.cpp), so that the two pictures cannot drift apart.
//
//   mapfeed-icon-compare RENDERED.png [DRAWN-OUT.png]
//
// The window's icon is drawn at the PNG's size (one the window draws: 16 to 128). Exits 0 when
// the pictures agree, 1 when not, 2 on a usage or file error. With DRAWN-OUT the window's
// drawing is saved there, to look at both.

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/AppIcon.h"

namespace {

// Two renderers antialias edges differently: along the outlines a pixel may differ a little,
// and at a sharp bend of the route a few pixels by more. Inside the shapes the colours are the
// same. A colour that is off shows inside a whole shape; a shape moved or resized by one grid
// unit leaves a band of pixels that differ by nearly all.
constexpr int kSlight = 8;           // channel difference (0..255) that counts at all
constexpr double kSlightShare = 0.03;  // share of the pixels allowed beyond it: the outlines
constexpr int kStrong = 64;          // channel difference of a pixel that is plainly wrong
constexpr double kStrongShare = 0.001;  // share allowed beyond it: a few pixels at the bends

int channelDistance(QRgb a, QRgb b) {
    // Compared over white, so that a transparent pixel's colour does not count.
    auto over = [](QRgb c, int channel) { return (channel * qAlpha(c) + 255 * (255 - qAlpha(c))) / 255; };
    int d = std::abs(over(a, qRed(a)) - over(b, qRed(b)));
    d = std::max(d, std::abs(over(a, qGreen(a)) - over(b, qGreen(b))));
    d = std::max(d, std::abs(over(a, qBlue(a)) - over(b, qBlue(b))));
    // Over white, a white shape and no shape look alike; the coverage must agree as well.
    return std::max(d, std::abs(qAlpha(a) - qAlpha(b)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s RENDERED.png [DRAWN-OUT.png]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QImage rendered = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32);
    if (rendered.isNull() || rendered.width() != rendered.height()) {
        std::fprintf(stderr, "%s: not a square picture\n", argv[1]);
        return 2;
    }
    const int size = rendered.width();
    const QImage drawn = mapfeed::appIcon().pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
    if (drawn.size() != rendered.size()) {
        std::fprintf(stderr, "the window's icon has no %dx%d drawing (got %dx%d)\n", size, size,
                     drawn.width(), drawn.height());
        return 2;
    }
    if (argc == 3 && !drawn.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "%s: cannot save\n", argv[2]);
        return 2;
    }

    long slight = 0;
    long strong = 0;
    int worst = 0;
    QPoint worstAt;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int d = channelDistance(rendered.pixel(x, y), drawn.pixel(x, y));
            if (d > kSlight) ++slight;
            if (d > kStrong) ++strong;
            if (d > worst) {
                worst = d;
                worstAt = QPoint(x, y);
            }
        }
    }
    const double pixels = double(size) * size;
    std::printf("%dx%d: %.2f%% of the pixels differ by more than %d, %.2f%% by more than %d; the most, %d, at %d,%d\n",
                size, size, 100.0 * slight / pixels, kSlight, 100.0 * strong / pixels, kStrong, worst, worstAt.x(),
                worstAt.y());
    if (slight > kSlightShare * pixels || strong > kStrongShare * pixels) {
        std::fprintf(stderr, "the icon rendered from %s is not the window's icon (allowed: %.1f%% and %.1f%%)\n",
                     argv[1], 100.0 * kSlightShare, 100.0 * kStrongShare);
        return 1;
    }
    return 0;
}
