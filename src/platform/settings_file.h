// Where the settings file lies and the private-profile reads and writes on it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Records the start directory (the current directory at this moment) and the
// executable's base name, and forms the settings file name from them.
void InitSettingsLocation(const std::string& executablePath);

const std::string& StartDirectory();
const std::string& ExeBaseName();
const std::string& SettingsFileName();
// Tests point the settings file elsewhere.
void SetSettingsFileName(const std::string& file);

// dir + separator + name; a leading separator of name is dropped.
std::string JoinPath(const std::string& dir, const std::string& name);

// A write that the file system refused: "nach <path> kann nicht geschrieben werden".
class tWriteError : public std::runtime_error {
public:
    explicit tWriteError(const std::string& path);
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Every call opens the file by name; nothing is cached. Values are UTF-8
// here and Windows-1252 in the file.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& def, const std::string& file = SettingsFileName());
std::int64_t ReadProfileInt(const std::string& section, const std::string& key, std::int64_t def,
                            const std::string& file = SettingsFileName());
// Throw tWriteError when the file cannot be replaced.
void WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file = SettingsFileName());
void WriteProfileInt(const std::string& section, const std::string& key, std::int64_t value,
                     const std::string& file = SettingsFileName());
void EraseProfileSection(const std::string& section, const std::string& file = SettingsFileName());
// Writes several keys of one section, in their order, with one replacement
// of the file, so that values that belong together never land half.
void WriteProfileStrings(const std::string& section,
                         const std::vector<std::pair<std::string, std::string>>& entries,
                         const std::string& file = SettingsFileName());
// Erases every section of that name and writes the entries, in their order,
// as one new section: one replacement of the file, so an interrupted save
// leaves the old section whole instead of a part of the new one.
void ReplaceProfileSection(const std::string& section,
                           const std::vector<std::pair<std::string, std::string>>& entries,
                           const std::string& file = SettingsFileName());
