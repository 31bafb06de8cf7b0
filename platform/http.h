#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// One HTTP/1.0 GET, straight to the server or through a proxy.
struct HttpRequest {
    std::string host;  // the server, as named in the request ("Host:" and the proxy's address line)
    uint16_t port = 80;
    std::string path;       // from "/" on
    std::string proxyHost;  // empty: no proxy
    uint16_t proxyPort = 0;
    uint32_t timeoutMs = 60000;  // for the connection and for each read
    size_t maxBody = 0;          // the most body bytes kept: the transfer ends once more arrive
    int maxRedirects = 10;       // hops followed before a redirect counts as the final reply
};

struct HttpReply {
    enum class Outcome {
        Reply,             // a final reply arrived: status and body
        ConnectionFailed,  // nothing answered at the address (refused, unreachable)
        Error,             // the name did not resolve, a time-out, a broken transfer
        Aborted,           // abort() was called
    };
    Outcome outcome = Outcome::Error;
    uint32_t status = 0;
    std::string body;           // at most maxBody bytes
    bool bodyTooLong = false;   // more than maxBody bytes came
};

// One transfer. run() blocks (call it on a worker thread, never on the thread that owns the
// windows); abort() may be called from any thread, before, during or after run(), and makes a
// run() under way end as soon as the network lets it.
class HttpTransfer {
public:
    virtual ~HttpTransfer() = default;
    virtual HttpReply run(const HttpRequest& request) = 0;
    virtual void abort() = 0;
};

// The system's HTTP client. Lives as long as the process: a transfer still running after its
// requester went away finishes against it.
class Http {
public:
    virtual ~Http() = default;
    virtual std::shared_ptr<HttpTransfer> newTransfer() = 0;
};

}  // namespace platform
