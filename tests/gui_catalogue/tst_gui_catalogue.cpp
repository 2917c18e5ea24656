// The catalogues are complete: a fresh scan of the sources (lupdate into a
// scratch file) finds no text without a finished translation in
// svkey2_ru.ts and svkey2_en.ts.

#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

using Catalogue = QHash<QPair<QString, QString>, QString>;

// (context, source) -> translation, as a catalogue file holds them; an
// unfinished entry has an empty translation.
Catalogue readCatalogue(const QString& path)
{
    Catalogue out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const bool finished = xml.attributes().value("type").isEmpty();
            const QString translation = xml.readElementText();
            out.insert({context, source}, finished ? translation : QString());
        }
    }
    return out;
}

const QString sources = qEnvironmentVariable("SV_SOURCE_DIR") + "/svkey2";

} // namespace

class CatalogueTest : public QObject
{
    Q_OBJECT

    Catalogue scanned;

private slots:
    void initTestCase()
    {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString ts = scratch.filePath("scan_ru.ts");
        QProcess p;
        p.setWorkingDirectory(sources);
        p.start(QLibraryInfo::location(QLibraryInfo::BinariesPath) + "/lupdate",
            {"-silent", "-locations", "none", "-extensions", "cpp,h,qml,js", sources, "-ts", ts});
        QVERIFY(p.waitForFinished(90000));
        QCOMPARE(p.exitCode(), 0);
        scanned = readCatalogue(ts);
        QVERIFY2(scanned.size() > 50, "the scan finds the tool's texts");
    }

    void everyTextHasAFinishedTranslation_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::newRow("ru") << sources + "/translations/svkey2_ru.ts";
        QTest::newRow("en") << sources + "/translations/svkey2_en.ts";
    }
    void everyTextHasAFinishedTranslation()
    {
        QFETCH(QString, catalogue);
        const auto kept = readCatalogue(catalogue);
        QStringList missing;
        for (auto it = scanned.cbegin(); it != scanned.cend(); ++it)
            if (kept.value(it.key()).isEmpty())
                missing << it.key().first + ": \"" + it.key().second + "\"";
        missing.sort();
        QVERIFY2(missing.isEmpty(),
            qPrintable(QString("%1 texts without translation (run the svkey2_lupdate "
                               "target and translate them):\n%2")
                           .arg(missing.size())
                           .arg(missing.join("\n"))));
    }

    void russianKeepsPlaceholdersAndLineBreaks()
    {
        const auto kept = readCatalogue(sources + "/translations/svkey2_ru.ts");
        for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
            const QString& source = it.key().second;
            const QString& ru = it.value();
            if (ru.isEmpty())
                continue; // unfinished: the completeness check reports it
            for (const QString& marker : {QString("%1"), QString("%2"), QString("\n")})
                QVERIFY2(source.count(marker) == ru.count(marker), qPrintable(source + " -> " + ru));
            // Pieces that are glued to data keep their outer spaces.
            QVERIFY2(source.startsWith(' ') == ru.startsWith(' '), qPrintable(source));
            QVERIFY2(source.endsWith(' ') == ru.endsWith(' '), qPrintable(source));
        }
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_gui_catalogue.moc"
