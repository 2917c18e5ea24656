// The settings file reader and writer.
#include <QtTest>

#include <string>

#include "backend_support.h"
#include "sv_config_file.h"

using sv_config::ConfigFile;

namespace {

// Loads `text` through a file and returns what save() writes back.
std::string round_trip(const std::string& dir, const std::string& text)
{
    write_file(dir + "/in.conf", text);
    ConfigFile cfg(dir + "/in.conf");
    if (!cfg.save(dir + "/out.conf"))
        return "<save failed>";
    return read_file(dir + "/out.conf");
}

} // namespace

class TestBackendConfigFile : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        d_ = dir_.path().toStdString();
    }
    void format_rules();
    void editing_keeps_order_and_index();
    void copies_rebuild_their_own_index();
    void failures_and_hostile_input();

private:
    QTemporaryDir dir_;
    std::string d_;
};

void TestBackendConfigFile::format_rules()
{
    // A later "a" wins; a bare name saves with a space.
    QCOMPARE(B(round_trip(d_, "   # note here\n\na    two words\na one\nflag\n")),
        QByteArray("# note here\na one\nflag \n"));
    // Tab as separator, a tab inside the value stays; a '#' after the first
    // character and quotes are ordinary text; a name only inside a comment is
    // absent, and the exception names it.
    write_file(
        d_ + "/t.conf", "name\tvalue\twith tab\nother \t  v\nsize 12 #MB\nq \"a  b\" 'c'\n#comment\n#hidden 1\n");
    ConfigFile t(d_ + "/t.conf");
    QCOMPARE(B(t["name"] + "|" + t["other"] + "|" + t["size"] + "|" + t["q"]),
        QByteArray("value\twith tab|v|12 #MB|\"a  b\" 'c'"));
    QVERIFY(t.commentExists("#comment"));
    try {
        (void)t["hidden"];
        QFAIL("no exception");
    } catch (const sv_config::VariableAbsentException& e) {
        QCOMPARE(QByteArray(e.what()), QByteArray("hidden"));
    }
    QVERIFY_EXCEPTION_THROWN(t.removeVariable("nothing"), sv_config::VariableAbsentException);
    // "# text": the text keeps its leading space.
    write_file(d_ + "/s.conf", "# spaced\n");
    ConfigFile s(d_ + "/s.conf");
    auto first = s.begin();
    QCOMPARE((*first)->getType(), sv_config::comment_entity);
    QCOMPARE(B(static_cast<const sv_config::Comment&>(**first).getPure()), QByteArray(" spaced"));
    // CR LF endings, no final newline, blanks before the value collapse on
    // save; inner spaces of a value are kept, surrounding white space is not.
    QCOMPARE(B(round_trip(d_, "a 1\r\nb    2\r\n  key   a  b  \t \r\n#c\r\nd 4")),
        QByteArray("a 1\nb 2\nkey a  b\n#c\nd 4\n"));
    // Empty file: nothing, saves as an empty file.
    QCOMPARE(B(round_trip(d_, "")), QByteArray(""));
}

void TestBackendConfigFile::editing_keeps_order_and_index()
{
    ConfigFile cfg;
    QVERIFY(cfg.fileName().empty());
    cfg.addComment("head");
    cfg.addVariable("a", "1");
    cfg.addComment(" spaced");
    cfg.addVariable("b", "2");
    cfg.addComment("head");
    cfg.addVariable("a", "changed"); // keeps its place
    cfg.addVariable("c", "");
    QVERIFY(cfg.save(d_ + "/e.conf"));
    QCOMPARE(B(read_file(d_ + "/e.conf")), QByteArray("#head\na changed\n# spaced\nb 2\n#head\nc \n"));
    // removeComment needs the whole line and removes only the first match.
    cfg.removeComment("head");
    cfg.removeComment("#head");
    cfg.removeVariable("a");
    QVERIFY_EXCEPTION_THROWN((void)cfg["a"], sv_config::VariableAbsentException);
    cfg.addVariable("a", "again"); // goes to the end now
    QVERIFY(cfg.save(d_ + "/e.conf"));
    QCOMPARE(B(read_file(d_ + "/e.conf")), QByteArray("# spaced\nb 2\n#head\nc \na again\n"));
}

void TestBackendConfigFile::copies_rebuild_their_own_index()
{
    ConfigFile* source = new ConfigFile;
    source->addComment("c");
    source->addVariable("x", "1");
    source->addVariable("y", "2");
    ConfigFile copy(*source);
    ConfigFile assigned;
    assigned.addVariable("old", "gone");
    assigned = *source;
    source->addVariable("x", "changed in source");
    delete source; // the copies must not point at the source's names
    for (ConfigFile* c : {&copy, &assigned}) {
        QCOMPARE(B(c->operator[]("x")), QByteArray("1"));
        QVERIFY_EXCEPTION_THROWN((void)(*c)["old"], sv_config::VariableAbsentException);
        QVERIFY(c->save(d_ + "/copy.conf"));
        QCOMPARE(B(read_file(d_ + "/copy.conf")), QByteArray("#c\nx 1\ny 2\n"));
        c->addVariable("y", "3");
        c->removeVariable("x");
        QVERIFY(c->save(d_ + "/copy.conf"));
        QCOMPARE(B(read_file(d_ + "/copy.conf")), QByteArray("#c\ny 3\n"));
    }
}

void TestBackendConfigFile::failures_and_hostile_input()
{
    // Missing file: loadConfig false with the quoted path.
    const std::string missing = d_ + "/it's\\missing";
    try {
        ConfigFile cfg(missing);
        QFAIL("no exception");
    } catch (const sv_config::WrongConfigException& e) {
        QCOMPARE(QByteArray(e.what()), B("Can't open file '" + d_ + "/it\\'s\\\\missing'"));
    }
    // Saving where nothing can be written: false, object unchanged.
    ConfigFile cfg;
    cfg.addVariable("a", "b");
    QVERIFY(!cfg.save(d_ + "/no/such/dir/file"));
    QVERIFY(!cfg.save(d_));
    QCOMPARE(B(cfg["a"]), QByteArray("b"));

    // A 1 MB line, bytes that are not UTF-8, NUL bytes: all plain text here.
    const std::string big(1024 * 1024, 'v');
    std::string text = "long " + big + "\n";
    text += "bin \xff\xfe\x80 tail\n";
    text += std::string("nul a\0b", 7) + "\n";
    text += big + "\n"; // a 1 MB name without value
    text += "last no newline";
    write_file(d_ + "/h.conf", text);
    cfg = ConfigFile(d_ + "/h.conf");
    QCOMPARE(cfg["long"].size(), big.size());
    QCOMPARE(B(cfg["bin"]), QByteArray("\xff\xfe\x80 tail"));
    QCOMPARE(B(cfg["nul"]), QByteArray("a\0b", 3));
    QCOMPARE(B(cfg[big]), QByteArray(""));
    QCOMPARE(B(cfg["last"]), QByteArray("no newline"));
    QVERIFY(cfg.save(d_ + "/h2.conf"));
    ConfigFile again(d_ + "/h2.conf");
    QCOMPARE(again["long"].size(), big.size());
}

QTEST_GUILESS_MAIN(TestBackendConfigFile)
#include "tst_backend_config_file.moc"
