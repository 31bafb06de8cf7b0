#include "mainwindow/splash_form.h"

#include <string>

#include "app/resource_names.h"
#include "app/texts.h"
#include "mainwindow/main_form_layout.h"

namespace mainwindow {

namespace {

ui::Font splashFont() {
    ui::Font font;
    font.face = "宋体";
    font.height = -13;
    return font;
}

}  // namespace

TSplashForm::TSplashForm(ui::Backend& backend)
    : ui::Form(backend, "SplashForm"),
      panel_(add<ui::Panel>("Panel1")),
      image_(panel_.add<ui::Picture>("Image1")),
      progNameLabel_(panel_.add<ui::Label>("ProgNameLabel")),
      versionLabel_(panel_.add<ui::Label>("VersionLabel")),
      copyrightLabel_(panel_.add<ui::Label>("CopyrightLabel")),
      timer_(addComponent<ui::Timer>("Timer")) {
    setClassName("TSplashForm");
    setBorderStyle(ui::BorderStyle::None);
    setBorderIcons(ui::BorderIcons::none());
    setFormPosition(ui::FormPosition::DesktopCenter);
    setStayOnTop(true);
    setClientSize(kClientWidth, kClientHeight);
    setColor(ui::kColorWhite);
    setFont(splashFont());

    // Wider than the form: its right edge, border included, is cut off.
    panel_.setBounds(0, 0, 381, kClientHeight);
    panel_.setColor(ui::kColorWhite);
    panel_.setBorderStyle(ui::BorderLine::Single);
    panel_.setBevelOuter(ui::BevelCut::None);
    panel_.setBevelInner(ui::BevelCut::None);
    panel_.setCursor(ui::Cursor::HourGlass);

    // Sizes itself to the picture; the design size is the picture's.
    image_.setBounds(0, 0, app::resources::kSplashWidth, app::resources::kSplashHeight);
    image_.setAutoSize(true);
    image_.setPicture(app::resources::kSplashPicture);

    // The labels size themselves to their texts.
    progNameLabel_.setPosition(8, 64);
    versionLabel_.setPosition(8, 80);
    copyrightLabel_.setPosition(8, 104);

    timer_.setEnabled(false);  // armed by the creation step
    timer_.onTimer = [this] { timerTimer(); };

    formCreate();
}

void TSplashForm::formCreate() {
    progNameLabel_.setCaption(app::kProductName);
    versionLabel_.setCaption(std::string(kSplashVersionPrefix) + kProgramVersion);
    copyrightLabel_.setCaption(mainwindow::kOwnershipNotice);
    timer_.setInterval(kShowMilliseconds);
    timer_.setEnabled(true);
}

void TSplashForm::timerTimer() { close(); }

}  // namespace mainwindow
