#pragma once
// Detail record of an account or category summary (kinds 50, 51): the nodes
// it adds and the nodes it subtracts, referred to by ident.

#include "platform/KeyedArchiver.h"

#include <QString>

#include <memory>
#include <vector>

namespace cv {

class Node;

class SummaryUnit : public cv::KeyedArchivable {
public:
    int refID() const { return m_refID; }
    // A new reference forgets the node resolved for the old one.
    void setRefID(int refID)
    {
        m_refID = refID;
        m_refCache.reset();
    }
    // The node resolved for refID by the document; not archived, not owned.
    std::shared_ptr<Node> refCache() const { return m_refCache.lock(); }
    void setRefCache(const std::shared_ptr<Node> &node) { m_refCache = node; }

    QString archiveClassName() const override { return QStringLiteral("CV4SummaryUnit"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int m_refID = 0;
    std::weak_ptr<Node> m_refCache;
};

using SummaryUnitPtr = std::shared_ptr<SummaryUnit>;

class Summary : public cv::KeyedArchivable {
public:
    QString memo() const { return m_memo; }
    void setMemo(const QString &memo) { m_memo = memo; }
    std::vector<SummaryUnitPtr> &assetList() { return m_assetList; } // added
    const std::vector<SummaryUnitPtr> &assetList() const { return m_assetList; }
    std::vector<SummaryUnitPtr> &debtList() { return m_debtList; } // subtracted
    const std::vector<SummaryUnitPtr> &debtList() const { return m_debtList; }
    // A summary refers to nothing itself.
    std::shared_ptr<Node> refCache() const { return nullptr; }

    QString archiveClassName() const override { return QStringLiteral("CV4Summary"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QString m_memo;
    std::vector<SummaryUnitPtr> m_assetList;
    std::vector<SummaryUnitPtr> m_debtList;
};

using SummaryPtr = std::shared_ptr<Summary>;

} // namespace cv
