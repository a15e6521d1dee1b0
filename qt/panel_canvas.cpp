#include "qt/panel_canvas.h"

#include <atomic>
#include <cmath>

#include <QPaintEngine>
#include <QRegion>

namespace vantrel {
namespace {

std::atomic<std::int64_t> offered{0};

}  // namespace

std::int64_t QtPanelCanvas::PixelsOffered() { return offered.load(std::memory_order_relaxed); }

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

DevicePixels QtPanelCanvas::WritablePixels() {
    QPaintEngine* engine = painter_.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (device == nullptr || device->devType() != QInternal::Image) return {};
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied) {
        return {};
    }
    // A shared image would detach on bits(), away from the memory the painter draws into.
    if (!image->isDetached() || image->bytesPerLine() % 4 != 0) return {};
    if (painter_.hasClipping() || painter_.opacity() != 1 ||
        painter_.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return {};
    }
    // The widget's place in the image (the window's offset in the backing store); at a
    // fractional ratio it can fall between pixels, and is rounded as Qt rounds the exposed area.
    const QTransform transform = painter_.deviceTransform();
    if (transform.type() > QTransform::TxScale || transform.m11() != transform.m22()) return {};
    const qreal ratio = transform.m11();
    if (!(std::abs(transform.dx()) <= image->width() && std::abs(transform.dy()) <= image->height())) return {};
    const QPoint origin(qRound(transform.dx()), qRound(transform.dy()));
    const QPoint end(qRound(transform.dx() + panelRect_.width() * ratio), qRound(transform.dy() + panelRect_.height() * ratio));
    QRect allowed = QRect(origin, end - QPoint(1, 1)).intersected(image->rect());
    // Only what this paint exposes: Qt flushes no more, and other widgets own the rest.
    const QRegion exposed = engine->systemClip();
    if (!exposed.isEmpty()) {
        const QRegion part = exposed.intersected(allowed);
        if (part.rectCount() > 1) return {};
        allowed = part.boundingRect();
    }
    if (allowed.isEmpty()) return {};
    const std::int32_t pitch = static_cast<std::int32_t>(image->bytesPerLine() / 4);
    std::uint32_t* const pixels = reinterpret_cast<std::uint32_t*>(image->bits()) +
                                  static_cast<std::ptrdiff_t>(allowed.y()) * pitch + allowed.x();
    offered.fetch_add(1, std::memory_order_relaxed);
    return DevicePixels{Surface{allowed.width(), allowed.height(), pitch, pixels}, allowed.x() - origin.x(),
                        allowed.y() - origin.y()};
}

}  // namespace vantrel
