// The year-opening notes.
#include "yearopening.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TForm33* Form33 = nullptr;

TForm33::TForm33(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form33"));
    setWindowTitle(QStringLiteral("Év nyitás"));
    setSizeGripEnabled(true);
    resize(662, 440);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Év nyitás lépései"));
    Memo1->setFont(QFont(QStringLiteral("DejaVu Sans Mono")));
    Memo1->setPlainText(notes());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
}

QString TForm33::notes()
{
    return QStringLiteral("-- Év nyitás: kézzel, isql-ben futtatandó lépések, mentés után!\n"
                          "\n"
                          "-- 1. Ellenőrzés: negatív készletek a MUNKA táblába\n"
                          "INSERT INTO munka (ucikkszam, uckod, umegjegy, umenov)\n"
                          "  SELECT bcikkszam, bckod, btetel, SUM(bmenov) - SUM(bmecsok) FROM bizmozg\n"
                          "  GROUP BY bcikkszam, bckod, btetel HAVING SUM(bmenov) - SUM(bmecsok) < 0;\n"
                          "\n"
                          "-- 2. A MUNKA tábla ürítése\n"
                          "DELETE FROM munka;\n"
                          "\n"
                          "-- 3. Záró egyenlegek (pozitív készletek) a MUNKA táblába\n"
                          "INSERT INTO munka (ucikkszam, uckod, umegjegy, umenov)\n"
                          "  SELECT bcikkszam, bckod, btetel, SUM(bmenov) - SUM(bmecsok) FROM bizmozg\n"
                          "  GROUP BY bcikkszam, bckod, btetel HAVING SUM(bmenov) - SUM(bmecsok) > 0;\n"
                          "\n"
                          "-- 4. Átnézés\n"
                          "SELECT * FROM munka;\n"
                          "\n"
                          "-- 5. A bizonylatsorok törlése\n"
                          "DELETE FROM bizmozg;\n"
                          "\n"
                          "-- 6. Az egyenlegek visszaírása új sorokként\n"
                          "INSERT INTO bizmozg (bcikkszam, bmenov, bckod, btetel)\n"
                          "  SELECT ucikkszam, umenov, uckod, umegjegy FROM munka;\n"
                          "\n"
                          "-- 7. A hiányzó adatok kitöltése\n"
                          "UPDATE bizmozg SET bbizdatum = '2012.01.01', bmkod = '50002', bmnem = '100',\n"
                          "  bszoveg = 'Nyitó tétel egyenlege', bdkod = '60002';\n"
                          "\n"
                          "-- 8. Sorszámozás: az IDB generátor nullázása után\n"
                          "--    (a 6. lépés előtt: ALTER TABLE bizmozg ALTER COLUMN idb RESTART WITH 0;)\n"
                          "UPDATE bizmozg SET bbszam = 20129000 + idb;\n"
                          "COMMIT;\n");
}
