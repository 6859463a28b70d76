// Bad input over every entry form and search box: characters outside the code page, quotes and SQL
// fragments, texts beyond what a statement can carry, numbers beyond NUMERIC(18,4), impossible dates,
// dates typed into the date boxes by keys. Each ends with the form's message and nothing stored, or is
// stored and found exactly as typed.
#include "dberror.h"
#include "dbgrid.h"
#include "documentfixture.h"
#include "formats.h"
#include "masterentry.h"
#include "masterlist.h"
#include "reportforms.h"
#include "reportvariables.h"

#include <QClipboard>

namespace {

// Texts a person might type or paste; each one the code page holds.
const QString Quotes = QStringLiteral("O'Brien \"Kft\" '); DELETE FROM cikk; --");
const QString Fragment = QStringLiteral("x' OR '1'='1");
const QString Accents = QStringLiteral("Árvíztűrő tükörfúrógép € „ő” …");
const QString Wildcards = QStringLiteral("100% _a_ \\ ? *");

}

class TestBadInput : public DocumentTest {
    Q_OBJECT

    // The member's list with a new entry form in it: `type` fills the form, "OK" saves; `afterwards` runs
    // in the list once the entry form has closed.
    void newEntry(const ListMember& m, const std::function<void(MasterEntry&)>& type,
                  const std::function<void(MasterList&)>& afterwards)
    {
        inEntryForm<MasterEntry, MasterList>(
            m, QString(),
            [&](MasterEntry& form) {
                type(form);
                QTest::mouseClick(form.Button2, Qt::LeftButton);
            },
            afterwards);
    }

    int rowCount(const QString& table)
    {
        return committed(QStringLiteral("SELECT count(*) FROM ") + table).value(0).value(0).toInt();
    }

private slots:
    void initTestCase() { initTestLocale(); }
    void init() { startDocuments(); }
    void cleanup() { endTest(); }

    // Every text box of every entry form takes the text as typed (cut by the box to its column), the row
    // holds it exactly, and the list's search box finds the row by it.
    void textsAreStoredAndFoundLiterally_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("searchColumn");
        QTest::addColumn<QString>("text");
        const struct {
            const char *member, *column;
        } members[] = {{"warehouses", "RNEV"},
                       {"items", "CMEGN"},
                       {"partners", "PNEV"},
                       {"movement types", "MNEM"},
                       {"employees", "DNEV"}};
        const struct {
            const char* name;
            QString text;
        } texts[] = {{"quotes and SQL", Quotes},
                     {"always-true fragment", Fragment},
                     {"accents and signs", Accents},
                     {"wildcards", Wildcards}};
        for (const auto& m : members)
            for (const auto& t : texts)
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(m.member, t.name)))
                    << m.member << m.column << t.text;
    }

    void textsAreStoredAndFoundLiterally()
    {
        QFETCH(QString, member);
        QFETCH(QString, searchColumn);
        QFETCH(QString, text);
        const ListMember& m = listMember(member);
        const int before = rowCount(m.table);
        QStringList columns, typed;
        QString code;
        newEntry(
            m,
            [&](MasterEntry& form) {
                code = form.Edit2->text();
                for (const EntryBox& box : form.member().boxes) {
                    QLineEdit* edit = form.box(box.name);
                    if (box.column.isEmpty() || edit->isReadOnly())
                        continue;
                    edit->setText(text);
                    if (edit->text().isEmpty() || edit->validator()) {   // a box that takes digits only
                        edit->setText(QStringLiteral("7"));
                        continue;
                    }
                    columns << box.column;
                    typed << edit->text();
                }
                QVERIFY(columns.contains(searchColumn, Qt::CaseInsensitive));
            },
            [&](MasterList& list) {
                QCOMPARE(platform->messageTexts().join('|'), QString());
                const QString searched = typed.value(columns.indexOf(
                    QRegularExpression(searchColumn, QRegularExpression::CaseInsensitiveOption)));
                list.Edit1->setText(searched);
                QTest::mouseClick(list.Button6, Qt::LeftButton);
                QCOMPARE(currentValue(listQuery(m), m.codeField), code);
            });
        const QList<QStringList> rows = committed(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = '%4'")
                                                      .arg(columns.join(','), m.table, m.codeField, code));
        QCOMPARE(rows, QList<QStringList>{typed});
        QCOMPARE(rowCount(m.table), before + 1);
        QCOMPARE(rowCount("cikk"), member == "items" ? 5 : 4);
    }

    // A character the code page cannot hold: the numbered insert message says which, nothing is stored.
    void charactersOutsideTheCodePage_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("message");
        QTest::newRow("warehouse, CJK") << "warehouses"
                                        << "\u6F22"
                                        << "Hiba122: Újban, INSERT a raktárban ";
        QTest::newRow("item, emoji (two UTF-16 units)") << "items"
                                                        << "\U0001F600"
                                                        << "Hiba82: Újban, INSERT a cikkben ";
        QTest::newRow("partner, Cyrillic") << "partners"
                                           << "Ж"
                                           << "Hiba102: Újban, INSERT a partnerben ";
        QTest::newRow("movement type, combining accent") << "movement types"
                                                         << "e\u0301"
                                                         << "Hiba142: Újban, INSERT a mnemben ";
        QTest::newRow("employee, Latin-1 only") << "employees"
                                                << "ñ"
                                                << "Hiba162: Újban, INSERT a dolgozoban ";
    }

    void charactersOutsideTheCodePage()
    {
        QFETCH(QString, member);
        QFETCH(QString, character);
        QFETCH(QString, message);
        const ListMember& m = listMember(member);
        const int before = rowCount(m.table);
        newEntry(
            m,
            [&](MasterEntry& form) {
                for (const EntryBox& box : form.member().boxes)
                    form.box(box.name)->setText(QStringLiteral("1"));
                QLineEdit* widest = form.box(form.member().boxes.first().name);
                for (const EntryBox& box : form.member().boxes)
                    if (form.box(box.name)->maxLength() > widest->maxLength())
                        widest = form.box(box.name);
                widest->setText(QStringLiteral("N ") + character);
            },
            [&](MasterList&) {});
        const QString shown = character.right(character.startsWith('e') ? 1 : character.size());
        QCOMPARE(platform->messageTexts(),
                 QStringList{message + QStringLiteral("\rA(z) \"%1\" karakter nem írható a WIN1250 kódlapú "
                                                      "adatbázisba.")
                                           .arg(shown)});
        QCOMPARE(rowCount(m.table), before);
    }

    // The line form: texts stored exactly; impossible dates, numbers beyond NUMERIC(18,4) and characters
    // outside the code page end with a message and store neither the line nor a counter advance.
    void lineForm_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");   // empty: stored as typed
        QTest::newRow("note, quotes and SQL") << "Edit7" << Quotes << "";
        QTest::newRow("source document, fragment") << "Edit6" << Fragment << "";
        QTest::newRow("note, accents and signs") << "Edit7" << Accents << "";
        const QString dateMessage = QStringLiteral("Hibás dátum!");
        QTest::newRow("date, 30 February") << "Edit1"
                                           << "2026.02.30" << dateMessage;
        QTest::newRow("date, 29 February of a common year") << "Edit1"
                                                            << "2025.02.29" << dateMessage;
        QTest::newRow("date, month 0") << "Edit1"
                                       << "2026.00.10" << dateMessage;
        QTest::newRow("date, letters") << "Edit1"
                                       << "2026.ab.01" << dateMessage;
        QTest::newRow("date, SQL") << "Edit1"
                                   << "2026.01.01' OR '1'='1" << dateMessage;
        QTest::newRow("date, empty") << "Edit1"
                                     << "" << dateMessage;
        const QString insert = QStringLiteral("Hiba182: Újban, INSERT a bizmozg-ban \r");
        QTest::newRow("quantity beyond NUMERIC(18,4)")
            << "Edit21"
            << "1000000000000000" << insert + "A(z) \"1000000000000000\" nem szám.";
        QTest::newRow("value beyond NUMERIC(18,4)")
            << "Edit23"
            << "-99999999999999999999,5" << insert + "A(z) \"-99999999999999999999,5\" nem szám.";
        QTest::newRow("quantity with two separators") << "Edit21"
                                                      << "1,5,0" << insert + "A(z) \"1,5,0\" nem szám.";
        QTest::newRow("note, CJK")
            << "Edit7"
            << "jegyzet \u6F22"
            << insert + "A(z) \"\u6F22\" karakter nem írható a WIN1250 kódlapú adatbázisba.";
    }

    void lineForm()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, message);
        newLine([&](TForm18& form) {
            typeLine(form, "101", "100", "3", "2", "6");
            form.findChild<QLineEdit*>(box)->setText(text);
            platform->clearMessages();
            form.Button3->click();
        });
        if (message.isEmpty()) {
            QCOMPARE(platform->messageTexts(), QStringList());
            const QString column = box == "Edit7" ? "bmegjegy" : "beredeti";
            QCOMPARE(committed(QStringLiteral("SELECT %1 FROM bizmozg WHERE bbszam = '42'").arg(column)),
                     QList<QStringList>{{text}});
            return;
        }
        QCOMPARE(platform->messageTexts().value(0), message);
        QCOMPARE(lineCount(), 4);
        QCOMPARE(counter(), QStringLiteral("41"));
    }

    // A date typed as the box shows it, as digits or pasted, into the date boxes of the report forms and
    // the line form, reached by Tab, Shift+Tab, Enter (where the form moves the focus with it), a click,
    // or as the line form opens: collected or stored as that date, or refused with "Hibás dátum!".
    void dateBoxesTakeTheDateTyped_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QDate>("date");   // invalid: "Hibás dátum!"
        const QDate june16(2025, 6, 16);
        const QList<std::pair<const char*, QStringList>> forms{
            {"item card", {"tab", "backtab", "enter", "click"}},
            {"item summary", {"tab", "backtab", "click"}},
            {"line form", {"opening", "click"}},
        };
        for (const auto& [form, ways] : forms) {
            for (const QString& way : ways) {
                QTest::addRow("%s, %s, dots", form, qPrintable(way))
                    << form << way << "2025.06.16" << false << june16;
                QTest::addRow("%s, %s, digits", form, qPrintable(way))
                    << form << way << "20250726" << false << QDate(2025, 7, 26);
            }
            const QString way = ways.first();
            QTest::addRow("%s, pasted", form) << form << way << "2025.06.16\n" << true << june16;
            QTest::addRow("%s, 30 February", form) << form << way << "2025.02.30" << false << QDate();
            QTest::addRow("%s, month 13 as digits", form) << form << way << "20251301" << false << QDate();
            QTest::addRow("%s, one digit too many", form) << form << way << "2025.06.161" << false << QDate();
        }
    }

    void dateBoxesTakeTheDateTyped()
    {
        QFETCH(QString, form);
        QFETCH(QString, way);
        QFETCH(QString, typed);
        QFETCH(bool, pasted);
        QFETCH(QDate, date);
        const QString refused = QStringLiteral("Hibás dátum!");
        const auto enter = [&](QWidget& window, QLineEdit* box, QWidget* before, QWidget* after) {
            QApplication::setActiveWindow(&window);
            QVERIFY(QTest::qWaitForWindowActive(&window));
            if (way == "tab" || way == "enter") {
                before->setFocus();
                QTest::keyClick(before, way == "tab" ? Qt::Key_Tab : Qt::Key_Return);
            } else if (way == "backtab") {
                after->setFocus();
                QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
            } else if (way == "click") {
                box->clearFocus();
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 4, box->height() / 2));
            }
            QCOMPARE(QApplication::focusWidget(), box);
            QVERIFY(box->hasSelectedText());
            QCOMPARE(box->selectedText(), box->text());
            if (pasted) {
                QGuiApplication::clipboard()->setText(typed);
                QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            } else {
                QTest::keyClicks(box, typed);
            }
        };

        if (form == "line form") {
            newLine([&](TForm18& line) {
                enter(line, line.Edit1, nullptr, nullptr);
                typeLine(line, "101", "100", "3", "2", "6");
                platform->clearMessages();
                line.Button3->click();
            });
            if (!date.isValid()) {
                QCOMPARE(platform->messageTexts().value(0), refused);
                QCOMPARE(lineCount(), 4);
                return;
            }
            QCOMPARE(platform->messageTexts(), QStringList());
            QCOMPARE(committed(QStringLiteral("SELECT bbizdatum FROM bizmozg WHERE bbszam = '42'")),
                     QList<QStringList>{{Formats::formatDate(date)}});
            return;
        }

        std::unique_ptr<StockReportForm> report;
        DateBox* box = nullptr;
        QWidget *before = nullptr, *after = nullptr;
        QString variable;
        if (form == "item card") {
            auto* card = new TForm27;
            report.reset(card);
            card->Edit1->setText(QStringLiteral("100"));
            box = card->DateTimePicker1;
            before = card->Edit1;
            after = card->DateTimePicker2;
            variable = QStringLiteral("vkelttol");
        } else {
            report = std::make_unique<TForm26>();
            box = report->DateTimePicker2;
            before = report->DateTimePicker1;
            after = report->DBGrid1;
            variable = QStringLiteral("vkeltig");
        }
        report->show();
        enter(*report, box, before, after);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(box->date(), date);
        reportVariables().set(variable, QString());
        platform->clearMessages();
        QTest::mouseClick(report->Button5, Qt::LeftButton);
        if (!date.isValid()) {
            QCOMPARE(platform->messageTexts(), QStringList{refused});
            QCOMPARE(QApplication::focusWidget(), box);
            QCOMPARE(reportVariables().value(variable).toString(), QString());
            return;
        }
        QCOMPARE(platform->messageTexts(), QStringList());
        QCOMPARE(box->text(), Formats::formatDate(date));
        QCOMPARE(reportVariables().value(variable).toString(), Formats::formatDate(date));
    }

    // The line form's item box looks a hostile text up as a name: nothing matches it, so the pick list
    // opens positioned by the text as typed.
    void lookupTakesTextLiterally()
    {
        const QString hostile = QStringLiteral("Zab' OR '1'='1");
        QString selection;
        newLine([&](TForm18& form) {
            form.Edit2->setText(QStringLiteral("101"));
            leave(form.Edit2);
            platform->modalRuns.push_back([&](QDialog*) {
                selection = shared().SelectedItemNumber;
                return int(QDialog::Rejected);
            });
            form.Edit3->setText(hostile);
            leave(form.Edit3);
            QVERIFY(form.Edit34->text() != QStringLiteral("400"));
        });
        QCOMPARE(selection, hostile);
        QCOMPARE(lineCount(), 4);
    }

    // A text longer than any statement can carry (a paste into a box without a limit) is refused by the
    // data layer, never cut short silently to what its length field can count.
    void textBeyondWhatAStatementCarries()
    {
        Query query(Data->IBTrans1);
        query.setSql(QStringLiteral("SELECT count(*) FROM cikk WHERE cmegn = :p1"));
        query.paramByName(QStringLiteral("p1"))
            .setText(QStringLiteral("Zab") + QString(65536, QLatin1Char(' ')));
        QVERIFY_THROWS_EXCEPTION(DbError, query.open());
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
