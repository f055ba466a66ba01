// The search dialog.
#include "mainwindow/FindUnit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

#include "mainwindow/MainUnit.h"
#include "mainwindow/TitleList.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "store/ErrorText.h"
#include "store/Fields.h"
#include "store/Search.h"
#include "widgets/ViewerFindDialog.h"

const char* const kNoHitLine = "数据库中没有查找到该主题！";

namespace {

// ComboBox3's drop-down: reports when it closes.
class CloseUpCombo : public QComboBox {
  public:
    using QComboBox::QComboBox;
    std::function<void()> onCloseUp;
    void hidePopup() override {
        QComboBox::hidePopup();
        if (onCloseUp) onCloseUp();
    }
};

QString numberPrefix(int mode, int n) {
    switch (mode) {
        case 0:
            return QString::number(n) + QStringLiteral(". ");
        case 1:
            return QStringLiteral(" ◎ ");
        default:
            return {};
    }
}

}  // namespace

TFindForm::TFindForm(TMainForm* main, QWidget* parent) : QDialog(parent), main_(main) {
    setObjectName(QStringLiteral("FindForm"));
    setWindowTitle(QStringLiteral("搜索主题"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("关键字："), this);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setToolTip(QStringLiteral("支持模糊查询"));
    Edit2->setMinimumWidth(200);
    Edit2->installEventFilter(this);
    auto* combo = new CloseUpCombo(this);
    combo->onCloseUp = [this] { ComboBox3CloseUp(); };
    ComboBox3 = combo;
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    ComboBox3->setEditable(false);
    ComboBox3->addItem(QStringLiteral("文章题目"));
    ComboBox3->addItem(QStringLiteral("文章内容"));
    ComboBox3->setCurrentIndex(0);
    ComboBox3->setToolTip(QStringLiteral("内容搜索不支持格式文本"));
    Button2 = new QPushButton(QStringLiteral("搜"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);
    Label2 = new QLabel(QStringLiteral("说明：内容搜索，不支持格式存取的文章"), this);

    auto* row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(Edit2, 1);
    row->addWidget(ComboBox3);
    row->addWidget(Button2);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(row);
    outer->addWidget(Label2);

    connect(Button2, &QPushButton::clicked, this, &TFindForm::Button2Click);
}

TFindForm::~TFindForm() {
    // Hiding the dialog on its way out closes the drop-down too; by then this
    // is no longer a TFindForm to report to.
    static_cast<CloseUpCombo*>(ComboBox3)->onCloseUp = nullptr;
}

void TFindForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shownOnce_) {
        shownOnce_ = true;
        if (main_) {
            const QRect m = main_->frameGeometry();
            move(m.center() - QPoint(width() / 2, height() / 2));
        }
    }
    FormShow();
}

void TFindForm::FormShow() {
    Edit2->setFocus();
}

void TFindForm::ComboBox3CloseUp() {
    Edit2->setFocus();
}

bool TFindForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Edit2 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Button2Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TFindForm::Button2Click() {
    const QString keyword = Edit2->text();
    if (keyword.isEmpty()) {
        platform::prompt().messageBox(this, QStringLiteral("搜索内容不能为空！"),
                                      QStringLiteral("提示:"), platform::Buttons::Ok,
                                      platform::Icon::Error);
        return;
    }
    store::RecordSet& q = main_->db().ADOQuery1();
    try {
        store::openSearch(main_->db(), static_cast<store::SearchMode>(ComboBox3->currentIndex()),
                          keyword);
    } catch (const store::StoreError& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
        return;
    }

    QListWidget* list = main_->ListBox1;
    list->clear();
    if (q.recordCount() <= 0) {
        // Only a notice: it cannot be selected, so no command acts on it.
        auto* item = new QListWidgetItem(QString::fromUtf8(kNoHitLine));
        item->setFlags(Qt::ItemIsEnabled);
        list->addItem(item);
        return;
    }
    const int mode = main_->session().numberDisplayMode;
    QStringList lines;
    int n = 0;
    for (q.first(); !q.eof(); q.next())
        lines << numberPrefix(mode, ++n) + q.asString(store::kFieldTheme);
    list->addItems(lines);
    list->setCurrentRow(-1);
    list->clearSelection();
}
