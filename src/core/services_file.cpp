// Services file rewrite, service lookups and the location rules.
#include "core/services_file.h"

#include <algorithm>

namespace {

// The field separators of both the lookups and the rewrite, so that a line
// the lookups read as an entry is also replaced by a rewrite, never left to
// shadow the new one. Tested by hand: find_first_of would look every byte up
// in the set with a library call.
bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::size_t FindBlank(std::string_view s, std::size_t pos = 0) {
    for (; pos < s.size(); ++pos)
        if (IsBlank(s[pos]))
            return pos;
    return std::string_view::npos;
}

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
char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

// Whether the needle occurs, ignoring case, in name + " " + aliases (the
// aliases part only when there is one); no copy of the line is made, since
// every line of the file passes through here.
bool OccursIgnoringCase(std::string_view name, std::optional<std::string_view> aliases,
                        std::string_view needle) {
    const std::size_t total = name.size() + (aliases ? 1 + aliases->size() : 0);
    const auto at = [&](std::size_t i) {
        if (i < name.size())
            return name[i];
        return i == name.size() ? ' ' : (*aliases)[i - name.size() - 1];
    };
    for (std::size_t start = 0; start + needle.size() <= total; ++start) {
        std::size_t k = 0;
        while (k < needle.size() && AsciiUpper(at(start + k)) == AsciiUpper(needle[k]))
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

std::string_view BeforeComment(std::string_view line) {
    return line.substr(0, line.find('#'));
}

// A line is an entry of the service when the service name occurs inside its
// name or aliases and its protocol matches, both ignoring case.
bool IsEntryOf(std::string_view line, std::string_view service, std::string_view protocolWanted) {
    const std::string_view work = Trim(BeforeComment(line));
    const std::size_t sep = FindBlank(work);
    if (sep == std::string_view::npos)
        return false;
    const std::string_view name = Trim(work.substr(0, sep));
    const std::string_view rest = work.substr(sep + 1);
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos)
        return false;
    std::string_view protocol = Trim(rest.substr(slash + 1));
    std::optional<std::string_view> aliases;
    const std::size_t aliasSep = FindBlank(protocol);
    if (aliasSep != std::string_view::npos) {
        aliases = protocol.substr(aliasSep + 1);
        protocol = protocol.substr(0, aliasSep);
    }
    return EqualsIgnoringCase(protocol, protocolWanted) &&
           OccursIgnoringCase(name, aliases, service);
}

std::string_view LineEndOf(std::string_view content) {
    const std::size_t lf = content.find('\n');
    if (lf != std::string_view::npos && lf > 0 && content[lf - 1] == '\r')
        return "\r\n";
    return "\n";
}

// Calls f with every line, its line end included, until f returns false.
template <typename F> void ForEachLine(std::string_view content, F&& f) {
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t lf = content.find('\n', pos);
        const std::size_t end = lf == std::string_view::npos ? content.size() : lf + 1;
        if (!f(content.substr(pos, end - pos)))
            return;
        pos = end;
    }
}

// The next blank-separated token at or after pos; empty at the end.
std::string_view NextToken(std::string_view s, std::size_t& pos) {
    while (pos < s.size() && IsBlank(s[pos]))
        ++pos;
    if (pos >= s.size()) {
        pos = s.size();
        return {};
    }
    const std::size_t end = std::min(FindBlank(s, pos), s.size());
    const std::string_view token = s.substr(pos, end - pos);
    pos = end;
    return token;
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

// One line's fields as views into the line: name, the port field split at
// its "/", and the text of the aliases.
struct tLineFields {
    std::string_view name;
    std::string_view portText;
    std::string_view protocol;
    std::string_view aliases;
};

std::optional<tLineFields> SplitLine(std::string_view line) {
    const std::string_view text = BeforeComment(line);
    std::size_t pos = 0;
    tLineFields f;
    f.name = NextToken(text, pos);
    const std::string_view portField = NextToken(text, pos);
    const std::size_t slash = portField.find('/');
    if (portField.empty() || slash == std::string_view::npos)
        return std::nullopt;
    f.portText = portField.substr(0, slash);
    f.protocol = portField.substr(slash + 1);
    f.aliases = text.substr(pos);
    return f;
}

bool NamesOf(const tLineFields& f, std::string_view name) {
    if (f.name == name)
        return true;
    std::size_t pos = 0;
    for (std::string_view alias = NextToken(f.aliases, pos); !alias.empty();
         alias = NextToken(f.aliases, pos))
        if (alias == name)
            return true;
    return false;
}

// A well-formed entry: a port from 0 to 65535 and a protocol.
struct tEntryView {
    tLineFields fields;
    unsigned port = 0;
};

std::optional<tEntryView> ParseEntryView(std::string_view line) {
    const std::optional<tLineFields> f = SplitLine(line);
    if (!f || f->protocol.empty())
        return std::nullopt;
    const std::optional<unsigned> port = ParsePort(f->portText);
    if (!port)
        return std::nullopt;
    return tEntryView{*f, *port};
}

tServiceEntry ToEntry(const tEntryView& v) {
    tServiceEntry entry;
    entry.name = std::string(v.fields.name);
    entry.port = v.port;
    entry.protocol = std::string(v.fields.protocol);
    std::size_t pos = 0;
    for (std::string_view alias = NextToken(v.fields.aliases, pos); !alias.empty();
         alias = NextToken(v.fields.aliases, pos))
        entry.aliases.emplace_back(alias);
    return entry;
}

template <typename Match>
std::optional<tServiceEntry> FindEntry(std::string_view content, Match&& match) {
    std::optional<tServiceEntry> found;
    ForEachLine(content, [&](std::string_view line) {
        const std::optional<tEntryView> entry = ParseEntryView(line);
        if (entry && match(*entry))
            found = ToEntry(*entry);
        return !found;
    });
    return found;
}

// A line the lookups take for the service: an entry of it, or a line that
// claims it without a port. The rewrite's own rule trims every control
// character, the lookups split at blanks only, so a line such as
// "\x01<TAB>22/udp<TAB>Vessrin" would escape the rule and shadow the new entry.
bool LookupsSeeService(std::string_view line, std::string_view service, std::string_view protocol) {
    const std::optional<tLineFields> f = SplitLine(line);
    return f && f->protocol == protocol && NamesOf(*f, service);
}

// A line that names the service for the protocol although its port field is
// no port: "Vessrin none/udp", "Vessrin -1/udp", "Vessrin 99999/udp".
bool ClaimsWithoutPort(std::string_view line, std::string_view name, std::string_view protocol) {
    const std::optional<tLineFields> f = SplitLine(line);
    return f && f->protocol == protocol && !ParsePort(f->portText) && NamesOf(*f, name);
}

// What one file says about a name: its first well-formed entry, else "no
// port" when a line claims the name without a port, else nothing.
std::optional<tServiceEntry> FileSays(std::string_view content, std::string_view name,
                                      std::string_view protocol) {
    if (std::optional<tServiceEntry> entry = FindServiceByName(content, name, protocol))
        return entry;
    bool claimed = false;
    ForEachLine(content, [&](std::string_view line) {
        claimed = ClaimsWithoutPort(line, name, protocol);
        return !claimed;
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
    std::string result;
    result.reserve(content.size() + 32);
    ForEachLine(content, [&](std::string_view line) {
        // An empty name would occur in every line and wipe the whole protocol.
        if (service.empty() ||
            !(IsEntryOf(line, service, protocol) || LookupsSeeService(line, service, protocol)))
            result += line;
        return true;
    });
    if (port != 0 || (markNoPort && !service.empty())) {
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
    return FindEntry(content, [&](const tEntryView& e) {
        return e.fields.protocol == protocol && NamesOf(e.fields, name);
    });
}

std::optional<tServiceEntry> FindServiceByPort(std::string_view content, unsigned port,
                                               std::string_view protocol) {
    return FindEntry(content, [&](const tEntryView& e) {
        return e.port == port && e.fields.protocol == protocol;
    });
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
        std::optional<tServiceEntry> found = FindEntry(files[file], [&](const tEntryView& e) {
            if (e.port != port || e.fields.protocol != protocol ||
                decidedEarlier(file, e.fields.name))
                return false;
            std::size_t pos = 0;
            for (std::string_view alias = NextToken(e.fields.aliases, pos); !alias.empty();
                 alias = NextToken(e.fields.aliases, pos))
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
