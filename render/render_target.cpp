#include "render/render_target.h"

#include "render/drawing_tools.h"

namespace vantrel {

void CreateBackBuffer(RenderTarget& target, std::int32_t screenWidth, std::int32_t screenHeight) {
    DestroyBackBuffer(target);  // a second creation replaces the first instead of leaking it
    target.dc = CreateCompatibleDC(nullptr);
    target.bitmap = CreateBitmap(screenWidth, screenHeight);
    target.previousBitmap = SelectObject(target.dc, target.bitmap);
    if (target.dc != nullptr) {
        DrawBackground(target.dc, static_cast<float>(screenWidth), static_cast<float>(screenHeight));
    }
}

void DestroyBackBuffer(RenderTarget& target) {
    // A fresh context holds no bitmap, so there may be nothing to reselect.
    if (target.dc != nullptr && target.previousBitmap != nullptr) {
        SelectObject(target.dc, target.previousBitmap);
    }
    RestorePenBrush(target);
    if (target.dc != nullptr) {
        DeleteDC(target.dc);
    }
    if (target.bitmap != nullptr) {
        DeleteObject(target.bitmap);
    }
    target = RenderTarget{};
}

}  // namespace vantrel
