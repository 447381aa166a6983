#pragma once
// A user-defined grouping that entries can carry. Unlike the other records a
// grouping copies (copy()), since the grouping dialog edits copies.

#include "model/CV4EditFlags.h"
#include "platform/KeyedArchiver.h"

#include <QString>

#include <memory>

class CV4Grouping;
using CV4GroupingPtr = std::shared_ptr<CV4Grouping>;

class CV4Grouping : public cv::KeyedArchivable {
public:
    QString name() const { return name_; }
    void setName(const QString &name) { name_ = name; }
    int ident() const { return ident_; }
    void setIdent(int ident) { ident_ = ident; }
    // Edit flags, in memory only: 1 name changed, 2 new, 4 deleted.
    int flags() const { return flags_; }
    void setFlags(int flags) { flags_ = flags; }
    void toggleDeleted() { flags_ ^= cv::EditDeleted; }
    // Check state in the report choosers.
    int intValue() const { return outlineState_; }
    int outlineState() const { return outlineState_; }
    void setOutlineState(int state) { outlineState_ = state; }

    // Same name and ident; flags and check state start at 0.
    CV4GroupingPtr copy() const;

    QString archiveClassName() const override { return QStringLiteral("CV4Grouping"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QString name_;
    int ident_ = 0;
    int flags_ = 0;
    int outlineState_ = 0;
};
