#include "engine/query_parse.h"

#include "engine/errors.h"

namespace orv::query {

namespace {

struct Token {
    enum class Kind { Word, Value, Operator, End };
    Kind kind = Kind::End;
    std::string text;
    int position = 0;
};

[[noreturn]] void syntaxError(int position, const std::string& what) {
    throw DbError(DbErrorCode::QuerySyntax, "Erreur de syntaxe dans la sélection, position " +
                                                std::to_string(position) + " : " + what + ".");
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isOperatorChar(char c) { return c == '<' || c == '>' || c == '='; }
// A value is written between double quotes, single quotes or backslashes; inside it, its own
// delimiter written twice stands for itself.
bool isQuote(char c) { return c == '"' || c == '\'' || c == '\\'; }

// Splits a statement into words, quoted values and operators, each with its character position.
class Tokenizer {
  public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    std::vector<Token> run() {
        std::vector<Token> tokens;
        for (;;) {
            while (pos_ < text_.size() && isBlank(text_[pos_])) advance();
            Token t;
            t.position = chars_ + 1;
            if (pos_ >= text_.size()) {
                tokens.push_back(t);
                return tokens;
            }
            const char c = text_[pos_];
            if (isQuote(c))
                readValue(t);
            else if (isOperatorChar(c))
                readOperator(t);
            else
                readWord(t);
            tokens.push_back(std::move(t));
        }
    }

  private:
    void advance() {
        ++pos_;
        while (pos_ < text_.size() && (static_cast<unsigned char>(text_[pos_]) & 0xC0) == 0x80)
            ++pos_;
        ++chars_;
    }
    std::string_view since(size_t start) const { return text_.substr(start, pos_ - start); }

    void readValue(Token& t) {
        const char quote = text_[pos_];
        advance();
        t.kind = Token::Kind::Value;
        for (;;) {
            const size_t start = pos_;
            while (pos_ < text_.size() && text_[pos_] != quote) advance();
            if (pos_ >= text_.size())
                syntaxError(t.position, "la valeur commencée ici n'est pas fermée par « " +
                                            std::string(1, quote) + " »");
            t.text += since(start);
            advance();
            if (pos_ >= text_.size() || text_[pos_] != quote) return;
            t.text += quote;
            advance();
        }
    }
    void readOperator(Token& t) {
        const size_t start = pos_;
        const char c = text_[pos_];
        advance();
        if (pos_ < text_.size() && ((c == '<' && (text_[pos_] == '=' || text_[pos_] == '>')) ||
                                    (c == '>' && text_[pos_] == '=')))
            advance();
        t.kind = Token::Kind::Operator;
        t.text = std::string(since(start));
    }
    void readWord(Token& t) {
        const size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_]) && !isQuote(text_[pos_]) &&
               !isOperatorChar(text_[pos_]))
            advance();
        t.kind = Token::Kind::Word;
        t.text = std::string(since(start));
    }

    std::string_view text_;
    size_t pos_ = 0;
    int chars_ = 0;
};

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

std::string describe(const Token& t) {
    switch (t.kind) {
        case Token::Kind::End:
            return "la fin de la sélection";
        case Token::Kind::Value:
            return "la valeur « \"" + t.text + "\" »";
        case Token::Kind::Operator:
        case Token::Kind::Word:
            break;
    }
    return "« " + t.text + " »";
}

template <class Leaf>
void addChild(BoolTree<Leaf>& group, BoolTree<Leaf> child) {
    group.children.push_back(std::move(child));
}

// Builds "first KEYWORD next KEYWORD next ..." into one AND or OR node while the keyword is
// followed by something `continues` accepts; a single operand is returned as it is.
template <class Leaf, class Parser, class Continues>
BoolTree<Leaf> parseChain(typename BoolTree<Leaf>::Kind kind, const char* keyword, Parser& parser,
                          BoolTree<Leaf> (Parser::*operand)(), const Continues& continues) {
    BoolTree<Leaf> first = (parser.*operand)();
    if (!(parser.peekKeyword(keyword) && continues(parser.peek(1)))) return first;
    BoolTree<Leaf> group;
    group.kind = kind;
    addChild(group, std::move(first));
    while (parser.peekKeyword(keyword) && continues(parser.peek(1))) {
        parser.next();
        addChild(group, (parser.*operand)());
    }
    return group;
}

class Parser {
  public:
    explicit Parser(std::string_view text) : tokens_(Tokenizer(text).run()) {}

    ParsedStatement statement() {
        ParsedStatement s;
        const std::string verb = upper(peek().text);
        if (peek().kind != Token::Kind::Word || (verb != "SSELECT" && verb != "SELECT"))
            fail("« SSELECT » ou « SELECT » attendu");
        s.sorted = verb == "SSELECT";
        next();
        s.file = fieldName("nom de fichier attendu");
        while (peek().kind != Token::Kind::End) {
            if (peekKeyword("AVEC") && !s.hasConditions) {
                s.conditions = conditions();
                s.hasConditions = true;
            } else if (peekKeyword("PAR") || peekKeyword("PAR-DECR")) {
                s.sortKeys.push_back(sortKey());
            } else if (s.hasConditions && (peekKeyword("AND") || peekKeyword("OR"))) {
                const std::string keyword = upper(peek().text);
                next();
                fail("« AVEC » ou un opérateur attendu après « " + keyword + " »");
            } else {
                fail(s.hasConditions ? "« AND », « OR », « PAR » ou « PAR-DECR » attendu"
                                     : "« AVEC », « PAR » ou « PAR-DECR » attendu");
            }
        }
        return s;
    }

    const Token& peek(size_t ahead = 0) const {
        return tokens_[std::min(index_ + ahead, tokens_.size() - 1)];
    }
    bool peekKeyword(const char* keyword) const {
        return peek().kind == Token::Kind::Word && upper(peek().text) == keyword;
    }
    void next() {
        if (index_ + 1 < tokens_.size()) ++index_;
    }

    BoolTree<Condition> conditions() {
        return parseChain<Condition>(BoolTree<Condition>::Kind::Or, "OR", *this, &Parser::andGroup,
                                     startsCondition);
    }
    BoolTree<Condition> andGroup() {
        return parseChain<Condition>(BoolTree<Condition>::Kind::And, "AND", *this,
                                     &Parser::condition, startsCondition);
    }
    BoolTree<Condition> condition() {
        if (!peekKeyword("AVEC")) fail("« AVEC » attendu");
        next();
        BoolTree<Condition> node;
        node.leaf.field = fieldName("nom de champ attendu après « AVEC »");
        lastOp_ = nullptr;
        node.leaf.tests = testOr();
        return node;
    }
    BoolTree<Test> testOr() {
        return parseChain<Test>(BoolTree<Test>::Kind::Or, "OR", *this, &Parser::testAnd,
                                startsTest);
    }
    BoolTree<Test> testAnd() {
        return parseChain<Test>(BoolTree<Test>::Kind::And, "AND", *this, &Parser::testValues,
                                startsTest);
    }
    // OPERATOR VALUE { VALUE }; after "OR"/"AND" the operator may be left out (the previous
    // one applies).
    BoolTree<Test> testValues() {
        Op op{};
        if (peek().kind == Token::Kind::Operator) {
            if (!parseOp(peek().text, op)) fail("opérateur inconnu " + describe(peek()));
            next();
        } else if (lastOp_ && peek().kind == Token::Kind::Value) {
            op = *lastOp_;
        } else {
            fail("opérateur attendu (=, <>, <, >, <=, >=)");
        }
        lastOpValue_ = op;
        lastOp_ = &lastOpValue_;
        BoolTree<Test> group;
        group.kind = BoolTree<Test>::Kind::Or;
        do addChild(group, test(op));
        while (peek().kind == Token::Kind::Value);
        return group.children.size() == 1 ? std::move(group.children.front()) : group;
    }

  private:
    static bool startsCondition(const Token& t) {
        return t.kind == Token::Kind::Word && upper(t.text) == "AVEC";
    }
    static bool startsTest(const Token& t) {
        return t.kind == Token::Kind::Operator || t.kind == Token::Kind::Value;
    }

    [[noreturn]] void fail(const std::string& what) const {
        syntaxError(peek().position, what + ", " + describe(peek()) + " trouvé");
    }

    SortKey sortKey() {
        SortKey k;
        k.descending = upper(peek().text) == "PAR-DECR";
        next();
        k.field = fieldName(k.descending ? "nom de champ attendu après « PAR-DECR »"
                                         : "nom de champ attendu après « PAR »");
        return k;
    }

    FieldRef fieldName(const char* expected) {
        if (peek().kind != Token::Kind::Word) fail(expected);
        FieldRef f{peek().text, peek().position};
        next();
        return f;
    }

    BoolTree<Test> test(Op op) {
        if (peek().kind != Token::Kind::Value)
            fail(std::string("valeur entre guillemets attendue après « ") + opText(op) + " »");
        BoolTree<Test> leaf;
        leaf.leaf.op = op;
        leaf.leaf.pattern = Pattern::parse(peek().text);
        if (!opAcceptsPattern(op, leaf.leaf.pattern))
            fail(std::string("une valeur commençant par « [ » ne s'emploie qu'avec = ou <>, pas "
                             "avec « ") +
                 opText(op) + " »");
        next();
        return leaf;
    }

    std::vector<Token> tokens_;
    size_t index_ = 0;
    const Op* lastOp_ = nullptr;
    Op lastOpValue_{};
};

}  // namespace

ParsedStatement parseStatement(std::string_view statement) {
    Parser parser(statement);
    return parser.statement();
}

}  // namespace orv::query
