#pragma once
// The upgrade dialog: asks the program's web site for the newest version (a short text file)
// through an optional HTTP proxy, and says in its status line whether a newer version exists.
// The request runs on a worker thread, so the dialog stays responsive; its reply arrives as a
// message posted to the dialog. Closing the dialog aborts a check still under way, forgets
// its reply, and saves the proxy settings.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace commands {

inline constexpr const char* kUpgradeCaption = "Quillet 在线升级";
inline constexpr const char* kUpgradeIntroText = "通过国际互联网进行 Quillet 升级检查。";
inline constexpr const char* kStatusBlankText = "             ";  // thirteen blanks
inline constexpr const char* kSettingsSection = "Settings";

class TUpgradeForm : public ui::Form, private platform::WindowHandler {
public:
    static constexpr int kClientWidth = 379;
    static constexpr int kClientHeight = 231;
    // Posted to the dialog's window when a check's reply is in; wParam names the check.
    static constexpr uint32_t kReplyMessage = platform::kWmUser + 0x31;

    // FormCreate: the top-left corner at the screen point (left, top), the proxy settings read
    // from `iniPath`. The upgrade server is the host of `linkBase`, the program's web site. `os`
    // must outlive the form.
    TUpgradeForm(ui::Backend& backend, platform::Platform& os, std::string iniPath, const std::string& linkBase,
                 int left, int top);
    ~TUpgradeForm() override;

    // Shows the dialog modally; once it has closed, however, its close has run.
    void run();
    bool checking() const { return job_ != nullptr; }

    ui::Label& statusLabel() const { return statusLabel_; }
    ui::CheckBox& useProxyCheckBox() const { return useProxyCheckBox_; }
    ui::Edit& addressEdit() const { return addressEdit_; }
    ui::Edit& portEdit() const { return portEdit_; }
    ui::FlatButton& checkButton() const { return checkButton_; }
    ui::FlatButton& cancelButton() const { return button1_; }

    // The window the reply is posted to and message boxes are owned by: the dialog's own, or a
    // plain window of the program's making where no real window mirrors the form (headless).
    platform::Window window() const { return window_; }

private:
    struct Job;

    void FormCreate(int left, int top);
    void UseProxyCheckBoxClick();
    void CheckButtonClick();
    void FormClose();
    void replyArrived(uintptr_t id);
    bool handleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;
    // The request of one check, with the proxy the boxes hold now; nothing when the boxes name
    // no port a connection could go to.
    bool makeRequest(platform::HttpRequest& request) const;
    void ensureWindow();

    platform::Platform& os_;
    std::string iniPath_;
    std::string serverHost_;
    uint16_t serverPort_;
    platform::Window window_ = nullptr;
    bool ownWindow_ = false;
    bool closed_ = false;
    std::shared_ptr<Job> job_;  // the check under way
    uintptr_t nextJobId_ = 1;

    ui::Label& introLabel_;
    ui::Label& statusLabel_;
    ui::Picture& image_;
    ui::GroupBox& proxyGroupBox_;
    ui::CheckBox& useProxyCheckBox_;
    ui::Label& addressLabel_;
    ui::Edit& addressEdit_;
    ui::Label& portLabel_;
    ui::Edit& portEdit_;
    ui::FlatButton& checkButton_;
    ui::FlatButton& button1_;
};

// CheckforUpgrade1Click: the dialog at the main window's client origin, shown modally and gone
// when this returns.
void runUpgradeDialog(ui::Backend& backend, platform::Platform& os, const std::string& iniPath,
                      const std::string& linkBase, int clientLeft, int clientTop);

}  // namespace commands
