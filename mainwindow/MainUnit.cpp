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
#include "mainwindow/TitleList.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "platform/core/AppSettings.h"
#include "platform/core/ProfileFile.h"
#include "platform/core/ProgramPaths.h"
#include "richtext/RichEditCtrl.h"
#include "settings/AboutUnit.h"
#include "store/Users.h"
#include "widgets/Icons.h"

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

}  // namespace

TMainForm::TMainForm(TFlashForm* splash, QWidget* parent) : QMainWindow(parent), splash_(splash) {
    g_instance = this;
    settingsFile = platform::programPaths().settingsFile;
    setWindowTitle(QStringLiteral("砚溪舟-云笺录 V2.8"));
    setWindowIcon(about::programIcon());
    resize(platform::AppSettings::kDefaultWindowWidth, platform::AppSettings::kDefaultWindowHeight);
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
        session_.store().ADOQuery1().close();
        session_.store().ADOQuery2().close();
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
    session_.currentPassword = store::GetPassword(session_.store(), session_.userName);
    session_.loginNeeded = !session_.currentPassword.isEmpty();
}

void TMainForm::FormCreate() {
    session_.userName = QStringLiteral("admin");
    session_.store().connection().setConnectionString(QString::fromUtf8(store::kConnectionString));
    session_.store().setCurrentTable(QStringLiteral("datum"));
    // The first workbook is filled inside the guarded block below, after the
    // schema check: an older database gets its order numbers before the
    // first query that sorts by them.
    cxTabControl1->blockSignals(true);
    cxTabControl1->setCurrentIndex(0);
    cxTabControl1->blockSignals(false);
    setTitleListColor(session_.workbookColors[0]);

    RichEdit1->clearAll();
    RichEdit1->appendLine(QStringLiteral("欢迎使用砚溪舟系列软件！"));
    RichEdit1->appendLine(QStringLiteral("网址："));
    RichEdit1->appendLine(homePageUrl());
    RichEdit1->appendLine(homePageShort());

    bool failed = false;
    try {
        session_.store().CheckDatabase();
        stepSplash();
        lookUpPassword();
        session_.sortMode = store::SortMode::Custom;
        viewerFont = &viewerFontValue_;
        stepSplash();
        SetMargin(RichEdit1);
        stepSplash();
        session_.store().RenumberSeqNo(currentTable(), true);
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
    platform::AppSettings stored;
    stored.load(platform::ProfileFile(settingsPath()));

    session_.titleDisplayMode = stored.titleDisplayMode;
    session_.numberDisplayMode = stored.numberDisplayMode;
    CBXheighview->setCurrentIndex(session_.titleDisplayMode);
    CBXNo->setCurrentIndex(session_.numberDisplayMode);
    ListBox1->setTitleDisplayMode(session_.titleDisplayMode);
    ListBox1->setNumberDisplayMode(session_.numberDisplayMode);

    setViewerBackgroundCode(stored.viewerBackground);

    session_.workbookColors = stored.workbookColors;
    setTitleListColor(session_.workbookColors[0]);

    {
        // Renaming the tabs is no workbook switch.
        const QSignalBlocker block(cxTabControl1);
        while (cxTabControl1->count() > 0) cxTabControl1->removeTab(0);
        for (const QString& n : stored.workbookNames) cxTabControl1->addTab(n);
        cxTabControl1->setCurrentIndex(0);
    }
    for (int k = 0; k < 4; ++k) moveItems[k]->setText(stored.workbookNames[k]);

    const int w = stored.windowWidth;
    const int h = stored.windowHeight;
    resize(w, h);

    applyZoomText(stored.zoomText);
    if (session_.numberDisplayMode != 2) CBXNoChange();
    RichEdit1->setFocus();
    stepSplash();

    if (session_.loginNeeded) {
        if (splash_) splash_->hide();
        if (runLogin())
            session_.loginNeeded = false;
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
    if (text != platform::AppSettings::defaultZoomText()) {
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
    platform::AppSettings current;
    current.zoomText = CBXscale->currentText();
    current.viewerBackground = viewerBackgroundCode();
    current.titleDisplayMode = session_.titleDisplayMode;
    current.numberDisplayMode = session_.numberDisplayMode;
    current.workbookColors = session_.workbookColors;
    current.windowWidth = width();
    current.windowHeight = height();
    // Nothing is reported when the file cannot be written.
    platform::ProfileFile ini(settingsPath());
    current.save(ini);
}

void TMainForm::changeEvent(QEvent* e) {
    // Minimising to the tray is handled by the filter setupTray() installs.
    QMainWindow::changeEvent(e);
}
