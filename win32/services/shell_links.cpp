// Shortcut files through the shell's link object, and the shell's folder browser.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "win32/services/wide_text.h"
#include "win32/services/system_dll.h"
#include "win32/services/win32_shell.h"

namespace win32 {

namespace {

// Releases a COM interface when it goes out of scope.
template <class T>
struct Releasing {
    T* p = nullptr;
    ~Releasing() {
        if (p != nullptr) p->Release();
    }
};

// The system's description of an error, with its number: "拒绝访问。（错误 5）".
std::string describeError(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    std::string number;
    if (code < 0x10000) {
        number = std::to_string(code);
    } else {
        number = "0x";
        for (int shift = 28; shift >= 0; shift -= 4) number += "0123456789ABCDEF"[(code >> shift) & 0xF];
    }
    if (message.empty()) return "错误 " + number;
    return narrow(message) + "（错误 " + number + "）";
}

// COM and the shell, loaded on first use.
struct ShellFunctions {
    decltype(&CoInitialize) coInitialize = systemFunction<decltype(&CoInitialize)>(L"ole32.dll", "CoInitialize");
    decltype(&CoCreateInstance) coCreateInstance =
        systemFunction<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    decltype(&CoTaskMemFree) coTaskMemFree = systemFunction<decltype(&CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
    decltype(&SHBrowseForFolderW) browseForFolder =
        systemFunction<decltype(&SHBrowseForFolderW)>(L"shell32.dll", "SHBrowseForFolderW");
    decltype(&SHGetPathFromIDListW) pathFromIdList =
        systemFunction<decltype(&SHGetPathFromIDListW)>(L"shell32.dll", "SHGetPathFromIDListW");
    bool complete() const {
        return coInitialize != nullptr && coCreateInstance != nullptr && coTaskMemFree != nullptr &&
               browseForFolder != nullptr && pathFromIdList != nullptr;
    }
};
const ShellFunctions& shellFunctions() {
    static const ShellFunctions functions;
    return functions;
}

}  // namespace

bool Win32Shell::writeShellLink(const std::string& path, const platform::ShellLink& link, std::string& failure) {
    const ShellFunctions& com = shellFunctions();
    if (!com.complete()) {
        failure = describeError(ERROR_MOD_NOT_FOUND);
        return false;
    }
    // Once per call on this thread; the thread keeps COM afterwards (a second call only counts).
    com.coInitialize(nullptr);
    Releasing<IShellLinkW> shellLink;
    HRESULT result = com.coCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                          reinterpret_cast<void**>(&shellLink.p));
    if (SUCCEEDED(result)) {
        shellLink.p->SetPath(widen(link.target).c_str());
        shellLink.p->SetArguments(widen(link.arguments).c_str());
        shellLink.p->SetIconLocation(widen(link.iconPath).c_str(), link.iconIndex);
        shellLink.p->SetDescription(widen(link.description).c_str());
        Releasing<IPersistFile> file;
        result = shellLink.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
        if (SUCCEEDED(result)) result = file.p->Save(widen(path).c_str(), TRUE);
    }
    if (SUCCEEDED(result)) return true;
    // A system error wrapped in the result is described as that error.
    failure = describeError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                                        : static_cast<DWORD>(result));
    return false;
}

std::string Win32Shell::browseForFolder(platform::Window owner, const std::string& title) {
    const ShellFunctions& com = shellFunctions();
    if (!com.complete()) return {};
    com.coInitialize(nullptr);
    wchar_t displayName[MAX_PATH] = L"";
    const std::wstring wideTitle = widen(title);
    BROWSEINFOW info{};
    info.hwndOwner = reinterpret_cast<HWND>(owner);
    info.pidlRoot = nullptr;  // the whole namespace
    info.pszDisplayName = displayName;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = 0;
    PIDLIST_ABSOLUTE item = com.browseForFolder(&info);
    if (item == nullptr) return {};
    wchar_t path[MAX_PATH] = L"";
    const bool isFolder = com.pathFromIdList(item, path) != FALSE;
    com.coTaskMemFree(item);
    return isFolder ? narrow(path) : std::string();
}

}  // namespace win32
