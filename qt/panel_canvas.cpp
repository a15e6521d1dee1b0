#include "qt/panel_canvas.h"

namespace vantrel {

QImage ImageOfSurface(const Surface& surface) {
    if (!surface.pixels) return QImage();
    // 0xFFRRGGBB per pixel is Format_RGB32 exactly.
    return QImage(reinterpret_cast<const uchar*>(surface.pixels), surface.width, surface.height,
                  static_cast<qsizetype>(surface.pitch) * 4, QImage::Format_RGB32);
}

const QImage& SurfaceImage::Of(const Surface& surface) {
    if (surface.pixels != pixels_ || surface.width != width_ || surface.height != height_ ||
        surface.pitch != pitch_) {
        image_ = ImageOfSurface(surface);
        pixels_ = surface.pixels;
        width_ = surface.width;
        height_ = surface.height;
        pitch_ = surface.pitch;
    }
    return image_;
}

void QtPanelCanvas::Show(const Surface& source, std::int32_t sourceX, std::int32_t sourceY,
                         const PanelRect& destination) {
    // Drawn in the device's own pixels, so each source pixel lands on one device pixel: a plain
    // copy of the rectangle shown, at any ratio.
    const qreal ratio = painter_.deviceTransform().m11();
    const bool scaled = ratio != 1;
    if (scaled) painter_.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    const QRect panel(0, 0, qRound(panelRect_.width() * ratio), qRound(panelRect_.height() * ratio));
    const QRect target(destination.left, destination.top, RectWidth(destination), RectHeight(destination));
    const QRect wanted = target.translated(sourceX - destination.left, sourceY - destination.top);
    const QRect available = wanted.intersected(QRect(0, 0, source.width, source.height));
    // What the surface cannot cover stays black rather than showing stale pixels.
    if (available != wanted) painter_.fillRect(target.intersected(panel), Qt::black);
    if (!available.isEmpty()) {
        painter_.drawImage(available.topLeft() + QPoint(destination.left - sourceX, destination.top - sourceY),
                           image_.Of(source), available);
    }
    if (scaled) painter_.setWorldTransform(QTransform());
}

}  // namespace vantrel
