// Answer matching and yes answers (the signature hash names are checked
// where the core configuration reads them).
#include <QtTest>

#include <string>
#include <vector>

#include "sarvelin_common.h"

class TestBackendAnswers : public QObject
{
    Q_OBJECT
private slots:
    void answers();
};

void TestBackendAnswers::answers()
{
    using sarvelin_common::look_for_answer;
    const std::vector<std::string> accepted = {"go", "Run", "ok"};
    QVERIFY(look_for_answer(accepted, "Run", true));
    QVERIFY(!look_for_answer(accepted, "run", true));
    QVERIFY(!look_for_answer(accepted, "RUN", false)); // lowered answer against "Run"
    QVERIFY(look_for_answer(accepted, "GO", false));
    QVERIFY(!look_for_answer(accepted, " ok", false)); // no trimming
    QVERIFY(!look_for_answer(accepted, "", false));
    QVERIFY(!look_for_answer({}, "ok", false));
    QVERIFY(!look_for_answer(accepted, std::string(1 << 20, 'o'), false));
    using sarvelin_common::is_client_answer_yes;
    for (const char* yes : {"yes", "YES", "yEs", "y", "Y", "true", "True", "t", "T"})
        QVERIFY2(is_client_answer_yes(yes), yes);
    for (const char* no : {"yes ", " yes", "1", "no", "ye", "yess", "", "on", "\xff", "y\n"})
        QVERIFY2(!is_client_answer_yes(no), no);
}

QTEST_APPLESS_MAIN(TestBackendAnswers)
#include "tst_backend_answers.moc"
