#pragma once
// What the two scripting commands share: their arguments by key, and the
// reading of the document number, the date and the price. Other programs
// reach the commands over D-Bus (src/scripting); tests call them directly.
//
//     UpdateCurrencyCommand command(QStringLiteral("USD"),
//                                   {{"Price", "151.25"}, {"Date", "2009-06-01"}});
//     if (auto refused = command.performDefaultImplementation(documents))
//         ...  // *refused is the line that was logged
//
// A refused command changes nothing. Every refusal and every recorded value is
// logged under "corvane.scripting".

#include <QDate>
#include <QLoggingCategory>
#include <QString>
#include <QVariantMap>

#include <optional>
#include <vector>

namespace cv {

class Book;

Q_DECLARE_LOGGING_CATEGORY(lcScripting)

class ScriptCommand {
public:
    // Argument keys.
    static const QString kDocument; // 1-based number of the open document, default 1
    static const QString kDate;     // the program's date text or ISO 8601, default today
    static const QString kPrice;    // a number, "," allowed as grouping
    static const QString kCurrency; // a new security's currency, by name
    static const QString kMarket;   // a new security's four-character market code

    ScriptCommand(const QString &directParameter, const QVariantMap &arguments);
    virtual ~ScriptCommand();

    // The day a missing date stands for; the current date unless set.
    void setToday(const QDate &today) { m_today = today; }

    // Records the value in one of the open documents (in opening order).
    // None when it was recorded, else the reason, which has been logged.
    virtual std::optional<QString> performDefaultImplementation(const std::vector<Book *> &documents) = 0;

protected:
    // The arguments both commands read first, in the order they are checked.
    struct Common {
        Book *document = nullptr; // not owned
        int number = 0;           // its 1-based number, for the log
        QDate date;
        double price = 0;
    };
    std::optional<QString> readCommon(const std::vector<Book *> &documents, Common &common) const;
    // The argument as text; "(null)" when it is missing, as the log lines show it.
    QString argumentText(const QString &key) const;
    static QString refuse(const QString &line);

    QString m_directParameter; // the symbol or the currency name
    QVariantMap m_arguments;   // by key
    QDate m_today;             // null: the current date
};

} // namespace cv
