// HTTP through WinINet, the system's own client: it knows proxies, time-outs and the
// protocol's details on every Windows release the program runs on. Redirects are followed here,
// hop by hop, so a loop ends after the request's number of hops.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "win32/services/wide_text.h"
#include "win32/services/system_dll.h"
#include "win32/services/wininet_http.h"

namespace win32 {

namespace {

// WinINet, loaded with the first request.
struct WinInet {
    template <class F>
    static F load(const char* name) {
        return systemFunction<F>(L"wininet.dll", name);
    }
    decltype(&::InternetOpenW) InternetOpenW = load<decltype(&::InternetOpenW)>("InternetOpenW");
    decltype(&::InternetConnectW) InternetConnectW = load<decltype(&::InternetConnectW)>("InternetConnectW");
    decltype(&::HttpOpenRequestW) HttpOpenRequestW = load<decltype(&::HttpOpenRequestW)>("HttpOpenRequestW");
    decltype(&::HttpSendRequestW) HttpSendRequestW = load<decltype(&::HttpSendRequestW)>("HttpSendRequestW");
    decltype(&::HttpQueryInfoW) HttpQueryInfoW = load<decltype(&::HttpQueryInfoW)>("HttpQueryInfoW");
    decltype(&::InternetReadFile) InternetReadFile = load<decltype(&::InternetReadFile)>("InternetReadFile");
    decltype(&::InternetCloseHandle) InternetCloseHandle =
        load<decltype(&::InternetCloseHandle)>("InternetCloseHandle");
    decltype(&::InternetSetOptionW) InternetSetOptionW = load<decltype(&::InternetSetOptionW)>("InternetSetOptionW");
    bool complete() const {
        return InternetOpenW != nullptr && InternetConnectW != nullptr && HttpOpenRequestW != nullptr &&
               HttpSendRequestW != nullptr && HttpQueryInfoW != nullptr && InternetReadFile != nullptr &&
               InternetCloseHandle != nullptr && InternetSetOptionW != nullptr;
    }
};
const WinInet& inet() {
    static const WinInet functions;
    return functions;
}

struct Target {
    std::wstring host;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
    std::wstring path;
};

bool startsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    const size_t n = std::wcslen(prefix);
    return text.size() >= n && _wcsnicmp(text.c_str(), prefix, n) == 0;
}

// Where a redirect's Location sends the next hop: an absolute http address, a path on the same
// server, or a name relative to the current path. False for anything else (another scheme).
bool followLocation(const std::wstring& location, Target& target) {
    if (startsWithNoCase(location, L"http://")) {
        const std::wstring rest = location.substr(7);
        const size_t slash = rest.find(L'/');
        const std::wstring authority = rest.substr(0, slash);
        std::wstring host = authority;
        INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
        const size_t colon = authority.rfind(L':');
        if (colon != std::wstring::npos) {
            host = authority.substr(0, colon);
            const std::wstring digits = authority.substr(colon + 1);
            if (digits.empty() || digits.size() > 5 || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
                return false;
            const unsigned long value = std::wcstoul(digits.c_str(), nullptr, 10);
            if (value == 0 || value > 65535) return false;
            port = static_cast<INTERNET_PORT>(value);
        }
        if (host.empty() || host.find(L'@') != std::wstring::npos) return false;
        target.host = host;
        target.port = port;
        target.path = slash == std::wstring::npos ? L"/" : rest.substr(slash);
        return true;
    }
    if (location.empty() || location.find(L':') < location.find(L'/')) return false;  // another scheme
    if (location[0] == L'/') {
        if (location.size() > 1 && location[1] == L'/') return false;  // another server, scheme implied
        target.path = location;
        return true;
    }
    const size_t lastSlash = target.path.rfind(L'/');
    target.path = (lastSlash == std::wstring::npos ? L"/" : target.path.substr(0, lastSlash + 1)) + location;
    return true;
}

bool isRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

class WinInetTransfer : public platform::HttpTransfer {
public:
    WinInetTransfer() { InitializeCriticalSection(&lock_); }
    ~WinInetTransfer() override {
        closeSession();
        DeleteCriticalSection(&lock_);
    }
    WinInetTransfer(const WinInetTransfer&) = delete;
    WinInetTransfer& operator=(const WinInetTransfer&) = delete;

    platform::HttpReply run(const platform::HttpRequest& request) override {
        platform::HttpReply reply = transfer(request);
        closeSession();
        if (isAborted()) {
            reply = platform::HttpReply{};
            reply.outcome = platform::HttpReply::Outcome::Aborted;
        }
        return reply;
    }

    // Closing the session handle cancels what its requests are waiting for.
    void abort() override {
        EnterCriticalSection(&lock_);
        aborted_ = true;
        HINTERNET session = session_;
        session_ = nullptr;
        LeaveCriticalSection(&lock_);
        if (session != nullptr) inet().InternetCloseHandle(session);
    }

private:
    bool isAborted() {
        EnterCriticalSection(&lock_);
        const bool aborted = aborted_;
        LeaveCriticalSection(&lock_);
        return aborted;
    }

    void closeSession() {
        EnterCriticalSection(&lock_);
        HINTERNET session = session_;
        session_ = nullptr;
        LeaveCriticalSection(&lock_);
        if (session != nullptr) inet().InternetCloseHandle(session);
    }

    // A handle under the session, closed here unless an abort closed it with the session.
    void closeUnlessAborted(HINTERNET handle) {
        if (handle == nullptr) return;
        EnterCriticalSection(&lock_);
        if (!aborted_) inet().InternetCloseHandle(handle);
        LeaveCriticalSection(&lock_);
    }

    static void setTimeouts(HINTERNET handle, DWORD ms) {
        for (DWORD option : {static_cast<DWORD>(INTERNET_OPTION_CONNECT_TIMEOUT),
                             static_cast<DWORD>(INTERNET_OPTION_RECEIVE_TIMEOUT),
                             static_cast<DWORD>(INTERNET_OPTION_SEND_TIMEOUT),
                             static_cast<DWORD>(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT),
                             static_cast<DWORD>(INTERNET_OPTION_DATA_SEND_TIMEOUT)})
            inet().InternetSetOptionW(handle, option, &ms, sizeof ms);
    }

    static platform::HttpReply failure(DWORD error) {
        platform::HttpReply reply;
        reply.outcome = error == ERROR_INTERNET_CANNOT_CONNECT ? platform::HttpReply::Outcome::ConnectionFailed
                                                               : platform::HttpReply::Outcome::Error;
        return reply;
    }

    platform::HttpReply transfer(const platform::HttpRequest& request) {
        if (!inet().complete()) return failure(ERROR_MOD_NOT_FOUND);
        const bool proxied = !request.proxyHost.empty();
        const std::wstring proxy = widen(request.proxyHost + ":" + std::to_string(request.proxyPort));
        HINTERNET session = inet().InternetOpenW(L"Quillet", proxied ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_DIRECT,
                                          proxied ? proxy.c_str() : nullptr, nullptr, 0);
        if (session == nullptr) return failure(GetLastError());
        EnterCriticalSection(&lock_);
        const bool aborted = aborted_;
        if (!aborted) session_ = session;
        LeaveCriticalSection(&lock_);
        if (aborted) {
            inet().InternetCloseHandle(session);
            return platform::HttpReply{platform::HttpReply::Outcome::Aborted, 0, {}, false};
        }
        setTimeouts(session, request.timeoutMs);

        Target target{widen(request.host), request.port, widen(request.path)};
        const DWORD flags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                            INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;
        for (int hop = 0;; ++hop) {
            // Made, and later closed, under the lock: once an abort has closed the session, its
            // handles' numbers may be another transfer's, and are not used again here.
            EnterCriticalSection(&lock_);
            if (aborted_) {
                LeaveCriticalSection(&lock_);
                return platform::HttpReply{platform::HttpReply::Outcome::Aborted, 0, {}, false};
            }
            HINTERNET connection =
                inet().InternetConnectW(session, target.host.c_str(), target.port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
            HINTERNET handle = connection == nullptr ? nullptr
                                                     : inet().HttpOpenRequestW(connection, L"GET", target.path.c_str(),
                                                                        L"HTTP/1.0", nullptr, nullptr, flags, 0);
            const DWORD error = GetLastError();
            if (handle != nullptr) setTimeouts(handle, request.timeoutMs);
            LeaveCriticalSection(&lock_);
            if (handle == nullptr) {
                closeUnlessAborted(connection);
                return failure(error);
            }
            platform::HttpReply reply = exchange(handle, request, target, hop < request.maxRedirects);
            closeUnlessAborted(handle);
            closeUnlessAborted(connection);
            if (reply.outcome != platform::HttpReply::Outcome::Reply || !isRedirect(reply.status) || hop >= request.maxRedirects ||
                !redirected_)
                return reply;
        }
    }

    // Sends one request and reads its reply. A redirect that can be followed changes `target`
    // and sets redirected_.
    platform::HttpReply exchange(HINTERNET handle, const platform::HttpRequest& request, Target& target, bool mayRedirect) {
        redirected_ = false;
        if (!inet().HttpSendRequestW(handle, nullptr, 0, nullptr, 0)) return failure(GetLastError());
        platform::HttpReply reply;
        reply.outcome = platform::HttpReply::Outcome::Reply;
        DWORD status = 0;
        DWORD size = sizeof status;
        if (!inet().HttpQueryInfoW(handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
            return failure(GetLastError());
        reply.status = status;
        if (mayRedirect && isRedirect(status)) {
            std::vector<wchar_t> location(2048, L'\0');
            DWORD bytes = static_cast<DWORD>(location.size() * sizeof(wchar_t));
            if (inet().HttpQueryInfoW(handle, HTTP_QUERY_LOCATION, location.data(), &bytes, nullptr)) {
                const std::wstring text(location.data(), bytes / sizeof(wchar_t));
                if (followLocation(text, target)) {
                    redirected_ = true;
                    return reply;
                }
            }
        }
        // The body, up to one byte more than the caller keeps: enough to know it is too long.
        char buffer[256];
        while (reply.body.size() <= request.maxBody) {
            const size_t wanted = std::min(sizeof buffer, request.maxBody + 1 - reply.body.size());
            DWORD got = 0;
            if (!inet().InternetReadFile(handle, buffer, static_cast<DWORD>(wanted), &got)) return failure(GetLastError());
            if (got == 0) break;
            reply.body.append(buffer, got);
        }
        if (reply.body.size() > request.maxBody) {
            reply.body.resize(request.maxBody);
            reply.bodyTooLong = true;
        }
        return reply;
    }

    CRITICAL_SECTION lock_;
    bool aborted_ = false;
    HINTERNET session_ = nullptr;
    bool redirected_ = false;
};

}  // namespace

std::shared_ptr<platform::HttpTransfer> Win32Http::newTransfer() { return std::make_shared<WinInetTransfer>(); }

}  // namespace win32
