#include "platform/widgets/QtTranslations.h"

#include "platform/Localization.h"
#include "platform/Logging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace cv {

bool installQtTranslations()
{
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed.data();
    }
    const QString language = currentLanguage();
    if (language == QLatin1String("en")) return true;
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // "qt_" gathers qtbase and the other modules the program uses.
    if (!translator->load(QStringLiteral("qt_") + language, folder)) {
        qCWarning(lcPlatform) << "Qt's own texts stay English: no qt_" + language << "in" << folder;
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

} // namespace cv
