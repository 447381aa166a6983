#pragma once
// Detail record of an account or category summary (kinds 50, 51): the nodes
// it adds and the nodes it subtracts, referred to by ident.

#include "platform/KeyedArchiver.h"

#include <QString>

#include <memory>
#include <vector>

class CVUnitModel;

class CV4SummaryUnit : public cv::KeyedArchivable {
public:
    int refID() const { return refID_; }
    // A new reference forgets the node resolved for the old one.
    void setRefID(int refID)
    {
        refID_ = refID;
        refCache_.reset();
    }
    // The node resolved for refID by the document; not archived, not owned.
    std::shared_ptr<CVUnitModel> refCache() const { return refCache_.lock(); }
    void setRefCache(const std::shared_ptr<CVUnitModel> &node) { refCache_ = node; }

    QString archiveClassName() const override { return QStringLiteral("CV4SummaryUnit"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    int refID_ = 0;
    std::weak_ptr<CVUnitModel> refCache_;
};

using CV4SummaryUnitPtr = std::shared_ptr<CV4SummaryUnit>;

class CV4Summary : public cv::KeyedArchivable {
public:
    QString memo() const { return memo_; }
    void setMemo(const QString &memo) { memo_ = memo; }
    std::vector<CV4SummaryUnitPtr> &assetList() { return assetList_; }   // added
    const std::vector<CV4SummaryUnitPtr> &assetList() const { return assetList_; }
    std::vector<CV4SummaryUnitPtr> &debtList() { return debtList_; }     // subtracted
    const std::vector<CV4SummaryUnitPtr> &debtList() const { return debtList_; }
    // A summary refers to nothing itself.
    std::shared_ptr<CVUnitModel> refCache() const { return nullptr; }

    QString archiveClassName() const override { return QStringLiteral("CV4Summary"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QString memo_;
    std::vector<CV4SummaryUnitPtr> assetList_;
    std::vector<CV4SummaryUnitPtr> debtList_;
};

using CV4SummaryPtr = std::shared_ptr<CV4Summary>;
