#include "options/inflate.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace korvan {

namespace {

constexpr int kMaxBits = 15;

// Reads the deflate stream's bits, least significant first.
class BitReader {
 public:
  explicit BitReader(std::string_view input) : input_(input) {}

  bool Bits(int count, unsigned& value) {
    while (held_count_ < count) {
      if (position_ >= input_.size()) return false;
      held_ |= static_cast<std::uint32_t>(static_cast<unsigned char>(input_[position_++]))
               << held_count_;
      held_count_ += 8;
    }
    value = held_ & ((1u << count) - 1);
    held_ >>= count;
    held_count_ -= count;
    return true;
  }

  // A stored block starts at the next byte.
  void AlignToByte() {
    held_ = 0;
    held_count_ = 0;
  }
  bool Bytes(std::size_t count, std::string& output) {
    if (input_.size() - position_ < count) return false;
    output.append(input_.data() + position_, count);
    position_ += count;
    return true;
  }

 private:
  std::string_view input_;
  std::size_t position_ = 0;
  std::uint32_t held_ = 0;
  int held_count_ = 0;
};

// A canonical Huffman code: how many codes each length has, and the symbols
// in code order.
struct HuffmanCode {
  std::array<std::uint16_t, kMaxBits + 1> counts{};
  std::array<std::uint16_t, 320> symbols{};

  // False for an over-subscribed set of lengths.
  bool Build(const std::uint8_t* lengths, int symbol_count) {
    counts.fill(0);
    for (int symbol = 0; symbol < symbol_count; ++symbol) ++counts[lengths[symbol]];
    int left = 1;
    for (int length = 1; length <= kMaxBits; ++length) {
      left = left * 2 - counts[length];
      if (left < 0) return false;
    }
    std::array<std::uint16_t, kMaxBits + 2> offsets{};
    for (int length = 1; length < kMaxBits; ++length) {
      offsets[length + 1] = static_cast<std::uint16_t>(offsets[length] + counts[length]);
    }
    for (int symbol = 0; symbol < symbol_count; ++symbol) {
      if (lengths[symbol] != 0) symbols[offsets[lengths[symbol]]++] = static_cast<std::uint16_t>(symbol);
    }
    return true;
  }

  // The next symbol, or -1 when the input ends or holds no such code.
  int Decode(BitReader& bits) const {
    int code = 0;
    int first = 0;
    int index = 0;
    for (int length = 1; length <= kMaxBits; ++length) {
      unsigned bit = 0;
      if (!bits.Bits(1, bit)) return -1;
      code |= static_cast<int>(bit);
      const int count = counts[length];
      if (code - count < first) return symbols[index + (code - first)];
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    return -1;
  }
};

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,
                                           15, 17, 19, 23, 27, 31, 35, 43, 51,  59,
                                           67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class Inflater {
 public:
  Inflater(std::string_view input, std::size_t limit) : bits_(input), limit_(limit) {}

  std::optional<std::string> Run() {
    unsigned last = 0;
    do {
      unsigned type = 0;
      if (!bits_.Bits(1, last) || !bits_.Bits(2, type)) return std::nullopt;
      bool ok = false;
      if (type == 0) ok = Stored();
      if (type == 1) ok = Fixed();
      if (type == 2) ok = Dynamic();
      if (!ok) return std::nullopt;
    } while (last == 0);
    return std::move(output_);
  }

 private:
  bool Stored() {
    bits_.AlignToByte();
    std::string header;
    if (!bits_.Bytes(4, header)) return false;
    const unsigned length = static_cast<unsigned char>(header[0]) |
                            static_cast<unsigned char>(header[1]) << 8;
    const unsigned complement = static_cast<unsigned char>(header[2]) |
                                static_cast<unsigned char>(header[3]) << 8;
    if ((length ^ 0xFFFFu) != complement || output_.size() + length > limit_) return false;
    return bits_.Bytes(length, output_);
  }

  bool Fixed() {
    std::uint8_t lengths[288 + 30];
    for (int symbol = 0; symbol < 288; ++symbol) {
      lengths[symbol] = symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
    }
    for (int symbol = 0; symbol < 30; ++symbol) lengths[288 + symbol] = 5;
    HuffmanCode literals;
    HuffmanCode distances;
    return literals.Build(lengths, 288) && distances.Build(lengths + 288, 30) &&
           Codes(literals, distances);
  }

  bool Dynamic() {
    unsigned literal_count = 0;
    unsigned distance_count = 0;
    unsigned length_code_count = 0;
    if (!bits_.Bits(5, literal_count) || !bits_.Bits(5, distance_count) ||
        !bits_.Bits(4, length_code_count)) {
      return false;
    }
    literal_count += 257;
    distance_count += 1;
    length_code_count += 4;
    if (literal_count > 286 || distance_count > 30) return false;

    static constexpr std::uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                11, 4,  12, 3, 13, 2, 14, 1, 15};
    std::uint8_t lengths[286 + 30] = {};
    for (unsigned index = 0; index < length_code_count; ++index) {
      unsigned length = 0;
      if (!bits_.Bits(3, length)) return false;
      lengths[kOrder[index]] = static_cast<std::uint8_t>(length);
    }
    HuffmanCode length_code;
    if (!length_code.Build(lengths, 19)) return false;

    std::fill(std::begin(lengths), std::end(lengths), std::uint8_t{0});
    unsigned index = 0;
    while (index < literal_count + distance_count) {
      const int symbol = length_code.Decode(bits_);
      if (symbol < 0) return false;
      if (symbol < 16) {
        lengths[index++] = static_cast<std::uint8_t>(symbol);
        continue;
      }
      std::uint8_t repeated = 0;
      unsigned repeat = 0;
      if (symbol == 16) {
        if (index == 0 || !bits_.Bits(2, repeat)) return false;
        repeated = lengths[index - 1];
        repeat += 3;
      } else if (symbol == 17) {
        if (!bits_.Bits(3, repeat)) return false;
        repeat += 3;
      } else {
        if (!bits_.Bits(7, repeat)) return false;
        repeat += 11;
      }
      if (index + repeat > literal_count + distance_count) return false;
      while (repeat-- > 0) lengths[index++] = repeated;
    }
    if (lengths[256] == 0) return false;  // no end-of-block code
    HuffmanCode literals;
    HuffmanCode distances;
    return literals.Build(lengths, static_cast<int>(literal_count)) &&
           distances.Build(lengths + literal_count, static_cast<int>(distance_count)) &&
           Codes(literals, distances);
  }

  bool Codes(const HuffmanCode& literals, const HuffmanCode& distances) {
    for (;;) {
      const int symbol = literals.Decode(bits_);
      if (symbol < 0) return false;
      if (symbol == 256) return true;
      if (symbol < 256) {
        if (output_.size() >= limit_) return false;
        output_.push_back(static_cast<char>(symbol));
        continue;
      }
      const int length_index = symbol - 257;
      if (length_index >= 29) return false;
      unsigned extra = 0;
      if (!bits_.Bits(kLengthExtra[length_index], extra)) return false;
      const std::size_t length = kLengthBase[length_index] + extra;
      const int distance_index = distances.Decode(bits_);
      if (distance_index < 0 || distance_index >= 30) return false;
      if (!bits_.Bits(kDistanceExtra[distance_index], extra)) return false;
      const std::size_t distance = kDistanceBase[distance_index] + extra;
      if (distance > output_.size() || output_.size() + length > limit_) return false;
      // Copied one byte at a time: the source may overlap what is written.
      for (std::size_t copied = 0; copied < length; ++copied) {
        output_.push_back(output_[output_.size() - distance]);
      }
    }
  }

  BitReader bits_;
  std::size_t limit_;
  std::string output_;
};

}  // namespace

std::optional<std::string> Inflate(std::string_view deflated, std::size_t limit) {
  return Inflater(deflated, limit).Run();
}

}  // namespace korvan
