#include "monitor/low_res_form.h"

#include <string>

#include "app/resource_names.h"

namespace monitor {

std::optional<FreeResourceFigures> readFreeResources(platform::FreeResources& resources) {
    const std::optional<uint16_t> gdi = resources.freeSystemResources(platform::ResourceKind::Gdi);
    if (!gdi) return std::nullopt;
    const std::optional<uint16_t> system = resources.freeSystemResources(platform::ResourceKind::System);
    const std::optional<uint16_t> user = resources.freeSystemResources(platform::ResourceKind::User);
    if (!system || !user) return std::nullopt;
    return FreeResourceFigures{*gdi, *system, *user};
}

namespace {


// The three paragraphs to the right of the picture, each wrapped in a box three lines high.
constexpr int kTextLeft = 48;
constexpr int kTextWidth = TLowResForm::kClientWidth - kTextLeft - 8;
constexpr int kParagraphHeight = 48;
// The figures below the separator: a caption column and a figure column.
constexpr int kCaptionLeft = 64;
constexpr int kFigureLeft = 136;
constexpr int kFirstFigureTop = 194;
constexpr int kFigureSpacing = 18;

void paragraph(ui::Label& label, int top, const char* text) {
    label.setAutoSize(false);
    label.setWordWrap(true);
    label.setBounds(kTextLeft, top, kTextWidth, kParagraphHeight);
    label.setCaption(text);
}

}  // namespace

TLowResForm::TLowResForm(ui::Backend& backend, platform::FreeResources& resources, int ownerClientLeft,
                         int ownerClientTop)
    : ui::Form(backend, "LowResForm"),
      resources_(resources),
      image_(add<ui::Picture>("Image1")),
      explanationLabel_(add<ui::Label>("Label1")),
      reasonLabel_(add<ui::Label>("Label3")),
      adviceLabel_(add<ui::Label>("Label2")),
      separator_(add<ui::Panel>("Panel1")),
      figuresHeading_(add<ui::Label>("Label4")),
      gdiCaption_(add<ui::Label>("Label7")),
      gdiLabel_(add<ui::Label>("GDILabel")),
      systemCaption_(add<ui::Label>("Label5")),
      systemLabel_(add<ui::Label>("SystemLabel")),
      userCaption_(add<ui::Label>("Label6")),
      userLabel_(add<ui::Label>("UserLabel")),
      okButton_(add<ui::Button>("OKButton")),
      resourceTimer_(addComponent<ui::Timer>("ResourceTimer")) {
    setClassName("TLowResForm");
    setCaption(kLowResCaption);
    setBorderStyle(ui::BorderStyle::Dialog);
    setBorderIcons(ui::BorderIcons{true, false, false});
    setFormPosition(ui::FormPosition::Designed);
    setClientSize(kClientWidth, kClientHeight);
    setFont(ui::dialogFont());

    image_.setBounds(8, 8, 32, 32);
    image_.setPicture(app::resources::kWarningIcon);

    paragraph(explanationLabel_, 8, kLowResExplanation);
    explanationLabel_.setFont(ui::dialogFont(true));
    paragraph(reasonLabel_, 62, kLowResReason);
    paragraph(adviceLabel_, 114, kLowResAdvice);

    separator_.setBounds(8, 168, kClientWidth - 16, 2);
    separator_.setBevelOuter(ui::BevelCut::Lowered);
    separator_.setBevelInner(ui::BevelCut::None);

    figuresHeading_.setPosition(kTextLeft, 176);
    figuresHeading_.setCaption(kLowResFiguresHeading);
    const struct {
        ui::Label& caption;
        const char* text;
        ui::Label& figure;
    } rows[] = {{gdiCaption_, kLowResGdiCaption, gdiLabel_},
                {systemCaption_, kLowResSystemCaption, systemLabel_},
                {userCaption_, kLowResUserCaption, userLabel_}};
    int top = kFirstFigureTop;
    for (const auto& row : rows) {
        row.caption.setPosition(kCaptionLeft, top);
        row.caption.setCaption(row.text);
        row.figure.setPosition(kFigureLeft, top);
        row.figure.setCaption("00%");
        top += kFigureSpacing;
    }

    okButton_.setBounds(kClientWidth - 8 - 75, kClientHeight - 12 - 25, 75, 25);
    okButton_.setCaption(kLowResOkCaption);
    okButton_.setDefault(true);
    okButton_.onClick = [this] { OKButtonClick(); };

    resourceTimer_.setInterval(kRefreshMilliseconds);
    resourceTimer_.setEnabled(true);
    resourceTimer_.onTimer = [this] { ResourceTimerTimer(); };

    FormCreate(ownerClientLeft, ownerClientTop);
}

void TLowResForm::FormCreate(int left, int top) { setPosition(left, top); }

void TLowResForm::ResourceTimerTimer() {
    const std::optional<FreeResourceFigures> figures = readFreeResources(resources_);
    if (!figures) return;
    gdiLabel_.setCaption(std::to_string(figures->gdi));
    systemLabel_.setCaption(std::to_string(figures->system));
    userLabel_.setCaption(std::to_string(figures->user));
}

void TLowResForm::OKButtonClick() { close(); }

}  // namespace monitor
