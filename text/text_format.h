#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace text {

// Fills the "%s" places of a message format in order; "%%" gives "%". A place without an
// argument stays empty; any other "%" is copied as it stands.
std::string formatText(std::string_view format, std::initializer_list<std::string_view> args);

// A number in decimal digits, with leading zeros up to `width` digits ("%0*u"): 5 -> "05" at
// width 2, 123 -> "123".
std::string zeroPadded(uint64_t value, size_t width);

// Whether the shell hands the address to the web browser and nothing else: "http://" or
// "https://" (in any case), then a host, with no blank, quote or control character anywhere
// (which could end the address early in the browser's command line).
bool isWebAddress(std::string_view address);

// Whether a mail address can follow "mailto:" safely: local@domain, both parts present, one
// "@", and no blank, quote, backslash or control character.
bool isEmailAddress(std::string_view address);

}  // namespace text
