// The start-up password in UsersData: lookup, change, clearing, the column
// limit and the blank trimming of stored values.

#include "store/Users.h"

#include <gtest/gtest.h>

#include "store/ArticleStore.h"
#include "tests/store/QtPrinters.h"
#include "tests/support/TempDb.h"

using store::ArticleStore;
using store::StoreError;
using testsupport::TempDb;

namespace {

// A fresh database after the start-up check: UsersData holds "Admin" without
// a password.
struct UsersFixture : ::testing::Test {
    TempDb db;
    ArticleStore s;
    void SetUp() override {
        s.connection().setConnectionString(QString::fromUtf8(store::kConnectionString));
        s.CheckDatabase();
    }
    QString stored() {
        return db.scalar("select Passwords from UsersData where userID='Admin'").toString();
    }
};

}  // namespace

TEST_F(UsersFixture, FreshDatabaseHasNoPassword) {
    EXPECT_EQ(store::GetPassword(s, "admin"), "");
    EXPECT_EQ(db.scalar("select count(*) from UsersData").toInt(), 1);
}

TEST_F(UsersFixture, ChangeThenLookUpAnyLetterCaseOfTheUser) {
    store::changePassword(s, "admin", "秘密abc");
    EXPECT_EQ(stored(), "秘密abc");
    EXPECT_EQ(store::GetPassword(s, "admin"), "秘密abc");
    EXPECT_EQ(store::GetPassword(s, "ADMIN"), "秘密abc");
    EXPECT_EQ(store::GetPassword(s, "nobody"), "");
}

TEST_F(UsersFixture, QuotesAndSqlCharactersAreStoredAsTyped) {
    const QStringList cases{QStringLiteral("a\"b"), QStringLiteral("it's"),
                            QStringLiteral("\" or \"1\"=\"1"),
                            QStringLiteral("x; drop table datum")};
    for (const QString& pw : cases) {
        store::changePassword(s, "admin", pw);
        EXPECT_EQ(store::GetPassword(s, "admin"), pw);
    }
    EXPECT_TRUE(db.conn().tableExists("datum"));
    EXPECT_EQ(db.scalar("select count(*) from UsersData").toInt(), 1);
}

TEST_F(UsersFixture, ClearingGivesTheEmptyPasswordAgain) {
    store::changePassword(s, "admin", "one");
    store::changePassword(s, "admin", "");
    EXPECT_EQ(store::GetPassword(s, "admin"), "");
}

TEST_F(UsersFixture, StoredBlanksAreTrimmedOnLookUp) {
    db.exec("update UsersData set Passwords=:p", {{"p", QStringLiteral("  pw x \t")}});
    EXPECT_EQ(store::GetPassword(s, "admin"), "pw x");
}

TEST_F(UsersFixture, PasswordLongerThanTheColumnChangesNothing) {
    store::changePassword(s, "admin", "old");
    const QString fifty(50, u'密');
    store::changePassword(s, "admin", fifty);
    EXPECT_EQ(store::GetPassword(s, "admin"), fifty);
    EXPECT_THROW(store::changePassword(s, "admin", QString(51, u'x')), StoreError);
    EXPECT_EQ(store::GetPassword(s, "admin"), fifty);
}

TEST(UsersNoTable, LookUpWithoutUsersDataFails) {
    TempDb db;
    ArticleStore s;
    s.connection().setConnectionString(QString::fromUtf8(store::kConnectionString));
    EXPECT_THROW(store::GetPassword(s, "admin"), StoreError);
}

TEST(TrimPassword, RemovesOnlyBlanksAroundTheText) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {" a b ", "a b"},
        {"\t\r\nabc\n", "abc"},
        {"\xe3\x80\x80x", "\xe3\x80\x80x"},  // an ideographic space is no blank
        {"pass ", "pass"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(store::trimPassword(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}
