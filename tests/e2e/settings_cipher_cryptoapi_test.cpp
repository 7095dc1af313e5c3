// The portable cipher of the embedded settings text (Linux launcher, stamping
// tool) against CryptoAPI itself under Wine, in both directions: what one
// enciphers the other deciphers, and both encipher alike.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/hex_text.h"
#include "support/launch_folder.h"

namespace korvan::e2e {
namespace {

// The probe's form of bytes on its command line: hex, or "-" for none.
std::string Hex(const std::string& bytes) {
  return bytes.empty() ? "-" : testing_support::HexFromBytes(bytes);
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string RunPortable(const std::string& direction, const std::string& key, const std::string& data) {
  const ProcessResult result = RunProcess(
      {(LinuxBuildDir() / "fixtures/cipher-probe").string(), direction, Hex(key), Hex(data)}, {});
  EXPECT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  return Trimmed(result.standard_output);
}

std::string RunCryptoApi(const std::string& direction, const std::string& key, const std::string& data) {
  const ProcessResult result =
      RunUnderWine({std::string(KORVAN_WINDOWS_BUILD_DIR) + "/fixtures/cipher-probe.exe",
                    direction, Hex(key), Hex(data)});
  EXPECT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  return Trimmed(result.standard_output);
}

std::string FromHex(const std::string& hex) {
  return testing_support::BytesFromHex(hex).value_or(std::string());
}

struct CipherCase {
  const char* name;
  std::string key;
  std::string data;
};

class CryptoApiCipherTest : public testing::TestWithParam<CipherCase> {
 protected:
  void SetUp() override {
    KORVAN_SKIP_UNLESS_RUNNABLE((Target{TargetKind::Windows, "Windows"}));
  }
};

TEST_P(CryptoApiCipherTest, PortableCipherEqualsCryptoApiBothWays) {
  const CipherCase& c = GetParam();
  const std::string by_cryptoapi = RunCryptoApi("encipher", c.key, c.data);
  const std::string by_portable = RunPortable("encipher", c.key, c.data);
  EXPECT_EQ(by_portable, by_cryptoapi);
  if (!c.data.empty()) EXPECT_NE(by_portable, Hex(c.data));  // it did encipher
  EXPECT_EQ(RunPortable("decipher", c.key, FromHex(by_cryptoapi)), Hex(c.data));
  EXPECT_EQ(RunCryptoApi("decipher", c.key, FromHex(by_portable)), Hex(c.data));
}

std::string LongText() {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += static_cast<char>(i * 7);
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CryptoApiCipherTest,
    testing::Values(
        CipherCase{"GuidKey", "{8D9B3C2E-1A2B-4C5D-9E8F-0123456789AB}",
                   std::string("[\0A\0]\0\r\0\n\0k\0=\0v\0", 16)},
        CipherCase{"EmptyKey", "", "settings"},
        CipherCase{"EmptyData", "{CODE}", ""},
        CipherCase{"OneByte", "{CODE}", "x"},
        CipherCase{"OddLength", "{CODE}", "seven!!"},
        CipherCase{"HighBytesInKey", "\xe4\xf6\xfc\xff", "data"},
        CipherCase{"LongKey", std::string(300, 'k'), "data"},
        CipherCase{"LongData", "{CODE}", LongText()}),
    [](const testing::TestParamInfo<CipherCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvan::e2e
