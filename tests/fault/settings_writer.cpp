// Fault-test helper: rewrites the settings file without pause, or checks what a killed writer left.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/settings_file.h"

namespace {

constexpr int kKeys = 40;
const char kSection[] = "Data";

// Every value tells by its own form whether it is whole: generation, filler
// of a length and letter given by the generation, generation again.
std::string ValueFor(long generation) {
    const auto length = static_cast<std::size_t>((generation * 37) % 1500);
    const char letter = static_cast<char>('a' + generation % 26);
    const std::string g = std::to_string(generation);
    return g + ":" + std::string(length, letter) + ":" + g;
}

bool IsWhole(const std::string& value) {
    const std::size_t first = value.find(':');
    const std::size_t last = value.rfind(':');
    if (first == std::string::npos || first == last)
        return false;
    char* end = nullptr;
    const long g = std::strtol(value.c_str(), &end, 10);
    return end == value.c_str() + first && g >= 0 && value == ValueFor(g);
}

std::string Key(int i) {
    return "Key" + std::to_string(i);
}

int Check(const std::string& file) {
    int bad = 0;
    if (ReadProfileString("Head", "Magic", "", file) != "vessrin") {
        std::fprintf(stderr, "%s: marker lost\n", file.c_str());
        ++bad;
    }
    for (int i = 0; i < kKeys; ++i) {
        const std::string value = ReadProfileString(kSection, Key(i), "", file);
        if (!IsWhole(value)) {
            std::fprintf(stderr, "%s: %s is '%.40s' (%zu bytes)\n", file.c_str(), Key(i).c_str(),
                         value.c_str(), value.size());
            ++bad;
        }
    }
    return bad == 0 ? 0 : 1;
}

} // namespace

// usage: settings_writer init|write|check <file>
int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s init|write|check <file>\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const std::string file = argv[2];
    try {
        if (mode == "check")
            return Check(file);
        if (mode == "init") {
            WriteProfileString("Head", "Magic", "vessrin", file);
            for (int i = 0; i < kKeys; ++i)
                WriteProfileString(kSection, Key(i), ValueFor(i), file);
            return Check(file);
        }
        if (mode == "write") {
            // Runs until it is killed; the generation goes on from the time
            // so that every run writes values it has not written before.
            for (long g = std::strtol(std::getenv("GEN") ? std::getenv("GEN") : "0", nullptr, 10);;
                 ++g)
                WriteProfileString(kSection, Key(static_cast<int>(g % kKeys)), ValueFor(g), file);
        }
    } catch (const tWriteError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
