#pragma once
// The host of the real program: menu check marks on the main window's actions, cursors on its
// client area, panels as its child widgets, error notices as modal message boxes.
#include "app/host.h"

namespace vantrel {

class MainWindow;

class QtHost : public Host {
public:
    explicit QtHost(MainWindow& window) : window_(window) {}

    bool MenuItemChecked(std::int32_t id) override;
    void CheckMenuItem(std::int32_t id, bool checked) override;
    void SetCursorShape(CursorShape shape) override;
    void MovePanel(PanelId panel, const PanelRect& rect) override;
    PanelRect PanelClientRect(PanelId panel) override;
    void RepaintPanelNow(PanelId panel) override;
    void ShowErrorBox(const char* caption, const char* text) override;
    double SecondsSinceMidnight() override;
    void ScreenSize(std::int32_t& width, std::int32_t& height) override;
    double AdoptPixelRatio() override;
    void PostQuit(std::int32_t exitCode) override;
    void WantTicks(bool wanted) override;
    void DescribeView(const char* text) override;

protected:
    MainWindow& window() { return window_; }

private:
    MainWindow& window_;
    CursorShape cursor_ = CursorShape::Unchanged;
};

}  // namespace vantrel
