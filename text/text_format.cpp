#include "text/text_format.h"

namespace text {

namespace {

// A blank, quote or control character could end an address early in the command line the
// shell builds for its handler.
bool breaksCommandLine(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F || c == '"';
}

}  // namespace

std::string formatText(std::string_view format, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(format.size() + 32);
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == 's') {
                if (next != args.end()) out.append(*next++);
                ++i;
                continue;
            }
            if (format[i + 1] == '%') {
                out.push_back('%');
                ++i;
                continue;
            }
        }
        out.push_back(format[i]);
    }
    return out;
}

std::string zeroPadded(uint64_t value, size_t width) {
    char digits[20];  // the most a 64-bit number has
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::string out(width > count ? width - count : 0, '0');
    while (count > 0) out += digits[--count];
    return out;
}

bool isWebAddress(std::string_view address) {
    auto afterScheme = [address](std::string_view scheme) -> std::string_view {
        if (address.size() < scheme.size()) return {};
        for (size_t i = 0; i < scheme.size(); ++i) {
            char c = address[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != scheme[i]) return {};
        }
        return address.substr(scheme.size());
    };
    std::string_view rest = afterScheme("http://");
    if (rest.empty()) rest = afterScheme("https://");
    for (char c : address) {
        if (breaksCommandLine(c)) return false;
    }
    // The authority runs up to the path, query or fragment: [user@]host[:port]. Without a host
    // the browser is handed something else to make of it; a backslash makes it a share's name.
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (authority.find('\\') != std::string_view::npos) return false;
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    const std::string_view host = authority.substr(0, authority.find(':'));
    return !host.empty();
}

bool isEmailAddress(std::string_view address) {
    const size_t at = address.find('@');
    if (at == 0 || at == std::string_view::npos || at + 1 == address.size()) return false;
    if (address.find('@', at + 1) != std::string_view::npos) return false;
    for (char c : address) {
        if (breaksCommandLine(c) || c == '\'' || c == '\\') return false;
    }
    return true;
}

}  // namespace text
