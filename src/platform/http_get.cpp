// The page download over libcurl's easy interface.
#include "platform/http_get.h"

#include "core/text_codec.h"

#include <curl/curl.h>

#include <memory>

namespace {

constexpr const char* kAgent = "GetHtml";

struct tBody {
    std::string Bytes;
    std::size_t Max = 0;
    bool Capped = false;
};

std::size_t KeepBody(char* data, std::size_t size, std::size_t count, void* user) {
    tBody& body = *static_cast<tBody*>(user);
    const std::size_t n = size * count;
    const std::size_t room = body.Max - body.Bytes.size();
    if (n > room) {
        body.Bytes.append(data, room);
        body.Capped = true;
        return 0; // ends the transfer; what we have is enough
    }
    body.Bytes.append(data, n);
    return n;
}

struct tCurlCleanup {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};

void InitCurlOnce() {
    static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)done;
}

} // namespace

std::optional<std::string> GetHtml(const std::string& address, const tHttpLimits& limits) {
    InitCurlOnce();
    std::unique_ptr<CURL, tCurlCleanup> curl(curl_easy_init());
    if (!curl)
        return std::nullopt;
    CURL* c = curl.get();
    tBody body;
    body.Max = limits.MaxBytes;
    // The address comes from the settings file: only the web is reachable
    // through it, also after redirects.
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, kAgent);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, limits.ConnectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, limits.TotalTimeoutMs);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &KeepBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
    const CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK && !(rc == CURLE_WRITE_ERROR && body.Capped))
        return std::nullopt;
    return Cp1252ToUtf8(body.Bytes);
}
