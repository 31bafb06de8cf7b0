// The settings file through the real profile functions, in a folder and under a file name in
// Chinese, with Chinese values: written and read back (texts, numbers, the 254-character cut),
// stored in the system's ANSI code page (GBK under code page 936: no UTF-8, no byte-order
// mark), and the file operations an all-or-nothing save is built on: copy (a missing source
// fails and makes nothing), replace (over an existing file, onto a missing one, and when it
// fails the file stays as it was: missing source, read-only file, file held open by another
// program), delete (a read-only file too). Exit code 0 when every check passed.
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tests/wine/check_report.h"
#include "tests/wine/e2e_support.h"
#include "win32/services/wide_text.h"
#include "platform/profile.h"
#include "win32/services/win32_services.h"

namespace {

using checks::check;
using checks::checkText;
using win32::narrow;
using win32::widen;

std::string inCodePage(const std::string& utf8, UINT codePage) {
    const std::wstring wide = widen(utf8);
    const int size = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

bool contains(const std::string& haystack, const std::string& needle) { return haystack.find(needle) != std::string::npos; }

std::string hexOf(const std::string& bytes) {
    std::string out;
    char text[4];
    for (size_t i = 0; i < bytes.size() && i < 48; ++i) {
        std::snprintf(text, sizeof text, "%02X ", static_cast<unsigned char>(bytes[i]));
        out += text;
    }
    return out;
}

bool makeFolder(const std::string& path) {
    return CreateDirectoryW(widen(path).c_str(), nullptr) != FALSE || GetLastError() == ERROR_ALREADY_EXISTS;
}

constexpr const char* kSection = "Settings";
const std::string kSoundPath = "C:\\程序文件\\内存整理\\声音\\释放内存.wav";  // a program path in Chinese
const std::string kTip = "可用内存：1,234MB　内存荷载：61%";                // full-width colon and blank

}  // namespace

int main() {
    win32::Win32Services os("");
    platform::Profile& profile = os.profile;

    const UINT codePage = GetACP();
    check(codePage == 936, "the system's ANSI code page is 936 (Simplified Chinese)", "(" + std::to_string(codePage) + ")");

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::string base = narrow(temp) + "Quillet 配置测试 " + std::to_string(GetCurrentProcessId());
    const std::string folder = base + "\\程序目录";
    if (!makeFolder(base) || !makeFolder(folder)) {
        check(false, "a folder with a Chinese name is made for the test", folder);
        return checks::summary();
    }
    const std::string ini = folder + "\\内存设置.ini";
    const std::string draft = ini + ".new";
    const std::string missing = folder + "\\不存在.ini";

    // --- written and read back -------------------------------------------------------------
    check(!profile.fileExists(ini), "no settings file before the first write");
    const bool written = profile.writeString(ini, kSection, "RecoverSoundFile", kSoundPath) &&
                         profile.writeString(ini, kSection, "Tip", kTip) &&
                         profile.writeString(ini, kSection, "XMinutes", "30") &&
                         profile.writeString(ini, kSection, "Wait", "12分钟");
    check(written && profile.fileExists(ini), "the file is made by the first writes, in its Chinese folder");
    checkText(profile.getString(ini, kSection, "RecoverSoundFile", ""), kSoundPath, "a Chinese program path reads back");
    checkText(profile.getString(ini, kSection, "Tip", ""), kTip, "a Chinese text reads back");
    checkText(profile.getString(ini, kSection, "Web", "默认值"), "默认值", "a missing key gives its Chinese default");
    check(profile.getInt(ini, kSection, "XMinutes", 7) == 30, "a number reads back");
    check(profile.getInt(ini, kSection, "Wait", 7) == 12, "a number followed by Chinese reads as its leading number");
    check(profile.getInt(ini, kSection, "Tip", 7) == 0, "a Chinese text reads as the number 0");
    check(profile.getInt(ini, kSection, "Absent", 7) == 7, "a missing number gives its default");
    check(profile.writeString(ini, kSection, "XMinutes", "45") && profile.getInt(ini, kSection, "XMinutes", 7) == 45 &&
              profile.getString(ini, kSection, "RecoverSoundFile", "") == kSoundPath,
          "a key written again changes in place, the others stay");
    std::string longText;
    for (int i = 0; i < 300; ++i) longText += i % 2 == 0 ? "内" : "存";
    profile.writeString(ini, kSection, "Long", longText);
    const std::string cut = profile.getString(ini, kSection, "Long", "");
    checkText(cut, longText.substr(0, 254 * 3), "a text of 300 Chinese characters reads back as its first 254");
    check(!profile.writeString(folder + "\\没有这个目录\\设置.ini", kSection, "XMinutes", "30"),
          "a write into a missing folder reports failure");

    // --- on disk: the system's ANSI code page ------------------------------------------------
    const std::string bytes = e2e::fileBytes(widen(ini));
    const std::string gbkPath = inCodePage(kSoundPath, 936);
    check(bytes.compare(0, 3, "\xEF\xBB\xBF") != 0 && bytes.compare(0, 2, "\xFF\xFE") != 0 &&
              bytes.compare(0, 2, "\xFE\xFF") != 0,
          "the file starts with no byte-order mark", "(" + hexOf(bytes) + ")");
    check(contains(bytes, "[Settings]") && contains(bytes, "RecoverSoundFile=" + gbkPath) &&
              contains(bytes, "Tip=" + inCodePage(kTip, 936)),
          "the Chinese values are stored as GBK bytes", "(" + hexOf(bytes) + ")");
    check(contains(bytes, "\xCA\xCD\xB7\xC5\xC4\xDA\xB4\xE6"), "释放内存 is stored as CA CD B7 C5 C4 DA B4 E6");
    check(!contains(bytes, kSoundPath) && !contains(bytes, "内存"), "no value is stored as UTF-8");

    // --- copy ----------------------------------------------------------------------------------
    check(profile.copyFile(ini, draft) && e2e::fileBytes(widen(draft)) == bytes, "a copy holds the same bytes under a Chinese name");
    check(!profile.copyFile(missing, folder + "\\副本.ini") && !profile.fileExists(folder + "\\副本.ini"),
          "copying a missing file fails and makes nothing");

    // --- replace -------------------------------------------------------------------------------
    profile.writeString(draft, kSection, "XMinutes", "60");
    check(profile.replaceFile(draft, ini) && !profile.fileExists(draft) && profile.getInt(ini, kSection, "XMinutes", 7) == 60 &&
              profile.getString(ini, kSection, "RecoverSoundFile", "") == kSoundPath,
          "replacing an existing file puts the copy's contents in its place, and the copy is gone");
    const std::string saved = e2e::fileBytes(widen(ini));

    check(!profile.replaceFile(missing, ini) && e2e::fileBytes(widen(ini)) == saved,
          "replacing with a missing file fails and leaves the file as it was");

    profile.copyFile(ini, draft);
    profile.writeString(draft, kSection, "XMinutes", "90");
    SetFileAttributesW(widen(ini).c_str(), FILE_ATTRIBUTE_READONLY);
    check(!profile.replaceFile(draft, ini) && e2e::fileBytes(widen(ini)) == saved && profile.getInt(ini, kSection, "XMinutes", 7) == 60,
          "replacing a read-only file fails and leaves it as it was");
    check(profile.deleteFile(ini) && !profile.fileExists(ini), "a read-only file is deleted");
    check(profile.deleteFile(ini), "deleting a file that is not there counts as done");

    check(profile.replaceFile(draft, ini) && !profile.fileExists(draft) && profile.getInt(ini, kSection, "XMinutes", 7) == 90,
          "replacing a missing file makes it");

    const std::string before = e2e::fileBytes(widen(ini));
    profile.copyFile(ini, draft);
    profile.writeString(draft, kSection, "XMinutes", "120");
    HANDLE held = CreateFileW(widen(ini).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    check(held != INVALID_HANDLE_VALUE, "another program holds the file open (no sharing of deletion)");
    check(!profile.replaceFile(draft, ini) && e2e::fileBytes(widen(ini)) == before && profile.fileExists(draft),
          "replacing a file held open fails, leaves it as it was and keeps the copy");
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    check(profile.replaceFile(draft, ini) && profile.getInt(ini, kSection, "XMinutes", 7) == 120,
          "once the file is let go, the replace succeeds");

    // --- one read of a whole section ----------------------------------------------------------
    // What a load takes from one read of its section must be what the key-by-key reads give:
    // blanks, quotes, hexadecimal and signed numbers, a key twice, a line without "=", a
    // second section of the same name, Chinese values and a section longer than the first
    // buffer.
    {
        const std::string tricky = folder + "\\段落.ini";
        const std::string text = "[Settings]\r\nnum=42\r\nneg=-7\r\nhex=0x10\r\nplus=+3\r\nempty=\r\n"
                                 "quoted=\"12\"\r\nsq=' a b '\r\n  spaced  =  v w  \r\ntab=\t9\t\r\n中文键=内存\r\n"
                                 "Wait=12分钟\r\ndup=1\r\nDUP=2\r\nnokey\r\nbig=4294967297\r\nhuge=" +
                                 std::string(5000, '7') + "\r\n[Other]\r\nother=5\r\n[settings]\r\nlater=9\r\n";
        const std::string gbk = inCodePage(text, 936);
        HANDLE out = CreateFileW(widen(tricky).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD wrote = 0;
        const bool made = out != INVALID_HANDLE_VALUE && WriteFile(out, gbk.data(), static_cast<DWORD>(gbk.size()), &wrote, nullptr);
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
        check(made, "a settings file with unusual lines is made");
        const auto entries = profile.sectionEntries(tricky, kSection);
        check(entries && entries->size() == 16 && entries->front() == std::make_pair(std::string("num"), std::string("42")) &&
                  (*entries)[13] == std::make_pair(std::string("nokey"), std::string()),
              "the section is listed in one read", entries ? "(" + std::to_string(entries->size()) + " entries)" : "(none)");
        platform::SectionReader reader(profile, tricky, kSection);
        for (const char* key : {"num", "NEG", "hex", "plus", "empty", "quoted", "sq", "spaced", "tab", "中文键", "Wait", "dup",
                                "nokey", "big", "huge", "other", "later", "missing"}) {
            check(reader.getInt(key, 77) == profile.getInt(tricky, kSection, key, 77),
                  std::string("a number read from the section as the system reads it: ") + key);
            checkText(reader.getString(key, "默认"), profile.getString(tricky, kSection, key, "默认"),
                      std::string("a text read from the section as the system reads it: ") + key);
        }
        for (const char* def : {"", " 默认 ", "'默认'"})
            checkText(reader.getString("missing", def), profile.getString(tricky, kSection, "missing", def),
                      std::string("a missing key's default as the system gives it: [") + def + "]");
        profile.deleteFile(tricky);
    }

    // --- clean up --------------------------------------------------------------------------
    profile.deleteFile(draft);
    profile.deleteFile(ini);
    RemoveDirectoryW(widen(folder).c_str());
    RemoveDirectoryW(widen(base).c_str());
    return checks::summary();
}
