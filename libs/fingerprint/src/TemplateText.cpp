#include "TemplateText.h"

#include "TesoLiveApi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

namespace fingerprint {

namespace {

constexpr char kPrefix[] = "TL1";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kRecordBytes = 4;
constexpr int kAngleSteps = 256;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::size_t textLength(std::size_t minutiae) {
    return kPrefixLength + 4 * ((2 + kRecordBytes * minutiae + 1 + 2) / 3);
}
static_assert(textLength(kMaxTemplateMinutiae) <= TC_TEXT_MAX);

// CRC-8 (polynomial 0x07): a changed or dropped character fails it, where a sum could balance out.
std::uint8_t checkByte(const std::vector<std::uint8_t>& bytes) {
    std::uint8_t crc = 0;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = std::uint8_t(crc & 0x80 ? (crc << 1) ^ 0x07 : crc << 1);
    }
    return crc;
}

std::string toBase64(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = std::uint32_t(bytes[i]) << 16;
        if (left > 1)
            group |= std::uint32_t(bytes[i + 1]) << 8;
        if (left > 2)
            group |= bytes[i + 2];
        text += kAlphabet[(group >> 18) & 63];
        text += kAlphabet[(group >> 12) & 63];
        text += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        text += left > 2 ? kAlphabet[group & 63] : '=';
    }
    return text;
}

int sextet(char c) {
    const char* found = c ? std::strchr(kAlphabet, c) : nullptr;
    return found ? int(found - kAlphabet) : -1;
}

std::optional<std::vector<std::uint8_t>> fromBase64(const char* text, std::size_t length) {
    if (length == 0 || length % 4 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < length; i += 4) {
        const bool last = i + 4 == length;
        const int padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        if (padding == 1 && text[i + 2] == '=')
            return std::nullopt; // "x=" then a character
        std::uint32_t group = 0;
        for (int k = 0; k < 4 - padding; ++k) {
            const int value = sextet(text[i + std::size_t(k)]);
            if (value < 0)
                return std::nullopt;
            group |= std::uint32_t(value) << (18 - 6 * k);
        }
        bytes.push_back(std::uint8_t(group >> 16));
        if (padding < 2)
            bytes.push_back(std::uint8_t(group >> 8));
        if (padding < 1)
            bytes.push_back(std::uint8_t(group));
    }
    return bytes;
}

} // namespace

std::string encodeTemplate(const Minutiae& minutiae) {
    const std::size_t count = std::min(minutiae.size(), kMaxTemplateMinutiae);
    std::vector<std::uint8_t> bytes{kVersion, std::uint8_t(count)};
    for (std::size_t i = 0; i < count; ++i) {
        const Minutia& m = minutiae[i];
        const auto x = std::uint32_t(std::clamp(std::lround(m.x), 0L, 1023L));
        const auto y = std::uint32_t(std::clamp(std::lround(m.y), 0L, 1023L));
        const auto angle = std::uint32_t(
            std::lround(m.angle / (2 * std::numbers::pi) * kAngleSteps) % kAngleSteps);
        const std::uint32_t type = m.type == MinutiaType::Bifurcation ? 1 : 0;
        const std::uint32_t record = x | y << 10 | angle << 20 | type << 28;
        for (std::size_t k = 0; k < kRecordBytes; ++k)
            bytes.push_back(std::uint8_t(record >> (8 * k)));
    }
    bytes.push_back(checkByte(bytes));
    return kPrefix + toBase64(bytes);
}

std::optional<Minutiae> decodeTemplate(const char* text) {
    if (!text)
        return std::nullopt;
    const std::size_t length = strnlen(text, TC_TEXT_MAX + 1);
    if (length > TC_TEXT_MAX || length <= kPrefixLength ||
        std::strncmp(text, kPrefix, kPrefixLength) != 0)
        return std::nullopt;
    auto bytes = fromBase64(text + kPrefixLength, length - kPrefixLength);
    if (!bytes || bytes->size() < 3)
        return std::nullopt;
    const std::uint8_t check = bytes->back();
    bytes->pop_back();
    const std::size_t count = (*bytes)[1];
    if ((*bytes)[0] != kVersion || checkByte(*bytes) != check ||
        bytes->size() != 2 + kRecordBytes * count)
        return std::nullopt;
    Minutiae minutiae;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t record = 0;
        for (std::size_t k = 0; k < kRecordBytes; ++k)
            record |= std::uint32_t((*bytes)[2 + kRecordBytes * i + k]) << (8 * k);
        if (record >> 29)
            return std::nullopt;
        const float angle =
            float((record >> 20) & 0xFF) * 2 * std::numbers::pi_v<float> / kAngleSteps;
        minutiae.push_back({float(record & 0x3FF), float((record >> 10) & 0x3FF), angle,
                            (record >> 28) & 1 ? MinutiaType::Bifurcation : MinutiaType::Ending});
    }
    return minutiae;
}

} // namespace fingerprint
