#include "widgets/tray_icon_painter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/software_canvas.h"

using platform::Color;
using platform::Font;
using platform::SoftwareCanvas;

namespace {

// A font whose characters are half as wide as its pixel height, plus one.
int halfHeightWide(const std::string& text, const Font& font) {
    return static_cast<int>(text.size()) * (-font.height / 2 + 1);
}

TEST(TrayIconFont, LargestTahomaFromSevenPointsThatFits) {
    const Font one = widgets::trayIconFont("8", 96, halfHeightWide);
    EXPECT_EQ(one.face, "Tahoma");
    EXPECT_EQ(one.height, -9);  // 7 points at 96 pixels per inch
    EXPECT_EQ(one.color, 0xFFFFFFu);
    EXPECT_FALSE(one.bold);
    EXPECT_EQ(widgets::trayIconFont("128", 96, halfHeightWide).height, -9);  // 15 pixels: fits
    // Four characters: 20 pixels at 7 and 6 points, 16 at 5 points (7 pixels).
    EXPECT_EQ(widgets::trayIconFont("1536", 96, halfHeightWide).height, -7);
    EXPECT_EQ(widgets::trayIconFont("20.4", 120, halfHeightWide).height, -7);  // 4 points at 120 pixels per inch
}

TEST(TrayIconFont, ShrinksOnePointAtATimeAndStopsAtOnePoint) {
    std::vector<int> tried;
    const Font font = widgets::trayIconFont("99999", 96, [&](const std::string&, const Font& f) {
        tried.push_back(f.height);
        return 100;  // never fits
    });
    EXPECT_EQ(font.height, -1);
    EXPECT_EQ(tried, (std::vector<int>{-9, -8, -7, -5, -4, -3}));  // 7 ... 2 points; 1 point is the last resort
}

// Every pixel of the picture but the text, which the canvas leaves to the system.
std::string picture(const SoftwareCanvas& c) {
    std::string rows;
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) {
            const Color p = c.pixel(x, y);
            rows += p == 0x000000 ? '.' : p == 0x0000FF ? 'R' : p == 0x00FF00 ? 'G' : '?';
        }
        rows += '\n';
    }
    return rows;
}

TEST(TrayIconPainter, LinesDotAndFigureOnBlack) {
    SoftwareCanvas canvas(16, 16);
    canvas.fillRect({0, 0, 16, 16}, 0x123456);  // whatever the canvas held before
    const Font font = widgets::trayIconFont("1536", 96, halfHeightWide);
    widgets::paintTrayIcon(canvas, "1536", 0, font, 0x00FF00, true);
    EXPECT_EQ(picture(canvas),
              ".............RR.\n"
              "............RRRR\n"
              "............RRRR\n"
              ".............RR.\n"
              "................\n"
              "................\n"
              "................\n"
              "................\n"
              "................\n"
              "................\n"
              "................\n"
              ".GGGGGGGGGGGGGG.\n"
              ".GGGGGGGGGGGGGG.\n"
              ".GGGGGGGGGGGGGG.\n"
              ".GGGGGGGGGGGGGG.\n"
              "................\n");
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].text, "1536");
    EXPECT_EQ(canvas.texts[0].rect, (platform::Rect{0, 0, 16, 16}));
    EXPECT_EQ(canvas.texts[0].font, font);

    SoftwareCanvas plain(16, 16);
    widgets::paintTrayIcon(plain, "8", 6, font, 0x0000FF, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 12; x < 16; ++x) EXPECT_EQ(plain.pixel(x, y), 0x000000u) << x << ", " << y;
    EXPECT_EQ(plain.pixel(1, 11), 0x0000FFu);
    ASSERT_EQ(plain.texts.size(), 1u);
    EXPECT_EQ(plain.texts[0].rect.left, 6);
}

}  // namespace

namespace {

// The icon at the shell's larger sizes: the 16-pixel places scaled to the nearest pixel, the
// lines a solid band of the same share, the dot still a disc, the figure's font as large as
// fits the width from 7 points at the icon's scale (16 pixels = 96 pixels per inch).
TEST(TrayIconPainter, LargerSizesScaleLinesDotAndFigure) {
    struct Span {
        int first, last;  // columns, inclusive
    };
    struct Case {
        int size;
        int lineTop, lineBottom, lineLeft, lineRight;  // inclusive
        std::vector<Span> dotRows;                     // from row 0 down
        int oneDigitHeight, fourDigitHeight;           // the figure's font for "8" and "1536"
        int nextLargerHeight;                          // one point more for "1536"
    };
    const Case cases[] = {
        {20, 14, 18, 1, 18, {{16, 18}, {15, 19}, {15, 19}, {15, 19}, {16, 18}}, -12, -8, -10},
        {24, 17, 22, 2, 22, {{19, 22}, {18, 23}, {18, 23}, {18, 23}, {18, 23}, {19, 22}}, -14, -10, -12},
        {32, 22, 29, 2, 29, {{26, 29}, {25, 30}, {24, 31}, {24, 31}, {24, 31}, {24, 31}, {25, 30}, {26, 29}}, -19, -13, -16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const Font four = widgets::trayIconFontForSize("1536", c.size, halfHeightWide);
        const Font one = widgets::trayIconFontForSize("8", c.size, halfHeightWide);
        EXPECT_EQ(one.height, c.oneDigitHeight);
        EXPECT_EQ(four.height, c.fourDigitHeight);
        EXPECT_EQ(four.face, "Tahoma");
        // Inside the icon: as wide as it at most, and the characters above the lines.
        EXPECT_LE(halfHeightWide("1536", four), c.size);
        EXPECT_LE(-one.height, c.lineTop);
        // One point more would not have fitted.
        EXPECT_GT(halfHeightWide("1536", Font{"Tahoma", c.nextLargerHeight, false, 0xFFFFFF}), c.size);

        SoftwareCanvas canvas(c.size, c.size);
        canvas.fillRect({0, 0, c.size, c.size}, 0x123456);
        widgets::paintTrayIcon(canvas, "1536", 0, four, 0x00FF00, true);
        int wrong = 0;
        for (int y = 0; y < c.size; ++y) {
            for (int x = 0; x < c.size; ++x) {
                Color want = 0x000000;
                if (y >= c.lineTop && y <= c.lineBottom && x >= c.lineLeft && x <= c.lineRight) want = 0x00FF00;
                if (y < static_cast<int>(c.dotRows.size()) && x >= c.dotRows[y].first && x <= c.dotRows[y].last)
                    want = 0x0000FF;
                if (canvas.pixel(x, y) != want && wrong++ < 5) ADD_FAILURE() << "pixel " << x << ", " << y;
            }
        }
        EXPECT_EQ(wrong, 0);
        ASSERT_EQ(canvas.texts.size(), 1u);
        EXPECT_EQ(canvas.texts[0].rect, (platform::Rect{0, 0, c.size, c.size}));
        EXPECT_EQ(canvas.texts[0].font, four);
    }
}

}  // namespace
