// The data module: creates the connection, the ten tables, the named queries, their data sources and
// the report components, and runs the one print path.
#include "data.h"
#include "databasefile.h"
#include "dberror.h"
#include "failurereason.h"
#include "report.h"
#include "reportdataset.h"
#include "windowedquery.h"

#include <map>

TData* Data = nullptr;

namespace {

template <class T>
T* named(T* object, const char* name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

}

TData::TData(const QString& database, QObject* parent) : QObject(parent), IBTrans1(ZCon1.transaction())
{
    setObjectName(QStringLiteral("Data"));
    ZCon1.setParams(databaseParams(database.isEmpty() ? QStringLiteral("VARNEL2013.FDB") : database));
    IBTrans1.setObjectName(QStringLiteral("IBTrans1"));

    struct TableDef {
        Table** table;
        DataSource** source;
        const char* name;
        const char* sourceName;
        const char* tableName;
        bool readOnly;
    };
    const TableDef tableDefs[] = {
        {&IBTable1, &DS1, "IBTable1", "DS1", "BIZMOZG", true},
        {&IBTable2, &DS2, "IBTable2", "DS2", "CIKK", true},
        {&IBTable3, &DS3, "IBTable3", "DS3", "PARTNER", true},
        {&IBTable4, &DS4, "IBTable4", "DS4", "RAKTAR", true},
        {&IBTable5, &DS5, "IBTable5", "DS5", "MNEM", true},
        {&IBTable6, &DS6, "IBTable6", "DS6", "DOLGOZO", false},
        {&IBTable7, &DS7, "IBTable7", "DS7", "BIZSZAM", false},
        {&IBTable8, &DS8, "IBTable8", "DS8", "FELH", true},
        {&IBTable9, &DS9, "IBTable9", "DS9", "MUNKA", false},
        {&IBTable10, &DS10, "IBTable10", "DS10", "MUNKA2", false},
    };
    for (const TableDef& def : tableDefs) {
        *def.table = named(new Table(IBTrans1, this), def.name);
        (*def.table)->setTableName(QString::fromLatin1(def.tableName));
        (*def.table)->setReadOnly(def.readOnly);
        *def.source = named(new DataSource(*def.table, this), def.sourceName);
    }

    struct QueryDef {
        Query** query;
        const char* name;
    };
    const QueryDef queryDefs[] = {
        {&ZQ10, "ZQ10"}, {&ZQ11, "ZQ11"}, {&ZQ12, "ZQ12"}, {&ZQ20, "ZQ20"},   {&ZQ21, "ZQ21"},
        {&ZQ22, "ZQ22"}, {&ZQ30, "ZQ30"}, {&ZQ31, "ZQ31"}, {&ZQ32, "ZQ32"},   {&ZQ40, "ZQ40"},
        {&ZQ41, "ZQ41"}, {&ZQ50, "ZQ50"}, {&ZQ51, "ZQ51"}, {&ZQ60, "ZQ60"},   {&ZQ61, "ZQ61"},
        {&ZQ70, "ZQ70"}, {&ZQ80, "ZQ80"}, {&ZQ90, "ZQ90"}, {&ZQ100, "ZQ100"},
    };
    // Lists that may run long are read by window in their key orders, holding only the rows near those
    // shown: the register (millions of lines) in number order, the item list by name and by item number.
    const std::map<Query**, std::vector<WindowedQuery::KeyOrder>> windowed{
        {&ZQ10, {{QStringLiteral("BBSZAM"), QStringLiteral("IDB")}}},
        {&ZQ20,
         {{QStringLiteral("CMEGN"), QStringLiteral("IDC")},
          {QStringLiteral("CSZAM"), QStringLiteral("IDC")}}},
    };
    for (const QueryDef& def : queryDefs) {
        const auto orders = windowed.find(def.query);
        if (orders == windowed.end()) {
            *def.query = named(new Query(IBTrans1, this), def.name);
            continue;
        }
        auto* window = new WindowedQuery(IBTrans1, this);
        window->setKeyOrders(orders->second);
        *def.query = named<Query>(window, def.name);
    }

    struct SourceDef {
        DataSource** source;
        Query* query;
        const char* name;
    };
    const SourceDef sourceDefs[] = {
        {&DSQ10, ZQ10, "DSQ10"}, {&DS11, ZQ11, "DS11"},   {&DS12, ZQ12, "DS12"},      {&DSQ20, ZQ20, "DSQ20"},
        {&DS21, ZQ21, "DS21"},   {&DS22, ZQ22, "DS22"},   {&DS32, ZQ22, "DS32"},      {&DSQ30, ZQ30, "DSQ30"},
        {&DS31, ZQ31, "DS31"},   {&DSQ40, ZQ40, "DSQ40"}, {&DS41, ZQ41, "DS41"},      {&DSQ50, ZQ50, "DSQ50"},
        {&DS51, ZQ51, "DS51"},   {&DSQ60, ZQ60, "DSQ60"}, {&DS61, ZQ61, "DS61"},      {&DSQ70, ZQ70, "DSQ70"},
        {&DSQ80, ZQ80, "DSQ80"}, {&DSQ90, ZQ90, "DSQ90"}, {&DSQ100, ZQ100, "DSQ100"},
    };
    for (const SourceDef& def : sourceDefs)
        *def.source = named(new DataSource(def.query, this), def.name);

    frNyomtat = new Report(QStringLiteral("frNyomtat"), this);
    frMegtekint = new Report(QStringLiteral("frMegtekint"), this);
    frCompositeReport1 = new Report(QStringLiteral("frCompositeReport1"), this);

    struct ReportDatasetDef {
        ReportDataset** dataset;
        DataSource* source;
        const char* name;
    };
    const ReportDatasetDef reportDefs[] = {
        {&frDBCikk, DSQ20, "frDBCikk"},
        {&frDBPartner, DSQ30, "frDBPartner"},
        {&frDBRaktar, DSQ40, "frDBRaktar"},
        {&frDBMnem, DSQ50, "frDBMnem"},
        {&frDBDolgozo, DSQ60, "frDBDolgozo"},
        {&frDBTetelszam, DS11, "frDBTetelszam"},
        {&frDBDataSet1, DS11, "frDBDataSet1"},
        {&frDBDataSet2, DS11, "frDBDataSet2"},
        {&frDBDataSet3, DSQ20, "frDBDataSet3"},
        {&frDBDataSet4, DSQ20, "frDBDataSet4"},
        {&frDBDataSet5, DS11, "frDBDataSet5"},
        {&frDBDataSet6, DSQ40, "frDBDataSet6"},
        {&frUserDataset1, nullptr, "frUserDataset1"},
        {&frUserDataset2, nullptr, "frUserDataset2"},
        {&frUserDataset3, nullptr, "frUserDataset3"},
        {&frUserDataset4, nullptr, "frUserDataset4"},
    };
    for (const ReportDatasetDef& def : reportDefs)
        *def.dataset = new ReportDataset(QString::fromLatin1(def.name), def.source, this);
}

TData::~TData()
{
    // Ending the run keeps what was done: the active transaction (a deletion not yet committed among
    // it) is committed before the connection closes.
    try {
        if (IBTrans1.isActive())
            IBTrans1.commit();
        ZCon1.close();
    } catch (const DbError& e) {
        qWarning("%s", qPrintable(e.message()));
    }
    if (Data == this)
        Data = nullptr;
}

QList<Table*> TData::tables() const
{
    return {IBTable1, IBTable2, IBTable3, IBTable4, IBTable5,
            IBTable6, IBTable7, IBTable8, IBTable9, IBTable10};
}

void TData::connectAndOpenTables()
{
    if (!ZCon1.isConnected())
        connect();
    IBTrans1.ensureActive();
    const QList<Table*> all = tables();
    for (Table* table : all)
        table->close();
    for (Table* table : all)
        table->open();
}

void TData::connect()
{
    ZCon1.open();
    upgradeIndexes();
}

void TData::upgradeIndexes()
{
    // The program works without them, only slower: a failure (another desk using the line table on a
    // server, say) is told on the terminal and tried again at the next start.
    try {
        const QStringList changes = bringIndexesUpToDate(ZCon1);
        for (const QString& change : changes)
            qInfo("Varnel: %s", qPrintable(change));
    } catch (const DbError& error) {
        if (connectionLost(error))
            throw;
        qWarning("Varnel: the indexes were not brought up to date: %s", qPrintable(error.message()));
        if (IBTrans1.isActive())
            IBTrans1.rollback();
    }
}

void TData::ShowReportFile(const QString& fileName)
{
    frNyomtat->setLandscape(true);
    frNyomtat->loadFromFile(fileName);
    frNyomtat->showPreview();
}
