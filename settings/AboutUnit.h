#pragma once
// The about box: program icon and banner, a short description, a contact line
// and three links (web log, mail, home page) that open through the shell.

#include <QDialog>
#include <QLabel>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace about {

// The program's own addresses.
inline const char* const kHomePage = "https://yunjan.example.org";
inline const char* const kBlog = "https://yunjan.example.org/blog";
inline const char* const kMailAddress = "author@yunjan.example.org";
QString mailLink();  // "mailto:" + kMailAddress

// The program icon (also used by the tray) and the 288 x 33 banner.
QIcon programIcon();
QPixmap bannerPicture();

}  // namespace about

// A label that shows an address: underlined and blue only while the pointer is
// over it; a click opens its target through the shell.
class TLinkLabel : public QLabel {
    Q_OBJECT
  public:
    TLinkLabel(const QString& text, const QString& target, QWidget* parent);
    const QString& target() const { return target_; }
    bool hovered() const { return hovered_; }

    void LinkMouseEnter();
    void LinkMouseLeave();
    void LinkClick();

  protected:
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    void setHovered(bool on);

    QString target_;
    bool hovered_ = false;
};

class TAboutForm : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutForm(QWidget* owner = nullptr);

    QLabel* ProgramIcon = nullptr;
    QLabel* Banner = nullptr;
    QPlainTextEdit* Memo1 = nullptr;  // description
    QLabel* ContactLine = nullptr;
    TLinkLabel* BlogLink = nullptr;
    TLinkLabel* MailLink = nullptr;
    TLinkLabel* HomeLink = nullptr;
    QPushButton* OKButton = nullptr;

  protected:
    void showEvent(QShowEvent* e) override;
};
