#include "soak/random_walk.h"

#include <algorithm>
#include <array>
#include <climits>
#include <deque>
#include <memory>
#include <random>
#include <sstream>
#include <utility>

#include "app/menu_layout.h"
#include "app/message.h"
#include "app/program.h"
#include "app/recording_host.h"
#include "app/startup.h"
#include "app/window_procedure.h"
#include "objects/command_ids.h"
#include "canvas/gdi_objects.h"
#include "soak/program_invariants.h"

namespace vantrel {
namespace {

// Virtual keys of the accelerators, in AcceleratorKey order from F1.
constexpr std::int32_t kVirtualKeys[] = {0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 'L', 'O', 'D', 'M', 'A', 'C'};

struct Size {
    std::int32_t width;
    std::int32_t height;
};

// Client sizes a user (or a window manager) can produce, the degenerate ones included.
constexpr Size kClientSizes[] = {
    {0, 0},     {1, 1},     {2, 3},     {15, 15},   {16, 16},    {17, 17},    {1, 300},     {300, 1},
    {16, 240},  {240, 16},  {120, 90},  {320, 220}, {400, 300},  {640, 480},  {641, 481},   {800, 200},
    {200, 800}, {1280, 960}, {2500, 40}, {40, 2500}, {1900, 1400}};

// Copies nothing; reads the corner pixels of what it is asked to show, so a surface smaller than
// it claims to be shows under the address sanitizer without a per-pixel copy per repaint.
class ProbeCanvas : public PanelCanvas {
public:
    void Show(const Surface& source, std::int32_t sourceX, std::int32_t sourceY, const PanelRect& destination) override {
        const std::int32_t x0 = std::max(sourceX, 0);
        const std::int32_t y0 = std::max(sourceY, 0);
        const std::int32_t x1 = std::min<std::int64_t>(source.width, std::int64_t{sourceX} + RectWidth(destination));
        const std::int32_t y1 = std::min<std::int64_t>(source.height, std::int64_t{sourceY} + RectHeight(destination));
        if (x0 >= x1 || y0 >= y1) return;
        for (const std::int32_t y : {y0, y1 - 1}) {
            for (const std::int32_t x : {x0, x1 - 1}) checksum += source.pixels[std::int64_t{y} * source.pitch + x];
        }
    }
    std::uint64_t checksum = 0;
};

// The recording host with repaints shown on a probe instead of copied pixel by pixel: a walk
// repaints the view after every hover and every frame.
class SoakHost : public RecordingHost {
public:
    void RepaintPanelNow(PanelId panel) override {
        if (program) WindowProcedure(*program, DrawItemMessage(panel, PanelClientRect(panel), canvas_));
    }

private:
    ProbeCanvas canvas_;
};

class Walker {
public:
    Walker(std::uint64_t seed, Program& program, RecordingHost& host, WalkResult& result)
        : random_(seed), program_(program), host_(host), result_(result) {}

    // The next message, with a one-line description of it.
    Message Next(std::string& description) {
        const std::int32_t roll = Below(100);
        if (pendingKeyUp_ != 0) return TakePendingKey(description);
        if (shiftHeld && Chance(20)) return Shift(description);  // Shift is held for a few messages
        if (dragLeft_ > 0) return Chance(35) ? Tick(description) : DragStep(description);  // ticks go on meanwhile
        const float radius = program_.orbit.radius;
        if (zoomBackLeft_ == 0 && (radius > 600 || radius < 10) && Chance(5)) zoomBackLeft_ = 80;
        if (zoomBackLeft_ > 0) return ZoomBack(description);
        if (roll < 24) return Tick(description);
        if (burstLeft_ > 0) return Tessellate(description);
        if (roll < 38) return Command(description);
        if (roll < 46) return PressKey(description);
        if (roll < 52) return Shift(description);
        if (roll < 76) return Move(description);
        if (roll < 84) return Click(description);
        if (roll < 87) return StartDrag(description);
        if (roll < 91) return Resize(description);
        return Other(description);
    }

    // Messages that arrive while an error box is open: anything but a nested box.
    void SendWhileBoxOpen() {
        const std::int32_t count = Below(4);
        for (std::int32_t i = 0; i < count; ++i) {
            std::string description;
            const Message message = Next(description);
            if (message.kind == MessageKind::Destroy) continue;
            Note("  while an error box is open: " + description);
            WindowProcedure(program_, message);
            ++result_.messagesWhileBoxOpen;
        }
    }

    // Keeps the last few messages for the report of a broken promise.
    void Note(std::string description) {
        recent.push_back(std::move(description));
        if (recent.size() > 16) recent.pop_front();
    }

    bool shiftHeld = false;
    std::deque<std::string> recent;

private:
    std::int32_t Below(std::int32_t n) { return static_cast<std::int32_t>(random_() % static_cast<std::uint64_t>(n)); }
    std::int32_t Between(std::int32_t low, std::int32_t high) { return low + Below(high - low + 1); }
    bool Chance(std::int32_t percent) { return Below(100) < percent; }

    Message Tick(std::string& description) {
        Message message = TimerMessage();
        if (Chance(4)) message.timerId = Between(2, 9);  // a timer the program never set
        description = "timer " + std::to_string(message.timerId);
        return message;
    }

    std::int32_t CommandId() {
        const std::int32_t roll = Below(100);
        if (roll < 55) {
            const auto entries = MenuBarEntries();
            for (;;) {
                const MenuEntry& entry = entries[static_cast<std::size_t>(Below(static_cast<std::int32_t>(entries.size())))];
                if (entry.kind == MenuEntryKind::Item) return entry.id;
            }
        }
        if (roll < 92) return Below(kWalkHighestCommand + 1);
        constexpr std::int32_t kOdd[] = {-1, -57, 65, 100, 1000, 65535, INT_MIN, INT_MAX};
        return kOdd[Below(8)];
    }

    // Now and then a run of tessellations, until the store is full and reports it.
    Message Tessellate(std::string& description) {
        --burstLeft_;
        const std::int32_t id = Chance(50) ? kCommandTessellateByFace : kCommandTessellateByEdge;
        result_.commandSent[id] = true;
        description = "command " + std::to_string(id);
        return CommandMessage(id);
    }

    Message Command(std::string& description) {
        if (Chance(8)) burstLeft_ = Between(3, 7);
        const std::int32_t id = CommandId();
        if (id >= 0 && id <= kWalkHighestCommand) {
            result_.commandSent[id] = true;
        } else {
            ++result_.oddCommands;
        }
        // Every command re-seeds from the time of day: let it vary over the whole day.
        host_.secondsSinceMidnight = Below(86400000) / 1000.0;
        description = "command " + std::to_string(id);
        return CommandMessage(id);
    }

    // A key press the window layer turns into a command when the table has it, with its key-up
    // following as the next message.
    Message PressKey(std::string& description) {
        const std::int32_t index = Below(12);
        const bool control = Chance(50);
        const bool alt = Chance(5);
        const std::int32_t command = TranslateAccelerator(static_cast<vantrel::AcceleratorKey>(index + 1), control,
                                                          shiftHeld, alt);
        pendingKeyUp_ = kVirtualKeys[index];
        description = std::string(control ? "Ctrl+" : "") + "key " + std::to_string(kVirtualKeys[index]);
        if (command != 0) {
            host_.secondsSinceMidnight = Below(86400000) / 1000.0;
            if (command <= kWalkHighestCommand) result_.commandSent[command] = true;
            description += " -> command " + std::to_string(command);
            return CommandMessage(command);
        }
        return KeyMessage(MessageKind::KeyDown, kVirtualKeys[index]);
    }

    Message TakePendingKey(std::string& description) {
        const std::int32_t key = pendingKeyUp_;
        pendingKeyUp_ = 0;
        description = "key up " + std::to_string(key);
        return KeyMessage(MessageKind::KeyUp, key);
    }

    Message Shift(std::string& description) {
        if (!shiftHeld || Chance(50)) {
            if (shiftHeld) ++result_.shiftRepeats;
            description = shiftHeld ? "shift repeat" : "shift down";
            shiftHeld = true;
            return KeyMessage(MessageKind::KeyDown, kVirtualKeyShift);
        }
        shiftHeld = false;
        description = "shift up";
        return KeyMessage(MessageKind::KeyUp, kVirtualKeyShift);
    }

    // A point in one of the panels, on its edges, or outside every panel.
    void Point(std::int32_t& x, std::int32_t& y, PanelId& panel) {
        const std::int32_t roll = Below(100);
        const PanelId wanted = roll < 55 ? PanelId::View : roll < 70 ? PanelId::Palette : roll < 85 ? PanelId::Shine : PanelId::None;
        const PanelRect& rect = program_.shell.panels[static_cast<std::int32_t>(wanted)];
        if (wanted != PanelId::None && RectWidth(rect) > 0 && RectHeight(rect) > 0) {
            if (Chance(10)) {  // an edge pixel, first or last
                x = Chance(50) ? rect.left : rect.right - 1;
                y = Chance(50) ? rect.top : rect.bottom - 1;
            } else {
                x = Between(rect.left, rect.right - 1);
                y = Between(rect.top, rect.bottom - 1);
            }
        } else {
            constexpr std::int32_t kFar[] = {-1, -40, 0, 5000, -100000, 100000, INT_MIN / 2, INT_MAX / 2};
            x = Chance(50) ? kFar[Below(8)] : Between(-50, clientWidth_ + 50);
            y = Chance(50) ? kFar[Below(8)] : Between(-50, clientHeight_ + 50);
        }
        panel = PanelAtPoint(program_.shell, x, y);
    }

    std::int32_t Modifiers() {
        std::int32_t keys = shiftHeld ? kMouseShift : 0;
        if (Chance(5)) keys |= kMouseControl;
        return keys;
    }

    Message Move(std::string& description) {
        std::int32_t x = 0;
        std::int32_t y = 0;
        PanelId panel = PanelId::None;
        Point(x, y, panel);
        // A stray button flag on a single move, as after a press outside the window.
        const std::int32_t buttons = Chance(8) ? (Chance(50) ? kMouseLeft : kMouseRight) : 0;
        lastX_ = x;
        lastY_ = y;
        description = "move " + std::to_string(x) + "," + std::to_string(y) + " keys " + std::to_string(buttons);
        return MouseMessage(MessageKind::MouseMove, buttons | Modifiers(), x, y);
    }

    Message Click(std::string& description) {
        std::int32_t x = 0;
        std::int32_t y = 0;
        PanelId panel = PanelId::None;
        Point(x, y, panel);
        if (Chance(50)) {  // mostly where the pointer already rests, as a user clicks
            x = lastX_;
            y = lastY_;
            panel = PanelAtPoint(program_.shell, x, y);
        }
        const bool left = Chance(60);
        ++result_.clicksByPanel[static_cast<std::int32_t>(panel)];
        if (left && panel == PanelId::View && program_.interaction.hoverFace != 0 && program_.interaction.lightPointer == 0) {
            ++result_.paintedFaces;
        }
        description = std::string(left ? "left" : "right") + " down " + std::to_string(x) + "," + std::to_string(y);
        return MouseMessage(left ? MessageKind::LeftButtonDown : MessageKind::RightButtonDown,
                            (left ? kMouseLeft : kMouseRight) | Modifiers(), x, y);
    }

    Message StartDrag(std::string& description) {
        PanelId panel = PanelId::None;
        Point(dragX_, dragY_, panel);
        dragLeft_ = Between(2, 20);
        const std::int32_t roll = Below(10);
        dragButtons_ = roll < 5 ? kMouseLeft : roll < 9 ? kMouseRight : kMouseLeft | kMouseRight;
        // Drags start with a press; over the view a left press also paints the hovered face.
        const bool left = (dragButtons_ & kMouseLeft) != 0;
        description = "drag start " + std::to_string(dragX_) + "," + std::to_string(dragY_);
        return MouseMessage(left ? MessageKind::LeftButtonDown : MessageKind::RightButtonDown, dragButtons_ | Modifiers(),
                            dragX_, dragY_);
    }

    Message DragStep(std::string& description) {
        --dragLeft_;
        // Mostly small steps; now and then a jump, as when the pointer leaves and re-enters.
        const std::int32_t reach = Chance((dragButtons_ & kMouseRight) != 0 ? 1 : 10) ? 3000 : 12;
        dragX_ += Between(-reach, reach);
        std::int32_t dy = Between(-reach, reach);
        // A user who zoomed the scene out of sight (or into it) zooms back: keep the radius near
        // the start so hovering and painting keep finding faces.
        if ((dragButtons_ & kMouseRight) != 0 && Chance(70)) {
            if ((dy > 0) == (program_.orbit.radius > 200)) dy = -dy;
        }
        dragY_ += dy;
        ++result_.dragMoves;
        description = "drag " + std::to_string(dragX_) + "," + std::to_string(dragY_) + " keys " + std::to_string(dragButtons_);
        return MouseMessage(MessageKind::MouseMove, dragButtons_ | Modifiers(), dragX_, dragY_);
    }

    // A user who zoomed the scene out of sight (or into it) zooms back with repeated right drags
    // across the view, moving back with no button between them; ends near the starting radius.
    Message ZoomBack(std::string& description) {
        const PanelRect& view = program_.shell.panels[static_cast<std::int32_t>(PanelId::View)];
        const float radius = program_.orbit.radius;
        if (RectHeight(view) < 2 || RectWidth(view) < 1 || (radius > 100 && radius < 400)) {
            zoomBackLeft_ = 0;
            return Tick(description);
        }
        const bool grab = zoomBackLeft_-- % 2 == 1;
        const bool inwards = radius > 200;  // dragging up brings the camera in
        const std::int32_t x = view.left + RectWidth(view) / 2;
        const std::int32_t y = (grab == inwards) ? view.top : view.bottom - 1;
        description = std::string(grab ? "zoom drag " : "zoom return ") + std::to_string(x) + "," + std::to_string(y);
        return MouseMessage(MessageKind::MouseMove, grab ? kMouseRight : 0, x, y);
    }

    Message Resize(std::string& description) {
        const Size size = kClientSizes[Below(static_cast<std::int32_t>(std::size(kClientSizes)))];
        const std::int32_t roll = Below(10);
        const std::int32_t type = roll < 7 ? kSizeRestored : roll < 9 ? kSizeMaximized : kSizeMinimized;
        if (type != kSizeMinimized) {
            clientWidth_ = size.width;
            clientHeight_ = size.height;
            if (size.width <= 1 || size.height <= 1) ++result_.tinyResizes;
            if (size.width > host_.screenWidth || size.height > host_.screenHeight) ++result_.oversizeResizes;
        }
        description = "size " + std::to_string(type) + " " + std::to_string(size.width) + "x" + std::to_string(size.height);
        // The platform reports 0 x 0 for a minimised window.
        return type == kSizeMinimized ? SizeMessage(type, 0, 0) : SizeMessage(type, size.width, size.height);
    }

    Message Other(std::string& description) {
        const std::int32_t roll = Below(100);
        if (roll < 40) {
            description = "activate";
            Message message;
            message.kind = MessageKind::Activate;
            return message;
        }
        if (roll < 98) {
            // A repaint of any control, with its own rectangle or a stray one.
            const PanelId panel = static_cast<PanelId>(Below(5));
            PanelRect rect = host_.PanelClientRect(static_cast<PanelId>(std::min(static_cast<std::int32_t>(panel), 3)));
            if (Chance(30)) rect = PanelRect{Between(-20, 300), Between(-20, 300), Between(-20, 900), Between(-20, 900)};
            Message message = DrawItemMessage(panel, rect, canvas_);
            if (Chance(10)) message.canvas = nullptr;
            if (Chance(5)) message.controlType = 4;
            description = "draw item " + std::to_string(static_cast<std::int32_t>(panel));
            return message;
        }
        description = "destroy";
        return DestroyMessage();
    }

    std::mt19937_64 random_;
    Program& program_;
    RecordingHost& host_;
    WalkResult& result_;
    ProbeCanvas canvas_;
    std::int32_t clientWidth_ = 0;
    std::int32_t clientHeight_ = 0;
    std::int32_t pendingKeyUp_ = 0;
    std::int32_t burstLeft_ = 0;
    std::int32_t zoomBackLeft_ = 0;
    std::int32_t dragLeft_ = 0;
    std::int32_t dragButtons_ = 0;
    std::int32_t dragX_ = 0;
    std::int32_t dragY_ = 0;
    std::int32_t lastX_ = 0;  // the last plain move
    std::int32_t lastY_ = 0;
};

std::string Digest(const Program& program) {
    const Scene& scene = program.scene;
    std::ostringstream out;
    out << "meshes " << scene.meshRange.count << " current " << scene.currentMesh << " frames "
        << program.shell.framesRendered << " orbit " << program.orbit.longitude << " " << program.orbit.latitude << " "
        << program.orbit.radius << " paint " << program.interaction.paintColor << " " << program.interaction.paintShine;
    std::uint64_t faces = 0;
    for (std::int32_t m = scene.meshRange.first; m <= LastIndex(scene.meshRange); ++m) {
        const Mesh& mesh = scene.meshTable[m];
        for (std::int32_t f = mesh.firstFace; mesh.faceCount > 0 && f <= LastFace(mesh); ++f) {
            const Face& face = scene.facePool[f];
            faces = faces * 31 + face.color.r + 7u * face.color.g + 13u * face.color.b;
        }
    }
    out << " colours " << faces;
    return out.str();
}

}  // namespace

WalkResult RunRandomWalk(std::uint64_t seed, std::int64_t messages) {
    WalkResult result;
    const std::int64_t objectsBefore = LiveObjectCount();
    {
        auto program = std::make_unique<Program>();
        SoakHost host;
        host.program = program.get();
        constexpr Size kScreens[] = {{640, 480}, {320, 200}, {1280, 1024}};
        host.screenWidth = kScreens[seed % 3].width;
        host.screenHeight = kScreens[seed % 3].height;
        host.offerPixels = seed % 2 == 1;  // frames drawn straight into the view's memory
        StartProgram(*program, host);

        Walker walker(seed, *program, host, result);
        host.whileErrorBoxOpen = [&walker] { walker.SendWhileBoxOpen(); };
        for (std::int64_t i = 0; i < messages; ++i) {
            std::string description;
            const Message message = walker.Next(description);
            walker.Note(std::to_string(i) + ": " + description);
            WindowProcedure(*program, message);
            ++result.messagesSent;
            if (message.kind == MessageKind::MouseMove && program->interaction.hoverFace != 0) ++result.hoveredMoves;
            const std::string broken = CheckProgramInvariants(*program, objectsBefore);
            if (!broken.empty()) {
                result.failure = "seed " + std::to_string(seed) + ", after message " + std::to_string(i) + ": " + broken;
                for (const std::string& line : walker.recent) result.failure += "\n  " + line;
                break;
            }
        }
        result.framesRendered = program->shell.framesRendered;
        result.errorBoxes = static_cast<std::int64_t>(host.errorTexts.size());
        result.finalState = Digest(*program);
        StopProgram(*program);
    }
    result.objectsAtEnd = LiveObjectCount() - objectsBefore;
    return result;
}

}  // namespace vantrel
