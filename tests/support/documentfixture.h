// Fixture of the stock-document tests: the master rows of the master-data tests, two movement types
// with codes of digits, four lines and the counter at 41; helpers that play the register and the line
// form, and read what was committed through an attachment of their own.
#pragma once

#include "documentlineform.h"
#include "documentregister.h"
#include "documentviewer.h"
#include "modalform.h"
#include "masterfixture.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Lines, in the register's (text) order: "10" alma -4, "11" Abroncs +1 (partner removed), "12" Zab -2,
// "9" alma +10. Item 100 (alma) stands at 6 pieces worth 8; 300 (Barack) has no lines; 400 (Zab) is
// negative.
inline void fillDocumentTables(const TestDatabase& db)
{
    db.exec({
        "INSERT INTO mnem (mkod, mnem, mnev, mncs) VALUES ('101', '101', 'BES', '+')",
        "INSERT INTO mnem (mkod, mnem, mnev, mncs) VALUES ('201', '201', 'ELA', '-')",
        "UPDATE cikk SET cme = 'kg', cmeret = '10 kg' WHERE cszam = '100'",
        "UPDATE partner SET putca = 'Fő utca 1.' WHERE pkod = '1'",
        "UPDATE bizszam SET zbizszam = '41'",
        "INSERT INTO bizmozg (bbszam, bcikkszam, bckod, bbizdatum, bmnem, bmkod, bmenov, bmecsok, bear, "
        "bertnov, "
        "bertcsok, bpkod, brkod, bdkod, btetel, bszoveg) VALUES "
        "('9', '100', '2', '2026-01-05', '101', '101', 10, 0, 2, 20, 0, '1', '1', '1', 'T-B', 'első')",
        "INSERT INTO bizmozg (bbszam, bcikkszam, bckod, bbizdatum, bmnem, bmkod, bmenov, bmecsok, bear, "
        "bertnov, "
        "bertcsok, bpkod, brkod, bdkod) VALUES ('10', '100', '2', '2026-02-01', '201', '201', 0, 4, 3, 0, "
        "12, '2', '1', '1')",
        "INSERT INTO bizmozg (bbszam, bcikkszam, bckod, bbizdatum, bmnem, bmkod, bmenov, bmecsok, bear, "
        "bertnov, "
        "bertcsok, bpkod, brkod, bdkod) VALUES ('11', '200', '3', '2026-01-10', '101', '101', 1, 0, 2.5, "
        "2.5, 0, '99', '2', '1')",
        "INSERT INTO bizmozg (bbszam, bcikkszam, bckod, bbizdatum, bmnem, bmkod, bmenov, bmecsok, bear, "
        "bertnov, "
        "bertcsok, bpkod, brkod, bdkod) VALUES ('12', '400', '10', '2026-01-12', '201', '201', 0, 2, 5, 0, "
        "10, '10', '10', '1')",
    });
}

class DocumentTest : public MasterTest {
protected:
    void startDocuments()
    {
        startTest();
        fillDocumentTables(*db);
        connectData();
        shared().CurrentEmployeeCode = QStringLiteral("3");
    }

    // Leaving a box as Enter or Tab does.
    static void leave(QLineEdit* box)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box, &out);
    }

    // The next modal run plays `act` in the form it is given; the test fails at its end when that run
    // never came or met another form.
    template <class Form>
    void nextRun(const std::function<void(Form&)>& act)
    {
        platform->addRun<Form>(act);
    }

    // The register, as the menu opens it, with `act` playing the person in it.
    void inRegister(const std::function<void(TForm17&)>& act)
    {
        bool ran = false;
        nextRun<TForm17>([&](TForm17& form) {
            ran = true;
            act(form);
        });
        runForm(Form17, nullptr);
        QVERIFY(ran);
    }

    // The line form opened by "Új" (or by "Módosít" on the register's current line).
    void inLineForm(TForm17& form, bool modify, const std::function<void(TForm18&)>& act)
    {
        bool ran = false;
        nextRun<TForm18>([&](TForm18& line) {
            ran = true;
            act(line);
        });
        QTest::mouseClick(modify ? form.Button3 : form.Button2, Qt::LeftButton);
        QVERIFY(ran);
    }

    void newLine(const std::function<void(TForm18&)>& act)
    {
        inRegister([&](TForm17& form) { inLineForm(form, false, act); });
    }

    // Types a whole line the way the person does: movement type, item, warehouse, partner, figures.
    static void typeLine(TForm18& form, const QString& type, const QString& item, const QString& quantity,
                         const QString& price, const QString& value)
    {
        form.Edit2->setText(type);
        leave(form.Edit2);
        form.Edit3->setText(item);
        leave(form.Edit3);
        form.Edit8->setText(QStringLiteral("Barack"));
        leave(form.Edit8);
        form.Edit9->setText(QStringLiteral("Zab"));
        leave(form.Edit9);
        const bool increase = form.Edit35->text() == QLatin1String("+");
        (increase ? form.Edit21 : form.Edit25)->setText(quantity);
        (increase ? form.Edit22 : form.Edit26)->setText(price);
        (increase ? form.Edit23 : form.Edit27)->setText(value);
    }

    Rows committed(const QString& sql) { return storedRows(*db, sql); }

    QString counter() { return committed(QStringLiteral("SELECT zbizszam FROM bizszam")).value(0).value(0); }
    int lineCount()
    {
        return committed(QStringLiteral("SELECT count(*) FROM bizmozg")).value(0).value(0).toInt();
    }
};
