// Article commands: add, modify, delete, rename, category, copy title, move;
// the search and maintenance entries.
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "editor/Addunit.h"  // showModal closes an editor left open by an import first
#include "mainwindow/CompUnit.h"
#include "mainwindow/FindUnit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "mainwindow/editclassUnit.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "platform/Shell.h"
#include "store/Articles.h"
#include "store/ErrorText.h"
#include "widgets/ViewerFindDialog.h"

using platform::Buttons;
using platform::Icon;

namespace {

// The selected title's row in the main record set, or -1. A line that has no
// row behind it (the notice of an empty search) counts as no selection, so no
// command can write through an empty record set.
int articleIndex(TMainForm* w) {
    const int i = w->selectedIndex();
    store::RecordSet& q = w->db().ADOQuery1();
    if (i < 0 || !q.isActive() || i >= q.recordCount()) return -1;
    return i;
}

void noSelectionForModify(QWidget* owner) {
    platform::prompt().messageBox(owner, QStringLiteral("请选择要修改的文章题目！"),
                                  QStringLiteral("提示:"), Buttons::Ok, Icon::Error);
}

// After a delete or a move: select the title above the old position and show it.
void selectAbove(TMainForm* w, int i) {
    w->ListBox1->selectQuietly(i - 1);
    if (w->selectedIndex() >= 0) w->ListBox1Click();
}

}  // namespace

void TMainForm::BtnAddClick() {
    session_.editorMode = session::EditorMode::Add;
    AddForm->showModal();
}

void TMainForm::BtnModifyClick() {
    if (articleIndex(this) < 0) {
        noSelectionForModify(this);
        return;
    }
    session_.editorMode = session::EditorMode::Modify;
    AddForm->showModal();
}

void TMainForm::BtnDelClick() {
    const int i = articleIndex(this);
    if (i < 0) {
        platform::prompt().messageBox(this, QStringLiteral("请选择要删除的文章题目！"),
                                      QStringLiteral("提示:"), Buttons::Ok, Icon::Error);
        return;
    }
    if (platform::prompt().messageBox(this, QStringLiteral("确认删除记录？"),
                                      QStringLiteral("警告:"), Buttons::OkCancel,
                                      Icon::Warning) != platform::Answer::Ok)
        return;
    try {
        store::deleteArticle(db(), i);
    } catch (const store::ListReopenError& e) {
        // The article is deleted; only the list has to be read again.
        if (!reopenListAfterChange(store::errorText(e), false)) return;
    } catch (const store::StoreError& e) {
        platform::logCause(QStringLiteral("删除数据失败，请检查操作！"), store::errorCause(e));
        // Nothing was deleted and the list still matches the record set.
        platform::prompt().errorReport(this, QStringLiteral("删除数据失败，请检查操作！"));
        return;
    }
    Refreshlistbox1();
    selectAbove(this, i);
}

void TMainForm::N8Click() {
    const int i = articleIndex(this);
    if (i < 0) {
        noSelectionForModify(this);
        return;
    }
    {
        Teditclassform dlg(this, i, this);
        dlg.exec();
    }
    activateWindow();
    setFocus();
}

void TMainForm::ListBox1DblClick() {
    const int i = articleIndex(this);
    titleEditorIndex = i;
    if (i < 0) return;
    QListWidgetItem* item = ListBox1->item(i);
    const QString text = item->text();
    const int p = text.indexOf(QLatin1Char('.')) + 1;  // 1-based, 0 when none
    const int w = QFontMetrics(ListBox1->font()).horizontalAdvance(text.left(p));
    const QRect r = ListBox1->visualItemRect(item);  // viewport coordinates
    const int left = session_.numberDisplayMode == 0 ? r.left() + w + 4 : r.left() + 23;
    const int top = r.top() + 1;
    // The item's rectangle ends one pixel below its last row.
    const int height = r.height() + 1;
    QWidget* host = titleEditor->parentWidget();
    const QPoint at =
        host ? host->mapFromGlobal(ListBox1->viewport()->mapToGlobal(QPoint(left, top)))
             : QPoint(left, top);
    titleEditor->move(at);
    titleEditor->resize(titleEditor->width(), height);
    titleEditor->setText(session_.shown.title);
    item->setSelected(false);
    titleEditor->show();
    titleEditor->raise();
    titleEditor->selectAll();
    titleEditor->setFocus();
}

void TMainForm::titleEditorCommit() {
    if (!titleEditor->isVisible()) return;
    const QString text = titleEditor->text();
    if (text.isEmpty()) {
        platform::prompt().messageBox(this, QStringLiteral("文章题目不能为空！"),
                                      QStringLiteral("提示"), Buttons::Ok, Icon::Error);
        // The message box took the focus away; the editor stays open.
        titleEditor->show();
        titleEditor->setFocus();
        return;
    }
    try {
        store::renameTitle(db(), titleEditorIndex, text);
    } catch (const store::StoreError& e) {
        titleEditor->hide();
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
        return;
    }
    CBXgroupChange();
    titleEditor->hide();
    titleEditorIndex = -1;
}

void TMainForm::N20Click() {
    // The entry is enabled for the open rename editor's selection; copy that
    // even if the closing menu has not handed the focus back yet.
    if (titleEditor && titleEditor->isVisible() && titleEditor->hasSelectedText()) {
        titleEditor->copy();
        return;
    }
    QWidget* fw = QApplication::focusWidget();
    if (auto* le = qobject_cast<QLineEdit*>(fw))
        le->copy();
    else if (auto* te = qobject_cast<QTextEdit*>(fw))
        te->copy();
    else if (auto* pe = qobject_cast<QPlainTextEdit*>(fw))
        pe->copy();
}

void TMainForm::moveArticleTo(int position) {
    const int i = articleIndex(this);
    if (i < 0) {
        noSelectionForModify(this);
        return;
    }
    const QString target = store::workbookTable(position);
    if (target.isEmpty()) return;
    enum { Refresh, Reopened, Lost } list = Refresh;
    try {
        store::moveArticle(db(), i, target);
    } catch (const store::ListReopenError& e) {
        // The article is moved; only the list has to be read again.
        list = reopenListAfterChange(store::errorText(e), false) ? Reopened : Lost;
    } catch (const store::StoreError& e) {
        platform::logCause(QStringLiteral("操作出错，请与作者联系！"), store::errorCause(e));
        // Both workbooks are as they were; the list still matches.
        platform::prompt().messageBox(this, QStringLiteral("操作出错，请与作者联系！"),
                                      QStringLiteral("提示:"), Buttons::Ok, Icon::Error);
        return;
    }
    platform::prompt().showMessage(this, QStringLiteral("文章移动成功！！"));
    if (list == Lost) return;
    if (list == Refresh) Refreshlistbox1();
    selectAbove(this, i);
}

void TMainForm::BtnSearchClick() {
    TFindForm dlg(this, this);
    dlg.exec();
}

void TMainForm::mmMaintainClick() {
    TCompForm dlg(this, this);
    dlg.exec();
}

void TMainForm::mmAddDBClick() {
    platform::ShellRequest req;
    // The sibling lies beside the program's own executable; it works in the
    // working directory, whose database "-s" names.
    req.target =
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("AddDB"));
    req.args = QStringList{QStringLiteral("-s")};
    platform::shellOpen(req);
}
