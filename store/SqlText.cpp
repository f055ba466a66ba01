#include "store/SqlText.h"

#include "store/Fields.h"

namespace store::sqltext {

const char* const kTextCollation = "PINYIN";

bool Token::is(const char* keyword) const {
    return kind == Word && text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

QString Token::name() const {
    if (kind == Quoted && text.size() >= 2) return text.mid(1, text.size() - 2);
    return text;
}

static bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c.unicode() > 0x7f;
}

Tokens tokenize(const QString& sql) {
    Tokens out;
    const int n = sql.size();
    int i = 0;
    auto push = [&](Token::Kind k, int from, int to) {
        out.push_back(Token{k, sql.mid(from, to - from)});
    };
    while (i < n) {
        const QChar c = sql[i];
        const int start = i;
        if (c.isSpace()) {
            while (i < n && sql[i].isSpace()) ++i;
            push(Token::Space, start, i);
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n') ++i;
            push(Token::Comment, start, i);
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            push(Token::Comment, start, i);
        } else if (c == u'\'') {
            ++i;
            while (i < n) {
                if (sql[i] == u'\'') {
                    if (i + 1 < n && sql[i + 1] == u'\'') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            push(Token::String, start, i);
        } else if (c == u'"') {
            // A text literal in the program's dialect.
            QString value;
            ++i;
            while (i < n) {
                if (sql[i] == u'"') {
                    if (i + 1 < n && sql[i + 1] == u'"') {
                        value += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += sql[i];
                ++i;
            }
            value.replace(u'\'', QLatin1String("''"));
            out.push_back(Token{Token::String, u'\'' + value + u'\''});
        } else if (c == u'[' || c == u'`') {
            const QChar close = c == u'[' ? u']' : u'`';
            const int end = sql.indexOf(close, i + 1);
            i = end < 0 ? n : end + 1;
            push(Token::Quoted, start, i);
        } else if ((c == u':' || c == u'@') && i + 1 < n && isWordChar(sql[i + 1])) {
            ++i;
            while (i < n && isWordChar(sql[i])) ++i;
            push(Token::Param, start, i);
        } else if (c == u'?') {
            ++i;
            while (i < n && sql[i].isDigit()) ++i;
            push(Token::Param, start, i);
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            while (i < n && (isWordChar(sql[i]) || sql[i] == u'.')) ++i;
            push(Token::Number, start, i);
        } else if (isWordChar(c)) {
            while (i < n && isWordChar(sql[i])) ++i;
            push(Token::Word, start, i);
        } else {
            static const char* const twoChar[] = {"<=", ">=", "<>", "!=", "==", "||", "<<", ">>"};
            int len = 1;
            for (const char* op : twoChar) {
                if (i + 1 < n && sql[i] == QLatin1Char(op[0]) && sql[i + 1] == QLatin1Char(op[1])) {
                    len = 2;
                    break;
                }
            }
            i += len;
            push(Token::Punct, start, i);
        }
    }
    return out;
}

QString join(const Tokens& tokens) {
    return join(tokens, 0, tokens.size());
}

QString join(const Tokens& tokens, int from, int to) {
    QString s;
    for (int i = from; i < to && i < tokens.size(); ++i) s += tokens[i].text;
    return s;
}

int nextSignificant(const Tokens& t, int from) {
    for (int i = from; i < t.size(); ++i)
        if (t[i].significant()) return i;
    return -1;
}

int prevSignificant(const Tokens& t, int from) {
    for (int i = from; i >= 0; --i)
        if (t[i].significant()) return i;
    return -1;
}

int matchingParen(const Tokens& t, int open) {
    int depth = 0;
    for (int i = open; i < t.size(); ++i) {
        if (t[i].isPunct(u'(')) ++depth;
        if (t[i].isPunct(u')') && --depth == 0) return i;
    }
    return -1;
}

QString bracket(const QString& name) {
    return u'[' + name + u']';
}

static bool isTextType(const Token& t) {
    static const char* const types[] = {"char",   "varchar", "nchar",     "nvarchar",
                                        "text",   "memo",    "longtext",  "ntext",
                                        "string", "clob",    "character", "varchar2"};
    for (const char* ty : types)
        if (t.is(ty)) return true;
    return false;
}

// One column definition in [from, to): adds the collation to a text column
// and a length check to char(n).
static void rewriteColumnDef(Tokens& t, int from, int to) {
    const int nameIx = nextSignificant(t, from);
    if (nameIx < 0 || nameIx >= to || !t[nameIx].isName()) return;
    static const char* const constraints[] = {"constraint", "primary", "unique", "check",
                                              "foreign"};
    for (const char* k : constraints)
        if (t[nameIx].is(k)) return;
    const int typeIx = nextSignificant(t, nameIx + 1);
    if (typeIx < 0 || typeIx >= to || !isTextType(t[typeIx])) return;
    for (int i = typeIx; i < to; ++i)
        if (t[i].is("collate")) return;
    int typeEnd = typeIx;
    QString length;
    const int open = nextSignificant(t, typeIx + 1);
    if (open >= 0 && open < to && t[open].isPunct(u'(')) {
        const int close = matchingParen(t, open);
        if (close < 0 || close >= to) return;
        typeEnd = close;
        const int num = nextSignificant(t, open + 1);
        if (num >= 0 && num < close && t[num].kind == Token::Number &&
            nextSignificant(t, num + 1) == close)
            length = t[num].text;
    }
    const QString column = t[nameIx].name();
    const bool wide = column.compare(store::kFieldContent, Qt::CaseInsensitive) == 0;
    QString extra = QLatin1String(" COLLATE ") +
                    (wide ? QLatin1String("NOCASE") : QLatin1String(kTextCollation));
    bool lengthOk = false;
    length.toInt(&lengthOk);
    if (lengthOk && !t[typeIx].is("text") && !t[typeIx].is("memo"))
        extra += QLatin1String(" CHECK(length(") + bracket(column) + QLatin1String(")<=") + length +
                 u')';
    t[typeEnd].text += extra;
}

Tokens toSqlite(const Tokens& in) {
    Tokens t = in;
    for (int i = 0; i < t.size(); ++i) {
        Token& tok = t[i];
        if (tok.kind != Token::Word) continue;
        if (tok.is("delete")) {
            const int star = nextSignificant(t, i + 1);
            if (star >= 0 && t[star].isPunct(u'*')) {
                const int from = nextSignificant(t, star + 1);
                if (from >= 0 && t[from].is("from")) t[star] = Token{Token::Space, QString()};
            }
        } else if (tok.is("isnull")) {
            const int open = nextSignificant(t, i + 1);
            if (open < 0 || !t[open].isPunct(u'(')) continue;
            const int close = matchingParen(t, open);
            if (close < 0) continue;
            tok = Token{Token::Space, QString()};
            t[open].text = QStringLiteral("((");
            t[close].text = QStringLiteral(") IS NULL)");
        } else if (tok.is("group")) {
            const int next = nextSignificant(t, i + 1);
            if (next < 0 || !t[next].is("by"))
                tok = Token{Token::Quoted, QStringLiteral("[group]")};
        }
    }
    // Column definitions of CREATE TABLE and ALTER TABLE ... ADD.
    const int first = nextSignificant(t, 0);
    if (first >= 0 && t[first].is("create")) {
        int k = nextSignificant(t, first + 1);
        if (k >= 0 && (t[k].is("temp") || t[k].is("temporary"))) k = nextSignificant(t, k + 1);
        if (k >= 0 && t[k].is("table")) {
            int open = k;
            while (open < t.size() && !t[open].isPunct(u'(')) ++open;
            const int close = open < t.size() ? matchingParen(t, open) : -1;
            if (close > 0) {
                int defStart = open + 1;
                int depth = 0;
                for (int i = open + 1; i <= close; ++i) {
                    if (t[i].isPunct(u'(')) ++depth;
                    if (t[i].isPunct(u')')) --depth;
                    if ((depth == 0 && t[i].isPunct(u',')) || i == close) {
                        rewriteColumnDef(t, defStart, i);
                        defStart = i + 1;
                    }
                }
            }
        }
    } else if (first >= 0 && t[first].is("alter")) {
        for (int i = first; i < t.size(); ++i) {
            if (t[i].is("add")) {
                int def = nextSignificant(t, i + 1);
                if (def >= 0 && t[def].is("column")) def = nextSignificant(t, def + 1);
                if (def >= 0) rewriteColumnDef(t, def, t.size());
                break;
            }
        }
    }
    return t;
}

QString toSqlite(const QString& sql) {
    return join(toSqlite(tokenize(sql)));
}

bool parseSimpleSelect(const Tokens& t, SimpleSelect* out) {
    int i = nextSignificant(t, 0);
    if (i < 0 || !t[i].is("select")) return false;
    QStringList columns;
    i = nextSignificant(t, i + 1);
    while (true) {
        if (i < 0) return false;
        if (t[i].isPunct(u'*')) {
            columns << QStringLiteral("*");
        } else if (t[i].isName() && !t[i].is("distinct") && !t[i].is("all") && !t[i].is("from")) {
            QString name = t[i].name();
            const int dot = nextSignificant(t, i + 1);
            if (dot >= 0 && t[dot].isPunct(u'.')) {
                const int col = nextSignificant(t, dot + 1);
                if (col < 0 || !t[col].isName()) return false;
                name = t[col].name();
                i = col;
            }
            columns << name;
        } else {
            return false;
        }
        i = nextSignificant(t, i + 1);
        if (i < 0) return false;
        if (t[i].isPunct(u',')) {
            i = nextSignificant(t, i + 1);
            continue;
        }
        if (t[i].is("from")) break;
        return false;
    }
    const int table = nextSignificant(t, i + 1);
    if (table < 0 || !t[table].isName()) return false;
    const int after = nextSignificant(t, table + 1);
    if (after >= 0 && !t[after].is("where") && !t[after].is("order") && !t[after].is("limit") &&
        !t[after].isPunct(u';'))
        return false;
    int depth = 0;
    for (int k = table + 1; k < t.size(); ++k) {
        if (t[k].isPunct(u'(')) ++depth;
        if (t[k].isPunct(u')')) --depth;
        if (depth == 0 && (t[k].is("union") || t[k].is("intersect") || t[k].is("except") ||
                           t[k].is("group") || t[k].is("having")))
            return false;
    }
    out->columns = columns;
    out->table = t[table].name();
    out->tableToken = table;
    out->restToken = table + 1;
    return true;
}

}  // namespace store::sqltext
