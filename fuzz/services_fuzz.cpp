// Fuzz target: rewriting the services file keeps every other line byte for
// byte, and the per-user file as written has the final say over the port.
// Everything works on views of the input: a copy per line would cost more
// than the code under test.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/services_file.h"
#include "fuzz_check.h"

namespace {

// The next line of text at pos, its line end included; empty at the end.
std::string_view NextLine(std::string_view text, std::size_t& pos) {
    if (pos >= text.size())
        return {};
    const std::size_t lf = text.find('\n', pos);
    const std::size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
    const std::string_view line = text.substr(pos, end - pos);
    pos = end;
    return line;
}

bool MentionsService(std::string_view line) {
    static constexpr std::string_view name = "vessrin";
    for (std::size_t i = 0; i + name.size() <= line.size(); ++i) {
        std::size_t k = 0;
        while (k < name.size() && (line[i + k] | 0x20) == name[k])
            ++k;
        if (k == name.size())
            return true;
    }
    return false;
}

std::string_view WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

// out without its last line when the rewrite appended one.
std::string_view BeforeLastLine(std::string_view out) {
    std::string_view body = out.substr(0, out.size() - 1);
    const std::size_t lf = body.rfind('\n');
    return lf == std::string_view::npos ? std::string_view() : out.substr(0, lf + 1);
}

std::string_view LastLine(std::string_view out) {
    return out.substr(BeforeLastLine(out).size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint16_t port = in.ConsumeIntegral<std::uint16_t>();
    const std::uint16_t probe = in.ConsumeIntegral<std::uint16_t>();
    const std::string system = in.ConsumeRandomLengthString(4096);
    const std::string content = in.ConsumeRemainingBytesAsString();

    const std::string out = RewriteServicesText(content, kServiceName, port, kServiceProtocol);
    std::string_view kept = out;
    if (port != 0) {
        FUZZ_CHECK(!out.empty() && out.back() == '\n');
        const std::string entry = ServiceEntryLine(kServiceName, port, kServiceProtocol);
        FUZZ_CHECK(WithoutLineEnd(LastLine(out)) == entry);
        kept = BeforeLastLine(out);
    }

    // The rest of the output is the input's lines in their order, each whole;
    // only lines that mention the service may be missing, and only the last
    // line may have gained a line end.
    std::size_t o = 0;
    std::size_t k = 0;
    for (std::string_view line = NextLine(kept, k); !line.empty(); line = NextLine(kept, k)) {
        std::string_view original;
        while (true) {
            original = NextLine(content, o);
            FUZZ_CHECK(!original.empty());
            const bool lastGainedEnd = o == content.size() &&
                                       line.compare(0, original.size(), original) == 0 &&
                                       line.size() - original.size() <= 2;
            if (original == line || lastGainedEnd)
                break;
            FUZZ_CHECK(MentionsService(original));
        }
    }
    for (std::string_view original = NextLine(content, o); !original.empty();
         original = NextLine(content, o))
        FUZZ_CHECK(MentionsService(original));

    // The lookup finds exactly the port written.
    const auto found = FindServiceByName(out, kServiceName, kServiceProtocol);
    if (port == 0)
        FUZZ_CHECK(!found.has_value());
    else
        FUZZ_CHECK(found.has_value() && found->port == port);
    // A second rewrite changes nothing but, perhaps, the line end of the
    // entry: a first line that only gained its line end in the first one
    // sets the ending now.
    const std::string twice = RewriteServicesText(out, kServiceName, port, kServiceProtocol);
    if (port != 0) {
        FUZZ_CHECK(WithoutLineEnd(LastLine(twice)) == WithoutLineEnd(LastLine(out)));
        FUZZ_CHECK(BeforeLastLine(twice) == kept);
    } else {
        FUZZ_CHECK(twice == out);
    }

    if (const auto byPort = FindServiceByPort(content, port, kServiceProtocol))
        FUZZ_CHECK(byPort->port == port);

    // The per-user file as the dialog writes it has the final say, whatever
    // the system file holds: the port entered, or "no port" for 0.
    const std::string user =
        RewriteServicesText(content, kServiceName, port, kServiceProtocol, {}, true);
    const std::vector<std::string_view> files = {user, system};
    const auto effective = LookupServiceByName(files, kServiceName, kServiceProtocol);
    FUZZ_CHECK(effective.has_value() && effective->port == port);
    // No entry of the game's name but the one in effect is seen by port.
    const auto owner = LookupServiceByPort(files, probe, kServiceProtocol);
    if (owner) {
        FUZZ_CHECK(owner->port == probe && owner->protocol == kServiceProtocol);
        if (owner->name == kServiceName)
            FUZZ_CHECK(probe == port);
    }
    FUZZ_CHECK(ClassifyPortOwner(owner, port) != poOurs || probe == port);
    // Without a per-user file the system file answers as on its own.
    const auto alone =
        LookupServiceByName({std::string_view(), system}, kServiceName, kServiceProtocol);
    if (const auto direct = FindServiceByName(system, kServiceName, kServiceProtocol))
        FUZZ_CHECK(alone.has_value() && alone->port == direct->port);
    return 0;
}
