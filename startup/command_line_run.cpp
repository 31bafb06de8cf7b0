#include "startup/command_line_run.h"

#include "app/command_line.h"
#include "text/parse_int.h"
#include "text/text_format.h"
#include "app/texts.h"
#include "text/utf8_text.h"
#include "memory/conversions.h"
#include "memory/memory_filler.h"
#include "memory/memory_status.h"
#include "shortcuts/shortcut_popup_form.h"

namespace startup {

namespace {

void tell(platform::Platform& os, const char* text) {
    os.windows.messageBox(nullptr, text, app::kProductName, platform::kMbOk);
}

}  // namespace

bool runCommandLine(std::string_view text, platform::Platform& os) {
    const app::CommandLine args = app::parseCommandLine(text);
    if (args.usage) {
        tell(os, app::kUsageText);
        return true;
    }
    if (!args.amount) return false;

    // Shortcuts always put a blank after the amount, so they accept at most three digits.
    if (text::utf8Length(*args.amount) > app::kMaxAmountChars) {
        tell(os, app::kInvalidAmountText);
        return true;
    }
    const int32_t megabytes = text::parseInt(*args.amount);
    // The same range as the shortcut builder writes: at least one megabyte.
    if (megabytes < 1) {
        tell(os, app::kInvalidAmountText);
        return true;
    }

    {
        shortcuts::TShortcutPopupForm popup(os.windows);
        popup.show();
        // Exactly the amount asked for, on this thread: the user chose it in the shortcut.
        const uint64_t asked = memory::megabytesToBytes(megabytes);
        memory::MemoryFiller filler(os.memory);
        // More than this process's address space holds in one piece (a shortcut made by a
        // 32-bit copy on a machine with more memory than that; the system's libraries break a
        // 32-bit address space up, so 2 GB may not be had even where 3 GB are free) can never
        // be had whole: the largest block the process can get is written instead, and the user
        // is told how much that was. A refusal by the commit limit stays a failure.
        const bool beyondAddressSpace = asked > memory::MemoryStatus(os.memory).availVirtual();
        bool held = !beyondAddressSpace && filler.commit(asked);
        if (!held && (beyondAddressSpace || !os.memory.addressSpaceHolds(asked))) held = filler.commitLargest(asked);
        if (held) {
            const uint64_t freed = filler.size();
            filler.fillAndRelease();
            if (freed < asked)
                tell(os, text::formatText(app::kRecoveryReducedFormat,
                                    {memory::formatThousands(static_cast<uint64_t>(megabytes)),
                                     memory::formatThousands(memory::toMB(freed))})
                             .c_str());
        } else {
            tell(os, app::kRecoveryFailedText);
        }
    }

    if (args.program && !args.program->empty()) {
        os.shell.shellExecute(nullptr, "open", *args.program, args.arguments.value_or(std::string()), std::string(),
                              platform::kSwShowNormal);
    }
    return args.once;
}

}  // namespace startup
