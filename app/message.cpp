#include "app/message.h"

namespace vantrel {

Message SizeMessage(std::int32_t sizeType, std::int32_t width, std::int32_t height) {
    Message message;
    message.kind = MessageKind::Size;
    message.sizeType = sizeType;
    message.width = width;
    message.height = height;
    return message;
}

Message CommandMessage(std::int32_t commandId) {
    Message message;
    message.kind = MessageKind::Command;
    message.commandId = commandId;
    return message;
}

Message KeyMessage(MessageKind kind, std::int32_t virtualKey) {
    Message message;
    message.kind = kind;
    message.virtualKey = virtualKey;
    return message;
}

Message MouseMessage(MessageKind kind, std::int32_t keyFlags, std::int32_t x, std::int32_t y) {
    Message message;
    message.kind = kind;
    message.keyFlags = keyFlags;
    message.x = x;
    message.y = y;
    return message;
}

Message MouseMessage(MessageKind kind, std::int32_t keyFlags, std::int32_t x, std::int32_t y, double deviceX,
                     double deviceY) {
    Message message = MouseMessage(kind, keyFlags, x, y);
    message.devicePoint = true;
    message.deviceX = deviceX;
    message.deviceY = deviceY;
    return message;
}

Message DrawItemMessage(PanelId panel, const PanelRect& itemRect, PanelCanvas& canvas) {
    Message message;
    message.kind = MessageKind::DrawItem;
    message.controlType = kControlTypeStatic;
    message.controlId = static_cast<std::int32_t>(panel);
    message.itemRect = itemRect;
    message.canvas = &canvas;
    return message;
}

Message TimerMessage() {
    Message message;
    message.kind = MessageKind::Timer;
    message.timerId = kFrameTimerId;
    return message;
}

Message DestroyMessage() {
    Message message;
    message.kind = MessageKind::Destroy;
    return message;
}

Message DpiChangedMessage() {
    Message message;
    message.kind = MessageKind::DpiChanged;
    return message;
}

}  // namespace vantrel
