#include "editor/ParaFmt.h"

#include <QButtonGroup>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <climits>

using richtext::ParaAttributes;
using richtext::RichEditCtrl;

namespace {

QSpinBox* numberBox(QWidget* parent, int min, int step, const QRect& geometry) {
    auto* box = new QSpinBox(parent);
    box->setRange(min, INT_MAX);
    box->setSingleStep(step);
    box->setAlignment(Qt::AlignRight);
    box->setGeometry(geometry);
    return box;
}

QLabel* label(const QString& text, QWidget* parent, const QRect& geometry, QWidget* buddy) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    l->setBuddy(buddy);
    return l;
}

}  // namespace

TParaFormatDlg::TParaFormatDlg(RichEditCtrl* pane, QWidget* parent) : QDialog(parent), pane_(pane) {
    setObjectName(QStringLiteral("ParaFormatDlg"));
    setWindowTitle(QStringLiteral("段落"));
    setFixedSize(393, 216);
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) &
                   ~Qt::WindowContextHelpButtonHint);

    // ---- indents ----
    IndentBox = new QGroupBox(QStringLiteral("缩进"), this);
    IndentBox->setGeometry(8, 6, 184, 110);
    LeftIndent = numberBox(IndentBox, INT_MIN, 1, QRect(64, 24, 108, 24));
    LeftIndent->setObjectName(QStringLiteral("LeftIndent"));
    label(QStringLiteral("左："), IndentBox, QRect(14, 24, 48, 24), LeftIndent);
    RightIndent = numberBox(IndentBox, INT_MIN, 1, QRect(64, 52, 108, 24));
    RightIndent->setObjectName(QStringLiteral("RightIndent"));
    label(QStringLiteral("右："), IndentBox, QRect(14, 52, 48, 24), RightIndent);
    FirstIndent = numberBox(IndentBox, INT_MIN, 1, QRect(64, 80, 108, 24));
    FirstIndent->setObjectName(QStringLiteral("FirstIndent"));
    FirstIndentLabel =
        label(QStringLiteral("首行："), IndentBox, QRect(14, 80, 48, 24), FirstIndent);
    FirstIndent->setVisible(false);
    FirstIndentLabel->setVisible(false);

    // ---- alignment ----
    Alignment = new QGroupBox(QStringLiteral("对齐方式"), this);
    Alignment->setObjectName(QStringLiteral("Alignment"));
    Alignment->setGeometry(8, 120, 184, 90);
    AlignmentItems = new QButtonGroup(this);
    const char* const items[] = {"左对齐", "右对齐", "中心对齐"};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(items[i]), Alignment);
        r->setGeometry(14, 20 + i * 22, 160, 22);
        AlignmentItems->addButton(r, i);
    }

    // ---- spacing ----
    SpacingBox = new QGroupBox(QStringLiteral("间距"), this);
    SpacingBox->setObjectName(QStringLiteral("SpacingBox"));
    SpacingBox->setGeometry(200, 6, 185, 110);
    SpaceBefore = numberBox(SpacingBox, 0, 1, QRect(64, 24, 108, 24));
    SpaceBefore->setObjectName(QStringLiteral("SpaceBefore"));
    label(QStringLiteral("段前："), SpacingBox, QRect(14, 24, 48, 24), SpaceBefore);
    SpaceAfter = numberBox(SpacingBox, 0, 1, QRect(64, 52, 108, 24));
    SpaceAfter->setObjectName(QStringLiteral("SpaceAfter"));
    label(QStringLiteral("段后："), SpacingBox, QRect(14, 52, 48, 24), SpaceAfter);
    LineSpacing = numberBox(SpacingBox, 0, 5, QRect(64, 80, 108, 24));
    LineSpacing->setObjectName(QStringLiteral("LineSpacing"));
    label(QStringLiteral("行距："), SpacingBox, QRect(14, 80, 48, 24), LineSpacing);
    // Spacing needs a second-generation control.
    SpacingBox->setEnabled(RichEditCtrl::kVersion >= 2);

    // ---- buttons ----
    OkBtn = new QPushButton(QStringLiteral("确定"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setGeometry(200, 180, 58, 26);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("取消"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(263, 180, 58, 26);
    ApplyBtn = new QPushButton(QStringLiteral("应用"), this);
    ApplyBtn->setObjectName(QStringLiteral("ApplyBtn"));
    ApplyBtn->setGeometry(327, 180, 58, 26);
    for (QPushButton* b : {CancelBtn, ApplyBtn}) b->setAutoDefault(false);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ApplyBtn, &QPushButton::clicked, this, &TParaFormatDlg::ApplyBtnClick);

    // Centred on the screen.
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TParaFormatDlg::loadFrom(const ParaAttributes& p) {
    LeftIndent->setValue(p.startIndent);
    RightIndent->setValue(p.rightIndent);
    FirstIndent->setValue(p.offset);
    // A justified paragraph selects the last item, centred.
    const int item = p.alignment >= 0 && p.alignment <= 2 ? p.alignment : 2;
    AlignmentItems->button(item)->setChecked(true);
    SpaceBefore->setValue(p.spaceBefore);
    SpaceAfter->setValue(p.spaceAfter);
    loaded_ = p;
    switch (p.lineSpacingRule) {
        case 3:
        case 4:
            shownLineSpacing_ = p.lineSpacing;
            break;
        case 5:
            shownLineSpacing_ = qRound(p.lineSpacing / 100.0 * singleLinePoints());
            break;
        default:
            shownLineSpacing_ = 0;
            break;
    }
    LineSpacing->setValue(shownLineSpacing_);
}

double TParaFormatDlg::singleLinePoints() const {
    QFont font;
    if (pane_) {
        QTextDocument* doc = pane_->document();
        QTextCursor c(doc);
        c.setPosition(doc->findBlock(pane_->textCursor().selectionStart()).position());
        if (c.block().length() > 1) c.movePosition(QTextCursor::NextCharacter);
        font = c.charFormat().font().resolve(doc->defaultFont());
    }
    double pt = font.pointSizeF();
    if (pt <= 0 && font.pixelSize() > 0) pt = font.pixelSize() * 72.0 / 96.0;
    if (pt <= 0) pt = 12;
    // The line height of the face relative to its size, measured large.
    QFont probe(font);
    probe.setPixelSize(100);
    return QFontMetricsF(probe).lineSpacing() / 100.0 * pt;
}

bool TParaFormatDlg::lineSpacingChanged() const {
    return LineSpacing->value() != shownLineSpacing_;
}

ParaAttributes TParaFormatDlg::values() const {
    ParaAttributes p;
    // The hidden box carries the loaded offset back unchanged.
    p.offset = FirstIndent->value();
    p.rightIndent = RightIndent->value();
    p.startIndent = LeftIndent->value();
    p.alignment = qMax(0, AlignmentItems->checkedId());
    p.spaceBefore = SpaceBefore->value();
    p.spaceAfter = SpaceAfter->value();
    if (lineSpacingChanged()) {
        p.lineSpacingRule = LineSpacing->value() <= 0 ? 0 : 3;  // single, or at least the value
        p.lineSpacing = LineSpacing->value();
    } else {
        p.lineSpacingRule = loaded_.lineSpacingRule;
        p.lineSpacing = loaded_.lineSpacing;
    }
    return p;
}

int TParaFormatDlg::appliedMask() {
    int mask = RichEditCtrl::PMaskOffset | RichEditCtrl::PMaskRightIndent |
               RichEditCtrl::PMaskStartIndent | RichEditCtrl::PMaskAlignment;
    if (RichEditCtrl::kVersion >= 2)
        mask |= RichEditCtrl::PMaskSpaceBefore | RichEditCtrl::PMaskSpaceAfter |
                RichEditCtrl::PMaskLineSpacing;
    return mask;
}

int TParaFormatDlg::mask() const {
    // An untouched "行距：" leaves each paragraph's spacing as it is.
    int m = appliedMask();
    if (!lineSpacingChanged()) m &= ~RichEditCtrl::PMaskLineSpacing;
    return m;
}

void TParaFormatDlg::ApplyBtnClick() {
    if (pane_) pane_->setParaAttributes(values(), mask());
}

bool EditParagraphFormat(RichEditCtrl* pane, QWidget* parent) {
    if (!pane) return false;
    TParaFormatDlg dlg(pane, parent);
    dlg.loadFrom(pane->paraAttributes());
    if (dlg.exec() != QDialog::Accepted) return false;
    dlg.ApplyBtnClick();
    return true;
}
