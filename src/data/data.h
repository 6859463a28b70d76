// The data module: the one connection and transaction, the ten base tables, the named queries, their
// data sources and the report components. One global `Data`.
#pragma once

#include "connection.h"
#include "datasource.h"
#include "query.h"
#include "table.h"

#include <QObject>

class Report;
class ReportDataset;

class TData : public QObject {
    Q_OBJECT
public:
    // `database` replaces the default name "VARNEL2013.FDB" (for example server:VARNEL2013.FDB).
    explicit TData(const QString& database = QString(), QObject* parent = nullptr);
    ~TData() override;   // commits the active transaction, then disconnects

    // Connects and opens the ten tables (closed and opened in number order); throws DbError.
    // The report events (running stock, item summary) are installed by the caller with
    // installReportEvents(), which lives above this module.
    void connectAndOpenTables();
    // The first part of it: attaches and brings the indexes of an older database up to date. It may run
    // on another thread while nothing else uses this module, which start-up does while it builds its
    // windows. Throws DbError.
    void connect();

    // Landscape, load the named template from the working folder, prepare, modal preview.
    void ShowReportFile(const QString& fileName);

    Connection ZCon1;
    Transaction& IBTrans1;

    Table* IBTable1;    // BIZMOZG
    Table* IBTable2;    // CIKK
    Table* IBTable3;    // PARTNER
    Table* IBTable4;    // RAKTAR
    Table* IBTable5;    // MNEM
    Table* IBTable6;    // DOLGOZO
    Table* IBTable7;    // BIZSZAM
    Table* IBTable8;    // FELH
    Table* IBTable9;    // MUNKA
    Table* IBTable10;   // MUNKA2
    DataSource *DS1, *DS2, *DS3, *DS4, *DS5, *DS6, *DS7, *DS8, *DS9, *DS10;

    Query *ZQ10, *ZQ11, *ZQ12, *ZQ20, *ZQ21, *ZQ22, *ZQ30, *ZQ31, *ZQ32, *ZQ40, *ZQ41, *ZQ50, *ZQ51, *ZQ60,
        *ZQ61, *ZQ70, *ZQ80, *ZQ90, *ZQ100;
    DataSource *DSQ10, *DS11, *DS12, *DSQ20, *DS21, *DS22, *DS32, *DSQ30, *DS31, *DSQ40, *DS41, *DSQ50, *DS51,
        *DSQ60, *DS61, *DSQ70, *DSQ80, *DSQ90, *DSQ100;

    // Report components; their behaviour lives in the report engine and the report events.
    Report* frNyomtat;
    Report* frMegtekint;
    Report* frCompositeReport1;
    ReportDataset *frDBCikk, *frDBPartner, *frDBRaktar, *frDBMnem, *frDBDolgozo, *frDBTetelszam,
        *frDBDataSet1, *frDBDataSet2, *frDBDataSet3, *frDBDataSet4, *frDBDataSet5, *frDBDataSet6;
    ReportDataset *frUserDataset1, *frUserDataset2, *frUserDataset3, *frUserDataset4;

    QList<Table*> tables() const;

private:
    // A database of an earlier version gets the indexes of this one when it is opened.
    void upgradeIndexes();
};

extern TData* Data;
