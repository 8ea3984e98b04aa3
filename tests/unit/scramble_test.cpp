#include "common/scramble.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/scrambling_sink.h"
#include "support/test_folder.h"

namespace quorlix {
namespace {

// Byte by byte, as the output layout describes the scrambling.
std::vector<std::uint8_t> Reference(std::vector<std::uint8_t> bytes, const std::string& key) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] ^= static_cast<std::uint8_t>(key[i % key.size()] & 0x0F);
    }
    return bytes;
}

TEST(Scramble, KeyLaidOverTheBufferGivesTheByteByByteResultForEveryLength) {
    const std::string random = test::RandomBytes(61440 + 97, 21);
    const std::vector<std::uint8_t> data(random.begin(), random.end());
    for (const std::string& key :
         {std::string(kScrambleKey), std::string("k"), std::string("0123456789ABCDEFG")}) {
        for (std::size_t count :
             {0u, 1u, 7u, 11u, 12u, 13u, 95u, 96u, 97u, 1000u, 61440u, 61440u + 97u}) {
            std::vector<std::uint8_t> bytes(data.begin(), data.begin() + count);
            ScrambleBuffer(bytes.data(), key.data(), key.size(), count);
            EXPECT_EQ(bytes, Reference({data.begin(), data.begin() + count}, key))
                << key.size() << " " << count;
            ScrambleBuffer(bytes.data(), key.data(), key.size(), count);
            EXPECT_EQ(bytes, std::vector<std::uint8_t>(data.begin(), data.begin() + count))
                << "its own inverse";
        }
    }
    // Known bytes: zeros take the key's low four bits, high bits stay.
    std::vector<std::uint8_t> zeros(24, 0xF0);
    ScrambleBuffer(zeros.data(), kScrambleKey, kScrambleKeyLength, zeros.size());
    EXPECT_EQ(zeros[0], 0xF5) << "'%' is 0x25";
    EXPECT_EQ(zeros[1], 0xFA) << "':' is 0x3A";
    EXPECT_EQ(zeros[12], 0xF5) << "the key starts again after 12 bytes";
    EXPECT_EQ(zeros[23], 0xFA) << "'j' is 0x6A";
}

struct Collect : ByteSink {
    std::vector<std::uint8_t> bytes;
    void Write(const std::uint8_t* data, std::size_t count) override {
        bytes.insert(bytes.end(), data, data + count);
    }
};

TEST(Scramble, WritesOfAnySizeGiveTheWholeSectionScrambledAtOnce) {
    const std::string random = test::RandomBytes(3 * 61440 + 5, 22);
    const std::vector<std::uint8_t> data(random.begin(), random.end());
    // Piece sizes that start pieces at every key position and cross chunk boundaries.
    for (const std::vector<std::size_t>& pieces :
         {std::vector<std::size_t>{12, 512, 61440, 7, 61439, 1, 60914},
          std::vector<std::size_t>{1, 1, 1, 5, 184317}, std::vector<std::size_t>{184325}}) {
        Collect out;
        ScramblingSink sink(out);
        std::size_t at = 0;
        for (std::size_t size : pieces) {
            sink.Write(data.data() + at, size);
            at += size;
        }
        ASSERT_EQ(at, data.size());
        EXPECT_EQ(sink.written(), data.size());
        EXPECT_TRUE(out.bytes == Reference(data, kScrambleKey)) << pieces.size() << " pieces";
    }
    // Unscrambling a range read from the middle of a section starts inside the key.
    std::vector<std::uint8_t> middle(data.begin() + 61445, data.begin() + 61545);
    const std::vector<std::uint8_t> scrambled = Reference(data, kScrambleKey);
    std::vector<std::uint8_t> read(scrambled.begin() + 61445, scrambled.begin() + 61545);
    ScrambleSectionBytes(read.data(), read.size(), 61445);
    EXPECT_EQ(read, middle);
}

}  // namespace
}  // namespace quorlix
