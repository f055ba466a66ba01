// The article editor window: layout, showing it for "add" and "modify",
// writing the article into the current workbook, the save-changes question
// and the status bar.
#include "editor/Addunit.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/EditorCommands.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "richtext/RichEditCtrl.h"
#include "session/MainView.h"
#include "session/Session.h"
#include "store/Articles.h"
#include "store/ErrorText.h"
#include "widgets/Icons.h"
#include "widgets/ViewerFindDialog.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::prompt;

namespace {

const QString kUntitled = QStringLiteral("Untitled");
const QString kAll = QStringLiteral("全部");
// Shown when the database refused an article; the transaction left the
// workbook as it was.
const QString kWriteFailed = QStringLiteral("文章保存失败，数据库没有任何改动，请检查操作！");

QAction* makeAction(QObject* owner, const char* name, const QString& text,
                    const QKeySequence& key = {}) {
    auto* a = new QAction(text, owner);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) a->setShortcut(key);
    return a;
}

}  // namespace

TAddForm::TAddForm(session::Session& session, session::MainView& view, QWidget* parent)
    : QMainWindow(parent), session_(session), view_(view) {
    setObjectName(QStringLiteral("AddForm"));
    setWindowFlag(Qt::Window);
    resize(895, 857);
    setAcceptDrops(true);
    buildLayout();
    buildFileMenu();
    buildStatusBar();
    commands_ = std::make_unique<EditorCommands>(this, Editor, statusBar());
    commands_->setFields(EdtTheme, CBXgroup);
    commands_->setFormatCheckBox(ChkIsformat);
    commands_->onExportPicture = [this] { OutBmpItmClick(); };
    commands_->onPasteWebFormat = [this] { EditPasteHtmlClick(); };
    commands_->install(menuBar(), ToolBar1, ToolBar2);
    attachFieldMenus();

    connect(Editor, &richtext::RichEditCtrl::contentChanged, this,
            &TAddForm::updateModifiedIndicator);
    connect(Editor->document(), &QTextDocument::modificationChanged, this,
            [this](bool) { updateModifiedIndicator(); });
    Editor->installEventFilter(this);
    Editor->viewport()->installEventFilter(this);
    SetDocumentName(kUntitled);
}

TAddForm::~TAddForm() = default;

bool TAddForm::isAddMode() const {
    return session_.editorMode == session::EditorMode::Add;
}
bool TAddForm::isModifyMode() const {
    return session_.editorMode == session::EditorMode::Modify;
}

QAction* TAddForm::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

// ---------------------------------------------------------------- layout

void TAddForm::buildLayout() {
    ToolBar1 = addToolBar(QStringLiteral("文件编辑"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(16, 16));
    addToolBarBreak();
    ToolBar2 = addToolBar(QStringLiteral("格式"));
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setIconSize(QSize(16, 16));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Header: category, title and the rich-text flag.
    auto* header = new QWidget(central);
    header->setObjectName(QStringLiteral("HeaderPanel"));
    auto* hl = new QHBoxLayout(header);
    hl->setContentsMargins(8, 6, 8, 6);
    auto* lblGroup = new QLabel(QStringLiteral("文章分类："), header);
    CBXgroup = new QComboBox(header);
    CBXgroup->setObjectName(QStringLiteral("CBXgroup"));
    CBXgroup->setEditable(true);
    CBXgroup->setInsertPolicy(QComboBox::NoInsert);
    CBXgroup->setMinimumWidth(160);
    lblGroup->setBuddy(CBXgroup);
    auto* lblTheme = new QLabel(QStringLiteral("文章题目："), header);
    EdtTheme = new QLineEdit(header);
    EdtTheme->setObjectName(QStringLiteral("EdtTheme"));
    lblTheme->setBuddy(EdtTheme);
    ChkIsformat = new QCheckBox(QStringLiteral("是否保存文章格式"), header);
    ChkIsformat->setObjectName(QStringLiteral("ChkIsformat"));
    ChkIsformat->setLayoutDirection(Qt::RightToLeft);  // caption left of the box
    hl->addWidget(lblGroup);
    hl->addWidget(CBXgroup);
    hl->addSpacing(12);
    hl->addWidget(lblTheme);
    hl->addWidget(EdtTheme, 1);
    hl->addSpacing(12);
    hl->addWidget(ChkIsformat);
    column->addWidget(header);

    // The document pane.
    Editor = new richtext::RichEditCtrl(central);
    Editor->setObjectName(QStringLiteral("Editor"));
    QFont paneFont(QStringLiteral("Arial"));
    paneFont.setPixelSize(12);
    Editor->setFont(paneFont);
    Editor->setTabChangesFocus(false);
    QPalette pal = Editor->palette();  // the selection stays visible without focus
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    Editor->setPalette(pal);
    column->addWidget(Editor, 1);

    // Bottom panel: the two database buttons and the note.
    auto* bottom = new QWidget(central);
    bottom->setObjectName(QStringLiteral("BottomPanel"));
    bottom->setStatusTip(QStringLiteral("数据操作快捷栏"));
    auto* bl = new QHBoxLayout(bottom);
    bl->setContentsMargins(8, 6, 8, 6);
    BtnAdd = new QPushButton(QStringLiteral("将文章存入数据库"), bottom);
    BtnAdd->setObjectName(QStringLiteral("BtnAdd"));
    BtnAdd->setStatusTip(QStringLiteral("存入数据库提交按钮"));
    BtnAdd->setToolTip(BtnAdd->statusTip());
    BtnModify = new QPushButton(QStringLiteral("修改数据库中文章"), bottom);
    BtnModify->setObjectName(QStringLiteral("BtnModify"));
    BtnModify->setStatusTip(QStringLiteral("文章修改提交按钮"));
    BtnModify->setToolTip(BtnModify->statusTip());
    NoteMemo = new QPlainTextEdit(bottom);
    NoteMemo->setObjectName(QStringLiteral("NoteMemo"));
    NoteMemo->setReadOnly(true);
    NoteMemo->setFrameShape(QFrame::NoFrame);
    NoteMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NoteMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NoteMemo->setPlainText(
        QStringLiteral("友情提示：格式化存取大尺寸照片，能够导致数据库剧增，程序速度变慢，\n"
                       "请慎重使用！"));
    QPalette np = NoteMemo->palette();
    np.setColor(QPalette::Text, QColor(128, 0, 0));
    np.setColor(QPalette::Base, np.color(QPalette::Window));
    NoteMemo->setPalette(np);
    NoteMemo->setFixedHeight(NoteMemo->fontMetrics().lineSpacing() * 2 + 10);
    bl->addWidget(BtnAdd);
    bl->addWidget(BtnModify);
    bl->addSpacing(12);
    bl->addWidget(NoteMemo, 1);
    column->addWidget(bottom);

    setCentralWidget(central);

    connect(BtnAdd, &QPushButton::clicked, this, [this] { BtnAddClick(); });
    connect(BtnModify, &QPushButton::clicked, this, [this] { BtnModifyClick(); });
}

void TAddForm::buildFileMenu() {
    FileMenu = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    EditorCommands::useEditorMenuLook(FileMenu);
    FileNewItem = makeAction(this, "FileNewItem", QStringLiteral("新建(&N)"), QKeySequence::New);
    FileOpenItem =
        makeAction(this, "FileOpenItem", QStringLiteral("打开(&O)..."), QKeySequence::Open);
    FileSaveItem =
        makeAction(this, "FileSaveItem", QStringLiteral("文件存盘(&S)"), QKeySequence::Save);
    FileSaveAsItem = makeAction(this, "FileSaveAsItem", QStringLiteral("文件另存(&A)"));
    FileSaveDb = makeAction(this, "FileSaveDb", QStringLiteral("存入数据库(&D)"),
                            QKeySequence(Qt::CTRL | Qt::Key_D));
    FileOopenWord = makeAction(this, "FileOopenWord", QStringLiteral("导入外部文档(&G)"));
    FilePrintItem =
        makeAction(this, "FilePrintItem", QStringLiteral("打印(&p)"), QKeySequence::Print);
    FileExitItem = makeAction(this, "FileExitItem", QStringLiteral("退出(&X)"),
                              QKeySequence(Qt::ALT | Qt::Key_X));
    FileMenu->addAction(FileNewItem);
    FileMenu->addAction(FileOpenItem);
    FileMenu->addAction(FileSaveItem);
    FileMenu->addAction(FileSaveAsItem);
    FileMenu->addAction(FileSaveDb);
    FileMenu->addSeparator();
    FileMenu->addAction(FileOopenWord);
    FileMenu->addSeparator();
    FileMenu->addAction(FilePrintItem);
    FileMenu->addSeparator();
    FileMenu->addAction(FileExitItem);

    const QIcon newIcon = style()->standardIcon(QStyle::SP_FileIcon);
    NewBtn = makeAction(this, "NewBtn", QStringLiteral("新建"));
    NewBtn->setIcon(newIcon);
    OpenBtn = makeAction(this, "OpenBtn", QStringLiteral("打开"));
    OpenBtn->setIcon(icons::icon(icons::Import));
    SaveBtn = makeAction(this, "SaveBtn", QStringLiteral("存为文件"));
    SaveBtn->setIcon(icons::icon(icons::Export));
    SaveDbBtn = makeAction(this, "SaveDbBtn", QStringLiteral("存入数据库"));
    SaveDbBtn->setIcon(icons::icon(icons::AppendDb));
    PrintBtn = makeAction(this, "PrintBtn", QStringLiteral("打印"));
    PrintBtn->setIcon(icons::icon(icons::Print));
    FileNewItem->setIcon(newIcon);
    FileOpenItem->setIcon(OpenBtn->icon());
    FileSaveItem->setIcon(SaveBtn->icon());
    FileSaveDb->setIcon(SaveDbBtn->icon());
    FilePrintItem->setIcon(PrintBtn->icon());
    for (QAction* a : {NewBtn, OpenBtn, SaveBtn, SaveDbBtn, PrintBtn}) {
        a->setToolTip(a->text());
        ToolBar1->addAction(a);
        if (auto* b = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(a))) {
            b->setAutoRaise(true);
            b->setFixedSize(24, 22);
        }
    }

    for (QAction* a : {FileNewItem, NewBtn})
        connect(a, &QAction::triggered, this, [this] { FileNew(); });
    for (QAction* a : {FileOpenItem, OpenBtn})
        connect(a, &QAction::triggered, this, [this] { FileOpen(); });
    for (QAction* a : {FileSaveItem, SaveBtn})
        connect(a, &QAction::triggered, this, [this] { FileSave(); });
    connect(FileSaveAsItem, &QAction::triggered, this, [this] { FileSaveAs(); });
    for (QAction* a : {FileSaveDb, SaveDbBtn})
        connect(a, &QAction::triggered, this, [this] { BtnAddClick(); });
    connect(FileOopenWord, &QAction::triggered, this, &TAddForm::FileOopenWordClick);
    for (QAction* a : {FilePrintItem, PrintBtn})
        connect(a, &QAction::triggered, this, [this] { FilePrint(); });
    connect(FileExitItem, &QAction::triggered, this, [this] { FileExit(); });
}

void TAddForm::buildStatusBar() {
    static constexpr int kWidths[6] = {160, 120, 50, 100, 150, 50};
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    for (int i = 0; i < 6; ++i) {
        auto* l = new QLabel(bar);
        l->setObjectName(QStringLiteral("panel%1").arg(i));
        l->setFixedWidth(kWidths[i]);
        if (i == 1) l->setAlignment(Qt::AlignCenter);
        // Ordinary (not permanent) items: a hint replaces all six panels.
        bar->addWidget(l);
        statusPanels[i] = l;
    }
    statusPanels[3]->setText(QStringLiteral("当前工作簿："));
}

void TAddForm::attachFieldMenus() {
    auto attach = [this](QWidget* w) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint& p) {
            if (QMenu* m = commands_->fieldMenu()) m->popup(w->mapToGlobal(p));
        });
    };
    attach(EdtTheme);
    attach(CBXgroup);
    if (CBXgroup->lineEdit()) attach(CBXgroup->lineEdit());
}

// ------------------------------------------------------- showing, closing

void TAddForm::showModal() {
    if (isVisible()) {
        // Open without blocking (import): it closes through the save-changes
        // question before it is shown again modally.
        close();
        if (isVisible()) {
            raise();
            activateWindow();
            return;
        }
    }
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    modalLoop_ = &loop;
    show();
    if (isVisible()) loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    setWindowModality(Qt::NonModal);
}

void TAddForm::showForImport(const QString& path) {
    if (isVisible()) {
        // Still open from an earlier import: its unsaved text is not dropped
        // without asking.
        if (!QuerySaveChanges()) return;
        FormShow();
    } else {
        show();
    }
    raise();
    activateWindow();
    try {
        withProtectedEdits([&] { Editor->loadFromFile(path); });
    } catch (const std::exception& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
        return;
    }
    Editor->setModified(false);
    updateModifiedIndicator();
    commands_->RichEditChange();
    EdtTheme->setText(fileNamePart(path));
    Editor->setFocus();
}

void TAddForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TAddForm::hideEvent(QHideEvent* e) {
    QMainWindow::hideEvent(e);
    if (!e->spontaneous() && modalLoop_) modalLoop_->quit();
}

void TAddForm::closeEvent(QCloseEvent* e) {
    // FormCloseQuery: the window stays open when the question is abandoned.
    bool goOn = false;
    closing_ = true;
    try {
        goOn = QuerySaveChanges();
    } catch (...) {
        goOn = false;
    }
    closing_ = false;
    if (goOn)
        e->accept();
    else
        e->ignore();
}

void TAddForm::FormShow() {
    const QStringList tabs = view_.tabCaptions();
    const int tab = view_.selectedTab();
    const QString caption = tab >= 0 && tab < tabs.size() ? tabs.at(tab) : QString();
    statusPanels[4]->setText(QStringLiteral("【") + caption + QStringLiteral("】"));

    commands_->UpdateCaretStatus();
    updateModifiedIndicator();
    commands_->RichEditChange();
    commands_->UpdatePasteCommands();

    SetDocumentName(kUntitled);
    Editor->setModified(false);
    updateModifiedIndicator();

    if (isAddMode()) {
        BtnModify->setEnabled(false);
        BtnAdd->setEnabled(true);
        FileSaveDb->setEnabled(true);
        SaveDbBtn->setEnabled(true);
        FileNew();
    } else if (isModifyMode()) {
        BtnAdd->setEnabled(false);
        BtnModify->setEnabled(true);
        FileSaveDb->setEnabled(false);
        SaveDbBtn->setEnabled(false);
        ChkIsformat->setChecked(session_.shown.isFormat);
        try {
            const QByteArray shown = view_.viewerContent();
            withProtectedEdits([&] {
                Editor->clearAll();
                Editor->loadFromBytes(shown, false);
            });
        } catch (const std::exception& e) {
            const auto [text, detail] = store::errorText(e);
            platform::reportError(this, text, detail);
        }
        if (!session_.shown.isFormat) dropViewerLineEnd();
        Editor->setReadOnly(false);
        CBXgroup->setEditText(session_.shown.group);
        EdtTheme->setText(session_.shown.title);
        SetDocumentName(session_.shown.title);
        MarkUnmodified();
    }

    // The category items follow the main window's list; the text stays.
    const QString text = CBXgroup->currentText();
    {
        QSignalBlocker block(CBXgroup);
        CBXgroup->clear();
        for (int i = 0; i < view_.categoryList()->count(); ++i)
            CBXgroup->addItem(view_.categoryList()->itemText(i));
        CBXgroup->setCurrentIndex(-1);
    }
    CBXgroup->setEditText(text);

    view_.SetMargin(Editor);
}

// The viewer shows a plain-text body as a line of its own, which leaves an
// empty last paragraph behind the text. Taken over as it is, every change of
// a plain-text article would add a line break to its body.
void TAddForm::dropViewerLineEnd() {
    QTextDocument* doc = Editor->document();
    if (doc->blockCount() < 2 || !doc->lastBlock().text().isEmpty()) return;
    withProtectedEdits([doc] {
        QTextCursor c(doc);
        c.movePosition(QTextCursor::End);
        c.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    });
    doc->clearUndoRedoStacks();
}

// ---------------------------------------------------------- document state

void TAddForm::SetDocumentName(const QString& name) {
    documentName_ = name;
    const QString part = fileNamePart(name);
    Editor->document()->setMetaInformation(QTextDocument::DocumentTitle, part);
    QString title = QStringLiteral("%1 - %2").arg(part, QString::fromUtf8(platform::kAppTitle));
    // "[*]" is the window system's modified mark; a name may contain it.
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title);
}

void TAddForm::MarkUnmodified() {
    Editor->setModified(false);
    updateModifiedIndicator();
    commands_->RichEditChange();
}

void TAddForm::updateModifiedIndicator() {
    statusPanels[1]->setText(Editor->modified() ? QStringLiteral("Modified") : QString());
}

void TAddForm::withProtectedEdits(const std::function<void()>& f) {
    auto allow = [this](bool on) {
        Editor->setAllowProtectedEdits(on);
        commands_->setAllowProtectedChange(on);
    };
    allow(true);
    try {
        f();
    } catch (...) {
        allow(false);
        throw;
    }
    allow(false);
}

// --------------------------------------------------------------- saving

bool TAddForm::validate(bool adding) {
    if (EdtTheme->text().isEmpty() || Editor->plainText().isEmpty() ||
        CBXgroup->currentText().isEmpty()) {
        prompt().messageBox(this, QStringLiteral("题目或者内容、分类不能为空！"),
                            QStringLiteral("提示"), Buttons::Ok, Icon::Error);
        return false;
    }
    if (CBXgroup->currentText() == kAll) CBXgroup->setEditText(store::storedCategory(kAll));
    const QString question =
        adding ? QStringLiteral("确认添加数据？") : QStringLiteral("确认修改数据库中数据？");
    return prompt().messageBox(this, question, QStringLiteral("提示"), Buttons::OkCancel,
                               Icon::Information) == Answer::Ok;
}

QByteArray TAddForm::bodyForStore() const {
    if (ChkIsformat->isChecked()) return Editor->saveToBytes(false);
    // Plain text keeps no pictures or objects, not even their placeholders;
    // lines end as in the bodies the program has always stored.
    QString text = Editor->plainText();
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.toUtf8();
}

TAddForm::SaveResult TAddForm::BtnAddClick() {
    if (!validate(true)) return SaveResult::Refused;
    const QString group = CBXgroup->currentText();
    try {
        store::addArticle(session_.store(), group, EdtTheme->text(), ChkIsformat->isChecked(),
                          bodyForStore());
    } catch (const std::exception& e) {
        platform::logCause(kWriteFailed, store::errorCause(e));
        prompt().errorReport(this, kWriteFailed);
        return SaveResult::Failed;
    }
    UpdateCategoryLists();
    selectCategoryInMain(group);
    MarkUnmodified();
    FileNew();
    prompt().messageBox(this, QStringLiteral("文章添加完成！"), QStringLiteral("提示"), Buttons::Ok,
                        Icon::Information);
    return SaveResult::Saved;
}

TAddForm::SaveResult TAddForm::BtnModifyClick() {
    if (!validate(false)) return SaveResult::Refused;
    const QString group = CBXgroup->currentText();
    store::RecordSet& q = session_.store().ADOQuery1();
    const int row = q.isActive() && q.recNo() >= 0 ? q.recNo() : view_.selectedIndex();
    try {
        store::modifyArticle(session_.store(), row, group, EdtTheme->text(),
                             ChkIsformat->isChecked(), bodyForStore());
    } catch (const std::exception& e) {
        platform::logCause(kWriteFailed, store::errorCause(e));
        prompt().errorReport(this, kWriteFailed);
        return SaveResult::Failed;
    }
    prompt().messageBox(this, QStringLiteral("文章修改完成！"), QStringLiteral("提示"), Buttons::Ok,
                        Icon::Information);
    UpdateCategoryLists();
    selectCategoryInMain(group);
    MarkUnmodified();
    // Closing from inside the close question is that close itself.
    if (!closing_) close();
    return SaveResult::Saved;
}

void TAddForm::UpdateCategoryLists() {
    const QString category = CBXgroup->currentText();
    auto addMissing = [&](QComboBox* box) {
        if (box->findText(category, Qt::MatchFixedString) >= 0) return;
        const QString text = box->currentText();
        QSignalBlocker block(box);
        box->addItem(category);
        if (box->isEditable()) box->setEditText(text);
    };
    addMissing(CBXgroup);
    addMissing(view_.categoryList());
    QComboBox* mainBox = view_.categoryList();
    QSignalBlocker block(mainBox);
    if (mainBox->isEditable())
        mainBox->setEditText(category);
    else
        mainBox->setCurrentIndex(mainBox->findText(category, Qt::MatchFixedString));
}

void TAddForm::selectCategoryInMain(const QString& category) {
    QComboBox* box = view_.categoryList();
    {
        QSignalBlocker block(box);
        box->setCurrentIndex(box->findText(category, Qt::MatchFixedString));
    }
    view_.CBXgroupChange();
}

bool TAddForm::QuerySaveChanges() {
    if (!Editor->modified()) return true;
    QString question;
    std::function<SaveResult()> save;
    if (isModifyMode() && fileExtension(documentName_) == QLatin1String(".rtf")) {
        question = QStringLiteral("文件 %1 已修改，保存?").arg(documentName_);
        save = [this] { return FileSave(); };
    } else if (isModifyMode()) {
        question = QStringLiteral("数据库中文件 %1 已修改，保存?").arg(documentName_);
        save = [this] { return BtnModifyClick(); };
    } else if (isAddMode() && documentName_ == kUntitled) {
        question = QStringLiteral("将文件 ") + EdtTheme->text() + QStringLiteral(" 添加到数据库?");
        save = [this] { return BtnAddClick(); };
    } else {
        question = QStringLiteral("保存到文件 %1?").arg(documentName_);
        save = [this] { return FileSave(); };
    }
    switch (prompt().messageBox(this, question, QStringLiteral("确认"), Buttons::YesNoCancel,
                                Icon::Question)) {
        case Answer::Yes:
            // A refused or cancelled save lets the asking operation go on; a
            // failed write keeps the text where it is.
            return save() != SaveResult::Failed;
        case Answer::No:
            MarkUnmodified();
            return true;
        default:
            return false;
    }
}

// -------------------------------------------------------------- helpers

QString TAddForm::fileNamePart(const QString& path) {
    const qsizetype sep =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(sep + 1);
}

QString TAddForm::fileExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype sep =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    if (dot < 0 || dot < sep) return {};
    return path.mid(dot);
}

QString TAddForm::saveAsTarget(const QString& chosen) {
    return fileExtension(chosen) == QLatin1String(".rtf") ? chosen
                                                          : chosen + QStringLiteral(".rtf");
}

QRect TAddForm::printPageRect(int dpiX, int dpiY, int pageWidth, int pageHeight) {
    const int mx = qRound(dpiX / 25.4 * 20);
    const int my = qRound(dpiY / 25.4 * 20);
    return QRect(QPoint(mx, my), QPoint(pageWidth - mx - 1, pageHeight - my - 1));
}

bool TAddForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Editor && e->type() == QEvent::Resize) {
        // Whoever adjusts the text area on a resize, the editor's inset wins.
        QTimer::singleShot(0, this, [this] { view_.SetMargin(Editor); });
    }
    if (dropFilter(e)) return true;
    return QMainWindow::eventFilter(watched, e);
}
