#include <memory>

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/menu_layout.h"
#include "app/startup.h"
#include "objects/command_ids.h"
#include "canvas/canvas.h"
#include "interaction/picking.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "qt_test_application.h"

namespace vantrel {
namespace {

// The real window, host and program started as main() starts them, minus the timer: the tests
// tick by hand so they know exactly when frames may happen.
struct RunningWindow {
    RunningWindow() : window(*program), host(window) {
        ConnectHost(*program, host);
        window.PlaceAtStart();
        window.show();
        QApplication::setActiveWindow(&window);
        window.clientArea()->setFocus();
        StartProgram(*program, host);
    }
    ~RunningWindow() { StopProgram(*program); }

    void Tick() { window.FrameTick(); }
    void Key(int key, Qt::KeyboardModifiers modifiers, QEvent::Type type = QEvent::KeyPress) {
        QKeyEvent event(type, key, modifiers);
        QCoreApplication::sendEvent(window.clientArea(), &event);
    }
    // A key as the platform delivers it: the shortcut check to the widget holding the keyboard,
    // then the key through the window's own routing.
    void Deliver(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent shortcut(QEvent::ShortcutOverride, key, modifiers), event(type, key, modifiers);
        QWidget* popup = QApplication::activePopupWidget();
        if (type == QEvent::KeyPress) QCoreApplication::sendEvent(popup ? popup : QApplication::focusWidget(), &shortcut);
        QCoreApplication::sendEvent(window.windowHandle(), &event);
    }
    void Type(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Deliver(QEvent::KeyPress, key, modifiers);
        Deliver(QEvent::KeyRelease, key, key == Qt::Key_Alt ? Qt::NoModifier : modifiers);
    }
    QMenu* ClickTitle(qsizetype index) {  // opens a menu as a click on its title does
        QMenuBar* bar = window.menuBar();
        const QPoint at = bar->actionGeometry(bar->actions()[index]).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(bar, &press);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    void Mouse(QEvent::Type type, QPointF point, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, point, window.clientArea()->mapToGlobal(point), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(window.clientArea(), &event);
    }
    const Camera& camera() const { return program->scene.cameraTable[program->scene.currentCamera]; }
    const Light& light() const { return program->scene.lightTable[program->scene.currentLight]; }

    std::unique_ptr<Program> program = std::make_unique<Program>();
    MainWindow window;
    QtHost host;
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { TestApplication(); }
};

// The menu bar written out by hand, line by line: 'P' popup title, 'I' item, '-' separator.
// Checked marks the items that start with a check mark; enabled is false for a grayed popup
// (its items themselves stay enabled, out of reach behind the grayed title).
struct ExpectedMenuLine {
    char kind;
    std::int32_t id;
    const char* text;
    bool checked;
    bool enabled;
};

constexpr ExpectedMenuLine kExpectedMenuBar[] = {
    {'P', 1, "File", false, false},
    {'I', 2, "New", false, true},
    {'-', 3, "", false, true},
    {'I', 4, "Load", false, true},
    {'I', 5, "Save", false, true},
    {'-', 6, "", false, true},
    {'I', 7, "Exit", false, true},
    {'P', 8, "Edit", false, true},
    {'I', 9, "Rename", false, true},
    {'-', 10, "", false, true},
    {'I', 11, "Color White", false, true},
    {'I', 12, "Color Random", false, true},
    {'I', 13, "Color Gradient", false, true},
    {'-', 14, "", false, true},
    {'I', 15, "Tessellate By Face", false, true},
    {'I', 16, "Tessellate By Edge", false, true},
    {'P', 17, "View", false, true},
    {'I', 18, "Light\tCtrl+L", true, true},
    {'I', 19, "Orthographic\tCtrl+O", false, true},
    {'-', 20, "", false, true},
    {'I', 21, "Wireframe\tF1", false, true},
    {'I', 22, "Solid\tF2", false, true},
    {'I', 23, "Shaded\tF3", true, true},
    {'I', 24, "Transparent\tF4", false, true},
    {'I', 25, "Outlined\tF5", false, true},
    {'I', 26, "Gradient\tF6", false, true},
    {'-', 27, "", false, true},
    {'I', 28, "Double-Sided\tCtrl+D", false, true},
    {'I', 29, "Metallic\tCtrl+M", false, true},
    {'I', 30, "Atmosphere\tCtrl+A", false, true},
    {'I', 31, "Color-Correct\tCtrl+C", false, true},
    {'P', 32, "Object", false, true},
    {'I', 33, "Box", false, true},
    {'I', 34, "Grid", false, true},
    {'I', 35, "Sphere", false, true},
    {'I', 36, "Hemisphere", false, true},
    {'I', 37, "Cone", false, true},
    {'I', 38, "Cylinder", false, true},
    {'I', 39, "Pie", false, true},
    {'I', 40, "Tetrahedron", false, true},
    {'I', 41, "Octahedron", false, true},
    {'I', 42, "Geo-Sphere", false, true},
    {'I', 43, "Torus", false, true},
    {'-', 44, "", false, true},
    {'I', 45, "Pixel", false, true},
    {'I', 46, "Line", false, true},
    {'I', 47, "Text", false, true},
    {'I', 48, "Curve", false, true},
    {'-', 49, "", false, true},
    {'I', 50, "Bar Graph", false, true},
    {'I', 51, "Grid Graph", false, true},
    {'I', 52, "Pie Graph", false, true},
    {'-', 53, "", false, true},
    {'I', 54, "Ripple", false, true},
    {'P', 55, "Help", false, false},
    {'I', 56, "About", false, true},
    {'I', 57, "Homepage", false, true},
};

TEST_F(MainWindowTest, MenuBarMatchesTheHandWrittenList) {
    // The table the window is built from, entry by entry.
    const auto entries = MenuBarEntries();
    ASSERT_EQ(entries.size(), std::size(kExpectedMenuBar));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ExpectedMenuLine& want = kExpectedMenuBar[i];
        const MenuEntry& got = entries[i];
        const char kind = got.kind == MenuEntryKind::Popup  ? 'P'
                          : got.kind == MenuEntryKind::Item ? 'I'
                                                            : '-';
        EXPECT_EQ(kind, want.kind) << want.id;
        EXPECT_EQ(got.id, want.id) << "line " << i;
        if (want.kind != '-') {
            EXPECT_STREQ(got.text, want.text) << want.id;
        }
        EXPECT_EQ(got.checked, want.checked) << want.id;
        EXPECT_EQ(got.enabled, want.enabled) << want.id;
    }

    // The menu bar as built: titles, then each popup's actions in order.
    RunningWindow run;
    EXPECT_EQ(run.window.windowTitle(), "Vantrel");
    const QList<QAction*> titles = run.window.menuBar()->actions();
    QList<QAction*> items;
    QMenu* menu = nullptr;
    std::size_t popup = 0;
    for (const ExpectedMenuLine& want : kExpectedMenuBar) {
        if (want.kind == 'P') {
            EXPECT_TRUE(items.isEmpty()) << "extra lines before " << want.text;
            ASSERT_LT(popup, static_cast<std::size_t>(titles.size()));
            QAction* title = titles[static_cast<qsizetype>(popup++)];
            EXPECT_EQ(title->text(), QString::fromLatin1(want.text));
            EXPECT_EQ(title->isEnabled(), want.enabled) << want.text;
            ASSERT_NE(title->menu(), nullptr);
            menu = title->menu();
            items = menu->actions();
            continue;
        }
        ASSERT_FALSE(items.isEmpty()) << "missing line " << want.id;
        QAction* action = items.takeFirst();
        if (want.kind == '-') {
            EXPECT_TRUE(action->isSeparator()) << want.id;
            continue;
        }
        EXPECT_FALSE(action->isSeparator()) << want.id;
        EXPECT_EQ(action, run.window.menuAction(want.id)) << want.id;
        // The menu shows the name and the shortcut after the tab; a screen reader reads them apart.
        const QString name = QString::fromLatin1(want.text).section('\t', 0, 0);
        const QString shortcut = QString::fromLatin1(want.text).section('\t', 1);
        EXPECT_EQ(std::pair(action->text(), action->shortcut().toString()), std::pair(name, shortcut));
        const QAccessibleInterface* readable =
            QAccessible::queryAccessibleInterface(menu)->child(static_cast<int>(menu->actions().indexOf(action)));
        EXPECT_EQ(std::pair(readable->text(QAccessible::Name), readable->text(QAccessible::Accelerator)), std::pair(name, shortcut));
        EXPECT_EQ(action->isChecked(), want.checked) << want.id;
        EXPECT_EQ(action->isEnabled(), want.enabled) << want.id;
    }
    EXPECT_TRUE(items.isEmpty()) << "extra lines at the end";
    EXPECT_EQ(popup, static_cast<std::size_t>(titles.size()));
}

TEST_F(MainWindowTest, ScreenReadersSeeThePanelsAndThePicturesText) {
    RunningWindow run;
    run.window.menuAction(kCommandBox)->trigger();
    run.Tick();
    const auto readable = [&](PanelId id) { return QAccessible::queryAccessibleInterface(run.window.panel(id)); };
    EXPECT_EQ(std::pair(readable(PanelId::View)->role(), readable(PanelId::View)->text(QAccessible::Name)), std::pair(QAccessible::Graphic, QString("Picture")));
    EXPECT_EQ(std::pair(readable(PanelId::Palette)->role(), readable(PanelId::Palette)->text(QAccessible::Name)), std::pair(QAccessible::ColorChooser, QString("Color spectrum")));
    EXPECT_EQ(std::pair(readable(PanelId::Shine)->role(), readable(PanelId::Shine)->text(QAccessible::Name)), std::pair(QAccessible::Slider, QString("Shine")));
    // The overlay's rows describe the picture (screen readers hear of changes through AT-SPI).
    EXPECT_EQ(readable(PanelId::View)->text(QAccessible::Description), "Longitude: 0\nLatitude: 0\nRadius: 200\nName: \nVertices: 8\nFaces: 12");
}

TEST_F(MainWindowTest, AcceleratorsActLikeTheirMenuItems) {
    RunningWindow byKey;
    RunningWindow byMenu;
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::int32_t command;
    } keys[] = {
        {Qt::Key_L, Qt::ControlModifier, kCommandLight},  {Qt::Key_O, Qt::ControlModifier, kCommandOrthographic},
        {Qt::Key_F1, Qt::NoModifier, kCommandWireframe},  {Qt::Key_F2, Qt::NoModifier, kCommandSolid},
        {Qt::Key_F4, Qt::NoModifier, kCommandTransparent}, {Qt::Key_F5, Qt::NoModifier, kCommandOutlined},
        {Qt::Key_F6, Qt::NoModifier, kCommandGradient},   {Qt::Key_F3, Qt::NoModifier, kCommandShaded},
        {Qt::Key_D, Qt::ControlModifier, kCommandDoubleSided}, {Qt::Key_M, Qt::ControlModifier, kCommandMetallic},
        {Qt::Key_A, Qt::ControlModifier, kCommandAtmosphere},  {Qt::Key_C, Qt::ControlModifier, kCommandColorCorrect},
    };
    for (const auto& entry : keys) {
        byKey.Key(entry.key, entry.modifiers);
        byMenu.window.menuAction(entry.command)->trigger();
        EXPECT_EQ(byKey.camera().renderMode, byMenu.camera().renderMode) << entry.command;
        EXPECT_EQ(byKey.camera().orthographic, byMenu.camera().orthographic);
        EXPECT_EQ(byKey.camera().doubleSided, byMenu.camera().doubleSided);
        EXPECT_EQ(byKey.camera().metallic, byMenu.camera().metallic);
        EXPECT_EQ(byKey.camera().atmosphere, byMenu.camera().atmosphere);
        EXPECT_EQ(byKey.camera().colorCorrect, byMenu.camera().colorCorrect);
        EXPECT_EQ(byKey.light().enabled, byMenu.light().enabled);
        for (std::int32_t id = kCommandLight; id <= kCommandColorCorrect; ++id) {
            if (const QAction* action = byMenu.window.menuAction(id)) {
                EXPECT_EQ(byKey.window.menuAction(id)->isChecked(), action->isChecked()) << id;
            }
        }
    }
    EXPECT_EQ(byKey.light().enabled, 0);
    EXPECT_EQ(byKey.camera().orthographic, 8);
    EXPECT_EQ(byKey.camera().renderMode, 2);
    // Shift or Alt with an accelerator key is no accelerator.
    byKey.Key(Qt::Key_F1, Qt::AltModifier);
    byKey.Key(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(byKey.camera().renderMode, 2);
    EXPECT_EQ(byKey.light().enabled, 0);
}

TEST_F(MainWindowTest, AfterAMenuKeysAndDragsReachTheView) {
    RunningWindow run;
    QMenuBar* bar = run.window.menuBar();
    // The pointer moves on while a menu has it; a drag starts where the chosen item was.
    run.Mouse(QEvent::MouseMove, QPoint(20, 20), Qt::NoButton, Qt::NoButton);
    const QPoint start(150, 100);
    QCursor::setPos(run.window.clientArea()->mapToGlobal(start));
    QMenu* view = run.ClickTitle(2);
    ASSERT_NE(view, nullptr);
    view->setActiveAction(run.window.menuAction(kCommandDoubleSided));
    run.Type(Qt::Key_Return);
    EXPECT_EQ(run.camera().doubleSided, kTrue);
    run.Mouse(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    run.Mouse(QEvent::MouseMove, start + QPoint(30, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_FLOAT_EQ(run.program->orbit.longitude, -0.3f);  // 30 pixels at 0.01 radians each
    EXPECT_EQ(run.program->orbit.latitude, 0.0f);

    // Escape from a clicked menu, or a lone Alt, gives the menu bar the keyboard; the keys still act.
    ASSERT_EQ(run.ClickTitle(2), view);
    run.Type(Qt::Key_F4);  // an open popup keeps its keys
    run.Type(Qt::Key_Escape);
    ASSERT_TRUE(bar->hasFocus());
    run.Type(Qt::Key_F1);
    EXPECT_EQ(run.camera().renderMode, 0);
    EXPECT_FALSE(bar->hasFocus()) << "the menu bar lets go once an accelerator acted";
    run.Type(Qt::Key_Alt, Qt::AltModifier);
    run.Type(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(run.light().enabled, 0);
    run.Type(Qt::Key_Alt, Qt::AltModifier);
    ASSERT_TRUE(bar->hasFocus());
    run.Deliver(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(run.program->interaction.lightPlacement, kTrue);
    run.Deliver(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    EXPECT_EQ(run.program->interaction.lightPlacement, kFalse);
    run.Type(Qt::Key_F2);
    EXPECT_EQ(run.camera().renderMode, 1);
    // Alt and the arrow keys still walk the menus; F10 opens the first that can open.
    run.Type(Qt::Key_Alt, Qt::AltModifier);
    run.Type(Qt::Key_Right);  // past the grayed "File"
    run.Type(Qt::Key_Down);
    EXPECT_NE(QApplication::activePopupWidget(), nullptr);
    run.Type(Qt::Key_Escape);
    run.Type(Qt::Key_Escape);
    run.Type(Qt::Key_F10);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), bar->actions()[1]->menu()) << "Edit, past the grayed File";
    run.Type(Qt::Key_Escape);
}

TEST_F(MainWindowTest, ViewItemsThroughTheMenu) {
    RunningWindow run;
    run.Tick();
    QAction* light = run.window.menuAction(kCommandLight);
    light->trigger();
    EXPECT_FALSE(light->isChecked());
    EXPECT_EQ(run.light().enabled, 0);
    light->trigger();
    EXPECT_TRUE(light->isChecked());
    EXPECT_EQ(run.light().enabled, 8);

    run.Tick();
    run.window.menuAction(kCommandShaded)->trigger();
    run.window.menuAction(kCommandShaded)->trigger();
    EXPECT_TRUE(run.window.menuAction(kCommandShaded)->isChecked());
    EXPECT_EQ(run.program->scene.frameDirty, kTrue);
    run.window.menuAction(kCommandOutlined)->trigger();
    EXPECT_FALSE(run.window.menuAction(kCommandShaded)->isChecked());
    EXPECT_TRUE(run.window.menuAction(kCommandOutlined)->isChecked());

    // Every switch and mode shows its mark, on or off, whatever was chosen before; the modes are
    // one radio group, and the menu shows what the program set.
    for (std::int32_t id : {kCommandOrthographic, kCommandOrthographic, kCommandGradient}) {
        run.window.menuAction(id)->trigger();
        for (std::int32_t item = kCommandLight; item <= kCommandColorCorrect; ++item) {
            if (const QAction* action = run.window.menuAction(item)) {
                const bool mode = item >= kCommandWireframe && item <= kCommandGradient;
                EXPECT_TRUE(action->isCheckable() && action->isChecked() == run.host.MenuItemChecked(item)) << item;
                EXPECT_EQ(action->actionGroup() && action->actionGroup()->isExclusive(), mode) << item;
            }
        }
    }

    // Rename changes nothing and asks for no frame.
    run.Tick();
    run.window.menuAction(kCommandRename)->trigger();
    EXPECT_EQ(run.program->scene.frameDirty, kFalse);
}

TEST_F(MainWindowTest, ObjectCommandsReplaceTheScene) {
    RunningWindow run;
    run.window.menuAction(kCommandTorus)->trigger();
    run.window.menuAction(kCommandLine)->trigger();
    EXPECT_EQ(run.program->scene.meshRange.count, 10);  // ten lines and nothing of the torus
    EXPECT_EQ(run.program->scene.currentMesh, 10);
    for (std::int32_t id = kCommandBox; id <= kCommandRipple; ++id) {
        QAction* action = run.window.menuAction(id);
        if (!action) continue;  // separators
        action->trigger();
        const std::int32_t count = run.program->scene.meshRange.count;
        action->trigger();
        EXPECT_EQ(run.program->scene.meshRange.count, count) << id;
        EXPECT_GT(count, 0) << id;
    }
}

TEST_F(MainWindowTest, FramesFollowTicksAndChanges) {
    RunningWindow run;
    // Shown before the program started: no frame until the first tick.
    EXPECT_EQ(run.program->shell.framesRendered, 0);
    run.Tick();
    EXPECT_EQ(run.program->shell.framesRendered, 1);

    // A tick with nothing due leaves the back buffer alone.
    SetPixel(run.program->target.dc, 3, 150, 0x00123456);
    run.Tick();
    EXPECT_EQ(GetPixel(run.program->target.dc, 3, 150), 0x00123456u);
    EXPECT_EQ(run.program->shell.framesRendered, 1);

    // Ten drag moves between two ticks give one frame.
    run.Mouse(QEvent::MouseButtonPress, QPoint(100, 60), Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 10; ++i) {
        run.Mouse(QEvent::MouseMove, QPoint(100 + i, 60 + i), Qt::NoButton, Qt::LeftButton);
    }
    run.Tick();
    run.Tick();
    EXPECT_EQ(run.program->shell.framesRendered, 2);
    EXPECT_NE(run.program->orbit.longitude, 0.0f);
    EXPECT_NE(run.program->orbit.latitude, 0.0f);

    // The view shows the frame: white overlay text in its top-left corner. The text is
    // antialiased, so its bright pixels count; the background there has no red at all.
    const QImage shown = run.window.panel(PanelId::View)->grab().toImage();
    int bright = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 60; ++x) bright += qRed(shown.pixel(x, y)) >= 128;
    }
    EXPECT_GT(bright, 20);

    // The window's own image holds the back buffer, written there by the view without a copy
    // of its own.
    QWidget* view = run.window.panel(PanelId::View);
    QCoreApplication::processEvents();  // the window is exposed
    const std::int64_t offered = QtPanelCanvas::PixelsOffered();
    view->repaint();
    EXPECT_GT(QtPanelCanvas::PixelsOffered(), offered);
    const QPoint at = view->mapTo(&run.window, QPoint(0, 0));
    const QImage screen = run.window.screen()->grabWindow(run.window.winId(), at.x(), at.y(), view->width(), view->height()).toImage();
    const Surface* buffer = DcSurface(run.program->target.dc);
    // Pixels that differ from the back buffer inside the panel's device pixels, whose edges lie
    // at origin plus its logical edges times the ratio, rounded; or from green around them.
    const auto differing = [&](const QImage& image, QPointF origin, double ratio) {
        const QRect panel(origin.toPoint(), QPointF(origin + QPointF(view->width(), view->height()) * ratio).toPoint() - QPoint(1, 1));
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QPoint p = QPoint(x, y) - panel.topLeft();
                count += image.pixel(x, y) != (panel.contains(x, y) ? buffer->pixels[p.y() * buffer->pitch + p.x()] : 0xFF00FF00u);
            }
        }
        return count;
    };
    EXPECT_EQ(differing(screen, QPointF(0, 0), 1), 0);

    // At other ratios a frame comes at once, and the panel shows the back buffer's device pixels
    // one to one, written in place into an image in our pixel layout (also when the panel starts
    // between device pixels), drawn otherwise; not one pixel around the panel changes.
    struct Case { double ratio; QPoint offset; QImage::Format format; bool inPlace; };
    const Case kCases[] = {{1.5, {0, 0}, QImage::Format_RGB32, true},
                           {1.5, {13, 17}, QImage::Format_RGB32, true},
                           {2, {13, 17}, QImage::Format_ARGB32_Premultiplied, true},
                           {2, {13, 17}, QImage::Format_RGB888, false}};
    for (const auto& c : kCases) {
        run.window.OverridePixelRatio(c.ratio);
        buffer = DcSurface(run.program->target.dc);
        QImage fine(ToDevice(view->width() + 30, c.ratio), ToDevice(view->height() + 30, c.ratio), c.format);
        fine.fill(0xFF00FF00u);
        fine.setDevicePixelRatio(c.ratio);
        const std::int64_t before = QtPanelCanvas::PixelsOffered();
        view->render(&fine, c.offset);
        EXPECT_EQ(QtPanelCanvas::PixelsOffered() > before, c.inPlace) << c.ratio << " " << c.format;
        EXPECT_EQ(differing(fine, QPointF(c.offset) * c.ratio, c.ratio), 0) << c.ratio << " " << c.format;
    }
    EXPECT_EQ(run.program->shell.framesRendered, 4) << "a frame at each change of ratio";
}

TEST_F(MainWindowTest, TheFrameTimerRunsOnlyWhileAFrameIsDue) {
    RunningWindow run;
    const QTimer& timer = run.window.frameTimer();
    run.window.StartFrameTimer();
    // Its own tick draws the first frame, then it rests until a change makes the next one due.
    QEventLoop loop;
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(std::pair(run.program->shell.framesRendered, timer.isActive()), std::pair(std::int64_t{1}, false));
    run.window.menuAction(kCommandBox)->trigger();
    EXPECT_TRUE(timer.isActive());
}

TEST_F(MainWindowTest, AtRatioTwoTheFaceUnderTheDevicePixelIsPicked) {
    RunningWindow run;
    run.window.OverridePixelRatio(2);
    run.window.menuAction(kCommandGeoSphere)->trigger();
    run.Tick();
    std::int32_t wrong = 0, besideTheCentre = 0;
    for (int y = 80; y < 130; y += 3) {
        for (int x = 100; x < 200; ++x) {
            for (const double part : {0.25, 0.75}) {
                run.Mouse(QEvent::MouseMove, QPointF(x + part, y + part), Qt::NoButton, Qt::NoButton);
                const std::int32_t under = PickFace(run.program->scene, run.program->work, 2 * x + (part > 0.5), 2 * y + (part > 0.5));
                wrong += run.program->interaction.hoverFace != under;
                besideTheCentre += under != PickFace(run.program->scene, run.program->work, 2 * x + 1, 2 * y + 1);
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(besideTheCentre, 20) << "positions near edges, where the two differ";
}

TEST_F(MainWindowTest, MinimisingKeepsPanelsAndRestoringRendersAtOnce) {
    RunningWindow run;
    run.Tick();
    const QRect view = run.window.panel(PanelId::View)->geometry();
    const QRect shine = run.window.panel(PanelId::Shine)->geometry();
    EXPECT_EQ(shine.width(), run.window.clientArea()->width());
    EXPECT_EQ(view.width(), run.window.clientArea()->width() - 16);
    run.window.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_EQ(run.window.panel(PanelId::View)->geometry(), view);
    const auto frames = run.program->shell.framesRendered;
    run.window.showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(run.program->shell.framesRendered, frames + 1);  // without a tick
    EXPECT_EQ(run.window.panel(PanelId::View)->geometry(), view);
}

TEST_F(MainWindowTest, ASecondCopyUndoesMinimisingOnly) {
    RunningWindow run;
    run.window.showMaximized();
    QCoreApplication::processEvents();
    run.window.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(run.window.isMinimized());
    run.window.RestoreAndRaise();
    QCoreApplication::processEvents();
    EXPECT_FALSE(run.window.isMinimized());
    EXPECT_TRUE(run.window.isMaximized()) << "a maximised window comes back maximised";

    run.window.showNormal();
    run.window.showMinimized();
    QCoreApplication::processEvents();
    run.window.RestoreAndRaise();
    QCoreApplication::processEvents();
    EXPECT_FALSE(run.window.isMinimized());
    EXPECT_FALSE(run.window.isMaximized());
    EXPECT_TRUE(run.window.isVisible());
}

TEST_F(MainWindowTest, ErrorBoxIsModalAndHoldsFramesBack) {
    RunningWindow run;
    run.Tick();
    const auto frames = run.program->shell.framesRendered;
    QString caption;
    QString text;
    int buttons = 0;
    bool critical = false;
    std::int64_t framesWhileOpen = -1;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        buttons = box->buttons().size();
        critical = box->icon() == QMessageBox::Critical;
        run.program->scene.frameDirty = kTrue;
        run.Tick();  // the timer keeps firing inside the box's loop
        framesWhileOpen = run.program->shell.framesRendered;
        box->accept();
    });
    ReportError(run.program->scene.reporter, kErrorMeshMemory);
    EXPECT_EQ(caption, "Error");
    EXPECT_EQ(text, "Unable to allocate memory for mesh!");
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(critical);
    EXPECT_EQ(framesWhileOpen, frames);
    EXPECT_EQ(run.program->shell.modalDepth, 0);
    run.Tick();
    EXPECT_EQ(run.program->shell.framesRendered, frames + 1);
}

}  // namespace
}  // namespace vantrel
