// The demo database: its size, the master rows that movement lines refer to, and the one entry point.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

class Connection;

struct DemoOptions {
    static constexpr int DigitItemCodes = 90000;   // five-digit item codes up to this many items
    static constexpr int MaxItems = 100000;        // then some with a letter (still five characters)
    static constexpr int MaxLines = 60000000;      // BKOD holds five base-36 digits of IDB
    static constexpr int MinPartners = 12;         // the named firms and producers
    static constexpr int MaxPartners = 7000;       // as many as the name lists make distinct
    static constexpr int MaxWarehouses = 90;       // two-digit warehouse codes
    static constexpr int MinTypes = 6;             // one for each kind of line the generator makes
    static constexpr int MaxTypes = 30;            // the named receipts and issues
    static constexpr int MaxYears = 50;
    static constexpr int LastYear = 2026;   // lines end with this year

    int lines = 400;
    int items = 14;
    int partners = 0;   // 0: in proportion to the items
    int warehouses = 3;
    int types = MinTypes;
    int years = 2;   // ending with LastYear
};

struct DemoItem {
    QString code;             // CKOD
    QString number;           // CSZAM
    QString batch;            // CBIZONYLAT, carried by its lines in BTETEL
    QString warehouse;        // CRKOD
    int decimals = 0;         // of a quantity in the item's unit
    std::int64_t price = 0;   // usual purchase price of one unit, whole forints
    std::int64_t lot = 0;     // usual quantity of one delivery, whole units
};

struct DemoMovementType {
    QString code;            // MKOD
    QString key;             // MNEM
    QString name;            // MNEV
    bool increase = false;   // MNCS is "+"
};

struct DemoWorld {
    std::vector<DemoItem> items;
    std::vector<DemoMovementType> types;   // the six basic kinds first, then further receipts and issues
    QStringList producers;                 // PKOD of primary producers, who sell on purchase tickets
    QStringList companies;                 // PKOD of firms we buy from and sell to
    QStringList employees;                 // DKOD
};

// Called now and then with the number of lines stored so far.
using DemoProgress = std::function<void(int)>;

// Fills a freshly created database with master data and movement lines; the same options give the
// same rows every time.
void fillDemoData(Connection& connection, const DemoOptions& options, const DemoProgress& progress = {});
