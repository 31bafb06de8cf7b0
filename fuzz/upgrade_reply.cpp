// Any bytes as the upgrade server's reply: reading it must stay within the body, and what the
// status line shows must be plain text of this program's own making or a version the rules allow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "commands/upgrade_check.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool validUtf8WithoutControls(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) return false;
        size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The body as the transport hands it over: at most 19 bytes, the rest only noted.
    platform::HttpReply reply;
    reply.outcome = platform::HttpReply::Outcome::Reply;
    reply.status = 200;
    reply.bodyTooLong = bytes.size() > commands::kMaxReplyChars;
    reply.body = std::string(bytes.substr(0, commands::kMaxReplyChars));

    const commands::CheckResult result = commands::checkResultOf(reply);
    require(result.status.has_value() && !result.connectFailedBox);
    const std::string& status = *result.status;
    require(validUtf8WithoutControls(status));

    const std::optional<std::string> version = commands::replyVersion(reply.body);
    if (reply.bodyTooLong || !version) {
        require(status == commands::kFailedText);
    } else {
        require(version->size() + 3 <= reply.body.size());
        require(reply.body.compare(reply.body.size() - version->size(), std::string::npos, *version) == 0);
        const float running = commands::decimalVersion(commands::kProgramVersion);
        require(status == commands::kCurrentText ||
                (status.rfind(commands::kAvailablePrefix, 0) == 0 && commands::decimalVersion(*version) > running));
    }
    (void)commands::decimalVersion(bytes);
    (void)commands::shownVersion(bytes);
    (void)commands::upgradeServerOf(bytes);
    return 0;
}
