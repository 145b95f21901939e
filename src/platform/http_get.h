// Downloading one web page over HTTP, bounded in time and size.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

struct tHttpLimits {
    long ConnectTimeoutMs = 10000;
    long TotalTimeoutMs = 30000;
    std::size_t MaxBytes = 1u << 20; // more of the page is not kept
};

// The page at address (http or https only; proxies from the environment),
// decoded from Windows-1252 to UTF-8. Nothing on a refused address, a
// failed connection, an HTTP error status or a time-out; a page longer
// than MaxBytes is cut there.
std::optional<std::string> GetHtml(const std::string& address, const tHttpLimits& limits = {});
