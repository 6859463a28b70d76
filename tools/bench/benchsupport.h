// What the benchmark programs share: timing, the process's memory, the bare engine beside the program,
// and the result lines that scripts/bench.sh gathers into one table.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace Firebird {
class IAttachment;
class IMessageMetadata;
class IStatement;
class ITransaction;
}

double timedMs(const std::function<void()>& work);

// Resident memory of this process now and at its peak so far, in MB (from /proc/self/status).
double residentMb();
double peakResidentMb();

// One result line: "@bench|operation|program ms|engine ms|peak MB|note". A side that was not measured
// is given as a negative time.
void benchRow(const QString& operation, double programMs, double engineMs, const QString& note = {});

// The same statements through the Firebird API with nothing around them: prepared, executed and
// fetched into the engine's own message buffer, without converting or keeping a row. It works in a
// transaction of its own on the program's attachment.
class BareEngine {
public:
    explicit BareEngine(Firebird::IAttachment* attachment);
    ~BareEngine();
    BareEngine(const BareEngine&) = delete;
    BareEngine& operator=(const BareEngine&) = delete;

    // Opens `sql` and fetches up to `rows` rows (all with -1); returns the number fetched.
    long select(const QString& sql, long rows = -1);
    // Runs a statement that returns no rows; returns the rows it touched.
    long execute(const QString& sql);
    void commit();

private:
    friend class BareStatement;
    Firebird::ITransaction* transaction();

    Firebird::IAttachment* attachment_;
    Firebird::ITransaction* transaction_ = nullptr;
};

// One statement of the bare engine, prepared once and run many times with its "?" parameters bound in
// order. Parameters and columns travel as text (the engine converts them, as it does the program's), so
// the caller needs no knowledge of the columns' types.
class BareStatement {
public:
    BareStatement(BareEngine& engine, const QString& sql);
    ~BareStatement();
    BareStatement(const BareStatement&) = delete;
    BareStatement& operator=(const BareStatement&) = delete;

    // Runs it in the engine's transaction. A SELECT returns its rows (up to `rows`, all with -1), each
    // column as text (empty for NULL); any other statement returns nothing.
    std::vector<QStringList> run(const QStringList& values = {}, long rows = -1);

private:
    BareEngine& engine_;
    Firebird::IStatement* statement_ = nullptr;
    Firebird::IMessageMetadata* input_ = nullptr;
    Firebird::IMessageMetadata* output_ = nullptr;
};

// The SELECTs the program opens while some work runs, run again on the bare engine: the engine's side
// of an operation whose statements depend on where the program's window stands.
class OpenedStatements {
public:
    // Keeps every SELECT the program opens from start() to stop(), or while `work` runs.
    void start();
    void stop();
    void record(const std::function<void()>& work);
    // Runs the kept statements on `engine` (each prepared once, before the timing) and returns the time
    // in ms. A statement with its own ROWS limit is fetched whole; any other as far as `unlimitedRows`
    // (all with -1), as a list reads its first block.
    double replay(BareEngine& engine, long unlimitedRows = -1);
    int count() const { return int(opened_.size()); }

private:
    std::vector<std::pair<QString, QStringList>> opened_;
    std::map<QString, std::unique_ptr<BareStatement>> prepared_;
};
