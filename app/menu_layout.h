#pragma once
// The menu bar and the accelerator table as data: the window layer builds its menus from
// these tables, and the recording host starts its check marks from them.
#include <cstdint>
#include <span>

namespace vantrel {

enum class MenuEntryKind : std::int32_t { Popup, Item, Separator };

// How an item shows its state: not at all, as an on/off switch, or as one of a group of which
// exactly one is on.
enum class MenuCheck : std::int32_t { None, Switch, Exclusive };

// One line of the menu bar in menu order. Every popup title and separator has a number of its
// own, so item ids have gaps; only items are ever sent as commands.
struct MenuEntry {
    MenuEntryKind kind = MenuEntryKind::Item;
    std::int32_t id = 0;
    const char* text = "";  // "\t" separates the shortcut shown right-aligned
    bool checked = false;   // items: starts with a check mark
    bool enabled = true;    // popups: false for the grayed "File" and "Help"
    MenuCheck check = MenuCheck::None;  // items that can carry a check mark, checked or not
};

std::span<const MenuEntry> MenuBarEntries();
// The item with that id, or nullptr for titles, separators and unknown ids.
const MenuEntry* FindMenuItem(std::int32_t id);

// Keys of the accelerator table, independent of any window system.
enum class AcceleratorKey : std::int32_t { F1 = 1, F2, F3, F4, F5, F6, L, O, D, M, A, C };

struct Accelerator {
    AcceleratorKey key = AcceleratorKey::F1;
    bool control = false;  // the Ctrl entries; none uses Shift or Alt
    std::int32_t command = 0;
};

std::span<const Accelerator> AcceleratorTable();
// The command for a key with the modifiers held, or 0 when the table has no such entry.
std::int32_t TranslateAccelerator(AcceleratorKey key, bool control, bool shift, bool alt);

}  // namespace vantrel
