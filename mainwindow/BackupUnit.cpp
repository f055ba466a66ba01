// Copies of the library: progress dialog, the copy before a destructive
// command, the day's copy and the restore dialog.

#include "mainwindow/BackupUnit.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "mainwindow/MainUnit.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "platform/core/ProfileFile.h"
#include "store/Backup.h"
#include "store/ErrorText.h"

namespace {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

QString passwordOf(TMainForm* main) {
    return store::ConnectionInfo::parse(main->db().connection().connectionString()).password;
}

QString folderOf(TMainForm* main) {
    return store::backupFolderOf(main->db().connection());
}

// A progress dialog that shows after half a second and keeps the windows
// painting while the copy runs (input stays blocked: the copy is not
// re-entered).
class Progress {
  public:
    Progress(QWidget* parent, const QString& label) : dlg_(label, QString(), 0, 100, parent) {
        dlg_.setWindowTitle(QString::fromUtf8(platform::kAppTitle));
        dlg_.setWindowModality(Qt::WindowModal);
        dlg_.setCancelButton(nullptr);
        dlg_.setMinimumDuration(500);
        dlg_.setAutoClose(false);
        dlg_.setAutoReset(false);
        dlg_.setValue(0);
    }
    store::BackupProgress callback() {
        return [this](int done, int total) {
            if (total > 0) {
                dlg_.setMaximum(total);
                dlg_.setValue(qMin(done, total));
            }
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }

  private:
    QProgressDialog dlg_;
};

QString sizeText(qint64 bytes) {
    if (bytes >= 1024 * 1024)
        return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
    return QString::number(bytes / 1024) + QStringLiteral(" KB");
}

}  // namespace

namespace backupui {

int keepCount(TMainForm* main) {
    const platform::ProfileFile ini(main->settingsPath());
    const int n = ini.readInteger(QString::fromLatin1(kSection), QString::fromLatin1(kKeepKey),
                                  store::kDefaultBackupKeep);
    return n < 1 ? store::kDefaultBackupKeep : n;
}

base::Result<void> writeBackupWithProgress(TMainForm* main, QWidget* parent) {
    Progress progress(parent, QStringLiteral("正在备份数据库，请稍候……"));
    try {
        store::writeBackup(main->db().connection(), folderOf(main), keepCount(main),
                           progress.callback());
    } catch (const store::StoreError& e) {
        const auto [text, detail] = store::errorText(e);
        platform::logCause(text, store::errorCause(e));
        return base::failure(text);
    }
    return {};
}

bool backupBeforeDestructiveCommand(TMainForm* main, QWidget* parent) {
    if (writeBackupWithProgress(main, parent)) return true;
    return platform::prompt().messageBox(
               parent, QStringLiteral("无法写入数据库备份，该操作完成后将不能恢复！仍然继续？"),
               QStringLiteral("警告"), Buttons::OkCancel, Icon::Warning) == Answer::Ok;
}

void dailyBackup(TMainForm* main) {
    if (store::hasBackupOfDay(folderOf(main), QDate::currentDate())) return;
    if (!writeBackupWithProgress(main, main))
        platform::prompt().messageBox(main,
                                      QStringLiteral("今天的数据库备份未能写入，请检查磁盘空间！"),
                                      QStringLiteral("警告"), Buttons::Ok, Icon::Warning);
}

void showRestoreDialog(TMainForm* main) {
    TBackupForm dlg(main, main);
    dlg.exec();
}

}  // namespace backupui

TBackupForm::TBackupForm(TMainForm* main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("BackupForm"));
    setWindowTitle(QStringLiteral("恢复备份"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("选择要恢复的备份（当前数据库会先另存为一个备份）：")));
    List = new QTableWidget(this);
    List->setObjectName(QStringLiteral("List"));
    QStringList headers{QStringLiteral("备份时间")};
    headers << main_->tabCaptions();
    headers << QStringLiteral("大小");
    List->setColumnCount(int(headers.size()));
    List->setHorizontalHeaderLabels(headers);
    List->verticalHeader()->hide();
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    List->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(List);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtnRestore = new QPushButton(QStringLiteral("恢复(&R)"));
    BtnRestore->setObjectName(QStringLiteral("BtnRestore"));
    BtnClose = new QPushButton(QStringLiteral("关闭(&C)"));
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    buttons->addWidget(BtnRestore);
    buttons->addWidget(BtnClose);
    layout->addLayout(buttons);
    connect(BtnRestore, &QPushButton::clicked, this, [this] {
        if (BtnRestoreClick()) accept();
    });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(List, &QTableWidget::cellDoubleClicked, this, [this] {
        if (BtnRestoreClick()) accept();
    });
    resize(640, 360);
    fillList();
}

void TBackupForm::fillList() {
    const QList<store::BackupInfo> copies = store::listBackups(folderOf(main_), passwordOf(main_));
    List->setRowCount(int(copies.size()));
    paths_.clear();
    for (int r = 0; r < int(copies.size()); ++r) {
        const store::BackupInfo& c = copies[r];
        paths_ << c.path;
        int col = 0;
        List->setItem(r, col++,
                      new QTableWidgetItem(c.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        for (int p = 0; p < 4; ++p) {
            QString t;
            if (!c.readable)
                t = p == 0 ? QStringLiteral("已损坏") : QString();
            else
                t = c.counts[p] < 0 ? QStringLiteral("-") : QString::number(c.counts[p]);
            auto* item = new QTableWidgetItem(t);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            List->setItem(r, col++, item);
        }
        auto* size = new QTableWidgetItem(sizeText(c.sizeBytes));
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        List->setItem(r, col++, size);
    }
    if (!copies.isEmpty()) List->selectRow(0);
    BtnRestore->setEnabled(!copies.isEmpty());
}

bool TBackupForm::BtnRestoreClick() {
    const int row = List->currentRow();
    if (row < 0 || row >= int(paths_.size())) {
        platform::prompt().showMessage(this, QStringLiteral("请先选择要恢复的备份！"));
        return false;
    }
    const QString when = List->item(row, 0)->text();
    if (platform::prompt().messageBox(
            this,
            QStringLiteral("当前数据库将被 ") + when +
                QStringLiteral(" 的备份替换（当前数据库会先另存为一个备份）。确认恢复？"),
            QStringLiteral("确认"), Buttons::OkCancel, Icon::Question) != Answer::Ok)
        return false;

    try {
        Progress progress(this, QStringLiteral("正在恢复数据库，请稍候……"));
        store::restoreBackup(main_->db(), paths_[row], folderOf(main_), backupui::keepCount(main_),
                             progress.callback());
    } catch (const store::BackupDamagedError&) {
        platform::prompt().messageBox(this, QStringLiteral("所选备份已损坏，无法恢复！"),
                                      QStringLiteral("提示"), Buttons::Ok, Icon::Error);
        fillList();
        return false;
    } catch (const store::StoreError&) {
        platform::prompt().messageBox(
            this,
            QStringLiteral("数据库正在被其他应用程序使用，恢复未能完成，当前数据库未被更改！"),
            QStringLiteral("提示"), Buttons::Ok, Icon::Error);
        fillList();
        return false;
    }

    // The main window starts again from the first workbook.
    try {
        main_->db().CheckDatabase();
    } catch (const store::StoreError&) {
    }
    {
        const QSignalBlocker block(main_->cxTabControl1);
        main_->cxTabControl1->setCurrentIndex(0);
    }
    main_->cxTabControl1Change();
    platform::prompt().information(
        this, QStringLiteral("数据库已恢复为 ") + when + QStringLiteral(" 的备份。"));
    return true;
}
