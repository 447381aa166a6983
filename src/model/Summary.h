#pragma once
// Detail record of an account or category summary (kinds 50, 51): the nodes
// it adds and the nodes it subtracts, referred to by ident.

#include "platform/KeyedArchiver.h"

#include <QString>

#include <memory>
#include <vector>

namespace cv {

class Node;

class SummaryMember : public cv::KeyedArchivable {
public:
    int refID() const { return m_refID; }
    // A new reference forgets the node resolved for the old one.
    void setRefID(int refID)
    {
        m_refID = refID;
        m_resolvedNode.reset();
    }
    // The node resolved for refID by the document; not archived, not owned.
    std::shared_ptr<Node> resolvedNode() const { return m_resolvedNode.lock(); }
    void setResolvedNode(const std::shared_ptr<Node> &node) { m_resolvedNode = node; }

    QString archiveClassName() const override { return QStringLiteral("CV4SummaryUnit"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int m_refID = 0;
    std::weak_ptr<Node> m_resolvedNode;
};

using SummaryMemberPtr = std::shared_ptr<SummaryMember>;

class Summary : public cv::KeyedArchivable {
public:
    QString memo() const { return m_memo; }
    void setMemo(const QString &memo) { m_memo = memo; }
    std::vector<SummaryMemberPtr> &addedNodes() { return m_addedNodes; } // added
    const std::vector<SummaryMemberPtr> &addedNodes() const { return m_addedNodes; }
    std::vector<SummaryMemberPtr> &subtractedNodes() { return m_subtractedNodes; } // subtracted
    const std::vector<SummaryMemberPtr> &subtractedNodes() const { return m_subtractedNodes; }
    // A summary refers to nothing itself.
    std::shared_ptr<Node> resolvedNode() const { return nullptr; }

    QString archiveClassName() const override { return QStringLiteral("CV4Summary"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QString m_memo;
    std::vector<SummaryMemberPtr> m_addedNodes;
    std::vector<SummaryMemberPtr> m_subtractedNodes;
};

using SummaryPtr = std::shared_ptr<Summary>;

} // namespace cv
