#include "settings/SettingsCommon.h"

#include <QLineEdit>
#include <QProxyStyle>
#include <QScreen>
#include <QWidget>

#include "platform/core/TextCodec.h"

static void initSettingsResources() {
    // The resources live in a static library; this pulls them into the program.
    Q_INIT_RESOURCE(resources);
}

namespace settings {

void centreOn(QWidget* w, QWidget* owner) {
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (QScreen* s = (owner ? owner->screen() : w->screen()))
        area = s->availableGeometry();
    if (!area.isValid()) return;
    const QSize size = w->frameGeometry().size();
    w->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

namespace {

// The platform style, except that password fields echo "*".
class StarPasswordStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return u'*';
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

}  // namespace

void makePasswordField(QLineEdit* field) {
    // Kept for the whole run: fields of any dialog may use it.
    static StarPasswordStyle* const style = new StarPasswordStyle;
    field->setStyle(style);
    field->setEchoMode(QLineEdit::Password);
}

void ensureResources() {
    static const bool done = (initSettingsResources(), true);
    (void)done;
}

GbkLimitValidator::GbkLimitValidator(int maxBytes, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State GbkLimitValidator::validate(QString& input, int& /*pos*/) const {
    bool ok = true;
    const QByteArray bytes = platform::toGbk(input, &ok);
    if (!ok) return Invalid;
    return bytes.size() > maxBytes_ ? Invalid : Acceptable;
}

}  // namespace settings
