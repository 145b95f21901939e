// Socket error texts.
#include "core/winsock_errors.h"

#include <iterator>

namespace {
struct tErrorText {
    int code;
    const char* text;
};

constexpr tErrorText kTexts[] = {
    {10004, "wsaEIntr - Interrupted function call."},
    {10009, "wsaEBadF"},
    {10013, "wsaEAcces - Permission denied."},
    {10014, "wsaEFault - Bad address."},
    {10022, "wsaEInval - Invalid argument."},
    {10024, "wsaEMFile - Too many open files."},
    {10035, "wsaEWouldBlock - Resource temporarily unavailable."},
    {10036, "wsaEInProgress - Operation now in progress."},
    {10037, "wsaEAlready - Operation already in progress."},
    {10038, "wsaENotSock - Socket operation on non-socket."},
    {10039, "wsaEDestAddrReq - Destination address required."},
    {10040, "wsaEMsgSize - Message too long."},
    {10041, "wsaEPrototype - Protocol wrong type for socket."},
    {10042, "wsaENoProtoOpt - Bad protocol option."},
    {10043, "wsaEProtoNoSupport - Protocol not supported."},
    {10044, "wsaESockTNoSupport - Socket type not supported."},
    {10045, "wsaEOpNotSupp - Operation not supported."},
    {10046, "wsaEPFNoSupport - Protocol family not supported."},
    {10047, "wsaEAFNoSupport - Address family not supported by protocol family."},
    {10048, "wsaEAddrInUse - Address already in use."},
    {10049, "wsaEAddrNotAvail - Cannot assign requested address."},
    {10050, "wsaENetDown - Network is down."},
    {10051, "wsaENetUnreach - Network is unreachable."},
    {10052, "wsaENetReset - Network dropped connection on reset."},
    {10053, "wsaEConnAborted - Software caused connection abort."},
    {10054, "wsaEConnReset - Connection reset by peer."},
    {10055, "wsaENoBufs - No buffer space available."},
    {10056, "wsaEIsConn - Socket is already connected."},
    {10057, "wsaENotConn - Socket is not connected."},
    {10058, "wsaEShutdown - Cannot send after socket shutdown."},
    {10059, "wsaETooManyRefs"},
    {10060, "wsaETimedOut - Connection timed out."},
    {10061, "wsaEConnRefused - Connection refused."},
    {10062, "wsaELoop"},
    {10063, "wsaENameTooLong"},
    {10064, "wsaEHostDown"},
    {10065, "wsaEHostUnreach - No route to host."},
    {10066, "wsaENotEmpty"},
    {10067, "wsaEProcLim - Too many processes."},
    {10068, "wsaEUsers"},
    {10069, "wsaEDQuot"},
    {10070, "wsaEStale"},
    {10071, "wsaERemote"},
    {10091, "wsaSysNotReady - Network subsystem is unavailable."},
    {10092, "wsaVerNotSupported - WinSock.DLL version out of range."},
    {10093, "wsaNotInitialised - Successful wsaStartup not yet performed."},
    {10101, "wsaEDisCon - Graceful shutdown in progress."},
    {11001, "wsaHost_not_found"},
    {11002, "wsaTry_again - Non-authoritative host not found."},
    {11003, "wsaNo_recovery - This is a non-recoverable error."},
    {11004, "wsaNo_data - Valid name, no data record of requested type."},
};
} // namespace

std::string WinSockErrorText(int code) {
    for (const tErrorText& entry : kTexts)
        if (entry.code == code)
            return entry.text;
    return "Error " + std::to_string(code) + " in WinSock call.";
}

std::string FatalSocketHint(bool german) {
    return german ? "Starten Sie nach Beheben des Fehlers das Menue \"Einstellung - Netzwerk\""
                  : "After fixing the problem call the menu \"Settings - Network\"";
}
