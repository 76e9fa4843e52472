#pragma once
// What every fuzz target shares: the entry point, a check that stops the run on a
// broken rule, a reader that turns the fuzzer's bytes into arguments, and a scratch
// directory for the targets that go through files.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace quilvern::fuzz {

// Aborts rather than throws: libFuzzer and the replay both treat an abort as a finding,
// and an exception could be swallowed by the very code under test.
[[noreturn]] inline void Fail(const char* rule, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: broken rule: %s\n", file, line, rule);
    std::abort();
}

#define FUZZ_CHECK(rule) ((rule) ? (void)0 : ::quilvern::fuzz::Fail(#rule, __FILE__, __LINE__))

// Reads arguments from the front of the input. An exhausted input reads as zero bytes,
// so every prefix of an interesting input is still a valid one.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size)
        : bytes_(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return bytes_.empty(); }

    std::uint8_t Byte() {
        if (bytes_.empty())
            return 0;
        const auto byte = static_cast<std::uint8_t>(bytes_.front());
        bytes_.remove_prefix(1);
        return byte;
    }

    char Char() { return static_cast<char>(Byte()); }

    // Little-endian, so that a seed written by hand reads naturally.
    std::int16_t Int16() {
        const unsigned low = Byte();
        const unsigned high = Byte();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8));
    }

    std::int32_t Int32() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8)
            value |= std::uint32_t{Byte()} << shift;
        return static_cast<std::int32_t>(value);
    }

    // A length byte (taken modulo maxLength + 1), then that many bytes.
    std::string Text(std::size_t maxLength) {
        const std::size_t wanted = Byte() % (maxLength + 1);
        const std::size_t length = std::min(wanted, bytes_.size());
        std::string text(bytes_.substr(0, length));
        bytes_.remove_prefix(length);
        return text;
    }

    // The ten bytes of an x87 extended value, low significand byte first. The integer
    // bit is made to agree with the exponent: the hardware rejects the other encodings
    // (unnormals, pseudo-denormals) as invalid operands, and no arithmetic or parsing
    // in the program can produce one.
    long double Extended() {
        unsigned char raw[10] = {};
        for (unsigned char& byte : raw)
            byte = Byte();
        const bool normalOrSpecial = (raw[8] | (raw[9] & 0x7F)) != 0;
        raw[7] = static_cast<unsigned char>(normalOrSpecial ? raw[7] | 0x80 : raw[7] & 0x7F);
        long double value = 0;
        std::memcpy(&value, raw, sizeof raw);
        return value;
    }

    std::string_view Rest() {
        const std::string_view rest = bytes_;
        bytes_ = {};
        return rest;
    }

  private:
    std::string_view bytes_;
};

// One directory per process, reused by every input and removed when the process ends.
inline const std::filesystem::path& ScratchDirectory() {
    struct Directory {
        std::filesystem::path path;
        Directory() {
            path = std::filesystem::temp_directory_path() /
                   ("quilvern-fuzz-" + std::to_string(::getpid()));
            std::filesystem::create_directories(path);
        }
        ~Directory() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Directory directory;
    return directory.path;
}

inline std::string ScratchFile(std::string_view name) {
    return (ScratchDirectory() / name).string();
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    FUZZ_CHECK(out.good());
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    FUZZ_CHECK(in.good());
    return {std::istreambuf_iterator<char>(in), {}};
}

// Same value and same sign, or both absent; NaN equals NaN here.
inline bool SameBits(long double a, long double b) {
    if (a != a || b != b)
        return a != a && b != b;
    return a == b && std::signbit(a) == std::signbit(b);
}

}  // namespace quilvern::fuzz
