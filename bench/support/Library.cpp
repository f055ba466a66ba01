#include "bench/support/Library.h"

#include <cstdio>

#include "store/ArticleStore.h"
#include "store/EngineDetail.h"

namespace benchlib {

const QString& pool() {
    static const QString p = QStringLiteral(
        "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下"
        "过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都"
        "两"
        "体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新"
        "线内"
        "数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通并"
        "提直"
        "题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将组见计"
        "别她"
        "手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北造百规热领七海口"
        "东导"
        "器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打白教速花带安场身车例"
        "真务"
        "具万每目至达走积示议声报斗完类八离华名确才科张信马节话米整空元况今集温传土许步群广石记需段"
        "研界"
        "拉林律叫且究观越织装影算低持音众书布复容儿须际商非验连断深难近矿千周委素技备半办青省列习响"
        "约支"
        "般史感劳便团往酸历市克何除消构府称太准精值号率族维划选标写存候毛亲快效斯院查江型眼王按格养"
        "易置"
        "派层片始却专状育厂京识适属圆包火住调满县局照参红细引听该铁价严龙飞");
    return p;
}

QString randomChinese(std::mt19937& rng, int n) {
    std::uniform_int_distribution<int> pick(0, int(pool().size()) - 1);
    QString s;
    s.reserve(n);
    for (int i = 0; i < n; ++i) s += pool()[pick(rng)];
    return s;
}

QString plainBody(std::mt19937& rng, int bytes) {
    QString s;
    int size = 0;
    std::uniform_int_distribution<int> sentence(8, 40);
    while (size < bytes) {
        const int n = sentence(rng);
        s += randomChinese(rng, n);
        s += (rng() % 4 == 0) ? QStringLiteral("。\r\n") : QStringLiteral("，");
        size += 3 * n + 4;
    }
    return s;
}

QByteArray rtfBody(std::mt19937& rng, int boldEvery) {
    QByteArray b =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 "
        "\\'cb\\'ce\\'cc\\'e5;}}\r\n\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs24 ";
    std::uniform_int_distribution<int> lead(0xB0, 0xD7), trail(0xA1, 0xFE);
    char hex[8];
    int line = 0;
    while (b.size() < 30000) {
        const bool bold = boldEvery > 0 && ++line % boldEvery == 0;
        if (bold) b += "\\b ";
        for (int i = 0; i < 40; ++i) {
            std::snprintf(hex, sizeof hex, "\\'%02x", lead(rng));
            b += hex;
            std::snprintf(hex, sizeof hex, "\\'%02x", trail(rng));
            b += hex;
        }
        if (bold) b += "\\b0 ";
        b += "\\par\r\n";
    }
    b += "}";
    return b;
}

QStringList categories(std::mt19937& rng, int n) {
    QStringList cats;
    for (int i = 0; i < n; ++i) cats << randomChinese(rng, 2 + i % 3);
    return cats;
}

void fillWorkbook(store::Connection& c, const QString& table, int n, const QStringList& cats,
                  std::mt19937& rng, int rtfBoldEvery) {
    using store::detail::Stmt;
    sqlite3* db = c.handle();
    store::Transaction tx(c);
    Stmt row(db, QStringLiteral("INSERT INTO ") + table +
                     QStringLiteral("([group],theme,isformat,SeqNo) VALUES(?,?,?,?)"));
    Stmt body(db, QStringLiteral("INSERT INTO [") + table +
                      QStringLiteral("$body](rid,content) VALUES(?,?)"));
    std::uniform_int_distribution<int> titleLength(8, 30), bodyBytes(1000, 3000);
    for (int i = 1; i <= n; ++i) {
        const bool rtf = i % 20 == 0;
        row.bind(1, cats[int(rng() % cats.size())]);
        row.bind(2, randomChinese(rng, titleLength(rng)));
        row.bind(3, rtf);
        row.bind(4, i);
        row.step();
        row.reset();
        body.bind(1, QVariant(qlonglong(sqlite3_last_insert_rowid(db))));
        body.bind(2, rtf ? QVariant(rtfBody(rng, rtfBoldEvery))
                         : QVariant(plainBody(rng, bodyBytes(rng))));
        body.step();
        body.reset();
    }
    tx.commit();
}

}  // namespace benchlib
