#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

namespace app {

// Fills the "%s" places of a message format in order; "%%" gives "%". A place without an
// argument stays empty; any other "%" is copied as it stands.
std::string formatText(std::string_view format, std::initializer_list<std::string_view> args);

}  // namespace app
