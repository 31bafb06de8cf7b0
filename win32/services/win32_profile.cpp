// The settings files: INI files through the system's profile functions, and the file
// operations a save needs (copy, replace, delete).
#include "win32/services/win32_profile.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "win32/services/wide_text.h"

namespace win32 {

int Win32Profile::getInt(const std::string& path, const std::string& section, const std::string& key,
                          int defaultValue) {
    return static_cast<int>(GetPrivateProfileIntW(widen(section).c_str(), widen(key).c_str(), defaultValue,
                                                  widen(path).c_str()));
}

std::string Win32Profile::getString(const std::string& path, const std::string& section, const std::string& key,
                                     const std::string& defaultValue) {
    wchar_t buffer[255] = L"";  // 254 characters and the terminating zero
    GetPrivateProfileStringW(widen(section).c_str(), widen(key).c_str(), widen(defaultValue).c_str(), buffer, 255,
                             widen(path).c_str());
    return narrow(buffer);
}

std::optional<platform::Profile::Entries> Win32Profile::sectionEntries(const std::string& path,
                                                                     const std::string& section) {
    const std::wstring wideSection = widen(section), widePath = widen(path);
    std::vector<wchar_t> buffer(4096);
    for (;;) {
        const DWORD length = GetPrivateProfileSectionW(wideSection.c_str(), buffer.data(),
                                                       static_cast<DWORD>(buffer.size()), widePath.c_str());
        // A list cut short by the buffer returns size - 2.
        if (static_cast<size_t>(length) + 2 < buffer.size()) {
            // Windows 9x lists at most 32,767 characters, and says nothing when it cuts the list.
            if (length >= 32767 - 2) return std::nullopt;  // read key by key instead
            break;
        }
        if (buffer.size() >= (size_t{1} << 22)) return std::nullopt;  // read key by key instead
        buffer.assign(buffer.size() * 4, L'\0');
    }
    Entries entries;
    for (const wchar_t* line = buffer.data(); *line != L'\0'; line += std::wcslen(line) + 1) {
        const std::wstring_view text(line);
        const size_t equals = text.find(L'=');
        if (equals == std::wstring_view::npos) entries.emplace_back(narrow(text), std::string());
        else entries.emplace_back(narrow(text.substr(0, equals)), narrow(text.substr(equals + 1)));
    }
    return entries;
}

bool Win32Profile::writeString(const std::string& path, const std::string& section, const std::string& key,
                                const std::string& value) {
    return WritePrivateProfileStringW(widen(section).c_str(), widen(key).c_str(), widen(value).c_str(),
                                      widen(path).c_str()) != FALSE;
}

bool Win32Profile::fileExists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Profile::copyFile(const std::string& from, const std::string& to) {
    return CopyFileW(widen(from).c_str(), widen(to).c_str(), FALSE) != FALSE;
}

bool Win32Profile::createFolder(const std::string& path) {
    const std::wstring folder = widen(path);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Profile::replaceFile(const std::string& from, const std::string& to) {
    const std::wstring source = widen(from), target = widen(to);
    // A read-only file is not to be changed: Windows refuses to replace it, and so does this
    // wherever the system would not (Wine does replace it).
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    // Windows 95, 98 and ME cannot replace in one step: the old file goes just before.
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES && !DeleteFileW(target.c_str())) return false;
    return MoveFileW(source.c_str(), target.c_str()) != FALSE;
}

bool Win32Profile::deleteFile(const std::string& path) {
    const std::wstring file = widen(path);
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);  // a copy of a read-only file is read-only
    return DeleteFileW(file.c_str()) != FALSE;
}

}  // namespace win32
