#pragma once
// A host without a window system: it keeps the menu's check marks, records what the window
// procedure asked for, and "shows" each panel in a surface of its own, as a screen would.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/program.h"
#include "canvas/surface.h"

namespace vantrel {

class RecordingHost : public Host {
public:
    // Starts with the menu's initial check marks.
    RecordingHost();
    ~RecordingHost() override;
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    // The program whose window procedure receives the repaints; none: repaints are only counted.
    Program* program = nullptr;
    double secondsSinceMidnight = 43200.0;
    std::int32_t screenWidth = 640;  // logical pixels
    std::int32_t screenHeight = 480;
    double pixelRatio = 1.0;  // device pixels per logical pixel; announce a change with a DpiChanged message
    // The screens offer their memory to be written in place, as a window's image does.
    bool offerPixels = false;
    // Runs while an error box is "open", before it is dismissed.
    std::function<void()> whileErrorBoxOpen;

    // What was asked for.
    std::vector<std::string> errorTexts;  // "caption: text", one per box
    CursorShape cursor = CursorShape::Arrow;
    std::int32_t cursorChanges = 0;
    std::int32_t repaints[kPanelCount + 1] = {};
    std::int32_t panelMoves = 0;
    std::int32_t quitCode = -1;  // -1 until PostQuit
    bool ticking = true;         // timer 1 as told: running from start-up
    std::int32_t tickChanges = 0;
    std::int32_t viewDescriptions = 0;  // texts told; the last is the program's shell.viewDescription

    // The pixels each panel shows, as big as the panel in device pixels.
    const Surface& Screen(PanelId panel) const { return screens_[static_cast<std::int32_t>(panel)]; }
    PanelRect PanelPlace(PanelId panel) const { return places_[static_cast<std::int32_t>(panel)]; }

    bool MenuItemChecked(std::int32_t id) override;
    void CheckMenuItem(std::int32_t id, bool checked) override;
    void SetCursorShape(CursorShape shape) override;
    void MovePanel(PanelId panel, const PanelRect& rect) override;
    PanelRect PanelClientRect(PanelId panel) override;
    void RepaintPanelNow(PanelId panel) override;
    void ShowErrorBox(const char* caption, const char* text) override;
    double SecondsSinceMidnight() override;
    void ScreenSize(std::int32_t& width, std::int32_t& height) override;
    double AdoptPixelRatio() override { return pixelRatio; }
    void PostQuit(std::int32_t exitCode) override;
    void DescribeView(const char*) override { ++viewDescriptions; }
    void WantTicks(bool wanted) override {
        ticking = wanted;
        ++tickChanges;
    }

private:
    std::vector<bool> checked_;  // by command id
    PanelRect places_[kPanelCount + 1];
    Surface screens_[kPanelCount + 1];
};

}  // namespace vantrel
