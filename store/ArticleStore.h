#pragma once
// The main window's database session: the connection, the three record sets
// (main ADOQuery1 behind the title list, auxiliary ADOQuery2, users ADOQuery3)
// and the current workbook table. Schema check, list queries, renumbering and
// the reorder performed by a drop in the title list live here.

#include <QString>

#include "store/Engine.h"

namespace store {

// Sort mode of the title list.
enum class SortMode { Ascending, Descending, Custom };

// Order number that places an article after all others until renumbering.
constexpr int kSeqNoLast = 999999999;

// Workbook position 0..3 -> table "datum", "datum1", "datum2", "datum3";
// any other position gives an empty string.
QString workbookTable(int position);
// Table -> position (case-insensitive), -1 when unknown.
int workbookPosition(const QString& table);
// Default workbook names "主工作簿", "工作簿1", "工作簿2", "工作簿3".
QString defaultWorkbookName(int position);

// Condition "the category equals :param", where the empty category also
// holds the rows whose category is null (rows written by other programs).
QString categoryCondition(const QString& param);

// SQL text of the main record set for all categories / one category
// (the category goes in the parameter "group"; "" is the empty category).
QString CBXAllItem(SortMode sortMode, const QString& table);
QString CBXNoAllItem(SortMode sortMode, const QString& table);
// "select * from " + table + " ORDER  By [seqno]"
QString workbookOpenSql(const QString& table);

class ArticleStore {
  public:
    ArticleStore();
    ~ArticleStore();

    Connection& connection() { return conn_; }
    RecordSet& ADOQuery1() { return q1_; }  // main record set
    RecordSet& ADOQuery2() { return q2_; }  // auxiliary record set
    RecordSet& ADOQuery3() { return q3_; }  // user record set

    QString currentTable() const { return currentTable_; }
    void setCurrentTable(const QString& t) { currentTable_ = t; }

    // Reopens the main record set with the given text (and the "group"
    // parameter when useGroup). Throws StoreError; the GUI turns it into the
    // connection-failure message.
    void OpenDb(const QString& sql, bool useGroup = false, const QString& group = {});
    // Closes and reopens the main record set with its unchanged text and parameters.
    void reopenMain();

    // Start-up schema check: SeqNo on the current table, UsersData, datum1..3.
    void CheckDatabase();

    // Opens the auxiliary record set on a table's order numbers.
    void OpenSeqNo(const QString& table, bool ordered);
    // Rewrites the order numbers as 1..N (one transaction).
    void RenumberSeqNo(const QString& table, bool ordered);
    // Row count of a table (the unordered OpenSeqNo's count).
    int countRows(const QString& table);

    // Whether the main record set lists the current workbook in custom order
    // (the order-number query of that table, with or without a category):
    // only then is row i the title a drop may place.
    bool mainInCustomOrder() const;

    // Store side of a drop in the title list: s = dragged row, t = target row
    // of the main record set. Shifts the range, gives the dragged row the
    // target's number and reopens the main record set. Returns false when
    // nothing was changed (the main record set is not in custom order, s or t
    // is -1, s == t, or either order number is null).
    bool dropReorder(int s, int t);

    // Positions the main record set on row i (first, then i forward).
    void moveMainTo(int i);

  private:
    Connection conn_;
    RecordSet q1_;
    RecordSet q2_;
    RecordSet q3_;
    QString currentTable_ = QStringLiteral("datum");
};

}  // namespace store
