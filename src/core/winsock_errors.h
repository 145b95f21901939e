// Fixed English texts of the socket error codes, used in every network message.
#pragma once

#include <string>

std::string WinSockErrorText(int code);

// The hint that follows a fatal receiver step, in the chosen language.
std::string FatalSocketHint(bool german);
