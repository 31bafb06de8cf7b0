// Draws the same pictures through the portable software canvas and through GDI, and compares
// them pixel by pixel. Rectangles, horizontal and vertical lines must agree exactly; for
// pictures with diagonal line segments the differences are reported, not failed.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "platform/software_canvas.h"
#include "platform/win32/gdi_canvas.h"
#include "widgets/gradient.h"
#include "widgets/performance_graph.h"

namespace {

using platform::Canvas;
using platform::Color;
using platform::PenStyle;
using platform::Rect;

int failures = 0;
int passes = 0;

struct Difference {
    long count = 0;
    int firstX = -1;
    int firstY = -1;
    Color software = 0;
    Color gdi = 0;
};

Difference compare(const Canvas& software, const Canvas& gdi) {
    Difference d;
    if (software.width() != gdi.width() || software.height() != gdi.height()) {
        d.count = -1;
        return d;
    }
    for (int y = 0; y < software.height(); ++y) {
        for (int x = 0; x < software.width(); ++x) {
            const Color a = software.pixel(x, y);
            const Color b = gdi.pixel(x, y);
            if (a == b) continue;
            if (d.count++ == 0) {
                d.firstX = x;
                d.firstY = y;
                d.software = a;
                d.gdi = b;
            }
        }
    }
    return d;
}

void report(const std::string& what, const Difference& d, bool mustAgree) {
    if (d.count == 0) {
        ++passes;
        std::printf("ok   %s: identical\n", what.c_str());
    } else if (d.count < 0) {
        ++failures;
        std::printf("FAIL %s: sizes differ\n", what.c_str());
    } else {
        if (mustAgree) ++failures;
        std::printf("%s %s: %ld pixels differ, first at (%d, %d): software %06X, GDI %06X\n",
                    mustAgree ? "FAIL" : "info", what.c_str(), d.count, d.firstX, d.firstY,
                    static_cast<unsigned>(d.software), static_cast<unsigned>(d.gdi));
    }
    std::fflush(stdout);
}

// Runs the same drawing on both canvas kinds.
void drawBoth(const std::string& what, int width, int height, const std::function<void(Canvas&)>& draw,
              bool mustAgree = true) {
    platform::SoftwareCanvas software(width, height);
    platform::win32::GdiCanvas gdi(width, height);
    draw(software);
    draw(gdi);
    report(what, compare(software, gdi), mustAgree);
}

void primitives() {
    drawBoth("rectangles, clipped at every edge", 40, 30, [](Canvas& c) {
        c.fillRect({0, 0, 40, 30}, 0x000000);
        c.fillRect({3, 4, 17, 9}, 0x0000FF);
        c.fillRect({-5, -5, 6, 7}, 0x00FF00);
        c.fillRect({35, 25, 60, 60}, 0xFF0000);
        c.fillRect({10, 10, 10, 20}, 0xFFFFFF);  // empty
        c.fillRect({20, 20, 12, 12}, 0xFFFFFF);  // inverted: nothing
    });
    drawBoth("solid horizontal and vertical lines", 40, 30, [](Canvas& c) {
        c.fillRect({0, 0, 40, 30}, 0x000000);
        c.setPen(0x00FFFF, PenStyle::Solid, 0x000000);
        c.moveTo(0, 5);
        c.lineTo(40, 5);
        c.moveTo(30, 8);
        c.lineTo(2, 8);  // right to left
        c.moveTo(7, 0);
        c.lineTo(7, 30);
        c.moveTo(12, 25);
        c.lineTo(12, 3);  // bottom to top
        c.moveTo(-10, 12);
        c.lineTo(100, 12);  // beyond both edges
        c.moveTo(20, 20);
        c.lineTo(20, 20);  // a point: nothing
    });
    drawBoth("dotted horizontal and vertical lines", 60, 40, [](Canvas& c) {
        c.fillRect({0, 0, 60, 40}, 0x000000);
        c.setPen(0xFFFFFF, PenStyle::Dot, 0x404040);
        c.moveTo(0, 10);
        c.lineTo(60, 10);
        c.moveTo(1, 15);
        c.lineTo(50, 15);
        c.moveTo(5, 0);
        c.lineTo(5, 40);
        c.setPen(0x0000FF, PenStyle::Dot, 0x000000);
        c.moveTo(0, 20);
        c.lineTo(37, 20);
        c.lineTo(37, 39);  // continues from the end of the last line
    });
    drawBoth("scrolling copy inside the image", 50, 20, [](Canvas& c) {
        for (int x = 0; x < 50; ++x) c.fillRect({x, 0, x + 1, 20}, static_cast<Color>(x * 5));
        c.copyRect({0, 0, 47, 20}, {3, 0, 50, 20});
        c.copyRect({5, 2, 25, 12}, {0, 0, 20, 10});
    });
    drawBoth("diagonal lines", 40, 40, [](Canvas& c) {
        c.fillRect({0, 0, 40, 40}, 0x000000);
        c.setPen(0x00FF00, PenStyle::Solid, 0x000000);
        c.moveTo(0, 0);
        c.lineTo(39, 17);
        c.moveTo(3, 38);
        c.lineTo(20, 2);
        c.moveTo(10, 10);
        c.lineTo(11, 30);
        c.moveTo(30, 5);
        c.lineTo(5, 9);
    }, false);
}

// The main window's graph: 213 x 212, grid 16, step 1, scale and gradient 100.
void feedGraph(widgets::TPerformanceGraph& graph, widgets::TGraphKind kind) {
    graph.setSize(213, 212);
    graph.SetGridSize(16);
    graph.SetStepSize(1);
    graph.SetScale(100);
    graph.SetGradient(100);
    graph.SetPenWidth(1);
    graph.SetGraphKind(kind);
    graph.SetBaseLine1Value(45);
    graph.SetBaseLine2Value(12);
    graph.Paint();
    for (int i = 0; i < 300; ++i) {
        const int value = i == 40 ? 130 : 20 + (i * 37) % 70;  // one sample above the scale
        graph.DataPoint(0x00FFFF, value);
        if (kind == widgets::pgBar) {
            graph.DataPoint(0x0000FF, value + 5);
            graph.DataPoint(0x00FF00, value / 2);  // lower than the last: an upside-down band
        }
        graph.Update();
    }
    graph.Paint();
}

void graphs() {
    for (widgets::TGraphKind kind : {widgets::pgBar, widgets::pgLine}) {
        widgets::TPerformanceGraph software(std::make_unique<platform::SoftwareCanvas>(1, 1));
        widgets::TPerformanceGraph gdi(std::make_unique<platform::win32::GdiCanvas>(1, 1));
        feedGraph(software, kind);
        feedGraph(gdi, kind);
        const bool bars = kind == widgets::pgBar;
        report(bars ? "graph 213 x 212 in bars (fills and grid)" : "graph 213 x 212 in lines (diagonal segments)",
               compare(software.image(), gdi.image()), bars);
    }
}

void feedBar(widgets::TGradient& bar, int width, int height, Color start, Color end, Color back, int position) {
    bar.setSize(width, height);
    bar.SetStartColor(start);
    bar.SetEndColor(end);
    bar.SetBkGround(back);
    bar.SetShowPercent(false);  // text is drawn by the system and not by the software canvas
    bar.SetPosition(position);
    bar.Paint();
}

void bars() {
    struct Case {
        const char* name;
        int width, height;
        Color start, end, back;
        int position;
    };
    const Case cases[] = {
        {"CPU bar 73 x 15 at 0", 73, 15, 0xFF0000, 0x0000FF, 0x000000, 0},
        {"CPU bar 73 x 15 at 50", 73, 15, 0xFF0000, 0x0000FF, 0x000000, 50},
        {"CPU bar 73 x 15 at 100", 73, 15, 0xFF0000, 0x0000FF, 0x000000, 100},
        {"stress bar 345 x 17 at 37", 345, 17, 0x008080, 0x00FF00, 0x808080, 37},
        {"memory-load bar 345 x 17 at 88", 345, 17, 0x00FF00, 0x0000FF, 0x808080, 88},
    };
    for (const Case& c : cases) {
        widgets::TGradient software(std::make_unique<platform::SoftwareCanvas>(1, 1));
        widgets::TGradient gdi(std::make_unique<platform::win32::GdiCanvas>(1, 1));
        feedBar(software, c.width, c.height, c.start, c.end, c.back, c.position);
        feedBar(gdi, c.width, c.height, c.start, c.end, c.back, c.position);
        report(c.name, compare(software.image(), gdi.image()), true);
    }
}

}  // namespace

int main() {
    primitives();
    graphs();
    bars();
    std::printf("%d passed, %d failed\n", passes, failures);
    return failures == 0 ? 0 : 1;
}
