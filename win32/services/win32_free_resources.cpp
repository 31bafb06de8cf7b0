// The free system resources of the 9x family. Only its 16-bit window manager knows them
// (GetFreeSystemResources in USER), and a 32-bit program reaches 16-bit code only through
// KERNEL32's flat thunk, QT_Thunk, with the 16-bit loader's entries that KERNEL32 exports by
// ordinal alone.
#include "win32/services/win32_free_resources.h"

#include <windows.h>

#include <algorithm>


namespace win32 {

OrdinalExport exportByOrdinal(const void* module, uint32_t ordinal) {
    if (module == nullptr) return {};
    const auto* base = static_cast<const uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return {};  // "MZ"
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return {};  // "PE\0\0"
    const IMAGE_OPTIONAL_HEADER& optional = nt->OptionalHeader;
    if (optional.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC || optional.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_EXPORT)
        return {};
    const IMAGE_DATA_DIRECTORY& directory = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0 || directory.Size == 0) return {};
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    // Ordinals count from the table's base (1 in every KERNEL32).
    if (ordinal < exports->Base || ordinal - exports->Base >= exports->NumberOfFunctions) return {};
    const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
    const DWORD address = functions[ordinal - exports->Base];
    if (address == 0) return {};  // a gap among the ordinals
    if (address >= directory.VirtualAddress && address - directory.VirtualAddress < directory.Size)
        return {ExportKind::Forwarder, base + address};
    return {ExportKind::Code, base + address};
}

#if defined(__i386__)

namespace {

// KERNEL32's 16-bit loader, by ordinal.
constexpr uint32_t kLoadLibrary16 = 35;
constexpr uint32_t kFreeLibrary16 = 36;
constexpr uint32_t kGetProcAddress16 = 37;
using LoadLibrary16 = WORD(WINAPI*)(LPCSTR name);
using FreeLibrary16 = void(WINAPI*)(WORD module);
using GetProcAddress16 = DWORD(WINAPI*)(WORD module, LPCSTR name);  // a 16:16 address, 0 if none

// What a procedure that cannot be reached answers: nothing to warn about.
constexpr uint16_t kNotFound = 100;

}  // namespace

// Calls the 16-bit procedure (a 16:16 address) with one 16-bit argument through QT_Thunk and
// gives back its 16-bit result. QT_Thunk takes the target in EDX and the arguments pushed as
// 16-bit code expects them, and works in a 64-byte area below the caller's frame pointer; it
// keeps EBP, so the frame restores the stack and the registers whatever the thunk leaves.
extern "C" uint32_t callThroughQtThunk(void* qtThunk, uint32_t procedure16, uint32_t argument)
    __asm__("quillet_call_through_qt_thunk");
__asm__(
    ".text\n"
    ".globl quillet_call_through_qt_thunk\n"
    "quillet_call_through_qt_thunk:\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    subl $0x40, %esp\n"
    "    movl 28(%ebp), %eax\n"
    "    pushw %ax\n"
    "    movl 24(%ebp), %edx\n"
    "    movl 20(%ebp), %eax\n"
    "    call *%eax\n"
    "    movzwl %ax, %eax\n"
    "    movl %ebp, %esp\n"
    "    popl %ebp\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    ret\n");

std::optional<uint16_t> Win32FreeResources::freeSystemResources(platform::ResourceKind kind) {
    // KERNEL32 is held for the length of the call. Only the 9x family has the thunk into
    // 16-bit code; without it there is nothing to ask.
    HMODULE held = LoadLibraryA("KERNEL32");
    if (kernelModule_ == nullptr) kernelModule_ = GetModuleHandleA("KERNEL32");
    auto* kernel = static_cast<HMODULE>(kernelModule_);
    void* thunk = kernel != nullptr ? reinterpret_cast<void*>(GetProcAddress(kernel, "QT_Thunk")) : nullptr;

    uint16_t answer = kNotFound;
    if (thunk != nullptr) {
        // The 16-bit loader's entries. Only code is called: an entry that forwards elsewhere (as
        // Wine's do) counts as missing.
        const OrdinalExport load = exportByOrdinal(kernel, kLoadLibrary16);
        const OrdinalExport find = exportByOrdinal(kernel, kGetProcAddress16);
        const OrdinalExport release = exportByOrdinal(kernel, kFreeLibrary16);
        if (load.kind == ExportKind::Code && find.kind == ExportKind::Code && release.kind == ExportKind::Code) {
            // USER is resident in the system: loading it only finds it, so it is released at once
            // and its procedure looked up. Handles below 32 are the loader's errors.
            const WORD user = reinterpret_cast<LoadLibrary16>(const_cast<void*>(load.address))("user");
            if (user >= 32) {
                reinterpret_cast<FreeLibrary16>(const_cast<void*>(release.address))(user);
                const DWORD procedure =
                    reinterpret_cast<GetProcAddress16>(const_cast<void*>(find.address))(user, "GetFreeSystemResources");
                // The figure is a share: never above 100 whatever comes back.
                if (procedure != 0) {
                    const uint32_t free = callThroughQtThunk(thunk, procedure, static_cast<uint16_t>(kind));
                    answer = static_cast<uint16_t>(std::min<uint32_t>(free, 100));
                }
            }
        }
    }
    if (held != nullptr) FreeLibrary(held);
    return answer;
}

#else

// A 64-bit program cannot call 16-bit code: no figures.
std::optional<uint16_t> Win32FreeResources::freeSystemResources(platform::ResourceKind) { return std::nullopt; }

#endif

}  // namespace win32
