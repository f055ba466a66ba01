// The main window's life: creation (database check and first fill), first
// showing (settings file), closing (settings written) and destruction.
#include "mainwindow/MainUnit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QTabBar>

#include "editor/Addunit.h"
#include "mainwindow/FlashUnit.h"
#include "mainwindow/Icons.h"
#include "mainwindow/TitleList.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "platform/core/ProfileFile.h"
#include "richtext/RichEditCtrl.h"
#include "settings/AboutUnit.h"
#include "store/Users.h"

namespace {

TMainForm* g_instance = nullptr;

const char* const kConnectFailed = "数据库连接失败，请重新下载安装该软件！";

// The maker's home page in its two forms, shown in the welcome text.
QString homePageUrl() {
    return QString::fromUtf8(about::kHomePage);
}
QString homePageShort() {
    QString s = homePageUrl();
    const int scheme = s.indexOf(QStringLiteral("://"));
    if (scheme >= 0) s = s.mid(scheme + 3);
    while (s.endsWith(QLatin1Char('/'))) s.chop(1);
    return s;
}

constexpr platform::ColorCode kDefaultWorkbookColors[4] = {0xFFFFF4, 0xFFF0FF, 0xDFFFFF, 0xFFE8E8};

QString colorKey(int k) {
    return k == 0 ? QStringLiteral("ThemeColorSet") : QStringLiteral("ThemeColorSet%1").arg(k);
}

QString tabNameKey(int k) {
    return QStringLiteral("cxTabControl1TabsName%1").arg(k);
}

}  // namespace

TMainForm::TMainForm(TFlashForm* splash, QWidget* parent)
    : QMainWindow(parent), db_(std::make_unique<store::ArticleStore>()), splash_(splash) {
    g_instance = this;
    settingsFile = platform::ProfileFile::pathForProgram(QCoreApplication::applicationFilePath());
    setWindowTitle(QStringLiteral("砚溪舟-云笺录 V2.8"));
    setWindowIcon(about::programIcon());
    resize(800, 616);
    buildLayout();
    buildMenus();
    buildToolBars();
    buildPopups();
    wireSignals();
    FormCreate();
    setupTray();
    setupMenuDrawing();
}

TMainForm::~TMainForm() {
    // FormDestroy: close the record sets, let an idle import server go.
    try {
        db_->ADOQuery1().close();
        db_->ADOQuery2().close();
    } catch (const std::exception&) {
    }
    TAddForm::shutdownImportServer();
    if (g_instance == this) g_instance = nullptr;
}

TMainForm* TMainForm::instance() {
    return g_instance;
}

QString TMainForm::settingsPath() const {
    return settingsFile;
}

void TMainForm::requestQuit() {
    quitRequested = true;
    if (endsApplication)
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
}

void TMainForm::restoreWindow() {
    showNormal();
    raise();
    activateWindow();
}

void TMainForm::stepSplash() {
    if (splash_) splash_->stepIt();
}

void TMainForm::lookUpPassword() {
    currentPassword = store::GetPassword(*db_, userName);
    loginNeeded = !currentPassword.isEmpty();
}

void TMainForm::FormCreate() {
    userName = QStringLiteral("admin");
    db_->connection().setConnectionString(QString::fromUtf8(store::kConnectionString));
    db_->setCurrentTable(QStringLiteral("datum"));
    // The first workbook is filled inside the guarded block below, after the
    // schema check: an older database gets its order numbers before the
    // first query that sorts by them.
    cxTabControl1->blockSignals(true);
    cxTabControl1->setCurrentIndex(0);
    cxTabControl1->blockSignals(false);
    setTitleListColor(workbookColors[0]);

    RichEdit1->clearAll();
    RichEdit1->appendLine(QStringLiteral("欢迎使用砚溪舟系列软件！"));
    RichEdit1->appendLine(QStringLiteral("网址："));
    RichEdit1->appendLine(homePageUrl());
    RichEdit1->appendLine(homePageShort());

    bool failed = false;
    try {
        db_->CheckDatabase();
        stepSplash();
        lookUpPassword();
        sortMode = store::SortCustom;
        viewerFont = &viewerFontValue_;
        stepSplash();
        SetMargin(RichEdit1);
        stepSplash();
        db_->RenumberSeqNo(currentTable(), true);
        stepSplash();
        if (!OpenDb(store::workbookOpenSql(currentTable()))) {
            failed = true;  // OpenDb has shown the message and asked to end
        } else {
            stepSplash();
            RefreshComboBox();
            stepSplash();
            CBXgroup->setCurrentIndex(0);
            Refreshlistbox1();
            stepSplash();
            UpdateStatusCounts();
            stepSplash();
        }
    } catch (const std::exception& e) {
        platform::logCause(QString::fromUtf8(kConnectFailed), store::errorCause(e));
        failed = true;
        platform::prompt().messageBox(this, QString::fromUtf8(kConnectFailed),
                                      QStringLiteral("提示"), platform::Buttons::Ok,
                                      platform::Icon::Error);
        requestQuit();
    }
    Q_UNUSED(failed);

    // The in-place title editor, inside the title list.
    auto* editor = new TitleEditor(ListBox1->viewport());
    editor->setObjectName(QStringLiteral("titleEditor"));
    editor->setFont(ListBox1->font());
    editor->resize(ListBox1->viewport()->width(), ListBox1->itemHeight());
    connect(editor, &TitleEditor::commitRequested, this, &TMainForm::titleEditorCommit);
    connect(editor, &TitleEditor::popupRequested, this,
            [this](const QPoint& global) { ListPopup->popup(global); });
    titleEditor = editor;
    ListBox1->setInPlaceEditor(editor);
    stepSplash();
}

void TMainForm::showEvent(QShowEvent* e) {
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
    QMainWindow::showEvent(e);
}

void TMainForm::FormShow() {
    platform::ProfileFile ini(settingsPath());
    const QString zoom = ini.readString(QStringLiteral("TextSet"), QStringLiteral("TextSet"),
                                        QStringLiteral("100%"));

    int tm = ini.readInteger(QStringLiteral("ThemeSet"), QStringLiteral("TextSet"), 0);
    if (tm < 0 || tm > 1) tm = 0;
    int nm = ini.readInteger(QStringLiteral("ThemeIcoSet"), QStringLiteral("TextSet"), 2);
    if (nm < 0 || nm > 2) nm = 2;
    titleDisplayMode = tm;
    numberDisplayMode = nm;
    CBXheighview->setCurrentIndex(tm);
    CBXNo->setCurrentIndex(nm);
    ListBox1->setTitleDisplayMode(tm);
    ListBox1->setNumberDisplayMode(nm);

    setViewerBackgroundCode(ini.readInteger(QStringLiteral("ColorSet"), QStringLiteral("ColorSet"),
                                            platform::kSystemWindowColor));

    for (int k = 0; k < 4; ++k)
        workbookColors[k] = ini.readInteger(QStringLiteral("ThemeColorSet"), colorKey(k),
                                            kDefaultWorkbookColors[k]);
    setTitleListColor(workbookColors[0]);

    QStringList names;
    for (int k = 0; k < 4; ++k)
        names << ini.readString(QStringLiteral("cxTabControl1TabsName"), tabNameKey(k),
                                store::defaultWorkbookName(k));
    {
        // Renaming the tabs is no workbook switch.
        const QSignalBlocker block(cxTabControl1);
        while (cxTabControl1->count() > 0) cxTabControl1->removeTab(0);
        for (const QString& n : names) cxTabControl1->addTab(n);
        cxTabControl1->setCurrentIndex(0);
    }
    for (int k = 0; k < 4; ++k) moveItems[k]->setText(names[k]);

    int w = ini.readInteger(QStringLiteral("WindowSize"), QStringLiteral("WindowWidth"), 800);
    int h = ini.readInteger(QStringLiteral("WindowSize"), QStringLiteral("WindowHeight"), 616);
    // A size no window can sensibly have counts as a bad value.
    if (w < 200 || w > 16384) w = 800;
    if (h < 150 || h > 16384) h = 616;
    resize(w, h);

    applyZoomText(zoom);
    if (numberDisplayMode != 2) CBXNoChange();
    RichEdit1->setFocus();
    stepSplash();

    if (loginNeeded) {
        if (splash_) splash_->hide();
        if (runLogin())
            loginNeeded = false;
        else
            requestQuit();
    }

    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect a = s->availableGeometry();
        move(a.center().x() - w / 2, a.center().y() - h / 2);
    }
}

void TMainForm::applyZoomText(const QString& text) {
    // A stored text that is none of the entries keeps "100%".
    if (text != QLatin1String("100%")) {
        const int i = CBXscale->findText(text, Qt::MatchExactly);
        if (i >= 0) CBXscale->setCurrentIndex(i);
    }
    CBXscaleChange();
}

void TMainForm::closeEvent(QCloseEvent* e) {
    FormClose();
    e->accept();
    if (endsApplication)
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TMainForm::FormClose() {
    platform::ProfileFile ini(settingsPath());
    ini.writeString(QStringLiteral("TextSet"), QStringLiteral("TextSet"), CBXscale->currentText());
    ini.writeInteger(QStringLiteral("ColorSet"), QStringLiteral("ColorSet"),
                     viewerBackgroundCode());
    ini.writeInteger(QStringLiteral("ThemeSet"), QStringLiteral("TextSet"), titleDisplayMode);
    ini.writeInteger(QStringLiteral("ThemeIcoSet"), QStringLiteral("TextSet"), numberDisplayMode);
    for (int k = 0; k < 4; ++k)
        ini.writeInteger(QStringLiteral("ThemeColorSet"), colorKey(k), workbookColors[k]);
    ini.writeInteger(QStringLiteral("WindowSize"), QStringLiteral("WindowWidth"), width());
    ini.writeInteger(QStringLiteral("WindowSize"), QStringLiteral("WindowHeight"), height());
}

void TMainForm::changeEvent(QEvent* e) {
    // Minimising to the tray is handled by the filter setupTray() installs.
    QMainWindow::changeEvent(e);
}
