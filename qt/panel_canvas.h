#pragma once
// Shows canvas surfaces in a widget: written straight into the widget's image where the painter
// allows, else wrapped as a QImage (same pixel layout, no copy) and drawn with the widget's
// painter, one surface pixel to one device pixel.
#include <QImage>
#include <QPainter>
#include <QRect>

#include "app/host.h"

namespace vantrel {

// The one conversion from a canvas surface to a Qt image: a view of the same memory.
QImage ImageOfSurface(const Surface& surface);

// A panel's view of the surface it shows, made again only when the surface's size or memory
// changes, so a repaint builds no image of its own.
class SurfaceImage {
public:
    const QImage& Of(const Surface& surface);

private:
    const std::uint32_t* pixels_ = nullptr;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t pitch_ = 0;
    QImage image_;
};

class QtPanelCanvas : public PanelCanvas {
public:
    // panelRect is the panel's own rectangle in logical pixels.
    QtPanelCanvas(QPainter& painter, const QRect& panelRect, SurfaceImage& image)
        : painter_(painter), panelRect_(panelRect), image_(image) {}
    void Show(const Surface& source, std::int32_t sourceX, std::int32_t sourceY, const PanelRect& destination) override;
    // The painter's own image when it is plain memory in our pixel layout, placed on whole
    // device pixels: the panel's part of it that this paint exposes.
    DevicePixels WritablePixels() override;
    // How many canvases have offered their image's memory since start, in any thread.
    static std::int64_t PixelsOffered();

private:
    QPainter& painter_;
    QRect panelRect_;
    SurfaceImage& image_;
};

}  // namespace vantrel
