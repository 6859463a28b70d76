// varnel-importfuzz: the purchase-ticket reader under hostile files. Mutates the sample file many times
// (bit flips, cut, repeated and inserted pieces, hostile values, deep nesting, entity tricks) and reads
// each result the way the import does, storing its records in the work table of a scratch database.
// A crash ends the run by itself; a case that runs too long or a memory use that keeps growing counts
// as a failure, and so does an entity that expands without bound or an external entity that is fetched.
//
//   varnel-importfuzz [--cases N] [--seed S] [--sample FILE] [--case-seconds T] [--file CASE]
//
// --file reads one file as it is (a case kept from an earlier run); a failing case is kept in the
// current folder as importfuzz-caseN.xml, a hang as importfuzz-hang.xml.
#include "connection.h"
#include "databasefile.h"
#include "dberror.h"
#include "formats.h"
#include "importreader.h"
#include "query.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

const QByteArray Secret = "GEHEIM-7f3a";

// Cases stay below this size; the reader's own bound on the file size is far above the sample's.
constexpr qsizetype MaxCaseBytes = 8 * 1024 * 1024;

// The first pieces are document types: the prolog of a file.
constexpr int DocumentTypePieces = 6;

// Pieces that break a document in the ways a hostile or broken file does.
QList<QByteArray> hostilePieces(const QString& secretFile)
{
    const QByteArray secretUrl = "file://" + QFile::encodeName(secretFile);
    return {
        "<!DOCTYPE dataroot [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
        "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
        "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\"><!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">"
        "<!ENTITY i \"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">]>",
        "<!DOCTYPE dataroot [<!ENTITY x SYSTEM \"" + secretUrl + "\">]>",
        "<!DOCTYPE dataroot SYSTEM \"" + secretUrl + "\">",
        "<!DOCTYPE dataroot [<!ENTITY % p SYSTEM \"" + secretUrl + "\"> %p;]>",
        "<!DOCTYPE dataroot [<!ENTITY x \"&x;\">]>",
        // One entity under the reader's bound for a single expansion, referenced until gigabytes.
        "<!DOCTYPE dataroot [<!ENTITY q \"" + QByteArray(4000, 'q') + "\">]>",
        "&i;",
        "&x;",
        "&a;",
        QByteArray("&q;").repeated(30000),
        "&#0;",
        "&#xFFFF;",
        "&#xD800;",
        "&#1114112;",
        "&amp;",
        "&lt;Records&gt;",
        "<![CDATA[12,5]]>",
        "<!-- -->",
        "<?pi x?>",
        "]]>",
        "<Records>",
        "</Records>",
        "<Records/>",
        "<a b='1' b='2'/>",
        "\xEF\xBB\xBF",
        "\xC3\x28",
        "\xF0\x9F\x98\x80",
        "\xFF\xFE",
        "\x00",
        "99999999999999999999999,99999",
        "-0,00001",
        "2026.02.30",
        "0000.00.00",
        "9999.99.99",
        "' OR '1'='1",
        "'); DELETE FROM bizmozg; --",
        "\xE6\xBC\xA2",
    };
}

struct Counts {
    qint64 cases = 0, wellFormed = 0, notWellFormed = 0, records = 0, stored = 0, refused = 0, failures = 0;
};

class Fuzzer {
public:
    Fuzzer(const QByteArray& sample, const QString& folder, unsigned seed)
        : sample_(sample), folder_(folder), seed_(seed)
    {
        QFile secret(folder + "/secret.txt");
        secret.open(QIODevice::WriteOnly);
        secret.write(Secret);
        pieces_ = hostilePieces(secret.fileName());
        connection_ = createDatabaseFromSchema(folder + "/FUZZ.FDB");
        work_ = std::make_unique<Query>(connection_->transaction());
    }

    QByteArray mutate(std::mt19937& random) const
    {
        QByteArray data = sample_;
        auto pick = [&random](qsizetype n) { return n <= 0 ? 0 : qsizetype(random() % quint64(n)); };
        const int rounds = 1 + int(random() % 4);
        for (int round = 0; round < rounds; ++round) {
            // Repeated pieces of repeated pieces would grow a case to gigabytes of the fuzzer's own
            // memory; a round that passes the bound is undone, and a repetition stops near it.
            const QByteArray before = data;
            switch (random() % 10) {
            case 0:   // bit flips
                for (int k = 0, n = 1 + int(random() % 8); k < n && !data.isEmpty(); ++k)
                    data[pick(data.size())] ^= char(1 << (random() % 8));
                break;
            case 1:   // a piece cut out
                if (!data.isEmpty()) {
                    const qsizetype at = pick(data.size());
                    data.remove(at, 1 + pick(qMin<qsizetype>(400, data.size() - at)));
                }
                break;
            case 2: {   // a piece repeated elsewhere
                const qsizetype at = pick(data.size());
                const QByteArray piece = data.mid(at, 1 + pick(600));
                data.insert(pick(data.size()), piece.repeated(1 + int(random() % 3)));
                break;
            }
            case 3: {   // random bytes
                QByteArray bytes;
                for (int k = 0, n = 1 + int(random() % 16); k < n; ++k)
                    bytes += char(random() % 256);
                data.insert(pick(data.size()), bytes);
                break;
            }
            case 4:
            case 5: {   // a hostile piece at a tag boundary
                const QByteArray& piece = pieces_[qsizetype(random() % quint64(pieces_.size()))];
                const qsizetype tag = data.indexOf('<', pick(data.size()));
                data.insert(tag < 0 ? data.size() : tag, piece);
                break;
            }
            case 6: {   // a value replaced by a hostile one, or by a very long one
                const qsizetype open = data.indexOf('>', pick(data.size()));
                const qsizetype close = open < 0 ? -1 : data.indexOf('<', open);
                if (close > open + 1) {
                    const QByteArray value = random() % 4 == 0
                                                 ? QByteArray(int(1 + random() % 200000), "9xő"[random() % 3])
                                                 : pieces_[qsizetype(random() % quint64(pieces_.size()))];
                    data.replace(open + 1, close - open - 1, value);
                }
                break;
            }
            case 7:   // cut short
                data.truncate(pick(data.size()));
                break;
            case 8: {   // the prolog replaced by a document type with entities
                const qsizetype root = data.indexOf("<dataroot");
                const QByteArray& piece = pieces_[qsizetype(random() % DocumentTypePieces)];
                if (root >= 0)
                    data.insert(root, piece);
                break;
            }
            case 9: {   // deep nesting inside a record, or very many records
                const qsizetype at = data.indexOf("<Records>");
                if (at < 0)
                    break;
                if (random() % 2) {
                    const int depth = int(1 + random() % 100000);
                    data.insert(at + 9,
                                QByteArray("<n>").repeated(depth) + "1" + QByteArray("</n>").repeated(depth));
                } else {
                    const qsizetype end = data.indexOf("</Records>", at);
                    if (end > at) {
                        const QByteArray one = data.mid(at, end + 10 - at);
                        const qsizetype times =
                            qMin<qsizetype>(1 + random() % 3000, MaxCaseBytes / one.size() + 1);
                        data.insert(at, one.repeated(times));
                    }
                }
                break;
            }
            }
            if (data.size() > MaxCaseBytes)
                data = before;
        }
        return data;
    }

    // Reads one file as the import does; false with `problem` set when the reader misbehaved.
    bool read(const QByteArray& data, Counts& counts, QString& problem)
    {
        const QString path = folder_ + "/case.xml";
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
            qFatal("cannot write the case file");
        file.close();
        PurchaseTicketFile ticket;
        if (!ticket.load(path)) {
            ++counts.notWellFormed;
            return true;
        }
        ++counts.wellFormed;
        connection_->transaction().ensureActive();
        qint64 textSize = 0;
        for (int record = 0; record < ticket.recordCount(); ++record) {
            ++counts.records;
            const QStringList values = ticket.values(record);
            for (const QString& value : values) {
                textSize += value.size();
                if (value.contains(QLatin1String(Secret))) {
                    problem = QStringLiteral("an external entity was fetched");
                    return false;
                }
            }
            // The sample's few records hold some kilobytes; a billion characters mean unbounded expansion.
            if (textSize > qint64(data.size()) * 64 + 1000000) {
                problem = QStringLiteral("entity expansion: %1 characters of text").arg(textSize);
                return false;
            }
            try {
                insertintotable(*work_, values, record + 1);
                ++counts.stored;
            } catch (const RecordError&) {
                ++counts.refused;
            } catch (const DbError&) {
                ++counts.refused;   // a text too long for its column, a character outside the code page
            }
        }
        if (counts.cases % 100 == 0)
            connection_->transaction().rollback();
        return true;
    }

private:
    QByteArray sample_;
    QString folder_;
    unsigned seed_;
    QList<QByteArray> pieces_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Query> work_;
};

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
    qint64 cases = 10000;
    unsigned seed = std::random_device{}();
    QString samplePath = QStringLiteral(VARNEL_SAMPLE_XML);
    int caseSeconds = 20;
    QString single;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--cases")
            cases = args[++i].toLongLong();
        else if (args[i] == "--seed")
            seed = args[++i].toUInt();
        else if (args[i] == "--sample")
            samplePath = args[++i];
        else if (args[i] == "--case-seconds")
            caseSeconds = args[++i].toInt();
        else if (args[i] == "--file")
            single = args[++i];
    }
    QTextStream out(stdout);
    QFile sampleFile(samplePath);
    if (!sampleFile.open(QIODevice::ReadOnly)) {
        out << "cannot read " << samplePath << Qt::endl;
        return 2;
    }
    Connection::prepareEmbeddedEnvironment();
    QTemporaryDir dir;
    Fuzzer fuzzer(sampleFile.readAll(), dir.path(), seed);
    out << "varnel-importfuzz: seed " << seed << ", " << cases << " cases" << Qt::endl;

    // The watchdog: a case still running after its time is a hang; the case is kept for a rerun.
    std::atomic<qint64> caseNumber{-1};
    std::atomic<qint64> caseStarted{0};
    // A failing case is kept in the current folder, to be read again with --file.
    auto keepCase = [&dir](const QString& name) {
        const QString kept = QDir::current().absoluteFilePath(name);
        QFile::remove(kept);
        QFile::copy(dir.filePath("case.xml"), kept);
        return kept;
    };
    // Joined before main's locals it reads go away.
    std::atomic<bool> finished{false};
    std::thread watchdog([&] {
        while (!finished) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            const qint64 started = caseStarted.load();
            const qint64 now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count();
            if (started != 0 && now - started > qint64(caseSeconds) * 1000) {
                keepCase(QStringLiteral("importfuzz-hang.xml"));
                std::fprintf(stdout, "case %lld: still running after %d s (a hang); rerun with --seed %u\n",
                             static_cast<long long>(caseNumber.load()), caseSeconds, seed);
                std::fprintf(stdout, "failures: 1\n");
                std::fflush(stdout);
                ::_exit(3);
            }
        }
    });

    Counts counts;
    const long baseline = peakKilobytes();
    QElapsedTimer clock;
    clock.start();
    for (qint64 i = 0; i < cases; ++i) {
        std::mt19937 random(seed + unsigned(i));
        QByteArray data;
        if (single.isEmpty()) {
            data = fuzzer.mutate(random);
        } else {
            QFile file(single);
            file.open(QIODevice::ReadOnly);
            data = file.readAll();
            cases = 1;
        }
        caseNumber = i;
        caseStarted = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
        ++counts.cases;
        QString problem;
        if (!fuzzer.read(data, counts, problem)) {
            ++counts.failures;
            out << "case " << i << ": " << problem << ", kept as "
                << keepCase(QStringLiteral("importfuzz-case%1.xml").arg(i)) << Qt::endl;
        }
        caseStarted = 0;
        // A reader that keeps memory would grow without end over the run.
        if (peakKilobytes() - baseline > 2L * 1024 * 1024) {
            ++counts.failures;
            out << "case " << i << ": more than 2 GB of memory in use, kept as "
                << keepCase(QStringLiteral("importfuzz-case%1.xml").arg(i)) << Qt::endl;
            break;
        }
        if ((i + 1) % 1000 == 0)
            out << "  " << (i + 1) << " cases, " << clock.elapsed() / 1000 << " s" << Qt::endl;
    }
    out << "cases: " << counts.cases << ", well-formed: " << counts.wellFormed
        << ", not well-formed: " << counts.notWellFormed << ", records: " << counts.records
        << ", stored: " << counts.stored << ", refused: " << counts.refused
        << ", failures: " << counts.failures << Qt::endl;
    finished = true;
    watchdog.join();
    return counts.failures == 0 ? 0 : 1;
}
