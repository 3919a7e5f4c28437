#include "GifWriter.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace Art {

namespace {

class BitPacker {
public:
    void Write(std::uint32_t code, int width) {
        m_accumulator |= code << m_bitCount;
        m_bitCount += width;
        while (m_bitCount >= 8) {
            m_bytes.push_back(static_cast<char>(m_accumulator & 0xFFu));
            m_accumulator >>= 8;
            m_bitCount -= 8;
        }
    }
    std::vector<char> Finish() {
        if (m_bitCount > 0) {
            m_bytes.push_back(static_cast<char>(m_accumulator & 0xFFu));
        }
        return m_bytes;
    }

private:
    std::vector<char> m_bytes;
    std::uint32_t m_accumulator = 0;
    int m_bitCount = 0;
};

void AppendWord(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

} // namespace

QByteArray EncodeTwoColourGif(const QImage& image) {
    const int width = image.width();
    const int height = image.height();
    QByteArray out("GIF89a");
    AppendWord(out, width);
    AppendWord(out, height);
    out.append(static_cast<char>(0x80)); // global table of 2 entries
    out.append('\0');                    // background index
    out.append('\0');                    // square pixels
    out.append(QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6));
    out.append(',');
    AppendWord(out, 0);
    AppendWord(out, 0);
    AppendWord(out, width);
    AppendWord(out, height);
    out.append('\0');

    constexpr int minimumCodeSize = 2; // the smallest the format allows
    constexpr std::uint32_t clearCode = 1u << minimumCodeSize;
    constexpr std::uint32_t endCode = clearCode + 1;
    out.append(static_cast<char>(minimumCodeSize));

    BitPacker packer;
    std::unordered_map<std::uint32_t, std::uint32_t> table;
    int codeSize = minimumCodeSize + 1;
    std::uint32_t lastCode = endCode;
    packer.Write(clearCode, codeSize);

    bool first = true;
    std::uint32_t prefix = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            const std::uint32_t index =
                (qRed(pixel) >= 128 && qGreen(pixel) >= 128 && qBlue(pixel) >= 128) ? 1u : 0u;
            if (first) {
                prefix = index;
                first = false;
                continue;
            }
            const std::uint32_t key = (prefix << 8) | index;
            const auto found = table.find(key);
            if (found != table.end()) {
                prefix = found->second;
                continue;
            }
            packer.Write(prefix, codeSize);
            ++lastCode;
            table.emplace(key, lastCode);
            if (lastCode >= (1u << codeSize)) {
                ++codeSize;
            }
            if (lastCode == 4095) {
                packer.Write(clearCode, codeSize);
                table.clear();
                codeSize = minimumCodeSize + 1;
                lastCode = endCode;
            }
            prefix = index;
        }
    }
    packer.Write(prefix, codeSize);
    packer.Write(endCode, codeSize);

    const std::vector<char> data = packer.Finish();
    for (std::size_t offset = 0; offset < data.size(); offset += 255) {
        const std::size_t length = std::min<std::size_t>(255, data.size() - offset);
        out.append(static_cast<char>(length));
        out.append(data.data() + offset, static_cast<qsizetype>(length));
    }
    out.append('\0');
    out.append(';');
    return out;
}

} // namespace Art
