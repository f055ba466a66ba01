// Workbook tabs, the category filter and the status bar counts.
#include <QComboBox>
#include <QLabel>
#include <QSet>
#include <QTabBar>

#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "store/Fields.h"

namespace {
const char* const kConnectFailed = "数据库连接失败，请重新下载安装该软件！";

// The engine's text comparison ignores the case of Latin letters only.
QString latinFolded(const QString& s) {
    QString r = s;
    for (QChar& c : r)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + 32);
    return r;
}
}  // namespace

bool TMainForm::GetWorkbook(int position, QString* table, platform::ColorCode* color) const {
    return session_.workbook(position, table, color);
}

void TMainForm::setWorkbookCaption(int position, const QString& caption) {
    if (position >= 0 && position < cxTabControl1->count())
        cxTabControl1->setTabText(position, caption);
}

void TMainForm::setTitleListColor(platform::ColorCode code) {
    ListBox1->setListColor(platform::colorFromCode(code));
}

QStringList TMainForm::tabCaptions() const {
    QStringList r;
    for (int k = 0; k < cxTabControl1->count(); ++k) r << cxTabControl1->tabText(k);
    return r;
}

int TMainForm::selectedTab() const {
    return cxTabControl1->currentIndex();
}

bool TMainForm::OpenDb(const QString& sql, bool useParam, const QString& group) {
    try {
        session_.store().OpenDb(sql, useParam, group);
        return true;
    } catch (const std::exception& e) {
        platform::logCause(QString::fromUtf8(kConnectFailed), store::errorCause(e));
        platform::prompt().messageBox(this, QString::fromUtf8(kConnectFailed),
                                      QStringLiteral("提示"), platform::Buttons::Ok,
                                      platform::Icon::Error);
        requestQuit();
        return false;
    }
}

void TMainForm::cxTabControl1Change() {
    QString table;
    platform::ColorCode color = 0;
    if (!GetWorkbook(selectedTab(), &table, &color)) return;
    session_.store().setCurrentTable(table);
    setTitleListColor(color);
    try {
        if (!OpenDb(store::workbookOpenSql(table))) return;  // message shown, ending
        RefreshComboBox();
        CBXgroup->setCurrentIndex(0);
        Refreshlistbox1();
        UpdateStatusCounts();
    } catch (const std::exception& e) {
        platform::logCause(QString::fromUtf8(kConnectFailed), store::errorCause(e));
        platform::prompt().messageBox(this, QString::fromUtf8(kConnectFailed),
                                      QStringLiteral("提示"), platform::Buttons::Ok,
                                      platform::Icon::Error);
        requestQuit();
    }
}

void TMainForm::RefreshComboBox() {
    CBXgroup->clear();
    QStringList entries{QStringLiteral("全部")};
    store::RecordSet& q = session_.store().ADOQuery1();
    q.first();
    if (q.recordCount() < 1) {
        CBXgroup->addItems(entries);
        return;
    }
    // Categories in order of first appearance; Latin letters compare without case.
    QSet<QString> seen{latinFolded(entries.front())};
    for (; !q.eof(); q.next()) {
        const QString g = q.asString(store::kFieldGroup);
        const QString key = latinFolded(g);
        if (seen.contains(key)) continue;
        seen.insert(key);
        entries << g;
    }
    CBXgroup->addItems(entries);
}

void TMainForm::CBXgroupChange() {
    // Entry 0 is "全部"; every other entry is a category, the empty one too.
    const QString text = CBXgroup->currentText();
    bool ok;
    if (CBXgroup->currentIndex() <= 0)
        ok = OpenDb(store::CBXAllItem(session_.sortMode, currentTable()));
    else
        ok = OpenDb(store::CBXNoAllItem(session_.sortMode, currentTable()), true, text);
    if (!ok) return;
    Refreshlistbox1();
}

bool TMainForm::reopenListAfterChange(const store::ErrorText& error, bool withCategories) {
    try {
        if (withCategories) {
            session_.store().OpenDb(store::workbookOpenSql(currentTable()));
            RefreshComboBox();
            CBXgroup->setCurrentIndex(0);
        } else if (CBXgroup->currentIndex() <= 0) {
            session_.store().OpenDb(store::CBXAllItem(session_.sortMode, currentTable()));
        } else {
            session_.store().OpenDb(store::CBXNoAllItem(session_.sortMode, currentTable()), true,
                                    CBXgroup->currentText());
        }
        Refreshlistbox1();
        UpdateStatusCounts();
        return true;
    } catch (const std::exception&) {
        // No title may stand for a row the record set does not have.
        session_.store().ADOQuery1().close();
        ListBox1->setTitles({});
        platform::reportError(this, error.text, error.detail);
        return false;
    }
}

void TMainForm::UpdateStatusCounts() {
    const int n = session_.store().countRows(currentTable());
    statusPanels[4]->setText(QString::number(n) + QStringLiteral(" 条记录"));
    statusPanels[3]->setText(QString::number(CBXgroup->count() - 1) + QStringLiteral(" 个分类"));
    statusPanels[2]->setText(QStringLiteral("【") + cxTabControl1->tabText(selectedTab()) +
                             QStringLiteral("】"));
}
