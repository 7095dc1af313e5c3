#include "messages/error_sink.h"
#include "messages/messages.h"

#include <gtest/gtest.h>

namespace korvan {
namespace {

TEST(MessageTable, HoldsTheTextsByteForByte) {
  EXPECT_EQ(LookupMessage(MessageId::ComError), L"COM error: %s (errno = %d).\n");
  EXPECT_EQ(LookupMessage(MessageId::JniExceptionWithReason), L"JNI exception: %s\nReason: %s.\n");
  EXPECT_EQ(LookupMessage(MessageId::JreNotFoundServer),
            L"The Java Runtime Environment (JRE) was not found. Please  download and install a "
            L"JRE with a server JVM (%s) from:");
  EXPECT_EQ(LookupMessage(MessageId::JreNotFound),
            L"The Java Runtime Environment (JRE) was not found. Please  download and install a "
            L"JRE (%s) from:");
  EXPECT_EQ(LookupMessage(MessageId::MainClassMissing), L"Main class was not specified in INI file.");
  EXPECT_EQ(LookupMessage(MessageId::ReasonInvalidArguments), L"invalid arguments");
}

TEST(MessageTable, EveryIdFrom202To234HasAText) {
  for (int id = 202; id <= 234; ++id) {
    EXPECT_FALSE(LookupMessage(static_cast<MessageId>(id)).empty()) << id;
  }
}

TEST(MessageTable, UnknownIdsGiveEmptyText) {
  for (int id : {0, 201, 999, 8000, -1}) {
    EXPECT_EQ(LookupMessage(static_cast<MessageId>(id)), L"") << id;
  }
}

struct FormatCase {
  const wchar_t* format;
  std::vector<MessageArgument> arguments;
  const wchar_t* expected;
};

class FormatMessageTextTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatMessageTextTest, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatMessageText(GetParam().format, GetParam().arguments), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatMessageTextTest,
    testing::Values(
        FormatCase{L"Windows exception: %s (errno = %d).\n",
                   {std::wstring(L"failed to get the module path"), 0},
                   L"Windows exception: failed to get the module path (errno = 0).\n"},
        // A "%" in an argument is text, never a format.
        FormatCase{L"Failed to load Java VM library: %s (errno = %d).\n",
                   {std::wstring(L"C:\\100%s\\%d%n\\jvm.dll"), 126},
                   L"Failed to load Java VM library: C:\\100%s\\%d%n\\jvm.dll (errno = 126).\n"},
        FormatCase{L"%d", {-1}, L"-1"},
        FormatCase{L"%d", {2147483647}, L"2147483647"},
        FormatCase{L"100%% of %s", {std::wstring(L"x")}, L"100% of x"},
        FormatCase{L"between %s and %s", {std::wstring(L"1.6"), std::wstring(L"1.7")},
                   L"between 1.6 and 1.7"},
        FormatCase{L"missing %s and %d", {}, L"missing  and 0"},
        FormatCase{L"trailing %", {}, L"trailing %"},
        FormatCase{L"other %x %5d", {}, L"other %x %5d"},
        FormatCase{L"", {std::wstring(L"unused")}, L""}));

TEST(ErrorLine, WrapsTheMessageInTheOneOutputForm) {
  EXPECT_EQ(ErrorLine(L"Main class was not specified in INI file."),
            "Error: Main class was not specified in INI file. \n");
  EXPECT_EQ(ErrorLine(L"Could not find the main class a/B.\n"),
            "Error: Could not find the main class a/B.\n \n");
  EXPECT_EQ(ErrorLine(L""), "Error:  \n");
}

// The Linux launcher names no Windows call and no errno that dlopen and dlsym
// leave at 0; the other texts read as on Windows.
struct LinuxWordingCase {
  MessageId id;
  std::vector<MessageArgument> arguments;
  std::wstring text;
};

class LinuxWordingTest : public testing::TestWithParam<LinuxWordingCase> {};

TEST_P(LinuxWordingTest, SaysSystemErrorWithoutAMeaninglessNumber) {
  EXPECT_EQ(FormatMessageById(GetParam().id, GetParam().arguments), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, LinuxWordingTest,
    testing::Values(
        LinuxWordingCase{MessageId::WindowsException,
                         {LookupMessage(MessageId::CreateJavaVmMissing), 0},
                         L"System error: cannot find CreateJavaVM JNI.\n"},
        LinuxWordingCase{MessageId::WindowsException,
                         {LookupMessage(MessageId::ModulePathFailed), 2},
                         L"System error: failed to get the module path.\n"},
        LinuxWordingCase{MessageId::VmLibraryLoadFailed,
                         {std::wstring(L"/opt/jre/lib/server/libjvm.so"), 0},
                         L"Failed to load Java VM library: /opt/jre/lib/server/libjvm.so.\n"},
        LinuxWordingCase{MessageId::ComError, {std::wstring(L"x"), 5}, L"COM error: x (errno = 5).\n"},
        LinuxWordingCase{MessageId::MainClassLoadFailed, {std::wstring(L"a/B")},
                         L"Failed to load Main Class: a/B.\n"}));

TEST(LinuxWording, NoMessageNamesWindows) {
  for (int id = 202; id <= 234; ++id) {
    EXPECT_EQ(LookupMessage(static_cast<MessageId>(id)).find(L"Windows"), std::wstring::npos) << id;
  }
}

TEST(ErrorSink, ShowsEachFailureOnceWhereTheEntryChose) {
  std::vector<std::wstring> shown;
  SetErrorSink([&](const Failure& failure) { shown.push_back(failure.text); });
  ReportFailure(MessageFailure(MessageId::ClassPathMissing));
  ReportFailure(SilentFailure());  // already shown another way: nothing more
  SetErrorSink(nullptr);
  EXPECT_EQ(shown, std::vector<std::wstring>{L"Java Class Path was not specified in INI file."});

  // Without a sink of its own the run writes the error line (on standard
  // error here, on Linux), then the system's own words on standard error;
  // standard output stays the application's.
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  ReportFailure(Failure{L"Failed.", L"no such file"});
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Failed. \nkorvan: no such file\n");
}

}  // namespace
}  // namespace korvan
