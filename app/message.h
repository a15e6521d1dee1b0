#pragma once
// The program's own window messages: what the window layer turns its events into before
// handing them to the window procedure. Kinds keep the desktop platform's message numbers.
#include <cstdint>

#include "app/host.h"
#include "interaction/interaction_state.h"

namespace vantrel {

enum class MessageKind : std::uint32_t {
    Destroy = 0x0002,
    Size = 0x0005,
    Activate = 0x0006,
    DrawItem = 0x002B,
    KeyDown = 0x0100,
    KeyUp = 0x0101,
    Command = 0x0111,
    Timer = 0x0113,
    MouseMove = 0x0200,
    LeftButtonDown = 0x0201,
    RightButtonDown = 0x0204,
    DpiChanged = 0x02E0,  // the window's device pixel ratio changed
};

// Size types of a size message.
inline constexpr std::int32_t kSizeRestored = 0;
inline constexpr std::int32_t kSizeMinimized = 1;
inline constexpr std::int32_t kSizeMaximized = 2;

// Mouse-key flags of a mouse message besides kMouseLeft and kMouseRight.
inline constexpr std::int32_t kMouseShift = 0x0004;
inline constexpr std::int32_t kMouseControl = 0x0008;

inline constexpr std::int32_t kVirtualKeyShift = 0x10;
inline constexpr std::int32_t kControlTypeStatic = 5;
inline constexpr std::int32_t kFrameTimerId = 1;

struct Message {
    MessageKind kind = MessageKind::Timer;
    // Size: the size type and the new client width and height.
    std::int32_t sizeType = kSizeRestored;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Command: the menu or accelerator command id.
    std::int32_t commandId = 0;
    // Key down and up: the virtual key.
    std::int32_t virtualKey = 0;
    // Mouse: the mouse-key flags and the point in the main window's client coordinates.
    std::int32_t keyFlags = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    // Mouse, where the window system reports the pointer finer than a logical pixel: where it is
    // in the client area's device pixels at the program's ratio, fractions kept. Picking uses it.
    bool devicePoint = false;
    double deviceX = 0;
    double deviceY = 0;
    // Draw item: the control, its rectangle and where to paint it.
    std::int32_t controlType = kControlTypeStatic;
    std::int32_t controlId = 0;
    PanelRect itemRect;
    PanelCanvas* canvas = nullptr;
    // Timer: the timer id.
    std::int32_t timerId = kFrameTimerId;
};

Message SizeMessage(std::int32_t sizeType, std::int32_t width, std::int32_t height);
Message CommandMessage(std::int32_t commandId);
Message KeyMessage(MessageKind kind, std::int32_t virtualKey);
Message MouseMessage(MessageKind kind, std::int32_t keyFlags, std::int32_t x, std::int32_t y);
Message MouseMessage(MessageKind kind, std::int32_t keyFlags, std::int32_t x, std::int32_t y, double deviceX,
                     double deviceY);
Message DrawItemMessage(PanelId panel, const PanelRect& itemRect, PanelCanvas& canvas);
Message TimerMessage();
Message DestroyMessage();
Message DpiChangedMessage();

}  // namespace vantrel
