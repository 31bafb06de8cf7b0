#include "widgets/performance_graph.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/software_canvas.h"

using platform::Color;
using platform::SoftwareCanvas;
using widgets::pgBar;
using widgets::pgLine;
using widgets::TPerformanceGraph;

namespace {

constexpr Color kYellow = 0x00FFFF;
constexpr Color kRed = 0x0000FF;
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kGreen = 0x008000;
constexpr Color kBlack = 0x000000;

// An image that counts how often it is copied onto the control's surface.
class CountingCanvas : public SoftwareCanvas {
public:
    using SoftwareCanvas::SoftwareCanvas;
    void copyTo(platform::Canvas& target, int x, int y) const override {
        ++copies;
        SoftwareCanvas::copyTo(target, x, y);
    }
    mutable int copies = 0;
};

// A graph of the given size painting onto a surface of its own.
struct Graph {
    explicit Graph(int width = 100, int height = 100) : surface(width, height), graph(takeImage()) {
        graph.setSize(width, height);
        graph.setSurface(&surface);
        graph.Paint();
    }
    std::unique_ptr<platform::Canvas> takeImage() {
        auto canvas = std::make_unique<CountingCanvas>(0, 0);
        image = canvas.get();
        return canvas;
    }
    // The main window's graph.
    static void mainWindowSetup(TPerformanceGraph& g) {
        g.SetGridSize(16);
        g.SetStepSize(1);
        g.SetScale(100);
        g.SetGradient(100);
        g.SetPenWidth(1);
    }
    void feed(int32_t value, Color color = kYellow) {
        graph.DataPoint(color, value);
        graph.Update();
    }
    std::vector<Color> pixels() const {
        std::vector<Color> all;
        for (int y = 0; y < image->height(); ++y)
            for (int x = 0; x < image->width(); ++x) all.push_back(image->pixel(x, y));
        return all;
    }
    int count(Color color) const {
        int n = 0;
        for (Color c : pixels()) n += c == color;
        return n;
    }
    // The topmost row of column x in the colour, or -1.
    int top(int x, Color color) const {
        for (int y = 0; y < image->height(); ++y)
            if (image->pixel(x, y) == color) return y;
        return -1;
    }

    CountingCanvas* image = nullptr;
    SoftwareCanvas surface;
    TPerformanceGraph graph;
};

std::vector<int32_t> columnValues(const TPerformanceGraph& g, int index) {
    const auto& c = g.column(index);
    return std::vector<int32_t>(c.values.begin(), c.values.begin() + c.count);
}

}  // namespace

TEST(PerformanceGraph, ConstructedHistoryAndBackground) {
    TPerformanceGraph g(std::make_unique<SoftwareCanvas>(0, 0));
    EXPECT_EQ(g.GetBandCount(), 33);
    EXPECT_EQ(g.historyCapacity(), 35);
    EXPECT_EQ(g.currentIndex(), 0);
    EXPECT_EQ(g.firstIndex(), 1);

    // The first vertical line at GridSize - 1; the next one would stand at 104.
    const auto& image = g.image();
    ASSERT_EQ(image.width(), 100);
    for (int x = 0; x < 100; ++x) EXPECT_EQ(image.pixel(x, 1), x % 15 == 14 ? kGreen : kBlack) << x;
    for (int y = 0; y < 100; ++y) EXPECT_EQ(image.pixel(1, y), y % 15 == 0 && y > 0 ? kGreen : kBlack) << y;
    EXPECT_EQ(g.gridPhase(), 4);
}

TEST(PerformanceGraph, MainWindowGraphGeometry) {
    Graph t(213, 212);
    Graph::mainWindowSetup(t.graph);
    EXPECT_EQ(t.graph.GetBandCount(), 213);
    EXPECT_EQ(t.graph.historyCapacity(), 215);
    EXPECT_EQ(t.graph.PenWidth(), 1);

    // Horizontal grid lines at 16, 32, ... 208, in a column without a vertical line.
    const int plainColumn = t.image->pixel(0, 1) == kGreen ? 1 : 0;
    for (int y = 0; y < 212; ++y)
        EXPECT_EQ(t.image->pixel(plainColumn, y), y % 16 == 0 && y > 0 ? kGreen : kBlack) << y;

    // After more steps than the ring holds, a full redraw starts with the second oldest
    // column at x = 0 and ends with the column completed last at x = 212.
    t.graph.SetGraphKind(pgBar);
    std::vector<int32_t> fed;
    for (int i = 0; i < 300; ++i) {
        fed.push_back(i % 97 + 1);
        t.feed(fed.back());
    }
    ASSERT_EQ(t.graph.Scale(), 100);
    const std::vector<Color> live = t.pixels();
    t.graph.Replay();
    EXPECT_EQ(t.pixels(), live) << "a full redraw shows what the steps drew";
    for (int x = 0; x < 213; ++x) {
        const int32_t value = fed[fed.size() - 213 + static_cast<size_t>(x)];
        EXPECT_EQ(t.top(x, kYellow), 212 - value * 212 / 100 - 1) << "column " << x;
    }
}

TEST(PerformanceGraph, StepsAndFullRedrawsAgree) {
    struct Setup {
        int width, height, step, grid;
    };
    for (const Setup s : {Setup{100, 100, 3, 15}, Setup{50, 40, 5, 2}, Setup{64, 30, 2, 7}}) {
        Graph t(s.width, s.height);
        t.graph.SetGraphKind(pgBar);
        t.graph.SetStepSize(s.step);
        t.graph.SetGridSize(s.grid);
        for (int i = 0; i < 3 * s.width; ++i) {
            t.graph.DataPoint(kRed, i % 40 + 10);
            t.graph.DataPoint(kYellow, i % 40 + 30);
            t.graph.Update();
            if (i % 17 == 0) {
                // The full redraw leaves out the oldest column, so the sliver left of the
                // first whole column (W mod StepSize wide) may differ.
                const int sliver = s.width % s.step;
                const std::vector<Color> live = t.pixels();
                t.graph.Replay();
                const std::vector<Color> replayed = t.pixels();
                for (int y = 0; y < s.height; ++y)
                    for (int x = sliver; x < s.width; ++x) {
                        const size_t at = static_cast<size_t>(y * s.width + x);
                        ASSERT_EQ(replayed[at], live[at]) << s.width << "x" << s.height << " step " << i << " at " << x << "," << y;
                    }
            }
        }
        EXPECT_GE(t.graph.gridPhase(), 0);
        EXPECT_LT(t.graph.gridPhase(), s.grid);
    }
}

// A hidden window's graph draws nothing while it steps; when the window shows again the graph
// draws the steps it owes and looks exactly as the graph drawn at every step does (sliver at the
// left edge included), whether it was held for a few steps or for more than its width, across
// changes of scale while held, in both kinds, with and without grid lines.
TEST(PerformanceGraph, HeldGraphCatchesUpPixelForPixel) {
    struct Setup {
        const char* what;
        int width, height, step, grid;
        widgets::TGraphKind kind;
        bool gridlines;
    };
    const Setup setups[] = {
        {"main window lines", 213, 212, 1, 16, pgLine, true},
        {"wide steps, sliver", 100, 100, 3, 15, pgLine, true},
        {"bars, sliver", 50, 40, 7, 5, pgBar, true},
        {"lines, steps wider than the grid", 64, 30, 9, 4, pgLine, true},
        {"lines without grid", 41, 60, 2, 15, pgLine, false},
    };
    // Two series whose steep lines cross the strip edges and the base lines; a burst beyond
    // 100 moves the scale up and, once it leaves the ring, down again.
    const auto value = [](int i, int series) {
        if (i % 97 >= 40 && i % 97 < 43) return 150 + series * 30;
        return (i * (7 + series * 5)) % 90 + (i % 5 == 0 ? 0 : 5);
    };
    for (const Setup& s : setups) {
        Graph live(s.width, s.height), held(s.width, s.height);
        for (Graph* g : {&live, &held}) {
            g->graph.SetStepSize(s.step);
            g->graph.SetGridSize(s.grid);
            g->graph.SetGraphKind(s.kind);
            g->graph.SetGridlines(s.gridlines);
            g->graph.SetScale(100);
            g->graph.SetBaseLine1Value(30);
            g->graph.SetBaseLine2Value(70);
        }
        int i = 0;
        const auto step = [&](Graph& g, int at) {
            g.graph.DataPoint(kRed, value(at, 0));
            g.graph.DataPoint(kYellow, value(at, 1));
            g.graph.Update();
        };
        // Held for a few steps, for exactly a width, for more than a width and for a long time.
        const int band = s.width / s.step;
        for (int heldSteps : {1, 5, band, band + 1, band + 2, 3 * band + 17, 150}) {
            held.graph.HoldDrawing(true);
            const std::vector<Color> before = held.pixels();
            const int copies = held.image->copies;
            bool scaleMoved = false;
            for (int k = 0; k < heldSteps; ++k, ++i) {
                const int32_t scale = live.graph.Scale();
                step(live, i);
                step(held, i);
                scaleMoved = scaleMoved || live.graph.Scale() != scale;
            }
            EXPECT_EQ(held.graph.Scale(), live.graph.Scale()) << s.what;
            if (!scaleMoved) {
                EXPECT_EQ(held.pixels(), before) << s.what << ": nothing drawn while held";
                EXPECT_EQ(held.image->copies, copies) << s.what;
            }
            held.graph.HoldDrawing(false);
            EXPECT_EQ(held.graph.gridPhase(), live.graph.gridPhase()) << s.what;
            ASSERT_EQ(held.pixels(), live.pixels()) << s.what << " after " << heldSteps << " held steps, step " << i;
            EXPECT_EQ(held.surface.pixel(s.width - 1, s.height / 2), live.surface.pixel(s.width - 1, s.height / 2))
                << s.what << ": the surface shows it";
            // Shown again, it steps as before.
            for (int k = 0; k < 3; ++k, ++i) {
                step(live, i);
                step(held, i);
            }
            ASSERT_EQ(held.pixels(), live.pixels()) << s.what << " shown, step " << i;
        }
    }
}

TEST(PerformanceGraph, BarsStackAndShareTheirBoundaryRow) {
    Graph t(213, 212);
    Graph::mainWindowSetup(t.graph);
    t.graph.SetGraphKind(pgBar);
    t.graph.SetGridlines(false);
    t.graph.DataPoint(kRed, 30);
    t.graph.DataPoint(kYellow, 70);
    t.graph.Update();
    for (int y = 0; y < 212; ++y) {
        const Color want = y < 64 ? kBlack : y <= 148 ? kYellow : kRed;
        ASSERT_EQ(t.image->pixel(212, y), want) << y;
    }
    EXPECT_EQ(t.image->pixel(211, 200), kBlack);
    EXPECT_EQ(t.graph.Scale(), 100);

    // A point of value 0 is skipped and does not become the level the next bar stands on.
    t.graph.DataPoint(kRed, 30);
    t.graph.DataPoint(kWhite, 0);
    t.graph.DataPoint(kYellow, 70);
    t.graph.Update();
    for (int y = 0; y < 212; ++y) ASSERT_EQ(t.image->pixel(212, y), t.image->pixel(211, y)) << y;
}

TEST(PerformanceGraph, BarsAndLinesTruncateDifferently) {
    // 30 of 100 at height 100: a bar of 30 rows (plus its top row), a line at height 29.
    Graph t(100, 100);
    t.graph.SetGridlines(false);
    t.graph.SetScale(100);
    t.graph.SetGraphKind(pgBar);
    t.feed(30);
    EXPECT_EQ(t.top(99, kYellow), 69);

    t.graph.SetGraphKind(pgLine);
    t.feed(30);
    t.feed(30);
    EXPECT_EQ(t.top(97, kYellow), 71);
    EXPECT_EQ(t.top(94, kYellow), 71);
    EXPECT_EQ(t.image->pixel(97, 72), kBlack);
}

TEST(PerformanceGraph, LinesContinueFromTheSameColourOrRiseFromTheBottom) {
    Graph t(100, 100);
    t.graph.SetGridlines(false);
    t.graph.SetScale(100);
    t.feed(40);
    t.feed(40);
    EXPECT_EQ(t.top(97, kYellow), 60);  // flat: continues from 40
    EXPECT_EQ(t.image->pixel(97, 99), kBlack);

    t.feed(0);  // nothing drawn
    for (int x = 97; x < 100; ++x) EXPECT_EQ(t.top(x, kYellow), -1);

    t.feed(40);  // after a 0 the line rises from the bottom edge
    EXPECT_EQ(t.image->pixel(97, 99), kYellow);
    t.graph.DataPoint(kYellow, 40);
    t.graph.DataPoint(kRed, 20);  // a colour the previous column lacks rises as well
    t.graph.Update();
    EXPECT_EQ(t.image->pixel(97, 99), kRed);
    EXPECT_EQ(t.top(97, kYellow), 60);
}

TEST(PerformanceGraph, ReferenceLinesAreDottedAndOnlyInLineMode) {
    Graph t(100, 100);
    t.graph.SetGridlines(false);
    t.graph.SetScale(100);
    t.graph.SetBaseLine1Value(50);
    t.graph.SetBaseLine2Value(25);
    EXPECT_EQ(t.count(kWhite), 0) << "drawn only with a line segment";

    t.feed(10);
    for (int x = 0; x < 100; ++x) {
        EXPECT_EQ(t.image->pixel(x, 50), x % 6 < 3 ? kWhite : kBlack) << x;
        EXPECT_EQ(t.image->pixel(x, 75), x % 6 < 3 ? kRed : kBlack) << x;
    }

    t.graph.SetGraphKind(pgBar);
    EXPECT_EQ(t.count(kWhite), 0);
    EXPECT_EQ(t.count(kRed), 0);
    EXPECT_GT(t.count(kYellow), 0);

    // Value 0 lies just below the image.
    t.graph.SetGraphKind(pgLine);
    t.graph.SetBaseLine1Value(0);
    t.graph.SetBaseLine2Value(0);
    t.feed(10);
    EXPECT_EQ(t.count(kWhite), 0);
    EXPECT_EQ(t.count(kRed), 0);
}

TEST(PerformanceGraph, ScaleFollowsTheHistory) {
    Graph t(10, 97);
    t.graph.SetStepSize(1);  // a ring of 12 columns
    t.graph.SetGraphKind(pgBar);
    t.graph.SetGridlines(false);
    t.graph.SetScale(100);
    int changes = 0;
    t.graph.OnScaleChange = [&](TPerformanceGraph& sender) {
        EXPECT_EQ(&sender, &t.graph);
        ++changes;
    };
    for (int32_t v : {35, 60, 20}) {
        t.feed(v);
        EXPECT_EQ(t.graph.Scale(), 100);
    }
    EXPECT_EQ(changes, 0);

    t.feed(130);
    EXPECT_EQ(t.graph.Scale(), 200);
    EXPECT_EQ(changes, 1);
    // Redrawn at half height: 130 -> 63 rows, 20 -> 9 rows, 60 -> 29 rows (of 97).
    EXPECT_EQ(t.top(9, kYellow), 97 - 63 - 1);
    EXPECT_EQ(t.top(8, kYellow), 97 - 9 - 1);
    EXPECT_EQ(t.top(7, kYellow), 97 - 29 - 1);

    // The 130 stays in the ring (shown or not) for 11 more steps.
    for (int i = 1; i <= 10; ++i) {
        t.feed(20);
        EXPECT_EQ(t.graph.Scale(), 200) << i;
    }
    t.feed(20);
    EXPECT_EQ(t.graph.Scale(), 100);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(t.top(9, kYellow), 97 - 19 - 1);

    // A scale set from outside holds until the next step.
    t.graph.SetScale(1000);
    EXPECT_EQ(t.graph.Scale(), 1000);
    t.feed(20);
    EXPECT_EQ(t.graph.Scale(), 100);
}

TEST(PerformanceGraph, HistoryWithoutPositiveValuesDrawsNothing) {
    Graph t(100, 100);
    t.graph.SetGridlines(false);
    t.graph.SetBaseLine1Value(50);
    t.feed(0);
    EXPECT_EQ(t.graph.Scale(), 0);
    t.feed(-40);  // scale 0: negative values are not divided by it
    t.feed(-40);
    EXPECT_EQ(t.graph.Scale(), 0);
    EXPECT_EQ(t.count(kBlack), 100 * 100);
    t.graph.SetGraphKind(pgBar);
    EXPECT_EQ(t.count(kBlack), 100 * 100);

    // Values far above a scale set from outside stay within the arithmetic.
    t.graph.SetGraphKind(pgLine);
    t.graph.SetGradient(0);
    t.feed(2147483647);
    t.graph.SetScale(1);
    t.graph.SetGraphKind(pgBar);
    EXPECT_EQ(t.top(97, kYellow), 0);
}

TEST(PerformanceGraph, SeventeenthPointIsRefused) {
    Graph t;
    for (int i = 1; i <= 16; ++i) t.graph.DataPoint(kYellow, i);
    try {
        t.graph.DataPoint(kRed, 99);
        FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "");
    }
    const auto& column = t.graph.column(t.graph.currentIndex());
    EXPECT_EQ(column.count, 16);
    EXPECT_EQ(column.values[15], 16);
    EXPECT_EQ(column.colors[15], kYellow);
    t.graph.Update();
    EXPECT_NO_THROW(t.graph.DataPoint(kRed, 1));
}

TEST(PerformanceGraph, SettersRedrawOnlyOnChange) {
    Graph t;
    int scaleChanges = 0;
    t.graph.OnScaleChange = [&](TPerformanceGraph&) { ++scaleChanges; };
    const int start = t.image->copies;

    // The values already held: nothing happens (the main window's start-up colours included).
    t.graph.SetGraphKind(pgLine);
    t.graph.SetForeColor(kGreen);
    t.graph.SetBackColor(kBlack);
    t.graph.SetGridSize(15);
    t.graph.SetStepSize(3);
    t.graph.SetScale(1000);
    t.graph.SetGradient(100);
    t.graph.SetGridlines(true);
    t.graph.SetPenWidth(2);
    t.graph.SetBaseLine1Value(0);
    t.graph.SetBaseLine1Color(kWhite);
    t.graph.SetBaseLine2Value(0);
    t.graph.SetBaseLine2Color(kRed);
    t.graph.setSize(100, 100);
    EXPECT_EQ(t.image->copies, start);
    EXPECT_EQ(scaleChanges, 0);

    // Each new value: one full redraw.
    TPerformanceGraph& g = t.graph;
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"kind", [&] { g.SetGraphKind(pgBar); }},          {"fore colour", [&] { g.SetForeColor(kRed); }},
        {"back colour", [&] { g.SetBackColor(0x101010); }}, {"grid size", [&] { g.SetGridSize(20); }},
        {"step size", [&] { g.SetStepSize(2); }},          {"gradient", [&] { g.SetGradient(50); }},
        {"scale", [&] { g.SetScale(500); }},               {"gridlines", [&] { g.SetGridlines(false); }},
        {"pen width", [&] { g.SetPenWidth(1); }},          {"baseline 1", [&] { g.SetBaseLine1Value(10); }},
        {"baseline 2", [&] { g.SetBaseLine2Value(20); }},  {"baseline 1 colour", [&] { g.SetBaseLine1Color(kYellow); }},
        {"baseline 2 colour", [&] { g.SetBaseLine2Color(kGreen); }},
    };
    int expected = start;
    for (const auto& [what, change] : changes) {
        change();
        EXPECT_EQ(t.image->copies, ++expected) << what;
    }
    EXPECT_EQ(t.surface.pixel(5, 5), 0x101010u) << "the surface shows the new picture";
}

TEST(PerformanceGraph, GridAndStepSizesHaveFloors) {
    Graph t;
    t.graph.SetGridSize(0);
    EXPECT_EQ(t.graph.GridSize(), 2);
    const int copies = t.image->copies;
    t.graph.SetGridSize(1);
    EXPECT_EQ(t.image->copies, copies) << "1 becomes 2, which is held already";

    t.graph.SetStepSize(-5);
    EXPECT_EQ(t.graph.StepSize(), 1);
    EXPECT_EQ(t.graph.historyCapacity(), 102) << "history re-laid for the new step";
    t.graph.SetStepSize(0);
    EXPECT_EQ(t.image->copies, copies + 1);
}

TEST(PerformanceGraph, ScaleIsRoundedUpToTheGradient) {
    Graph t;
    int changes = 0;
    t.graph.OnScaleChange = [&](TPerformanceGraph& g) {
        EXPECT_EQ(g.Scale(), 200) << "fired after storing";
        ++changes;
    };
    t.graph.SetScale(150);
    EXPECT_EQ(t.graph.Scale(), 200);
    EXPECT_EQ(changes, 1);
    t.graph.SetScale(101);  // rounds to the value held: no change
    EXPECT_EQ(changes, 1);

    t.graph.OnScaleChange = nullptr;
    t.graph.SetGradient(0);
    t.graph.SetScale(150);
    EXPECT_EQ(t.graph.Scale(), 150);
    t.graph.SetGradient(1000);
    t.graph.SetScale(2147483647);  // rounding up would pass the largest value
    EXPECT_EQ(t.graph.Scale(), 2147483647);
}

TEST(PerformanceGraph, GridlinesOffLeavesThePhase) {
    Graph t;
    t.feed(50);
    const int phase = t.graph.gridPhase();
    t.graph.SetGridlines(false);
    for (int i = 0; i < 7; ++i) t.feed(50);
    EXPECT_EQ(t.graph.gridPhase(), phase);
    EXPECT_EQ(t.count(kGreen), 0);

    t.graph.SetGridlines(true);
    EXPECT_GT(t.count(kGreen), 0);
    t.feed(50);
    EXPECT_EQ(t.graph.gridPhase(), (phase - 3 + 15) % 15);
}

TEST(PerformanceGraph, ResizingReLaysTheHistory) {
    // Width 10 at step 1: a ring of 12. Fed 1 ... 15, with 99 still being gathered.
    auto fedGraph = [](Graph& t) {
        t.graph.SetStepSize(1);
        t.graph.SetGraphKind(pgBar);
        t.graph.SetGridlines(false);
        t.graph.SetScale(100);
        for (int v = 1; v <= 15; ++v) t.feed(v);
        t.graph.DataPoint(kYellow, 99);
    };

    {  // Wider: the whole history at the front of the new ring, the new columns empty.
        Graph t(10, 101);
        fedGraph(t);
        t.graph.setSize(14, 101);
        ASSERT_EQ(t.graph.historyCapacity(), 16);
        for (int i = 0; i <= 10; ++i) EXPECT_EQ(columnValues(t.graph, i), std::vector<int32_t>{i + 5}) << i;
        EXPECT_EQ(columnValues(t.graph, 11), std::vector<int32_t>{99});
        EXPECT_EQ(t.graph.currentIndex(), 11);
        for (int i = 12; i < 16; ++i) EXPECT_EQ(t.graph.column(i).count, 0) << i;
        // The old picture stays at the right edge and the gathered column joins it there.
        EXPECT_EQ(t.top(13, kYellow), 100 - 15);
        EXPECT_EQ(t.top(3, kYellow), 100 - 5);
        EXPECT_EQ(t.top(2, kYellow), -1);
        t.graph.Update();
        EXPECT_EQ(t.top(13, kYellow), 100 - 99);
        EXPECT_EQ(t.count(kYellow), (6 + 16) * 11 / 2 + 100) << "5 ... 15, and the 99 once";
    }
    {  // Narrower: only the newest columns that fit.
        Graph t(10, 101);
        fedGraph(t);
        t.graph.setSize(6, 101);
        ASSERT_EQ(t.graph.historyCapacity(), 8);
        for (int i = 0; i <= 6; ++i) EXPECT_EQ(columnValues(t.graph, i), std::vector<int32_t>{i + 9}) << i;
        EXPECT_EQ(columnValues(t.graph, 7), std::vector<int32_t>{99});
        EXPECT_EQ(t.graph.currentIndex(), 7);
        EXPECT_EQ(t.graph.firstIndex(), 0);
        EXPECT_EQ(t.top(5, kYellow), 100 - 15);
        EXPECT_EQ(t.top(0, kYellow), 100 - 10);
    }
    {  // A change of height only redraws.
        Graph t(10, 101);
        fedGraph(t);
        const int current = t.graph.currentIndex();
        const int first = t.graph.firstIndex();
        t.graph.setSize(10, 50);
        EXPECT_EQ(t.graph.historyCapacity(), 12);
        EXPECT_EQ(t.graph.currentIndex(), current);
        EXPECT_EQ(t.graph.firstIndex(), first);
        EXPECT_EQ(t.top(9, kYellow), 50 - 7 - 1);
    }
    {  // A property changed between a resize and the next paint still re-lays the history.
        Graph t(10, 101);
        fedGraph(t);
        t.graph.setSurface(nullptr);
        t.graph.setSize(6, 101);
        t.graph.SetForeColor(kWhite);
        EXPECT_EQ(t.graph.historyCapacity(), 8);
        EXPECT_EQ(t.top(5, kYellow), 100 - 15);
    }
    {  // A new display scale: grid and step scale with the size and every column is kept, drawn
       // twice as wide at 192 dpi; back at 96 dpi the picture is what it was.
        Graph t(10, 101);
        fedGraph(t);
        t.graph.SetGridlines(true);
        const std::vector<Color> before = t.pixels();
        t.surface.resize(20, 202);
        t.graph.Rescale(96, 192, 20, 202);
        EXPECT_EQ(t.graph.GridSize(), 30);
        EXPECT_EQ(t.graph.StepSize(), 2);
        ASSERT_EQ(t.graph.historyCapacity(), 12);
        for (int i = 0; i <= 10; ++i) EXPECT_EQ(columnValues(t.graph, i), std::vector<int32_t>{i + 5}) << i;
        EXPECT_EQ(columnValues(t.graph, 11), std::vector<int32_t>{99});
        EXPECT_EQ(t.top(18, kYellow), 202 - 30 - 1);
        EXPECT_EQ(t.top(19, kYellow), 202 - 30 - 1);
        EXPECT_EQ(t.top(0, kYellow), 202 - 12 - 1) << "the oldest column drawn, 6, at the left edge";
        t.surface.resize(10, 101);
        t.graph.Rescale(192, 96, 10, 101);
        EXPECT_EQ(t.graph.GridSize(), 15);
        EXPECT_EQ(t.pixels(), before);
    }
}

TEST(PerformanceGraph, NarrowerThanOneStepShowsOnlyTheBackground) {
    Graph t(30, 64);  // step 3: ten columns, a ring of 12
    t.graph.SetGraphKind(pgBar);
    t.graph.SetScale(100);
    for (int i = 0; i < 5; ++i) t.feed(50);
    const int capacity = t.graph.historyCapacity();
    const int current = t.graph.currentIndex();

    t.graph.setSize(2, 64);
    t.surface.resize(2, 64);
    t.graph.Paint();
    EXPECT_EQ(t.graph.GetBandCount(), 0);
    EXPECT_EQ(t.image->width(), 2);
    EXPECT_EQ(t.count(kYellow), 0);
    EXPECT_GT(t.count(kGreen), 0) << "the grid is still drawn";
    EXPECT_EQ(t.graph.historyCapacity(), capacity) << "the history is kept";
    EXPECT_EQ(t.graph.currentIndex(), current);

    t.feed(70);  // steps go on without drawing a column
    t.feed(70);
    t.graph.SetForeColor(kRed);
    EXPECT_EQ(t.count(kYellow), 0);

    t.graph.setSize(30, 64);  // wide again: the history comes back
    t.surface.resize(30, 64);
    t.graph.Paint();
    EXPECT_EQ(t.graph.historyCapacity(), 12);
    EXPECT_EQ(t.top(27, kYellow), 64 - 44 - 1);
    EXPECT_EQ(t.top(24, kYellow), 64 - 44 - 1);
    EXPECT_EQ(t.top(21, kYellow), 64 - 32 - 1);

    t.graph.SetStepSize(100);  // a step wider than the control
    EXPECT_EQ(t.graph.GetBandCount(), 0);
    t.feed(50);
    EXPECT_EQ(t.count(kYellow), 0);
    EXPECT_GE(t.graph.gridPhase(), 0);
    EXPECT_LT(t.graph.gridPhase(), 15);
}
