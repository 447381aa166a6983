// Qt's own buttons and editor menus follow the program's language.
#include "platform/Localization.h"
#include "platform/widgets/QtTranslations.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

TEST(QtTranslationsTest, StandardButtonsAndTheEditMenuSpeakTheProgramsLanguage)
{
    struct Case {
        const char *language;
        const char *cancel;
        const char *selectAll;  // the start of the editor menu's last item
    } cases[] = {{"ja", "キャンセル", "すべてを選択"}, {"en", "Cancel", "Select All"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.language);
        cv::setLanguageOverride(QLatin1String(c.language));
        ASSERT_TRUE(cv::installQtTranslations());
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), QString::fromUtf8(c.cancel));
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        EXPECT_TRUE(menu->actions().constLast()->text().remove(u'&').startsWith(QString::fromUtf8(c.selectAll)))
            << menu->actions().constLast()->text().toStdString();
    }
    cv::setLanguageOverride(QString());
    cv::installQtTranslations();
}
