// Korvan's own INI reader and writer (the Linux launcher's) against Windows'
// GetPrivateProfileStringW and WritePrivateProfileStringW (the Windows
// launcher's, under Wine): one corpus of awkward settings files, read and
// written through the same profile-probe fixture built for both targets,
// must give identical results.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/launch_folder.h"

namespace korvan::e2e {
namespace {

namespace fs = std::filesystem;

struct CorpusFile {
  std::string name;
  std::string bytes;
};

std::string Utf16Le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

std::string Utf16Be(const std::u16string& text) {
  std::string bytes = "\xFE\xFF";
  for (char16_t c : text) {
    bytes += static_cast<char>(c >> 8);
    bytes += static_cast<char>(c & 0xFF);
  }
  return bytes;
}

std::string Repeated(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

std::vector<CorpusFile> Corpus() {
  return {
      {"names.ini", "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n"},
      {"blanks.ini",
       " \t[S]\t \r\n\t key \t=\t v a l \t\r\n[ T ]\r\nk=t\r\n[U]\r\n  k  x  =  y  \r\n"},
      {"quotes.ini",
       "[Q]\r\nd=\"a b\"\r\ns='c d'\r\nm=\"e'\r\nlone=\"\r\nempty=\"\"\r\ntwice=\"\"x\"\"\r\n"
       "inner=\" spaced \"\r\nafter=\"x\" y\r\nopen=\"abc\r\n"},
      {"comments.ini", "[C]\r\n;k=commented\r\n#h=hash\r\nk=v ; not a comment\r\n"},
      {"duplicates.ini", "[A]\r\nk=1\r\nK=2\r\n[B]\r\nb=1\r\n[a]\r\nk=3\r\nj=4\r\n"},
      {"before.ini", "k=0\r\nj=0\r\n[A]\r\nj=1\r\n"},
      {"lf.ini", "[A]\nk=lf\nj=2\n"},
      {"cr.ini", "[A]\rk=cr\rj=2\r"},
      {"mixed.ini", "[A]\r\nk=1\nj=2\r\n\n\n[B]\nk=3"},
      {"utf8bom.ini", "\xEF\xBB\xBF[A]\r\nk=\xC3\xA4\xE2\x82\xAC\r\n[\xC3\x84]\r\nk=umlaut\r\n"},
      {"utf16.ini", Utf16Le(u"[A]\r\nk=\u00e4\u20ac\U0001F600\r\n[\u00c4]\r\nk=umlaut\r\n"
                            u"[Sp]\r\nk=\u00a0x\u00a0\r\nj=\u3000y\u3000\r\n")},
      {"utf16be.ini", Utf16Be(u"[A]\r\nk=big\r\n")},
      {"long.ini", "[L]\r\nv255=" + Repeated(255) + "\r\nv256=" + Repeated(256) + "\r\nv511=" +
                       Repeated(511) + "\r\nv10000=" + Repeated(10000) + "\r\nq254=\"" +
                       Repeated(254) + "\"\r\nq255=\"" + Repeated(255) + "\"\r\nq256=\"" +
                       Repeated(256) + "\"\r\n"},
      {"empty_values.ini", "[E]\r\na=\r\nb= \t\r\nc\r\nd =\r\nc=later\r\n"},
      {"equals.ini", "[E]\r\nk=a=b\r\nj==\r\n=v\r\n == w\r\n"},
      {"headers.ini", "[A] junk\r\nk=1\r\n[B]]\r\nk=2\r\n[C\r\nk=3\r\n[]\r\nk=4\r\n"},
      {"nulchar.ini", std::string("[N]\r\nk=ab\0cd\r\nj=after\r\n", 24)},
      {"control_z.ini", "[Z]\r\nk=v\x1a\r\n\x1a"},
      {"empty.ini", ""},
      {"binary.ini", std::string("\x7f" "ELF\0\0\x01[A]\0k=\xff\xfe\x01\x02\r\n[A]\r\nk=v", 26)},
  };
}

struct Query {
  std::string file;
  std::string section;
  std::string key;
  // Only the whole value is compared: it holds characters beyond the BMP,
  // which fill two wchar_t on Windows and one on Linux.
  bool whole_only = false;
};

std::vector<Query> Queries() {
  return {
      {"names.ini", "Java Runtime Environment", "Main Class"},
      {"names.ini", "JAVA RUNTIME ENVIRONMENT", "main class"},
      {"names.ini", "Java Runtime Environment ", " Main Class"},
      {"names.ini", "Java Runtime", "Main Class"},
      {"blanks.ini", "S", "key"},
      {"blanks.ini", "T", "k"},
      {"blanks.ini", " T ", "k"},
      {"blanks.ini", "U", "k  x"},
      {"blanks.ini", "U", "k x"},
      {"quotes.ini", "Q", "d"},
      {"quotes.ini", "Q", "s"},
      {"quotes.ini", "Q", "m"},
      {"quotes.ini", "Q", "lone"},
      {"quotes.ini", "Q", "empty"},
      {"quotes.ini", "Q", "twice"},
      {"quotes.ini", "Q", "inner"},
      {"quotes.ini", "Q", "after"},
      {"quotes.ini", "Q", "open"},
      {"comments.ini", "C", "k"},
      {"comments.ini", "C", ";k"},
      {"comments.ini", "C", "#h"},
      {"duplicates.ini", "A", "k"},
      {"duplicates.ini", "A", "j"},
      {"duplicates.ini", "a", "K"},
      {"duplicates.ini", "B", "b"},
      {"before.ini", "A", "k"},
      {"before.ini", "A", "j"},
      {"lf.ini", "A", "k"},
      {"lf.ini", "A", "j"},
      {"cr.ini", "A", "k"},
      {"cr.ini", "A", "j"},
      {"mixed.ini", "A", "k"},
      {"mixed.ini", "A", "j"},
      {"mixed.ini", "B", "k"},
      {"utf8bom.ini", "A", "k"},
      {"utf8bom.ini", "\xC3\x84", "k"},
      {"utf8bom.ini", "\xC3\xA4", "k"},
      {"utf16.ini", "A", "k", true},
      {"utf16.ini", "\xC3\x84", "k"},
      {"utf16.ini", "\xC3\xA4", "k"},
      {"utf16be.ini", "A", "k"},
      {"long.ini", "L", "v255"},
      {"long.ini", "L", "v256"},
      {"long.ini", "L", "v511"},
      {"long.ini", "L", "v10000"},
      {"long.ini", "L", "q254"},
      {"long.ini", "L", "q255"},
      {"long.ini", "L", "q256"},
      {"empty_values.ini", "E", "a"},
      {"empty_values.ini", "E", "b"},
      {"empty_values.ini", "E", "c"},
      {"empty_values.ini", "E", "d"},
      {"equals.ini", "E", "k"},
      {"equals.ini", "E", "j"},
      {"headers.ini", "A", "k"},
      {"headers.ini", "B]", "k"},
      {"headers.ini", "B", "k"},
      {"headers.ini", "C", "k"},
      {"headers.ini", "[C", "k"},
      {"nulchar.ini", "N", "k"},
      {"nulchar.ini", "N", "j"},
      {"control_z.ini", "Z", "k"},
      {"empty.ini", "A", "k"},
      {"binary.ini", "A", "k"},
      {"missing.ini", "A", "k"},
  };
}

// Writes as the launcher does them ("JRE Path" back into a settings file),
// then every query again.
std::vector<std::vector<std::string>> Writes() {
  return {
      {"new.ini", "Java Runtime Environment", "JRE Path", "C:\\Program Files\\Java\\jre\\"},
      {"new.ini", "java runtime environment", "jre path", "C:\\other\\"},
      {"new.ini", "Application", "Cmd", "  -x"},
      {"names.ini", "Java Runtime Environment", "JRE Path", "\"quoted\""},
      {"empty_values.ini", "E", "c", "now set"},
      {"duplicates.ini", "a", "j", "5"},
      {"utf16.ini", "a", "K", "\xE2\x82\xAC"},
      {"utf8bom.ini", "New", "k", "\xC3\xA4"},
      {"lf.ini", "A", "new", "1"},
      {"cr.ini", "B", "new", "2"},
  };
}

std::vector<Query> QueriesAfterWrites() {
  std::vector<Query> queries = Queries();
  for (const auto& write : Writes()) queries.push_back({write[0], write[1], write[2], true});
  queries.push_back({"new.ini", "Application", "Cmd"});
  return queries;
}

std::string Script() {
  std::ostringstream script;
  auto read = [&](const Query& q) {
    script << (q.whole_only ? "whole\t" : "read\t") << q.file << "\t" << q.section << "\t" << q.key
           << "\n";
  };
  for (const Query& q : Queries()) read(q);
  for (const auto& w : Writes()) {
    script << "write\t" << w[0] << "\t" << w[1] << "\t" << w[2] << "\t" << w[3] << "\n";
  }
  for (const Query& q : QueriesAfterWrites()) read(q);
  return script.str();
}

std::vector<std::string> Commands() {
  std::vector<std::string> commands;
  std::istringstream script(Script());
  for (std::string line; std::getline(script, line);) commands.push_back(line);
  return commands;
}

std::vector<std::string> OutputLines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream stream(output);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class IniDifferentialTest : public testing::Test {
 protected:
  void SetUp() override {
    KORVAN_SKIP_UNLESS_RUNNABLE((Target{TargetKind::Windows, "Windows"}));
    folder_ = fs::temp_directory_path() / ("korvan-ini-" + std::to_string(getpid()));
    for (const char* target : {"linux", "windows"}) {
      fs::create_directories(folder_ / target);
      for (const CorpusFile& file : Corpus()) {
        std::ofstream(folder_ / target / file.name, std::ios::binary) << file.bytes;
      }
    }
    std::ofstream(folder_ / "script.txt", std::ios::binary) << Script();
  }
  void TearDown() override {
    std::error_code ignored;
    // KORVAN_KEEP=1 keeps the files of both probes for a look.
    if (!folder_.empty() && !std::getenv("KORVAN_KEEP")) fs::remove_all(folder_, ignored);
  }

  ProcessResult RunLinuxProbe() const {
    return RunProcess({(LinuxBuildDir() / "fixtures/profile-probe").string(),
                       (folder_ / "script.txt").string(), (folder_ / "linux").string()},
                      {});
  }
  ProcessResult RunWindowsProbe() const {
    return RunUnderWine({std::string(KORVAN_WINDOWS_BUILD_DIR) + "/fixtures/profile-probe.exe",
                         WinePath(folder_ / "script.txt"), WinePath(folder_ / "windows")});
  }

  fs::path folder_;
};

TEST_F(IniDifferentialTest, KorvansReaderAndWriterMatchWindows) {
  const ProcessResult linux_run = RunLinuxProbe();
  const ProcessResult windows_run = RunWindowsProbe();
  ASSERT_EQ(linux_run.exit_code, 0) << linux_run.standard_error;
  ASSERT_EQ(windows_run.exit_code, 0) << windows_run.standard_error;

  const std::vector<std::string> commands = Commands();
  const std::vector<std::string> linux_lines = OutputLines(linux_run.standard_output);
  const std::vector<std::string> windows_lines = OutputLines(windows_run.standard_output);
  ASSERT_EQ(linux_lines.size(), commands.size()) << linux_run.standard_output;
  ASSERT_EQ(windows_lines.size(), commands.size()) << windows_run.standard_output;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    EXPECT_EQ(linux_lines[i], windows_lines[i]) << "command " << i << ": " << commands[i];
  }
  // The probes did read: a few results as they must be on both.
  EXPECT_EQ(linux_lines[0], "[com.example.App] 1:[c] 4:[com.]");
  EXPECT_EQ(windows_lines[1], "[com.example.App] 1:[c] 4:[com.]");
}

}  // namespace
}  // namespace korvan::e2e
