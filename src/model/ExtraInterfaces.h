#pragma once
// What a tree node asks of its detail record (`extra`). A record answers a
// question by implementing the interface; the node finds it with dynamic_cast
// and treats a record that does not implement it as "no date", 0 or "none".

#include <QDate>

// Records with a start date (account details, holdings).
namespace cv {

class DatedExtra {
public:
    virtual ~DatedExtra() = default;
    virtual QDate date() const = 0; // invalid = no date
};

// Records with an opening balance (account details).
class InitialValueExtra {
public:
    virtual ~InitialValueExtra() = default;
    virtual double initialValue() const = 0;
};

// Records that refer to a security (holdings).
class SecurityExtra {
public:
    virtual ~SecurityExtra() = default;
    virtual int security() const = 0;
};

} // namespace cv
