// Find, find next and the replace dialog of the editor.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "tests/editor/EditorCommandsFixture.h"

namespace {

class FindReplaceTest : public EditorCommandsTest {
  protected:
    EditorFindReplace* fr() { return commands->findReplace(); }
    TReplaceDialog* replaceDlg(const QString& find, const QString& with, bool matchCase = false,
                               bool wholeWord = false) {
        TReplaceDialog* d = fr()->replaceDialog();
        d->FindText->setText(find);
        d->ReplaceText->setText(with);
        d->MatchCase->setChecked(matchCase);
        d->WholeWord->setChecked(wholeWord);
        return d;
    }
    TFindDialog* findDlg(const QString& text, bool up = false, bool matchCase = false,
                         bool wholeWord = false) {
        TFindDialog* d = fr()->findDialog();
        d->FindText->setText(text);
        (up ? d->Up : d->Down)->setChecked(true);
        d->MatchCase->setChecked(matchCase);
        d->WholeWord->setChecked(wholeWord);
        return d;
    }
};

QString notFound(const QString& text) {
    return QStringLiteral("文字 \"") + text + QStringLiteral("\" 没有发现！");
}

}  // namespace

TEST_F(FindReplaceTest, ReplaceAllCases) {
    const struct Case {
        const char* name;
        const char* text;
        int selStart, selLength;
        const char* find;
        const char* with;
        bool matchCase, wholeWord;
        const char* result;
        int count;
    } cases[] = {
        {"every a", "aaaa", 0, 0, "a", "b", false, false, "bbbb", 4},
        {"inserted text is not searched again", "aa", 0, 0, "a", "aa", false, false, "aaaa", 2},
        {"only the exact case is replaced", "ABC abc", 0, 0, "abc", "xyz", false, false, "ABC xyz",
         1},
        {"no occurrence", "hello", 0, 0, "q", "z", false, false, "hello", 0},
        {"starts after the selection", "a-a-a", 0, 2, "a", "b", false, false, "a-b-b", 2},
        {"nothing after the selection", "abab", 3, 1, "a", "c", false, false, "abab", 0},
        {"whole words only", "cat scat cat", 0, 0, "cat", "dog", false, true, "dog scat dog", 2},
        {"removal", "a1a2a", 0, 0, "a", "", false, false, "12", 3},
        {"Chinese text", "云笺录与云笺", 0, 0, "云笺", "书签", false, false, "书签录与书签", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText(QString::fromUtf8(c.text));
        pane->setSel(c.selStart, c.selLength);
        prompt.clear();
        TReplaceDialog* d = replaceDlg(QString::fromUtf8(c.find), QString::fromUtf8(c.with),
                                       c.matchCase, c.wholeWord);
        d->ReplaceAllBtn->click();
        EXPECT_EQ(pane->plainText(), QString::fromUtf8(c.result));
        ASSERT_EQ(prompt.messages.size(), 1);
        const testsupport::RecordedMessage& m = prompt.messages.front();
        EXPECT_EQ(m.text, QStringLiteral("替换完成 %1 处“%2”字符").arg(c.count).arg(c.find));
        EXPECT_EQ(m.caption, QStringLiteral("提示"));
        EXPECT_EQ(m.icon, platform::Icon::Information);
    }
}

TEST_F(FindReplaceTest, ReplaceAllLeavesProtectedMatches) {
    setText(QStringLiteral("ab ab ab"));
    pane->setSel(3, 2);
    act("FormatProtected")->trigger();
    pane->setSel(0, 0);
    replaceDlg(QStringLiteral("ab"), QStringLiteral("X"))->ReplaceAllBtn->click();
    EXPECT_EQ(pane->plainText(), QStringLiteral("X ab X"));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("替换完成 2 处“ab”字符"));
}

TEST_F(FindReplaceTest, ReplaceOnlyReplacesASelectionEqualToTheSearchText) {
    setText(QStringLiteral("Abc abc"));
    TReplaceDialog* d = replaceDlg(QStringLiteral("abc"), QStringLiteral("几个字"));
    pane->setSel(0, 3);  // "Abc": differs in case
    d->ReplaceBtn->click();
    EXPECT_EQ(pane->plainText(), QStringLiteral("Abc abc"));
    pane->setSel(4, 3);
    d->ReplaceBtn->click();
    EXPECT_EQ(pane->plainText(), QStringLiteral("Abc 几个字"));
    EXPECT_EQ(pane->selStart(), 4);
    EXPECT_EQ(pane->selText(), QStringLiteral("几个字"));
    d->ReplaceBtn->click();  // replace does not search on
    EXPECT_EQ(pane->plainText(), QStringLiteral("Abc 几个字"));
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(FindReplaceTest, ReplaceDialogFindNextWalksAndStopsAtTheEnd) {
    setText(QStringLiteral("书签和书签"));
    TReplaceDialog* d = replaceDlg(QStringLiteral("书签"), QString());
    d->FindNextBtn->click();
    EXPECT_EQ(pane->selStart(), 0);
    EXPECT_EQ(pane->selLength(), 2);
    d->FindNextBtn->click();
    EXPECT_EQ(pane->selStart(), 3);
    EXPECT_EQ(pane->selText(), QStringLiteral("书签"));
    EXPECT_TRUE(prompt.messages.isEmpty());
    d->FindNextBtn->click();  // the last occurrence was found: caret to the end
    EXPECT_EQ(pane->selStart(), 5);
    EXPECT_EQ(pane->selLength(), 0);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages.front().text, notFound(QStringLiteral("书签")));
    EXPECT_EQ(prompt.messages.front().caption, QStringLiteral("提示"));
    EXPECT_EQ(prompt.messages.front().icon, platform::Icon::Information);
}

TEST_F(FindReplaceTest, ReplaceDialogOptions) {
    setText(QStringLiteral("Word words word"));
    TReplaceDialog* d = replaceDlg(QStringLiteral("word"), QString(), true, true);
    d->FindNextBtn->click();
    EXPECT_EQ(pane->selStart(), 11);
    d->MatchCase->setChecked(false);
    d->WholeWord->setChecked(false);
    pane->setSel(0, 0);
    d->FindNextBtn->click();
    EXPECT_EQ(pane->selStart(), 0);
    d->FindNextBtn->click();
    EXPECT_EQ(pane->selStart(), 5);
}

TEST_F(FindReplaceTest, SearchButtonsNeedSearchText) {
    TReplaceDialog* r = replaceDlg(QString(), QStringLiteral("x"));
    EXPECT_FALSE(r->ReplaceAllBtn->isEnabled());
    EXPECT_FALSE(r->FindNextBtn->isEnabled());
    r->FindText->setText(QStringLiteral("a"));
    EXPECT_TRUE(r->ReplaceAllBtn->isEnabled());
    EXPECT_TRUE(r->ReplaceBtn->isEnabled());
    EXPECT_FALSE(findDlg(QString())->FindNextBtn->isEnabled());
}

TEST_F(FindReplaceTest, FindNextBeforeAnyFindOnlyBeeps) {
    setText(QStringLiteral("some text"));
    act("EditFindNext")->trigger();
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(pane->selLength(), 0);
    // A replace-dialog search is not a find-dialog search.
    replaceDlg(QStringLiteral("text"), QString())->FindNextBtn->click();
    act("EditFindNext")->trigger();
    EXPECT_EQ(beeps, 2);
}

TEST_F(FindReplaceTest, FindDialogSearchesBothWaysAndFindNextRepeatsIt) {
    setText(QStringLiteral("one two one two one"));
    pane->setSel(4, 3);  // "two" seeds the dialog
    act("EditFind")->trigger();
    TFindDialog* d = fr()->findDialog();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->FindText->text(), QStringLiteral("two"));
    d->FindText->setText(QStringLiteral("one"));
    d->FindNextBtn->click();
    EXPECT_EQ(pane->selStart(), 8);
    act("EditFindNext")->trigger();
    EXPECT_EQ(pane->selStart(), 16);
    EXPECT_EQ(beeps, 0);
    // Nothing further down: the message and the beep; the selection stays.
    act("EditFindNext")->trigger();
    EXPECT_EQ(prompt.lastText(), notFound(QStringLiteral("one")));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(pane->selStart(), 16);
    EXPECT_EQ(pane->selLength(), 3);

    d->Up->setChecked(true);
    d->FindNextBtn->click();
    EXPECT_EQ(pane->selStart(), 8);
    act("EditFindNext")->trigger();  // repeats upward
    EXPECT_EQ(pane->selStart(), 0);
    prompt.clear();
    d->FindNextBtn->click();
    EXPECT_EQ(prompt.lastText(), notFound(QStringLiteral("one")));
    EXPECT_EQ(pane->selStart(), 0);

    // Without a selection the dialog keeps its text.
    pane->setSel(3, 0);
    d->hide();
    act("FindBtn")->trigger();
    EXPECT_EQ(d->FindText->text(), QStringLiteral("one"));
}

TEST_F(FindReplaceTest, FindOptionsAndChineseLengths) {
    setText(QStringLiteral("砚溪舟云笺录，云笺录 Apple apple"));
    TFindDialog* d = findDlg(QStringLiteral("云笺录"));
    d->FindNextBtn->click();
    EXPECT_EQ(pane->selStart(), 3);
    EXPECT_EQ(pane->selLength(), 3);
    EXPECT_EQ(pane->selText(), QStringLiteral("云笺录"));
    d->FindNextBtn->click();
    EXPECT_EQ(pane->selStart(), 7);
    EXPECT_EQ(pane->selText(), QStringLiteral("云笺录"));

    findDlg(QStringLiteral("apple"), false, true)->FindNextBtn->click();
    EXPECT_EQ(pane->selText(), QStringLiteral("apple"));
    pane->setSel(0, 0);
    findDlg(QStringLiteral("appl"), false, false, true)->FindNextBtn->click();
    EXPECT_EQ(prompt.lastText(), notFound(QStringLiteral("appl")));
}

TEST_F(FindReplaceTest, FindDialogMovesOffTheMatch) {
    window->move(0, 300);
    window->show();
    setText(QStringLiteral("target at the start"));
    TFindDialog* d = findDlg(QStringLiteral("target"));
    d->show();
    const QPoint origin = pane->viewport()->mapToGlobal(QPoint(0, 0));
    d->move(origin);
    QApplication::processEvents();
    d->FindNextBtn->click();
    ASSERT_EQ(pane->selText(), QStringLiteral("target"));
    QRect match = pane->cursorRect();
    match.moveTopLeft(pane->viewport()->mapToGlobal(match.topLeft()));
    EXPECT_FALSE(d->frameGeometry().intersects(match));
    // A dialog away from the match stays where it is.
    const QPoint away = d->pos();
    pane->setSel(0, 0);
    d->FindNextBtn->click();
    EXPECT_EQ(d->pos(), away);
}
