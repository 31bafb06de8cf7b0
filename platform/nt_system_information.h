#pragma once
#include <cstdint>

namespace platform {

// NT status codes the program meets (the system's values). Any non-zero status is a failure.
constexpr int32_t kStatusSuccess = 0;
constexpr int32_t kStatusInvalidInfoClass = static_cast<int32_t>(0xC0000003u);
constexpr int32_t kStatusInfoLengthMismatch = static_cast<int32_t>(0xC0000004u);
constexpr int32_t kStatusProcedureNotFound = static_cast<int32_t>(0xC000007Au);

// Information classes of the NT system query.
constexpr uint32_t kSystemBasicInformation = 0;
constexpr uint32_t kSystemPerformanceInformation = 2;
constexpr uint32_t kSystemTimeOfDayInformation = 3;

// The NT system-information query of "ntdll". It is not part of every Windows, so it is
// found at run time rather than imported.
class NtSystemInformation {
public:
    virtual ~NtSystemInformation() = default;
    // Looks the function up again; true when this system has it. Queries use what the last
    // lookup found.
    virtual bool findNtQuerySystemInformation() = 0;
    // Fills size bytes of buffer with the record of infoClass, as laid out for this process
    // (no return length is asked for). Returns the NT status; kStatusProcedureNotFound when
    // the last lookup found nothing.
    virtual int32_t ntQuerySystemInformation(uint32_t infoClass, void* buffer, uint32_t size) = 0;
};

}  // namespace platform
