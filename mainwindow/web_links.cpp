// The commands that hand an address to the shell (help, home page, mail, newsletter, account
// pages) and the one that shows the About page. None reports anything.
#include <string>

#include "app/paths.h"
#include "mainwindow/main_form.h"
#include "ui/controls.h"

namespace mainwindow {

namespace {
// The newsletter's sign-up page on the mailing-list service.
constexpr const char* kNewsletterAddress = "http://lists.quillet.org/lists/Quillet/";
}  // namespace

void TQuilletForm::openAddress(const std::string& address) {
    os_.shell.shellExecute(nullptr, "open", address, "", "", platform::kSwShowNormal);
}

void TQuilletForm::QuilletHelpTopics1Click() { openAddress(app::appPaths().docDir + "index.html"); }
void TQuilletForm::WebAboutValLabelClick() { openAddress(c_.webAboutValLabel.caption()); }
void TQuilletForm::EmailAboutValLabelClick() { openAddress("mailto:" + c_.emailAboutValLabel.caption()); }
void TQuilletForm::JoinourfreeNewsletter1Click() { openAddress(kNewsletterAddress); }
void TQuilletForm::Login1Click() { openAddress(state_.linkBase + "cgi-bin/login/db.pl"); }
void TQuilletForm::Forgottenyourpassword1Click() {
    openAddress(state_.linkBase + "cgi-bin/login/db.pl?db=default&lookup_form=1");
}
void TQuilletForm::AboutQuillet1Click() { showPage(c_.aboutTabSheet); }

}  // namespace mainwindow
