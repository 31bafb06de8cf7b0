#include "platform/software_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <tuple>
#include <utility>

using platform::Canvas;
using platform::Color;
using platform::PenStyle;
using platform::Rect;
using platform::SoftwareCanvas;

namespace {

constexpr Color kPaper = 0x123456;
constexpr Color kInk = 0x00FFFF;
constexpr Color kGap = 0x000080;

// The pixels of one colour, as (x, y) pairs.
std::set<std::pair<int, int>> pixelsOf(const SoftwareCanvas& canvas, Color color) {
    std::set<std::pair<int, int>> found;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixel(x, y) == color) found.insert({x, y});
    return found;
}

SoftwareCanvas paper(int width, int height) {
    SoftwareCanvas canvas(width, height);
    canvas.fillRect(Rect{0, 0, width, height}, kPaper);
    return canvas;
}

void line(SoftwareCanvas& canvas, int x0, int y0, int x1, int y1, PenStyle style = PenStyle::Solid) {
    canvas.setPen(kInk, style, kGap);
    canvas.moveTo(x0, y0);
    canvas.lineTo(x1, y1);
}

}  // namespace

TEST(SoftwareCanvas, StartsBlackAndResizeClears) {
    SoftwareCanvas canvas(3, 2);
    EXPECT_EQ(canvas.width(), 3);
    EXPECT_EQ(canvas.height(), 2);
    EXPECT_EQ(pixelsOf(canvas, 0).size(), 6u);
    canvas.fillRect(Rect{0, 0, 3, 2}, kPaper);
    canvas.resize(4, 5);
    EXPECT_EQ(pixelsOf(canvas, 0).size(), 20u);
    canvas.resize(-1, 7);
    EXPECT_EQ(canvas.width(), 0);
    EXPECT_THROW(canvas.pixel(0, 0), std::out_of_range);
}

TEST(SoftwareCanvas, FillRectExcludesRightAndBottomAndClips) {
    auto canvas = paper(6, 4);
    canvas.fillRect(Rect{1, 1, 3, 2}, kInk);
    EXPECT_EQ(pixelsOf(canvas, kInk), (std::set<std::pair<int, int>>{{1, 1}, {2, 1}}));

    canvas.fillRect(Rect{4, -10, 100, 1}, kInk);  // partly outside
    EXPECT_EQ(canvas.pixel(4, 0), kInk);
    EXPECT_EQ(canvas.pixel(5, 0), kInk);
    EXPECT_EQ(canvas.pixel(4, 1), kPaper);

    const auto before = pixelsOf(canvas, kInk);
    canvas.fillRect(Rect{2, 2, 2, 4}, kInk);  // zero width
    EXPECT_EQ(pixelsOf(canvas, kInk), before);

    // Inverted rectangles are filled as GDI fills them: backwards from the start point.
    canvas = paper(10, 10);
    canvas.fillRect(Rect{5, 3, 3, 1}, kInk);
    EXPECT_EQ(pixelsOf(canvas, kInk), (std::set<std::pair<int, int>>{{4, 2}, {5, 2}, {4, 3}, {5, 3}}));
}

TEST(SoftwareCanvas, StraightLinesStopBeforeTheirEnd) {
    auto canvas = paper(10, 10);
    line(canvas, 2, 1, 6, 1);
    EXPECT_EQ(pixelsOf(canvas, kInk), (std::set<std::pair<int, int>>{{2, 1}, {3, 1}, {4, 1}, {5, 1}}));

    canvas = paper(10, 10);
    line(canvas, 6, 1, 2, 1);  // right to left: the start is drawn, the end not
    EXPECT_EQ(pixelsOf(canvas, kInk), (std::set<std::pair<int, int>>{{6, 1}, {5, 1}, {4, 1}, {3, 1}}));

    canvas = paper(10, 10);
    line(canvas, 3, 7, 3, 4);
    EXPECT_EQ(pixelsOf(canvas, kInk), (std::set<std::pair<int, int>>{{3, 7}, {3, 6}, {3, 5}}));

    canvas = paper(10, 10);
    line(canvas, 4, 4, 4, 4);
    EXPECT_TRUE(pixelsOf(canvas, kInk).empty());

    canvas = paper(10, 10);
    line(canvas, -50, 9, 1000, 9);  // clipped to the surface
    EXPECT_EQ(pixelsOf(canvas, kInk).size(), 10u);
    line(canvas, 0, 10, 10, 10);  // just below the surface
    EXPECT_EQ(pixelsOf(canvas, kInk).size(), 10u);
}

TEST(SoftwareCanvas, DiagonalLinesTakeOnePixelPerStepOfTheLongerAxis) {
    auto canvas = paper(10, 10);
    line(canvas, 0, 0, 4, 4);
    EXPECT_EQ(pixelsOf(canvas, kInk), (std::set<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));

    canvas = paper(10, 10);
    line(canvas, 0, 0, 6, 2);
    EXPECT_EQ(pixelsOf(canvas, kInk),
              (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}));

    canvas = paper(10, 10);
    line(canvas, 5, 9, 4, 1);  // steep, upwards: the column changes halfway
    EXPECT_EQ(pixelsOf(canvas, kInk),
              (std::set<std::pair<int, int>>{{5, 9}, {5, 8}, {5, 7}, {5, 6}, {4, 5}, {4, 4}, {4, 3}, {4, 2}}));
    EXPECT_EQ(canvas.pixel(4, 1), kPaper);
}

TEST(SoftwareCanvas, ClippedDiagonalKeepsTheVisiblePixelsOfTheWholeLine) {
    // The same line drawn on a large canvas and on a small window into it.
    auto big = paper(400, 400);
    auto small = paper(20, 20);
    const int ox = 150, oy = 170;
    for (const auto& [x0, y0, x1, y1] : {std::tuple{0, 21, 399, 410}, std::tuple{330, 10, -20, 370},
                                         std::tuple{160, 0, 171, 399}, std::tuple{0, 185, 399, 178}}) {
        const size_t before = pixelsOf(small, kInk).size();
        line(big, x0, y0, x1, y1);
        line(small, x0 - ox, y0 - oy, x1 - ox, y1 - oy);
        EXPECT_GT(pixelsOf(small, kInk).size(), before) << "the line crosses the window";
    }
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(small.pixel(x, y), big.pixel(x + ox, y + oy)) << x << "," << y;

    // Far-away end points neither hang nor overflow.
    line(small, -2000000000, 5, 2000000000, 6);
    line(small, 3, 2000000000, 4, -2000000000);
}

TEST(SoftwareCanvas, DottedPenDrawsThreeAndSkipsThreeFromEachStart) {
    auto canvas = paper(16, 3);
    line(canvas, 0, 0, 14, 0, PenStyle::Dot);
    std::set<std::pair<int, int>> expected;
    for (int x : {0, 1, 2, 6, 7, 8, 12, 13}) expected.insert({x, 0});
    EXPECT_EQ(pixelsOf(canvas, kInk), expected);
    std::set<std::pair<int, int>> gaps;
    for (int x : {3, 4, 5, 9, 10, 11}) gaps.insert({x, 0});
    EXPECT_EQ(pixelsOf(canvas, kGap), gaps);  // the gaps are painted too; the end point is not

    canvas = paper(16, 3);
    canvas.setPen(kInk, PenStyle::Dot, kGap);
    canvas.moveTo(0, 1);
    canvas.lineTo(4, 1);   // 0 1 2
    canvas.lineTo(12, 1);  // the count starts again at 4: 4 5 6, 10 11
    expected.clear();
    for (int x : {0, 1, 2, 4, 5, 6, 10, 11}) expected.insert({x, 1});
    EXPECT_EQ(pixelsOf(canvas, kInk), expected);

    canvas = paper(16, 3);
    line(canvas, -4, 2, 16, 2, PenStyle::Dot);  // counted from the start even when it is off the surface
    expected.clear();
    for (int x : {2, 3, 4, 8, 9, 10, 14, 15}) expected.insert({x, 2});
    EXPECT_EQ(pixelsOf(canvas, kInk), expected);

    canvas = paper(16, 3);
    line(canvas, 0, 0, 10, 0, PenStyle::Dot);
    line(canvas, 0, 1, 5, 1, PenStyle::Solid);  // back to solid
    EXPECT_EQ(pixelsOf(canvas, kInk).size(), 6u + 5u);
}

TEST(SoftwareCanvas, CopyRectHandlesOverlapInEveryDirection) {
    // A canvas whose every pixel is distinct.
    auto pattern = [] {
        SoftwareCanvas c(8, 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) c.fillRect(Rect{x, y, x + 1, y + 1}, static_cast<Color>(y * 8 + x + 1));
        return c;
    };
    const auto original = pattern();
    struct Move {
        int dx, dy;
    };
    for (const Move m : {Move{-2, 0}, Move{2, 0}, Move{0, 3}, Move{0, -1}, Move{1, 1}, Move{-3, -2}}) {
        auto canvas = pattern();
        const Rect source{std::max(0, -m.dx), std::max(0, -m.dy), 8 - std::max(0, m.dx), 6 - std::max(0, m.dy)};
        const Rect dest{source.left + m.dx, source.top + m.dy, source.right + m.dx, source.bottom + m.dy};
        canvas.copyRect(dest, source);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                const bool inside = x >= dest.left && x < dest.right && y >= dest.top && y < dest.bottom;
                const Color want = inside ? original.pixel(x - m.dx, y - m.dy) : original.pixel(x, y);
                ASSERT_EQ(canvas.pixel(x, y), want) << "move " << m.dx << "," << m.dy << " at " << x << "," << y;
            }
        }
    }

    // Blocks reaching outside are cut to what both source and destination can hold.
    auto canvas = pattern();
    canvas.copyRect(Rect{-1, 0, 3, 1}, Rect{4, 2, 8, 3});
    EXPECT_EQ(canvas.pixel(0, 0), original.pixel(5, 2));
    EXPECT_EQ(canvas.pixel(2, 0), original.pixel(7, 2));
    EXPECT_EQ(canvas.pixel(3, 0), original.pixel(3, 0));
    canvas = pattern();
    canvas.copyRect(Rect{0, 0, 4, 2}, Rect{6, 0, 10, 2});  // source runs off the right edge
    EXPECT_EQ(canvas.pixel(0, 1), original.pixel(6, 1));
    EXPECT_EQ(canvas.pixel(1, 1), original.pixel(7, 1));
    EXPECT_EQ(canvas.pixel(2, 1), original.pixel(2, 1));
    canvas.copyRect(Rect{3, 3, 1, 5}, Rect{0, 0, 2, 2});  // inverted: nothing
    EXPECT_EQ(canvas.pixel(1, 3), original.pixel(1, 3));
}

TEST(SoftwareCanvas, CopyToPlacesTheWholeSurfaceClippedToTheTarget) {
    auto source = paper(3, 2);
    source.fillRect(Rect{0, 0, 1, 1}, kInk);
    SoftwareCanvas target(4, 4);
    source.copyTo(target, 2, 3);
    EXPECT_EQ(target.pixel(2, 3), kInk);
    EXPECT_EQ(target.pixel(3, 3), kPaper);
    EXPECT_EQ(pixelsOf(target, 0).size(), 14u);
    source.copyTo(target, -2, -1);
    EXPECT_EQ(target.pixel(0, 0), kPaper);

    struct OtherCanvas : Canvas {
        int width() const override { return 1; }
        int height() const override { return 1; }
        void resize(int, int) override {}
        void fillRect(const Rect&, Color) override {}
        void setPen(Color, PenStyle, Color) override {}
        void moveTo(int, int) override {}
        void lineTo(int, int) override {}
        void copyRect(const Rect&, const Rect&) override {}
        void copyTo(Canvas&, int, int) const override {}
        void drawText(const std::string&, const Rect&, uint32_t, const platform::Font&) override {}
        Color pixel(int, int) const override { return 0; }
    } other;
    EXPECT_THROW(source.copyTo(other, 0, 0), std::invalid_argument);
}

TEST(SoftwareCanvas, TextIsRecordedNotDrawn) {
    auto canvas = paper(20, 10);
    platform::Font font;
    font.color = 0x0000FF;
    canvas.drawText("50%", Rect{0, 0, 20, 10}, platform::kTextSingleLine | platform::kTextCenter, font);
    EXPECT_EQ(pixelsOf(canvas, kPaper).size(), 200u);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].text, "50%");
    EXPECT_EQ(canvas.texts[0].rect, (Rect{0, 0, 20, 10}));
    EXPECT_EQ(canvas.texts[0].flags, platform::kTextSingleLine | platform::kTextCenter);
    EXPECT_EQ(canvas.texts[0].font, font);
    canvas.resize(20, 10);  // a new picture
    EXPECT_TRUE(canvas.texts.empty());
}
