// The INI format of the settings file as pure text operations: read, set and erase, no I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Longest value a read returns; longer values are cut.
constexpr std::size_t kMaxIniValue = 2047;

// The value of key in section, trimmed of surrounding blanks and of quotes
// that enclose it entirely; nullopt when the section or key is missing.
// Names match without regard to ASCII case; the first matching section and
// the first matching key in it win.
std::optional<std::string> IniReadValue(const std::string& text, const std::string& section,
                                        const std::string& key);

// The text with key set to value: the first matching key line of the first
// matching section is replaced, else the key is appended to that section,
// else a new section is appended. Every other line stays byte for byte.
// Line breaks in value become blanks, and a value that would lose blanks or
// quotes on reading is quoted, so it reads back as written.
std::string IniSetValue(const std::string& text, const std::string& section, const std::string& key,
                        const std::string& value);

// The text without every section of that name (header up to the next header).
std::string IniEraseSection(const std::string& text, const std::string& section);

// The integer of a settings value: "0x"/"0X" before more text means
// hexadecimal, as does "$"; leading blanks and a sign are allowed, nothing
// may follow the digits. Decimal values must fit 32 signed bits; hexadecimal
// ones up to FFFFFFFF are returned as that unsigned pattern, so colour values
// such as 0x80000014 survive. Anything else gives def.
std::int64_t IniTextToInt(const std::string& text, std::int64_t def);

// A text that must come back exactly, such as a folder path, though the file
// holds Windows-1252: text that the code page holds is stored as it is, so
// existing files read unchanged; other text is stored as kIniUtf8Marker
// followed by its UTF-8 bytes, percent-encoded except letters, digits and
// "-._~/". Text that itself begins with the marker is encoded too.
inline constexpr const char* kIniUtf8Marker = "utf8:";
std::string IniEncodeText(const std::string& utf8);
// The reverse; a marked value whose escapes are malformed reads as stored.
std::string IniDecodeText(const std::string& stored);
