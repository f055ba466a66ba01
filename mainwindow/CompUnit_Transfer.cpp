// The maintenance dialog's page "数据转移": transfer of the current workbook's
// articles (all, or one category) to another workbook.

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "mainwindow/BackupUnit.h"
#include "mainwindow/CompUnit.h"
#include "mainwindow/MainUnit.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "store/ErrorText.h"
#include "store/Transfer.h"

void TCompForm::buildPageTransfer() {
    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    auto* box = new QGroupBox(QStringLiteral("将当前工作簿数据转移到其他工作簿"));
    auto* form = new QFormLayout(box);

    cbxTarget = new QComboBox;
    cbxTarget->setObjectName(QStringLiteral("cbxTarget"));
    cbxCondition = new QComboBox;
    cbxCondition->setObjectName(QStringLiteral("cbxCondition"));
    cbxMode = new QComboBox;
    cbxMode->setObjectName(QStringLiteral("cbxMode"));
    cbxMode->addItems(
        {QStringLiteral("全部添加，不删除原文章"), QStringLiteral("无重复添加不删除原文章"),
         QStringLiteral("全部添加，删除原文章"), QStringLiteral("无重复添加删除原文章")});
    cbxMode->setCurrentIndex(0);
    form->addRow(QStringLiteral("目标工作簿"), cbxTarget);
    form->addRow(QStringLiteral("追加条件"), cbxCondition);
    form->addRow(QStringLiteral("追加模式"), cbxMode);

    Button3 = new QPushButton(QStringLiteral("转移数据"));
    Button3->setObjectName(QStringLiteral("Button3"));
    form->addRow(Button3);
    ProgressBar1 = new QProgressBar;
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    form->addRow(ProgressBar1);
    Label5 = new QLabel(QStringLiteral("注意：无重复添加，速度会很慢，请耐心等待！"));
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setStyleSheet(QStringLiteral("color: red;"));
    form->addRow(Label5);

    pageLayout->addWidget(box);
    pageLayout->addStretch();
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    PageControl1->addTab(page, QStringLiteral("数据转移"));
}

void TCompForm::stepProgress() {
    ProgressBar1->setValue(qMin(ProgressBar1->value() + 10, ProgressBar1->maximum()));
}

void TCompForm::Button3Click() {
    // The row-by-row modes let the window process events, which includes a
    // second click on this button: it must not start a transfer inside this one.
    if (transferRunning_) return;
    const QString target = store::workbookTable(cbxTarget->currentIndex());
    const QString current = main_->currentTable();
    if (target.compare(current, Qt::CaseInsensitive) == 0) {
        platform::prompt().showMessage(
            this, QStringLiteral("你选定的目标工作簿是当前工作簿，操作无法进行！"));
        return;
    }
    // Entry 0 ("全部") is no condition; any other entry, the empty one too, is a category.
    const std::optional<QString> category =
        cbxCondition->currentIndex() > 0 ? std::optional<QString>(cbxCondition->currentText())
                                         : std::nullopt;
    const auto mode = static_cast<store::TransferMode>(cbxMode->currentIndex());
    // The deleting modes cannot be undone.
    if ((mode == store::TransferMode::AllDelete ||
         mode == store::TransferMode::NoDuplicatesDelete) &&
        !backupui::backupBeforeDestructiveCommand(main_, this))
        return;

    transferRunning_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{transferRunning_};
    try {
        store::transferArticles(
            main_->db(), current, target, category, mode, [] { QCoreApplication::processEvents(); },
            [this] { stepProgress(); });
    } catch (const store::StoreError& e) {
        platform::logCause(QStringLiteral("文章在转移的过程中出错，请联系作者！"),
                           store::errorCause(e));
        platform::prompt().messageBox(this, QStringLiteral("文章在转移的过程中出错，请联系作者！"),
                                      QStringLiteral("提示:"), platform::Buttons::Ok,
                                      platform::Icon::Error);
        return;
    }
    // The transfer has committed: what fails from here on is the refresh of
    // the main window, never the transfer.
    int stepsLeft = 5;
    auto step = [&] {
        stepProgress();
        --stepsLeft;
    };
    try {
        step();
        main_->db().reopenMain();
        main_->RefreshComboBox();
        main_->CBXgroup->setCurrentIndex(0);
        step();
        main_->CBXgroupChange();
        step();
        main_->Refreshlistbox1();
        step();
        main_->UpdateStatusCounts();
    } catch (const std::exception& e) {
        main_->reopenListAfterChange(store::errorText(e), true);
    }
    while (stepsLeft > 0) step();
    sourceQuery_->close();
    targetQuery_->close();
    stepProgress();
    platform::prompt().showMessage(this, QStringLiteral("工作簿中数据已经追加完毕！"));
}
