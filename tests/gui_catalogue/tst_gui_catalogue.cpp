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
            out.insert({context, source}, finished ? xml.readElementText() : QString());
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
        for (auto it = scanned.cbegin(); it != scanned.cend(); ++it) {
            const QString& source = it.key().second;
            const QString translation = kept.value(it.key());
            if (translation.isEmpty()) {
                missing << it.key().first + ": \"" + source + "\"";
                continue;
            }
            // Placeholders and line breaks survive; pieces glued to data keep their outer spaces.
            for (const QString& marker : {QString("%1"), QString("%2"), QString("\n")})
                QVERIFY2(source.count(marker) == translation.count(marker), qPrintable(source + " -> " + translation));
            QVERIFY2(source.startsWith(' ') == translation.startsWith(' '), qPrintable(source));
            QVERIFY2(source.endsWith(' ') == translation.endsWith(' '), qPrintable(source));
        }
        missing.sort();
        QVERIFY2(missing.isEmpty(),
            qPrintable(QString("%1 texts without translation (run the svkey2_lupdate "
                               "target and translate them):\n%2")
                           .arg(missing.size())
                           .arg(missing.join("\n"))));
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_gui_catalogue.moc"
