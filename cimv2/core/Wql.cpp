#include "cimv2/core/Wql.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "cimv2/core/SafeText.h"
#include "cimv2/core/WbemError.h"
#include "cimv2/core/WqlNames.h"

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

// A LIKE pattern compiled once: runs of one-character matchers split at
// each '%'. Matching takes time linear in the text: the first run must
// match at the start, the last at the end, and each run between them is
// found at its leftmost place after the one before (KMP for plain text,
// a bit set of positions for runs with '_' or [set]).
class WqlLikePattern {
public:
    explicit WqlLikePattern(std::string_view pattern);
    bool Matches(std::string_view text) const;

private:
    struct Matcher {
        bool literal = true;
        unsigned char folded = 0;  // literal: the folded character
        int set = -1;              // otherwise: index into FSets
    };
    struct Run {
        std::vector<Matcher> matchers;
        bool literal = true;
        std::string folded;           // literal runs: the folded text
        std::vector<size_t> failure;  // literal runs between '%': KMP table
        std::vector<uint64_t> masks;  // other runs between '%': 256 bit sets of positions
        size_t words = 0;
    };

    bool Accepts(const Matcher& m, unsigned char c) const {
        return m.literal ? FFold[c] == m.folded : FSets[static_cast<size_t>(m.set)].test(c);
    }
    bool MatchesAt(const Run& run, std::string_view text, size_t at) const;
    // Where run first matches wholly inside text[from, to); npos when nowhere.
    size_t Find(const Run& run, std::string_view text, size_t from, size_t to) const;

    unsigned char FFold[256];
    std::vector<std::bitset<256>> FSets;
    std::vector<Run> FRuns;  // one more than the number of '%'
};

struct WqlExpr {
    enum class Kind { And, Or, Not, Compare } kind = Kind::Compare;
    // And/Or: two or more operands, one chain of the same operator in one
    // node, so a long chain costs no stack; Not: one operand.
    std::vector<std::shared_ptr<WqlExpr>> operands;
    std::string property;
    int index = -1;  // bound property index
    WqlOp op = WqlOp::Eq;
    WqlLiteral literal;
    std::shared_ptr<const WqlLikePattern> like;  // Like only
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

// A WQL integer: decimal (a leading zero is still decimal) or 0x
// hexadecimal, with an optional sign, within 64 signed bits.
bool ParseInteger(std::string_view text, int64_t& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.front() == '+' || text.front() == '-') return false;
    uint64_t magnitude = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (magnitude > kMax + (negative ? 1 : 0)) return false;
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

// A number literal, or a string compared with a number: an integer as
// above, else a finite decimal real. Never NaN or infinity.
bool ParseNumber(std::string_view text, WqlLiteral& lit) {
    if (ParseInteger(text, lit.integer)) {
        lit.isInteger = true;
        lit.number = static_cast<double>(lit.integer);
        return true;
    }
    lit.isInteger = false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)) && std::string_view("+-.eE").find(c) == std::string_view::npos)
            return false;
    return ParseReal(text, lit.number) && std::isfinite(lit.number);
}

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
                        SyntaxError("unexpected character '" + EscapeControls(std::string_view(&c, 1)) + "'", FPos);
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

    static std::shared_ptr<WqlExpr> Node(WqlExpr::Kind kind, std::shared_ptr<WqlExpr> first) {
        auto e = std::make_shared<WqlExpr>();
        e->kind = kind;
        e->operands.push_back(std::move(first));
        return e;
    }

    // "a OR b OR c" is one node of three operands: the chain is read in a
    // loop, and only parentheses and NOT (bounded by the depth) recurse.
    std::shared_ptr<WqlExpr> ParseOr() {
        auto first = ParseAnd();
        if (!IsKeyword("OR")) return first;
        auto e = Node(WqlExpr::Kind::Or, std::move(first));
        while (IsKeyword("OR")) {
            Next();
            e->operands.push_back(ParseAnd());
        }
        return e;
    }
    std::shared_ptr<WqlExpr> ParseAnd() {
        auto first = ParseNot();
        if (!IsKeyword("AND")) return first;
        auto e = Node(WqlExpr::Kind::And, std::move(first));
        while (IsKeyword("AND")) {
            Next();
            e->operands.push_back(ParseNot());
        }
        return e;
    }
    std::shared_ptr<WqlExpr> ParseNot() {
        if (IsKeyword("NOT")) {
            Next();
            if (++FDepth > 200) SyntaxError("expression nested too deeply", Peek().pos);
            auto e = Node(WqlExpr::Kind::Not, ParseNot());
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
                e->like = std::make_shared<const WqlLikePattern>(e->literal.text);
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
            if (!ParseNumber(tok.text, lit)) SyntaxError("bad number '" + tok.text + "'", tok.pos);
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
    for (auto& operand : out->operands) operand = Bind(operand, schema);
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
                // Strictly a number, or no match: 'nan' or '27 ' never compare.
                WqlLiteral converted;
                if (!ParseNumber(lit.text, converted)) return std::nullopt;
                number = converted.number;
                exactInt = converted.isInteger;
                integer = converted.integer;
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
            for (const auto& operand : e.operands)
                if (!Evaluate(*operand, inst)) return false;
            return true;
        case WqlExpr::Kind::Or:
            for (const auto& operand : e.operands)
                if (Evaluate(*operand, inst)) return true;
            return false;
        case WqlExpr::Kind::Not:
            return !Evaluate(*e.operands.front(), inst);
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
            return !v.IsNull() && v.kind != Value::Kind::Array && e.like->Matches(v.ToText());
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

std::vector<std::string> NamedProperties(const WqlQuery& query) {
    std::vector<std::string> names;
    auto add = [&](const std::string& name) {
        if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return EqualsNoCase(n, name); }))
            names.push_back(name);
    };
    for (const std::string& name : query.properties) add(name);
    // Depth first and left to right, without recursion.
    std::vector<const WqlExpr*> pending;
    if (query.where) pending.push_back(query.where.get());
    while (!pending.empty()) {
        const WqlExpr* expr = pending.back();
        pending.pop_back();
        if (expr->kind == WqlExpr::Kind::Compare) add(expr->property);
        for (auto operand = expr->operands.rbegin(); operand != expr->operands.rend(); ++operand)
            pending.push_back(operand->get());
    }
    return names;
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
        // A name given twice (in any letter case) is one property, as in WMI.
        if (std::find(FSelected.begin(), FSelected.end(), index) == FSelected.end()) FSelected.push_back(index);
    }
}

bool BoundQuery::Matches(const Instance& instance) const { return !FWhere || Evaluate(*FWhere, instance); }

bool WqlLike(std::string_view text, std::string_view pattern) { return WqlLikePattern(pattern).Matches(text); }

WqlLikePattern::WqlLikePattern(std::string_view pattern) {
    for (int c = 0; c < 256; ++c) FFold[c] = static_cast<unsigned char>(Fold(static_cast<char>(c)));
    FRuns.emplace_back();
    size_t p = 0;
    while (p < pattern.size()) {
        char pc = pattern[p];
        if (pc == '%') {
            FRuns.emplace_back();
            ++p;
            continue;
        }
        Matcher m;
        if (pc == '_') {
            m.literal = false;
            m.set = static_cast<int>(FSets.size());
            FSets.emplace_back().set();
            ++p;
        } else if (size_t close = pc == '[' ? pattern.find(']', p + 1) : std::string_view::npos;
                   close != std::string_view::npos) {
            std::string_view set = pattern.substr(p + 1, close - p - 1);
            bool negate = !set.empty() && set[0] == '^';
            if (negate) set.remove_prefix(1);
            std::bitset<256> members;
            for (size_t k = 0; k < set.size(); ++k) {
                if (k + 2 < set.size() && set[k + 1] == '-') {
                    unsigned char low = FFold[static_cast<unsigned char>(set[k])];
                    unsigned char high = FFold[static_cast<unsigned char>(set[k + 2])];
                    for (int c = 0; c < 256; ++c)
                        if (FFold[c] >= low && FFold[c] <= high) members.set(static_cast<size_t>(c));
                    k += 2;
                } else {
                    unsigned char one = FFold[static_cast<unsigned char>(set[k])];
                    for (int c = 0; c < 256; ++c)
                        if (FFold[c] == one) members.set(static_cast<size_t>(c));
                }
            }
            if (negate) members.flip();
            m.literal = false;
            m.set = static_cast<int>(FSets.size());
            FSets.push_back(members);
            p = close + 1;
        } else {
            m.folded = FFold[static_cast<unsigned char>(pc)];
            ++p;
        }
        Run& run = FRuns.back();
        run.matchers.push_back(m);
        if (m.literal)
            run.folded += static_cast<char>(m.folded);
        else
            run.literal = false;
    }
    // The runs between two '%' are searched for; prepare their tables.
    for (size_t r = 1; r + 1 < FRuns.size(); ++r) {
        Run& run = FRuns[r];
        const size_t length = run.matchers.size();
        if (length == 0) continue;
        if (run.literal) {
            run.failure.assign(length, 0);
            for (size_t i = 1, k = 0; i < length; ++i) {
                while (k > 0 && run.folded[i] != run.folded[k]) k = run.failure[k - 1];
                if (run.folded[i] == run.folded[k]) ++k;
                run.failure[i] = k;
            }
        } else {
            run.words = (length + 63) / 64;
            run.masks.assign(256 * run.words, 0);
            for (size_t i = 0; i < length; ++i)
                for (int c = 0; c < 256; ++c)
                    if (Accepts(run.matchers[i], static_cast<unsigned char>(c)))
                        run.masks[static_cast<size_t>(c) * run.words + i / 64] |= uint64_t{1} << (i % 64);
        }
    }
}

bool WqlLikePattern::MatchesAt(const Run& run, std::string_view text, size_t at) const {
    for (size_t i = 0; i < run.matchers.size(); ++i)
        if (!Accepts(run.matchers[i], static_cast<unsigned char>(text[at + i]))) return false;
    return true;
}

size_t WqlLikePattern::Find(const Run& run, std::string_view text, size_t from, size_t to) const {
    const size_t length = run.matchers.size();
    if (run.literal) {
        size_t k = 0;
        for (size_t t = from; t < to; ++t) {
            unsigned char c = FFold[static_cast<unsigned char>(text[t])];
            while (k > 0 && c != static_cast<unsigned char>(run.folded[k])) k = run.failure[k - 1];
            if (c == static_cast<unsigned char>(run.folded[k])) ++k;
            if (k == length) return t + 1 - length;
        }
        return std::string_view::npos;
    }
    // Bit i of the state: the last i + 1 characters match the run's first
    // i + 1 matchers. Words above the highest live one stay zero.
    std::vector<uint64_t> state(run.words, 0);
    const uint64_t last = uint64_t{1} << ((length - 1) % 64);
    size_t live = 0;
    for (size_t t = from; t < to; ++t) {
        const uint64_t* mask = &run.masks[static_cast<size_t>(static_cast<unsigned char>(text[t])) * run.words];
        uint64_t carry = 1;
        const size_t top = std::min(live + 1, run.words - 1);
        for (size_t w = 0; w <= top; ++w) {
            uint64_t next = ((state[w] << 1) | carry) & mask[w];
            carry = state[w] >> 63;
            state[w] = next;
        }
        live = top;
        while (live > 0 && state[live] == 0) --live;
        if (state[run.words - 1] & last) return t + 1 - length;
    }
    return std::string_view::npos;
}

bool WqlLikePattern::Matches(std::string_view text) const {
    const Run& first = FRuns.front();
    if (FRuns.size() == 1) return text.size() == first.matchers.size() && MatchesAt(first, text, 0);
    const Run& tail = FRuns.back();
    if (text.size() < first.matchers.size() + tail.matchers.size()) return false;
    const size_t end = text.size() - tail.matchers.size();
    if (!MatchesAt(first, text, 0) || !MatchesAt(tail, text, end)) return false;
    // Taking each middle run at its leftmost place leaves the most room for the rest.
    size_t at = first.matchers.size();
    for (size_t r = 1; r + 1 < FRuns.size(); ++r) {
        const Run& run = FRuns[r];
        if (run.matchers.empty()) continue;
        size_t found = Find(run, text, at, end);
        if (found == std::string_view::npos) return false;
        at = found + run.matchers.size();
    }
    return true;
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
