#pragma once

// A JSON reader for documents a person edits: every value remembers the line it
// starts on, objects keep their keys in document order (a key given twice stays
// twice, for the caller to refuse), and a syntax error names its line and column
// in Polish.

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tarnik {

struct JsonMember;

struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object };

    Type type = Type::Null;
    int line = 1;  // where the value starts, from 1
    bool boolean = false;
    double number = 0;
    std::string text;                 // a String's characters in UTF-8; a Number as written
    std::vector<JsonValue> items;     // Array
    std::vector<JsonMember> members;  // Object, in document order

    // The first member called `key`, or nullptr.
    const JsonValue* member(const std::string& key) const;
};

// One key and its value of an object. A struct rather than std::pair, which may not
// hold the still incomplete JsonValue.
struct JsonMember {
    std::string key;
    JsonValue value;
};

// Polish, with the place: "wiersz 3, kolumna 14: oczekiwano przecinka lub '}'".
class JsonSyntaxError : public std::runtime_error {
public:
    JsonSyntaxError(int line, int column, const std::string& what);
    int line;
    int column;
};

// Reads one JSON document (UTF-8, an optional byte order mark, white space around).
JsonValue readJson(const std::string& document);

// The characters of a value a message quotes at most: a value of megabytes, or one
// made of control characters, does not flood the terminal.
inline constexpr std::size_t kQuotedValueMax = 40;

// A value written back compactly, for messages: a string in quotes with JSON escapes,
// as comparisons show texts; at most kQuotedValueMax characters, then an ellipsis.
std::string jsonValueText(const JsonValue& value);

}  // namespace tarnik
