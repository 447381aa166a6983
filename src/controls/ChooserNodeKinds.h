#pragma once
// Tree node kinds the choosers and check-box outlines test, named once here.

namespace cv::nodekind {
inline constexpr int Command = 0;          // also the summary root
inline constexpr int SectionRoot = 1;
inline constexpr int ExpandableOther = 2;
inline constexpr int InvestCash = 3;       // cash part of an investment account
inline constexpr int SystemTransfer = 5;
inline constexpr int Holding = 6;
inline constexpr int GroupFolder = 20;
inline constexpr int Cash = 30;
inline constexpr int Bank = 31;
inline constexpr int Investment = 32;
inline constexpr int OtherAsset = 33;
inline constexpr int CreditCard = 40;
inline constexpr int Loan = 41;
inline constexpr int OtherDebt = 42;
} // namespace cv::nodekind
