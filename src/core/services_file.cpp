// Services file rewrite, service lookups and the location rules.
#include "core/services_file.h"

namespace {

// The same field separators as the lookups, so that a line the lookups read
// as an entry is also replaced by a rewrite, never left to shadow the new one.
constexpr std::string_view kBlanks = " \t\r\n\v\f";

bool IsTrimmed(unsigned char c) {
    return c <= ' ';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsTrimmed(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && IsTrimmed(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

// Bytes outside ASCII stay as they are: the file may hold any code page.
std::string AsciiUpper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string_view BeforeComment(std::string_view line) {
    return line.substr(0, line.find('#'));
}

// A line is an entry of the service when the upper-case service name occurs
// inside its name or aliases and its protocol matches.
bool IsEntryOf(std::string_view line, const std::string& upperService,
               const std::string& upperProtocol) {
    const std::string work = std::string(Trim(AsciiUpper(BeforeComment(line))));
    const std::size_t sep = work.find_first_of(kBlanks);
    if (sep == std::string::npos)
        return false;
    std::string name(Trim(std::string_view(work).substr(0, sep)));
    const std::string_view rest = std::string_view(work).substr(sep + 1);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos)
        return false;
    std::string_view protocol = Trim(rest.substr(slash + 1));
    const std::size_t aliasSep = protocol.find_first_of(kBlanks);
    if (aliasSep != std::string_view::npos) {
        name += ' ';
        name += protocol.substr(aliasSep + 1);
        protocol = protocol.substr(0, aliasSep);
    }
    return name.find(upperService) != std::string::npos && protocol == upperProtocol;
}

std::string_view LineEndOf(std::string_view content) {
    const std::size_t lf = content.find('\n');
    if (lf != std::string_view::npos && lf > 0 && content[lf - 1] == '\r')
        return "\r\n";
    return "\n";
}

template <typename F> void ForEachLine(std::string_view content, F&& f) {
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t lf = content.find('\n', pos);
        const std::size_t end = lf == std::string_view::npos ? content.size() : lf + 1;
        f(content.substr(pos, end - pos));
        pos = end;
    }
}

std::vector<std::string_view> Tokens(std::string_view s) {
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    while (true) {
        pos = s.find_first_not_of(kBlanks, pos);
        if (pos == std::string_view::npos)
            break;
        const std::size_t end = s.find_first_of(kBlanks, pos);
        tokens.push_back(s.substr(pos, end == std::string_view::npos ? end : end - pos));
        if (end == std::string_view::npos)
            break;
        pos = end;
    }
    return tokens;
}

std::optional<unsigned> ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 65535)
        return std::nullopt;
    return value;
}

std::optional<tServiceEntry> ParseEntry(std::string_view line) {
    const std::vector<std::string_view> tokens = Tokens(BeforeComment(line));
    if (tokens.size() < 2)
        return std::nullopt;
    const std::size_t slash = tokens[1].find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::optional<unsigned> port = ParsePort(tokens[1].substr(0, slash));
    const std::string_view protocol = tokens[1].substr(slash + 1);
    if (!port || protocol.empty())
        return std::nullopt;
    tServiceEntry entry;
    entry.name = std::string(tokens[0]);
    entry.port = *port;
    entry.protocol = std::string(protocol);
    for (std::size_t i = 2; i < tokens.size(); ++i)
        entry.aliases.emplace_back(tokens[i]);
    return entry;
}

template <typename Match>
std::optional<tServiceEntry> FindEntry(std::string_view content, Match&& match) {
    std::optional<tServiceEntry> found;
    ForEachLine(content, [&](std::string_view line) {
        if (found)
            return;
        std::optional<tServiceEntry> entry = ParseEntry(line);
        if (entry && match(*entry))
            found = std::move(entry);
    });
    return found;
}

bool NamesOf(const tServiceEntry& e, std::string_view name) {
    if (e.name == name)
        return true;
    for (const std::string& alias : e.aliases)
        if (alias == name)
            return true;
    return false;
}

// A line that names the service for the protocol although its port field is
// no port: "Vessrin none/udp", "Vessrin -1/udp", "Vessrin 99999/udp".
bool ClaimsWithoutPort(std::string_view line, std::string_view name, std::string_view protocol) {
    const std::vector<std::string_view> tokens = Tokens(BeforeComment(line));
    if (tokens.size() < 2)
        return false;
    const std::size_t slash = tokens[1].find('/');
    if (slash == std::string_view::npos || tokens[1].substr(slash + 1) != protocol ||
        ParsePort(tokens[1].substr(0, slash)))
        return false;
    if (tokens[0] == name)
        return true;
    for (std::size_t i = 2; i < tokens.size(); ++i)
        if (tokens[i] == name)
            return true;
    return false;
}

// What one file says about a name: its first well-formed entry, else "no
// port" when a line claims the name without a port, else nothing.
std::optional<tServiceEntry> FileSays(std::string_view content, std::string_view name,
                                      std::string_view protocol) {
    if (std::optional<tServiceEntry> entry = FindServiceByName(content, name, protocol))
        return entry;
    bool claimed = false;
    ForEachLine(content, [&](std::string_view line) {
        claimed = claimed || ClaimsWithoutPort(line, name, protocol);
    });
    if (!claimed)
        return std::nullopt;
    tServiceEntry none;
    none.name = std::string(name);
    none.protocol = std::string(protocol);
    return none;
}

std::string Join(std::string_view dir, std::string_view name) {
    std::string path(dir);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path != "/")
        path += '/';
    path += name;
    return path;
}

} // namespace

std::string ServiceEntryLine(std::string_view service, std::uint16_t port,
                             std::string_view protocol, std::string_view comment) {
    const std::string digits = std::to_string(port);
    std::string line(service);
    line += '\t';
    line.append(5 - digits.size(), ' ');
    line += digits;
    line += '/';
    line += protocol;
    if (!comment.empty()) {
        line += '\t';
        line += comment;
    }
    return line;
}

std::string RewriteServicesText(std::string_view content, std::string_view service,
                                std::uint16_t port, std::string_view protocol,
                                std::string_view comment, bool markNoPort) {
    const std::string upperService = AsciiUpper(service);
    const std::string upperProtocol = AsciiUpper(protocol);
    std::string result;
    result.reserve(content.size() + 32);
    ForEachLine(content, [&](std::string_view line) {
        // An empty name would occur in every line and wipe the whole protocol.
        if (upperService.empty() || !IsEntryOf(line, upperService, upperProtocol))
            result += line;
    });
    if (port != 0 || (markNoPort && !upperService.empty())) {
        const std::string_view eol = LineEndOf(content);
        // A last line without its end must not run into the new entry.
        if (!result.empty() && result.back() != '\n')
            result += eol;
        result += ServiceEntryLine(service, port, protocol, port != 0 ? comment : kNoPortComment);
        result += eol;
    }
    return result;
}

std::optional<tServiceEntry> FindServiceByName(std::string_view content, std::string_view name,
                                               std::string_view protocol) {
    return FindEntry(content, [&](const tServiceEntry& e) {
        return e.protocol == protocol && NamesOf(e, name);
    });
}

std::optional<tServiceEntry> FindServiceByPort(std::string_view content, unsigned port,
                                               std::string_view protocol) {
    return FindEntry(
        content, [&](const tServiceEntry& e) { return e.port == port && e.protocol == protocol; });
}

std::optional<tServiceEntry> LookupServiceByName(const std::vector<std::string_view>& files,
                                                 std::string_view name, std::string_view protocol) {
    for (std::string_view content : files)
        if (std::optional<tServiceEntry> entry = FileSays(content, name, protocol))
            return entry;
    return std::nullopt;
}

std::optional<tServiceEntry> LookupServiceByPort(const std::vector<std::string_view>& files,
                                                 unsigned port, std::string_view protocol) {
    const auto decidedEarlier = [&](std::size_t file, std::string_view name) {
        for (std::size_t i = 0; i < file; ++i)
            if (FileSays(files[i], name, protocol))
                return true;
        return false;
    };
    for (std::size_t file = 0; file < files.size(); ++file) {
        std::optional<tServiceEntry> found = FindEntry(files[file], [&](const tServiceEntry& e) {
            if (e.port != port || e.protocol != protocol || decidedEarlier(file, e.name))
                return false;
            for (const std::string& alias : e.aliases)
                if (decidedEarlier(file, alias))
                    return false;
            return true;
        });
        if (found)
            return found;
    }
    return std::nullopt;
}

tPortOwner ClassifyPortOwner(const std::optional<tServiceEntry>& owner, unsigned currentPort) {
    if (!owner)
        return poFree;
    if (owner->name != kServiceName)
        return poOtherOwner;
    return owner->port == currentPort ? poOurs : poFree;
}

bool IsUsableDirectory(std::string_view dir) {
    return !dir.empty() && dir.size() < kDirectoryBufferSize;
}

std::array<std::string, kServiceLocationCount> ServiceFileLocations(std::string_view windowsDir,
                                                                    std::string_view systemDir) {
    static constexpr std::array<std::string_view, 3> kSubPaths = {
        "services", "drivers/etc/services", "system32/drivers/etc/services"};
    std::array<std::string, kServiceLocationCount> locations;
    for (std::size_t pair = 0; pair < kSubPaths.size(); ++pair) {
        if (IsUsableDirectory(windowsDir))
            locations[2 * pair] = Join(windowsDir, kSubPaths[pair]);
        if (IsUsableDirectory(systemDir))
            locations[2 * pair + 1] = Join(systemDir, kSubPaths[pair]);
    }
    return locations;
}

std::uint8_t
CombineLocationCodes(const std::array<std::optional<std::uint8_t>, kServiceLocationCount>& codes) {
    bool anyPairOk = false;
    std::uint8_t last = scInvalidDirectory;
    std::optional<std::uint8_t> lastWithFile;
    for (std::size_t pair = 0; pair < kServiceLocationCount / 2; ++pair) {
        const std::optional<std::uint8_t>& first = codes[2 * pair];
        const std::optional<std::uint8_t>& second = codes[2 * pair + 1];
        std::uint8_t code;
        if (!first && !second)
            code = scInvalidDirectory;
        else if (!second)
            code = *first;
        else if ((first && *first == scOk) || *second == scOk)
            code = scOk;
        else
            code = *second;
        anyPairOk = anyPairOk || code == scOk;
        last = code;
        if (code != scCannotOpen && code != scInvalidDirectory)
            lastWithFile = code;
    }
    if (anyPairOk)
        return scOk;
    return lastWithFile.value_or(last);
}
