// Written by hand because no library at hand is both strict and fast:
// OpenSSL's decoders skip whitespace and are lax about padding, and are slower
// than this. Every picture the program sends or receives passes through here,
// so a table-driven codec working on whole 3-byte / 4-character groups is
// worth its few lines.

#include "image/base64.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The same pairs as JSON string text, where the solidus is written "\/":
// two to four characters each, so a group is stored without a branch.
struct EscapedPairs {
    std::array<uint32_t, 4096> chars{};
    std::array<uint8_t, 4096> lengths{};
};
constexpr EscapedPairs makeEscapedPairs() {
    EscapedPairs pairs;
    for (unsigned i = 0; i < 4096; ++i) {
        uint32_t chars = 0;
        unsigned length = 0;
        for (const unsigned v : {i >> 6, i & 63}) {
            if (alphabet[v] == '/') chars |= uint32_t{'\\'} << (8 * length++);
            chars |= uint32_t{static_cast<uint8_t>(alphabet[v])} << (8 * length++);
        }
        pairs.chars[i] = chars;
        pairs.lengths[i] = static_cast<uint8_t>(length);
    }
    return pairs;
}
constexpr auto escapedPairs = makeEscapedPairs();

// Writes the escaped group at `out` (with up to four bytes of slack after
// it) and returns the end of its text.
inline char* storeEscapedGroup(char* out, uint32_t g) {
    for (const uint32_t pair : {g >> 12, g & 0xFFF}) {
        std::memcpy(out, &escapedPairs.chars[pair], 4);
        out += escapedPairs.lengths[pair];
    }
    return out;
}

// Calls group(g) with each whole 3-byte group of the `n` bytes at `in`, in
// order, as a 24-bit number; returns how many bytes they took.
template <typename Group>
size_t eachGroup(const uint8_t* in, size_t n, Group&& group) {
    size_t i = 0;
    // Two groups from one 8-byte load while at least eight bytes remain.
    for (; i + 8 <= n; i += 6) {
        uint64_t v;
        std::memcpy(&v, in + i, 8);
        v = __builtin_bswap64(v);
        group(static_cast<uint32_t>(v >> 40));
        group(static_cast<uint32_t>(v >> 16) & 0xFFFFFF);
    }
    for (; i + 3 <= n; i += 3) group((uint32_t{in[i]} << 16) | (uint32_t{in[i + 1]} << 8) | in[i + 2]);
    return i;
}

// The last, padded group of one or two bytes.
void storeLastGroup(const uint8_t* in, size_t rest, char* out) {
    uint32_t g = uint32_t{in[0]} << 16;
    if (rest == 2) g |= uint32_t{in[1]} << 8;
    storeGroup(out, g);
    out[3] = '=';
    if (rest == 1) out[2] = '=';
}

}  // namespace

std::string base64Encode(std::span<const uint8_t> bytes) {
    const size_t n = bytes.size();
    std::string out((n + 2) / 3 * 4, '\0');
    char* o = out.data();
    const size_t done = eachGroup(bytes.data(), n, [&](uint32_t g) {
        storeGroup(o, g);
        o += 4;
    });
    if (done < n) storeLastGroup(bytes.data() + done, n - done, o);
    return out;
}

void appendJsonBase64(std::span<const uint8_t> bytes, std::string& out) {
    const size_t n = bytes.size();
    // Slices are encoded into a buffer on the stack that has room for the
    // worst case (every character a solidus) and slack for the wide stores.
    constexpr size_t sliceBytes = 3 * 1024;
    char text[sliceBytes / 3 * 8 + 8];
    size_t i = 0;
    while (n - i >= 3) {
        const size_t slice = std::min(sliceBytes, (n - i) / 3 * 3);
        char* o = text;
        eachGroup(bytes.data() + i, slice, [&](uint32_t g) { o = storeEscapedGroup(o, g); });
        out.append(text, o);
        i += slice;
    }
    if (i < n) {
        char last[4];
        storeLastGroup(bytes.data() + i, n - i, last);
        for (const char c : last) {
            if (c == '/') out.push_back('\\');
            out.push_back(c);
        }
    }
}

namespace {

// Strict decoding of text that may come in pieces. All groups but the last
// carry no padding; the check for invalid characters is folded into one test
// at the end instead of one per group. The last group, or a partial one, is
// held back until the end, when the padding it may carry is checked.
class Decoder {
public:
    // `out` gets room for the bytes of `maxChars` characters, and slack:
    // stores are wider than the bytes they carry, and what they write past a
    // group is overwritten by the following groups or cut at the end.
    Decoder(std::vector<uint8_t>& out, size_t maxChars) : out_(out) {
        out.resize(maxChars / 4 * 3 + 8);
        o_ = out.data();
    }

    void add(const uint8_t* s, size_t n) {
        // The held group is decoded once text follows it.
        const size_t take = std::min(n, 4 - held_);
        std::memcpy(last_ + held_, s, take);
        held_ += take;
        s += take;
        n -= take;
        if (n == 0) return;
        middle(last_, 1);
        const size_t tail = (n - 1) % 4 + 1;
        middle(s, (n - tail) / 4);
        std::memcpy(last_, s + n - tail, tail);
        held_ = tail;
    }

    // Whether the whole text was strict Base64; `out` is then cut to its bytes.
    bool finish() {
        if (held_ == 0) {
            out_.clear();
            return true;
        }
        if (held_ != 4 || !valid(bad_)) return false;
        // The last group: "xx==" or "xxx=" or "xxxx". Padding stands in for
        // "A" in the lookup and is then checked to be exactly where it may be.
        const size_t padding = last_[3] != '=' ? 0 : last_[2] == '=' ? 2 : 1;
        if (padding >= 1) last_[3] = 'A';
        if (padding == 2) last_[2] = 'A';
        const uint32_t g = group(last_);
        if (!valid(g)) return false;
        o_[0] = static_cast<uint8_t>(g >> 16);
        o_[1] = static_cast<uint8_t>(g >> 8);
        o_[2] = static_cast<uint8_t>(g);
        out_.resize(static_cast<size_t>(o_ - out_.data()) + 3 - padding);
        return true;
    }

private:
    void middle(const uint8_t* s, size_t groups) {
        size_t k = 0;
        for (; k + 2 <= groups; k += 2, s += 8, o_ += 6) {
            const uint32_t g0 = group(s), g1 = group(s + 4);
            bad_ |= g0 | g1;
            const uint64_t bytes = __builtin_bswap64(uint64_t{g0} << 40 | uint64_t{g1} << 16);
            std::memcpy(o_, &bytes, 8);
        }
        for (; k < groups; ++k, s += 4, o_ += 3) {
            const uint32_t g = group(s);
            bad_ |= g;
            const uint32_t bytes = __builtin_bswap32(g << 8);
            std::memcpy(o_, &bytes, 4);
        }
    }

    std::vector<uint8_t>& out_;
    uint8_t* o_;
    uint32_t bad_ = 0;
    uint8_t last_[4] = {};
    size_t held_ = 0;
};

}  // namespace

std::optional<std::vector<uint8_t>> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::vector<uint8_t> out;
    Decoder decoder(out, text.size());
    decoder.add(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (!decoder.finish()) return std::nullopt;
    return out;
}

namespace {

// Bit k set when byte k of the 64 at `p` is `c`.
uint64_t matches(const char* p, char c) {
    uint64_t mask = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    for (int k = 0; k < 4; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        mask |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)))} << (16 * k);
    }
#else
    for (int k = 0; k < 64; ++k) mask |= uint64_t{p[k] == c} << k;
#endif
    return mask;
}

}  // namespace

JsonBase64 base64DecodeJson(std::string_view text, std::vector<uint8_t>& out) {
    Decoder decoder(out, text.size());
    // Unescaped a slice at a time into a buffer that stays in cache, so the
    // decoder sees long pieces rather than the runs between escapes. The text
    // goes 64 characters at a time: the pieces between backslashes are copied
    // with whole 64-byte moves (reading at most one block ahead, and writing
    // into the buffer's slack), and whether every backslash is followed by a
    // solidus is gathered in one mask and tested once at the end.
    constexpr size_t slice = 4096, block = 64;
    uint8_t plain[slice + 2 * block];
    size_t used = 0;
    uint64_t stray = 0;    // bits of backslashes not followed by a solidus
    uint64_t pending = 0;  // 1 when the last byte seen was a backslash
    const auto passFull = [&] {
        if (used < slice) return;
        decoder.add(plain, used);
        used = 0;
    };
    const char* p = text.data();
    const char* const end = p + text.size();
    for (; end - p >= static_cast<ptrdiff_t>(2 * block); p += block) {
        passFull();
        const uint64_t backslashes = matches(p, '\\');
        stray |= ((backslashes << 1) | pending) & ~matches(p, '/');
        pending = backslashes >> 63;
        const char* from = p;
        for (uint64_t rest = backslashes; rest != 0; rest &= rest - 1) {
            const char* at = p + std::countr_zero(rest);
            std::memcpy(plain + used, from, block);
            used += static_cast<size_t>(at - from);
            from = at + 1;
        }
        std::memcpy(plain + used, from, block);
        used += static_cast<size_t>(p + block - from);
    }
    passFull();
    for (; p < end; ++p) {
        stray |= pending & (*p != '/');
        pending = *p == '\\';
        if (!pending) plain[used++] = static_cast<uint8_t>(*p);
    }
    if (stray | pending) return JsonBase64::otherEscape;
    decoder.add(plain, used);
    return decoder.finish() ? JsonBase64::decoded : JsonBase64::invalid;
}

}  // namespace quillgate::image
