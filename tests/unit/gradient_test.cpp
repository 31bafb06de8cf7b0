#include "widgets/gradient.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/software_canvas.h"

using platform::Color;
using platform::Rect;
using platform::SoftwareCanvas;
using widgets::TGradient;

namespace {

constexpr uint32_t kCaptionFlags = platform::kTextSingleLine | platform::kTextVCenter;
constexpr uint32_t kCentredFlags = platform::kTextSingleLine | platform::kTextVCenter | platform::kTextCenter;
constexpr Color kMarker = 0x123456;

class CountingCanvas : public SoftwareCanvas {
public:
    using SoftwareCanvas::SoftwareCanvas;
    void copyTo(platform::Canvas& target, int x, int y) const override {
        ++copies;
        SoftwareCanvas::copyTo(target, x, y);
    }
    mutable int copies = 0;
};

// A bar of the given size painting onto a surface first filled with a marker colour.
struct Bar {
    Bar(int width, int height) : surface(width, height), bar(takeImage()) {
        surface.fillRect(Rect{0, 0, width, height}, kMarker);
        bar.setSize(width, height);
        bar.setSurface(&surface);
    }
    std::unique_ptr<platform::Canvas> takeImage() {
        auto canvas = std::make_unique<CountingCanvas>(0, 0);
        image = canvas.get();
        return canvas;
    }
    // The colour of column x, checked to be the same on every row.
    Color column(int x) const {
        const Color c = image->pixel(x, 0);
        for (int y = 1; y < image->height(); ++y) EXPECT_EQ(image->pixel(x, y), c) << x << "," << y;
        return c;
    }
    std::string percent() const {
        for (const auto& call : image->texts)
            if (call.flags == kCentredFlags && !call.text.empty() && call.text.back() == '%') return call.text;
        return "";
    }

    CountingCanvas* image = nullptr;
    SoftwareCanvas surface;
    TGradient bar;
};

}  // namespace

TEST(Gradient, CpuBarAtHalf) {
    Bar b(73, 15);  // blue to red over black: 255 bands of 0.286 pixels
    b.bar.SetPosition(50);
    // Drawing stops with band 129, which covers column 36.
    EXPECT_EQ(b.column(36), 0x7E0081u);
    for (int x = 37; x < 73; ++x) EXPECT_EQ(b.column(x), 0x000000u) << x;
    EXPECT_EQ(b.column(0), 0xFC0003u) << "band 3 is the first one a pixel wide";
    EXPECT_EQ(b.column(35), 0x82007Du);

    ASSERT_EQ(b.image->texts.size(), 1u);
    EXPECT_EQ(b.image->texts[0].text, "50%");
    EXPECT_EQ(b.image->texts[0].rect, (Rect{0, 0, 73, 15}));
    EXPECT_EQ(b.image->texts[0].flags, kCentredFlags);
    EXPECT_EQ(b.image->texts[0].font, platform::Font{});
    EXPECT_EQ(b.image->texts[0].font.face, "宋体");
    EXPECT_EQ(b.surface.pixel(36, 14), 0x7E0081u) << "copied onto the control";
    EXPECT_EQ(b.surface.pixel(37, 0), 0x000000u);

    b.bar.SetPosition(0);  // the first band a pixel wide is drawn even at 0
    EXPECT_EQ(b.column(0), 0xFC0003u);
    for (int x = 1; x < 73; ++x) EXPECT_EQ(b.column(x), 0x000000u) << x;
    EXPECT_EQ(b.percent(), "0%");

    b.bar.SetPosition(100);  // the last band is one step short of the end colour
    EXPECT_EQ(b.column(72), 0x0100FEu);
}

TEST(Gradient, OliveToLimeHas128Bands) {
    Bar b(345, 17);
    b.bar.SetStartColor(0x008080);
    b.bar.SetEndColor(0x00FF00);
    b.bar.SetBkGround(0x808080);
    b.bar.SetShowPercent(false);
    b.bar.SetCenterText(true);
    b.bar.SetText("未使用");
    b.bar.SetPosition(100);

    // Bands of 2.6953125 pixels, each one step further: red down by 1, green up by 127/128.
    std::set<Color> colours;
    for (int x = 0; x < 345; ++x) colours.insert(b.column(x));
    EXPECT_EQ(colours.size(), 128u);
    EXPECT_EQ(b.column(0), 0x008080u);
    EXPECT_EQ(b.column(1), 0x008080u);
    EXPECT_EQ(b.column(2), 0x00807Fu);  // band 1: [2, 5)
    EXPECT_EQ(b.column(4), 0x00807Fu);
    EXPECT_EQ(b.column(5), 0x00817Eu);
    EXPECT_EQ(b.column(342), 0x00FE01u);
    EXPECT_EQ(b.column(344), 0x00FE01u);

    ASSERT_EQ(b.image->texts.size(), 1u);
    EXPECT_EQ(b.image->texts[0].text, "未使用");
    EXPECT_EQ(b.image->texts[0].flags, kCentredFlags);

    b.bar.SetPosition(50);  // F = 172, inside band 64 [172, 175)
    EXPECT_EQ(b.column(174), 0x00BF40u);
    for (int x = 175; x < 345; ++x) EXPECT_EQ(b.column(x), 0x808080u) << x;
}

TEST(Gradient, CaptionAndPercentageTexts) {
    Bar b(100, 15);
    b.bar.SetUpper(3);
    b.bar.SetPosition(1);
    EXPECT_EQ(b.percent(), "33%");
    b.bar.SetPosition(2);
    EXPECT_EQ(b.percent(), "66%");

    // Every whole percentage reads as itself.
    b.bar.SetUpper(100);
    for (int p = 0; p <= 100; ++p) {
        b.bar.SetPosition(p);
        ASSERT_EQ(b.percent(), std::to_string(p) + "%");
    }

    // A caption is left-aligned unless centred, and drawn before the percentage.
    b.bar.SetText("内存");
    ASSERT_EQ(b.image->texts.size(), 2u);
    EXPECT_EQ(b.image->texts[0].text, "内存");
    EXPECT_EQ(b.image->texts[0].flags, kCaptionFlags);
    EXPECT_EQ(b.image->texts[0].rect, (Rect{0, 0, 100, 15}));
    EXPECT_EQ(b.image->texts[1].text, "100%");

    platform::Font font;
    font.height = -12;
    b.bar.SetFont(font);
    EXPECT_EQ(b.image->texts.at(0).font, font);
    EXPECT_EQ(b.image->texts.at(1).font, font);
}

TEST(Gradient, PositionOutsideTheRangePaintsNothing) {
    Bar b(73, 15);
    b.bar.SetPosition(101);
    EXPECT_EQ(b.image->copies, 0);
    EXPECT_TRUE(b.image->texts.empty());
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 73; ++x) ASSERT_EQ(b.surface.pixel(x, y), kMarker);

    b.bar.SetPosition(20);
    b.surface.fillRect(Rect{0, 0, 73, 15}, kMarker);
    b.bar.SetLower(30);  // now below the range
    b.bar.Paint();
    EXPECT_EQ(b.surface.pixel(0, 0), kMarker);
    b.bar.SetPosition(30);
    EXPECT_NE(b.surface.pixel(0, 0), kMarker);
}

TEST(Gradient, SettersRepaintOnlyOnChange) {
    Bar b(100, 15);
    b.bar.SetText("内存");
    const int start = b.image->copies;
    b.bar.SetText(std::string("内存"));
    b.bar.SetPosition(1);
    b.bar.SetBkGround(0x000000);
    b.bar.SetStartColor(0xFF0000);
    b.bar.SetEndColor(0x0000FF);
    b.bar.SetShowPercent(true);
    b.bar.SetCenterText(false);
    b.bar.SetLower(0);
    b.bar.SetUpper(100);
    b.bar.SetFont(platform::Font{});
    b.bar.setSize(100, 15);
    EXPECT_EQ(b.image->copies, start);

    TGradient& g = b.bar;
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"text with a trailing blank", [&] { g.SetText("内存 "); }}, {"position", [&] { g.SetPosition(2); }},
        {"background", [&] { g.SetBkGround(0x808080); }},         {"start colour", [&] { g.SetStartColor(0x00FF00); }},
        {"end colour", [&] { g.SetEndColor(0x0000FE); }},         {"percent", [&] { g.SetShowPercent(false); }},
        {"centre", [&] { g.SetCenterText(true); }},               {"lower", [&] { g.SetLower(1); }},
        {"upper", [&] { g.SetUpper(50); }},                       {"size", [&] { g.setSize(90, 15); }},
    };
    int expected = start;
    for (const auto& [what, change] : changes) {
        change();
        EXPECT_EQ(b.image->copies, ++expected) << what;
    }
    EXPECT_EQ(b.image->width(), 90);
}

TEST(Gradient, SingleColourAndEmptyRange) {
    // Equal colours: one solid colour up to and including the fill column.
    Bar b(100, 15);
    b.bar.SetStartColor(0x00FF00);
    b.bar.SetEndColor(0x00FF00);
    b.bar.SetPosition(50);
    for (int x = 0; x < 100; ++x) EXPECT_EQ(b.column(x), x <= 50 ? 0x00FF00u : 0x000000u) << x;
    b.bar.SetPosition(0);
    EXPECT_EQ(b.column(0), 0x00FF00u);
    EXPECT_EQ(b.column(1), 0x000000u);
    b.bar.SetPosition(100);
    EXPECT_EQ(b.column(99), 0x00FF00u);
    b.bar.SetEndColor(0x0100FF00);  // differs only above the colour bits: still one colour
    EXPECT_EQ(b.column(99), 0x00FF00u);

    // A range ending at 0 reads as an empty bar at 0%.
    Bar e(100, 15);
    e.bar.SetUpper(0);
    e.bar.SetPosition(0);
    EXPECT_EQ(e.percent(), "0%");
    EXPECT_NE(e.column(0), 0x000000u);
    for (int x = 1; x < 100; ++x) EXPECT_EQ(e.column(x), 0x000000u) << x;

    // Extreme ranges stay within the arithmetic: here the level is far past full.
    e.bar.SetLower(-2147483647 - 1);
    e.bar.SetUpper(-1);
    e.bar.SetPosition(-2147483647 - 1);
    EXPECT_EQ(e.column(99), 0x0100FEu);
}
