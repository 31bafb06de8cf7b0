#include "commands/upgrade_check.h"

#include <charconv>
#include <cstdint>

#include "text/text_format.h"

namespace commands {

namespace {

constexpr const char* kBuiltInHost = "www.quillet.org";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

UpgradeServer upgradeServerOf(std::string_view linkBase) {
    const UpgradeServer builtIn{kBuiltInHost, kUpgradePort};
    if (!startsWithNoCase(linkBase, "http://")) return builtIn;
    std::string_view authority = linkBase.substr(7);
    authority = authority.substr(0, authority.find('/'));
    std::string_view host = authority;
    uint16_t port = kUpgradePort;
    if (const size_t colon = authority.find(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        const std::string_view digits = authority.substr(colon + 1);
        unsigned value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value == 0 ||
            value > 65535)
            return builtIn;
        port = static_cast<uint16_t>(value);
    }
    if (host.empty()) return builtIn;
    for (char c : host) {
        const bool hostChar = isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '-';
        if (!hostChar) return builtIn;
    }
    return UpgradeServer{std::string(host), port};
}

std::optional<std::string> replyVersion(std::string_view body) {
    if (body.size() > kMaxReplyChars) return std::nullopt;
    size_t at = 0;
    for (int comma = 0; comma < 3; ++comma) {
        const size_t found = body.find(',', at);
        if (found == std::string_view::npos) return std::nullopt;
        at = found + 1;
    }
    return std::string(body.substr(at));
}

float decimalVersion(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // The number's own characters: digits with at most one decimal point among them, read as
    // a whole number and a power of ten. A reply's version has 16 characters at most: with a
    // point, its digits make a whole number below 2^53, exact in a double, and one division by
    // an exact power of ten gives the double nearest the decimal text; without one, the single
    // rounding is the conversion. Longer texts keep their first 19 significant digits.
    uint64_t significand = 0;
    int exponent = 0;
    bool point = false, digits = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            digits = true;
            if (significand <= (UINT64_MAX - 9) / 10) {
                significand = significand * 10 + static_cast<unsigned>(text[i] - '0');
                if (point) --exponent;
            } else if (!point) {
                ++exponent;
            }
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0.0f;
    // Powers of ten up to 10^22 are exact doubles; larger ones are applied in steps.
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    double value = static_cast<double>(significand);
    for (; exponent > 22; exponent -= 22) value *= kPowers[22];
    for (; exponent < -22; exponent += 22) value /= kPowers[22];
    value = exponent >= 0 ? value * kPowers[exponent] : value / kPowers[-exponent];
    return static_cast<float>(negative ? -value : value);
}

std::string shownVersion(std::string_view text) {
    std::string shown;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) break;
        size_t length = 1;
        if (c >= 0x80) {
            length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
            bool whole = length >= 2 && i + length <= text.size();
            for (size_t k = 1; whole && k < length; ++k)
                whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
            if (!whole) {
                shown += '?';
                ++i;
                continue;
            }
        }
        shown.append(text.substr(i, length));
        i += length;
    }
    return shown;
}

CheckResult checkResultOf(const platform::HttpReply& reply) {
    using Outcome = platform::HttpReply::Outcome;
    CheckResult result;
    switch (reply.outcome) {
    case Outcome::Aborted: return result;
    case Outcome::ConnectionFailed:
        result.status = kFailedText;
        result.connectFailedBox = true;
        return result;
    case Outcome::Error: result.connectFailedBox = true; return result;
    case Outcome::Reply: break;
    }
    // Only a complete reply of a 2xx status is read; error statuses, and whatever else ends a
    // check (a redirect that could not be followed), fail it.
    if (reply.status < 200 || reply.status > 299 || reply.bodyTooLong) {
        result.status = kFailedText;
        return result;
    }
    const std::optional<std::string> version = replyVersion(reply.body);
    if (!version) {
        result.status = kFailedText;
        return result;
    }
    if (!(decimalVersion(kProgramVersion) < decimalVersion(*version))) {
        result.status = kCurrentText;
    } else {
        result.status = text::formatText(kAvailableFormat, {kAvailablePrefix, shownVersion(*version), kAvailableSuffix});
    }
    return result;
}

}  // namespace commands
