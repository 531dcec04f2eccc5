#include "schema_parser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <stdexcept>

#include "jet/format.h"

namespace kv::jetmake {
namespace {

using jet::ColumnType;

struct Token {
    enum Kind { Word, Name, Number, Symbol, End } kind;
    std::string text;
    int line;
};

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::vector<Token> tokenize(std::string_view text) {
    std::vector<Token> tokens;
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (text.substr(i, 2) == "--") {
            while (i < text.size() && text[i] != '\n') ++i;
        } else if (c == '[') {
            std::size_t close = text.find(']', i);
            if (close == std::string_view::npos || text.substr(i, close - i).find('\n') != std::string_view::npos)
                throw std::runtime_error("Schema line " + std::to_string(line) + ": a name in [ ] is not closed");
            tokens.push_back({Token::Name, std::string(text.substr(i + 1, close - i - 1)), line});
            i = close + 1;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t end = i;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
            tokens.push_back({Token::Number, std::string(text.substr(i, end - i)), line});
            i = end;
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t end = i;
            // "Memo/Hyperlink" is one type name.
            while (end < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_' || text[end] == '/'))
                ++end;
            tokens.push_back({Token::Word, std::string(text.substr(i, end - i)), line});
            i = end;
        } else if (std::string_view("(),;").find(c) != std::string_view::npos) {
            tokens.push_back({Token::Symbol, std::string(1, c), line});
            ++i;
        } else {
            throw std::runtime_error("Schema line " + std::to_string(line) + ": unexpected character '" +
                                     std::string(1, c) + "'");
        }
    }
    tokens.push_back({Token::End, "", line});
    return tokens;
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    std::vector<jet::TableDesign> schema() {
        while (peek().kind != Token::End) {
            expectWord("CREATE");
            if (acceptWord("TABLE")) {
                table();
            } else {
                bool unique = acceptWord("UNIQUE");
                expectWord("INDEX");
                index(unique);
            }
            acceptSymbol(";");
        }
        for (const auto& table : tables_) jet::validateDesign(table);
        return std::move(tables_);
    }

private:
    const Token& peek() const { return tokens_[position_]; }
    const Token& take() { return tokens_[position_ < tokens_.size() - 1 ? position_++ : position_]; }

    [[noreturn]] void fail(const std::string& expected) const {
        const Token& token = peek();
        std::string found = token.kind == Token::End ? "the end of the schema" : "\"" + token.text + "\"";
        throw std::runtime_error("Schema line " + std::to_string(token.line) + ": expected " + expected + ", found " +
                                 found);
    }

    bool isWord(const char* word) const { return peek().kind == Token::Word && upper(peek().text) == word; }
    bool acceptWord(const char* word) {
        if (!isWord(word)) return false;
        take();
        return true;
    }
    void expectWord(const char* word) {
        if (!acceptWord(word)) fail(word);
    }
    bool acceptSymbol(const char* symbol) {
        if (peek().kind != Token::Symbol || peek().text != symbol) return false;
        take();
        return true;
    }
    void expectSymbol(const char* symbol) {
        if (!acceptSymbol(symbol)) fail(std::string("\"") + symbol + "\"");
    }
    std::string name(const char* what) {
        if (peek().kind != Token::Name && peek().kind != Token::Word) fail(what);
        return take().text;
    }
    std::uint16_t number(const char* what) {
        if (peek().kind != Token::Number) fail(what);
        const std::string& text = take().text;
        unsigned value = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || value > 0xffff) fail(what);
        return static_cast<std::uint16_t>(value);
    }
    // "(n)" or "(p, s)" after a type name; absent sizes stay 0.
    std::vector<std::uint16_t> sizes(std::size_t most) {
        std::vector<std::uint16_t> values;
        if (!acceptSymbol("(")) return values;
        do values.push_back(number("a size"));
        while (values.size() < most && acceptSymbol(","));
        expectSymbol(")");
        return values;
    }

    void table() {
        jet::TableDesign design;
        design.name = name("a table name");
        for (const auto& existing : tables_)
            if (upper(existing.name) == upper(design.name)) fail("a table name not used before");
        expectSymbol("(");
        do design.columns.push_back(column());
        while (acceptSymbol(","));
        expectSymbol(")");
        tables_.push_back(std::move(design));
    }

    jet::ColumnDesign column() {
        std::string columnName = name("a column name");
        int line = peek().line;
        bool autonumber = false;
        ColumnType type;
        std::uint16_t size = 0;
        std::uint8_t precision = 18, scale = 0;
        if (acceptWord("TEXT")) {
            type = ColumnType::Text;
            auto s = sizes(1);
            size = s.empty() ? jet::format::tdef::column::kMaxTextCharacters : s[0];
        } else if (acceptWord("MEMO") || acceptWord("MEMO/HYPERLINK") || acceptWord("HYPERLINK")) {
            type = ColumnType::Memo;
            sizes(1);  // mdb-schema prints a size Access does not keep
        } else if (acceptWord("OLE")) {
            type = ColumnType::Ole;
            sizes(1);
        } else if (acceptWord("BINARY")) {
            type = ColumnType::Binary;
            auto s = sizes(1);
            size = s.empty() ? 2 * jet::format::tdef::column::kMaxTextCharacters : s[0];
        } else if (acceptWord("BYTE")) {
            type = ColumnType::Byte;
        } else if (acceptWord("INTEGER")) {
            type = ColumnType::Integer;
        } else if (acceptWord("LONG")) {
            expectWord("INTEGER");
            type = ColumnType::Long;
        } else if (acceptWord("AUTONUMBER") || acceptWord("COUNTER")) {
            type = ColumnType::Long;
            autonumber = true;
        } else if (acceptWord("SINGLE")) {
            type = ColumnType::Single;
        } else if (acceptWord("DOUBLE")) {
            type = ColumnType::Double;
        } else if (acceptWord("CURRENCY")) {
            type = ColumnType::Currency;
        } else if (acceptWord("DATETIME")) {
            type = ColumnType::DateTime;
        } else if (acceptWord("BOOLEAN")) {
            type = ColumnType::Boolean;
        } else if (acceptWord("REPLICATION")) {
            expectWord("ID");
            type = ColumnType::Guid;
        } else if (acceptWord("NUMERIC")) {
            type = ColumnType::Numeric;
            auto s = sizes(2);
            if (!s.empty()) precision = static_cast<std::uint8_t>(std::min<std::uint16_t>(s[0], 28));
            if (s.size() > 1) scale = static_cast<std::uint8_t>(std::min<std::uint16_t>(s[1], 28));
        } else {
            fail("a column type");
        }
        bool required = false;
        for (;;) {
            if (acceptWord("NOT")) {
                expectWord("NULL");
                required = true;
            } else if (acceptWord("AUTOINCREMENT")) {
                autonumber = true;
            } else {
                break;
            }
        }
        try {
            jet::ColumnDesign design = jet::userColumn(columnName, type, size, required, autonumber);
            if (type == ColumnType::Numeric) {
                design.precision = precision;
                design.scale = scale;
            }
            return design;
        } catch (const std::exception& error) {
            throw std::runtime_error("Schema line " + std::to_string(line) + ": " + error.what());
        }
    }

    void index(bool unique) {
        jet::IndexDesign design;
        design.name = name("an index name");
        design.unique = unique;
        expectWord("ON");
        std::string tableName = name("a table name");
        auto table = std::find_if(tables_.begin(), tables_.end(),
                                  [&](const jet::TableDesign& t) { return upper(t.name) == upper(tableName); });
        if (table == tables_.end()) fail("a table created above");
        expectSymbol("(");
        do {
            jet::IndexColumnDesign column{name("a column name"), false};
            if (acceptWord("DESC"))
                column.descending = true;
            else
                acceptWord("ASC");
            design.columns.push_back(std::move(column));
        } while (acceptSymbol(","));
        expectSymbol(")");
        if (acceptWord("WITH")) {
            if (acceptWord("PRIMARY")) {
                design.primaryKey = design.unique = design.required = true;
            } else if (acceptWord("IGNORE")) {
                expectWord("NULL");
                design.ignoreNulls = true;
            } else if (acceptWord("DISALLOW")) {
                expectWord("NULL");
                design.required = true;
            } else {
                fail("PRIMARY, IGNORE NULL or DISALLOW NULL");
            }
        }
        table->indexes.push_back(std::move(design));
    }

    std::vector<Token> tokens_;
    std::size_t position_ = 0;
    std::vector<jet::TableDesign> tables_;
};

}  // namespace

std::vector<jet::TableDesign> parseSchema(std::string_view text) { return Parser(tokenize(text)).schema(); }

}  // namespace kv::jetmake
