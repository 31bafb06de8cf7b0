#include "commands/upgrade_form.h"

#include <utility>

#include "text/parse_int.h"
#include "app/paths.h"
#include "app/resource_names.h"
#include "commands/upgrade_check.h"

namespace commands {

// One check: what the worker thread needs and leaves behind. Shared by the dialog and the
// worker, so either may go first; the reply is read only once `done` says it is complete.
struct TUpgradeForm::Job {
    uintptr_t id = 0;
    std::shared_ptr<platform::HttpTransfer> transfer;
    platform::HttpRequest request;
    platform::HttpReply reply;
    std::atomic<bool> done{false};
    std::atomic<bool> forgotten{false};  // the dialog closed: nothing is posted any more
};

namespace {


constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

}  // namespace

TUpgradeForm::TUpgradeForm(ui::Backend& backend, platform::Platform& os, std::string iniPath,
                           const std::string& linkBase, int left, int top)
    : ui::Form(backend, "UpgradeForm"),
      os_(os),
      iniPath_(std::move(iniPath)),
      introLabel_(add<ui::Label>("UpgradeTextStatic")),
      statusLabel_(add<ui::Label>("StatusLabel")),
      image_(add<ui::Picture>("Image1")),
      proxyGroupBox_(add<ui::GroupBox>("ProxyGroupBox")),
      useProxyCheckBox_(proxyGroupBox_.add<ui::CheckBox>("UseProxyCheckBox")),
      addressLabel_(proxyGroupBox_.add<ui::Label>("AddressLabel")),
      addressEdit_(proxyGroupBox_.add<ui::Edit>("AddressEdit")),
      portLabel_(proxyGroupBox_.add<ui::Label>("PortLabel")),
      portEdit_(proxyGroupBox_.add<ui::Edit>("PortEdit")),
      checkButton_(add<ui::FlatButton>("CheckButton")),
      button1_(add<ui::FlatButton>("Button1")) {
    const UpgradeServer server = upgradeServerOf(linkBase);
    serverHost_ = server.host;
    serverPort_ = server.port;

    setClassName("TUpgradeForm");
    setCaption(kUpgradeCaption);
    setBorderStyle(ui::BorderStyle::Dialog);
    setBorderIcons(ui::BorderIcons{true, false, false});
    setFormPosition(ui::FormPosition::Designed);
    setClientSize(kClientWidth, kClientHeight);
    setFont(ui::dialogFont());

    introLabel_.setPosition(8, 0);
    introLabel_.setCaption(kUpgradeIntroText);
    statusLabel_.setPosition(8, 24);
    statusLabel_.setCaption(kStatusBlankText);
    image_.setBounds(8, 48, 32, 32);
    image_.setPicture(app::resources::kMainIcon);

    proxyGroupBox_.setBounds(48, 48, kClientWidth - 48 - 8, 132);
    proxyGroupBox_.setCaption("代理服务器");
    useProxyCheckBox_.setBounds(12, 22, 200, 17);
    useProxyCheckBox_.setCaption("使用代理服务器");
    addressLabel_.setPosition(12, 58);
    addressLabel_.setCaption("地址：");
    addressEdit_.setBounds(60, 54, 250, 21);
    portLabel_.setPosition(12, 94);
    portLabel_.setCaption("端口：");
    portEdit_.setBounds(60, 90, 80, 21);
    for (ui::Control* control : {static_cast<ui::Control*>(&addressLabel_), static_cast<ui::Control*>(&addressEdit_),
                                 static_cast<ui::Control*>(&portLabel_), static_cast<ui::Control*>(&portEdit_)})
        control->setEnabled(false);

    checkButton_.setBounds(kClientWidth - 8 - 2 * kButtonWidth - 8, kClientHeight - 8 - kButtonHeight, kButtonWidth,
                           kButtonHeight);
    checkButton_.setCaption("检查");
    button1_.setBounds(kClientWidth - 8 - kButtonWidth, kClientHeight - 8 - kButtonHeight, kButtonWidth,
                       kButtonHeight);
    button1_.setCaption("取消");

    useProxyCheckBox_.onClick = [this] { UseProxyCheckBoxClick(); };
    checkButton_.onClick = [this] { CheckButtonClick(); };
    button1_.onClick = [this] { close(); };
    onClose = [this](ui::CloseAction&) { FormClose(); };
    onMessage = [this](uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
        return handleMessage(message, wParam, lParam, result);
    };

    FormCreate(left, top);
}

TUpgradeForm::~TUpgradeForm() {
    if (job_ != nullptr) {
        job_->forgotten = true;
        if (job_->transfer != nullptr) job_->transfer->abort();
    }
    if (ownWindow_ && window_ != nullptr) os_.windows.destroyWindow(window_);
}

void TUpgradeForm::FormCreate(int left, int top) {
    setPosition(left, top);
    // Ticking the box from here runs its handler as the user's click would.
    useProxyCheckBox_.setChecked(os_.profile.getInt(iniPath_, kSettingsSection, "UseProxy", 0) != 0);
    addressEdit_.setText(os_.profile.getString(iniPath_, kSettingsSection, "ProxyAddress", ""));
    portEdit_.setText(os_.profile.getString(iniPath_, kSettingsSection, "ProxyPort", ""));
}

void TUpgradeForm::ensureWindow() {
    if (window_ != nullptr) return;
    realize();
    if (peer() != nullptr) window_ = peer()->window();
    if (window_ != nullptr) return;
    platform::WindowSpec layout;
    layout.className = className();
    layout.caption = caption();
    layout.clientWidth = kClientWidth;
    layout.clientHeight = kClientHeight;
    layout.frame = platform::Frame::Dialog;
    window_ = os_.windows.createWindow(layout, this);
    ownWindow_ = window_ != nullptr;
}

void TUpgradeForm::run() {
    ensureWindow();
    showModal();
    FormClose();  // a dialog ended without a close request (the session ending) closes all the same
}

void TUpgradeForm::UseProxyCheckBoxClick() {
    const bool on = useProxyCheckBox_.checked();
    addressLabel_.setEnabled(on);
    addressEdit_.setEnabled(on);
    portLabel_.setEnabled(on);
    portEdit_.setEnabled(on);
}

bool TUpgradeForm::makeRequest(platform::HttpRequest& request) const {
    request.host = serverHost_;
    request.port = serverPort_;
    request.path = kUpgradePath;
    request.timeoutMs = kUpgradeTimeoutMs;
    request.maxBody = kMaxReplyChars;
    // The boxes as they are now; a ticked box with no address is no proxy.
    if (useProxyCheckBox_.checked() && !addressEdit_.text().empty()) {
        const int32_t port = text::parseInt(portEdit_.text());
        if (port < 1 || port > 65535) return false;
        request.proxyHost = addressEdit_.text();
        request.proxyPort = static_cast<uint16_t>(port);
    }
    return true;
}

void TUpgradeForm::CheckButtonClick() {
    if (job_ != nullptr || closed_) return;
    ensureWindow();
    checkButton_.setEnabled(false);
    statusLabel_.setCaption(kCheckingText);

    auto job = std::make_shared<Job>();
    job->id = nextJobId_++;
    platform::Thread thread = nullptr;
    if (makeRequest(job->request)) {
        job->transfer = os_.http.newTransfer();
        platform::WindowSystem& windows = os_.windows;
        const platform::Window window = window_;
        thread = os_.threads.createSuspendedThread([job, &windows, window]() -> uint32_t {
            platform::HttpReply reply = job->transfer->run(job->request);
            job->reply = std::move(reply);
            job->done.store(true, std::memory_order_release);
            if (!job->forgotten.load(std::memory_order_acquire))
                windows.postMessage(window, kReplyMessage, job->id, 0);
            return 0;
        });
    } else {
        // No port a connection could go to: as a refused connection.
        job->reply.outcome = platform::HttpReply::Outcome::ConnectionFailed;
        job->done = true;
    }
    job_ = job;
    if (thread != nullptr) {
        os_.threads.resumeThread(thread);
        os_.threads.closeThread(thread);
    } else {
        if (!job->done) job->reply.outcome = platform::HttpReply::Outcome::Error;  // no thread to run it
        job->done = true;
        replyArrived(job->id);
    }
}

void TUpgradeForm::replyArrived(uintptr_t id) {
    if (job_ == nullptr || job_->id != id || !job_->done.load(std::memory_order_acquire)) return;
    const platform::HttpReply reply = job_->reply;
    job_.reset();
    const CheckResult result = checkResultOf(reply);
    if (result.status) statusLabel_.setCaption(*result.status);
    if (result.connectFailedBox) os_.windows.messageBox(window_, kConnectFailedText, caption(), platform::kMbOk);
    checkButton_.setEnabled(true);
}

bool TUpgradeForm::handleMessage(uint32_t message, uintptr_t wParam, intptr_t, intptr_t& result) {
    if (message == platform::kWmClose && ownWindow_) {
        close();
        result = 0;
        return true;
    }
    if (message != kReplyMessage) return false;
    replyArrived(wParam);
    result = 0;
    return true;
}

void TUpgradeForm::FormClose() {
    if (closed_) return;
    closed_ = true;
    if (job_ != nullptr) {
        statusLabel_.setCaption(kClosingText);
        job_->forgotten = true;
        if (job_->transfer != nullptr) job_->transfer->abort();
        job_.reset();
    }
    app::prepareSettingsFolder(os_.profile, iniPath_);  // an installed copy's first save
    os_.profile.writeString(iniPath_, kSettingsSection, "UseProxy", useProxyCheckBox_.checked() ? "1" : "0");
    os_.profile.writeString(iniPath_, kSettingsSection, "ProxyAddress", addressEdit_.text());
    os_.profile.writeString(iniPath_, kSettingsSection, "ProxyPort", portEdit_.text());
}

void runUpgradeDialog(ui::Backend& backend, platform::Platform& os, const std::string& iniPath,
                      const std::string& linkBase, int clientLeft, int clientTop) {
    TUpgradeForm form(backend, os, iniPath, linkBase, clientLeft, clientTop);
    form.run();
}

}  // namespace commands
