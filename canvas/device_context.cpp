#include "canvas/device_context.h"

#include <new>

#include "canvas/gdi_object.h"

namespace vantrel {
namespace {

ObjectHandle& SlotFor(DcState& state, ObjectKind kind) {
    switch (kind) {
    case ObjectKind::Pen: return state.pen;
    case ObjectKind::Brush: return state.brush;
    default: return state.font;
    }
}

void Hold(ObjectHandle object) {
    if (object != nullptr && !object->stock) {
        ++object->selections;
    }
}

void Release(ObjectHandle object) {
    if (object != nullptr && !object->stock && object->selections > 0) {
        --object->selections;
    }
}

// Puts object into slot, keeping the selection counts right; returns what was there.
ObjectHandle Replace(ObjectHandle& slot, ObjectHandle object) {
    ObjectHandle previous = slot;
    if (previous != object) {
        Hold(object);
        Release(previous);
        slot = object;
    }
    return previous;
}

}  // namespace

DcHandle CreateCompatibleDC(DcHandle /*reference*/) {
    DeviceContext* dc = new (std::nothrow) DeviceContext;
    if (dc != nullptr) {
        dc->state.pen = GetStockObject(BLACK_PEN);
        dc->state.brush = GetStockObject(WHITE_BRUSH);
        dc->state.font = GetStockObject(SYSTEM_FONT);
    }
    return dc;
}

bool DeleteDC(DcHandle dc) {
    if (dc == nullptr) {
        return false;
    }
    Release(dc->bitmap);
    Release(dc->state.pen);
    Release(dc->state.brush);
    Release(dc->state.font);
    delete dc;
    return true;
}

ObjectHandle SelectObject(DcHandle dc, ObjectHandle object) {
    if (dc == nullptr || object == nullptr) {
        return nullptr;
    }
    if (object->kind == ObjectKind::Bitmap) {
        // A bitmap lives in one context at a time.
        if (object->selections > 0 && dc->bitmap != object) {
            return nullptr;
        }
        return Replace(dc->bitmap, object);
    }
    return Replace(SlotFor(dc->state, object->kind), object);
}

ObjectHandle GetCurrentObject(DcHandle dc, ObjectKind kind) {
    if (dc == nullptr) {
        return nullptr;
    }
    if (kind == ObjectKind::Bitmap) {
        return dc->bitmap;
    }
    if (kind != ObjectKind::Pen && kind != ObjectKind::Brush && kind != ObjectKind::Font) {
        return nullptr;
    }
    return SlotFor(dc->state, kind);
}

std::int32_t SetROP2(DcHandle dc, std::int32_t rop2) {
    if (dc == nullptr || rop2 < R2_BLACK || rop2 > R2_WHITE) {
        return 0;
    }
    const std::int32_t previous = dc->state.rop2;
    dc->state.rop2 = rop2;
    return previous;
}

std::int32_t GetROP2(DcHandle dc) { return dc == nullptr ? 0 : dc->state.rop2; }

ColorRef SetTextColor(DcHandle dc, ColorRef color) {
    if (dc == nullptr) {
        return CLR_INVALID;
    }
    const ColorRef previous = dc->state.textColor;
    dc->state.textColor = color & 0x00FFFFFFu;
    return previous;
}

ColorRef SetBkColor(DcHandle dc, ColorRef color) {
    if (dc == nullptr) {
        return CLR_INVALID;
    }
    const ColorRef previous = dc->state.backgroundColor;
    dc->state.backgroundColor = color & 0x00FFFFFFu;
    return previous;
}

ColorRef SetDCBrushColor(DcHandle dc, ColorRef color) {
    if (dc == nullptr) {
        return CLR_INVALID;
    }
    const ColorRef previous = dc->state.dcBrushColor;
    dc->state.dcBrushColor = color & 0x00FFFFFFu;
    return previous;
}

std::int32_t SetBkMode(DcHandle dc, std::int32_t mode) {
    if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    const std::int32_t previous = dc->state.backgroundMode;
    dc->state.backgroundMode = mode;
    return previous;
}

void SetFontEngine(DcHandle dc, FontEngine* engine) {
    if (dc != nullptr) {
        dc->fontEngine = engine;
    }
}

Surface* DcSurface(DcHandle dc) { return dc == nullptr ? nullptr : BitmapSurface(dc->bitmap); }

DcStateGuard::DcStateGuard(DcHandle dc) : dc_(dc) {
    if (dc_ != nullptr) {
        saved_ = dc_->state;
        Hold(saved_.pen);
        Hold(saved_.brush);
        Hold(saved_.font);
    }
}

DcStateGuard::~DcStateGuard() {
    if (dc_ == nullptr) {
        return;
    }
    Replace(dc_->state.pen, saved_.pen);
    Replace(dc_->state.brush, saved_.brush);
    Replace(dc_->state.font, saved_.font);
    Release(saved_.pen);
    Release(saved_.brush);
    Release(saved_.font);
    dc_->state.rop2 = saved_.rop2;
    dc_->state.textColor = saved_.textColor;
    dc_->state.backgroundColor = saved_.backgroundColor;
    dc_->state.backgroundMode = saved_.backgroundMode;
    dc_->state.dcBrushColor = saved_.dcBrushColor;
    dc_->state.position = saved_.position;
}

}  // namespace vantrel
