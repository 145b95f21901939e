// Fuzz target: rewriting the services file keeps every other line byte for byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/services_file.h"
#include "fuzz_check.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(begin, end - begin));
        begin = end;
    }
    return lines;
}

bool MentionsService(const std::string& line) {
    static const std::string name = "vessrin";
    std::string lower = line;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return lower.find(name) != std::string::npos;
}

std::string WithoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint16_t port = in.ConsumeIntegral<std::uint16_t>();
    const std::string content = in.ConsumeRemainingBytesAsString();

    const std::string out = RewriteServicesText(content, kServiceName, port, kServiceProtocol);
    std::vector<std::string> kept = Lines(out);
    if (port != 0) {
        FUZZ_CHECK(!kept.empty());
        const std::string entry = ServiceEntryLine(kServiceName, port, kServiceProtocol);
        const std::string last = kept.back();
        FUZZ_CHECK(last.compare(0, entry.size(), entry) == 0);
        FUZZ_CHECK(last.size() - entry.size() <= 2);
        kept.pop_back();
    }

    // The rest of the output is the input's lines in their order, each whole;
    // only lines that mention the service may be missing, and only the last
    // line may have gained a line end.
    const std::vector<std::string> original = Lines(content);
    std::size_t o = 0;
    for (std::size_t k = 0; k < kept.size(); ++k) {
        while (o < original.size() && original[o] != kept[k] &&
               !(o + 1 == original.size() &&
                 kept[k].compare(0, original[o].size(), original[o]) == 0 &&
                 kept[k].size() - original[o].size() <= 2)) {
            FUZZ_CHECK(MentionsService(original[o]));
            ++o;
        }
        FUZZ_CHECK(o < original.size());
        ++o;
    }
    for (; o < original.size(); ++o)
        FUZZ_CHECK(MentionsService(original[o]));

    // The lookup finds exactly the port written.
    const auto found = FindServiceByName(out, kServiceName, kServiceProtocol);
    if (port == 0)
        FUZZ_CHECK(!found.has_value());
    else
        FUZZ_CHECK(found.has_value() && found->port == port);
    // A second rewrite changes nothing but, perhaps, the line end of the
    // entry: a first line that only gained its line end in the first one
    // sets the ending now.
    std::vector<std::string> twice =
        Lines(RewriteServicesText(out, kServiceName, port, kServiceProtocol));
    std::vector<std::string> once = Lines(out);
    if (port != 0) {
        FUZZ_CHECK(!twice.empty() && !once.empty());
        FUZZ_CHECK(WithoutLineEnd(twice.back()) == WithoutLineEnd(once.back()));
        twice.pop_back();
        once.pop_back();
    }
    FUZZ_CHECK(twice == once);

    if (const auto byPort = FindServiceByPort(content, port, kServiceProtocol))
        FUZZ_CHECK(byPort->port == port);
    (void)ClassifyPortOwner(FindServiceByPort(content, port, kServiceProtocol));
    return 0;
}
