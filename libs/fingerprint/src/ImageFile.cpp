#include "ImageFile.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

namespace fingerprint {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
struct TurboJpegDestroyer {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// A reader image is tens of kilobytes; anything past this is not one.
constexpr long kMaxFileBytes = 16L << 20;

std::optional<std::vector<unsigned char>> readFile(const std::string& path) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return std::nullopt;
    const long size = std::ftell(file.get());
    if (size <= 0 || size > kMaxFileBytes || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return std::nullopt;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return std::nullopt;
    return bytes;
}

bool sizeAccepted(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide;
}

// The numbers of a PGM header: whitespace separated, '#' starts a comment up to the line's end.
class PgmHeader {
public:
    explicit PgmHeader(const std::vector<unsigned char>& bytes) : m_bytes(bytes) {}

    std::optional<int> number() {
        while (m_pos < m_bytes.size()) {
            if (m_bytes[m_pos] == '#') {
                while (m_pos < m_bytes.size() && m_bytes[m_pos] != '\n')
                    ++m_pos;
            } else if (std::isspace(m_bytes[m_pos])) {
                ++m_pos;
            } else {
                break;
            }
        }
        long value = 0;
        const std::size_t start = m_pos;
        while (m_pos < m_bytes.size() && std::isdigit(m_bytes[m_pos]) && value <= 65535)
            value = value * 10 + (m_bytes[m_pos++] - '0');
        if (m_pos == start || value > 65535)
            return std::nullopt;
        return static_cast<int>(value);
    }
    // The single whitespace byte after the last number ends the header.
    std::optional<std::size_t> dataStart() const {
        if (m_pos >= m_bytes.size() || !std::isspace(m_bytes[m_pos]))
            return std::nullopt;
        return m_pos + 1;
    }
    void skipMagic() { m_pos = 2; }

private:
    const std::vector<unsigned char>& m_bytes;
    std::size_t m_pos = 0;
};

std::optional<GreyImage> decodePgm(const std::vector<unsigned char>& bytes) {
    PgmHeader header(bytes);
    header.skipMagic();
    const auto width = header.number();
    const auto height = header.number();
    const auto maxValue = header.number();
    const auto start = header.dataStart();
    if (!width || !height || !maxValue || !start || *maxValue == 0 ||
        !sizeAccepted(*width, *height))
        return std::nullopt;
    const std::size_t sampleBytes = *maxValue > 255 ? 2 : 1;
    const std::size_t count = std::size_t(*width) * std::size_t(*height);
    if (bytes.size() - *start < count * sampleBytes)
        return std::nullopt;
    GreyImage image(*width, *height);
    const unsigned char* data = bytes.data() + *start;
    for (std::size_t i = 0; i < count; ++i) {
        const int sample = sampleBytes == 2 ? (data[2 * i] << 8) | data[2 * i + 1] : data[i];
        const int scaled = (std::min(sample, *maxValue) * 255 + *maxValue / 2) / *maxValue;
        image.pixels[i] = static_cast<std::uint8_t>(scaled);
    }
    return image;
}

std::optional<GreyImage> decodeJpeg(std::vector<unsigned char>& bytes) {
    const std::unique_ptr<void, TurboJpegDestroyer> decoder(tjInitDecompress());
    if (!decoder)
        return std::nullopt;
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(decoder.get(), bytes.data(), static_cast<unsigned long>(bytes.size()),
                            &width, &height, &subsampling, &colourspace) != 0 ||
        !sizeAccepted(width, height))
        return std::nullopt;
    GreyImage image(width, height);
    if (tjDecompress2(decoder.get(), bytes.data(), static_cast<unsigned long>(bytes.size()),
                      image.pixels.data(), width, width, height, TJPF_GRAY,
                      TJFLAG_ACCURATEDCT) != 0)
        return std::nullopt;
    return image;
}

} // namespace

std::optional<GreyImage> readGreyImage(const std::string& path) {
    auto bytes = readFile(path);
    if (!bytes || bytes->size() < 3)
        return std::nullopt;
    const auto& b = *bytes;
    if (b[0] == 'P' && b[1] == '5')
        return decodePgm(b);
    if (b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return decodeJpeg(*bytes);
    return std::nullopt;
}

} // namespace fingerprint
