#pragma once
// Shows canvas surfaces in a widget: the surface is wrapped as a QImage (same pixel layout,
// no copy) and drawn with the widget's painter.
#include <QImage>
#include <QPainter>
#include <QRect>

#include "app/host.h"

namespace vantrel {

// The one conversion from a canvas surface to a Qt image: a view of the same memory.
QImage ImageOfSurface(const Surface& surface);

class QtPanelCanvas : public PanelCanvas {
public:
    QtPanelCanvas(QPainter& painter, const QRect& panelRect) : painter_(painter), panelRect_(panelRect) {}
    void Show(const Surface& source, std::int32_t sourceX, std::int32_t sourceY, const PanelRect& destination) override;

private:
    QPainter& painter_;
    QRect panelRect_;
};

}  // namespace vantrel
