#include "app/text_format.h"

namespace app {

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
    if (rest.empty() || rest.front() == '/' || rest.front() == '\\') return false;
    for (char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '"') return false;
    }
    return true;
}

}  // namespace app
