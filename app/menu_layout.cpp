#include "app/menu_layout.h"

#include <array>

#include "app/command_ids.h"

namespace vantrel {
namespace {

constexpr MenuEntry Popup(std::int32_t id, const char* text, bool enabled) {
    return {MenuEntryKind::Popup, id, text, false, enabled};
}
constexpr MenuEntry Item(std::int32_t id, const char* text) { return {MenuEntryKind::Item, id, text, false, true}; }
constexpr MenuEntry Switch(std::int32_t id, const char* text, bool checked = false) {
    return {MenuEntryKind::Item, id, text, checked, true, MenuCheck::Switch};
}
constexpr MenuEntry Mode(std::int32_t id, const char* text, bool checked = false) {
    return {MenuEntryKind::Item, id, text, checked, true, MenuCheck::Exclusive};
}
constexpr MenuEntry Separator(std::int32_t id) { return {MenuEntryKind::Separator, id, "", false, true}; }

constexpr std::array kMenuBar = {
    Popup(1, "File", false),
    Item(2, "New"),
    Separator(3),
    Item(4, "Load"),
    Item(5, "Save"),
    Separator(6),
    Item(7, "Exit"),
    Popup(8, "Edit", true),
    Item(9, "Rename"),
    Separator(10),
    Item(11, "Color White"),
    Item(12, "Color Random"),
    Item(13, "Color Gradient"),
    Separator(14),
    Item(15, "Tessellate By Face"),
    Item(16, "Tessellate By Edge"),
    Popup(17, "View", true),
    Switch(18, "Light\tCtrl+L", true),
    Switch(19, "Orthographic\tCtrl+O"),
    Separator(20),
    Mode(21, "Wireframe\tF1"),
    Mode(22, "Solid\tF2"),
    Mode(23, "Shaded\tF3", true),
    Mode(24, "Transparent\tF4"),
    Mode(25, "Outlined\tF5"),
    Mode(26, "Gradient\tF6"),
    Separator(27),
    Switch(28, "Double-Sided\tCtrl+D"),
    Switch(29, "Metallic\tCtrl+M"),
    Switch(30, "Atmosphere\tCtrl+A"),
    Switch(31, "Color-Correct\tCtrl+C"),
    Popup(32, "Object", true),
    Item(33, "Box"),
    Item(34, "Grid"),
    Item(35, "Sphere"),
    Item(36, "Hemisphere"),
    Item(37, "Cone"),
    Item(38, "Cylinder"),
    Item(39, "Pie"),
    Item(40, "Tetrahedron"),
    Item(41, "Octahedron"),
    Item(42, "Geo-Sphere"),
    Item(43, "Torus"),
    Separator(44),
    Item(45, "Pixel"),
    Item(46, "Line"),
    Item(47, "Text"),
    Item(48, "Curve"),
    Separator(49),
    Item(50, "Bar Graph"),
    Item(51, "Grid Graph"),
    Item(52, "Pie Graph"),
    Separator(53),
    Item(54, "Ripple"),
    Popup(55, "Help", false),
    Item(56, "About"),
    Item(57, "Homepage"),
};

constexpr std::array kAccelerators = {
    Accelerator{AcceleratorKey::L, true, kCommandLight},
    Accelerator{AcceleratorKey::O, true, kCommandOrthographic},
    Accelerator{AcceleratorKey::F1, false, kCommandWireframe},
    Accelerator{AcceleratorKey::F2, false, kCommandSolid},
    Accelerator{AcceleratorKey::F3, false, kCommandShaded},
    Accelerator{AcceleratorKey::F4, false, kCommandTransparent},
    Accelerator{AcceleratorKey::F5, false, kCommandOutlined},
    Accelerator{AcceleratorKey::F6, false, kCommandGradient},
    Accelerator{AcceleratorKey::D, true, kCommandDoubleSided},
    Accelerator{AcceleratorKey::M, true, kCommandMetallic},
    Accelerator{AcceleratorKey::A, true, kCommandAtmosphere},
    Accelerator{AcceleratorKey::C, true, kCommandColorCorrect},
};

}  // namespace

std::span<const MenuEntry> MenuBarEntries() { return kMenuBar; }

const MenuEntry* FindMenuItem(std::int32_t id) {
    for (const MenuEntry& entry : kMenuBar) {
        if (entry.kind == MenuEntryKind::Item && entry.id == id) return &entry;
    }
    return nullptr;
}

std::span<const Accelerator> AcceleratorTable() { return kAccelerators; }

std::int32_t TranslateAccelerator(AcceleratorKey key, bool control, bool shift, bool alt) {
    // Entries match their modifiers exactly: Ctrl+Shift+L or Alt+F1 are not accelerators.
    if (shift || alt) return 0;
    for (const Accelerator& entry : kAccelerators) {
        if (entry.key == key && entry.control == control) return entry.command;
    }
    return 0;
}

}  // namespace vantrel
