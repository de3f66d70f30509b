#include "hash.h"

#include <array>

namespace fmx {

namespace {

constexpr std::array<uint32_t, 256> makeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = makeTable();

template <bool upper> uint32_t crc(const QString& text) {
    if (text.isEmpty()) return 0;
    uint32_t c = 0xFFFFFFFFu;
    for (const QChar ch : text) {
        uint32_t b = ch.unicode() & 0xFFu;
        if (upper && b >= 'a' && b <= 'z') b -= 'a' - 'A';
        c = kTable[(c ^ b) & 0xFFu] ^ (c >> 8);
    }
    return ~c;
}

} // namespace

uint32_t HashCRC32ci(const QString& text) {
    return crc<true>(text);
}
uint32_t HashCRC32cs(const QString& text) {
    return crc<false>(text);
}

} // namespace fmx
