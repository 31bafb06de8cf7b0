#pragma once
#include <memory>

#include "platform/http.h"

namespace win32 {

// HTTP through the system's own client, WinINet.
class Win32Http : public platform::Http {
public:
    std::shared_ptr<platform::HttpTransfer> newTransfer() override;
};

}  // namespace win32
