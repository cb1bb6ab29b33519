#include "engine/platform/port_names.h"

#include <gtest/gtest.h>

namespace rkl::platform {
namespace {

TEST(PortNames, ComNumbersMapToSerialDevices) {
    EXPECT_EQ(DefaultPortDevice("COM1"), "/dev/ttyS0");
    EXPECT_EQ(DefaultPortDevice("com2"), "/dev/ttyS1");
    EXPECT_EQ(DefaultPortDevice("Com10"), "/dev/ttyS9");
    EXPECT_EQ(DefaultPortDevice("COM256"), "/dev/ttyS255");
}

TEST(PortNames, AnythingElseMapsToNoDevice) {
    for (const char* name : {"", "COM", "COM0", "COM01", "COM257", "COM-1", "COM+1", "COM1X", "COM 1", "LPT1",
                             "/etc/passwd", "../COM1", "COM99999999999"}) {
        EXPECT_EQ(DefaultPortDevice(name), "") << name;
    }
}

}  // namespace
}  // namespace rkl::platform
