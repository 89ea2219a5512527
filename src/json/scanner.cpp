#include "json/scanner.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillgate::json {

namespace {

// simdjson refuses a document once its non-empty containers nest this deep.
constexpr int depthLimit = 1024;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool special(unsigned char c) { return c == '"' || c == '\\' || c < 0x20; }

// The first quote, backslash or control character from p on, many bytes at
// a time: reference pictures arrive as strings of megabytes. When only
// checking (`passSolidus`), a backslash followed by a solidus is passed over
// as well, since that escape is always valid and a picture's Base64 has one
// every 64 characters. Every backslash reached is the start of an escape:
// the scan starts between characters and stops at any other escape.
const char* nextSpecial(const char* p, const char* end, bool passSolidus) {
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"'), backslash = _mm_set1_epi8('\\'), solidus = _mm_set1_epi8('/');
    // Bytes below 0x20 as unsigned, compared signed with the top bits flipped.
    const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i space = _mm_xor_si128(_mm_set1_epi8(0x20), flip);
    for (; end - p > 16; p += 16) {  // one byte more, for the character after a backslash
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i escapes = _mm_cmpeq_epi8(bytes, backslash);
        if (passSolidus) {
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
            escapes = _mm_andnot_si128(_mm_cmpeq_epi8(next, solidus), escapes);
        }
        const __m128i found = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, quote), escapes),
                                           _mm_cmplt_epi8(_mm_xor_si128(bytes, flip), space));
        if (const int mask = _mm_movemask_epi8(found)) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#else
    (void)passSolidus;
#endif
    constexpr uint64_t ones = 0x0101010101010101, highs = 0x8080808080808080;
    for (; end - p >= 8; p += 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        const uint64_t quote = word ^ (ones * '"'), backslash = word ^ (ones * '\\');
        const uint64_t found = ((quote - ones) & ~quote) | ((backslash - ones) & ~backslash) | ((word - ones * 0x20) & ~word);
        if (!(found & highs)) continue;
        for (int i = 0; i < 8; ++i) {
            if (special(static_cast<unsigned char>(p[i]))) return p + i;
        }
    }
    while (p < end && !special(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// The closing quote of a string whose text was checked, from its first
// character `first` on: a quote closes it when an even number of
// backslashes stands right before it, since those pair up as escapes.
const char* closingQuote(const char* first, const char* end) {
    for (const char* p = first; p < end;) {
        const auto* quote = static_cast<const char*>(std::memchr(p, '"', static_cast<size_t>(end - p)));
        if (!quote) break;
        const char* run = quote;
        while (run > first && run[-1] == '\\') --run;
        if ((quote - run) % 2 == 0) return quote;
        p = quote + 1;
    }
    return end;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// A number with a fraction or an exponent, which must not round to infinity
// (underflow is kept, as zero or a subnormal). The text is already a JSON
// number, so strtod reads exactly it; the program never changes the C
// locale, so the decimal point is '.'. strtod and not from_chars: the C++
// library of the macOS toolchains has no floating-point from_chars.
bool decimal(const char* first, const char* last, double* out) {
    const auto length = static_cast<size_t>(last - first);
    char shortCopy[64];
    std::string longCopy;
    const char* text = shortCopy;
    if (length < sizeof shortCopy) {
        std::memcpy(shortCopy, first, length);
        shortCopy[length] = '\0';
    } else {
        longCopy.assign(first, last);
        text = longCopy.c_str();
    }
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end != text + length || std::isinf(value)) return false;
    if (out) *out = value;
    return true;
}

// A string at least this long is left on the text: pictures are, whose
// bytes are then decoded from the text itself without an unescaped copy.
constexpr size_t unreadStringBytes = 256;

Value readUnread(std::string_view text) { return Scanner(text).build(); }

void eachUnreadElement(std::string_view text, const std::function<bool(const Value&)>& visit) {
    Scanner(text).eachElement(visit);
}

constexpr UnreadJson::Reading unreadReading{&readUnread, &eachUnreadElement};

}  // namespace

void Scanner::skipSpace() {
    while (p_ < end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t')) ++p_;
}

std::optional<std::string_view> Scanner::document() {
    skipSpace();
    const char* start = p_;
    if (!value(0)) return std::nullopt;
    const std::string_view root(start, static_cast<size_t>(p_ - start));
    skipSpace();
    if (p_ != end_) return std::nullopt;
    return root;
}

Value Scanner::unread(std::string_view text) { return UnreadJson{text, &unreadReading}; }

bool Scanner::value(int depth) {
    switch (peek()) {
    case '{':
        return container(depth, '}');
    case '[':
        return container(depth, ']');
    case '"':
        return string(nullptr);
    case 't':
        return literal("true");
    case 'f':
        return literal("false");
    case 'n':
        return literal("null");
    default:
        return number(nullptr);
    }
}

bool Scanner::container(int depth, char closing) {
    ++p_;
    skipSpace();
    if (peek() == closing) {
        ++p_;
        return true;  // an empty container does not count toward the depth
    }
    if (++depth >= depthLimit) return false;
    for (;;) {
        if (closing == '}') {
            if (peek() != '"' || !string(nullptr)) return false;
            skipSpace();
            if (peek() != ':') return false;
            ++p_;
            skipSpace();
        }
        if (!value(depth)) return false;
        skipSpace();
        const char next = peek();
        if (next == closing) {
            ++p_;
            return true;
        }
        if (next != ',') return false;
        ++p_;
        skipSpace();
    }
}

bool Scanner::string(std::string* out) {
    ++p_;
    for (;;) {
        const char* run = p_;
        p_ = nextSpecial(p_, end_, out == nullptr);
        if (out) out->append(run, p_);
        if (p_ == end_) return false;
        const char c = *p_++;
        if (c == '"') return true;
        if (c != '\\' || p_ == end_) return false;  // a raw control character, or the text ends
        const char escape = *p_++;
        char plain = 0;
        switch (escape) {
        case '"': case '\\': case '/': plain = escape; break;
        case 'b': plain = '\b'; break;
        case 'f': plain = '\f'; break;
        case 'n': plain = '\n'; break;
        case 'r': plain = '\r'; break;
        case 't': plain = '\t'; break;
        case 'u': break;
        default: return false;
        }
        if (plain) {
            if (out) out->push_back(plain);
            continue;
        }
        auto hex4 = [&]() -> int {
            if (end_ - p_ < 4) return -1;
            int code = 0;
            for (int i = 0; i < 4; ++i) {
                const int digit = hexDigit(p_[i]);
                if (digit < 0) return -1;
                code = code * 16 + digit;
            }
            p_ += 4;
            return code;
        };
        int code = hex4();
        if (code < 0 || (code >= 0xDC00 && code <= 0xDFFF)) return false;
        if (code >= 0xD800 && code <= 0xDBFF) {
            // A high surrogate stands only with its low half right after it.
            if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u') return false;
            p_ += 2;
            const int low = hex4();
            if (low < 0xDC00 || low > 0xDFFF) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        if (out) appendUtf8(*out, static_cast<uint32_t>(code));
    }
}

bool Scanner::number(double* out) {
    const char* start = p_;
    const bool negative = peek() == '-';
    if (negative) ++p_;
    const char* digits = p_;
    if (peek() == '0') {
        ++p_;
    } else if (isDigit(peek())) {
        while (isDigit(peek())) ++p_;
    } else {
        return false;
    }
    const char* integerEnd = p_;
    bool integral = true;
    if (peek() == '.') {
        ++p_;
        if (!isDigit(peek())) return false;
        while (isDigit(peek())) ++p_;
        integral = false;
    }
    if (peek() == 'e' || peek() == 'E') {
        ++p_;
        if (peek() == '+' || peek() == '-') ++p_;
        if (!isDigit(peek())) return false;
        while (isDigit(peek())) ++p_;
        integral = false;
    }
    if (!integral) return decimal(start, p_, out);
    // An integer beyond 64 bits (signed when negative) is read as the nearest
    // double, as a number with a fraction is: the writer prints large
    // integral numbers in full, and a line the program writes must read back.
    uint64_t magnitude = 0;
    for (const char* d = digits; d < integerEnd; ++d) {
        const uint64_t digit = static_cast<uint64_t>(*d - '0');
        if (magnitude > (UINT64_MAX - digit) / 10) return decimal(start, p_, out);
        magnitude = magnitude * 10 + digit;
    }
    constexpr uint64_t mostNegative = uint64_t{1} << 63;
    if (negative && magnitude > mostNegative) return decimal(start, p_, out);
    if (out) {
        if (!negative) *out = static_cast<double>(magnitude);
        else if (magnitude == mostNegative) *out = static_cast<double>(INT64_MIN);
        else *out = static_cast<double>(-static_cast<int64_t>(magnitude));  // -0 is the integer 0
    }
    return true;
}

bool Scanner::literal(std::string_view word) {
    if (static_cast<size_t>(end_ - p_) < word.size() || std::string_view(p_, word.size()) != word) return false;
    p_ += word.size();
    return true;
}

std::string_view Scanner::span() {
    const char* start = p_;
    value(0);  // checked before: nesting deeper than the limit was refused then
    return {start, static_cast<size_t>(p_ - start)};
}

Value Scanner::read(bool deep) {
    skipSpace();
    switch (peek()) {
    case '{':
    case '[':
        if (deep) return readMembers(true);
        return unread(span());
    case '"': {
        if (!deep) {
            const char* start = p_;
            const char* close = closingQuote(p_ + 1, end_);
            const auto length = static_cast<size_t>(close + 1 - start);
            if (length >= unreadStringBytes) {
                p_ = close + 1;
                return unread({start, length});
            }
        }
        std::string text;
        string(&text);
        return text;
    }
    case 't':
        p_ += 4;
        return true;
    case 'f':
        p_ += 5;
        return false;
    case 'n':
        p_ += 4;
        return nullptr;
    default: {
        double n = 0;
        number(&n);
        return n;
    }
    }
}

template <typename Member>
void Scanner::members(char closing, Member&& member) {
    ++p_;
    skipSpace();
    while (peek() != closing) {
        std::string key;
        if (closing == '}') {
            string(&key);
            skipSpace();
            ++p_;  // the colon
            skipSpace();
        }
        if (!member(key)) return;
        skipSpace();
        if (peek() == ',') ++p_;
        skipSpace();
    }
    ++p_;
}

Value Scanner::build() {
    if (peek() == '"') return read(true);
    return readMembers(false);
}

Value Scanner::readMembers(bool deep) {
    if (peek() == '[') {
        Array array;
        members(']', [&](const std::string&) {
            array.push_back(read(deep));
            return true;
        });
        return array;
    }
    Object object;
    members('}', [&](std::string& key) {
        // A repeated key keeps its last value, as the platform reader does.
        object.insert_or_assign(std::move(key), read(deep));
        return true;
    });
    return object;
}

void Scanner::eachElement(const std::function<bool(const Value&)>& visit) {
    members(']', [&](const std::string&) { return visit(read(false)); });
}

}  // namespace quillgate::json
