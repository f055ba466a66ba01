// The maintenance dialog: construction, first showing and the page
// "数据库压缩 清空" (compaction and clearing of the current workbook).

#include "mainwindow/CompUnit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "mainwindow/BackupUnit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "store/ErrorText.h"
#include "store/Maintenance.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const char* const kDatabaseFile = "data/YunjanDB.mdb";
const char* const kBusyText = "数据库正在被其他应用程序打开，请稍后再试！";

}  // namespace

TCompForm::TCompForm(TMainForm* main, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      main_(main),
      sourceQuery_(std::make_unique<store::RecordSet>(main->db().connection())),
      targetQuery_(std::make_unique<store::RecordSet>(main->db().connection())) {
    setObjectName(QStringLiteral("CompForm"));
    setWindowTitle(QStringLiteral("数据库维护"));
    setSizeGripEnabled(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    buildPageCompact();
    buildPageTransfer();
    buildPageCategories();
    PageControl1->setCurrentIndex(2);  // opens on "更改文档分类"

    resize(440, 300);
    if (parent) {
        const QRect pr = parent->frameGeometry();
        move(pr.center() - rect().center());
    }
}

TCompForm::~TCompForm() = default;

void TCompForm::buildPageCompact() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    auto* notes = new QGroupBox(QStringLiteral("操作说明"));
    auto* notesLayout = new QVBoxLayout(notes);
    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setPlainText(QStringList{
        QStringLiteral("        压缩数据库，能够"), QStringLiteral("节约硬盘空间，但也存"),
        QStringLiteral("在一定的风险，导致数"), QStringLiteral("据库出错。"),
        QStringLiteral("        清空工作簿，就是"), QStringLiteral("将当前工作簿中的所有"),
        QStringLiteral("记录清除，清除后数据"), QStringLiteral("无法恢复，请慎重使用"),
        QStringLiteral("        建议压缩数据库、"), QStringLiteral("清空工作簿以前，备份"),
        QStringLiteral("原数据库！")}
                            .join(u'\n'));
    notesLayout->addWidget(Memo1);
    grid->addWidget(notes, 0, 0, 2, 1);

    auto* ops = new QGroupBox(QStringLiteral("维护操作"));
    auto* opsLayout = new QVBoxLayout(ops);
    Button1 = new QPushButton(QStringLiteral("压缩数据库"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("清空当前工作簿"));
    Button2->setObjectName(QStringLiteral("Button2"));
    opsLayout->addWidget(Button1);
    opsLayout->addWidget(Button2);
    grid->addWidget(ops, 0, 1);

    auto* current = new QGroupBox(QStringLiteral("当前工作簿"));
    auto* currentLayout = new QVBoxLayout(current);
    Label1 = new QLabel;
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    currentLayout->addWidget(Label1);
    grid->addWidget(current, 1, 1);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    PageControl1->addTab(page, QStringLiteral("数据库压缩 清空"));
}

void TCompForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TCompForm::FormShow() {
    shownOnce_ = true;
    const QStringList captions = main_->tabCaptions();
    {
        const QSignalBlocker b1(cbxTarget);
        const QSignalBlocker b2(ComboBox1);
        const QSignalBlocker b3(cbxCondition);
        cbxTarget->clear();
        cbxTarget->addItems(captions);
        cbxTarget->setCurrentIndex(1);
        ComboBox1->clear();
        ComboBox1->addItems(captions);
        ComboBox1->setCurrentIndex(main_->selectedTab());
        cbxCondition->clear();
        for (int i = 0; i < main_->CBXgroup->count(); ++i)
            cbxCondition->addItem(main_->CBXgroup->itemText(i));
        cbxCondition->setCurrentIndex(0);
    }
    Label1->setText(QStringLiteral("【 ") + captions.value(main_->selectedTab()) +
                    QStringLiteral(" 】"));
    ComboBox1Change();
}

void TCompForm::reject() {
    if (transferRunning_) return;
    QDialog::reject();
}

void TCompForm::Button1Click() {
    if (platform::prompt().messageBox(nullptr, QStringLiteral("确认压缩数据库？"),
                                      QStringLiteral("警告"), Buttons::OkCancel,
                                      Icon::None) != Answer::Ok)
        return;
    CompactDB(QString::fromLatin1(kDatabaseFile), QString::fromLatin1(store::kDatabasePassword));
}

bool TCompForm::CompactDB(const QString& dbFile, const QString& password) {
    store::CompactReport report;
    try {
        report = store::CompactDB(main_->db(), dbFile, password);
    } catch (const store::CompactLeftoverError& e) {
        platform::logCause(QStringLiteral("compaction leftover in the way"), store::errorCause(e));
        platform::prompt().messageBox(
            this,
            QStringLiteral("上次压缩留下的临时文件“") +
                QString::fromLatin1(store::kCompactTempFile) +
                QStringLiteral("”仍在程序目录中，请将其移走或删除后再试！"),
            QStringLiteral("提示:"), Buttons::Ok, Icon::Error);
        restoreMainRecordSet();
        return false;
    } catch (const store::StoreError& e) {
        platform::logCause(QString::fromUtf8(kBusyText), store::errorCause(e));
        platform::prompt().messageBox(this, QString::fromUtf8(kBusyText), QStringLiteral("提示:"),
                                      Buttons::Ok, Icon::Error);
        restoreMainRecordSet();
        return false;
    }
    if (!main_->OpenDb(QStringLiteral("select * from datum "))) return false;
    main_->Refreshlistbox1();
    platform::prompt().information(
        this, QStringLiteral("压缩整理成功！原数据库大小") + QString::number(report.beforeKb) +
                  QStringLiteral(" KB，压缩后数据库大小") + QString::number(report.afterKb) +
                  QStringLiteral(" KB。"));
    return true;
}

void TCompForm::restoreMainRecordSet() {
    // The database file is unchanged; the title list keeps matching the main
    // record set when that reopens with its own text.
    try {
        main_->db().reopenMain();
    } catch (const store::StoreError& e) {
        platform::logCause(QStringLiteral("reopening the list after compaction"),
                           store::errorCause(e));
    }
}

void TCompForm::Button2Click() {
    if (platform::prompt().messageBox(nullptr, QStringLiteral("数据库清空后不能恢复！确认？"),
                                      QStringLiteral("警告"), Buttons::OkCancel,
                                      Icon::None) != Answer::Ok)
        return;
    if (!backupui::backupBeforeDestructiveCommand(main_, this)) return;
    try {
        store::clearWorkbook(main_->db(), main_->currentTable());
    } catch (const store::StoreError& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
        return;
    }
    platform::prompt().information(this, QStringLiteral("当前『工作簿』清空完成！"));
    main_->ListBox1->clear();
    const QSignalBlocker block(main_->CBXgroup);
    main_->CBXgroup->clear();
    main_->CBXgroup->addItem(QStringLiteral("全部"));
    main_->CBXgroup->setCurrentIndex(0);
}
