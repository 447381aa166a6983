#pragma once
// A book with a small account tree for the chooser and outline tests:
// asset {cash A, folder F {bank B}, folder G {}}, debt {card C}.

#include "document/Book.h"
#include "document/BookTestAccess.h"
#include "document/BookUI.h"
#include "support/SampleBook.h"

#include <QAbstractItemModelTester>

#include <memory>

namespace cvtest {

struct ChooserBook {
    ChooserBook()
    {
        cv::BookTestAccess::createFromTemplate(doc, QStringLiteral("no-such-template"));
        const cv::NodePtr asset = doc.accountTrees()->asset();
        const cv::NodePtr debt = doc.accountTrees()->debt();
        asset->setChildren({});
        debt->setChildren({});
        a = samplebook::node(asset, 2001, 30, QStringLiteral("A"));
        f = samplebook::node(asset, 2002, 20, QStringLiteral("F"));
        b = samplebook::node(f, 2003, 31, QStringLiteral("B"));
        g = samplebook::node(asset, 2004, 20, QStringLiteral("G"));
        c = samplebook::node(debt, 2005, 40, QStringLiteral("C"));
    }

    cv::Book doc;
    cv::NodePtr a, f, b, g, c;
};

// Counts beeps while it lives.
class BeepCounter : public cv::BookUI {
public:
    BeepCounter() : m_previous(cv::setDocumentUI(this)) {}
    ~BeepCounter() override { cv::setDocumentUI(m_previous); }
    void beep() override { ++beeps; }
    int beeps = 0;

private:
    cv::BookUI *m_previous;
};

// Names of the children (or of the top-level rows) of a list index.
inline QStringList rowNames(const QAbstractItemModel &model, const QModelIndex &parent = QModelIndex())
{
    QStringList names;
    for (int row = 0; row < model.rowCount(parent); ++row) names << model.index(row, 0, parent).data().toString();
    return names;
}

} // namespace cvtest
