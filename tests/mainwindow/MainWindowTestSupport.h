#pragma once
// An application delegate on its own settings file, working and backup
// folders, with scripted alerts and a scripted start-up panel.

#include "document/BookBackup.h"
#include "document/BookTestAccess.h"
#include "document/store/WorkingFolder.h"
#include "mainwindow/Application.h"
#include "mainwindow/BookWindow.h"
#include "controls/Tags.h"
#include "platform/Localization.h"
#include "platform/ScriptedAlertPresenter.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSettings>
#include <QTemporaryDir>

#include <deque>

class DelegateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        cv::setLanguageOverride(language());
        cv::work::setWorkFolder(tmp.filePath(QStringLiteral("Work")));
        cv::backup::setFolders(tmp.filePath(QStringLiteral("Backup")), tmp.filePath(QStringLiteral("Old")));
        cv::BookTestAccess::setTemplateIndex(0);
        settings = std::make_unique<QSettings>(tmp.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        delegate = std::make_unique<cv::Application>(settings.get());
        delegate->setQuitWithLastDocument(false);
        delegate->setPanelRunner([this](bool startup) {
            panelRuns.push_back(startup);
            return panelCodes.empty() ? 0 : panelCodes.front();
        });
    }
    void TearDown() override
    {
        delegate.reset();
        cv::backup::setFolders(QString());
        cv::work::setWorkFolder(QString());
        cv::setLanguageOverride(QString());
    }
    virtual QString language() const { return QStringLiteral("en"); }

    QString path(const QString &name) const { return tmp.filePath(name); }
    cv::BookWindow *window(int index = 0) const
    {
        const auto &documents = delegate->openBooks().documents();
        return size_t(index) < documents.size() ? delegate->windowFor(documents[size_t(index)].get()) : nullptr;
    }
    // A new book's window, sized and shown (null when none came).
    cv::BookWindow *openNewWindow(cv::Book *&document, int width, int height)
    {
        document = delegate->newDocument();
        cv::BookWindow *w = window();
        if (!w) return nullptr;
        w->resize(width, height);
        w->show();
        return w;
    }
    size_t documentCount() const { return delegate->openBooks().documents().size(); }
    // A saved book, closed again: it stays first in the recent list.
    QString savedBook(const QString &name)
    {
        cv::Book *document = delegate->newDocument();
        const QString file = path(name);
        EXPECT_TRUE(delegate->openBooks().saveDocumentAs(document, file));
        delegate->openBooks().closeDocument(document, false);
        return file;
    }

    QTemporaryDir tmp;
    ScriptedAlertPresenter alerts;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<cv::Application> delegate;
    std::deque<int> panelCodes;
    std::vector<bool> panelRuns;
};

// The fixture run once in each language its instantiation names.
template <class Fixture> class InLanguages : public Fixture, public ::testing::WithParamInterface<const char *> {
protected:
    QString language() const override { return QString::fromLatin1(this->GetParam()); }
};
