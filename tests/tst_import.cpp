// The purchase-ticket import: reading files into the work table, the mended handling of files that
// cannot be read, and the posting run with its numbers, new master rows and the item-code pass.
#include "dbgrid.h"
#include "faultinjection.h"
#include "fixedfolders.h"
#include "formats.h"
#include "modalform.h"
#include "masterfixture.h"
#include "testsupport.h"
#include "importposting.h"
#include "importreader.h"
#include "purchaseticketimport.h"

#include <QDate>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <ibase.h>

namespace {

// The fifteen values of a ticket line, in file order.
QStringList ticket(const QString& number, const QString& item,
                   const QString& producer = QStringLiteral("Kiss Anna"),
                   const QString& producerCode = QStringLiteral("501"))
{
    return {"2012.09.14", number, item,         "Búza " + item, "T-" + item, "1250,5",   "kg",  "62",
            "77531",      "1001", producerCode, producer,       "Szeged",    "Fő u. 1.", "6720"};
}

// A Records element with one child element per value; the children's names do not matter.
QString record(const QStringList& values, const QString& indent = QString())
{
    QString xml = indent + "<Records>";
    for (int i = 0; i < values.size(); ++i)
        xml += indent + QStringLiteral("  <v%1>%2</v%1>").arg(i).arg(values[i]);
    return xml + indent + "</Records>";
}

QByteArray document(const QStringList& records, const QString& prolog = QString())
{
    return (R"(<?xml version="1.0" encoding="UTF-8"?>)" + prolog + "<dataroot>" + records.join(QString()) +
            "</dataroot>")
        .toUtf8();
}

QStringList withValue(QStringList values, int index, const QString& value)
{
    values[index] = value;
    return values;
}

// What a document tree holds for each "Records" element: the trimmed text of every text node under it,
// depth first, walking into elements and entity references. The reader has to give the same values
// without building the tree.
QList<QStringList> recordsOfTheTree(const QByteArray& xml)
{
    QDomDocument document;
    if (!document.setContent(xml))
        return {};
    QList<QStringList> records;
    const QDomNodeList elements = document.elementsByTagName(QStringLiteral("Records"));
    for (int i = 0; i < elements.length(); ++i) {
        QStringList values;
        std::function<void(const QDomNode&)> walk = [&](const QDomNode& node) {
            for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
                if (child.isText() && !child.isCDATASection()) {
                    QString text = child.nodeValue();
                    while (!text.isEmpty() && text.front().unicode() <= ' ')
                        text.remove(0, 1);
                    while (!text.isEmpty() && text.back().unicode() <= ' ')
                        text.chop(1);
                    values << text;
                } else if (child.isElement() || child.isEntityReference()) {
                    walk(child);
                }
            }
        };
        walk(elements.item(i));
        records << values;
    }
    return records;
}

}

class TestImport : public MasterTest {
    Q_OBJECT

    QTemporaryDir files;

    QString writeFile(const QByteArray& content, const QString& name = QStringLiteral("tickets.xml"))
    {
        const QString path = files.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(content);
        return path;
    }

    // Reads the file through "Beolvasás" with a movement type picked.
    void read(TForm25& form, const QString& path)
    {
        form.Edit10->setText(QStringLiteral("1"));
        platform->fileAnswers.push_back(path);
        QTest::mouseClick(form.Button5, Qt::LeftButton);
    }

    Rows stored(const QString& sql) { return storedRows(*db, sql); }

    Rows workRows() { return stored(QStringLiteral("SELECT * FROM munka2")); }

    void fillWorkTable(const Rows& tickets)
    {
        QStringList statements{QStringLiteral("DELETE FROM munka2")};
        for (const QStringList& t : tickets) {
            QStringList quoted{"'" + Formats::parseDate(t[0])->toString(Qt::ISODate) + "'"};
            for (QString value : t.mid(1))
                quoted << "'" + value.replace(',', '.') + "'";
            statements << "INSERT INTO munka2 VALUES (" + quoted.join(", ") + ")";
        }
        db->exec(statements);
    }

    // "Feladás" with the movement type BE (code 1), as the form shows it after a pick.
    void post(TForm25& form)
    {
        form.Edit10->setText(QStringLiteral("1"));
        form.Edit2->setText(QStringLiteral("BE"));
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    }

    QString counter() { return stored(QStringLiteral("SELECT zbizszam FROM bizszam")).value(0).value(0); }

    static QStringList firstLines(const QStringList& messages)
    {
        QStringList lines;
        for (const QString& m : messages)
            lines << m.section('\r', 0, 0);
        return lines;
    }

private slots:
    void initTestCase()
    {
        initTestLocale();
        QVERIFY(files.isValid());
    }

    void init()
    {
        startTest();
        connectData();
        shared().CurrentEmployeeCode = QStringLiteral("2");
    }
    void cleanup() { endTest(); }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<Rows>("expected");
        QTest::addColumn<QStringList>("messages");   // "~text": a message containing the text

        const QStringList a = ticket("F1", "101");
        const QStringList b = ticket("F2", "102", "Nagy Béla", "502");
        const QStringList stored = {"2012.09.14", "F1",        "101",    "Búza 101", "T-101",
                                    "1250,5",     "kg",        "62",     "77531",    "1001",
                                    "501",        "Kiss Anna", "Szeged", "Fő u. 1.", "6720"};
        const QStringList storedB = {"2012.09.14", "F2",        "102",    "Búza 102", "T-102",
                                     "1250,5",     "kg",        "62",     "77531",    "1001",
                                     "502",        "Nagy Béla", "Szeged", "Fő u. 1.", "6720"};
        const QStringList done{"Adatok beolvasva. "};

        QTest::newRow("two records, one line")
            << document({record(a), record(b)}) << Rows{stored, storedB} << done;
        QTest::newRow("two records, indented")
            << document({record(a, "\n  "), record(b, "\n\t")}) << Rows{stored, storedB} << done;
        QTest::newRow("records anywhere, in document order")
            << document({"<batch><x>not a record</x>" + record(a) + "</batch>", record(b)})
            << Rows{stored, storedB} << done;
        QTest::newRow("values nested, padded, with comments")
            << document({"<Records><head><d> 2012.09.14 </d><n>F1<!-- ticket --></n></head>" +
                         record(a.mid(2)).mid(9)})
            << Rows{stored} << done;
        QTest::newRow("empty element shifts later values")
            << document({record(withValue(a, 12, QString()))})
            << Rows{withValue(withValue(withValue(stored, 12, "Fő u. 1."), 13, "6720"), 14, QString())}
            << done;
        QTest::newRow("CDATA is not read") << document({record(withValue(a, 14, "<![CDATA[6720]]>"))})
                                           << Rows{withValue(stored, 14, QString())} << done;
        QStringList viaEntity = withValue(withValue(a, 12, "&town;"), 11, "Kiss &amp; Anna");
        viaEntity.removeAt(13);
        QTest::newRow("entity references walked")
            << document({record(viaEntity)}, "<!DOCTYPE dataroot [<!ENTITY town 'Sze<i>ged</i>'>]>")
            << Rows{withValue(withValue(withValue(stored, 12, "Sze"), 13, "ged"), 11, "Kiss & Anna")} << done;
        const QString nested = QString("<n>").repeated(250) + a[3] + QString("</n>").repeated(250);
        QTest::newRow("value nested 250 levels deep")
            << document({record(withValue(a, 3, nested))}) << Rows{stored} << done;
        QTest::newRow("too many values end the reading")
            << document({record(a), record(b + QStringList{"extra"}), record(a)}) << Rows{stored}
            << QStringList{"~16", "Adatok beolvasva. "};
        QTest::newRow("bad date ends the reading")
            << document({record(a), record(withValue(b, 0, "2012.13.45")), record(a)}) << Rows{stored}
            << QStringList{"~2012.13.45", "Adatok beolvasva. "};
        QTest::newRow("bad number ends the reading")
            << document({record(a), record(withValue(b, 5, "12 kg")), record(a)}) << Rows{stored}
            << QStringList{"~12 kg", "Adatok beolvasva. "};
        QTest::newRow("a row the table refuses is skipped")
            << document({record(a), record(withValue(b, 2, "123456")), record(b)}) << Rows{stored, storedB}
            << QStringList{"Hiba257: XML -böl  INSERT munka2 -be ", "Adatok beolvasva. "};
    }

    void reading()
    {
        QFETCH(QByteArray, xml);
        QFETCH(Rows, expected);
        QFETCH(QStringList, messages);
        fillWorkTable({ticket("OLD", "9")});

        TForm25 form;
        read(form, writeFile(xml));

        QCOMPARE(workRows(), expected);
        const QStringList shown = firstLines(platform->messageTexts());
        QCOMPARE(shown.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i) {
            if (messages[i].startsWith('~'))
                QVERIFY2(shown[i].contains(messages[i].mid(1)), qPrintable(shown[i]));
            else
                QCOMPARE(shown[i], messages[i]);
        }
        QCOMPARE(form.DBGrid1->model()->rowCount(), expected.size());
    }

    // The sample file of the repository reads and posts as it is.
    void sampleFile()
    {
        TForm25 form;
        read(form, QStringLiteral(VARNEL_SAMPLE_FILE));
        QCOMPARE(platform->messageTexts(), QStringList{"Adatok beolvasva. "});
        QCOMPARE(workRows().size(), 5);
        post(form);
        QCOMPARE(stored("SELECT count(*) FROM bizmozg"), Rows{{"5"}});
        QCOMPARE(stored("SELECT count(*) FROM cikk"), Rows{{"8"}});
    }

    // A file that cannot be read, or that the reader refuses, is reported with the reason and where it
    // was given up, and leaves the last reading in place.
    void unreadableFile_data()
    {
        QTest::addColumn<QByteArray>("xml");   // empty: no file at all
        QTest::addColumn<QString>("reason");
        const QString secret = files.filePath("postcode.txt");
        QTest::newRow("missing") << QByteArray() << "missing.xml";
        QTest::newRow("not well-formed")
            << QByteArray("<dataroot>\n<Records><a>2012.09.14</a>\n</dataroot>") << "(3. sor";
        QString entities = "<!ENTITY l0 'haha'>";
        for (int i = 1; i < 10; ++i)
            entities += QStringLiteral("<!ENTITY l%1 '%2'>")
                            .arg(i)
                            .arg(QStringLiteral("&l%1;").arg(i - 1).repeated(10));
        QTest::newRow("entity expansion beyond the bound")
            << QByteArray("<!DOCTYPE r [" + entities.toUtf8() + "]><r><Records><a>&l9;</a></Records></r>")
            << "(1. sor";
        // Each reference stays under the reader's bound for one entity; together they expand beyond what
        // the file may add. More references, a few bytes each, would fill gigabytes.
        QTest::newRow("many references beyond the text bound")
            << document({"<Records><a>&big;</a><b>" + QString("&big;").repeated(1000) + "</b></Records>"},
                        "<!DOCTYPE dataroot [<!ENTITY big '" + QString(4000, 'x') + "'>]>")
            << "karakternél több szöveget adnak (1. sor";
        QTest::newRow("external entity")
            << document({record(withValue(ticket("F1", "101"), 14, "&postcode;"))},
                        "<!DOCTYPE dataroot [<!ENTITY postcode SYSTEM 'file://" + secret + "'>]>")
            << "külső entitást deklarál (postcode) (1. sor";
        QTest::newRow("external parameter entity")
            << document({record(ticket("F1", "101"))},
                        "<!DOCTYPE dataroot [<!ENTITY % p SYSTEM 'file://" + secret + "'> %p;]>")
            << "külső entitást deklarál (p)";
        QTest::newRow("external DTD")
            << document({record(ticket("F1", "101"))}, "<!DOCTYPE dataroot SYSTEM 'file://" + secret + "'>")
            << "külső DTD-re hivatkozik";
        QTest::newRow("nested 100,000 levels")
            << QByteArray("<dataroot>\n<Records>" + QByteArray("<n>").repeated(100000) + "1" +
                          QByteArray("</n>").repeated(100000) + "</Records></dataroot>")
            << "256 szintnél mélyebben vannak egymásba ágyazva (2. sor, 774. oszlop)";
    }

    void recordsAsTheTreeHasThem_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("record in a record")
            << document({"<Records><a>1</a><Records><b>2</b></Records><c>3</c>"
                         "</Records><Records><d>4</d></Records>"});
        QTest::newRow("blanks, no-break spaces, tabs")
            << document({"<Records><a> </a><b>\u00a0</b><c>\t x \r\n</c><d>&#9;y&#160;</d></Records>"});
        QTest::newRow("instructions, comments, CDATA around text")
            << document({"<Records><?pi data?>a<!-- c -->b<![CDATA[c]]>d</Records>"});
        QTest::newRow("entities inside text")
            << document({"<Records><a>&lt;x&gt; &amp;&e; y</a><b>&e;</b></Records>"},
                        "<!DOCTYPE dataroot [<!ENTITY e 'p<q>r</q>s'>]>");
        QTest::newRow("prefixed and lower-case names")
            << document({"<x:Records xmlns:x='u'><a>1</a></x:Records>"
                         "<records><a>2</a></records>"});
    }

    void recordsAsTheTreeHasThem()
    {
        QFETCH(QByteArray, xml);
        PurchaseTicketFile file;
        QVERIFY(file.load(writeFile(xml)));
        QList<QStringList> records;
        for (int i = 0; i < file.recordCount(); ++i)
            records << file.values(i);
        QCOMPARE(records, recordsOfTheTree(xml));
    }

    void unreadableFile()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, reason);
        writeFile("6720", "postcode.txt");
        const QString path = xml.isEmpty() ? files.filePath("missing.xml") : writeFile(xml, "unreadable.xml");
        fillWorkTable({ticket("OLD", "9")});

        TForm25 form;
        read(form, path);

        QCOMPARE(workRows().size(), 1);
        QCOMPARE(platform->messageTexts().size(), 1);
        const QString shown = platform->messageTexts()[0];
        QVERIFY2(shown.startsWith("A(z) \"" + path + "\" file nem"), qPrintable(shown));
        QVERIFY2(shown.contains(reason), qPrintable(shown));
    }

    void movementTypeIsNeeded_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Beolvasás") << "Button5";
        QTest::newRow("Feladás") << "Button1";
    }

    // A short code typed by hand is not a picked movement type: neither reading nor posting starts, and
    // the rows an earlier reading left stay in the work table, unposted.
    void movementTypeIsNeeded()
    {
        QFETCH(QString, button);
        fillWorkTable({ticket("OLD", "9")});
        TForm25 form;
        form.Edit2->setText(QStringLiteral("BE"));
        QTest::mouseClick(form.findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(platform->messageTexts(), QStringList{"Nincs megadva mozgásnem!"});
        QCOMPARE(form.focusWidget(), form.Edit2);
        QVERIFY(platform->fileDialogs.empty());
        QCOMPARE(workRows().size(), 1);
        QCOMPARE(stored("SELECT count(*) FROM bizmozg"), Rows{{"0"}});
        QCOMPARE(stored("SELECT count(*) FROM cikk"), Rows{{"4"}});
        QCOMPARE(counter(), QStringLiteral("0"));
    }

    // The dialog opens on the default folder and name; cancelled, it reads the name it holds, which is
    // at first the bare default name in the current folder.
    void fileDialog()
    {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(files.path());
        writeFile(document({record(ticket("F1", "101"))}), TForm25::defaultFileName());

        TForm25 form;
        form.Edit10->setText(QStringLiteral("1"));
        QTest::mouseClick(form.Button5, Qt::LeftButton);
        QDir::setCurrent(previous);

        QCOMPARE(platform->fileDialogs.size(), size_t(1));
        const auto& call = platform->fileDialogs[0];
        QCOMPARE(call.caption, QStringLiteral("Megnyitásra kerülö file neve:"));
        QCOMPARE(call.folder, QDir(localFolder("C:\\varnel2011\\")).filePath("dravo_varnelhez.xml"));
        QVERIFY(call.filter.startsWith("XML files (*.XML"));
        QCOMPARE(workRows().size(), 1);
        QCOMPARE(platform->messageTexts(), QStringList{"Adatok beolvasva. "});
    }

    void pickMovementType()
    {
        TForm25 form;
        form.Edit2->setText(QStringLiteral("Zab"));
        platform->modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });
        QTest::mouseClick(form.Button4, Qt::LeftButton);
        QCOMPARE(platform->shownDialogs, QStringList{"Form13"});
        QCOMPARE(
            (QStringList{form.Edit2->text(), form.Edit10->text(), form.Edit11->text(), form.Edit35->text()}),
            (QStringList{"ZZ", "10", "Zab", "+"}));
    }

    // New items and partners, consecutive numbers, and nothing twice.
    void postingNewRows()
    {
        db->exec({"UPDATE bizszam SET zbizszam = '41'"});
        fillWorkTable({ticket("F1", "601"), ticket("F1", "602", "Nagy Béla", "502"), ticket("F2", "603")});
        {
            TForm25 form;
            post(form);
            QCOMPARE(form.Edit3->text(), QStringLiteral("44"));
            QCOMPARE(form.result(), int(QDialog::Accepted));
        }
        QCOMPARE(platform->messageTexts(), QStringList{"Adatátvétel  -feladás- befejezödött "});
        const QString today = QDate::currentDate().toString("yyyy.MM.dd");
        QCOMPARE(
            stored("SELECT bbszam, bckod, bcikkszam, bbizdatum, bmkod, bmnem, bear, bmenov, bmecsok, bertnov,"
                   " bertcsok, btetel, beredeti, bszoveg, bpkod, bdkod, bfeladott, brkelt, brkod"
                   " FROM bizmozg ORDER BY bbszam"),
            (Rows{{"42", "11", "601", "2012.09.14", "1", "BE", "62", "1250,5", "0", "77531", "0", "T-601",
                   "F.jegy: F1", "Kiss Anna", "501", "2", "", today, ""},
                  {"43", "12", "602", "2012.09.14", "1", "BE", "62", "1250,5", "0", "77531", "0", "T-602",
                   "F.jegy: F1", "Nagy Béla", "502", "2", "", today, ""},
                  {"44", "13", "603", "2012.09.14", "1", "BE", "62", "1250,5", "0", "77531", "0", "T-603",
                   "F.jegy: F2", "Kiss Anna", "501", "2", "", today, ""}}));
        QCOMPARE(counter(), QStringLiteral("44"));
        QCOMPARE(
            stored("SELECT ckod, cszam, cmegn, cmeret, cme, cvtsz, cbizonylat FROM cikk WHERE cszam > '600'"
                   " ORDER BY cszam"),
            (Rows{{"11", "601", "Búza 601", " ", "kg", "1001", "T-601"},
                  {"12", "602", "Búza 602", " ", "kg", "1001", "T-602"},
                  {"13", "603", "Búza 603", " ", "kg", "1001", "T-603"}}));
        QCOMPARE(
            stored(
                "SELECT pkod, pnev, pirszam, phelyseg, putca FROM partner WHERE pkod > '500' ORDER BY pkod"),
            (Rows{{"501", "Kiss Anna", "6720", "Szeged", "Fő u. 1."},
                  {"502", "Nagy Béla", "6720", "Szeged", "Fő u. 1."}}));

        // The same work rows again: already posted, so no line and no number.
        platform->clearMessages();
        TForm25 again;
        post(again);
        QCOMPARE(stored("SELECT count(*) FROM bizmozg"), Rows{{"3"}});
        QCOMPARE(counter(), QStringLiteral("44"));
        QCOMPARE(again.Edit3->text(), QString());
    }

    void postingKnownMasterData()
    {
        // Item 100 exists (code 2); "Barack" is partner 1, here under the ticket's code 77; the second
        // line of ticket F1 repeats item 100.
        fillWorkTable({ticket("F1", "100", "Barack", "77"), withValue(ticket("F1", "100"), 4, "T-other")});
        TForm25 form;
        post(form);
        QCOMPARE(stored("SELECT bbszam, bckod, bcikkszam, bpkod, bszoveg FROM bizmozg"),
                 (Rows{{"1", "2", "100", "77", "Barack"}}));
        QCOMPARE(stored("SELECT count(*) FROM cikk"), Rows{{"4"}});
        QCOMPARE(stored("SELECT count(*) FROM partner"), Rows{{"4"}});
        QCOMPARE(counter(), QStringLiteral("1"));
    }

    // A row whose line the database refuses takes back its own item, partner and number, and only them;
    // the message gives the trigger's own text.
    void failingRowStandsAlone()
    {
        db->exec({"CREATE EXCEPTION refused 'A 666-os cikk nem vehető át.'"});
        db->exec({"CREATE TRIGGER refuse_666 FOR bizmozg BEFORE INSERT AS BEGIN "
                  "IF (NEW.bcikkszam = '666') THEN EXCEPTION refused; END"});
        fillWorkTable({ticket("F1", "601"), ticket("F2", "666", "Nagy Béla", "502"), ticket("F3", "603")});
        TForm25 form;
        post(form);
        QCOMPARE(platform->messageTexts(),
                 (QStringList{"Hiba253: Feladás XML -böl INSERT a bizmozg \rAz adatbázis elutasította: A "
                              "666-os cikk nem vehető át.",
                              "Adatátvétel  -feladás- befejezödött "}));
        QCOMPARE(stored("SELECT bbszam, bcikkszam, bckod FROM bizmozg ORDER BY bbszam"),
                 (Rows{{"1", "601", "11"}, {"2", "603", "12"}}));
        QCOMPARE(counter(), QStringLiteral("2"));
        QCOMPARE(stored("SELECT count(*) FROM cikk WHERE cszam = '666'"), Rows{{"0"}});
        QCOMPARE(stored("SELECT count(*) FROM partner WHERE pnev = 'Nagy Béla'"), Rows{{"0"}});
    }

    // Tickets with a negative quantity that take their item's stock on their date below zero are
    // posted all the same and counted in the closing message; the ones that leave it at or above zero
    // are not. Item 100 has no lines; 601 is new.
    void postingCountsLinesBelowZero()
    {
        db->exec({"INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmenov, bmecsok) "
                  "VALUES ('1', '100', '2012-09-15', 5, 0)",
                  "UPDATE bizszam SET zbizszam = '1'"});
        fillWorkTable({ticket("F1", "601"), withValue(ticket("F2", "601"), 5, "-1250,5"),
                       withValue(ticket("F3", "601"), 5, "-0,5"), withValue(ticket("F4", "100"), 5, "-1"),
                       withValue(ticket("F5", "100"), 5, "3")});
        TForm25 form;
        post(form);
        QCOMPARE(platform->messageTexts(),
                 QStringList{"Adatátvétel  -feladás- befejezödött \rA feladott tételek közül 2 a tétel "
                             "keltekor nulla alá vitte a cikk készletét."});
        QCOMPARE(stored("SELECT bcikkszam, bmenov FROM bizmozg WHERE bbszam > '1' ORDER BY bbszam"),
                 (Rows{{"601", "1250,5"}, {"601", "-1250,5"}, {"601", "-0,5"}, {"100", "-1"}, {"100", "3"}}));
    }

    // A counter that cannot be advanced stores no line: two lines never share a number.
    void counterFailureStoresNoLine()
    {
        db->exec({"UPDATE bizszam SET zbizszam = 'x'"});
        fillWorkTable({ticket("F1", "601"), ticket("F2", "100")});
        TForm25 form;
        post(form);
        QCOMPARE(firstLines(platform->messageTexts()),
                 (QStringList{"Hiba254:  UPDATE Sorszam -ba ", "Hiba254:  UPDATE Sorszam -ba ",
                              "Adatátvétel  -feladás- befejezödött "}));
        QCOMPARE(stored("SELECT count(*) FROM bizmozg"), Rows{{"0"}});
        QCOMPARE(stored("SELECT count(*) FROM cikk"), Rows{{"4"}});
    }

    // Every line of an item number with a short code gets the item's first code (code order); lines of
    // an unknown item number, or of an item without a code, keep theirs.
    void itemCodePass()
    {
        db->exec({"INSERT INTO cikk (ckod, cszam) VALUES ('11', '100')",
                  "INSERT INTO cikk (ckod, cszam) VALUES (NULL, '500')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod) VALUES ('1', '100', '')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod) VALUES ('2', '100', 'ABCDE')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod) VALUES ('3', '200', 'XYZQW')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod) VALUES ('4', '999', '7')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod) VALUES ('5', '', '5')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod) VALUES ('6', '500', '3')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod) VALUES ('7', NULL, NULL)",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod) VALUES ('8', '300', NULL)",
                  "UPDATE bizszam SET zbizszam = '8'"});
        fillWorkTable({});
        TForm25 form;
        post(form);
        QCOMPARE(stored("SELECT bbszam, bckod FROM bizmozg ORDER BY bbszam"), (Rows{{"1", "11"},
                                                                                    {"2", "11"},
                                                                                    {"3", "XYZQW"},
                                                                                    {"4", "7"},
                                                                                    {"5", "5"},
                                                                                    {"6", "3"},
                                                                                    {"7", ""},
                                                                                    {"8", "1"}}));
        QCOMPARE(platform->messageTexts(), QStringList{"Adatátvétel  -feladás- befejezödött "});
    }

    // A connection lost during the item-code pass ends it with the one lost-connection message; the
    // pass's later updates must not each report a dead transaction, and nothing of the pass is stored.
    void itemCodePassMeetsALostConnection()
    {
        db->exec({"INSERT INTO cikk (ckod, cszam) VALUES ('11', '100')",
                  "INSERT INTO cikk (ckod, cszam) VALUES ('12', '200')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod) VALUES ('1', '100', '')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod) VALUES ('2', '200', '')"});
        // The pass's read is the first statement, its first update the second.
        FaultInjection::failAt(FaultInjection::Point::Statement, 2, QStringLiteral("Error writing data"),
                               isc_network_error);
        TicketPosting::fillItemCodes();
        FaultInjection::disarm();
        const QStringList messages = platform->messageTexts();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().startsWith(QStringLiteral("Hiba255:")), qPrintable(messages.first()));
        QVERIFY2(messages.first().contains(QStringLiteral("Megszakadt a kapcsolat")),
                 qPrintable(messages.first()));
        QCOMPARE(stored("SELECT bbszam, bckod FROM bizmozg ORDER BY bbszam"), (Rows{{"1", ""}, {"2", ""}}));
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
