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
        << "Built so far: the finance model's foundation (tree nodes, keyed archives,\n"
        << "Base64, date integers, string tables, locale-free number text).\n"
        << "The document window is not built yet; nothing to open.\n";
    return 0;
}
