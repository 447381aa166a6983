#pragma once
// The desktop's alerts: message boxes, window-modal when a window is given.

#include "platform/CV4Alert.h"

#include <QDialog>

class QDialogButtonBox;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QWidget;

namespace cv {

class MessageBoxAlertPresenter : public AlertPresenter {
public:
    AlertButton runAlert(const AlertRequest &request) override;
    std::optional<QString> runNameDialog(const QString &name, const QString &title, bool mustChange) override;

    // The box for a request, not yet shown; answerFor() reads its answer.
    static QMessageBox *createMessageBox(const AlertRequest &request, QWidget *parent = nullptr);
    static AlertButton answerFor(const QMessageBox *box);
};

// A small name entry dialog: OK only for an acceptable name (isAcceptableName).
class NameInputDialog : public QDialog {
    Q_OBJECT

public:
    NameInputDialog(const QString &name, const QString &title, bool mustChange, QWidget *parent = nullptr);

    QString name() const;
    QLineEdit *nameEdit() const { return _edit; }
    QPushButton *okButton() const;
    void accept() override;

private:
    void updateOk();

    QString _initialName;
    bool _mustChange;
    QLineEdit *_edit;
    QDialogButtonBox *_buttons;
};

} // namespace cv
