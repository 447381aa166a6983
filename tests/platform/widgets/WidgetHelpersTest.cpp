#include "platform/Localization.h"
#include "platform/widgets/ReportTextStyles.h"
#include "platform/widgets/DatePopUp.h"
#include "platform/widgets/ScaleToFit.h"
#include "platform/widgets/LineEditCaretKeeping.h"
#include "platform/widgets/QtTranslations.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>

TEST(WidgetHelpers, FillDatePopUp)
{
    cv::setLanguageOverride(QStringLiteral("en"));
    QComboBox popup;
    popup.addItem(QStringLiteral("stale"), 99);
    cv::fillDatePopUp(&popup);
    ASSERT_EQ(popup.count(), 31);
    EXPECT_EQ(popup.itemText(0), QStringLiteral("1"));
    EXPECT_EQ(popup.itemData(0).toInt(), 1);
    EXPECT_EQ(popup.itemText(29), QStringLiteral("30"));
    EXPECT_EQ(popup.itemData(29).toInt(), 30);
    EXPECT_EQ(popup.itemText(30), cv::localizedString(QStringLiteral("Last day")));
    EXPECT_EQ(popup.itemData(30).toInt(), 31);
    EXPECT_EQ(popup.findData(99), -1);

    cv::fillDatePopUp(&popup, 28);
    EXPECT_EQ(popup.count(), 29);
    EXPECT_EQ(popup.findData(31), 28);
    cv::fillDatePopUp(nullptr);
    cv::setLanguageOverride(QString());
}

TEST(WidgetHelpers, ReportFontIsTheLocalisedFontAtTenPoints)
{
    // Made once for the run: every report draws with the same font.
    ASSERT_TRUE(cv::ReportFontAttributes().font.has_value());
    EXPECT_EQ(cv::ReportFontAttributes().font->family(), cv::localizedString(QStringLiteral("Report-Font")));
    EXPECT_EQ(cv::ReportFontAttributes().font->pointSizeF(), 10.0);
    EXPECT_EQ(cv::ReportWhiteFontAttributes().font, cv::ReportFontAttributes().font);
    EXPECT_EQ(&cv::ReportFontAttributes(), &cv::ReportFontAttributes());
}

TEST(WidgetHelpers, ScaleToFitShrinksHeightThenWidthAndNeverEnlarges)
{
    EXPECT_EQ(cv::scaleToFit(QSize(200, 100), QSize(100, 100)), QSize(100, 50));
    EXPECT_EQ(cv::scaleToFit(QSize(100, 200), QSize(100, 100)), QSize(50, 100));
    EXPECT_EQ(cv::scaleToFit(QSize(400, 100), QSize(100, 50)), QSize(100, 25));
    EXPECT_EQ(cv::scaleToFit(QSize(40, 20), QSize(100, 100)), QSize(40, 20));
    EXPECT_EQ(cv::scaleToFit(QSize(40, 20), QSize(0, 0)), QSize(0, 0));
}

TEST(WidgetHelpers, LineEditKeepsItsCaretWhenReformatted)
{
    QLineEdit edit(QStringLiteral("12345"));
    edit.setCursorPosition(3);
    const QString old = edit.text();
    const cv::TextSelection oldSelection = cv::lineEditSelection(&edit);
    edit.setText(QStringLiteral("12,345"));
    cv::fixCurrencySelection(&edit, old, oldSelection);
    EXPECT_EQ(edit.cursorPosition(), 4);

    edit.setSelection(0, 2);
    EXPECT_EQ(cv::lineEditSelection(&edit), (cv::TextSelection{0, 2}));
}

TEST(WidgetHelpers, ReplacedTextKeepsTheFormatsOfTheCommonPrefix)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold, italic;
    bold.setFontWeight(QFont::Bold);
    italic.setFontItalic(true);
    cursor.insertText(QStringLiteral("ab"), bold);
    cursor.insertText(QStringLiteral("cd"), italic);

    cv::setStringWithAttributesOfOldString(&document, QStringLiteral("abXYZ"));
    ASSERT_EQ(document.toPlainText(), QStringLiteral("abXYZ"));
    auto formatAt = [&](int i) {
        QTextCursor c(&document);
        c.setPosition(i + 1);
        return c.charFormat();
    };
    EXPECT_EQ(formatAt(1).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatAt(2).fontItalic()); // the format where the texts part
    EXPECT_NE(formatAt(2).fontWeight(), QFont::Bold);

    cv::setStringWithAttributesOfOldString(&document, QStringLiteral("12"));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("12"));
    EXPECT_NE(formatAt(0).fontWeight(), QFont::Bold);
}

// Qt's own buttons and editor menus follow the program's language.
TEST(QtTranslationsTest, StandardButtonsAndTheEditMenuSpeakTheProgramsLanguage)
{
    for (auto [language, cancel, selectAll] :
         {std::tuple("ja", "キャンセル", "すべてを選択"), std::tuple("en", "Cancel", "Select All")}) {
        cv::setLanguageOverride(QLatin1String(language));
        ASSERT_TRUE(cv::installQtTranslations());
        EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).buttons().front()->text().remove(u'&'),
                  QString::fromUtf8(cancel));
        QLineEdit edit;
        QMenu *menu = edit.createStandardContextMenu(); // the editor's child
        EXPECT_TRUE(menu->actions().constLast()->text().remove(u'&').startsWith(QString::fromUtf8(selectAll)));
    }
    cv::setLanguageOverride(QString()), cv::installQtTranslations();
}
