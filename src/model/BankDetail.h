#pragma once
// Details of a bank account (kind 31).

#include "model/AccountDetail.h"

namespace cv {

class BankDetail : public AccountDetail {
public:
    QString name() const { return m_name; } // bank name
    void setName(const QString &name) { m_name = name; }
    QString branchName() const { return m_branchName; }
    void setBranchName(const QString &name) { m_branchName = name; }
    int kind() const { return m_kind; } // account kind chosen in the bank sheet
    void setKind(int kind) { m_kind = kind; }
    QString accountNumber() const { return m_accountNumber; }
    void setAccountNumber(const QString &number) { m_accountNumber = number; }
    QString telephone() const; // "" when none
    void setTelephone(const QString &telephone) { m_telephone = telephone; }
    double interestRate() const { return m_interestRate; }
    void setInterestRate(double rate) { m_interestRate = rate; }

    QString description() const override;

    QString archiveClassName() const override { return QStringLiteral("CV4BankModel"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QString m_name;
    QString m_branchName;
    int m_kind = 0;
    QString m_accountNumber;
    QString m_telephone;
    double m_interestRate = 0;
};

using BankDetailPtr = std::shared_ptr<BankDetail>;

} // namespace cv
