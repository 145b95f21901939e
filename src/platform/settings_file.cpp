// The settings file: its location and private-profile reads and writes on it.
#include "platform/settings_file.h"

#include "core/ini_text.h"
#include "core/text_codec.h"
#include "platform/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string gStartDirectory;
std::string gExeBaseName;
std::string gSettingsFileName;

std::string CurrentDirectory() {
    std::vector<char> buf(PATH_MAX);
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE || buf.size() > (1u << 20))
            return std::string();
        buf.resize(buf.size() * 2);
    }
    return std::string(buf.data());
}

// The file's bytes; "" for a missing file; nullopt when the file exists but
// cannot be read (a write must not replace what it could not see).
std::optional<std::string> ReadFileBytes(const std::string& file) {
    tFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? std::optional<std::string>(std::string())
                                                   : std::nullopt;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    std::string text;
    if (st.st_size > 0)
        text.reserve(static_cast<std::size_t>(st.st_size));
    if (!ReadAll(fd.Get(), text))
        return std::nullopt;
    return text;
}

std::string DirectoryOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return file.substr(0, slash);
}

bool IsTemporaryName(const std::string& name, const std::string& base) {
    const std::string prefix = "." + base + ".";
    return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0;
}

// A kill between naming a temporary file and its rename leaves it behind; one
// unchanged for a minute belongs to no write still running.
void RemoveStaleTemporaries(const std::string& folder, const std::string& base) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!IsTemporaryName(name, base))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_mtime + 60 < now)
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

// Writes text into an unnamed file in folder and only then gives it a
// temporary name there, so a kill during the write leaves nothing behind.
// False when the system offers no unnamed files or cannot name them; the
// caller then writes a named temporary file instead.
bool WriteUnnamedAndName(const std::string& folder, const std::string& base, mode_t mode,
                         const std::string& text, std::string& temp) {
    tFd fd(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (fd.Get() < 0)
        return false;
    if (::fchmod(fd.Get(), mode) != 0 || !WriteAll(fd.Get(), text) || ::fsync(fd.Get()) != 0)
        return false;
    const std::string self = "/proc/self/fd/" + std::to_string(fd.Get());
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(6, 'X');
        for (char& c : suffix)
            c = kLetters[pick(random)];
        temp = JoinPath(folder, "." + base + "." + suffix);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            if (fd.Close())
                return true;
            ::unlink(temp.c_str());
            return false;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Replaces file by text through a temporary file in the same folder, so the
// settings file is always either the old or the new one, never a torso.
void ReplaceFile(const std::string& file, const std::string& text) {
    std::string target = file;
    struct stat st {};
    const bool exists = ::lstat(file.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        // Write through a link to where it points, keeping the link.
        char* real = ::realpath(file.c_str(), nullptr);
        if (real == nullptr)
            throw tWriteError(file);
        target = real;
        std::free(real);
        if (::stat(target.c_str(), &st) != 0)
            throw tWriteError(file);
    }
    mode_t mode;
    if (exists) {
        // A file without write permission is read-only for us, even for root.
        if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
            throw tWriteError(file);
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    const std::size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string folder = DirectoryOf(target);
    RemoveStaleTemporaries(folder, base);
    std::string temp;
    if (!WriteUnnamedAndName(folder, base, mode, text, temp)) {
        // A file system without unnamed files: write under the temporary name.
        temp = JoinPath(folder, "." + base + ".XXXXXX");
        tFd fd(::mkstemp(temp.data()));
        if (fd.Get() < 0)
            throw tWriteError(file);
        const bool ok =
            ::fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), text) && ::fsync(fd.Get()) == 0;
        if (!fd.Close() || !ok) {
            ::unlink(temp.c_str());
            throw tWriteError(file);
        }
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw tWriteError(file);
    }
    // Make the rename itself durable; a failure here loses nothing already written.
    tFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
}

} // namespace

void InitSettingsLocation(const std::string& executablePath) {
    gStartDirectory = CurrentDirectory();
    const std::size_t slash = executablePath.rfind('/');
    std::string name =
        slash == std::string::npos ? executablePath : executablePath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    gExeBaseName = name;
    gSettingsFileName = JoinPath(gStartDirectory, gExeBaseName + ".ini");
}

const std::string& StartDirectory() {
    return gStartDirectory;
}
const std::string& ExeBaseName() {
    return gExeBaseName;
}
const std::string& SettingsFileName() {
    return gSettingsFileName;
}
void SetSettingsFileName(const std::string& file) {
    gSettingsFileName = file;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    const std::string rest = (!name.empty() && name.front() == '/') ? name.substr(1) : name;
    if (dir.empty())
        return rest;
    if (dir.back() == '/')
        return dir + rest;
    return dir + '/' + rest;
}

tWriteError::tWriteError(const std::string& path)
    : std::runtime_error("nach " + path + " kann nicht geschrieben werden"), path_(path) {}

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& def, const std::string& file) {
    const std::optional<std::string> text = ReadFileBytes(file);
    if (!text)
        return def;
    const auto value = IniReadValue(*text, Utf8ToCp1252(section), Utf8ToCp1252(key));
    return value ? Cp1252ToUtf8(*value) : def;
}

std::int64_t ReadProfileInt(const std::string& section, const std::string& key, std::int64_t def,
                            const std::string& file) {
    const std::optional<std::string> text = ReadFileBytes(file);
    if (!text)
        return def;
    const auto value = IniReadValue(*text, Utf8ToCp1252(section), Utf8ToCp1252(key));
    return value ? IniTextToInt(*value, def) : def;
}

namespace {

// Reads the file, changes its text and replaces it once, when the text changed.
template <typename Change> void UpdateFile(const std::string& file, Change change) {
    const std::optional<std::string> text = ReadFileBytes(file);
    if (!text)
        throw tWriteError(file);
    const std::string updated = change(*text);
    if (updated == *text)
        return;
    ReplaceFile(file, updated);
}

using tEntries = std::vector<std::pair<std::string, std::string>>;

std::string SetValues(std::string text, const std::string& section, const tEntries& entries) {
    const std::string name = Utf8ToCp1252(section);
    for (const auto& [key, value] : entries)
        text = IniSetValue(text, name, Utf8ToCp1252(key), Utf8ToCp1252(value));
    return text;
}

} // namespace

void WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) {
    WriteProfileStrings(section, {{key, value}}, file);
}

void WriteProfileInt(const std::string& section, const std::string& key, std::int64_t value,
                     const std::string& file) {
    WriteProfileString(section, key, std::to_string(value), file);
}

void EraseProfileSection(const std::string& section, const std::string& file) {
    UpdateFile(file, [&](const std::string& text) {
        return IniEraseSection(text, Utf8ToCp1252(section));
    });
}

void WriteProfileStrings(const std::string& section, const tEntries& entries,
                         const std::string& file) {
    UpdateFile(file, [&](const std::string& text) { return SetValues(text, section, entries); });
}

void ReplaceProfileSection(const std::string& section, const tEntries& entries,
                           const std::string& file) {
    UpdateFile(file, [&](const std::string& text) {
        return SetValues(IniEraseSection(text, Utf8ToCp1252(section)), section, entries);
    });
}
