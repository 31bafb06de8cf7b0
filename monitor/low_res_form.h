#pragma once
// The low-resource warning: a dialog the monitor opens when a free share of the 9x window
// manager's heaps falls below the user's threshold. It opens with the figures the main window
// shows ("n%") and then follows the live figures every second, as bare numbers, until the user
// closes it.
#include <cstdint>
#include <optional>

#include "platform/free_resources.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace monitor {

// The three free shares, in percent.
struct FreeResourceFigures {
    int32_t gdi = 0;
    int32_t system = 0;
    int32_t user = 0;
};

// Reads the three figures afresh, in the order GDI, system, user. Empty where the system has
// none (then nothing is read after the first).
std::optional<FreeResourceFigures> readFreeResources(platform::FreeResources& resources);

inline constexpr const char* kLowResCaption = "系统资源过低警告";
inline constexpr const char* kLowResExplanation =
    "Quillet 监测到目前系统资源已经降低到您所设定的警告标准。出现这种情况可能是因为您在后台运行了过多的程序或者运行了内存需求量颇大的程序。(您也可以考虑系统是否感染病毒)";
inline constexpr const char* kLowResReason =
    "出现这个警告窗口是因为您在\"选项\"栏启动了系统低资源警告选项。如果您经常看到此窗口，请您到\"选项\"栏将资源报警数值调到一个较低的范围。";
inline constexpr const char* kLowResAdvice =
    "您可以关闭一些程序，以缓解资源紧缺的情况。您也可以保存您现在的工作，然后重新启动您的系统。在有些情况下重新启动系统是释放系统资源唯一的办法。(您也可以在重新启动后运行杀毒软件查杀病毒)";
inline constexpr const char* kLowResFiguresHeading = "当前系统资源";
inline constexpr const char* kLowResGdiCaption = "GDI:";
inline constexpr const char* kLowResSystemCaption = "系统资源：";
inline constexpr const char* kLowResUserCaption = "用户资源：";
inline constexpr const char* kLowResOkCaption = "确定";

class TLowResForm : public ui::Form {
public:
    static constexpr int kClientWidth = 451;
    static constexpr int kClientHeight = 264;
    static constexpr uint32_t kRefreshMilliseconds = 1000;

    // Builds the dialog and runs its creation step, which puts its top-left corner at the
    // screen point (ownerClientLeft, ownerClientTop), the origin of the main window's client
    // area. `resources` is read by the timer and must outlive the form.
    TLowResForm(ui::Backend& backend, platform::FreeResources& resources, int ownerClientLeft, int ownerClientTop);

    ui::Picture& image() const { return image_; }
    ui::Label& gdiLabel() const { return gdiLabel_; }
    ui::Label& systemLabel() const { return systemLabel_; }
    ui::Label& userLabel() const { return userLabel_; }
    ui::Button& okButton() const { return okButton_; }
    ui::Timer& resourceTimer() const { return resourceTimer_; }

private:
    void FormCreate(int left, int top);
    // Every second: the live figures, as bare numbers.
    void ResourceTimerTimer();
    void OKButtonClick();

    platform::FreeResources& resources_;
    ui::Picture& image_;
    ui::Label& explanationLabel_;  // Label1
    ui::Label& reasonLabel_;       // Label3
    ui::Label& adviceLabel_;       // Label2
    ui::Panel& separator_;         // Panel1
    ui::Label& figuresHeading_;    // Label4
    ui::Label& gdiCaption_;        // Label7
    ui::Label& gdiLabel_;
    ui::Label& systemCaption_;     // Label5
    ui::Label& systemLabel_;
    ui::Label& userCaption_;       // Label6
    ui::Label& userLabel_;
    ui::Button& okButton_;
    ui::Timer& resourceTimer_;
};

}  // namespace monitor
