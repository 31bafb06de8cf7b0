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
