#include "store/ArticleStore.h"

#include <QRegularExpression>
#include <vector>

#include "store/EngineDetail.h"
#include "store/Fields.h"
#include "store/SqlText.h"

namespace store {

QString workbookTable(int position) {
    switch (position) {
        case 0:
            return QStringLiteral("datum");
        case 1:
            return QStringLiteral("datum1");
        case 2:
            return QStringLiteral("datum2");
        case 3:
            return QStringLiteral("datum3");
        default:
            return QString();
    }
}

int workbookPosition(const QString& table) {
    for (int i = 0; i < 4; ++i)
        if (workbookTable(i).compare(table, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString defaultWorkbookName(int position) {
    switch (position) {
        case 0:
            return QStringLiteral("主工作簿");
        case 1:
            return QStringLiteral("工作簿1");
        case 2:
            return QStringLiteral("工作簿2");
        case 3:
            return QStringLiteral("工作簿3");
        default:
            return QString();
    }
}

QString CBXAllItem(SortMode sortMode, const QString& table) {
    const QString base = QStringLiteral("select * from ") + table;
    switch (sortMode) {
        case SortMode::Ascending:
            return base + QStringLiteral(" ORDER  By [theme]");
        case SortMode::Descending:
            return base + QStringLiteral(" ORDER  By [theme] desc");
        default:
            return base + QStringLiteral(" ORDER  By [seqno]");
    }
}

QString categoryCondition(const QString& param) {
    return QStringLiteral("([group]=:%1 or ([group] is null and :%1=''))").arg(param);
}

QString CBXNoAllItem(SortMode sortMode, const QString& table) {
    const QString base = QStringLiteral("select * from ") + table + QStringLiteral(" where ") +
                         categoryCondition(store::kFieldGroup);
    switch (sortMode) {
        case SortMode::Ascending:
            return base + QStringLiteral(" ORDER  By [theme]");
        case SortMode::Descending:
            return base + QStringLiteral(" ORDER  By [theme] desc");
        default:
            return base + QStringLiteral(" ORDER By [seqno]");
    }
}

QString workbookOpenSql(const QString& table) {
    return QStringLiteral("select * from ") + table + QStringLiteral(" ORDER  By [seqno]");
}

ArticleStore::ArticleStore() : q1_(conn_), q2_(conn_), q3_(conn_) {}

ArticleStore::~ArticleStore() = default;

void ArticleStore::OpenDb(const QString& sql, bool useGroup, const QString& group) {
    q1_.close();
    q1_.setSql(sql);
    if (useGroup) q1_.setParam(store::kFieldGroup, group);
    q1_.open();
    q1_.first();
}

void ArticleStore::reopenMain() {
    q1_.close();
    q1_.open();
    q1_.first();
}

void ArticleStore::CheckDatabase() {
    // The whole check is one transaction: a failing step leaves the file as it was.
    Transaction tx(conn_);
    bool hasSeqNo = false;
    for (const QString& f : conn_.fieldNames(currentTable_))
        if (f.compare(QLatin1String("seqno"), Qt::CaseInsensitive) == 0) hasSeqNo = true;
    if (!hasSeqNo) {
        conn_.execute(QStringLiteral("alter table ") + currentTable_ +
                      QStringLiteral(" add SeqNo int null"));
        RenumberSeqNo(currentTable_, false);
    }
    bool users = false;
    bool d1 = false, d2 = false, d3 = false;
    for (const QString& t : conn_.tableNames()) {
        if (t.compare(QLatin1String("UsersData"), Qt::CaseInsensitive) == 0) users = true;
        if (t.compare(QLatin1String("datum1"), Qt::CaseInsensitive) == 0) d1 = true;
        if (t.compare(QLatin1String("datum2"), Qt::CaseInsensitive) == 0) d2 = true;
        if (t.compare(QLatin1String("datum3"), Qt::CaseInsensitive) == 0) d3 = true;
    }
    if (!users) {
        conn_.execute(QStringLiteral(
            "Create table UsersData(userID char(50) PRIMARY key,Passwords char(50),Grade int "
            "Default 1)"));
        q3_.close();
        q3_.setSql(QStringLiteral("Select * from UsersData"));
        q3_.open();
        q3_.append();
        q3_.setValue(QStringLiteral("userID"), QStringLiteral("Admin"));
        q3_.post();
        q3_.close();
    }
    if (!d1) conn_.execute(QStringLiteral("select * into datum1 from datum where 1=2"));
    if (!d2) conn_.execute(QStringLiteral("select * into datum2 from datum where 1=2"));
    if (!d3) conn_.execute(QStringLiteral("select * into datum3 from datum where 1=2"));
    tx.commit();
}

void ArticleStore::OpenSeqNo(const QString& table, bool ordered) {
    q2_.close();
    q2_.setSql(ordered ? QStringLiteral("select id,seqno from ") + table +
                             QStringLiteral(" ORDER By [seqno]")
                       : QStringLiteral("select id,seqno,theme from ") + table);
    q2_.open();
    q2_.first();
}

void ArticleStore::RenumberSeqNo(const QString& table, bool ordered) {
    using namespace detail;
    sqlite3* db = conn_.handle();
    const QString t = sqltext::bracket(table);
    {
        Transaction tx(conn_);
        // Ordered: by number, nulls first, equal numbers in stored order.
        // Unordered: stored order. Only rows whose number changes are written.
        Stmt rows(db, QStringLiteral("SELECT rowid, SeqNo FROM %1 ORDER BY %2rowid")
                          .arg(t, ordered ? QStringLiteral("SeqNo, ") : QString()));
        std::vector<qint64> change;
        std::vector<int> numbers;
        int k = 1;
        while (rows.step()) {
            if (sqlite3_column_type(rows.get(), 1) != SQLITE_INTEGER ||
                sqlite3_column_int64(rows.get(), 1) != k) {
                change.push_back(rows.int64(0));
                numbers.push_back(k);
            }
            ++k;
        }
        rows.reset();
        if (!change.empty()) {
            Stmt upd(db, QStringLiteral("UPDATE %1 SET SeqNo=? WHERE rowid=?").arg(t));
            for (size_t i = 0; i < change.size(); ++i) {
                upd.bind(1, QVariant(numbers[i]));
                upd.bind(2, QVariant(qlonglong(change[i])));
                upd.step();
                upd.reset();
            }
        }
        tx.commit();
    }
    OpenSeqNo(table, ordered);
}

int ArticleStore::countRows(const QString& table) {
    detail::Stmt st(conn_.handle(),
                    QStringLiteral("SELECT count(*) FROM ") + sqltext::bracket(table));
    st.step();
    return int(st.int64(0));
}

void ArticleStore::moveMainTo(int i) {
    q1_.first();
    q1_.moveBy(i);
}

bool ArticleStore::mainInCustomOrder() const {
    if (!q1_.isActive()) return false;
    const QString sql = q1_.sql();
    return sql == workbookOpenSql(currentTable_) ||
           sql == CBXAllItem(SortMode::Custom, currentTable_) ||
           sql == CBXNoAllItem(SortMode::Custom, currentTable_);
}

bool ArticleStore::dropReorder(int s, int t) {
    if (s < 0 || t < 0 || s == t) return false;
    if (!mainInCustomOrder()) return false;
    if (s >= q1_.recordCount() || t >= q1_.recordCount()) return false;
    moveMainTo(s);
    if (q1_.isNull(store::kFieldSeqNo)) return false;
    const int f = q1_.asInteger(store::kFieldSeqNo);
    moveMainTo(t);
    if (q1_.isNull(store::kFieldSeqNo)) return false;
    const int e = q1_.asInteger(store::kFieldSeqNo);
    moveMainTo(s);
    const qint64 moved = q1_.rowId();
    {
        Transaction tx(conn_);
        if (e != f) {
            q2_.close();
            q2_.setSql(
                QStringLiteral("update ") + currentTable_ +
                (e < f ? QStringLiteral(" set SeqNo=SeqNo+1 where (([SeqNo]>=:SeqNoEndValue)and "
                                        "([SeqNo]<:SeqNoFirValue))  ")
                       : QStringLiteral(" set SeqNo=SeqNo-1 where (([SeqNo]<=:SeqNoEndValue)and "
                                        "([SeqNo]>:SeqNoFirValue))  ")));
            q2_.setParam(QStringLiteral("SeqNoFirValue"), f);
            q2_.setParam(QStringLiteral("SeqNoEndValue"), e);
            q2_.execSql();
        }
        moveMainTo(s);
        try {
            q1_.edit();
            q1_.setValue(store::kFieldSeqNo, e);
            q1_.post();
        } catch (...) {
            q1_.cancel();
            throw;
        }
        tx.commit();
    }
    // The list is ordered by SeqNo: the same change made to the loaded rows
    // gives the order a new query would, without reading 100,000 rows again.
    static const QRegularExpression bySeqNo(QStringLiteral("order\\s+by\\s+\\[?seqno\\]?\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const int lo = qMin(e, f), hi = qMax(e, f);
    if (moved >= 0 && bySeqNo.match(q1_.sql().trimmed()).hasMatch() &&
        q1_.shiftLoadedIntegers(store::kFieldSeqNo, e < f ? lo : lo + 1, e < f ? hi - 1 : hi,
                                e < f ? 1 : -1, moved)) {
        q1_.sortLoadedRows(store::kFieldSeqNo);
    } else {
        reopenMain();
    }
    return true;
}

}  // namespace store
