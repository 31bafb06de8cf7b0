#pragma once
// The upgrade check's portable part: where the request goes, how the reply is read and what
// the status line then says.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/version.h"
#include "platform/http.h"

namespace commands {

using app::kProgramVersion;  // the version the reply is compared with
inline constexpr const char* kUpgradePath = "/upgrade.bin";
inline constexpr uint16_t kUpgradePort = 80;
inline constexpr uint32_t kUpgradeTimeoutMs = 60000;
// The reply is a short line: a longer one is no reply of the upgrade server.
inline constexpr size_t kMaxReplyChars = 19;

inline constexpr const char* kCheckingText = "正在进行升级检查 ..";
inline constexpr const char* kCurrentText = "Already running the most current version!";
inline constexpr const char* kAvailableFormat = "%s %s %s";
inline constexpr const char* kAvailablePrefix = "Quillet 版本   ";
inline constexpr const char* kAvailableSuffix = "是可以下载的!             ";
inline constexpr const char* kFailedText = "升级检查失败!        ";
inline constexpr const char* kClosingText = "关闭的连接...        ";
inline constexpr const char* kConnectFailedText = "主机地址错误, 联接失败!                 ";

// The upgrade server: the host (and port, when one is written) of the program's web site,
// `linkBase` ("http://host[:port]/..."); the site's built-in address when that is no plain http
// address.
struct UpgradeServer {
    std::string host;
    uint16_t port = kUpgradePort;
};
UpgradeServer upgradeServerOf(std::string_view linkBase);

// The version text of a reply body: what follows its third comma. Nothing when the body is
// longer than kMaxReplyChars or has fewer than three commas.
std::optional<std::string> replyVersion(std::string_view body);

// A version text as a decimal number in single precision: leading blanks, a sign, digits and a
// decimal point, up to the first character that does not fit; no number gives 0.
float decimalVersion(std::string_view text);

// The version text as the status line shows it: up to its first control character (the end of
// its line), with bytes that are no UTF-8 shown as "?".
std::string shownVersion(std::string_view text);

// What a finished check leads to.
struct CheckResult {
    std::optional<std::string> status;  // the new status line, if any
    bool connectFailedBox = false;      // the "no connection" message box
};
CheckResult checkResultOf(const platform::HttpReply& reply);

}  // namespace commands
