// Pictures of the editor for looking at by eye: written only when
// YUNJAN_SCREENSHOT_DIR names a folder.
#include <QCheckBox>
#include <QDir>
#include <QMenuBar>
#include <QPixmap>
#include <QTextCursor>

#include "EditorFixture.h"

namespace editortest {
namespace {

const char* const kFormatted =
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 "
    "\\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss Arial;}}"
    "{\\colortbl ;\\red128\\green0\\blue0;\\red0\\green0\\blue255;}"
    "\\pard\\qc\\f0\\fs36\\b\\cf1 \\'b4\\'ba\\'cf\\'fe\\b0\\cf0\\par"
    "\\pard\\fi480\\fs24 \\'d2\\'b9\\'c0\\'b4\\'b7\\'e7\\'d3\\'ea\\'c9\\'f9\\'a3\\'ac"
    "\\i\\cf2 \\'bb\\'a8\\'c2\\'e4\\'d6\\'aa\\'b6\\'e0\\'c9\\'d9\\i0\\cf0\\'a1\\'a3"
    " \\f1 Arial text, \\ul underlined\\ulnone .\\par}";

class ScreensTest : public EditorFixture {
  protected:
    void seed() override {
        db.addArticle("datum", "诗词", "春晓", 1, true, QByteArray(kFormatted));
    }
    QString outDir() const { return qEnvironmentVariable("YUNJAN_SCREENSHOT_DIR"); }
    void save(const QString& name) {
        ed->resize(895, 600);
        QCoreApplication::processEvents();
        const QPixmap shot = ed->grab();
        EXPECT_TRUE(shot.save(QDir(outDir()).filePath(name)));
    }
};

TEST_F(ScreensTest, EditorInAddAndModifyMode) {
    if (outDir().isEmpty()) GTEST_SKIP() << "YUNJAN_SCREENSHOT_DIR not set";
    QDir().mkpath(outDir());
    whileModal([&] { main->BtnAddClick(); },
               [&] {
                   ed->CBXgroup->setEditText(QStringLiteral("诗词"));
                   ed->EdtTheme->setText(QStringLiteral("新的文章"));
                   ed->ChkIsformat->setChecked(true);
                   ed->Editor->loadFromBytes(QByteArray(kFormatted));
                   ed->Editor->moveCursor(QTextCursor::End);
                   ed->Editor->insertPlainText(QStringLiteral("新添的一行"));
                   save(QStringLiteral("editor_add.png"));
               });
    selectTitle(0);
    whileModal([&] { main->BtnModifyClick(); }, [&] { save(QStringLiteral("editor_modify.png")); });
}

}  // namespace
}  // namespace editortest
