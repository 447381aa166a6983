#pragma once
// Details of a bank account (kind 31).

#include "model/CV4AssetModel.h"

class CV4BankModel : public CV4AssetModel {
public:
    QString name() const { return name_; }   // bank name
    void setName(const QString &name) { name_ = name; }
    QString branchName() const { return branchName_; }
    void setBranchName(const QString &name) { branchName_ = name; }
    int kind() const { return kind_; }        // account kind chosen in the bank sheet
    void setKind(int kind) { kind_ = kind; }
    QString accountNumber() const { return accountNumber_; }
    void setAccountNumber(const QString &number) { accountNumber_ = number; }
    QString telephone() const;                // "" when none
    void setTelephone(const QString &telephone) { telephone_ = telephone; }
    double interestRate() const { return interestRate_; }
    void setInterestRate(double rate) { interestRate_ = rate; }

    QString description() const override;

    QString archiveClassName() const override { return QStringLiteral("CV4BankModel"); }
    void encodeWithCoder(cv::KeyedArchiver &coder) const override;
    bool initWithCoder(cv::KeyedUnarchiver &coder) override;

private:
    QString name_;
    QString branchName_;
    int kind_ = 0;
    QString accountNumber_;
    QString telephone_;
    double interestRate_ = 0;
};

using CV4BankModelPtr = std::shared_ptr<CV4BankModel>;
