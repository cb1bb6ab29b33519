#include "engine/platform/network_address.h"

#include <gtest/gtest.h>

namespace rkl::platform {
namespace {

TEST(NetworkAddress, ParsesEndpointsAndRefusesMalformedOnes) {
    struct Case {
        const char* text;
        bool ok;
        const char* host;
        const char* port;
        bool tls;
    };
    for (const Case& c : {
             Case{"tcp://127.0.0.1:4000", true, "127.0.0.1", "4000", false},
             Case{"tcp://paging.example.net:18001", true, "paging.example.net", "18001", false},
             Case{"tcp://[::1]:4000", true, "::1", "4000", false},
             Case{"tls://paging.example.net:443", true, "paging.example.net", "443", true},
             Case{"tcp://127.0.0.1", false, "", "", false},
             Case{"tcp://:4000", false, "", "", false},
             Case{"tcp://host:0", false, "", "", false},
             Case{"tcp://host:65536", false, "", "", false},
             Case{"tcp://host:40x", false, "", "", false},
             Case{"tcp://::1:4000", false, "", "", false},
             Case{"tcp://[::1]4000", false, "", "", false},
             Case{"tcp://a/b:4000", false, "", "", false},
             Case{"/dev/ttyUSB0", false, "", "", false},
         }) {
        NetworkAddress address;
        ASSERT_EQ(ParseNetworkAddress(c.text, address), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(address.host, c.host);
        EXPECT_EQ(address.port, c.port);
        EXPECT_EQ(address.tls, c.tls);
    }
    EXPECT_TRUE(IsNetworkAddress("tcp://nonsense"));  // never taken for a device path
    EXPECT_FALSE(IsNetworkAddress("/dev/ttyS0"));
}

}  // namespace
}  // namespace rkl::platform
