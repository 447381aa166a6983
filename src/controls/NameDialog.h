#pragma once
// Asks for a name. OK is enabled only for a name that is not empty and, when
// it must change, differs from the initial one. exec() answers 1 or 0.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace cv {

class NameDialog : public QDialog {
    Q_OBJECT

public:
    NameDialog(const QString &name, const QString &title, bool mustChange = false, QWidget *parent = nullptr);

    QString name() const;
    QLineEdit *nameField() const { return m_nameField; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }

    void accept() override;

private:
    bool isAcceptable() const;

    QString m_name;
    bool m_must;
    QLineEdit *m_nameField;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

} // namespace cv
