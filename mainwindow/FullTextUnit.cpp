#include "mainwindow/FullTextUnit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "richtext/RichEditCtrl.h"
#include "store/Fields.h"

namespace {

constexpr int kHitStartRole = Qt::UserRole + 1;
constexpr int kHitLengthRole = Qt::UserRole + 2;
constexpr int kTypingPauseMs = 300;
constexpr int kArticlesPerStep = 500;
constexpr int kShownResults = 100;

enum Column { ColWorkbook, ColCategory, ColTitle, ColSnippet };

// Draws a cell's text with the part given by the hit roles in bold red.
class HitDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int start =
            index.data(kHitStartRole).isValid() ? index.data(kHitStartRole).toInt() : -1;
        const int length = index.data(kHitLengthRole).toInt();
        if (start < 0 || length <= 0) {
            QStyledItemDelegate::paint(p, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        QWidget* w = opt.widget ? const_cast<QWidget*>(opt.widget) : nullptr;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w);
        const QRect r =
            style->subElementRect(QStyle::SE_ItemViewItemText, &opt, w).adjusted(2, 0, -2, 0);
        const bool selected = opt.state & QStyle::State_Selected;
        const QColor normal =
            opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const QColor marked = selected ? normal : QColor(0xC0, 0, 0);
        QFont bold = opt.font;
        bold.setBold(true);
        const QString parts[3] = {text.left(start), text.mid(start, length),
                                  text.mid(start + length)};
        int x = r.left();
        p->save();
        p->setClipRect(r);
        for (int k = 0; k < 3 && x < r.right(); ++k) {
            const QFont& f = k == 1 ? bold : opt.font;
            p->setFont(f);
            p->setPen(k == 1 ? marked : normal);
            const QFontMetrics fm(f);
            const QString s =
                k == 2 ? fm.elidedText(parts[k], Qt::ElideRight, r.right() - x) : parts[k];
            p->drawText(QRect(x, r.top(), r.right() - x, r.height()),
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, s);
            x += fm.horizontalAdvance(s);
        }
        p->restore();
    }
};

}  // namespace

TFullTextForm::TFullTextForm(TMainForm* main) : QWidget(main, Qt::Window), main_(main) {
    setObjectName(QStringLiteral("FullTextForm"));
    setWindowTitle(QStringLiteral("全文检索"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(760, 480);

    auto* v = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("查找内容:"), this);
    EdtQuery = new QLineEdit(this);
    EdtQuery->setObjectName(QStringLiteral("EdtQuery"));
    EdtQuery->setPlaceholderText(QStringLiteral("输入标题或正文中的文字，多个词用空格分开"));
    EdtQuery->setClearButtonEnabled(true);
    label->setBuddy(EdtQuery);
    CBXscope = new QComboBox(this);
    CBXscope->setObjectName(QStringLiteral("CBXscope"));
    CBXscope->addItems({QStringLiteral("全部工作簿"), QStringLiteral("当前工作簿")});
    top->addWidget(label);
    top->addWidget(EdtQuery, 1);
    top->addWidget(CBXscope);
    v->addLayout(top);

    auto* buildRow = new QHBoxLayout;
    BuildBar = new QProgressBar(this);
    BuildBar->setObjectName(QStringLiteral("BuildBar"));
    BuildBar->setFormat(QStringLiteral("正在建立全文索引 %p%"));
    BtnBuild = new QPushButton(QStringLiteral("暂停"), this);
    BtnBuild->setObjectName(QStringLiteral("BtnBuild"));
    buildRow->addWidget(BuildBar, 1);
    buildRow->addWidget(BtnBuild);
    v->addLayout(buildRow);
    BuildBar->hide();
    BtnBuild->hide();

    ResultList = new QTreeWidget(this);
    ResultList->setObjectName(QStringLiteral("ResultList"));
    ResultList->setRootIsDecorated(false);
    ResultList->setUniformRowHeights(true);
    ResultList->setAllColumnsShowFocus(true);
    ResultList->setHeaderLabels({QStringLiteral("工作簿"), QStringLiteral("分类"),
                                 QStringLiteral("标题"), QStringLiteral("内容")});
    ResultList->header()->resizeSection(ColWorkbook, 90);
    ResultList->header()->resizeSection(ColCategory, 90);
    ResultList->header()->resizeSection(ColTitle, 180);
    ResultList->header()->setStretchLastSection(true);
    ResultList->setItemDelegate(new HitDelegate(ResultList));
    v->addWidget(ResultList, 1);

    LblStatus = new QLabel(this);
    LblStatus->setObjectName(QStringLiteral("LblStatus"));
    v->addWidget(LblStatus);

    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(kTypingPauseMs);
    stepper_ = new QTimer(this);
    stepper_->setSingleShot(true);
    stepper_->setInterval(0);

    connect(EdtQuery, &QLineEdit::textChanged, this, [this] { typing_->start(); });
    connect(EdtQuery, &QLineEdit::returnPressed, this, [this] {
        // Enter in the field: the first result when the list is current,
        // otherwise search now.
        if (!typing_->isActive() && ResultList->topLevelItemCount() > 0)
            openResult(ResultList->currentItem()
                           ? ResultList->indexOfTopLevelItem(ResultList->currentItem())
                           : 0);
        else
            runSearch();
    });
    connect(typing_, &QTimer::timeout, this, &TFullTextForm::runSearch);
    connect(CBXscope, &QComboBox::currentIndexChanged, this, &TFullTextForm::runSearch);
    connect(ResultList, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { openResult(ResultList->indexOfTopLevelItem(item)); });
    connect(stepper_, &QTimer::timeout, this, &TFullTextForm::buildStep);
    connect(BtnBuild, &QPushButton::clicked, this, [this] {
        if (building_)
            pauseBuild();
        else
            startBuild();
    });
}

TFullTextForm* TFullTextForm::showFor(TMainForm* main) {
    auto* f =
        main->findChild<TFullTextForm*>(QStringLiteral("FullTextForm"), Qt::FindDirectChildrenOnly);
    if (!f) f = new TFullTextForm(main);
    f->show();
    f->raise();
    f->activateWindow();
    f->EdtQuery->setFocus();
    f->EdtQuery->selectAll();
    return f;
}

void TFullTextForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!main_) return;
    try {
        if (store::fullTextState(main_->db().connection()) != store::FullTextState::Ready)
            startBuild();
    } catch (const std::exception&) {
        LblStatus->setText(QStringLiteral("无法读取全文索引"));
    }
}

void TFullTextForm::closeEvent(QCloseEvent* e) {
    // What is built so far stays; the next showing goes on from there.
    pauseBuild();
    QWidget::closeEvent(e);
}

void TFullTextForm::startBuild() {
    building_ = true;
    BuildBar->show();
    BtnBuild->show();
    BtnBuild->setText(QStringLiteral("暂停"));
    stepper_->start();
}

void TFullTextForm::pauseBuild() {
    if (!building_) return;
    building_ = false;
    stepper_->stop();
    BtnBuild->setText(QStringLiteral("继续"));
    LblStatus->setText(QStringLiteral("全文索引尚未建完，检索结果可能不全"));
}

void TFullTextForm::updateBuildUi(const store::FullTextProgress& p) {
    BuildBar->setRange(0, int(qMax<qint64>(1, p.total)));
    BuildBar->setValue(int(qMin(p.done, p.total)));
}

void TFullTextForm::buildStep() {
    if (!building_ || !main_) return;
    store::FullTextProgress p;
    try {
        p = store::buildFullTextStep(main_->db().connection(), kArticlesPerStep);
    } catch (const std::exception&) {
        pauseBuild();
        LblStatus->setText(QStringLiteral("建立全文索引失败"));
        return;
    }
    updateBuildUi(p);
    if (!p.finished) {
        stepper_->start();
        return;
    }
    building_ = false;
    BuildBar->hide();
    BtnBuild->hide();
    LblStatus->clear();
    if (!EdtQuery->text().trimmed().isEmpty()) runSearch();
}

void TFullTextForm::runSearch() {
    typing_->stop();
    ResultList->clear();
    hits_.clear();
    if (!main_) return;
    query_ = store::parseFullTextQuery(EdtQuery->text());
    if (query_.isEmpty()) {
        LblStatus->setText(building_ ? QStringLiteral("正在建立全文索引…") : QString());
        return;
    }
    const int workbook = CBXscope->currentIndex() == 1 ? main_->selectedTab() : -1;
    store::FullTextResult r;
    try {
        r = store::searchFullText(main_->db().connection(), EdtQuery->text(), workbook,
                                  kShownResults);
    } catch (const std::exception&) {
        LblStatus->setText(QStringLiteral("检索失败"));
        return;
    }
    hits_ = r.hits;
    const QStringList books = main_->tabCaptions();
    QList<QTreeWidgetItem*> items;
    for (const store::FullTextHit& h : r.hits) {
        auto* item = new QTreeWidgetItem;
        item->setText(ColWorkbook, h.workbook < books.size()
                                       ? books[h.workbook]
                                       : store::defaultWorkbookName(h.workbook));
        item->setText(ColCategory, h.group);
        item->setText(ColTitle, h.title);
        const QPair<int, int> inTitle = store::findFirstHit(h.title, query_);
        if (inTitle.first >= 0) {
            item->setData(ColTitle, kHitStartRole, inTitle.first);
            item->setData(ColTitle, kHitLengthRole, inTitle.second);
        }
        item->setText(ColSnippet, h.snippet);
        if (h.hitStart >= 0) {
            item->setData(ColSnippet, kHitStartRole, h.hitStart);
            item->setData(ColSnippet, kHitLengthRole, h.hitLength);
        }
        item->setToolTip(ColSnippet, h.snippet);
        items << item;
    }
    ResultList->addTopLevelItems(items);
    if (!items.isEmpty()) ResultList->setCurrentItem(items.first());
    QString status;
    if (r.total == 0)
        status = QStringLiteral("没有找到");
    else if (r.total > r.hits.size())
        status = QStringLiteral("找到 %1 篇文章，列出前 %2 篇").arg(r.total).arg(r.hits.size());
    else
        status = QStringLiteral("找到 %1 篇文章").arg(r.total);
    if (building_) status += QStringLiteral("（全文索引尚未建完）");
    LblStatus->setText(status);
}

void TFullTextForm::openResult(int row) {
    if (!main_ || row < 0 || row >= hits_.size()) return;
    const store::FullTextHit h = hits_[row];
    if (!jumpTo(main_, h.workbook, h.id, query_))
        LblStatus->setText(QStringLiteral("文章已不存在"));
}

bool TFullTextForm::jumpTo(TMainForm* m, int workbook, qint64 id, const store::FullTextQuery& q) {
    if (workbook < 0 || workbook >= m->cxTabControl1->count()) return false;
    if (m->selectedTab() != workbook) {
        m->cxTabControl1->setCurrentIndex(workbook);  // opens it with "全部"
    } else {
        m->CBXgroup->setCurrentIndex(0);
        m->CBXgroupChange();
    }
    if (m->selectedTab() != workbook) return false;
    store::RecordSet& rs = m->db().ADOQuery1();
    int row = -1;
    int i = 0;
    for (rs.first(); !rs.eof(); rs.next(), ++i) {
        if (rs.value(store::kFieldId).toLongLong() == id) {
            row = i;
            break;
        }
    }
    if (row < 0 || row >= m->ListBox1->count()) return false;
    m->ListBox1->setCurrentRow(row);
    m->ListBox1->scrollToItem(m->ListBox1->item(row));
    m->ListBox1Click();
    const QPair<int, int> hit = store::findFirstHit(m->RichEdit1->plainText(), q);
    if (hit.first >= 0) {
        m->RichEdit1->setSel(hit.first, hit.second);
        m->RichEdit1->ensureCursorVisible();
    }
    m->raise();
    m->activateWindow();
    return true;
}
