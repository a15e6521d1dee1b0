#include "canvas/gdi_objects.h"

#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#else
// A compiler without the sanitizer headers (mingw-w64) has no AddressSanitizer to tell either.
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

#include <atomic>
#include <new>
#include <type_traits>

#include "canvas/gdi_object.h"

namespace vantrel {
namespace {

// Process-wide like the desktop platform's own object table, so leaks show in one number.
std::atomic<std::int64_t> liveObjects{0};

GdiObject MakeStock(ObjectKind kind, ColorRef color, bool hollow) {
    GdiObject object;
    object.kind = kind;
    object.stock = true;
    object.color = color;
    object.hollow = hollow;
    object.penStyle = hollow ? PS_NULL : PS_SOLID;
    return object;
}

// Stock objects are immutable apart from their selection count, which stock objects ignore.
GdiObject stockWhiteBrush = MakeStock(ObjectKind::Brush, 0x00FFFFFF, false);
GdiObject stockBlackBrush = MakeStock(ObjectKind::Brush, 0x00000000, false);
GdiObject stockNullBrush = MakeStock(ObjectKind::Brush, 0x00000000, true);
GdiObject stockDcBrush = MakeStock(ObjectKind::Brush, 0x00FFFFFF, false);
GdiObject stockWhitePen = MakeStock(ObjectKind::Pen, 0x00FFFFFF, false);
GdiObject stockBlackPen = MakeStock(ObjectKind::Pen, 0x00000000, false);
GdiObject stockNullPen = MakeStock(ObjectKind::Pen, 0x00000000, true);
GdiObject stockVariableFont = MakeStock(ObjectKind::Font, 0, false);
GdiObject stockSystemFont = MakeStock(ObjectKind::Font, 0, false);

// Storage of deleted objects kept for the next ones, so a frame that creates and deletes a
// brush per face allocates nothing once warm. Per thread, so no locking; a thread's leftovers
// are freed when it ends. Kept storage is poisoned: a stale handle still trips AddressSanitizer.
class RecycledObjects {
public:
    RecycledObjects() = default;
    RecycledObjects(const RecycledObjects&) = delete;
    RecycledObjects& operator=(const RecycledObjects&) = delete;
    ~RecycledObjects() {
        while (count_ > 0) {
            delete Take();
        }
        closed_ = true;  // objects deleted later in the thread's teardown are freed at once
    }

    // Raw storage for one object, or nullptr when none is kept.
    GdiObject* Take() {
        if (count_ == 0) {
            return nullptr;
        }
        GdiObject* object = kept_[--count_];
        ASAN_UNPOISON_MEMORY_REGION(object, sizeof(GdiObject));
        return object;
    }

    // False when full: the caller frees the object itself.
    bool Keep(GdiObject* object) {
        if (closed_ || count_ == kCapacity) {
            return false;
        }
        kept_[count_++] = object;
        ASAN_POISON_MEMORY_REGION(object, sizeof(GdiObject));
        return true;
    }

private:
    static constexpr int kCapacity = 16;
    GdiObject* kept_[kCapacity] = {};
    int count_ = 0;
    bool closed_ = false;
};

// Kept storage is built over again without running a destructor.
static_assert(std::is_trivially_destructible_v<GdiObject>);

thread_local RecycledObjects recycled;

// Default-built in kept storage when there is some, else newly allocated.
GdiObject* AllocateObject() {
    if (GdiObject* storage = recycled.Take()) {
        return new (storage) GdiObject;
    }
    return new (std::nothrow) GdiObject;
}

void FreeObject(GdiObject* object) {
    if (!recycled.Keep(object)) {
        delete object;
    }
}

ObjectHandle NewObject(const GdiObject& prototype) {
    GdiObject* object = AllocateObject();
    if (object != nullptr) {
        *object = prototype;
        liveObjects.fetch_add(1, std::memory_order_relaxed);
    }
    return object;
}

// A default object, counted; pens and brushes fill in their few fields in place, as copying a
// freshly built prototype stalls on its own just-written bytes.
ObjectHandle NewDefaultObject(ObjectKind kind) {
    GdiObject* object = AllocateObject();
    if (object != nullptr) {
        object->kind = kind;
        liveObjects.fetch_add(1, std::memory_order_relaxed);
    }
    return object;
}

}  // namespace

ObjectHandle CreatePen(std::int32_t style, std::int32_t /*width*/, ColorRef color) {
    const ObjectHandle pen = NewDefaultObject(ObjectKind::Pen);
    if (pen != nullptr) {
        pen->penStyle = style;
        pen->color = color & 0x00FFFFFFu;
        pen->hollow = style == PS_NULL;
    }
    return pen;
}

ObjectHandle CreateSolidBrush(ColorRef color) {
    const ObjectHandle brush = NewDefaultObject(ObjectKind::Brush);
    if (brush != nullptr) {
        brush->color = color & 0x00FFFFFFu;
    }
    return brush;
}

ObjectHandle CreateBitmap(std::int32_t width, std::int32_t height) {
    GdiObject bitmap;
    bitmap.kind = ObjectKind::Bitmap;
    bitmap.ownsPixels = true;
    if (!SurfaceCreate(width, height, bitmap.surface)) {
        return nullptr;
    }
    ObjectHandle handle = NewObject(bitmap);
    if (handle == nullptr) {
        SurfaceDestroy(bitmap.surface);
    }
    return handle;
}

ObjectHandle CreateBitmapOver(const Surface& pixels) {
    if (pixels.pixels == nullptr || pixels.width < 1 || pixels.height < 1 || pixels.width > kSurfaceMaxSide ||
        pixels.height > kSurfaceMaxSide || pixels.pitch < pixels.width) {
        return nullptr;
    }
    GdiObject bitmap;
    bitmap.kind = ObjectKind::Bitmap;
    bitmap.surface = pixels;
    return NewObject(bitmap);
}

ObjectHandle CreateFontObject(FontEngine* engine) {
    GdiObject font;
    font.kind = ObjectKind::Font;
    font.engine = engine;
    return NewObject(font);
}

ObjectHandle GetStockObject(std::int32_t index) {
    switch (index) {
    case WHITE_BRUSH: return &stockWhiteBrush;
    case BLACK_BRUSH: return &stockBlackBrush;
    case NULL_BRUSH: return &stockNullBrush;
    case DC_BRUSH: return &stockDcBrush;
    case WHITE_PEN: return &stockWhitePen;
    case BLACK_PEN: return &stockBlackPen;
    case NULL_PEN: return &stockNullPen;
    case ANSI_VAR_FONT: return &stockVariableFont;
    case SYSTEM_FONT: return &stockSystemFont;
    default: return nullptr;
    }
}

bool DeleteObject(ObjectHandle object) {
    if (object == nullptr) {
        return false;
    }
    if (object->stock) {
        return true;
    }
    if (object->selections > 0) {
        return false;
    }
    if (object->ownsPixels) {
        SurfaceDestroy(object->surface);
    }
    FreeObject(object);
    liveObjects.fetch_sub(1, std::memory_order_relaxed);
    return true;
}

std::int64_t LiveObjectCount() { return liveObjects.load(std::memory_order_relaxed); }

ObjectKind ObjectKindOf(ObjectHandle object) {
    return object == nullptr ? static_cast<ObjectKind>(0) : object->kind;
}

bool IsStockObject(ObjectHandle object) { return object != nullptr && object->stock; }

Surface* BitmapSurface(ObjectHandle bitmap) {
    if (bitmap == nullptr || bitmap->kind != ObjectKind::Bitmap || bitmap->surface.pixels == nullptr) {
        return nullptr;
    }
    return &bitmap->surface;
}

}  // namespace vantrel
