#pragma once
#include <cstdint>

#include "platform/nt_system_information.h"
#include "platform/os_version.h"

namespace platform::win32 {

// The running Windows release, as GetVersionExA tells it.
class Win32OsVersion : public OsVersion {
public:
    bool getVersionEx(OsVersionRecord& record) override;
};

// NtQuerySystemInformation of NTDLL, looked up at run time (the 9x family has none).
class Win32NtSystemInformation : public NtSystemInformation {
public:
    bool findNtQuerySystemInformation() override;
    int32_t ntQuerySystemInformation(uint32_t infoClass, void* buffer, uint32_t size) override;

private:
    void* ntQuery_ = nullptr;  // what the last lookup of NtQuerySystemInformation found
};

}  // namespace platform::win32
