#include "tests/support/ScriptedPrompt.h"

namespace testsupport {

ScriptedPrompt::ScriptedPrompt() { platform::setPrompt(this); }
ScriptedPrompt::~ScriptedPrompt() { platform::setPrompt(nullptr); }

QStringList ScriptedPrompt::texts() const {
    QStringList out;
    for (const auto& m : messages) out << m.text;
    return out;
}

void ScriptedPrompt::record(RecordedMessage m) {
    messages.append(m);
    if (onMessage) onMessage(messages.back());
}

platform::Answer ScriptedPrompt::messageBox(QWidget*, const QString& text, const QString& caption,
                                            platform::Buttons buttons, platform::Icon icon) {
    record({.kind = RecordedMessage::Box,
            .text = text,
            .caption = caption,
            .buttons = buttons,
            .icon = icon});
    if (!answers.isEmpty()) return answers.dequeue();
    if (buttons == platform::Buttons::YesNo || buttons == platform::Buttons::YesNoCancel)
        return platform::Answer::Yes;
    return platform::Answer::Ok;
}

void ScriptedPrompt::showMessage(QWidget*, const QString& text) {
    record({.kind = RecordedMessage::Plain,
            .text = text,
            .caption = QString::fromUtf8(platform::kAppTitle),
            .icon = platform::Icon::None});
}

void ScriptedPrompt::information(QWidget*, const QString& text) {
    record({.kind = RecordedMessage::Information,
            .text = text,
            .caption = QString::fromUtf8(platform::kAppTitle),
            .icon = platform::Icon::Information});
}

void ScriptedPrompt::errorReport(QWidget*, const QString& text, const QString& detail) {
    record({.kind = RecordedMessage::ErrorReport,
            .text = text,
            .caption = QString::fromUtf8(platform::kAppTitle),
            .icon = platform::Icon::Error,
            .detail = detail});
}

platform::FileDialogResult ScriptedPrompt::openFile(QWidget*,
                                                    const platform::FileDialogRequest& req) {
    fileRequests.append(req);
    return fileAnswers.isEmpty() ? platform::FileDialogResult{} : fileAnswers.dequeue();
}

platform::FileDialogResult ScriptedPrompt::saveFile(QWidget*,
                                                    const platform::FileDialogRequest& req) {
    fileRequests.append(req);
    return fileAnswers.isEmpty() ? platform::FileDialogResult{} : fileAnswers.dequeue();
}

bool ScriptedPrompt::chooseColor(QWidget*, const QColor&, QColor* chosen) {
    if (colorAnswers.isEmpty()) return false;
    QColor c = colorAnswers.dequeue();
    if (chosen) *chosen = c;
    return true;
}

bool ScriptedPrompt::chooseFont(QWidget*, const QFont&, QFont* chosen) {
    if (fontAnswers.isEmpty()) return false;
    QFont f = fontAnswers.dequeue();
    if (chosen) *chosen = f;
    return true;
}

bool ScriptedPrompt::printDialog(QWidget*, QPrinter*) { return printAccept; }
bool ScriptedPrompt::printerSetup(QWidget*, QPrinter*) { return printAccept; }

platform::FileDialogResult pick(const QString& path, int filterIndex, bool readOnly) {
    platform::FileDialogResult r;
    r.accepted = true;
    r.path = path;
    r.paths = {path};
    r.filterIndex = filterIndex;
    r.readOnly = readOnly;
    return r;
}

}  // namespace testsupport
