#include "cimv2/core/Wql.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "cimv2/core/WbemError.h"

namespace cimv2 {

struct WqlLiteral {
    enum class Kind { Null, Text, Number, Bool } kind = Kind::Null;
    std::string text;
    double number = 0;
    bool isInteger = false;
    int64_t integer = 0;
    bool boolean = false;
};

enum class WqlOp { Eq, Ne, Lt, Gt, Le, Ge, Like, IsNull, IsNotNull };

struct WqlExpr {
    enum class Kind { And, Or, Not, Compare } kind = Kind::Compare;
    std::shared_ptr<WqlExpr> left, right;  // And/Or use both, Not uses left
    std::string property;
    int index = -1;  // bound property index
    WqlOp op = WqlOp::Eq;
    WqlLiteral literal;
};

namespace {

[[noreturn]] void SyntaxError(const std::string& what, size_t pos) {
    throw WbemError(wbem::InvalidQuery, "Invalid query: " + what + " at position " + std::to_string(pos + 1));
}

struct Token {
    enum class Kind { End, Ident, String, Number, Symbol } kind = Kind::End;
    std::string text;
    size_t pos = 0;
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : FText(text) {}

    std::vector<Token> Run() {
        std::vector<Token> tokens;
        for (;;) {
            while (FPos < FText.size() && std::isspace(static_cast<unsigned char>(FText[FPos]))) ++FPos;
            Token tok;
            tok.pos = FPos;
            if (FPos >= FText.size()) {
                tokens.push_back(tok);
                return tokens;
            }
            char c = FText[FPos];
            if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                size_t start = FPos;
                while (FPos < FText.size() &&
                       (std::isalnum(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '_'))
                    ++FPos;
                tok.kind = Token::Kind::Ident;
                tok.text = std::string(FText.substr(start, FPos - start));
            } else if (c == '"' || c == '\'') {
                tok.kind = Token::Kind::String;
                tok.text = ReadString(c);
            } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                       ((c == '-' || c == '+' || c == '.') && FPos + 1 < FText.size() &&
                        (std::isdigit(static_cast<unsigned char>(FText[FPos + 1])) || FText[FPos + 1] == '.'))) {
                size_t start = FPos;
                ++FPos;
                while (FPos < FText.size() &&
                       (std::isalnum(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '.' ||
                        ((FText[FPos] == '-' || FText[FPos] == '+') &&
                         (FText[FPos - 1] == 'e' || FText[FPos - 1] == 'E'))))
                    ++FPos;
                tok.kind = Token::Kind::Number;
                tok.text = std::string(FText.substr(start, FPos - start));
            } else {
                static const char* const twoChar[] = {"<>", "!=", "<=", ">="};
                tok.kind = Token::Kind::Symbol;
                for (const char* sym : twoChar) {
                    if (FText.substr(FPos, 2) == sym) {
                        tok.text = sym;
                        break;
                    }
                }
                if (tok.text.empty()) {
                    if (std::string_view("=<>(),*").find(c) == std::string_view::npos)
                        SyntaxError(std::string("unexpected character '") + c + "'", FPos);
                    tok.text = std::string(1, c);
                }
                FPos += tok.text.size();
            }
            tokens.push_back(std::move(tok));
        }
    }

private:
    std::string ReadString(char quote) {
        size_t start = FPos++;
        std::string out;
        while (FPos < FText.size()) {
            char c = FText[FPos++];
            if (c == quote) return out;
            if (c == '\\') {
                if (FPos >= FText.size()) break;
                out += FText[FPos++];
            } else {
                out += c;
            }
        }
        SyntaxError("unterminated string", start);
    }

    std::string_view FText;
    size_t FPos = 0;
};

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : FTokens(std::move(tokens)) {}

    WqlQuery Run() {
        WqlQuery query;
        ExpectKeyword("SELECT");
        if (Peek().kind == Token::Kind::Symbol && Peek().text == "*") {
            Next();
        } else {
            query.properties.push_back(ExpectIdent("property name"));
            while (IsSymbol(",")) {
                Next();
                query.properties.push_back(ExpectIdent("property name"));
            }
        }
        ExpectKeyword("FROM");
        query.className = ExpectIdent("class name");
        if (IsKeyword("WHERE")) {
            Next();
            query.where = ParseOr();
        }
        if (Peek().kind != Token::Kind::End) SyntaxError("unexpected '" + Peek().text + "'", Peek().pos);
        return query;
    }

private:
    const Token& Peek() const { return FTokens[FPos]; }
    const Token& Next() {
        const Token& tok = FTokens[FPos];
        if (FPos + 1 < FTokens.size()) ++FPos;
        return tok;
    }
    bool IsKeyword(const char* word) const {
        return Peek().kind == Token::Kind::Ident && EqualsNoCase(Peek().text, word);
    }
    bool IsSymbol(const char* sym) const { return Peek().kind == Token::Kind::Symbol && Peek().text == sym; }
    void ExpectKeyword(const char* word) {
        if (!IsKeyword(word)) SyntaxError(std::string("expected ") + word, Peek().pos);
        Next();
    }
    std::string ExpectIdent(const char* what) {
        if (Peek().kind != Token::Kind::Ident || IsReserved(Peek().text))
            SyntaxError(std::string("expected ") + what, Peek().pos);
        return Next().text;
    }
    static bool IsReserved(const std::string& word) {
        for (const char* r : {"SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "LIKE", "IS", "NULL"})
            if (EqualsNoCase(word, r)) return true;
        return false;
    }

    std::shared_ptr<WqlExpr> Binary(WqlExpr::Kind kind, std::shared_ptr<WqlExpr> l, std::shared_ptr<WqlExpr> r) {
        auto e = std::make_shared<WqlExpr>();
        e->kind = kind;
        e->left = std::move(l);
        e->right = std::move(r);
        return e;
    }

    std::shared_ptr<WqlExpr> ParseOr() {
        auto left = ParseAnd();
        while (IsKeyword("OR")) {
            Next();
            left = Binary(WqlExpr::Kind::Or, left, ParseAnd());
        }
        return left;
    }
    std::shared_ptr<WqlExpr> ParseAnd() {
        auto left = ParseNot();
        while (IsKeyword("AND")) {
            Next();
            left = Binary(WqlExpr::Kind::And, left, ParseNot());
        }
        return left;
    }
    std::shared_ptr<WqlExpr> ParseNot() {
        if (IsKeyword("NOT")) {
            Next();
            if (++FDepth > 200) SyntaxError("expression nested too deeply", Peek().pos);
            auto e = Binary(WqlExpr::Kind::Not, ParseNot(), nullptr);
            --FDepth;
            return e;
        }
        return ParsePrimary();
    }
    std::shared_ptr<WqlExpr> ParsePrimary() {
        if (IsSymbol("(")) {
            size_t pos = Next().pos;
            if (++FDepth > 200) SyntaxError("expression nested too deeply", pos);
            auto e = ParseOr();
            --FDepth;
            if (!IsSymbol(")")) SyntaxError("expected ')'", Peek().pos);
            Next();
            return e;
        }
        auto e = std::make_shared<WqlExpr>();
        e->kind = WqlExpr::Kind::Compare;
        if (Peek().kind == Token::Kind::Ident && !IsReserved(Peek().text)) {
            e->property = Next().text;
            if (IsKeyword("IS")) {
                Next();
                bool negate = false;
                if (IsKeyword("NOT")) {
                    Next();
                    negate = true;
                }
                ExpectKeyword("NULL");
                e->op = negate ? WqlOp::IsNotNull : WqlOp::IsNull;
                return e;
            }
            if (IsKeyword("LIKE")) {
                Next();
                e->op = WqlOp::Like;
                e->literal = ParseLiteral();
                if (e->literal.kind != WqlLiteral::Kind::Text) SyntaxError("LIKE needs a string", Peek().pos);
                return e;
            }
            e->op = ParseOperator(false);
            e->literal = ParseLiteral();
        } else {
            // A literal on the left: "5 < Prop" reads as "Prop > 5".
            e->literal = ParseLiteral();
            e->op = ParseOperator(true);
            e->property = ExpectIdent("property name");
        }
        if (e->literal.kind == WqlLiteral::Kind::Null) {
            if (e->op == WqlOp::Eq)
                e->op = WqlOp::IsNull;
            else if (e->op == WqlOp::Ne)
                e->op = WqlOp::IsNotNull;
        }
        return e;
    }
    WqlOp ParseOperator(bool mirrored) {
        if (Peek().kind != Token::Kind::Symbol) SyntaxError("expected a comparison operator", Peek().pos);
        const std::string& s = Next().text;
        if (s == "=") return WqlOp::Eq;
        if (s == "<>" || s == "!=") return WqlOp::Ne;
        if (s == "<") return mirrored ? WqlOp::Gt : WqlOp::Lt;
        if (s == ">") return mirrored ? WqlOp::Lt : WqlOp::Gt;
        if (s == "<=") return mirrored ? WqlOp::Ge : WqlOp::Le;
        if (s == ">=") return mirrored ? WqlOp::Le : WqlOp::Ge;
        SyntaxError("expected a comparison operator", FTokens[FPos - 1].pos);
    }
    WqlLiteral ParseLiteral() {
        WqlLiteral lit;
        const Token& tok = Peek();
        if (tok.kind == Token::Kind::String) {
            lit.kind = WqlLiteral::Kind::Text;
            lit.text = Next().text;
        } else if (tok.kind == Token::Kind::Number) {
            lit.kind = WqlLiteral::Kind::Number;
            lit.text = tok.text;
            const char* begin = tok.text.c_str();
            char* end = nullptr;
            errno = 0;
            long long asInt = std::strtoll(begin, &end, 0);
            if (*end == '\0' && errno == 0) {
                lit.isInteger = true;
                lit.integer = asInt;
                lit.number = static_cast<double>(asInt);
            } else {
                if (!ParseReal(tok.text, lit.number) || !std::isfinite(lit.number))
                    SyntaxError("bad number '" + tok.text + "'", tok.pos);
            }
            Next();
        } else if (tok.kind == Token::Kind::Ident &&
                   (EqualsNoCase(tok.text, "TRUE") || EqualsNoCase(tok.text, "FALSE"))) {
            lit.kind = WqlLiteral::Kind::Bool;
            lit.boolean = EqualsNoCase(tok.text, "TRUE");
            Next();
        } else if (tok.kind == Token::Kind::Ident && EqualsNoCase(tok.text, "NULL")) {
            lit.kind = WqlLiteral::Kind::Null;
            Next();
        } else {
            SyntaxError("expected a value", tok.pos);
        }
        return lit;
    }

    std::vector<Token> FTokens;
    size_t FPos = 0;
    int FDepth = 0;
};

std::shared_ptr<WqlExpr> Bind(const std::shared_ptr<const WqlExpr>& expr, const ClassSchema& schema) {
    if (!expr) return nullptr;
    auto out = std::make_shared<WqlExpr>(*expr);
    if (expr->kind == WqlExpr::Kind::Compare) {
        out->index = schema.IndexOf(expr->property);
        if (out->index < 0)
            throw WbemError(wbem::InvalidQuery,
                            "Invalid query: " + expr->property + " is not a property of " + schema.Name());
    }
    out->left = Bind(expr->left, schema);
    out->right = Bind(expr->right, schema);
    return out;
}

int Sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

// Three-way comparison of a value with a literal; nothing when they do not compare.
std::optional<int> CompareValue(const Value& v, const WqlLiteral& lit) {
    using K = Value::Kind;
    switch (v.kind) {
        case K::Text:
            if (lit.kind == WqlLiteral::Kind::Null || lit.kind == WqlLiteral::Kind::Bool) return std::nullopt;
            {
                std::string a = Lower(v.text), b = Lower(lit.text);
                return a < b ? -1 : a > b ? 1 : 0;
            }
        case K::Bool: {
            bool other;
            if (lit.kind == WqlLiteral::Kind::Bool)
                other = lit.boolean;
            else if (lit.kind == WqlLiteral::Kind::Number)
                other = lit.number != 0;
            else if (lit.kind == WqlLiteral::Kind::Text &&
                     (EqualsNoCase(lit.text, "true") || EqualsNoCase(lit.text, "false")))
                other = EqualsNoCase(lit.text, "true");
            else
                return std::nullopt;
            return static_cast<int>(v.b) - static_cast<int>(other);
        }
        case K::Int:
        case K::UInt:
        case K::Real: {
            double number;
            bool exactInt = false;
            int64_t integer = 0;
            if (lit.kind == WqlLiteral::Kind::Number) {
                number = lit.number;
                exactInt = lit.isInteger;
                integer = lit.integer;
            } else if (lit.kind == WqlLiteral::Kind::Text) {
                if (!ParseReal(lit.text, number)) return std::nullopt;
            } else if (lit.kind == WqlLiteral::Kind::Bool) {
                number = lit.boolean ? 1 : 0;
            } else {
                return std::nullopt;
            }
            if (exactInt && v.kind == K::Int) return v.i < integer ? -1 : v.i > integer ? 1 : 0;
            if (exactInt && v.kind == K::UInt) {
                if (integer < 0) return 1;
                auto u = static_cast<uint64_t>(integer);
                return v.u < u ? -1 : v.u > u ? 1 : 0;
            }
            double mine = v.kind == K::Int    ? static_cast<double>(v.i)
                          : v.kind == K::UInt ? static_cast<double>(v.u)
                                              : v.r;
            return Sign(mine - number);
        }
        case K::Null:
        case K::Array:
            return std::nullopt;
    }
    return std::nullopt;
}

bool Evaluate(const WqlExpr& e, const Instance& inst) {
    switch (e.kind) {
        case WqlExpr::Kind::And:
            return Evaluate(*e.left, inst) && Evaluate(*e.right, inst);
        case WqlExpr::Kind::Or:
            return Evaluate(*e.left, inst) || Evaluate(*e.right, inst);
        case WqlExpr::Kind::Not:
            return !Evaluate(*e.left, inst);
        case WqlExpr::Kind::Compare:
            break;
    }
    const Value& v = inst.values[static_cast<size_t>(e.index)];
    switch (e.op) {
        case WqlOp::IsNull:
            return v.IsNull();
        case WqlOp::IsNotNull:
            return !v.IsNull();
        case WqlOp::Like:
            return !v.IsNull() && v.kind != Value::Kind::Array && WqlLike(v.ToText(), e.literal.text);
        default:
            break;
    }
    auto cmp = CompareValue(v, e.literal);
    if (!cmp) return false;
    switch (e.op) {
        case WqlOp::Eq:
            return *cmp == 0;
        case WqlOp::Ne:
            return *cmp != 0;
        case WqlOp::Lt:
            return *cmp < 0;
        case WqlOp::Gt:
            return *cmp > 0;
        case WqlOp::Le:
            return *cmp <= 0;
        case WqlOp::Ge:
            return *cmp >= 0;
        default:
            return false;
    }
}

char Fold(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

WqlQuery ParseWql(std::string_view text) {
    if (text.size() > 65536) throw WbemError(wbem::InvalidQuery, "Invalid query: query text too long");
    return Parser(Lexer(text).Run()).Run();
}

BoundQuery::BoundQuery(const WqlQuery& query, const ClassSchema& schema)
    : FSchema(&schema), FSelectsAll(query.properties.empty()), FWhere(Bind(query.where, schema)) {
    if (FSelectsAll) {
        for (size_t n = 0; n < schema.Properties().size(); ++n) FSelected.push_back(static_cast<int>(n));
        return;
    }
    for (const auto& name : query.properties) {
        int index = schema.IndexOf(name);
        if (index < 0)
            throw WbemError(wbem::InvalidQuery, "Invalid query: " + name + " is not a property of " + schema.Name());
        FSelected.push_back(index);
    }
}

bool BoundQuery::Matches(const Instance& instance) const { return !FWhere || Evaluate(*FWhere, instance); }

bool WqlLike(std::string_view text, std::string_view pattern) {
    // Iterative matcher with one backtrack point for the last '%'.
    size_t t = 0, p = 0, starP = std::string_view::npos, starT = 0;
    auto matchOne = [&](size_t& pp, char c) -> bool {
        char pc = pattern[pp];
        if (pc == '_') {
            ++pp;
            return true;
        }
        if (pc == '[') {
            size_t close = pattern.find(']', pp + 1);
            if (close != std::string_view::npos) {
                std::string_view set = pattern.substr(pp + 1, close - pp - 1);
                bool negate = !set.empty() && set[0] == '^';
                if (negate) set.remove_prefix(1);
                bool found = false;
                for (size_t k = 0; k < set.size(); ++k) {
                    if (k + 2 < set.size() && set[k + 1] == '-') {
                        if (Fold(c) >= Fold(set[k]) && Fold(c) <= Fold(set[k + 2])) found = true;
                        k += 2;
                    } else if (Fold(set[k]) == Fold(c)) {
                        found = true;
                    }
                }
                pp = close + 1;
                return found != negate;
            }
        }
        ++pp;
        return Fold(pc) == Fold(c);
    };
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            starP = p++;
            starT = t;
            continue;
        }
        size_t pp = p;
        if (p < pattern.size() && matchOne(pp, text[t])) {
            p = pp;
            ++t;
            continue;
        }
        if (starP == std::string_view::npos) return false;
        p = starP + 1;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == '%') ++p;
    return p == pattern.size();
}

std::string QuoteWqlString(std::string_view value) {
    std::string out = "\"";
    for (char c : value) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace cimv2
