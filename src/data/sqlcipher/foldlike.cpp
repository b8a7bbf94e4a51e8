#include "data/sqlcipher/foldlike.h"

#include <QChar>
#include <QList>
#include <sqlite3.h>
#include <string>
#include <string_view>

namespace data {

namespace {

// Pattern wildcards, outside the Unicode range so that no character equals them.
constexpr char32_t kAnyRun = 0x110000;
constexpr char32_t kAnyOne = 0x110001;
constexpr char32_t kReplacement = 0xFFFD;

char32_t Fold(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    if (c >= 0xFF01 && c <= 0xFF5E) { // full-width ASCII
        c -= 0xFEE0;
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    }
    return QChar::toCaseFolded(c);
}

// Decodes UTF-8, replacing malformed sequences by U+FFFD.
template <typename Sink> void DecodeUtf8(std::string_view in, Sink&& sink) {
    std::size_t i = 0;
    while (i < in.size()) {
        const auto b = static_cast<unsigned char>(in[i]);
        if (b < 0x80) {
            sink(char32_t(b));
            ++i;
            continue;
        }
        int length = 0;
        char32_t c = 0;
        char32_t min = 0;
        if ((b & 0xE0) == 0xC0) {
            length = 2, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4, c = b & 0x07, min = 0x10000;
        } else {
            sink(kReplacement);
            ++i;
            continue;
        }
        int k = 1;
        for (; k < length && i + k < in.size(); ++k) {
            const auto next = static_cast<unsigned char>(in[i + k]);
            if ((next & 0xC0) != 0x80)
                break;
            c = (c << 6) | (next & 0x3F);
        }
        if (k < length || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            sink(kReplacement);
            i += k;
            continue;
        }
        sink(c);
        i += length;
    }
}

// The folded pattern, with wildcards replaced by kAnyRun / kAnyOne.
std::u32string CompilePattern(std::u32string_view raw, char32_t escape, bool hasEscape) {
    std::u32string compiled;
    compiled.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char32_t c = raw[i];
        if (hasEscape && c == escape && i + 1 < raw.size())
            compiled.push_back(Fold(raw[++i]));
        else if (c == U'%')
            compiled.push_back(kAnyRun);
        else if (c == U'_')
            compiled.push_back(kAnyOne);
        else
            compiled.push_back(Fold(c));
    }
    return compiled;
}

// Wildcard match with backtracking to the last %.
bool Match(std::u32string_view pattern, std::u32string_view text) {
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t star = std::u32string_view::npos;
    std::size_t mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == kAnyOne || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == kAnyRun) {
            star = p++;
            mark = t;
        } else if (star != std::u32string_view::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == kAnyRun)
        ++p;
    return p == pattern.size();
}

std::u32string ToUtf32(const QString& text) {
    std::u32string out;
    const QList<uint> ucs4 = text.toUcs4();
    out.reserve(ucs4.size());
    for (uint c : ucs4)
        out.push_back(char32_t(c));
    return out;
}

struct CachedPattern {
    std::string source;
    std::string escape;
    std::u32string compiled;
};

void DeletePattern(void* p) {
    delete static_cast<CachedPattern*>(p);
}

std::string_view TextOf(sqlite3_value* v) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return text ? std::string_view(text, std::size_t(sqlite3_value_bytes(v))) : std::string_view();
}

void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    // like(pattern, text[, escape]) is how SQLite calls text LIKE pattern [ESCAPE e].
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    const std::string_view rawPattern = TextOf(argv[0]);
    const std::string_view escapeText = argc == 3 ? TextOf(argv[2]) : std::string_view();

    const auto* cached = static_cast<const CachedPattern*>(sqlite3_get_auxdata(ctx, 0));
    CachedPattern local;
    if (!cached || cached->source != rawPattern || cached->escape != escapeText) {
        std::u32string escape;
        DecodeUtf8(escapeText, [&](char32_t c) { escape.push_back(c); });
        if (argc == 3 && escape.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        std::u32string raw;
        DecodeUtf8(rawPattern, [&](char32_t c) { raw.push_back(c); });
        local = {std::string(rawPattern), std::string(escapeText),
                 CompilePattern(raw, argc == 3 ? escape[0] : 0, argc == 3)};
        // Kept for the next row while the pattern argument stays the same.
        sqlite3_set_auxdata(ctx, 0, new CachedPattern(local), DeletePattern);
        cached = &local;
    }
    thread_local std::u32string text;
    text.clear();
    DecodeUtf8(TextOf(argv[1]), [&](char32_t c) { text.push_back(Fold(c)); });
    sqlite3_result_int(ctx, Match(cached->compiled, text) ? 1 : 0);
}

} // namespace

bool LikeMatches(const QString& pattern, const QString& text, QChar escape) {
    const std::u32string compiled =
        CompilePattern(ToUtf32(pattern), escape.unicode(), !escape.isNull());
    std::u32string folded = ToUtf32(text);
    for (char32_t& c : folded)
        c = Fold(c);
    return Match(compiled, folded);
}

int RegisterLike(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_function_v2(db, "like", 2, flags, nullptr, LikeFunction, nullptr,
                                        nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "like", 3, flags, nullptr, LikeFunction, nullptr,
                                        nullptr, nullptr);
    return rc;
}

} // namespace data
