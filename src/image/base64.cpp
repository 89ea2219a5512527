// Written by hand because no library at hand is both strict and fast:
// OpenSSL's decoders skip whitespace and are lax about padding, and are slower
// than this. Every picture the program sends or receives passes through here,
// so a table-driven codec working on whole 3-byte / 4-character groups is
// worth its few lines.

#include "image/base64.h"

#include <array>
#include <bit>
#include <cstring>

namespace quillgate::image {
namespace {

// The group stores below put characters and bytes in memory order.
static_assert(std::endian::native == std::endian::little);

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr uint8_t invalidMark = 0xFF;

// Every two-byte input pair's two output characters at once, so the encoder
// does two table loads per group instead of four shifts and lookups.
constexpr std::array<uint16_t, 4096> makePairTable() {
    std::array<uint16_t, 4096> table{};
    for (unsigned i = 0; i < 4096; ++i) {
        auto hi = static_cast<uint8_t>(alphabet[i >> 6]);
        auto lo = static_cast<uint8_t>(alphabet[i & 63]);
        table[i] = static_cast<uint16_t>(hi | (lo << 8));  // memory order: hi, lo
    }
    return table;
}
constexpr auto pairTable = makePairTable();

// A character's 6-bit value pre-shifted into each of the four places of a
// 24-bit group; invalidMark in the top byte marks characters outside the alphabet.
using Shifted = std::array<std::array<uint32_t, 256>, 4>;
constexpr Shifted makeDecodeTables() {
    Shifted tables{};
    for (auto& t : tables) t.fill(uint32_t{invalidMark} << 24);
    for (uint32_t v = 0; v < 64; ++v) {
        auto c = static_cast<uint8_t>(alphabet[v]);
        tables[0][c] = v << 18;
        tables[1][c] = v << 12;
        tables[2][c] = v << 6;
        tables[3][c] = v;
    }
    return tables;
}
constexpr auto decodeTables = makeDecodeTables();

inline uint32_t group(const uint8_t* s) {
    return decodeTables[0][s[0]] | decodeTables[1][s[1]] | decodeTables[2][s[2]] | decodeTables[3][s[3]];
}

inline bool valid(uint32_t g) { return (g >> 24) == 0; }

// Four characters of one group, in memory order, from its two pairs.
inline void storeGroup(char* out, uint32_t g) {
    const uint32_t chars = pairTable[g >> 12] | uint32_t{pairTable[g & 0xFFF]} << 16;
    std::memcpy(out, &chars, 4);
}

}  // namespace

std::string base64Encode(std::span<const uint8_t> bytes) {
    const size_t n = bytes.size();
    std::string out((n + 2) / 3 * 4, '\0');
    const uint8_t* in = bytes.data();
    char* o = out.data();
    size_t i = 0;
    // Two groups from one 8-byte load while at least eight bytes remain.
    for (; i + 8 <= n; i += 6, o += 8) {
        uint64_t v;
        std::memcpy(&v, in + i, 8);
        v = __builtin_bswap64(v);
        storeGroup(o, static_cast<uint32_t>(v >> 40));
        storeGroup(o + 4, static_cast<uint32_t>(v >> 16) & 0xFFFFFF);
    }
    for (; i + 3 <= n; i += 3, o += 4) {
        storeGroup(o, (uint32_t{in[i]} << 16) | (uint32_t{in[i + 1]} << 8) | in[i + 2]);
    }
    if (size_t rest = n - i; rest > 0) {
        uint32_t g = uint32_t{in[i]} << 16;
        if (rest == 2) g |= uint32_t{in[i + 1]} << 8;
        storeGroup(o, g);
        o[3] = '=';
        if (rest == 1) o[2] = '=';
    }
    return out;
}

std::optional<std::vector<uint8_t>> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    if (text.empty()) return std::vector<uint8_t>{};

    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const size_t groups = text.size() / 4;
    const size_t padding = s[text.size() - 1] != '=' ? 0 : s[text.size() - 2] == '=' ? 2 : 1;
    std::vector<uint8_t> out(groups * 3 - padding);
    uint8_t* o = out.data();

    // All groups but the last carry no padding; the check for invalid
    // characters is folded into one test per stretch instead of one per group.
    // Stores are wider than the bytes they carry; what they write past a
    // group is overwritten by the following groups, which always exist.
    uint32_t bad = 0;
    size_t k = 0;
    for (; k + 3 < groups; k += 2, s += 8, o += 6) {
        const uint32_t g0 = group(s), g1 = group(s + 4);
        bad |= g0 | g1;
        const uint64_t bytes = __builtin_bswap64(uint64_t{g0} << 40 | uint64_t{g1} << 16);
        std::memcpy(o, &bytes, 8);
    }
    for (; k + 1 < groups; ++k, s += 4, o += 3) {
        const uint32_t g = group(s);
        bad |= g;
        const uint32_t bytes = __builtin_bswap32(g << 8);
        std::memcpy(o, &bytes, 4);
    }
    if (!valid(bad)) return std::nullopt;

    // The last group: "xx==" or "xxx=" or "xxxx". Padding stands in for "A"
    // in the lookup and is then checked to be exactly where it may be.
    uint8_t last[4] = {s[0], s[1], s[2], s[3]};
    if (padding >= 1) last[3] = 'A';
    if (padding == 2) last[2] = 'A';
    uint32_t g = group(last);
    if (!valid(g)) return std::nullopt;
    o[0] = static_cast<uint8_t>(g >> 16);
    if (padding < 2) o[1] = static_cast<uint8_t>(g >> 8);
    if (padding < 1) o[2] = static_cast<uint8_t>(g);
    return out;
}

}  // namespace quillgate::image
