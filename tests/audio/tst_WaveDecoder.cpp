// SPDX-License-Identifier: MIT
// The decoder alone. This executable replaces the global allocator with one that refuses large
// requests, so that a decoder sizing its memory from a file's header (instead of from what the file
// holds) fails here instead of taking gigabytes.

#include "AudioTestHelpers.h"
#include "audio/WaveDecoder.h"
#include "testsupport/HostileFiles.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <new>
#include <sys/stat.h>

namespace {
std::atomic<std::size_t> allocationLimit{SIZE_MAX};
std::atomic<std::size_t> largestRefused{0};
} // namespace

void* operator new(std::size_t size) {
    if (size > allocationLimit.load()) {
        largestRefused = std::max(largestRefused.load(), size);
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
// The pair of the operator new above: memory from malloc goes back to free.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop

using namespace tonvale;
using namespace tonvale::testing;

namespace {

// While alive, any single allocation over `bytes` is refused and remembered.
class AllocationCap {
  public:
    explicit AllocationCap(std::size_t bytes) {
        largestRefused = 0;
        allocationLimit = bytes;
    }
    ~AllocationCap() { allocationLimit = SIZE_MAX; }
    static std::size_t largestRefusedRequest() { return largestRefused; }
};

// A FLAC file of `frames` frames whose header claims 2^36 - 1 of them (the largest count its 36-bit
// field holds).
std::string flacClaimingTooMuch(const TempFolder& dir, int channels, int frames) {
    const std::string path = dir.file("claims" + std::to_string(channels) + ".flac");
    EXPECT_TRUE(writeWave(path, {.seconds = frames / 8000.0,
                                 .sampleRate = 8000,
                                 .channels = channels,
                                 .format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16}));
    std::string bytes = readBytes(path);
    // "fLaC", the block header, then STREAMINFO: the sample count is the low 4 bits of byte 21 and
    // bytes 22 to 25.
    EXPECT_EQ(bytes.substr(0, 4), "fLaC");
    bytes[21] = static_cast<char>(static_cast<unsigned char>(bytes[21]) | 0x0F);
    for (std::size_t i = 22; i < 26; ++i)
        bytes[i] = static_cast<char>(0xFF);
    writeBytes(path, bytes);
    return path;
}

} // namespace

// A small file whose header claims billions of frames is decoded from what it holds: memory follows
// the samples decoded, never the claim times the channel count.
TEST(WaveDecoder, HeaderClaimDoesNotDecideTheMemoryTaken) {
    TempFolder dir;
    for (const int channels : {1, 2, 8}) {
        const std::string path = flacClaimingTooMuch(dir, channels, 800);
        DecodedWave wave;
        std::string reason;
        bool decoded = false;
        {
            AllocationCap cap(64u << 20);
            decoded = decodeWaveFile(path, wave, reason);
            EXPECT_EQ(AllocationCap::largestRefusedRequest(), 0u) << channels << " channels";
        }
        ASSERT_TRUE(decoded) << reason;
        EXPECT_EQ(wave.frames, 800);
        EXPECT_EQ(wave.channels, channels == 2 ? 2 : 1);
        EXPECT_EQ(wave.samples.size(), static_cast<std::size_t>(800 * wave.channels));
    }
}

TEST(WaveDecoder, ManyChannelsAreMixedDownToMono) {
    TempFolder dir;
    const std::string path = dir.file("six.wav");
    ASSERT_TRUE(writeWave(path, {.frequency = 0, .seconds = 0.1, .sampleRate = 8000, .channels = 6}));
    DecodedWave wave;
    std::string reason;
    ASSERT_TRUE(decodeWaveFile(path, wave, reason)) << reason;
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(wave.frames, 800);
    // Every channel holds the same noise, so the mix is that noise.
    DecodedWave mono;
    const std::string monoPath = dir.file("one.wav");
    ASSERT_TRUE(writeWave(monoPath, {.frequency = 0, .seconds = 0.1, .sampleRate = 8000, .channels = 1}));
    ASSERT_TRUE(decodeWaveFile(monoPath, mono, reason)) << reason;
    EXPECT_EQ(wave.samples, mono.samples);
}

// What is not a wave file fails at once with the reason: named pipes and devices are not opened for
// reading at all, so nothing blocks or reads forever.
TEST(WaveDecoder, FailureSaysWhy) {
    TempFolder dir;
    const std::string pipe = dir.file("pipe.wav");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    writeBytes(dir.file("text.wav"), "just some text\r\n");
    const std::string headerOnly = dir.file("header.wav");
    ASSERT_TRUE(writeWave(headerOnly, {.seconds = 0.0}));
    const std::pair<std::string, std::string> cases[] = {{pipe, "not a regular file but a named pipe"},
                                                         {"/dev/zero", "not a regular file but a device"},
                                                         {dir.path(), "not a regular file but a folder"},
                                                         {dir.file("missing.wav"), std::strerror(ENOENT)},
                                                         {headerOnly, "the file holds no sound"}};
    for (const auto& [path, expected] : cases) {
        DecodedWave wave;
        std::string reason;
        {
            PipeRelease release(pipe);
            EXPECT_FALSE(decodeWaveFile(path, wave, reason)) << path;
        }
        EXPECT_EQ(reason, expected) << path;
        EXPECT_TRUE(wave.samples.empty());
    }
    DecodedWave wave;
    std::string reason;
    EXPECT_FALSE(decodeWaveFile(dir.file("text.wav"), wave, reason));
    EXPECT_NE(reason.find("not a sound file libsndfile can read: "), std::string::npos) << reason;
}
