#include "file/json_reader.h"

#include <cmath>
#include <cstdlib>

#include "model/setting_comparison.h"

namespace tarnik {

namespace {

constexpr int kMaxDepth = 64;  // deeper nesting is no settings document

class Reader {
public:
    explicit Reader(const std::string& text) : s_(text)
    {
        if (s_.compare(0, 3, "\xEF\xBB\xBF") == 0)
            pos_ = 3;
    }

    JsonValue document()
    {
        skipSpace();
        JsonValue value = readValue(0);
        skipSpace();
        if (pos_ < s_.size())
            fail("po końcu dokumentu stoi jeszcze tekst");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        // The column counts characters, not bytes: continuation bytes do not count.
        int line = 1;
        int column = 1;
        for (std::size_t i = 0; i < pos_ && i < s_.size(); ++i) {
            const auto c = static_cast<unsigned char>(s_[i]);
            if (c == '\n') {
                ++line;
                column = 1;
            } else if ((c & 0xC0) != 0x80) {
                ++column;
            }
        }
        throw JsonSyntaxError(line, column, what);
    }

    bool atEnd() const { return pos_ >= s_.size(); }
    char peek() const { return atEnd() ? '\0' : s_[pos_]; }

    void skipSpace()
    {
        while (!atEnd()) {
            const char c = s_[pos_];
            if (c == '\n')
                ++line_;
            else if (c != ' ' && c != '\t' && c != '\r')
                return;
            ++pos_;
        }
    }

    void expect(char c, const char* what)
    {
        skipSpace();
        if (peek() != c)
            fail(atEnd() ? std::string("dokument kończy się przedwcześnie, oczekiwano ") + what
                         : std::string("oczekiwano ") + what);
        ++pos_;
    }

    JsonValue readValue(int depth)
    {
        skipSpace();
        if (depth > kMaxDepth)
            fail("zbyt głębokie zagnieżdżenie");
        JsonValue value;
        value.line = line_;
        if (atEnd())
            fail("dokument kończy się przedwcześnie, oczekiwano wartości");
        const char c = peek();
        if (c == '{') {
            readObject(value, depth);
        } else if (c == '[') {
            readArray(value, depth);
        } else if (c == '"') {
            value.type = JsonValue::Type::String;
            value.text = readString();
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            readNumber(value);
        } else if (word("true")) {
            value.type = JsonValue::Type::Bool;
            value.boolean = true;
        } else if (word("false")) {
            value.type = JsonValue::Type::Bool;
        } else if (!word("null")) {
            fail("oczekiwano wartości (liczby, tekstu w cudzysłowie, obiektu, tablicy, true, "
                 "false lub null)");
        }
        return value;
    }

    bool word(const char* w)
    {
        const std::string_view expected(w);
        if (s_.compare(pos_, expected.size(), expected) != 0)
            return false;
        pos_ += expected.size();
        return true;
    }

    void readObject(JsonValue& value, int depth)
    {
        value.type = JsonValue::Type::Object;
        ++pos_;
        skipSpace();
        if (peek() == '}') {
            ++pos_;
            return;
        }
        for (;;) {
            skipSpace();
            if (peek() != '"')
                fail(atEnd() ? "dokument kończy się przedwcześnie, oczekiwano klucza"
                             : "oczekiwano klucza w cudzysłowie");
            std::string key = readString();
            expect(':', "dwukropka po kluczu");
            value.members.push_back(JsonMember{std::move(key), readValue(depth + 1)});
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            expect('}', "przecinka lub '}'");
            return;
        }
    }

    void readArray(JsonValue& value, int depth)
    {
        value.type = JsonValue::Type::Array;
        ++pos_;
        skipSpace();
        if (peek() == ']') {
            ++pos_;
            return;
        }
        for (;;) {
            value.items.push_back(readValue(depth + 1));
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            expect(']', "przecinka lub ']'");
            return;
        }
    }

    void readNumber(JsonValue& value)
    {
        const std::size_t start = pos_;
        const auto digits = [this] {
            const std::size_t from = pos_;
            while (!atEnd() && s_[pos_] >= '0' && s_[pos_] <= '9')
                ++pos_;
            return pos_ - from;
        };
        if (peek() == '-')
            ++pos_;
        if (peek() == '0')
            ++pos_;
        else if (digits() == 0)
            fail("niepoprawna liczba");
        if (peek() == '.') {
            ++pos_;
            if (digits() == 0)
                fail("niepoprawna liczba: brak cyfr po kropce");
        }
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-')
                ++pos_;
            if (digits() == 0)
                fail("niepoprawna liczba: brak cyfr wykładnika");
        }
        value.type = JsonValue::Type::Number;
        value.text = s_.substr(start, pos_ - start);
        value.number = std::strtod(value.text.c_str(), nullptr);
    }

    unsigned hex4()
    {
        unsigned code = 0;
        for (int i = 0; i < 4; ++i, ++pos_) {
            const char c = peek();
            code <<= 4;
            if (c >= '0' && c <= '9')
                code |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                code |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                code |= static_cast<unsigned>(c - 'A' + 10);
            else
                fail("niepoprawna sekwencja \\u: oczekiwano czterech cyfr szesnastkowych");
        }
        return code;
    }

    static void appendUtf8(std::string& out, unsigned code)
    {
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

    // One UTF-8 character copied whole; a malformed sequence is refused.
    void copyUtf8(std::string& out)
    {
        const auto c = static_cast<unsigned char>(s_[pos_]);
        int extra = c < 0x80             ? 0
                    : (c & 0xE0) == 0xC0 ? 1
                    : (c & 0xF0) == 0xE0 ? 2
                    : (c & 0xF8) == 0xF0 ? 3
                                         : -1;
        if (extra < 0 || c == 0xC0 || c == 0xC1 || c > 0xF4)
            fail("tekst nie jest poprawnym UTF-8");
        unsigned code = extra == 0 ? c : c & (0x3Fu >> extra);
        for (int i = 1; i <= extra; ++i) {
            if (pos_ + static_cast<std::size_t>(i) >= s_.size() ||
                (static_cast<unsigned char>(s_[pos_ + i]) & 0xC0) != 0x80)
                fail("tekst nie jest poprawnym UTF-8");
            code = (code << 6) | (static_cast<unsigned char>(s_[pos_ + i]) & 0x3Fu);
        }
        static constexpr unsigned kShortest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kShortest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            fail("tekst nie jest poprawnym UTF-8");
        out.append(s_, pos_, static_cast<std::size_t>(extra) + 1);
        pos_ += static_cast<std::size_t>(extra) + 1;
    }

    std::string readString()
    {
        ++pos_;  // the opening quote
        std::string out;
        for (;;) {
            if (atEnd())
                fail("tekst bez zamykającego cudzysłowu");
            const char c = s_[pos_];
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                fail(c == '\n' ? "tekst bez zamykającego cudzysłowu przed końcem wiersza"
                               : "znak sterujący w tekście (zapisz go jako \\uXXXX)");
            if (c != '\\') {
                copyUtf8(out);
                continue;
            }
            ++pos_;
            const char e = peek();
            ++pos_;
            switch (e) {
            case '"':
                out.push_back('"');
                break;
            case '\\':
                out.push_back('\\');
                break;
            case '/':
                out.push_back('/');
                break;
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'u': {
                unsigned code = hex4();
                if (code >= 0xD800 && code <= 0xDBFF) {
                    if (!word("\\u"))
                        fail("niepełna para zastępcza \\u");
                    const unsigned low = hex4();
                    if (low < 0xDC00 || low > 0xDFFF)
                        fail("niepełna para zastępcza \\u");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    fail("niepełna para zastępcza \\u");
                }
                appendUtf8(out, code);
                break;
            }
            default:
                --pos_;
                fail("nieznana sekwencja ucieczki po '\\'");
            }
        }
    }

    const std::string& s_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

const JsonValue* JsonValue::member(const std::string& key) const
{
    for (const auto& [name, value] : members)
        if (name == key)
            return &value;
    return nullptr;
}

JsonSyntaxError::JsonSyntaxError(int atLine, int atColumn, const std::string& what)
    : std::runtime_error("błąd składni JSON w wierszu " + std::to_string(atLine) + ", kolumnie " +
                         std::to_string(atColumn) + ": " + what),
      line(atLine), column(atColumn)
{
}

JsonValue readJson(const std::string& document)
{
    return Reader(document).document();
}

std::string jsonValueText(const JsonValue& value)
{
    switch (value.type) {
    case JsonValue::Type::Null:
        return "null";
    case JsonValue::Type::Bool:
        return value.boolean ? "true" : "false";
    case JsonValue::Type::Number:
        // As written: digits only, so a cut needs no care for characters.
        return value.text.size() <= kQuotedValueMax ? value.text
                                                    : value.text.substr(0, kQuotedValueMax) + "…";
    case JsonValue::Type::String:
        return quotedText(value.text, kQuotedValueMax);
    case JsonValue::Type::Array:
        return "[...]";
    case JsonValue::Type::Object:
        return "{...}";
    }
    return {};
}

}  // namespace tarnik
