// Draws the same pictures through the portable software canvas and through GDI, and compares
// them pixel by pixel. Rectangles, fills, copies, horizontal and vertical lines must agree
// exactly. A sloped line may differ in one way only: where the ideal line passes exactly
// halfway between two pixels, GDI may take either of them (its choice depends on the line's
// direction). Such pictures are drawn twice in software, ties taken away from the line's start
// (the software canvas's rule) and towards it, and every GDI pixel must match the first or, at
// the two candidates of a tie, the second. A line a pixel off, a missing or extra pixel, a
// wrong colour or a wrong dot pattern fails.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "platform/software_canvas.h"
#include "win32/services/gdi_canvas.h"
#include "widgets/gradient.h"
#include "widgets/performance_graph.h"

namespace {

using platform::Canvas;
using platform::Color;
using platform::PenStyle;
using platform::Rect;

int failures = 0;
int passes = 0;

void check(bool ok, const std::string& what) {
    ok ? ++passes : ++failures;
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
}

// The software canvas with the other tie rule: where a line's ideal course lies exactly halfway
// between two pixels, the one nearer the start is taken. Fills and copies are the software
// canvas's own. It also keeps, through every fill and copy, which pixels of its picture are such
// ties (both candidates of each), so a comparison accepts the other rule there and only there.
class TiesTowardStartCanvas : public platform::SoftwareCanvas {
public:
    TiesTowardStartCanvas(int width, int height) : SoftwareCanvas(width, height), ties_(width, height) {}

    void resize(int width, int height) override {
        SoftwareCanvas::resize(width, height);
        ties_.resize(width, height);
    }
    void fillRect(const Rect& rect, Color color) override {
        SoftwareCanvas::fillRect(rect, color);
        ties_.fillRect(rect, 0);
    }
    void copyRect(const Rect& dest, const Rect& source) override {
        SoftwareCanvas::copyRect(dest, source);
        ties_.copyRect(dest, source);
    }
    void setPen(Color color, PenStyle style, Color gapColor) override {
        color_ = color;
        style_ = style;
        gap_ = gapColor;
        SoftwareCanvas::setPen(color, style, gapColor);
    }
    void moveTo(int x, int y) override {
        x_ = x;
        y_ = y;
        SoftwareCanvas::moveTo(x, y);
    }
    void lineTo(int x, int y) override {
        const long long dx = static_cast<long long>(x) - x_, dy = static_cast<long long>(y) - y_;
        const long long adx = std::llabs(dx), ady = std::llabs(dy);
        const long long steps = adx > ady ? adx : ady;
        const bool xMajor = adx >= ady;
        const long long minorLength = xMajor ? ady : adx;
        const auto at = [&](long long major, long long minor) {
            const long long px = x_ + (xMajor ? major : minor) * (dx < 0 ? -1 : 1);
            const long long py = y_ + (xMajor ? minor : major) * (dy < 0 ? -1 : 1);
            return Rect{static_cast<int>(px), static_cast<int>(py), static_cast<int>(px) + 1, static_cast<int>(py) + 1};
        };
        for (long long i = 0; i < steps; ++i) {
            const long long towardStart = (2 * i * minorLength + steps - 1) / (2 * steps);
            const long long awayFromStart = (2 * i * minorLength + steps) / (2 * steps);
            const Rect pixel = at(i, towardStart);
            SoftwareCanvas::fillRect(pixel, style_ == PenStyle::Dot && i % 6 >= 3 ? gap_ : color_);
            ties_.fillRect(pixel, towardStart != awayFromStart ? 1 : 0);
            if (towardStart != awayFromStart) ties_.fillRect(at(i, awayFromStart), 1);
        }
        SoftwareCanvas::moveTo(x, y);
        x_ = x;
        y_ = y;
    }

    // Whether the pixel is one of the two candidates of a tie in the current picture.
    bool tie(int x, int y) const { return ties_.pixel(x, y) == 1; }

private:
    SoftwareCanvas ties_;
    Color color_ = 0, gap_ = 0;
    PenStyle style_ = PenStyle::Solid;
    int x_ = 0, y_ = 0;
};

struct Difference {
    long count = 0;     // pixels that match no accepted software picture
    long tiesOther = 0;  // pixels where GDI broke a halfway case towards the line's start
    int firstX = -1;
    int firstY = -1;
    Color software = 0;
    Color gdi = 0;
};

// Every GDI pixel must equal the software picture's or, at the candidates of a tie, the other rule's.
Difference compare(const Canvas& software, const Canvas& gdi, const TiesTowardStartCanvas* tiesTowardStart = nullptr) {
    Difference d;
    if (software.width() != gdi.width() || software.height() != gdi.height() ||
        (tiesTowardStart != nullptr && (tiesTowardStart->width() != gdi.width() || tiesTowardStart->height() != gdi.height()))) {
        d.count = -1;
        return d;
    }
    for (int y = 0; y < software.height(); ++y) {
        for (int x = 0; x < software.width(); ++x) {
            const Color a = software.pixel(x, y);
            const Color b = gdi.pixel(x, y);
            if (a == b) continue;
            if (tiesTowardStart != nullptr && tiesTowardStart->tie(x, y) && tiesTowardStart->pixel(x, y) == b) {
                ++d.tiesOther;
                continue;
            }
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

void report(const std::string& what, const Difference& d) {
    if (d.count < 0) {
        ++failures;
        std::printf("FAIL %s: sizes differ\n", what.c_str());
    } else if (d.count > 0) {
        ++failures;
        std::printf("FAIL %s: %ld pixels differ, first at (%d, %d): software %06X, GDI %06X\n", what.c_str(), d.count,
                    d.firstX, d.firstY, static_cast<unsigned>(d.software), static_cast<unsigned>(d.gdi));
    } else {
        ++passes;
        if (d.tiesOther > 0) {
            std::printf("ok   %s: identical but for %ld pixels of halfway cases GDI took towards the line's start\n",
                        what.c_str(), d.tiesOther);
        } else {
            std::printf("ok   %s: identical\n", what.c_str());
        }
    }
    std::fflush(stdout);
}

// Runs the same drawing on both canvas kinds; with sloped lines also under the other tie rule.
void drawBoth(const std::string& what, int width, int height, const std::function<void(Canvas&)>& draw,
              bool sloped = false) {
    platform::SoftwareCanvas software(width, height);
    TiesTowardStartCanvas towardStart(width, height);
    win32::GdiCanvas gdi(width, height);
    draw(software);
    draw(gdi);
    if (!sloped) {
        report(what, compare(software, gdi));
        return;
    }
    draw(towardStart);
    report(what, compare(software, gdi, &towardStart));
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
    // Copies inside the image at each depth the GDI canvas takes (4, 8 and 24 bits): left and
    // right, up and down, by odd and even distances, runs starting and ending on either half of
    // a byte, overlapping their source or not, partly outside the image, and empty.
    const struct {
        int colors;
        const char* depth;
    } depths[] = {{7, "4 bits"}, {40, "8 bits"}, {300, "24 bits"}};
    // The two partly outside the image come first, so that the later ones copy what they left.
    const Rect copies[][2] = {{{40, 10, 60, 15}, {30, 12, 50, 17}}, {{-3, 0, 10, 20}, {4, 0, 17, 20}},
                              {{0, 0, 47, 20}, {3, 0, 50, 20}},     {{0, 0, 49, 20}, {1, 0, 50, 20}},
                              {{2, 1, 50, 19}, {0, 1, 48, 19}},     {{1, 3, 30, 9}, {0, 3, 29, 9}},
                              {{5, 2, 25, 12}, {0, 0, 20, 10}},     {{3, 0, 12, 7}, {8, 5, 17, 12}},
                              {{10, 4, 11, 5}, {13, 4, 14, 5}},     {{0, 0, 0, 20}, {1, 0, 1, 20}}};
    for (const auto& d : depths) {
        std::string what = std::string("copies inside an image of ") + d.depth;
        drawBoth(what, 50, 20, [&](Canvas& c) {
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 50; ++x)
                    c.fillRect({x, y, x + 1, y + 1}, static_cast<Color>(0x10307 * ((x * 13 + y * 29) % d.colors) & 0xFFFFFF));
            for (const auto& copy : copies) c.copyRect(copy[0], copy[1]);
            const auto* gdi = dynamic_cast<const win32::GdiCanvas*>(&c);
            if (gdi != nullptr) check(gdi->bitsPerPixel() == (d.colors <= 16 ? 4 : d.colors <= 256 ? 8 : 24), what + ": depth");
        });
    }
    // The GDI canvas keeps four bits a pixel while it has drawn in at most 16 colours, a byte
    // up to 256; the 17th and the 257th colour give it more, and what it drew before must stay.
    drawBoth("17 and 257 colours: the colour table fills, the picture goes on in 8 and 24 bits", 301, 6, [](Canvas& c) {
        c.setPen(0x123456, PenStyle::Dot, 0x654321);
        c.moveTo(0, 5);
        c.lineTo(300, 5);
        const auto* gdi = dynamic_cast<const win32::GdiCanvas*>(&c);
        for (int x = 0; x < 300; ++x) {
            c.fillRect({x, 0, x + 1, 4}, static_cast<Color>(0x203 * x + 0x70));
            if (gdi != nullptr && (x == 12 || x == 13 || x == 252 || x == 253))
                check(gdi->bitsPerPixel() == (x == 12 ? 4 : x == 252 ? 8 : x == 13 ? 8 : 24),
                      "a GDI canvas that drew in " + std::to_string(x + 4) + " colours takes " +
                          std::to_string(gdi->bitsPerPixel()) + " bits a pixel");
        }
        c.moveTo(0, 4);
        c.lineTo(301, 4);
    });
    drawBoth("sloped lines in all eight directions", 40, 40, [](Canvas& c) {
        c.fillRect({0, 0, 40, 40}, 0x000000);
        c.setPen(0x00FF00, PenStyle::Solid, 0x000000);
        const int ends[][4] = {{0, 0, 39, 17},  {3, 38, 20, 2},  {10, 10, 11, 30}, {30, 5, 5, 9},
                               {20, 20, 36, 28}, {20, 20, 4, 12}, {20, 20, 24, 4},  {20, 20, 16, 36},
                               {2, 30, 12, 35}, {38, 30, 28, 25}};
        for (const auto& e : ends) {
            c.moveTo(e[0], e[1]);
            c.lineTo(e[2], e[3]);
        }
    }, true);
}

// The main window's graph: 213 x 212, grid 16, step 1, scale and gradient 100, one series.
// Lines also in the graph's own default geometry (100 x 100, grid 15, step 3) with two series,
// where the segments are wider than high as well.
void feedGraph(widgets::TPerformanceGraph& graph, widgets::TGraphKind kind, bool mainWindow) {
    if (mainWindow) {
        graph.setSize(213, 212);
        graph.SetGridSize(16);
        graph.SetStepSize(1);
        graph.SetScale(100);
        graph.SetGradient(100);
        graph.SetPenWidth(1);
    }
    graph.SetGraphKind(kind);
    graph.SetBaseLine1Value(45);
    graph.SetBaseLine2Value(12);
    graph.Paint();
    for (int i = 0; i < 300; ++i) {
        const int value = i == 40 ? 130 : 20 + (i * 37) % 70;  // one sample above the scale
        if (mainWindow || i % 9 != 4) graph.DataPoint(0x00FFFF, value);  // now and then a gap
        if (kind == widgets::pgBar) {
            graph.DataPoint(0x0000FF, value + 5);
            graph.DataPoint(0x00FF00, value / 2);  // lower than the last: an upside-down band
        } else if (!mainWindow) {
            graph.DataPoint(0x0000FF, 40 + (i % 20 < 10 ? i % 10 : 10 - i % 10));  // a slow rise and fall
        }
        graph.Update();
        if (i == 120) graph.SetBaseLine1Value(60);  // a reference line moved in the middle
    }
    graph.Paint();
}

void graphs() {
    struct Case {
        const char* name;
        widgets::TGraphKind kind;
        bool mainWindow;
    };
    const Case cases[] = {
        {"graph 213 x 212 in bars (fills and grid)", widgets::pgBar, true},
        {"graph 213 x 212 in lines (grid, dotted reference lines, segments)", widgets::pgLine, true},
        {"graph 100 x 100, step 3, two series in lines", widgets::pgLine, false},
    };
    for (const Case& c : cases) {
        widgets::TPerformanceGraph software(std::make_unique<platform::SoftwareCanvas>(1, 1));
        auto towardStartCanvas = std::make_unique<TiesTowardStartCanvas>(1, 1);
        const TiesTowardStartCanvas& towardStartImage = *towardStartCanvas;
        widgets::TPerformanceGraph towardStart(std::move(towardStartCanvas));
        widgets::TPerformanceGraph gdi(std::make_unique<win32::GdiCanvas>(1, 1));
        feedGraph(software, c.kind, c.mainWindow);
        feedGraph(towardStart, c.kind, c.mainWindow);
        feedGraph(gdi, c.kind, c.mainWindow);
        // The graph draws in a handful of colours: a byte a pixel holds them all.
        check(dynamic_cast<const win32::GdiCanvas&>(gdi.image()).bitsPerPixel() == 4,
              std::string(c.name) + ": the GDI image holds four bits a pixel");
        report(c.name, c.kind == widgets::pgBar ? compare(software.image(), gdi.image())
                                                : compare(software.image(), gdi.image(), &towardStartImage));
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
        widgets::TGradient gdi(std::make_unique<win32::GdiCanvas>(1, 1));
        feedBar(software, c.width, c.height, c.start, c.end, c.back, c.position);
        feedBar(gdi, c.width, c.height, c.start, c.end, c.back, c.position);
        report(c.name, compare(software.image(), gdi.image()));
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
