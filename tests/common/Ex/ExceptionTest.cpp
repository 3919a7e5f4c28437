#include "common/Ex/Exceptions.h"
#include "common/Ex/Logger.h"
#include "common/Ex/MessageBoxLogger.h"
#include "common/Win32/Win32Exception.h"
#include "tests/support/RecordingLogger.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

EX_DECLARE_EXCEPTION(SampleException, Ex::NamedException);

using GlmTest::RecordingLogger;

TEST(ExException, FrameTextDropsEveryVowel) {
    EXPECT_EQ(Ex::FrameText({"./common/Ex/Logger.cpp", "Ex::Logger::Log", 36}),
              "x::Lggr::Lg (./cmmn/x/Lggr.cpp:36)");
}

TEST(ExException, ToStringPrintsTheWholeCauseChain) {
    const Win32::Win32Exception inner("Win32::DeleteFile(x)", ENOENT);
    SampleException outer(&inner);
    outer.Message() << "outer text";
    outer.AddStackFrame("a.cpp", "Ns::F", 7);
    EXPECT_EQ(outer.ToString(),
              "SampleException : outer text\n    at Ns::F (.cpp:7)\nCaused by: Win32Exception : "
              "Call to Win32::DeleteFile(x) failed with (2) No such file or directory");
    // The cause is a copy: the original may go away.
    EXPECT_EQ(outer.GetCause()->GetName(), "Win32Exception");
}

TEST(ExException, XmlFormsUseCdataOnlyForSpecialCharacters) {
    EXPECT_EQ(Ex::Exception::CreateXMLNode("message", "&", ""), "<message><![CDATA[&]]></message>\n");
    EXPECT_EQ(Ex::Exception::CreateXMLNode("message", "plain", ""), "<message>plain</message>\n");
    EXPECT_EQ(Ex::Exception::CreateXMLNode("a", "", "<b/>\n"), "<a>\n<b/>\n</a>\n");
    EXPECT_EQ(Ex::Exception::CreateXMLNode("a", "", ""), "");
    EXPECT_THROW(Ex::Exception::CreateXMLNode("a", "v", "n"), Ex::Precondition);

    SampleException e;
    e.Message() << "why";
    e.AddStackFrame("f.cpp", "F", 3);
    EXPECT_EQ(e.ToXml(),
              "<exception>\n<name>SampleException</name>\n<reason>why</reason>\n<stack>\n<stackframe>\n"
              "<functionname>F</functionname>\n<file>f.cpp</file>\n<line>3</line>\n</stackframe>\n\n"
              "</stack>\n</exception>\n");
}

TEST(ExException, LogWritesTheMessageThenTheException) {
    RecordingLogger logger;
    Ex::ScopedLogger scoped(&logger);
    Ex::SetTimestampsEnabled(false);
    SampleException e;
    e.Message() << "boom";
    e.Log("Ns::Caller");
    Ex::SetTimestampsEnabled(true);
    ASSERT_EQ(logger.Records().size(), 1u);
    EXPECT_EQ(logger.Records()[0], "<date and time suppressed> - Ns::Caller\nSampleException : boom");
    EXPECT_THROW(e.Log(""), Ex::Precondition);
    EXPECT_THROW(logger.Log(""), Ex::Precondition);
    EXPECT_EQ(logger.Records().size(), 1u);
}

TEST(ExLogger, TimePrefixShowsTheBiasInWholeHours) {
    std::tm time{};
    time.tm_mday = 5;
    time.tm_mon = 0;
    time.tm_year = 107;
    time.tm_hour = 9;
    time.tm_min = 3;
    time.tm_sec = 0;
    EXPECT_EQ(Ex::FormatTimePrefix(time, -120), "5/1/2007 9:3:0 (-2 to GMT): ");
    EXPECT_EQ(Ex::FormatTimePrefix(time, 300), "5/1/2007 9:3:0 (+5 to GMT): ");
    // Half an hour east truncates to a bias of 0, which is written "+0".
    EXPECT_EQ(Ex::FormatTimePrefix(time, -30), "5/1/2007 9:3:0 (+0 to GMT): ");
    EXPECT_EQ(Ex::FormatTimePrefix(time, -330), "5/1/2007 9:3:0 (-5 to GMT): ");
}

TEST(ExMessageBoxLogger, WithoutPresenterWritesToStderrAndRefusesToMove) {
    Ex::MessageBoxLogger box;
    testing::internal::CaptureStderr();
    box.Log("shown text");
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("shown text\n"), std::string::npos);
    EXPECT_THROW(box.MoveContentsAndReOpen("x"), Ex::Assert);

    std::string presented;
    Ex::MessageBoxLogger::SetPresenter([&](const std::string& text) { presented = text; });
    box.Log("boxed");
    Ex::MessageBoxLogger::SetPresenter({});
    EXPECT_NE(presented.find("boxed"), std::string::npos);
}

TEST(ExFatalErrorDeathTest, ShowsTheTextAndExitsWithOne) {
    SampleException e;
    e.Message() << "cannot go on";
    EXPECT_EXIT(
        Ex::FatalError("Ns::Place", e, false), testing::ExitedWithCode(1),
        "A fatal error has been detected and the application must be terminated.\n\nSampleException : "
        "cannot go on\n\nClick OK exit.");
}

} // namespace
