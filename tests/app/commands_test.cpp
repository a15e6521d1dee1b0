#include <string>

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/menu_layout.h"
#include "app_fixture.h"
#include "objects/command_ids.h"

namespace vantrel {
namespace {

using Commands = AppTest;

const Camera& TheCamera(const Program& program) { return program.scene.cameraTable[program.scene.currentCamera]; }
const Light& TheLight(const Program& program) { return program.scene.lightTable[program.scene.currentLight]; }

int CheckedItems(RecordingHost& host) {
    int count = 0;
    for (const MenuEntry& entry : MenuBarEntries()) {
        if (entry.kind == MenuEntryKind::Item && host.MenuItemChecked(entry.id)) ++count;
    }
    return count;
}

TEST_F(Commands, SwitchesFollowTheMenuAndStoreTheirValues) {
    EXPECT_TRUE(host.MenuItemChecked(kCommandLight));
    EXPECT_TRUE(host.MenuItemChecked(kCommandShaded));
    EXPECT_EQ(CheckedItems(host), 2);

    Settle();
    Command(kCommandLight);
    EXPECT_EQ(TheLight(program).enabled, 0);
    EXPECT_FALSE(host.MenuItemChecked(kCommandLight));
    EXPECT_EQ(program.scene.frameDirty, kTrue);
    Command(kCommandLight);
    EXPECT_EQ(TheLight(program).enabled, 8);  // the check flag, not -1
    EXPECT_TRUE(host.MenuItemChecked(kCommandLight));

    Command(kCommandOrthographic);
    EXPECT_EQ(TheCamera(program).orthographic, 8);
    const std::int32_t effects[] = {kCommandDoubleSided, kCommandMetallic, kCommandAtmosphere, kCommandColorCorrect};
    for (std::int32_t id : effects) Command(id);
    EXPECT_EQ(TheCamera(program).doubleSided, kTrue);
    EXPECT_EQ(TheCamera(program).metallic, kTrue);
    EXPECT_EQ(TheCamera(program).atmosphere, kTrue);
    EXPECT_EQ(TheCamera(program).colorCorrect, kTrue);
    Command(kCommandMetallic);
    EXPECT_EQ(TheCamera(program).metallic, kFalse);

    // The menu decides the direction: a field out of step with its check mark follows the menu.
    program.scene.cameraTable[program.scene.currentCamera].atmosphere = kFalse;
    Command(kCommandAtmosphere);
    EXPECT_EQ(TheCamera(program).atmosphere, kFalse);
    EXPECT_FALSE(host.MenuItemChecked(kCommandAtmosphere));
}

TEST_F(Commands, DrawingModesKeepOneCheckMark) {
    Settle();
    Command(kCommandShaded);
    EXPECT_EQ(program.scene.frameDirty, kTrue);  // still a new frame
    EXPECT_EQ(CheckedItems(host), 2);
    for (std::int32_t id = kCommandWireframe; id <= kCommandGradient; ++id) {
        Command(id);
        EXPECT_EQ(TheCamera(program).renderMode, id - kCommandWireframe);
        EXPECT_TRUE(host.MenuItemChecked(id));
        EXPECT_EQ(CheckedItems(host), 2) << id;  // Light and the mode
    }
}

TEST_F(Commands, AcceleratorsNameTheKeysTheirMenuItemsShow) {
    ASSERT_EQ(AcceleratorTable().size(), 12u);
    const char* names[] = {"", "F1", "F2", "F3", "F4", "F5", "F6", "L", "O", "D", "M", "A", "C"};
    for (const Accelerator& entry : AcceleratorTable()) {
        const MenuEntry* item = FindMenuItem(entry.command);
        ASSERT_NE(item, nullptr);
        const std::string text = item->text;
        const std::string key = std::string(entry.control ? "Ctrl+" : "") + names[static_cast<int>(entry.key)];
        EXPECT_EQ(text.substr(text.find('\t') + 1), key);
        EXPECT_EQ(TranslateAccelerator(entry.key, entry.control, false, false), entry.command);
        // No entry uses Shift or Alt, and the Ctrl letters need Ctrl.
        EXPECT_EQ(TranslateAccelerator(entry.key, entry.control, true, false), 0);
        EXPECT_EQ(TranslateAccelerator(entry.key, entry.control, false, true), 0);
        EXPECT_EQ(TranslateAccelerator(entry.key, !entry.control, false, false), 0);
    }
    // Titles and separators are not items.
    EXPECT_EQ(FindMenuItem(1), nullptr);
    EXPECT_EQ(FindMenuItem(20), nullptr);
    EXPECT_EQ(FindMenuItem(58), nullptr);
}

TEST_F(Commands, RenameAndDisabledItemsOnlyReseed) {
    Command(kCommandSphere);
    Settle();
    const std::int32_t faces = program.scene.meshTable[program.scene.currentMesh].faceCount;
    host.secondsSinceMidnight = 1234.5;
    program.random.state = 0;
    for (std::int32_t id : {kCommandRename, kCommandNew, kCommandExit, kCommandAbout, 99}) {
        Command(id);
        EXPECT_EQ(program.scene.frameDirty, kFalse) << id;
    }
    EXPECT_EQ(program.scene.meshRange.count, 1);
    EXPECT_EQ(program.scene.meshTable[program.scene.currentMesh].faceCount, faces);
    Random expected;
    RandomSeed(expected, 1234.5);
    EXPECT_EQ(program.random.state, expected.state);
}

TEST_F(Commands, ObjectCommandsReseedFromTheTimeOfDay) {
    // The same time of day gives the same colours: every command re-seeds first.
    Command(kCommandBox);
    const ColorRGB first = program.scene.facePool[program.scene.meshTable[1].firstFace].color;
    Command(kCommandBox);
    EXPECT_EQ(program.scene.facePool[program.scene.meshTable[1].firstFace].color, first);
}

TEST_F(Commands, ObjectCommandWhileShiftIsHeldForgetsThePointer) {
    Send(KeyMessage(MessageKind::KeyDown, kVirtualKeyShift));
    ASSERT_NE(program.interaction.lightPointer, 0);
    Command(kCommandBox);
    EXPECT_EQ(program.interaction.lightPointer, 0);
    EXPECT_EQ(program.scene.meshRange.count, 1);
    // Releasing Shift deletes nothing of the new scene.
    Send(KeyMessage(MessageKind::KeyUp, kVirtualKeyShift));
    EXPECT_EQ(program.scene.meshRange.count, 1);
    EXPECT_EQ(program.scene.meshTable[1].faceCount, 12);
}

TEST_F(Commands, EditCommandsActOnTheCurrentMesh) {
    Command(kCommandBox);
    Command(kCommandTessellateByFace);
    EXPECT_EQ(program.scene.meshTable[program.scene.currentMesh].faceCount, 36);
    Command(kCommandColorGradient);
    const Face& face = program.scene.facePool[program.scene.meshTable[program.scene.currentMesh].firstFace];
    EXPECT_EQ(face.shine, 0.5f);
    EXPECT_EQ(program.scene.frameDirty, kTrue);
}

}  // namespace
}  // namespace vantrel
