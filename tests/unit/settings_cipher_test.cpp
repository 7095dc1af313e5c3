#include "platform/shared/portable_cipher.h"

#include <gtest/gtest.h>

#include <string>

#include "common/hex_text.h"

namespace korvan::platform {
namespace {

std::string Hex(const std::string& bytes) { return testing_support::HexFromBytes(bytes); }

std::string Hex(const Md5Digest& digest) { return Hex(std::string(digest.begin(), digest.end())); }

std::string Bytes(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

struct Md5Case {
  std::string message;
  const char* digest;
};

class Md5Test : public testing::TestWithParam<Md5Case> {};

// The test suite of RFC 1321, plus lengths around the padding boundaries
// (digests from md5sum).
TEST_P(Md5Test, MatchesPublishedDigests) {
  EXPECT_EQ(Hex(ComputeMd5(GetParam().message)), GetParam().digest);
}

INSTANTIATE_TEST_SUITE_P(
    Rfc1321, Md5Test,
    testing::Values(
        Md5Case{"", "d41d8cd98f00b204e9800998ecf8427e"},
        Md5Case{"a", "0cc175b9c0f1b6a831c399e269772661"},
        Md5Case{"abc", "900150983cd24fb0d6963f7d28e17f72"},
        Md5Case{"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        Md5Case{"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        Md5Case{"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
                "d174ab98d277d9f5a5611c2c9f419d9f"},
        Md5Case{"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
                "57edf4a22be3c955ac49da2e2107b67a"},
        Md5Case{std::string(55, 'x'), "04364420e25c512fd958a70738aa8f72"},
        Md5Case{std::string(56, 'x'), "668a72d5ba17f08e62dabcafad6db14b"},
        Md5Case{std::string(64, 'x'), "c1bb4f81d892b2d57947682aeb252456"}));

struct Rc4Case {
  std::string key;
  std::string plain;
  const char* cipher_hex;
};

class Rc4Test : public testing::TestWithParam<Rc4Case> {};

TEST_P(Rc4Test, MatchesPublishedVectorsBothWays) {
  std::string data = GetParam().plain;
  ApplyRc4(GetParam().key, data);
  EXPECT_EQ(Hex(data), GetParam().cipher_hex);
  ApplyRc4(GetParam().key, data);
  EXPECT_EQ(data, GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(
    Published, Rc4Test,
    testing::Values(
        Rc4Case{"Key", "Plaintext", "bbf316e8d940af0ad3"},
        Rc4Case{"Wiki", "pedia", "1021bf0420"},
        Rc4Case{"Secret", "Attack at dawn", "45a01f645fc35b383552544b9bf5"},
        // RFC 6229: the key stream of a 40-bit and a 128-bit key, offsets 0 and 16.
        Rc4Case{Bytes("0102030405"), std::string(32, '\0'),
                "b2396305f03dc027ccc3524a0a1118a86982944f18fc82d589c403a47a0d0919"},
        Rc4Case{Bytes("0102030405060708090a0b0c0d0e0f10"), std::string(16, '\0'),
                "9ac7cc9a609d1ef7b2932899cde41b97"}));

TEST(BaseProviderRc4Key, IsFortyBitsOfTheDigestAndElevenZeroBytes) {
  const Md5Digest digest = ComputeMd5("abc");
  EXPECT_EQ(Hex(BaseProviderRc4Key(digest)), "900150983c" + std::string(22, '0'));
}

TEST(PortableSettingsCipher, IsItsOwnInverseAndDependsOnTheKey) {
  const std::string plain("[\0A\0]\0", 6);
  std::string data = plain;
  ApplyPortableSettingsCipher("{UPGRADE-CODE}", data);
  EXPECT_NE(data, plain);
  std::string other = plain;
  ApplyPortableSettingsCipher("{OTHER-CODE}", other);
  EXPECT_NE(other, data);
  ApplyPortableSettingsCipher("{UPGRADE-CODE}", data);
  EXPECT_EQ(data, plain);
}

}  // namespace
}  // namespace korvan::platform
