// The paragraph dialog: loading, applying, OK and Cancel.
#include "editor/ParaFmt.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <functional>

#include "tests/editor/EditorCommandsFixture.h"

using richtext::ParaAttributes;
using richtext::RichEditCtrl;

namespace {

class ParaFormatTest : public EditorCommandsTest {
  protected:
    // Runs the dialog from the Format menu; drive() works on the open dialog.
    bool runDialog(const std::function<void(TParaFormatDlg*)>& drive) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<TParaFormatDlg*>(QApplication::activeModalWidget());
            if (!dlg) {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* d = qobject_cast<TParaFormatDlg*>(w); d && d->isVisible()) dlg = d;
            }
            if (!dlg) return;
            seen = true;
            drive(dlg);
        });
        act("FormatParagraph")->trigger();
        return seen;
    }
    void setPara(const ParaAttributes& p) { pane->setParaAttributes(p, RichEditCtrl::PMaskAll); }
};

}  // namespace

TEST_F(ParaFormatTest, DialogLayoutAndLoading) {
    setText(QStringLiteral("para"));
    ParaAttributes p;
    p.alignment = 1;
    p.startIndent = 12;
    p.rightIndent = 7;
    p.spaceBefore = 6;
    p.spaceAfter = 4;
    p.lineSpacing = 18;
    p.lineSpacingRule = 3;
    setPara(p);
    TParaFormatDlg dlg(pane);
    dlg.loadFrom(pane->paraAttributes());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("段落"));
    EXPECT_EQ(dlg.size(), QSize(393, 216));
    EXPECT_EQ(dlg.LeftIndent->value(), 12);
    EXPECT_EQ(dlg.RightIndent->value(), 7);
    EXPECT_EQ(dlg.AlignmentItems->checkedId(), 1);
    EXPECT_EQ(dlg.SpaceBefore->value(), 6);
    EXPECT_EQ(dlg.SpaceAfter->value(), 4);
    EXPECT_EQ(dlg.LineSpacing->value(), 18);
    EXPECT_EQ(dlg.LineSpacing->singleStep(), 5);
    EXPECT_EQ(dlg.SpaceBefore->minimum(), 0);
    EXPECT_LT(dlg.LeftIndent->minimum(), 0);
    EXPECT_TRUE(dlg.FirstIndent->isHidden());
    EXPECT_TRUE(dlg.FirstIndentLabel->isHidden());
    EXPECT_TRUE(dlg.SpacingBox->isEnabled());
    QStringList items;
    for (QAbstractButton* b : dlg.AlignmentItems->buttons()) items << b->text();
    EXPECT_EQ(items, (QStringList{"左对齐", "右对齐", "中心对齐"}));
    EXPECT_EQ(dlg.OkBtn->text(), QStringLiteral("确定"));
    EXPECT_TRUE(dlg.OkBtn->isDefault());
    EXPECT_EQ(dlg.CancelBtn->text(), QStringLiteral("取消"));
    EXPECT_EQ(dlg.ApplyBtn->text(), QStringLiteral("应用"));
}

TEST_F(ParaFormatTest, OkOnAJustifiedParagraphMakesItCentred) {
    setText(QStringLiteral("justified"));
    ParaAttributes p;
    p.alignment = 3;
    setPara(p);
    ASSERT_EQ(pane->paraAttributes().alignment, 3);
    EXPECT_TRUE(runDialog([](TParaFormatDlg* d) {
        EXPECT_EQ(d->AlignmentItems->checkedId(), 2);
        d->OkBtn->click();
    }));
    EXPECT_EQ(pane->paraAttributes().alignment, 2);
}

TEST_F(ParaFormatTest, LineSpacingZeroIsSingleAndAPositiveValueIsAtLeast) {
    setText(QStringLiteral("spacing"));
    for (int value : {12, 0}) {
        SCOPED_TRACE(value);
        EXPECT_TRUE(runDialog([value](TParaFormatDlg* d) {
            d->LineSpacing->setValue(value);
            d->OkBtn->click();
        }));
        const ParaAttributes p = pane->paraAttributes();
        EXPECT_EQ(p.lineSpacingRule, value > 0 ? 3 : 0);
        if (value > 0) {
            EXPECT_EQ(p.lineSpacing, value);
        }
    }
}

TEST_F(ParaFormatTest, ApplyThenCancelKeepsTheAppliedValues) {
    setText(QStringLiteral("first\nsecond"));
    pane->setSel(0, 0);
    EXPECT_TRUE(runDialog([](TParaFormatDlg* d) {
        d->LeftIndent->setValue(24);
        d->RightIndent->setValue(10);
        d->SpaceBefore->setValue(8);
        d->SpaceAfter->setValue(5);
        d->AlignmentItems->button(1)->setChecked(true);
        d->ApplyBtn->click();
        EXPECT_TRUE(d->isVisible());
        d->LeftIndent->setValue(48);  // changed after Apply, then cancelled
        d->CancelBtn->click();
    }));
    const ParaAttributes p = pane->paraAttributes();
    EXPECT_EQ(p.startIndent, 24);
    EXPECT_EQ(p.rightIndent, 10);
    EXPECT_EQ(p.spaceBefore, 8);
    EXPECT_EQ(p.spaceAfter, 5);
    EXPECT_EQ(p.alignment, 1);
    pane->setSel(7, 0);
    EXPECT_EQ(pane->paraAttributes().startIndent, 0);
}

TEST_F(ParaFormatTest, CancelAloneChangesNothing) {
    setText(QStringLiteral("text"));
    pane->setModified(false);
    EXPECT_TRUE(runDialog([](TParaFormatDlg* d) {
        d->LeftIndent->setValue(30);
        d->CancelBtn->click();
    }));
    EXPECT_EQ(pane->paraAttributes().startIndent, 0);
    EXPECT_FALSE(pane->modified());
}

TEST_F(ParaFormatTest, BulletsOffsetSurvivesTheDialog) {
    setText(QStringLiteral("item"));
    act("FormatBullets")->trigger();
    const ParaAttributes before = pane->paraAttributes();
    ASSERT_TRUE(before.bullets);
    ASSERT_EQ(before.offset, 10);
    EXPECT_TRUE(runDialog([](TParaFormatDlg* d) {
        EXPECT_EQ(d->FirstIndent->value(), 10);
        d->LeftIndent->setValue(d->LeftIndent->value() + 6);
        d->OkBtn->click();
    }));
    const ParaAttributes after = pane->paraAttributes();
    EXPECT_TRUE(after.bullets);
    EXPECT_EQ(after.offset, 10);
    EXPECT_EQ(after.startIndent, before.startIndent + 6);
    EXPECT_TRUE(act("FormatBullets")->isChecked());
}

// "行距：" shows points whatever the paragraph's rule; OK without touching
// that box leaves the spacing exactly as it was.
TEST_F(ParaFormatTest, LineSpacingIsShownInPointsAndKeptUnlessChanged) {
    const struct {
        const char* name;
        const char* spacing;  // RTF paragraph words
        int rule;             // as the control reports it
        int shownMin, shownMax;
    } cases[] = {
        {"single", "", 0, 0, 0},
        {"at least 18 points", "\\sl360\\slmult0", 3, 18, 18},
        {"exactly 15 points", "\\sl-300\\slmult0", 4, 15, 15},
        {"1.15 lines at 12 points", "\\sl276\\slmult1", 5, 13, 30},
        {"two lines at 12 points", "\\sl480\\slmult1", 5, 24, 52},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        pane->loadFromBytes(QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard") +
                            c.spacing + "\\f0\\fs24 line one\\line line two\\par}");
        const ParaAttributes before = pane->paraAttributes();
        ASSERT_EQ(before.lineSpacingRule, c.rule);
        const std::string rtfBefore = pane->saveToBytes().toStdString();
        int shown = -1;
        EXPECT_TRUE(runDialog([&shown](TParaFormatDlg* d) {
            shown = d->LineSpacing->value();
            d->OkBtn->click();
        }));
        EXPECT_GE(shown, c.shownMin);
        EXPECT_LE(shown, c.shownMax);
        const ParaAttributes after = pane->paraAttributes();
        EXPECT_EQ(after.lineSpacingRule, before.lineSpacingRule);
        EXPECT_EQ(after.lineSpacing, before.lineSpacing);
        EXPECT_EQ(pane->saveToBytes().toStdString(), rtfBefore);

        // A value typed by the user: at least that many points.
        EXPECT_TRUE(runDialog([](TParaFormatDlg* d) {
            d->LineSpacing->setValue(20);
            d->OkBtn->click();
        }));
        EXPECT_EQ(pane->paraAttributes().lineSpacingRule, 3);
        EXPECT_EQ(pane->paraAttributes().lineSpacing, 20);
    }
}
