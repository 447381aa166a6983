#pragma once
// The start-up panel: open the most recent document, or create a new one
// from a template of the current language. exec() answers the StartupCode
// bit set. Outside start-up (File > New from Template) open-recent and
// never-again are disabled. At start-up a message may say why the panel is
// up (the book used last is gone). Without a book to open, open-recent is off
// and hidden, and the panel says nothing of a last book.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace cv {

class StartupDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateCount = 4;

    explicit StartupDialog(bool isStartup, QWidget *parent = nullptr);

    QPushButton *openRecentButton() const { return m_openRecentButton; }
    QPushButton *createNewButton() const { return m_createNewButton; }
    QComboBox *templateButton() const { return m_templateButton; }
    QPushButton *closeButton() const { return m_closeButton; }
    QCheckBox *neverAgainCheckbox() const { return m_neverAgainCheckbox; }
    bool isStartup() const { return m_isStartup; }
    QLabel *welcomeLabel() const { return m_welcomeLabel; }
    QLabel *messageLabel() const { return m_messageLabel; }
    // Empty hides the message.
    void setMessage(const QString &message);
    // The book open-recent opens, named beside it; empty turns it off and hides it.
    void setRecentBook(const QString &path);
    QLabel *recentNote() const { return m_recentNote; }

    // Ends the modal run with the code of that button.
    void buttonPushed(QPushButton *sender);
    void reject() override { buttonPushed(m_closeButton); }

private:
    void showRecent(bool shown);

    bool m_isStartup;
    QLabel *m_welcomeLabel;
    QLabel *m_messageLabel;
    QPushButton *m_openRecentButton;
    QLabel *m_recentNote;
    QPushButton *m_createNewButton;
    QComboBox *m_templateButton; // item data: the template number
    QPushButton *m_closeButton;
    QCheckBox *m_neverAgainCheckbox;
};

} // namespace cv
