#include "startup/command_line_run.h"

#include "app/command_line.h"
#include "app/parse_int.h"
#include "app/texts.h"
#include "app/utf8_text.h"
#include "memory/conversions.h"
#include "memory/memory_filler.h"
#include "shortcuts/shortcut_popup_form.h"

namespace app {

namespace {

void tell(platform::Platform& os, const char* text) {
    os.windows.messageBox(nullptr, text, kProductName, platform::kMbOk);
}

}  // namespace

bool runCommandLine(std::string_view text, platform::Platform& os) {
    const CommandLine args = parseCommandLine(text);
    if (args.usage) {
        tell(os, kUsageText);
        return true;
    }
    if (!args.amount) return false;

    // Shortcuts always put a blank after the amount, so they accept at most three digits.
    if (utf8Length(*args.amount) > kMaxAmountChars) {
        tell(os, kInvalidAmountText);
        return true;
    }
    const int32_t megabytes = parseInt(*args.amount);
    if (megabytes == 0) {
        tell(os, kInvalidAmountText);
        return true;
    }

    {
        shortcuts::TShortcutPopupForm popup(os.windows);
        popup.show();
        // Exactly the amount asked for, on this thread: the user chose it in the shortcut.
        memory::MemoryFiller filler(os.memory);
        if (filler.commit(memory::megabytesToBytes(megabytes))) {
            filler.fillAndRelease();
        } else {
            tell(os, kRecoveryFailedText);
        }
    }

    if (args.program && !args.program->empty()) {
        os.shell.shellExecute(nullptr, "open", *args.program, args.arguments.value_or(std::string()), std::string(),
                              platform::kSwShowNormal);
    }
    return args.once;
}

}  // namespace app
