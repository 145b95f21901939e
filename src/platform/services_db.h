// The services database on this system: service lookups and rewriting the game's entry in the
// services files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The two directories whose services files hold the game's entry: the
// per-user folder ($XDG_CONFIG_HOME/vessrin, default ~/.config/vessrin) takes
// the place of the Windows directory, /etc that of the system directory.
struct tServiceDirectories {
    std::string WindowsDirectory;
    std::string SystemDirectory;
};
tServiceDirectories ServiceDirectories();
// Tests point both directories elsewhere; nullopt returns to the real ones.
void SetServiceDirectoriesForTests(std::optional<tServiceDirectories> dirs);

// The per-user services file; it is read first by every lookup.
std::string UserServicesFile();
// Creates the per-user folder and an empty services file in it when they are
// missing; false when that failed.
bool EnsureUserServicesFile();

// Lookups read the per-user file first, then the system directory's
// "services"; the first file that has an entry of the service answers, and
// port 0 there means "no port" (LookupServiceByName in core/services_file.h).
// Ports are in host byte order.
std::optional<std::uint16_t> ServicePortByName(const std::string& name,
                                               const std::string& protocol);
std::optional<std::string> ServiceNameByPort(std::uint16_t port, const std::string& protocol);

// Rewrites one services file (result codes of tServicesCode in
// core/services_file.h). The new content is written to path + ".new" beside
// it and renamed over the original in one step, with the original's
// permissions, so the file is never missing: on any failure the temporary
// file is removed and the original stays as it was. With markNoPort, port 0
// writes the "no port" entry instead of removing the entry.
std::uint8_t RewriteServicesFile(const std::string& path, const std::string& service,
                                 std::uint16_t port, const std::string& protocol,
                                 const std::string& comment, bool markNoPort = false);

// Rewrites every services file found at the six locations of the two
// directories and combines their codes; port 0 removes the entry, and writes
// "no port" into the per-user file. The per-user folder is created with an
// empty services file first. Code 0 only when a lookup then finds the port
// (no port for 0); when the rewrites succeeded but a file that cannot be
// written still decides, code 3 ("cannot write to services file").
std::uint8_t SetServicePort(const std::string& service, const std::string& protocol,
                            std::uint16_t port, const std::string& comment);
