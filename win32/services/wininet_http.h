#pragma once
#include <memory>

#include "platform/http.h"

namespace platform::win32 {

// HTTP through the system's own client, WinINet.
class Win32Http : public Http {
public:
    std::shared_ptr<HttpTransfer> newTransfer() override;
};

}  // namespace platform::win32
