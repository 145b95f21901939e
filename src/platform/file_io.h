// Descriptor-level file helpers shared by the writers of the settings file,
// the services file and the shortcut files.
#pragma once

#include <string>

// Closes the descriptor on every exit path.
class tFd {
public:
    explicit tFd(int fd = -1) : FFd(fd) {}
    ~tFd();
    tFd(const tFd&) = delete;
    tFd& operator=(const tFd&) = delete;
    int Get() const { return FFd; }
    // The result of close() matters for a written file: it can report a
    // failed write-back.
    bool Close();

private:
    int FFd;
};

// Writes every byte, continuing after short writes and signals.
bool WriteAll(int fd, const std::string& bytes);

// Appends everything up to the end of the file to bytes.
bool ReadAll(int fd, std::string& bytes);
