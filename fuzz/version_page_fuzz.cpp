// Fuzz target: scanning the download page for this program's release date.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/version_page.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int day = in.ConsumeIntegralInRange<int>(1, 31);
    const int month = in.ConsumeIntegralInRange<int>(1, 12);
    const std::string page = in.ConsumeRemainingBytesAsString();
    static const std::string site = "http://www.vessrin.invalid/";

    const tReleaseCheck check = ScanVersionPage(page, "VESSRIN.EXE", site, 2011, month, day);
    // A link without a folder is a file on the maker's site.
    if (!check.Link.empty() && check.Link.find('/') == std::string::npos)
        FUZZ_CHECK(false);

    const std::string decoded = DecodePageText(page);
    FUZZ_CHECK(decoded.find('\r') == std::string::npos && decoded.find('\n') == std::string::npos);
    const std::string upper = UpperText(page);
    FUZZ_CHECK(UpperText(upper) == upper);
    FUZZ_CHECK(LeadingNumber(page) >= 0);
    (void)IsWebAddress(check.Link);
    return 0;
}
