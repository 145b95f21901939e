// Text rules of the services file: rewriting the game's entry, looking services up,
// the locations that are rewritten and how their result codes combine.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr std::string_view kServiceName = "Vessrin";
constexpr std::string_view kServiceProtocol = "udp";

// Result codes of the services file routines; the dialog turns them into texts.
enum tServicesCode : std::uint8_t {
    scOk = 0,
    scCannotOpen = 1,
    scCannotCreateTemporary = 2,
    scCannotDelete = 3,
    scCannotRename = 4,
    scInvalidDirectory = 5,
};

// The comment of the per-user file's "no port" entry, for whoever edits it.
constexpr std::string_view kNoPortComment = "# no port: network play off";

// The new content of a services file: every line that is an entry of the
// service (or of any name or alias containing it, ignoring case) for the
// protocol is dropped, every other line is kept byte for byte with its own
// line end, and for a port other than 0 the new entry is appended as the last
// line, ended like the file's first line (LF when the file has none). With
// markNoPort, port 0 appends the "no port" entry (port 0 and kNoPortComment)
// instead of nothing, so that the file keeps its say over the service.
std::string RewriteServicesText(std::string_view content, std::string_view service,
                                std::uint16_t port, std::string_view protocol,
                                std::string_view comment = {}, bool markNoPort = false);

// The entry line without its line end: name, TAB, blanks that fill the port
// to five digits, port, "/", protocol, and TAB + comment when there is one.
std::string ServiceEntryLine(std::string_view service, std::uint16_t port,
                             std::string_view protocol, std::string_view comment = {});

struct tServiceEntry {
    std::string name;
    unsigned port = 0; // host byte order
    std::string protocol;
    std::vector<std::string> aliases;
};

// Lookups as the services database makes them in one file's text: the first
// well-formed entry wins; names, aliases and protocols compare exactly.
std::optional<tServiceEntry> FindServiceByName(std::string_view content, std::string_view name,
                                               std::string_view protocol);
std::optional<tServiceEntry> FindServiceByPort(std::string_view content, unsigned port,
                                               std::string_view protocol);

// Lookups over several files in order, the per-user file first. The first
// file that has an entry for the name (or, by port, for one of the entry's
// names) has the final say over that name: later files' entries of it are not
// seen. A well-formed entry with port 0 means "no port"; so does a line that
// names the service for the protocol but whose port is not a number from 0 to
// 65535 (a hand-edited "no port" gone wrong), when the file has no well-formed
// entry of the name.
std::optional<tServiceEntry> LookupServiceByName(const std::vector<std::string_view>& files,
                                                 std::string_view name, std::string_view protocol);
std::optional<tServiceEntry> LookupServiceByPort(const std::vector<std::string_view>& files,
                                                 unsigned port, std::string_view protocol);

// What the owner of a port means for the port dialog.
enum tPortOwner : std::uint8_t {
    poFree,       // no service uses the port: write the entry
    poOurs,       // the game's entry is in place already
    poOtherOwner, // another service uses it
};
// An entry of the game's own name counts as "ours" only when it is the port
// in effect (currentPort, 0 for none): a stale entry left elsewhere must not
// let the dialog close as if the port were set.
tPortOwner ClassifyPortOwner(const std::optional<tServiceEntry>& owner, unsigned currentPort);

// Directory buffers hold 261 characters: an empty name or one that fills the
// buffer makes the directory unusable.
constexpr std::size_t kDirectoryBufferSize = 261;
bool IsUsableDirectory(std::string_view dir);

constexpr std::size_t kServiceLocationCount = 6;

// The six files that are rewritten, in order: windows and system directory,
// each joined with "services", "drivers/etc/services" and
// "system32/drivers/etc/services". A location whose directory is unusable is
// empty and is skipped.
std::array<std::string, kServiceLocationCount> ServiceFileLocations(std::string_view windowsDir,
                                                                    std::string_view systemDir);

// Combines the codes of the six locations (nullopt: skipped) in pairs of the
// same sub-path; 0 when any pair succeeded, else the code of the last pair
// that found a file (its code is not 1), or of the last pair when none did:
// a file that exists but cannot be written is not "not found".
std::uint8_t
CombineLocationCodes(const std::array<std::optional<std::uint8_t>, kServiceLocationCount>& codes);
