#pragma once
// The status codes an echo ends with, in the platform's numbering, and
// their short English texts.
#include <cstdint>
#include <string>

namespace dovrel {

namespace ipstatus {
inline constexpr int32_t Success = 0;
inline constexpr int32_t PingTimeout = 500;  // has a text, though no probe produces it
inline constexpr int32_t BufTooSmall = 11001;
inline constexpr int32_t DestNetUnreachable = 11002;
inline constexpr int32_t DestHostUnreachable = 11003;
inline constexpr int32_t DestProtUnreachable = 11004;
inline constexpr int32_t DestPortUnreachable = 11005;
inline constexpr int32_t NoResources = 11006;
inline constexpr int32_t BadOption = 11007;
inline constexpr int32_t HwError = 11008;
inline constexpr int32_t PacketTooBig = 11009;
inline constexpr int32_t ReqTimedOut = 11010;
inline constexpr int32_t BadReq = 11011;
inline constexpr int32_t BadRoute = 11012;
inline constexpr int32_t TtlExpiredTransit = 11013;
inline constexpr int32_t TtlExpiredReassem = 11014;
inline constexpr int32_t ParamProblem = 11015;
inline constexpr int32_t SourceQuench = 11016;
inline constexpr int32_t OptionTooBig = 11017;
inline constexpr int32_t BadDestination = 11018;
inline constexpr int32_t GeneralFailure = 11050;
inline constexpr int32_t Pending = 11255;
// The program's own: not a dotted IPv4 address, or the probe itself failed.
inline constexpr int32_t BadAddress = -1;
}  // namespace ipstatus

// The short text of a status code ("unknown msg returned" for codes
// without one). Never shown to the user; only "success" is looked for.
std::string EchoStatusText(int32_t status);

}  // namespace dovrel
