#pragma once
// A Prompt for tests: records every message and dialog request and answers
// from queues. While installed (its lifetime), it replaces the real prompt.

#include <QColor>
#include <QFont>
#include <QList>
#include <QQueue>
#include <QString>
#include <functional>

#include "platform/Prompt.h"

namespace testsupport {

struct RecordedMessage {
    enum Kind { Box, Plain, Information, ErrorReport } kind = Box;
    QString text;
    QString caption;
    platform::Buttons buttons = platform::Buttons::Ok;
    platform::Icon icon = platform::Icon::None;
    QString detail;  // error reports: the technical cause
};

class ScriptedPrompt : public platform::Prompt {
  public:
    ScriptedPrompt();
    ~ScriptedPrompt() override;

    // Answers for message boxes, in order. When the queue is empty, boxes are
    // answered Ok (Yes for Yes/No boxes).
    QQueue<platform::Answer> answers;
    QQueue<platform::FileDialogResult> fileAnswers;  // empty: cancelled
    QQueue<QColor> colorAnswers;                     // empty: cancelled
    QQueue<QFont> fontAnswers;                       // empty: cancelled
    bool printAccept = false;

    // Called for every message (after recording), e.g. to inspect windows.
    std::function<void(const RecordedMessage&)> onMessage;

    QList<RecordedMessage> messages;
    QList<platform::FileDialogRequest> fileRequests;

    // Convenience.
    QStringList texts() const;
    QString lastText() const { return messages.isEmpty() ? QString() : messages.back().text; }
    void clear() {
        messages.clear();
        fileRequests.clear();
    }

    platform::Answer messageBox(QWidget* owner, const QString& text, const QString& caption,
                                platform::Buttons buttons, platform::Icon icon) override;
    void showMessage(QWidget* owner, const QString& text) override;
    void information(QWidget* owner, const QString& text) override;
    using platform::Prompt::errorReport;
    void errorReport(QWidget* owner, const QString& text, const QString& detail) override;
    platform::FileDialogResult openFile(QWidget* owner,
                                        const platform::FileDialogRequest& req) override;
    platform::FileDialogResult saveFile(QWidget* owner,
                                        const platform::FileDialogRequest& req) override;
    bool chooseColor(QWidget* owner, const QColor& initial, QColor* chosen) override;
    bool chooseFont(QWidget* owner, const QFont& initial, QFont* chosen) override;
    bool printDialog(QWidget* owner, QPrinter* printer) override;
    bool printerSetup(QWidget* owner, QPrinter* printer) override;

  private:
    void record(RecordedMessage m);
};

// A file dialog answer that picks path.
platform::FileDialogResult pick(const QString& path, int filterIndex = 0, bool readOnly = false);

}  // namespace testsupport
