// yunjan-import-mdb and the reader behind it: every article of the reference
// Jet libraries comes out with its fields and exact body, users carry over,
// text outside the basic plane survives, and wrong input is refused.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "store/Engine.h"
#include "store/LegacyImport.h"
#include "store/mdb/MdbImport.h"
#include "tests/legacy/LegacyFixture.h"

namespace {

using legacytest::dataPath;

struct ToolOutput {
    int code = -1;
    QString out;
    QString err;
};

ToolOutput runTool(const QStringList& args) {
    QProcess p;
    p.start(legacytest::toolPath(), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

std::unique_ptr<store::Connection> openConverted(const QString& path) {
    auto c = std::make_unique<store::Connection>();
    c->setConnectionString(
        store::makeConnectionString(path, QString::fromLatin1(store::kDatabasePassword)));
    c->open();
    return c;
}

QString gbk(const QByteArray& b) {
    QProcess p;  // iconv(1) keeps the expectation independent of the code under test
    p.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("GBK"),
                                      QStringLiteral("-t"), QStringLiteral("UTF-8")});
    p.write(b);
    p.closeWriteChannel();
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

class ReferenceLibrary : public ::testing::TestWithParam<const char*> {};

TEST_P(ReferenceLibrary, EveryArticleAndUserComesOutExactly) {
    QTemporaryDir tmp;
    const QString dest = tmp.filePath(QStringLiteral("out.mdb"));
    const ToolOutput r = runTool({dataPath(QString::fromLatin1(GetParam())), dest});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("datum: 5\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("datum3: 0\n")));

    auto c = openConverted(dest);
    const QList<legacytest::ManifestRow> expected = legacytest::manifest();
    ASSERT_FALSE(expected.isEmpty());
    QMap<QString, int> perTable;
    for (const auto& m : expected) {
        ++perTable[m.table];
        SCOPED_TRACE((m.table + QStringLiteral(".%1").arg(m.id)).toStdString());
        store::RecordSet rs(*c);
        rs.setSql(QStringLiteral("select * from ") + m.table + QStringLiteral(" where id=:id"));
        rs.setParam(QStringLiteral("id"), int(m.id));
        rs.open();
        ASSERT_FALSE(rs.eof());
        EXPECT_EQ(rs.asString(QStringLiteral("group")), m.group);
        EXPECT_EQ(rs.asString(QStringLiteral("theme")), m.theme);
        EXPECT_EQ(rs.asBoolean(QStringLiteral("isformat")), m.isFormat);
        EXPECT_EQ(rs.isNull(QStringLiteral("SeqNo")), m.seqNull);
        if (!m.seqNull) {
            EXPECT_EQ(rs.asInteger(QStringLiteral("SeqNo")), m.seqNo);
        }
        const QVariant body = rs.value(QStringLiteral("content"));
        if (m.kind == QLatin1String("null")) {
            EXPECT_TRUE(body.isNull());
        } else if (m.isFormat) {
            EXPECT_EQ(body.typeId(), QMetaType::QByteArray);
            EXPECT_EQ(body.toByteArray(), m.body);  // RTF byte for byte
        } else if (m.kind == QLatin1String("bytes")) {
            EXPECT_EQ(body.typeId(), QMetaType::QString);  // plain text stored as text
            EXPECT_EQ(body.toString(), gbk(m.body));
        } else {
            EXPECT_EQ(body.typeId(), QMetaType::QString);
            EXPECT_EQ(body.toString(), QString::fromUtf8(m.body));
        }
    }
    // Nothing beyond the manifest: the deleted row is left out.
    for (const char* t : {"datum", "datum1", "datum2", "datum3"}) {
        store::RecordSet rs(*c);
        rs.setSql(QStringLiteral("select * from ") + QString::fromLatin1(t));
        rs.open();
        EXPECT_EQ(rs.recordCount(), perTable.value(QString::fromLatin1(t))) << t;
    }

    store::RecordSet users(*c);
    users.setSql(QStringLiteral("select * from UsersData where userID=:u"));
    users.setParam(QStringLiteral("u"), QStringLiteral("admin"));
    users.open();
    ASSERT_FALSE(users.eof());
    EXPECT_EQ(users.asString(QStringLiteral("Passwords")), QStringLiteral("123456"));
    EXPECT_EQ(users.asInteger(QStringLiteral("Grade")), 0);
    users.close();
    users.setParam(QStringLiteral("u"), QStringLiteral("guest"));
    users.open();
    ASSERT_FALSE(users.eof());
    EXPECT_FALSE(users.isNull(QStringLiteral("Passwords")));  // empty, not null
    EXPECT_EQ(users.asString(QStringLiteral("Passwords")), QString());
    EXPECT_EQ(users.asInteger(QStringLiteral("Grade")), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, ReferenceLibrary,
                         ::testing::Values("YunjanDB.mdb", "YunjanDB-encoded.mdb"));

TEST(MdbReader, TextOutsideTheBasicPlaneSurvives) {
    const auto read =
        store::mdb::readTextTable(dataPath(QStringLiteral("nonbmp.mdb")), QStringLiteral("t"));
    ASSERT_TRUE(read) << read.error().toStdString();
    const QList<QMap<QString, QString>>& rows = read.value();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].value(QStringLiteral("theme")),
              QStringLiteral("扩展B:\U00020000 emoji:\U0001F600 end"));
    EXPECT_EQ(rows[0].value(QStringLiteral("content")), QStringLiteral("memo \U00020000 end"));
}

TEST(MdbReader, NullAndEmptyAreTold) {
    const auto readUsers = store::mdb::readTextTable(dataPath(QStringLiteral("YunjanDB.mdb")),
                                                     QStringLiteral("UsersData"));
    const auto readDatum = store::mdb::readTextTable(dataPath(QStringLiteral("YunjanDB.mdb")),
                                                     QStringLiteral("datum"));
    ASSERT_TRUE(readUsers && readDatum);
    const QList<QMap<QString, QString>>& users = readUsers.value();
    const QList<QMap<QString, QString>>& datum = readDatum.value();
    bool guest = false;
    for (const auto& u : users) {
        if (u.value(QStringLiteral("userID")) != QLatin1String("guest")) continue;
        guest = true;
        EXPECT_TRUE(u.contains(QStringLiteral("Passwords")));  // "" is a value
    }
    EXPECT_TRUE(guest);
    for (const auto& r : datum) {
        const QString id = r.value(QStringLiteral("id"));
        if (id == QLatin1String("3")) {
            EXPECT_FALSE(r.contains(QStringLiteral("SeqNo")));
        }
        if (id == QLatin1String("6")) {
            EXPECT_FALSE(r.contains(QStringLiteral("content")));
        }
        if (id == QLatin1String("4")) {
            EXPECT_EQ(r.value(QStringLiteral("SeqNo")), "3");
        }
    }
}

TEST(ImportTool, RefusesWrongInputWithAMessageAndWritesNothing) {
    QTemporaryDir tmp;
    const QString existing = tmp.filePath(QStringLiteral("existing.mdb"));
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    const QString text = tmp.filePath(QStringLiteral("text.mdb"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Standard Jet DB? no, just text");
    }
    struct Case {
        const char* name;
        QString source;
        QString dest;
        const char* message;
    } cases[] = {
        {"missing file", tmp.filePath(QStringLiteral("none.mdb")),
         tmp.filePath(QStringLiteral("a.mdb")), "找不到文件"},
        {"not a Jet file", text, tmp.filePath(QStringLiteral("b.mdb")), "不是 Access"},
        {"no datum", dataPath(QStringLiteral("nonbmp.mdb")), tmp.filePath(QStringLiteral("c.mdb")),
         "没有文章表 datum"},
        {"existing DEST", dataPath(QStringLiteral("YunjanDB.mdb")), existing, "已经存在"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const bool destExisted = QFile::exists(k.dest);
        const ToolOutput r = runTool({k.source, k.dest});
        EXPECT_NE(r.code, 0);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(k.message))) << r.err.toStdString();
        EXPECT_EQ(QFile::exists(k.dest), destExisted);
    }
    EXPECT_EQ(legacytest::readAll(existing), QByteArray("keep me"));
}

TEST(ImportTool, CommandLine) {
    const ToolOutput help = runTool({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("用法")));
    const ToolOutput version = runTool({QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("yunjan-import-mdb ")));
    for (const QStringList& bad :
         {QStringList{QStringLiteral("--frobnicate"), QStringLiteral("a"), QStringLiteral("b")},
          QStringList{QStringLiteral("only-one.mdb")}}) {
        const ToolOutput r = runTool(bad);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(QStringLiteral("用法")));
    }
}

TEST(LegacyText, PlainBodiesAndRtfHeldAsText) {
    // GBK with CRLF, a trailing NUL; UTF-16LE with and without a mark.
    EXPECT_EQ(store::decodeLegacyPlainText(QByteArray("\xc4\xe3\xba\xc3\r\nok\0", 9)),
              QStringLiteral("你好\r\nok"));
    EXPECT_EQ(store::decodeLegacyPlainText(QByteArray("\xff\xfe\x60\x4f\x41\x00", 6)),
              QStringLiteral("你A"));
    EXPECT_EQ(store::decodeLegacyPlainText(QByteArray("a\0b\0", 4)), QStringLiteral("ab"));
    // An RTF body kept as text goes back to code page 936 bytes; what GBK
    // cannot hold becomes \uN? escapes.
    EXPECT_EQ(store::rtfBytesFromText(QStringLiteral("{\\rtf1 你\U0001F600}")),
              QByteArray("{\\rtf1 \xc4\xe3\\u-10179?\\u-8704?}"));
}

}  // namespace
