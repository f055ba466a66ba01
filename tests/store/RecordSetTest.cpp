// Record sets: positions, changes written back by row, fields by name,
// bodies, locate; nested transactions.

#include <gtest/gtest.h>

#include "store/Engine.h"
#include "tests/store/QtPrinters.h"
#include "tests/support/TempDb.h"

using store::RecordSet;
using store::StoreError;
using testsupport::TempDb;

namespace {

QStringList titles(RecordSet& rs) {
    QStringList out;
    for (rs.first(); !rs.eof(); rs.next()) out << rs.asString("theme");
    return out;
}

}  // namespace

TEST(RecordSet, ChangesAreWrittenBackAndRowsKeepTheirPositions) {
    TempDb db;
    db.addArticles("datum", "g", "t", 3);
    RecordSet rs(db.conn());
    rs.setSql(QStringList{"select * from datum", "ORDER  By [theme]"});
    rs.open();
    ASSERT_EQ(rs.recordCount(), 3);

    // Editing the sort field does not move the row until the set is reopened.
    rs.first();
    rs.edit();
    rs.setValue("THEME", "z-last");
    rs.post();
    EXPECT_EQ(rs.recNo(), 0);
    EXPECT_EQ(titles(rs), QStringList({"z-last", "t2", "t3"}));

    // An appended row goes at the end and gets its key from the engine.
    rs.append();
    rs.setValue("group", "g");
    rs.setValue("theme", "new");
    rs.setValue("seqno", 4);
    rs.post();
    EXPECT_EQ(rs.recNo(), 3);
    EXPECT_EQ(rs.recordCount(), 4);
    EXPECT_EQ(rs.asInteger("id"), 4);
    EXPECT_TRUE(rs.isNull("isformat"));

    // Deleting stays on the following row; deleting the last row reaches the end.
    rs.first();
    rs.moveBy(1);
    rs.deleteRow();
    EXPECT_EQ(rs.asString("theme"), "t3");
    rs.moveBy(1);
    rs.deleteRow();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.recordCount(), 2);

    rs.open();
    EXPECT_EQ(titles(rs), QStringList({"t3", "z-last"}));
    EXPECT_EQ(db.scalar("select count(*) from [datum$body]").toInt(), 2);
}

TEST(RecordSet, FieldsAndBodies) {
    TempDb db;
    const QByteArray rtf("{\\rtf1 \\'d6\\'d0}\0\xfe", 17);
    db.addArticle("datum", "g", "rich", 1, true, rtf);
    db.addArticle("datum", "g", "plain", std::nullopt, false, "正文 text");
    RecordSet rs(db.conn());
    rs.setSql("select * from datum");
    rs.open();
    EXPECT_TRUE(rs.hasField("Content"));
    EXPECT_FALSE(rs.hasField("nothing"));
    EXPECT_THROW(rs.value("nothing"), StoreError);
    EXPECT_EQ(rs.readBlob("content"), rtf);
    EXPECT_TRUE(rs.asBoolean("IsFormat"));
    rs.next();
    EXPECT_EQ(rs.asString("content"), QStringLiteral("正文 text"));
    EXPECT_FALSE(rs.asBoolean("isformat"));
    EXPECT_TRUE(rs.isNull("seqno"));
    EXPECT_EQ(rs.asString("seqno"), QString());
    EXPECT_THROW(rs.asInteger("seqno"), StoreError);

    // A body written through the set is read back as written.
    rs.edit();
    rs.writeBlob("content", rtf + "more");
    rs.post();
    rs.open();
    rs.moveBy(1);
    EXPECT_EQ(rs.readBlob("content"), rtf + "more");

    // Reading past the end is an error, not a random row.
    rs.moveBy(5);
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.recNo(), -1);
    EXPECT_THROW(rs.value("theme"), StoreError);
}

TEST(RecordSet, LocateFindsTheFirstExactMatch) {
    TempDb db;
    db.addArticle("datum", "g", "Alpha", 1);
    db.addArticle("datum", "g", "beta", 2);
    db.addArticle("datum", "g", "beta", 3);
    RecordSet rs(db.conn());
    rs.setSql("select *  from datum");
    rs.open();
    rs.moveBy(2);
    EXPECT_TRUE(rs.locate("theme", "beta"));
    EXPECT_EQ(rs.asInteger("SeqNo"), 2);
    EXPECT_FALSE(rs.locate("theme", "alpha"));  // whole value, case counts
    EXPECT_EQ(rs.recNo(), 1);
    EXPECT_TRUE(rs.locate("seqno", 3));
    EXPECT_EQ(rs.recNo(), 2);
}

TEST(RecordSet, OtherQueriesAreReadWhole) {
    TempDb db;
    db.addArticles("datum", "读书", "t", 3);
    RecordSet rs(db.conn());
    rs.setSql("select [group], count(*) as n from datum group by [group]");
    rs.open();
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.asInteger("N"), 3);
    EXPECT_THROW(rs.edit(), StoreError);
    // An unknown table or field is an error.
    rs.setSql("select * from nowhere");
    EXPECT_THROW(rs.open(), StoreError);
    rs.setSql("select nothing from datum");
    EXPECT_THROW(rs.open(), StoreError);
}

TEST(RecordSet, ClosingTheConnectionClosesItsRecordSets) {
    TempDb db;
    db.addArticles("datum", "g", "t", 2);
    store::Connection c;
    RecordSet rs(c);
    rs.setSql("select * from datum");
    rs.open();  // opens the connection (the program's connection string)
    EXPECT_TRUE(c.isOpen());
    c.close();
    EXPECT_FALSE(rs.isActive());
    EXPECT_EQ(rs.recordCount(), 0);
    rs.open();
    EXPECT_EQ(rs.recordCount(), 2);
}

TEST(Transactions, NestAndRollBack) {
    TempDb db;
    store::Connection& c = db.conn();
    {
        store::Transaction outer(c);
        db.addArticle("datum", "g", "kept", 1);
        {
            store::Transaction inner(c);
            db.addArticle("datum", "g", "dropped", 2);
        }  // inner rolled back
        EXPECT_EQ(c.transactionDepth(), 1);
        outer.commit();
    }
    EXPECT_EQ(db.column("select * from datum", "theme"), QStringList{"kept"});
    {
        store::Transaction outer(c);
        {
            store::Transaction inner(c);
            db.addArticle("datum", "g", "inner", 3);
            inner.commit();
        }
    }  // outer rolled back: the inner commit goes too
    EXPECT_EQ(db.column("select * from datum", "theme"), QStringList{"kept"});
    EXPECT_EQ(c.transactionDepth(), 0);
    EXPECT_THROW(c.commit(), StoreError);
}

TEST(Transactions, AFailingStatementLeavesNoPartialChange) {
    TempDb db;
    db.addArticles("datum", "g", "t", 3);
    db.exec("select * into datum1 from datum where 1=2");
    db.exec("create unique index one_title on datum1(theme)");
    db.addArticle("datum1", "g", "t2", 1);
    // The copy of t1 succeeds, t2 collides: datum1 must keep its single row.
    EXPECT_THROW(db.exec("insert into datum1 select group,theme,isformat,content from datum"),
                 StoreError);
    EXPECT_EQ(db.column("select * from datum1", "theme"), QStringList{"t2"});
    EXPECT_EQ(db.scalar("select count(*) from [datum1$body]").toInt(), 1);
}
