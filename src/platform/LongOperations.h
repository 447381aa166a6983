#pragma once
// The one process-wide hub for long operations: whoever starts long work
// says so here, and the main window shows the busy state while any is
// running. Main thread only.

#include <QObject>

namespace cv {

class LongOperations : public QObject {
    Q_OBJECT
public:
    static LongOperations &instance();

    // `source` is the object doing the work (a document), passed on to listeners.
    void enter(const QObject *source);
    void exit(const QObject *source);
    // How many long operations are running now.
    int depth() const { return m_depth; }

Q_SIGNALS:
    void enterLongOp(const QObject *source);
    void exitLongOp(const QObject *source);

private:
    LongOperations() = default;
    int m_depth = 0; // enters not yet matched by an exit
};

// Enters on construction, exits on destruction, so an early return cannot leave the busy state on.
class LongOperation {
public:
    explicit LongOperation(const QObject *source) : m_source(source) { LongOperations::instance().enter(source); }
    ~LongOperation() { LongOperations::instance().exit(m_source); }
    LongOperation(const LongOperation &) = delete;
    LongOperation &operator=(const LongOperation &) = delete;

private:
    const QObject *m_source; // not owned
};

} // namespace cv
