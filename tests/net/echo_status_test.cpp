#include "net/echo_status.h"

#include <gtest/gtest.h>

namespace dovrel {
namespace {

TEST(EchoStatusText, GivesEveryCodeOfTheTableItsText) {
    const std::pair<int32_t, const char*> table[] = {
        {0, "ip success"},
        {500, "ping timeout"},
        {11001, "ip buf too_small"},
        {11002, "ip dest net unreachable"},
        {11003, "ip dest host unreachable"},
        {11004, "ip dest port unreachable"},
        {11005, "ip dest port unreachable"},
        {11006, "ip no resources"},
        {11007, "ip bad option"},
        {11008, "ip hw_error"},
        {11009, "ip packet too_big"},
        {11010, "ip req timed out"},
        {11011, "ip bad req"},
        {11012, "ip bad route"},
        {11013, "ip ttl expired transit"},
        {11014, "ip ttl expired reassem"},
        {11015, "ip param_problem"},
        {11016, "ip source quench"},
        {11017, "ip option too_big"},
        {11018, "ip bad destination"},
        {11019, "ip addr deleted"},
        {11020, "ip spec mtu change"},
        {11021, "ip mtu_change"},
        {11022, "ip unload"},
        {11023, "ip addr added"},
        {11050, "ip general failure"},
        {11255, "ip pending"},
        {-1, "inet_addr: bad IP format"},
    };
    for (const auto& [status, text] : table) EXPECT_EQ(EchoStatusText(status), text) << status;
}

TEST(EchoStatusText, CallsEveryOtherCodeUnknown) {
    for (int32_t status : {1, -2, 499, 501, 9999, 11000, 11024, 11049, 11051, 11254, 11256}) {
        EXPECT_EQ(EchoStatusText(status), "unknown msg returned") << status;
    }
}

TEST(EchoStatusText, SaysSuccessOnlyForAReply) {
    // The probe decides by looking for "success" in the text.
    for (int32_t status = -1; status <= 11300; ++status) {
        const bool success = EchoStatusText(status).find("success") != std::string::npos;
        EXPECT_EQ(success, status == 0) << status;
    }
}

}  // namespace
}  // namespace dovrel
