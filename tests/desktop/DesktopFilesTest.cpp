// The desktop entry, the document types and the icon, installed as
// scripts/install-desktop.sh installs them for a user.
#include "DesktopTestSupport.h"

#include "desktop/ApplicationIcon.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

namespace {

const QString kRoot = QStringLiteral(CV_SOURCE_ROOT);

TEST(DesktopFilesTest, IconHasEverySizeOnATransparentGround)
{
    const QIcon icon = cv::applicationIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        EXPECT_EQ(image.size(), QSize(size, size));
        // Transparent corners, an opaque cover in the middle.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
        EXPECT_EQ(qAlpha(image.pixel(size / 3, size / 2)), 255) << size;
    }
    EXPECT_TRUE(QFile::exists(kRoot + QStringLiteral("/resources/desktop/icons/org.corvane.Corvane.svg")));
}

class DesktopInstallTest : public DesktopTest {};

// The program sets the icon application-wide; the about box takes it from there.
TEST_F(DesktopInstallTest, AboutBoxShowsTheApplicationIcon)
{
    const QIcon previous = QApplication::windowIcon();
    QApplication::setWindowIcon(cv::applicationIcon());
    QPixmap shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->iconPixmap();
            box->accept();
        }
    });
    poll.start(10);
    QAction *about = delegate->actionNamed(QStringLiteral("about"));
    ASSERT_NE(about, nullptr);
    about->trigger();
    poll.stop();
    QApplication::setWindowIcon(previous);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32),
              cv::applicationIcon().pixmap(shown.size()).toImage().convertToFormat(QImage::Format_ARGB32));
}

TEST_F(DesktopInstallTest, InstalledEntryValidatesAndSavedBooksHaveOurTypes)
{
    for (const char *tool : {"desktop-file-validate", "xdg-mime", "update-mime-database", "gio"})
        if (!hasTool(tool)) GTEST_SKIP() << tool << " is missing (scripts/install-deps.sh installs it)";

    const QString entry = kRoot + QStringLiteral("/resources/desktop/org.corvane.Corvane.desktop");
    const ProcessResult source = runProcess(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(source.exitCode, 0) << source.out.toStdString() << source.err.toStdString();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString data = path(QStringLiteral("data home"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), data);
    const ProcessResult install = runProcess(kRoot + QStringLiteral("/scripts/install-desktop.sh"),
                                             {QStringLiteral("--exec"), QStringLiteral(CV_CORVANE_BINARY)}, env);
    ASSERT_EQ(install.exitCode, 0) << install.err.toStdString();
    const QString installed = data + QStringLiteral("/applications/org.corvane.Corvane.desktop");
    const ProcessResult valid = runProcess(QStringLiteral("desktop-file-validate"), {installed});
    EXPECT_EQ(valid.exitCode, 0) << valid.out.toStdString() << valid.err.toStdString();
    QFile file(installed);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Exec=\"" CV_CORVANE_BINARY "\" %F"));
    for (const char *icon : {"256x256/apps/org.corvane.Corvane.png", "scalable/apps/org.corvane.Corvane.svg"})
        EXPECT_TRUE(QFile::exists(data + QStringLiteral("/icons/hicolor/") + QLatin1String(icon))) << icon;

    // Books as the program writes them; the old format shares the container,
    // so a copy under its extension stands for one.
    const QString book = bookWithDollars(QStringLiteral("book.cvv2"));
    ASSERT_TRUE(QFile::copy(book, path(QStringLiteral("old.cvv1"))));
    cv::Book *document = delegate->openBooks().openDocument(book, false);
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(document->export_(path(QStringLiteral("book.cvxf"))));
    // The XML form by its content too, as a download without its extension.
    ASSERT_TRUE(QFile::copy(path(QStringLiteral("book.cvxf")), path(QStringLiteral("book-xml"))));

    // xdg-mime asks GLib (and so shared-mime-info) on a GNOME desktop; else it asks file(1).
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    const std::pair<const char *, const char *> types[] = {
        {"book.cvv2", "application/x-corvane-book"},
        {"old.cvv1", "application/x-corvane-book-v1"},
        {"book.cvxf", "application/x-corvane-book-xml"},
        {"book-xml", "application/x-corvane-book-xml"},
    };
    for (const auto &[name, type] : types) {
        const ProcessResult query =
            runProcess(QStringLiteral("xdg-mime"),
                       {QStringLiteral("query"), QStringLiteral("filetype"), path(QLatin1String(name))}, env);
        EXPECT_EQ(query.out.trimmed(), QLatin1String(type)) << name << query.err.toStdString();
    }
}

} // namespace
