// The main window's widgets: menus, tool bars, the left pane (sort header,
// category list, title list, workbook tabs), the viewer and the status bar.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "mainwindow/BackupUnit.h"
#include "mainwindow/CategoryCombo.h"
#include "mainwindow/ColorCombo.h"
#include "mainwindow/FullTextUnit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/SortHeader.h"
#include "mainwindow/TitleList.h"
#include "platform/core/AppSettings.h"
#include "richtext/RichEditCtrl.h"
#include "widgets/Icons.h"

namespace {

// An action with its name, caption, picture (-1: none) and shortcut.
QAction* makeAction(QObject* owner, const char* name, const QString& text, int image = -1,
                    const QKeySequence& key = {}) {
    auto* a = new QAction(text, owner);
    a->setObjectName(QString::fromLatin1(name));
    if (image >= 0) a->setIcon(icons::icon(image));
    if (!key.isEmpty()) a->setShortcut(key);
    return a;
}

QMenu* makeMenu(QWidget* owner, const char* name, const QString& text) {
    auto* m = new QMenu(text, owner);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

}  // namespace

QAction* TMainForm::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

void TMainForm::buildLayout() {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setChildrenCollapsible(false);

    auto* left = new QWidget(splitter);
    left->setObjectName(QStringLiteral("Panel1"));
    auto* lv = new QVBoxLayout(left);
    lv->setContentsMargins(0, 0, 0, 0);
    lv->setSpacing(0);

    // Sort header and category list, 6 pixels narrower than their panel.
    auto* panel4 = new QWidget(left);
    panel4->setObjectName(QStringLiteral("Panel4"));
    auto* pv = new QVBoxLayout(panel4);
    pv->setContentsMargins(3, 2, 3, 2);
    pv->setSpacing(2);
    cxHeader1 = new SortHeader(panel4);
    cxHeader1->setObjectName(QStringLiteral("cxHeader1"));
    CBXgroup = new CategoryCombo(panel4);
    CBXgroup->setObjectName(QStringLiteral("CBXgroup"));
    pv->addWidget(cxHeader1);
    pv->addWidget(CBXgroup);
    lv->addWidget(panel4);

    ListBox1 = new TitleList(left);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    lv->addWidget(ListBox1, 1);

    cxTabControl1 = new QTabBar(left);
    cxTabControl1->setObjectName(QStringLiteral("cxTabControl1"));
    cxTabControl1->setShape(QTabBar::RoundedSouth);
    cxTabControl1->setExpanding(false);
    cxTabControl1->setDrawBase(true);
    cxTabControl1->setUsesScrollButtons(true);
    // Four compact tabs fit the 238-pixel pane.
    cxTabControl1->setStyleSheet(QStringLiteral(
        "QTabBar::tab { border: 1px solid #9a9a9a; border-top: none; padding: 2px 6px 3px 6px;"
        " margin-right: -1px; background: #e4e4e4; }"
        "QTabBar::tab:selected { background: #ffffff; padding-bottom: 4px; }"
        "QTabBar::tab:!selected { margin-bottom: 2px; }"));
    for (int k = 0; k < 4; ++k)
        cxTabControl1->addTab(platform::AppSettings::defaultWorkbookName(k));
    lv->addWidget(cxTabControl1);

    RichEdit1 = new richtext::RichEditCtrl(splitter);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard |
                                       Qt::LinksAccessibleByMouse);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setAutoUrlDetect(true);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    viewerFontValue_ = QFont(QStringLiteral("宋体"));
    viewerFontValue_.setPixelSize(12);
    viewerFontValue_.setWeight(QFont::Normal);
    viewerFontValue_.setItalic(false);
    RichEdit1->setFont(viewerFontValue_);
    viewerFont = &viewerFontValue_;

    // The copy buffer: never shown.
    copyBuffer = new richtext::RichEditCtrl(this);
    copyBuffer->setObjectName(QStringLiteral("copyBuffer"));
    copyBuffer->hide();

    splitter->addWidget(left);
    splitter->addWidget(RichEdit1);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({238, 800 - 238});
    left->setMinimumWidth(120);
    setCentralWidget(splitter);

    // Status bar: five panels.
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    const int widths[5] = {250, 100, 100, 100, 50};
    const QString texts[5] = {QStringLiteral(" 砚溪舟系列软件"), QStringLiteral("当前工作簿："),
                              QString(), QString(), QString()};
    for (int k = 0; k < 5; ++k) {
        auto* l = new QLabel(texts[k], StatusBar1);
        l->setObjectName(QStringLiteral("StatusPanel%1").arg(k));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        if (k < 2)
            l->setFixedWidth(widths[k]);
        else
            l->setMinimumWidth(widths[k]);
        StatusBar1->addWidget(l, k == 4 ? 1 : 0);
        statusPanels[k] = l;
    }
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);
}

void TMainForm::buildToolBars() {
    auto* bar1 = addToolBar(QStringLiteral("ToolBar1"));
    bar1->setObjectName(QStringLiteral("ToolBar1"));
    bar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar1->setIconSize(QSize(16, 16));
    bar1->setMovable(false);
    bar1->addAction(action(QStringLiteral("BtnAdd")));
    bar1->addAction(action(QStringLiteral("BtnModify")));
    bar1->addAction(action(QStringLiteral("BtnDel")));
    bar1->addSeparator();
    bar1->addAction(action(QStringLiteral("BtnSearch")));
    bar1->addAction(action(QStringLiteral("BtnFullText")));
    bar1->addAction(action(QStringLiteral("BtnFindText")));
    bar1->addAction(action(QStringLiteral("BtnPrint")));
    bar1->addSeparator();

    CBXscale = new QComboBox(bar1);
    CBXscale->setObjectName(QStringLiteral("CBXscale"));
    CBXscale->setToolTip(QStringLiteral("文章视图比例"));
    CBXscale->setEditable(false);
    for (int z = 50; z <= 200; z += 10) CBXscale->addItem(QStringLiteral("%1%").arg(z));
    CBXscale->setCurrentIndex(5);
    bar1->addWidget(CBXscale);

    auto* colors = new ColorComboBox(bar1);
    colors->setObjectName(QStringLiteral("cxColorComboBox1"));
    colors->setToolTip(QStringLiteral("改变文章背景"));
    colors->setColorCode(platform::kSystemWindowColor);
    colors->setFixedWidth(104);
    cxColorComboBox1 = colors;
    bar1->addWidget(colors);

    auto* bar2 = addToolBar(QStringLiteral("ToolBar2"));
    bar2->setObjectName(QStringLiteral("ToolBar2"));
    bar2->setMovable(false);
    CBXNo = new QComboBox(bar2);
    CBXNo->setObjectName(QStringLiteral("CBXNo"));
    CBXNo->setToolTip(QStringLiteral("标题序号显示"));
    CBXNo->addItems(
        {QStringLiteral("标题号"), QStringLiteral("标题符"), QStringLiteral("标题图标")});
    CBXNo->setCurrentIndex(2);
    bar2->addWidget(CBXNo);
    CBXheighview = new QComboBox(bar2);
    CBXheighview->setObjectName(QStringLiteral("CBXheighview"));
    CBXheighview->setToolTip(QStringLiteral("标题显示模式"));
    CBXheighview->addItems({QStringLiteral("高亮显示"), QStringLiteral("普通显示")});
    CBXheighview->setCurrentIndex(0);
    bar2->addWidget(CBXheighview);
}

void TMainForm::buildMenus() {
    // Tool-bar buttons (their actions are also what the Data menu presses).
    auto button = [this](const char* name, const char* text, const char* hint, int image) {
        QAction* a = makeAction(this, name, QString::fromUtf8(text), image);
        a->setToolTip(QString::fromUtf8(hint));
        a->setStatusTip(QString::fromUtf8(hint));
        return a;
    };
    QAction* btnAdd = button("BtnAdd", " 添加", "添加文章", icons::Add);
    QAction* btnModify = button("BtnModify", " 修改", "修改文章", icons::Modify);
    QAction* btnDel = button("BtnDel", " 删除", "删除文章", icons::Delete);
    QAction* btnSearch = button("BtnSearch", " 搜索主题", "搜索主题", icons::Search);
    QAction* btnFullText = button("BtnFullText", " 全文检索", "全文检索", icons::Search);
    QAction* btnFind = button("BtnFindText", " 查找文字", "查找文字", icons::FindText);
    QAction* btnPrint = button("BtnPrint", " 打印", "打印文章", icons::Print);
    connect(btnAdd, &QAction::triggered, this, &TMainForm::BtnAddClick);
    connect(btnModify, &QAction::triggered, this, &TMainForm::BtnModifyClick);
    connect(btnDel, &QAction::triggered, this, &TMainForm::BtnDelClick);
    connect(btnSearch, &QAction::triggered, this, &TMainForm::BtnSearchClick);
    connect(btnFind, &QAction::triggered, this, &TMainForm::BtnFindTextClick);
    connect(btnFullText, &QAction::triggered, this, [this] { TFullTextForm::showFor(this); });
    connect(btnPrint, &QAction::triggered, this, &TMainForm::mmPrintClick);

    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto press = [](QAction* target) { return [target] { target->trigger(); }; };

    // 文件(&F)
    QMenu* file = makeMenu(this, "mmFile", QStringLiteral("文件(&F)"));
    QAction* a = makeAction(this, "mmOpen", QStringLiteral("导入文件(&O)"), icons::Import,
                            QKeySequence(QStringLiteral("Ctrl+Shift+O")));
    connect(a, &QAction::triggered, this, &TMainForm::mmImportClick);
    file->addAction(a);
    a = makeAction(this, "mmSave", QStringLiteral("导出文件(&S)"), icons::Export,
                   QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    connect(a, &QAction::triggered, this, &TMainForm::mmExportClick);
    file->addAction(a);
    file->addSeparator();
    a = makeAction(this, "mmPrint", QStringLiteral("打印文章(&P)"), icons::Print,
                   QKeySequence(QStringLiteral("Ctrl+P")));
    connect(a, &QAction::triggered, this, press(btnPrint));
    file->addAction(a);
    a = makeAction(this, "mmPrintSetup", QStringLiteral("打印设置(&R)"), icons::PrintSetup,
                   QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    connect(a, &QAction::triggered, this, &TMainForm::mmPrintSetupClick);
    file->addAction(a);
    file->addSeparator();
    a = makeAction(this, "mmClose", QStringLiteral("退出(&X)"), icons::Exit,
                   QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(a, &QAction::triggered, this, &TMainForm::mmCloseClick);
    file->addAction(a);
    bar->addMenu(file);

    // 数据(&D): each entry presses its tool button.
    QMenu* data = makeMenu(this, "mmData", QStringLiteral("数据(&D)"));
    a = makeAction(this, "mmAdd", QStringLiteral("添加文章(&A)"), icons::Add,
                   QKeySequence(QStringLiteral("Ctrl+A")));
    connect(a, &QAction::triggered, this, press(btnAdd));
    data->addAction(a);
    a = makeAction(this, "mmModify", QStringLiteral("编辑文章(&E)"), icons::Modify,
                   QKeySequence(QStringLiteral("Ctrl+E")));
    connect(a, &QAction::triggered, this, press(btnModify));
    data->addAction(a);
    a = makeAction(this, "mmDel", QStringLiteral("删除文章(&D)"), icons::Delete,
                   QKeySequence(QStringLiteral("Ctrl+D")));
    connect(a, &QAction::triggered, this, press(btnDel));
    data->addAction(a);
    data->addSeparator();
    a = makeAction(this, "mmRestore", QStringLiteral("恢复备份(&R)…"), icons::Maintain);
    connect(a, &QAction::triggered, this, [this] { backupui::showRestoreDialog(this); });
    data->addAction(a);
    bar->addMenu(data);

    // 视图(&V)
    QMenu* view = makeMenu(this, "mmView", QStringLiteral("视图(&V)"));
    QMenu* books = makeMenu(this, "N24", QStringLiteral("工作簿"));
    books->menuAction()->setIcon(icons::icon(icons::Workbook));
    const char* bookNames[4] = {"N25", "N110", "N26", "N32"};
    for (int k = 0; k < 4; ++k) {
        a = makeAction(this, bookNames[k], platform::AppSettings::defaultWorkbookName(k));
        connect(a, &QAction::triggered, this, [this, k] { cxTabControl1->setCurrentIndex(k); });
        books->addAction(a);
    }
    view->addMenu(books);
    QMenu* sort = makeMenu(this, "N2", QStringLiteral("排序(&S)"));
    a = makeAction(this, "N3", QStringLiteral("升序(&A)"), icons::SortAscending);
    connect(a, &QAction::triggered, this, &TMainForm::N3Click);
    sort->addAction(a);
    a = makeAction(this, "N4", QStringLiteral("降序(&D)"), icons::SortDescending);
    connect(a, &QAction::triggered, this, &TMainForm::N4Click);
    sort->addAction(a);
    a = makeAction(this, "N5", QStringLiteral("自定义(&C)"), icons::CustomOrder);
    connect(a, &QAction::triggered, this, &TMainForm::N5Click);
    sort->addAction(a);
    view->addMenu(sort);
    QMenu* spacing = makeMenu(this, "N11", QStringLiteral("标题行距"));
    spacing->menuAction()->setIcon(icons::icon(icons::LineSpacing));
    a = makeAction(this, "N12", QStringLiteral("大(&L)"));
    connect(a, &QAction::triggered, this, &TMainForm::N12Click);
    spacing->addAction(a);
    a = makeAction(this, "N13", QStringLiteral("中(&M)"));
    connect(a, &QAction::triggered, this, &TMainForm::N13Click);
    spacing->addAction(a);
    a = makeAction(this, "N14", QStringLiteral("小(&S)"));
    connect(a, &QAction::triggered, this, &TMainForm::N14Click);
    spacing->addAction(a);
    view->addMenu(spacing);
    view->addSeparator();
    a = makeAction(this, "mmZoomI", QStringLiteral("字体+(&+)"), icons::ZoomIn,
                   QKeySequence(QStringLiteral("Ctrl+Ins")));
    connect(a, &QAction::triggered, this, &TMainForm::mmZoomIClick);
    view->addAction(a);
    a = makeAction(this, "mmZoomR", QStringLiteral("字体－(&-)"), icons::ZoomOut,
                   QKeySequence(Qt::Key_Insert));
    connect(a, &QAction::triggered, this, &TMainForm::mmZoomRClick);
    view->addAction(a);
    bar->addMenu(view);

    // 工具(&T)
    QMenu* tools = makeMenu(this, "mmTools", QStringLiteral("工具(&T)"));
    a = makeAction(this, "mmSearch", QStringLiteral("搜索主题(&S)"), icons::Search,
                   QKeySequence(QStringLiteral("Ctrl+Alt+F")));
    connect(a, &QAction::triggered, this, press(btnSearch));
    tools->addAction(a);
    a = makeAction(this, "mmFullText", QStringLiteral("全文检索(&Q)"), icons::Search,
                   QKeySequence(QStringLiteral("Ctrl+Shift+F")));
    connect(a, &QAction::triggered, this, press(btnFullText));
    tools->addAction(a);
    a = makeAction(this, "mmFindText", QStringLiteral("查找文字(&F)"), icons::FindText,
                   QKeySequence(QStringLiteral("Ctrl+F")));
    connect(a, &QAction::triggered, this, press(btnFind));
    tools->addAction(a);
    tools->addSeparator();
    a = makeAction(this, "mmMaintain", QStringLiteral("数据维护(&C)"), icons::Maintain);
    connect(a, &QAction::triggered, this, &TMainForm::mmMaintainClick);
    tools->addAction(a);
    a = makeAction(this, "mmAddDB", QStringLiteral("数据库记录追加"), icons::AppendDb);
    connect(a, &QAction::triggered, this, &TMainForm::mmAddDBClick);
    tools->addAction(a);
    tools->addSeparator();
    a = makeAction(this, "mmOption", QStringLiteral("程序设置"), icons::Options);
    connect(a, &QAction::triggered, this, &TMainForm::mmOptionClick);
    tools->addAction(a);
    bar->addMenu(tools);

    // 关于(&A)
    QMenu* about = makeMenu(this, "mmAbout", QStringLiteral("关于(&A)"));
    a = makeAction(this, "MMabout", QStringLiteral("关于(&A)"), icons::About);
    connect(a, &QAction::triggered, this, &TMainForm::MMaboutClick);
    about->addAction(a);
    a = makeAction(this, "mmHomePage", QStringLiteral("砚溪舟网络科技(&B)"), icons::HomePage);
    connect(a, &QAction::triggered, this, &TMainForm::mmHomePageClick);
    about->addAction(a);
    a = makeAction(this, "mmMail", QStringLiteral("与作者联系(&M)"), icons::Mail);
    connect(a, &QAction::triggered, this, &TMainForm::mmMailClick);
    about->addAction(a);
    bar->addMenu(about);

    // 帮助(&H)
    QMenu* help = makeMenu(this, "mmHelp", QStringLiteral("帮助(&H)"));
    a = makeAction(this, "MMhelp", QStringLiteral("帮助(&H)"), icons::Help);
    connect(a, &QAction::triggered, this, &TMainForm::MMhelpClick);
    help->addAction(a);
    a = makeAction(this, "mmUpdate", QStringLiteral("在线智能更新(&E)"), icons::Update);
    connect(a, &QAction::triggered, this, &TMainForm::mmUpdateClick);
    help->addAction(a);
    bar->addMenu(help);
}

void TMainForm::buildPopups() {
    // Popup of the title list.
    ListPopup = new QMenu(this);
    ListPopup->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* a = makeAction(this, "N6", QStringLiteral("添加文章(&A)"), icons::Add);
    connect(a, &QAction::triggered, this, &TMainForm::BtnAddClick);
    ListPopup->addAction(a);
    a = makeAction(this, "N7", QStringLiteral("编辑文章(&E)"), icons::Modify);
    connect(a, &QAction::triggered, this, &TMainForm::BtnModifyClick);
    ListPopup->addAction(a);
    a = makeAction(this, "N9", QStringLiteral("删除文章(&D)"), icons::Delete);
    connect(a, &QAction::triggered, this, &TMainForm::BtnDelClick);
    ListPopup->addAction(a);
    ListPopup->addSeparator();
    a = makeAction(this, "N8", QStringLiteral("更改分类(&G)"));
    connect(a, &QAction::triggered, this, &TMainForm::N8Click);
    ListPopup->addAction(a);
    a = makeAction(this, "N10", QStringLiteral("重新命名(&R)"));
    connect(a, &QAction::triggered, this, &TMainForm::ListBox1DblClick);
    ListPopup->addAction(a);
    a = makeAction(this, "N20", QStringLiteral("复制标题"), icons::Copy);
    connect(a, &QAction::triggered, this, &TMainForm::N20Click);
    ListPopup->addAction(a);
    ListPopup->addSeparator();
    QMenu* spacing = makeMenu(this, "N15", QStringLiteral("标题行距(&H)"));
    a = makeAction(this, "N16", QStringLiteral("大(&L)"));
    connect(a, &QAction::triggered, this, &TMainForm::N12Click);
    spacing->addAction(a);
    a = makeAction(this, "N17", QStringLiteral("中(&M)"));
    connect(a, &QAction::triggered, this, &TMainForm::N13Click);
    spacing->addAction(a);
    a = makeAction(this, "N18", QStringLiteral("小(&S)"));
    connect(a, &QAction::triggered, this, &TMainForm::N14Click);
    spacing->addAction(a);
    ListPopup->addMenu(spacing);
    ListPopup->addSeparator();
    QMenu* move = makeMenu(this, "N21", QStringLiteral("转移文章至"));
    move->menuAction()->setIcon(icons::icon(icons::Move));
    const char* moveNames[4] = {"N22", "N55", "N23", "N31"};
    for (int k = 0; k < 4; ++k) {
        a = makeAction(this, moveNames[k], platform::AppSettings::defaultWorkbookName(k));
        connect(a, &QAction::triggered, this, [this, k] { moveArticleTo(k); });
        move->addAction(a);
        moveItems[k] = a;
    }
    ListPopup->addMenu(move);
    connect(ListPopup, &QMenu::aboutToShow, this, &TMainForm::updatePopupStates);

    // Popup of the viewer.
    ViewerPopup = new QMenu(this);
    ViewerPopup->setObjectName(QStringLiteral("PopupMenu2"));
    a = makeAction(this, "N1", QStringLiteral("复制(&C)"), icons::Copy);
    connect(a, &QAction::triggered, this, &TMainForm::N1Click);
    ViewerPopup->addAction(a);
    a = makeAction(this, "N19", QStringLiteral("查找文字(&T)"), icons::FindText);
    connect(a, &QAction::triggered, this, &TMainForm::BtnFindTextClick);
    ViewerPopup->addAction(a);
}

void TMainForm::wireSignals() {
    connect(cxTabControl1, &QTabBar::currentChanged, this, [this](int) { cxTabControl1Change(); });
    connect(CBXgroup, &QComboBox::activated, this, [this](int) { CBXgroupChange(); });
    connect(ListBox1, &TitleList::userSelected, this, &TMainForm::ListBox1Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
    connect(ListBox1, &TitleList::titleDropped, this, &TMainForm::ListBox1DragDrop);
    ListBox1->setDragCondition([this] { return session_.store().mainInCustomOrder(); });
    connect(ListBox1, &TitleList::popupRequested, this, &TMainForm::ListBox1Popup);
    connect(cxHeader1, &SortHeader::sectionClicked, this, &TMainForm::cxHeader1SectionClick);
    connect(CBXNo, &QComboBox::activated, this, [this](int) { CBXNoChange(); });
    connect(CBXheighview, &QComboBox::activated, this, [this](int) { CBXheighviewChange(); });
    connect(CBXscale, &QComboBox::activated, this, [this](int) { CBXscaleChange(); });
    connect(static_cast<ColorComboBox*>(cxColorComboBox1), &ColorComboBox::colorCodeChanged, this,
            [this] { cxColorComboBox1PropertiesChange(); });
    connect(RichEdit1, &richtext::RichEditCtrl::urlClicked, this, &TMainForm::RichEdit1URLClick);
    connect(RichEdit1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { ViewerPopup->exec(RichEdit1->viewport()->mapToGlobal(p)); });
}
