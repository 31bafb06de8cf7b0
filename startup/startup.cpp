#include "startup/startup.h"

#include <exception>
#include <string>

#include "app/paths.h"
#include "text/text_format.h"
#include "app/texts.h"
#include "mainwindow/main_form.h"
#include "monitor/os_detection.h"
#include "startup/command_line_run.h"

namespace startup {

namespace {

void showErrorBox(platform::Platform& os, const std::string& message) {
    os.windows.messageBox(nullptr, message, app::kProductName, platform::kMbOk | platform::kMbIconError);
}

int runMainWindow(platform::Platform& os, ui::Backend& backend) {
    mainwindow::TQuilletForm form(os, backend);
    form.create();
    if (os.profile.getInt(app::appPaths().iniPath, "Settings", "StartMinimized", 0) == 0) form.show();
    os.windows.runMessageLoop();
    return 0;
}

int run(platform::Platform& os, ui::Backend& backend) {
    app::setAppPaths(app::findAppPaths(os.process, os.profile));

    if (runCommandLine(os.process.commandLine(), os)) return 0;

    // A command-line run above works beside a running copy; a second main window does not.
    if (platform::Window running = os.windows.findTopLevelWindow(app::kMainWindowClass)) {
        os.windows.messageBox(running, text::formatText(app::kAlreadyRunningFormat, {app::kProductName, app::kProductName}), app::kProductName,
                              platform::kMbOk | platform::kMbIconWarning);
        return 0;
    }

    // The main window and every later reader rely on the description being there.
    monitor::detectOs(os.osVersion);

    os.windows.setErrorReporter([&os](const std::string& message) { showErrorBox(os, message); });
    return runMainWindow(os, backend);
}

}  // namespace

int runQuillet(platform::Platform& os, ui::Backend& backend) {
    try {
        return run(os, backend);
    } catch (const std::exception& e) {
        showErrorBox(os, e.what());
    } catch (...) {
        showErrorBox(os, "未知错误。");
    }
    return 0;
}

}  // namespace startup
