#include "tests/support/ScriptedPrompt.h"

namespace testsupport {

ScriptedPrompt::ScriptedPrompt() {
    platform::setPrompt(this);
}
ScriptedPrompt::~ScriptedPrompt() {
    platform::setPrompt(nullptr);
}

QStringList ScriptedPrompt::texts() const {
    QStringList out;
    for (const auto& m : messages) out << m.text;
    return out;
}

namespace {

RecordedMessage message(RecordedMessage::Kind kind, const QString& text, const QString& caption,
                        platform::Buttons buttons, platform::Icon icon,
                        const QString& detail = QString()) {
    RecordedMessage m;
    m.kind = kind;
    m.text = text;
    m.caption = caption;
    m.buttons = buttons;
    m.icon = icon;
    m.detail = detail;
    return m;
}

}  // namespace

void ScriptedPrompt::record(RecordedMessage m) {
    messages.append(m);
    if (onMessage) onMessage(messages.back());
}

platform::Answer ScriptedPrompt::messageBox(QWidget*, const QString& text, const QString& caption,
                                            platform::Buttons buttons, platform::Icon icon) {
    record(message(RecordedMessage::Box, text, caption, buttons, icon));
    if (!answers.isEmpty()) return answers.dequeue();
    if (buttons == platform::Buttons::YesNo || buttons == platform::Buttons::YesNoCancel)
        return platform::Answer::Yes;
    return platform::Answer::Ok;
}

void ScriptedPrompt::showMessage(QWidget*, const QString& text) {
    record(message(RecordedMessage::Plain, text, QString::fromUtf8(platform::kAppTitle),
                   platform::Buttons::Ok, platform::Icon::None));
}

void ScriptedPrompt::information(QWidget*, const QString& text) {
    record(message(RecordedMessage::Information, text, QString::fromUtf8(platform::kAppTitle),
                   platform::Buttons::Ok, platform::Icon::Information));
}

void ScriptedPrompt::errorReport(QWidget*, const QString& text, const QString& detail) {
    record(message(RecordedMessage::ErrorReport, text, QString::fromUtf8(platform::kAppTitle),
                   platform::Buttons::Ok, platform::Icon::Error, detail));
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

bool ScriptedPrompt::printDialog(QWidget*, QPrinter*) {
    return printAccept;
}
bool ScriptedPrompt::printerSetup(QWidget*, QPrinter*) {
    return printAccept;
}

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
