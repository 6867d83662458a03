#include "persistence/TextCoding.hpp"

#include <array>
#include <cstdint>

#include "support/Utf8.hpp"

namespace joywright {

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = utf8SequenceLength(bytes, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int, 256> makeDecodeTable() {
    std::array<int, 256> table{};
    for (auto& entry : table)
        entry = -1;
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = i;
    return table;
}

constexpr auto kDecodeTable = makeDecodeTable();

}  // namespace

std::string base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    auto byte = [&](std::size_t k) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[k]));
    };
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t v = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
        out += kAlphabet[v & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest == 1) {
        const std::uint32_t v = byte(i) << 16;
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += "==";
    } else if (rest == 2) {
        const std::uint32_t v = byte(i) << 16 | byte(i + 1) << 8;
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
        out += '=';
    }
    return out;
}

std::optional<std::string> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        std::size_t padding = 0;
        if (last && text[i + 3] == '=') padding = text[i + 2] == '=' ? 2 : 1;
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            int digit = 0;
            if (k < 4 - padding) {
                digit = kDecodeTable[static_cast<unsigned char>(text[i + k])];
                if (digit < 0) return std::nullopt;
            }
            v = v << 6 | static_cast<std::uint32_t>(digit);
        }
        out += static_cast<char>(v >> 16 & 0xFF);
        if (padding < 2) out += static_cast<char>(v >> 8 & 0xFF);
        if (padding < 1) out += static_cast<char>(v & 0xFF);
    }
    return out;
}

}  // namespace joywright
