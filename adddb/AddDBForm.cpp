#include "adddb/AddDBForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "platform/core/AppSettings.h"
#include "platform/core/ProfileFile.h"
#include "platform/core/ProgramPaths.h"
#include "store/Append.h"
#include "store/ErrorText.h"
#include "store/LegacyImport.h"

namespace {

const char* const kCaption = "数据库记录追加";
const char* const kFilter = "数据库文件 (*.mdb *.MDB);;所有文件 (*)";

void tell(QWidget* owner, const QString& text, platform::Icon icon) {
    platform::prompt().messageBox(owner, text, QStringLiteral("提示"), platform::Buttons::Ok, icon);
}

}  // namespace

TAddDBForm::TAddDBForm(const QString& targetPath, QWidget* parent) : QWidget(parent) {
    setWindowTitle(QString::fromUtf8(kCaption));
    auto* top = new QVBoxLayout(this);

    auto* srcBox = new QGroupBox(QStringLiteral("源数据库"), this);
    auto* sg = new QGridLayout(srcBox);
    sg->addWidget(new QLabel(QStringLiteral("文件"), srcBox), 0, 0);
    EdtSource = new QLineEdit(srcBox);
    EdtSource->setReadOnly(true);
    EdtSource->setMinimumWidth(300);
    sg->addWidget(EdtSource, 0, 1);
    BtnSource = new QPushButton(QStringLiteral("选择…"), srcBox);
    sg->addWidget(BtnSource, 0, 2);
    sg->addWidget(new QLabel(QStringLiteral("工作簿"), srcBox), 1, 0);
    CBXsource = new QComboBox(srcBox);
    sg->addWidget(CBXsource, 1, 1, 1, 2);
    top->addWidget(srcBox);

    auto* tgtBox = new QGroupBox(QStringLiteral("目标数据库"), this);
    auto* tg = new QGridLayout(tgtBox);
    tg->addWidget(new QLabel(QStringLiteral("文件"), tgtBox), 0, 0);
    EdtTarget = new QLineEdit(tgtBox);
    EdtTarget->setReadOnly(true);
    EdtTarget->setText(targetPath.isEmpty() ? QString() : QFileInfo(targetPath).absoluteFilePath());
    tg->addWidget(EdtTarget, 0, 1);
    BtnTarget = new QPushButton(QStringLiteral("选择…"), tgtBox);
    BtnTarget->setVisible(targetPath.isEmpty());
    tg->addWidget(BtnTarget, 0, 2);
    tg->addWidget(new QLabel(QStringLiteral("工作簿"), tgtBox), 1, 0);
    CBXtarget = new QComboBox(tgtBox);
    for (int p = 0; p < 4; ++p) CBXtarget->addItem(workbookName(p), store::workbookTable(p));
    tg->addWidget(CBXtarget, 1, 1, 1, 2);
    top->addWidget(tgtBox);

    ChkSkip = new QCheckBox(QStringLiteral("跳过目标工作簿中已有的标题"), this);
    ChkSkip->setChecked(true);
    top->addWidget(ChkSkip);
    PBar = new QProgressBar(this);
    PBar->setRange(0, 100);
    PBar->setValue(0);
    top->addWidget(PBar);
    LblState = new QLabel(QStringLiteral("请选择源数据库文件。"), this);
    top->addWidget(LblState);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtnAppend = new QPushButton(QStringLiteral("开始追加"), this);
    BtnAppend->setEnabled(false);
    BtnClose = new QPushButton(QStringLiteral("关闭"), this);
    buttons->addWidget(BtnAppend);
    buttons->addWidget(BtnClose);
    top->addLayout(buttons);

    connect(BtnSource, &QPushButton::clicked, this, &TAddDBForm::BtnSourceClick);
    connect(BtnTarget, &QPushButton::clicked, this, &TAddDBForm::BtnTargetClick);
    connect(BtnAppend, &QPushButton::clicked, this, &TAddDBForm::BtnAppendClick);
    connect(BtnClose, &QPushButton::clicked, this, &QWidget::close);
}

TAddDBForm::~TAddDBForm() = default;

QString TAddDBForm::workbookName(int position) const {
    // The names the user gave the workbooks, from the main program's settings
    // file (the user's own when installed).
    platform::AppSettings settings;
    settings.load(platform::ProfileFile(platform::mainProgramPaths().settingsFile));
    return position >= 0 && position < platform::AppSettings::kWorkbookCount
               ? settings.workbookNames[position]
               : store::defaultWorkbookName(position);
}

bool TAddDBForm::loadSource(const QString& path) {
    source_.reset();
    converted_.reset();
    CBXsource->clear();
    BtnAppend->setEnabled(false);
    EdtSource->setText(QFileInfo(path).absoluteFilePath());
    QString file = path;
    if (store::isJetFile(path)) {
        // libmdb reads the file in a child process, into a temporary copy.
        converted_ = std::make_unique<QTemporaryDir>();
        file = converted_->filePath(QStringLiteral("source.mdb"));
        LblState->setText(QStringLiteral("正在读取 Access 格式的数据库……"));
        PBar->setValue(0);
        const store::ImportRun run = store::runImportTool(
            path, file, store::importTimeLimitMs(QFileInfo(path).size()),
            [this](qint64 done, qint64 total) {
                PBar->setValue(total > 0 ? int(done * 100 / total) : 100);
                QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
        if (!run.ok) {
            converted_.reset();
            LblState->setText(QStringLiteral("无法读取源数据库。"));
            tell(this, QStringLiteral("无法读取源数据库：%1").arg(run.message),
                 platform::Icon::Error);
            return false;
        }
    }
    try {
        auto c = std::make_unique<store::Connection>();
        c->setConnectionString(
            store::makeConnectionString(file, QString::fromLatin1(store::kDatabasePassword)));
        c->open();
        source_ = std::move(c);
    } catch (const std::exception& e) {
        platform::logCause(QStringLiteral("无法读取源数据库。"), store::errorCause(e));
        LblState->setText(QStringLiteral("无法读取源数据库。"));
        tell(this,
             QStringLiteral("无法打开源数据库，它不是本程序或 Access 格式的文章数据库：%1")
                 .arg(path),
             platform::Icon::Error);
        return false;
    }
    fillSourceWorkbooks();
    if (CBXsource->count() == 0) {
        source_.reset();
        tell(this, QStringLiteral("源数据库中没有文章工作簿。"), platform::Icon::Error);
        return false;
    }
    PBar->setValue(0);
    LblState->setText(QStringLiteral("请选择源工作簿和目标工作簿。"));
    BtnAppend->setEnabled(true);
    return true;
}

void TAddDBForm::fillSourceWorkbooks() {
    for (int p = 0; p < 4; ++p) {
        const QString table = store::workbookTable(p);
        try {
            if (!source_->tableExists(table)) continue;
            store::RecordSet rs(*source_);
            rs.setSql(QStringLiteral("select count(*) as n from ") + table);
            rs.open();
            CBXsource->addItem(QStringLiteral("%1（%2 篇）")
                                   .arg(store::defaultWorkbookName(p))
                                   .arg(rs.asInteger(QStringLiteral("n"))),
                               table);
        } catch (const std::exception& e) {
            platform::logCause(QStringLiteral("workbook of the source left out of the list"),
                               store::errorCause(e));
        }
    }
}

void TAddDBForm::BtnSourceClick() {
    platform::FileDialogRequest req;
    req.caption = QStringLiteral("选择源数据库");
    req.filter = QString::fromUtf8(kFilter);
    const platform::FileDialogResult res = platform::prompt().openFile(this, req);
    if (res.accepted && !res.path.isEmpty()) loadSource(res.path);
}

void TAddDBForm::BtnTargetClick() {
    platform::FileDialogRequest req;
    req.caption = QStringLiteral("选择目标数据库");
    req.filter = QString::fromUtf8(kFilter);
    const platform::FileDialogResult res = platform::prompt().openFile(this, req);
    if (res.accepted && !res.path.isEmpty())
        EdtTarget->setText(QFileInfo(res.path).absoluteFilePath());
}

void TAddDBForm::BtnAppendClick() {
    if (busy_ || !source_ || CBXsource->currentIndex() < 0) return;
    if (EdtTarget->text().isEmpty()) {
        tell(this, QStringLiteral("请先选择目标数据库。"), platform::Icon::Warning);
        return;
    }
    const QString targetPath = EdtTarget->text();
    if (store::isJetFile(targetPath)) {
        tell(this, QStringLiteral("目标数据库是 Access 格式，请先用本程序打开它，转换后再追加。"),
             platform::Icon::Warning);
        return;
    }
    busy_ = true;
    BtnAppend->setEnabled(false);
    BtnSource->setEnabled(false);
    BtnTarget->setEnabled(false);
    PBar->setValue(0);
    LblState->setText(QStringLiteral("正在追加……"));
    QString failure;
    store::AppendResult r;
    try {
        store::ArticleStore target;
        target.connection().setConnectionString(
            store::makeConnectionString(targetPath, QString::fromLatin1(store::kDatabasePassword)));
        target.connection().open();
        r = store::appendArticles(
            *source_, CBXsource->currentData().toString(), target,
            CBXtarget->currentData().toString(), ChkSkip->isChecked(), [this](int done, int total) {
                PBar->setValue(total > 0 ? done * 100 / total : 100);
                if (onRow) onRow(done, total);
                QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
        target.connection().close();
    } catch (const std::exception& e) {
        platform::logCause(QStringLiteral("追加文章时出错，目标数据库没有改动。"),
                           store::errorCause(e));
        failure = QStringLiteral("追加文章时出错，目标数据库没有改动。");
    }
    busy_ = false;
    BtnAppend->setEnabled(true);
    BtnSource->setEnabled(true);
    BtnTarget->setEnabled(true);
    if (!failure.isEmpty()) {
        LblState->setText(failure);
        tell(this, failure, platform::Icon::Error);
        return;
    }
    PBar->setValue(100);
    QString text =
        QStringLiteral("已追加 %1 篇文章到“%2”。").arg(r.appended).arg(CBXtarget->currentText());
    if (r.skipped > 0) text += QStringLiteral("\n跳过了 %1 篇标题已存在的文章。").arg(r.skipped);
    LblState->setText(text);
    tell(this, text, platform::Icon::Information);
}
