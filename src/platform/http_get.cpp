// The page download over libcurl's easy interface, loaded at the first
// download: the library and its TLS, directory and Kerberos dependencies
// would otherwise be loaded and relocated at every start, for a check the
// user may never ask for.
#include "platform/http_get.h"

#include "core/text_codec.h"

#include <curl/curl.h>
#include <dlfcn.h>

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

// The few entry points we call, resolved once; all null when the library
// or one of them is missing, and then every download fails.
struct tCurlApi {
    CURLcode (*GlobalInit)(long) = nullptr;
    CURL* (*EasyInit)() = nullptr;
    CURLcode (*EasySetopt)(CURL*, CURLoption, ...) = nullptr;
    CURLcode (*EasyPerform)(CURL*) = nullptr;
    void (*EasyCleanup)(CURL*) = nullptr;

    bool Complete() const {
        return GlobalInit && EasyInit && EasySetopt && EasyPerform && EasyCleanup;
    }
};

template <typename F> void Resolve(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(library, name));
}

const tCurlApi& CurlApi() {
    static const tCurlApi api = [] {
        tCurlApi loaded;
        // Never unloaded: libcurl's global state lives until the program ends.
        void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return loaded;
        Resolve(library, "curl_global_init", loaded.GlobalInit);
        Resolve(library, "curl_easy_init", loaded.EasyInit);
        Resolve(library, "curl_easy_setopt", loaded.EasySetopt);
        Resolve(library, "curl_easy_perform", loaded.EasyPerform);
        Resolve(library, "curl_easy_cleanup", loaded.EasyCleanup);
        if (!loaded.Complete() || loaded.GlobalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            return tCurlApi{};
        return loaded;
    }();
    return api;
}

struct tCurlCleanup {
    void operator()(CURL* c) const { CurlApi().EasyCleanup(c); }
};

} // namespace

std::optional<std::string> GetHtml(const std::string& address, const tHttpLimits& limits) {
    const tCurlApi& api = CurlApi();
    if (!api.Complete())
        return std::nullopt;
    std::unique_ptr<CURL, tCurlCleanup> curl(api.EasyInit());
    if (!curl)
        return std::nullopt;
    CURL* c = curl.get();
    const auto set = api.EasySetopt;
    tBody body;
    body.Max = limits.MaxBytes;
    // The address comes from the settings file: only the web is reachable
    // through it, also after redirects.
    set(c, CURLOPT_PROTOCOLS_STR, "http,https");
    set(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(c, CURLOPT_URL, address.c_str());
    set(c, CURLOPT_NOSIGNAL, 1L);
    set(c, CURLOPT_USERAGENT, kAgent);
    set(c, CURLOPT_FOLLOWLOCATION, 1L);
    set(c, CURLOPT_MAXREDIRS, 5L);
    set(c, CURLOPT_FAILONERROR, 1L);
    set(c, CURLOPT_CONNECTTIMEOUT_MS, limits.ConnectTimeoutMs);
    set(c, CURLOPT_TIMEOUT_MS, limits.TotalTimeoutMs);
    set(c, CURLOPT_WRITEFUNCTION, &KeepBody);
    set(c, CURLOPT_WRITEDATA, &body);
    const CURLcode rc = api.EasyPerform(c);
    if (rc != CURLE_OK && !(rc == CURLE_WRITE_ERROR && body.Capped))
        return std::nullopt;
    return Cp1252ToUtf8(body.Bytes);
}
