#pragma once
#include <cstdint>

#include "platform/nt_system_information.h"
#include "platform/os_version.h"

namespace win32 {

// The running Windows release, as GetVersionExA tells it.
class Win32OsVersion : public platform::OsVersion {
public:
    bool getVersionEx(platform::OsVersionRecord& record) override;
};

// NtQuerySystemInformation of NTDLL, looked up at run time (the 9x family has none).
class Win32NtSystemInformation : public platform::NtSystemInformation {
public:
    bool findNtQuerySystemInformation() override;
    int32_t ntQuerySystemInformation(uint32_t infoClass, void* buffer, uint32_t size) override;

private:
    void* ntQuery_ = nullptr;  // what the last lookup of NtQuerySystemInformation found
};

}  // namespace win32
