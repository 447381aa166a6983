#pragma once
// A user-defined grouping that entries can carry. Unlike the other records a
// grouping copies (copy()), since the grouping dialog edits copies.

#include "model/EditFlags.h"
#include "platform/KeyedArchiver.h"

#include <QString>

#include <memory>

namespace cv {

class Grouping;
using GroupingPtr = std::shared_ptr<Grouping>;

class Grouping : public cv::KeyedArchivable {
public:
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    int ident() const { return m_ident; }
    void setIdent(int ident) { m_ident = ident; }
    // Edit flags, in memory only: 1 name changed, 2 new, 4 deleted.
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    void toggleDeleted() { m_flags ^= cv::EditDeleted; }
    // Check state in the report choosers.
    int intValue() const { return m_outlineState; }
    int outlineState() const { return m_outlineState; }
    void setOutlineState(int state) { m_outlineState = state; }

    // Same name and ident; flags and check state start at 0.
    GroupingPtr copy() const;

    QString archiveClassName() const override { return QStringLiteral("CV4Grouping"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QString m_name;
    int m_ident = 0;
    int m_flags = 0;
    int m_outlineState = 0;
};

} // namespace cv
