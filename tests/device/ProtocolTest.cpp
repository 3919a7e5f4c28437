// The report primitives over a descriptor pair standing in for the device,
// once per bus (the same cases for hidraw and the simulated bus), and the
// parsing the buses rely on.

#include "device/Commands.h"
#include "device/ReportIo.h"
#include "device/ResultCodes.h"
#include "device/bus/HidrawBus.h"
#include "device/bus/SimulatedBus.h"
#include "device/bus/SimulatedBusNames.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using GlmDev::kReportSize;

TEST(SimulatedBusNames, FormatAndParseRoundTrip) {
    const std::string name = GlmDev::FormatToySocketName(0x1D9B, 0x1012, "Tansy-2");
    EXPECT_EQ(name, "toy-1d9b-1012-Tansy-2.sock");
    EXPECT_TRUE(GlmDev::ParseToySocketName("toy-1d9b-1011-a.sock"));
    const auto parsed = GlmDev::ParseToySocketName(name);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->vendorId, 0x1D9B);
    EXPECT_EQ(parsed->productId, 0x1012);
    EXPECT_EQ(parsed->name, "Tansy-2");
}

TEST(SimulatedBusNames, RefusesForeignNames) {
    for (const char* name : {"notes.txt", "toy-1d9b-1012-.sock", "toy-1D9B-1012-a.sock",
                             "toy-1d9b-10120a.sock", "toy-1d9b-1012-a b.sock", "toy-1d9b-1012-.sock",
                             "toy-1d9b-1012-a.sock.bak", ".a.binding", "toy-xyzw-1012-a.sock"}) {
        EXPECT_FALSE(GlmDev::ParseToySocketName(name)) << name;
    }
    EXPECT_FALSE(GlmDev::IsValidToyName(std::string(65, 'a')));
    EXPECT_FALSE(GlmDev::IsValidToyName("../x"));
}

TEST(HidrawBus, ParsesTheHidIdProperty) {
    const auto ids = GlmDev::ParseHidIdProperty("0003:00001D9B:00001013");
    ASSERT_TRUE(ids);
    EXPECT_EQ(ids->vendorId, 0x1D9B);
    EXPECT_EQ(ids->productId, 0x1013);
    EXPECT_FALSE(GlmDev::ParseHidIdProperty(nullptr));
    EXPECT_FALSE(GlmDev::ParseHidIdProperty(""));
    EXPECT_FALSE(GlmDev::ParseHidIdProperty("0003:00001D9B"));
    EXPECT_FALSE(GlmDev::ParseHidIdProperty("0003:00011D9B:00001013")); // vendor out of range
    EXPECT_FALSE(GlmDev::ParseHidIdProperty("0003:00001D9B:00001013x"));
}

TEST(HidrawBus, PutsReportIdZeroInFrontOfUnnumberedReports) {
    const std::uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::uint8_t report[kReportSize] = {0xEE};
    EXPECT_EQ(GlmDev::PresentHidrawInput(eight, 8, report), 9);
    const std::uint8_t expected[kReportSize] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(std::memcmp(report, expected, kReportSize), 0);

    const std::uint8_t numbered[9] = {3, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(GlmDev::PresentHidrawInput(numbered, 9, report), 9);
    EXPECT_EQ(report[0], 3);
    EXPECT_EQ(GlmDev::PresentHidrawInput(eight, 4, report), 5); // short stays short
    EXPECT_EQ(GlmDev::PresentHidrawInput(eight, -1, report), -1);
}

TEST(Commands, CarryTheirBytesInPlace) {
    const std::uint8_t memory[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0xA1, 0xA2, 0xA3, 0xA4};
    const GlmDev::Command write = GlmDev::WriteWordCommand(8, memory + 8);
    const std::uint8_t expected[8] = {0x02, 8, 4, 0xA1, 0xA2, 0xA3, 0xA4, 0};
    EXPECT_EQ(std::memcmp(write.bytes, expected, 8), 0);
    const std::uint8_t read[8] = {0x01, 124, 4, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(GlmDev::ReadWordCommand(124).bytes, read, 8), 0);
    const std::uint8_t touch[8] = {0x04, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(GlmDev::ReadTouchCommand().bytes, touch, 8), 0);
}

// The device side of a descriptor pair. A hidraw device sends unnumbered
// input reports without the id byte; a virtual toy sends all 9 bytes.
struct Backend {
    const char* name;
    std::function<std::unique_ptr<GlmDev::Bus>()> make;
    bool stripsReportId;
};

class ReportIo : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        // A real hidraw node raises no SIGPIPE; the socket standing in for
        // it would.
        std::signal(SIGPIPE, SIG_IGN);
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_pair), 0);
        m_bus = GetParam().make();
    }
    void TearDown() override {
        for (const int fd : m_pair) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    // Sends what the device would send for the 9-byte report.
    void DeviceSends(const std::vector<std::uint8_t>& report) {
        std::vector<std::uint8_t> wire = report;
        if (GetParam().stripsReportId && !wire.empty() && wire[0] == 0) {
            wire.erase(wire.begin());
        }
        ASSERT_EQ(::send(m_pair[1], wire.data(), wire.size(), 0), static_cast<ssize_t>(wire.size()));
    }
    int Host() const { return m_pair[0]; }

    int m_pair[2] = {-1, -1};
    std::unique_ptr<GlmDev::Bus> m_bus;
};

TEST_P(ReportIo, WritesReportIdZeroAndTheCommand) {
    const GlmDev::Command command = GlmDev::ReadWordCommand(12);
    ASSERT_EQ(GlmDev::WriteCommandReport(*m_bus, Host(), command.bytes, 1000), GlmDev::kOk);
    std::uint8_t wire[64];
    ASSERT_EQ(::recv(m_pair[1], wire, sizeof wire, 0), 9);
    EXPECT_EQ(wire[0], 0);
    EXPECT_EQ(std::memcmp(wire + 1, command.bytes, 8), 0);
}

TEST_P(ReportIo, ReadsAReplyAndRefusesBadOnes) {
    std::uint8_t reply[8] = {0};
    DeviceSends({0, 9, 8, 7, 6, 5, 4, 3, 2});
    ASSERT_EQ(GlmDev::ReadReplyReport(*m_bus, Host(), reply, 1000), GlmDev::kOk);
    EXPECT_EQ(reply[0], 9);
    EXPECT_EQ(reply[7], 2);

    std::uint8_t untouched[8] = {0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55};
    ::testing::internal::CaptureStderr();
    DeviceSends({2, 1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(GlmDev::ReadReplyReport(*m_bus, Host(), untouched, 1000), GlmDev::kIoFailed);
    DeviceSends({0, 1, 1, 1});
    EXPECT_EQ(GlmDev::ReadReplyReport(*m_bus, Host(), untouched, 1000), GlmDev::kIoFailed);
    const std::string diagnostics = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(diagnostics.find("unexpected report ID: 2\n"), std::string::npos) << diagnostics;
    EXPECT_NE(diagnostics.find("unexpected nread: 4\n"), std::string::npos) << diagnostics;
    EXPECT_EQ(untouched[0], 0x55);
}

TEST_P(ReportIo, GivesUpAfterTheLimitAndNoticesTheDeviceGoing) {
    std::uint8_t reply[8] = {0};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(GlmDev::ReadReplyReport(*m_bus, Host(), reply, 150), GlmDev::kTimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));

    ::close(m_pair[1]);
    m_pair[1] = -1;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(GlmDev::ReadReplyReport(*m_bus, Host(), reply, 5000), GlmDev::kIoFailed);
    EXPECT_EQ(GlmDev::WriteCommandReport(*m_bus, Host(), GlmDev::OneByteCommand(7).bytes, 5000),
              GlmDev::kIoFailed);
    const std::string diagnostics = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(diagnostics.find("write failed: "), std::string::npos) << diagnostics;
}

TEST_P(ReportIo, AWriteThatCannotGoThroughTimesOut) {
    // Fill the pair until the device side takes nothing more.
    const GlmDev::Command command = GlmDev::OneByteCommand(5);
    std::int32_t result = GlmDev::kOk;
    for (int i = 0; i < 100000 && result == GlmDev::kOk; ++i) {
        result = GlmDev::WriteCommandReport(*m_bus, Host(), command.bytes, 100);
    }
    EXPECT_EQ(result, GlmDev::kTimedOut);
}

INSTANTIATE_TEST_SUITE_P(
    Buses, ReportIo,
    ::testing::Values(Backend{"hidraw", [] { return std::make_unique<GlmDev::HidrawBus>(); }, true},
                      Backend{"simulated",
                              [] { return std::make_unique<GlmDev::SimulatedBus>("/nonexistent"); }, false}),
    [](const ::testing::TestParamInfo<Backend>& backend) { return std::string(backend.param.name); });

// A bus whose device takes only part of a report.
class ShortWriteBus : public GlmDev::SimulatedBus {
public:
    ShortWriteBus() : SimulatedBus("/nonexistent") {}
    ssize_t WriteOutputReport(int, const std::uint8_t (&)[GlmDev::kReportSize]) override { return 5; }
};

TEST(ReportIoFaults, AShortWriteFails) {
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, pair), 0);
    ShortWriteBus bus;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(GlmDev::WriteCommandReport(bus, pair[0], GlmDev::OneByteCommand(5).bytes, 1000),
              GlmDev::kIoFailed);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "unexpected nwritten: 5\n");
    ::close(pair[0]);
    ::close(pair[1]);
}

} // namespace
