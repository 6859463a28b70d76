// Fixture of the master-data tests: the same four rows in each master table, and the five lists with
// their queries, codes and the way the menu opens them.
#pragma once

#include "data.h"
#include "dataset.h"
#include "masterdataforms.h"
#include "scriptedplatform.h"
#include "sharedstate.h"
#include "testdatabase.h"
#include "testsupport.h"

#include <QDialog>
#include <QStringList>
#include <QTest>
#include <functional>

// In name order (Hungarian collation): Abroncs 3, alma 2, Barack 1, Zab 10; in code order (text):
// 1, 10, 2, 3; in item-number order: 2, 3, 1, 10; in movement-key order: BE 1, KB 3, KI 2, ZZ 10.
inline void fillMasterTables(const TestDatabase& db)
{
    struct Row {
        const char *code, *name, *number, *batch, *key;
    };
    const Row rows[] = {{"1", "Barack", "300", "T-C", "BE"},
                        {"2", "alma", "100", "T-B", "KI"},
                        {"3", "Abroncs", "200", "T-A", "KB"},
                        {"10", "Zab", "400", "T-D", "ZZ"}};
    QStringList statements;
    for (const Row& r : rows) {
        statements
            << QStringLiteral("INSERT INTO raktar (rkod, rnev, rtelep) VALUES ('%1', '%2', 'Telep %1')")
                   .arg(r.code, r.name)
            << QStringLiteral("INSERT INTO cikk (ckod, cszam, cmegn, cbizonylat, crkod) VALUES ('%1', '%2', "
                              "'%3', '%4', '%1')")
                   .arg(r.code, r.number, r.name, r.batch)
            << QStringLiteral("INSERT INTO partner (pkod, pnev, phelyseg) VALUES ('%1', '%2', 'Város %1')")
                   .arg(r.code, r.name)
            << QStringLiteral("INSERT INTO mnem (mkod, mnem, mnev, mncs) VALUES ('%1', '%2', '%3', '+')")
                   .arg(r.code, r.key, r.name)
            << QStringLiteral("INSERT INTO dolgozo (dkod, dnev) VALUES ('%1', '%2')").arg(r.code, r.name);
    }
    db.exec(statements);
}

struct ListMember {
    QString name;
    Query* TData::*query;
    QString table;
    QString codeField;
    QString SharedState::*searchValue;
    std::function<void()> open;   // as the main menu does
    QString listName;             // objectName of the list form
    QString entryName;            // objectName of its entry form
};

inline const QList<ListMember>& listMembers()
{
    static const QList<ListMember> members{
        {"warehouses", &TData::ZQ40, "raktar", "RKOD", &SharedState::SelectedWarehouseCode,
         [] { runForm(Form11, nullptr); }, "Form11", "Form12"},
        {"items", &TData::ZQ20, "cikk", "CKOD", &SharedState::SelectedItemNumber,
         [] { runForm(Form7, nullptr); }, "Form7", "Form8"},
        {"partners", &TData::ZQ30, "partner", "PKOD", &SharedState::SelectedPartnerCode,
         [] { runForm(Form9, nullptr); }, "Form9", "Form10"},
        {"movement types", &TData::ZQ50, "mnem", "MKOD", &SharedState::SelectedMovementType,
         [] { runForm(Form13, nullptr); }, "Form13", "Form14"},
        {"employees", &TData::ZQ60, "dolgozo", "DKOD", &SharedState::SelectedEmployeeCode,
         [] { runForm(Form15, nullptr); }, "Form15", "Form16"},
    };
    return members;
}

inline const ListMember& listMember(const QString& name)
{
    for (const ListMember& m : listMembers())
        if (m.name == name)
            return m;
    qFatal("no list member %s", qPrintable(name));
}

// Every row's value of a column, in the dataset's order; the current row is kept.
inline QStringList columnValues(Dataset& data, const QString& column)
{
    QStringList values;
    if (!data.isOpen())
        return values;
    const int count = data.recordCount();
    const int index = data.columnIndex(column);
    for (int row = 0; row < count; ++row)
        values << data.fieldAt(row, index).asString();
    return values;
}

inline QString currentValue(Dataset& data, const QString& column)
{
    return data.fieldByName(column).asString();
}

// The base of the master-data tests: each test runs on a fresh database holding the fixture rows, with
// a fresh scripted platform and empty shared state; the data module is made by connectData().
class MasterTest : public QObject {
protected:
    std::unique_ptr<TestDatabase> db;
    ScriptedPlatform* platform = nullptr;

    void startTest()
    {
        platform = &ScriptedPlatform::install();
        db = std::make_unique<TestDatabase>();
        shared() = SharedState();
        fillMasterTables(*db);
    }

    // Fails the test when a scripted form run was not used as written.
    void endTest()
    {
        verifyScriptUsed(*platform);
        delete Data;
        Data = nullptr;
        db.reset();
    }

    void connectData()
    {
        Data = new TData(db->path());
        Data->connectAndOpenTables();
    }

    Query& listQuery(const ListMember& member) { return *(Data->*member.query); }

    // Opens the member's list as the menu does, then its entry form: new, or a modification of the row
    // with `code`; `act` plays the person in the entry form, `afterwards` runs in the list once it closed.
    template <class Entry, class List>
    void inEntryForm(const ListMember& m, const QString& code, const std::function<void(Entry&)>& act,
                     const std::function<void(List&)>& afterwards = {})
    {
        bool ran = false;
        platform->addRun<List>([&](List& list) {
            platform->addRun<Entry>([&](Entry& entry) {
                ran = true;
                act(entry);
            });
            if (!code.isEmpty())
                listQuery(m).locate(m.codeField, code);
            (code.isEmpty() ? list.Button2 : list.Button3)->click();
            if (afterwards)
                afterwards(list);
        });
        m.open();
        QVERIFY(ran);
    }
};
