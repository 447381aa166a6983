// Corvane: a household account book.
// Until the main window exists the program reports what it can do and exits.
#include <QCoreApplication>
#include <QTextStream>

#include "platform/Localization.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));

    QTextStream out(stdout);
    out << "Corvane " << QCoreApplication::applicationVersion() << "\n"
        << "Built so far, without a window yet:\n"
        << "  - the finance model: account and category trees, entries, trades, prices and rates,\n"
        << "    currencies, securities, settings and fiscal periods, budgets, account details,\n"
        << "    loans and repayment schedules, Japanese holidays and business days, rokuyo;\n"
        << "  - the document store: the compressed document file, working copies, the database\n"
        << "    schema and its statements, safe saving;\n"
        << "  - the document core: balances and valuation, the write path and lookups;\n"
        << "  - amount formatting, preferences and the small dialogs;\n"
        << "  - the document lifecycle in the library: new documents from the templates, opening\n"
        << "    (.cvv2, .cvv1 and .cvxf), saving, reverting and closing, document passwords and\n"
        << "    dated backups.\n"
        << "The document window is not built yet, so this program opens nothing itself.\n";
    return 0;
}
