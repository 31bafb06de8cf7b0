// Custom-painted controls: the surface their peer provides, painting on realisation and on
// resizing, and the two hosted widgets drawing onto it.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/software_canvas.h"
#include "tests/unit/ui_recording_backend.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/paint_control.h"
#include "widgets/widget_controls.h"

using platform::Rect;
using uitest::RecordingBackend;

TEST(UiPaintControl, PaintsOntoItsSurfaceOnceThereIsOneAndAfterEachResize) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& box = form.add<ui::PaintControl>("Box");
    box.setBounds(0, 0, 10, 6);
    int paints = 0;
    box.onPaint = [&](platform::Canvas& surface) {
        ++paints;
        surface.fillRect(Rect{0, 0, surface.width(), surface.height()}, 0x0000FF);
    };
    box.paint();
    EXPECT_EQ(box.surface(), nullptr);
    EXPECT_EQ(paints, 0) << "nothing to paint on before the form is realised";

    form.realize();
    ASSERT_NE(box.surface(), nullptr);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(box.surface()->pixel(9, 5), 0x0000FFu);

    box.setSize(20, 8);
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(box.surface()->width(), 20);
    EXPECT_EQ(box.surface()->pixel(19, 7), 0x0000FFu);
    box.setPosition(5, 5);
    EXPECT_EQ(paints, 2) << "moving needs no new picture";
    EXPECT_EQ(backend.updates("Box").back(), ui::Change::Bounds);

    form.unrealize();
    EXPECT_EQ(box.surface(), nullptr);
}

TEST(UiPaintControl, HostsTheGradientBar) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& panel = form.add<ui::Panel>("StressPanel");
    panel.setBounds(8, 96, 361, 113);
    auto& bar = panel.add<widgets::GradientControl>("StressGradient");
    bar.setBounds(8, 24, 345, 17);
    bar.setAnchors({true, true, true, false});
    bar.gradient().SetBkGround(ui::kColorGray);
    bar.gradient().SetStartColor(ui::kColorOlive);
    bar.gradient().SetEndColor(ui::kColorLime);
    bar.gradient().SetShowPercent(false);
    bar.gradient().SetPosition(50);
    form.realize();

    const platform::Canvas& face = *bar.surface();
    EXPECT_EQ(face.width(), 345);
    EXPECT_EQ(face.height(), 17);
    EXPECT_EQ(face.pixel(344, 8), ui::kColorGray) << "the upper half shows the background";
    EXPECT_NE(face.pixel(10, 8), ui::kColorGray);

    bar.gradient().SetPosition(100);
    EXPECT_NE(face.pixel(344, 8), ui::kColorGray) << "a change shows at once";

    panel.setSize(461, 113);
    EXPECT_EQ(bar.width(), 445);
    EXPECT_EQ(bar.gradient().width(), 445);
    EXPECT_EQ(bar.surface()->width(), 445);
    EXPECT_NE(bar.surface()->pixel(444, 8), ui::kColorGray);
    EXPECT_EQ(bar.surface(), &bar.gradient().image()) << "the face is the bar's own picture, not a copy of it";
}

TEST(UiPaintControl, HostsThePerformanceGraph) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& graphControl = form.add<widgets::PerformanceGraphControl>("PerformanceGraph");
    graphControl.setBounds(2, 1, 213, 212);
    auto& graph = graphControl.graph();
    graph.SetBackColor(0x000000);
    graph.SetGridlines(false);
    form.realize();
    ASSERT_NE(graphControl.surface(), nullptr);
    EXPECT_EQ(graph.width(), 213);
    EXPECT_EQ(graph.surface(), graphControl.surface());

    graph.DataPoint(0x00FFFF, graph.Scale());
    graph.Update();
    bool yellowAtTheRightEdge = false;
    for (int x = 209; x < 213; ++x)
        for (int y = 0; y < 212; ++y)
            if (graphControl.surface()->pixel(x, y) == 0x00FFFFu) yellowAtTheRightEdge = true;
    EXPECT_TRUE(yellowAtTheRightEdge) << "the new column shows on the control";
    EXPECT_EQ(graphControl.surface(), &graph.image()) << "the face is the graph's own picture, not a copy of it";

    form.unrealize();
    EXPECT_EQ(graph.surface(), nullptr) << "the graph never draws on a destroyed face";

    // The picture outlives the window: a window made anew shows the same column at once.
    form.realize();
    ASSERT_NE(graphControl.surface(), nullptr);
    bool yellowAgain = false;
    for (int x = 209; x < 213; ++x)
        for (int y = 0; y < 212; ++y)
            if (graphControl.surface()->pixel(x, y) == 0x00FFFFu) yellowAgain = true;
    EXPECT_TRUE(yellowAgain) << "the column drawn before shows on the new window";
}

TEST(UiPaintControl, HostedWidgetsNeedAForm) {
    ui::Panel loose;
    auto& bar = loose.add<widgets::GradientControl>("Bar");
    EXPECT_THROW(bar.gradient(), std::logic_error);
}
