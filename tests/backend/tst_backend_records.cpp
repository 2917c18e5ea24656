// Decoding of the daemon's record lists, checked against text archives
// written by hand from the field orders.
#include <QtTest>

#include <string>
#include <vector>

#include "backend_support.h"
#include "sv_archive_records.h"
#include "sv_payload_decode.h"

namespace {

const std::string head = "22 serialization::archive 18 ";

// Two archives, fields in transfer order (see check_fields); a string is its
// length, a space and its bytes.
const std::string archive_1
    = "101 202 7 aux one 12 rescue image 303 12 rescue_image 8 /dev/sda 4 full 6 pool-a "
      "4096000000 1024 19 2026-12-01 10:00:00 8 00:05:00 8 00:01:30 8 00:00:07 6 aes256 1 7 0  2 x3";
const std::string archive_2 = "18446744073709551615 0 0  6 second 1 12 rescue_image 12 /dev/nvme0n1 11 incremental 1 p "
                              "0 18446744073709551615 0  2 1s 2 2s 2 3s 7 nocrypt 0 0 3 two 0 ";
// Vector class info, count, item version, element class info (first only).
const std::string archives_by_hand = head + "0 0 2 0 0 0 " + archive_1 + " " + archive_2 + "\n";

// Entry: id, resource, type, destination, priority, description, archive
// list; each archive: class infos at first occurrence, fields, flag.
const std::string plan_archive_1 = "11 12 0  1 a 13 1 t 1 r 1 b 1 p 14 15 1 c 1 d 1 e 1 f 1 g 1 3 0  0 ";
const std::string plan_archive_2
    = "21 22 1 x 2 bb 23 2 t2 2 r2 2 b2 2 p2 24 25 2 c2 2 d2 2 e2 2 f2 7 nocrypt 0 8 1 y 1 z";
const std::string plan_by_hand = head
    + "0 0 2 0 0 0 1 1 / 10 filesystem 9 /dev/sda1 100 7 root fs 0 0 0 0 "
      "2 5 /home 9 directory 9 /dev/sda2 5 0  2 0 0 0 0 0 "
    + plan_archive_1 + " 1 " + plan_archive_2 + " 0\n";

const std::string clients_by_hand = head + "0 0 3 0 0 0 5 alpha 4 HW-1 10 beta gamma 4 HW-2 0  4 HW-3\n";

// The accessors written back in transfer order, against the hand-written fields.
void check_fields(const sv_archive_short& a, const std::string& fields)
{
    std::string text = "22 serialization::archive 18";
    const auto num = [&](unsigned long long v) { text += " " + std::to_string(v); };
    const auto str = [&](const std::string& v) { text += " " + std::to_string(v.size()) + " " + v; };
    num(a.get_id()), num(a.get_task_id()), str(a.get_aux_text_1()), str(a.get_name());
    num(a.get_reference_id()), str(a.get_resource_type()), str(a.get_resource());
    str(a.get_backup_type()), str(a.get_pool()), num(a.get_archive_size()), num(a.get_snapshot_size());
    str(a.get_created()), str(a.get_creation_duration()), str(a.get_transmission_duration());
    str(a.get_crypt_duration()), str(a.get_crypt_algorithm());
    num(a.is_digitally_signed() ? 1 : 0), num(a.get_verification_status());
    str(a.get_aux_text_2()), str(a.get_aux_text_3());
    QCOMPARE(B(text + "\n"), B(head + fields + "\n"));
}

} // namespace

class TestBackendRecords : public QObject
{
    Q_OBJECT
private slots:
    void lists_decode_and_encode_back();
    void damaged_payloads_are_reported_and_leave_the_list_alone();
    void truncation_and_zero_padding();
};

// Decoded field by field against the hand-written texts (so that a
// field-order mistake made the same way in writing and reading still fails),
// and encoded back byte for byte.
void TestBackendRecords::lists_decode_and_encode_back()
{
    std::string error;
    std::vector<sv_archive_short> archives;
    QVERIFY2(sv_payload::decode_archive_list(archives_by_hand, archives, error), error.c_str());
    QCOMPARE(archives.size(), std::size_t(2));
    check_fields(archives[0], archive_1);
    check_fields(archives[1], archive_2);
    QCOMPARE(B(sv_payload::encode_archive_list(archives)), B(archives_by_hand));

    // Resource before type, unlike the declaration order.
    std::vector<disaster_recovery_plan_record> plan;
    QVERIFY2(sv_payload::decode_recovery_plan(plan_by_hand, plan, error), error.c_str());
    QCOMPARE(plan.size(), std::size_t(2));
    QStringList entries;
    for (const auto& e : plan)
        entries << QString::fromStdString(std::to_string(e.get_id()) + "|" + e.resource() + "|" + e.resource_type()
            + "|" + e.resource_destination() + "|" + std::to_string(e.priority()) + "|" + e.description() + "|"
            + std::to_string(e.archives().size()));
    QCOMPARE(entries, QStringList({"1|/|filesystem|/dev/sda1|100|root fs|0", "2|/home|directory|/dev/sda2|5||2"}));
    check_fields(plan[1].archives()[0].archive, plan_archive_1);
    check_fields(plan[1].archives()[1].archive, plan_archive_2);
    QVERIFY(plan[1].archives()[0].flag && !plan[1].archives()[1].flag);
    QCOMPARE(B(sv_payload::encode_recovery_plan(plan)), B(plan_by_hand));

    sv_payload::client_list clients;
    QVERIFY2(sv_payload::decode_client_list(clients_by_hand, clients, error), error.c_str());
    QVERIFY(clients == (sv_payload::client_list {{"alpha", "HW-1"}, {"beta gamma", "HW-2"}, {"", "HW-3"}}));
    QCOMPARE(B(sv_payload::encode_client_list(clients)), B(clients_by_hand));
    // Two pairs for one hardware id both arrive; the caller decides.
    QVERIFY(sv_payload::decode_client_list(head + "0 0 2 0 0 0 3 old 2 H1 3 new 2 H1\n", clients, error));
    QVERIFY(clients == (sv_payload::client_list {{"old", "H1"}, {"new", "H1"}}));

    // The daemon may write other class versions; they end in `version`.
    const std::string archives_v3 = "22 serialization::archive 18 0 0 1 3 0 3 "
                                    "1 2 0  1 n 3 0  0  0  0  4 5 0  0  0  0  0  0 6 0  0 \n";
    std::vector<sv_archive_short> a;
    QVERIFY2(sv_payload::decode_archive_list(archives_v3, a, error), error.c_str());
    QCOMPARE(a.size() * 10 + a[0].get_version(), std::size_t(13));
    check_fields(a[0], "1 2 0  1 n 3 0  0  0  0  4 5 0  0  0  0  0  0 6 0  0 ");

    // Empty lists decode to empty lists.
    const std::string empty = "22 serialization::archive 18 0 0 0 0\n";
    a.resize(3);
    std::vector<disaster_recovery_plan_record> p(2);
    sv_payload::client_list c(1);
    QVERIFY(sv_payload::decode_archive_list(empty, a, error) && sv_payload::decode_recovery_plan(empty, p, error)
        && sv_payload::decode_client_list(empty, c, error));
    QVERIFY(a.empty() && p.empty() && c.empty());
    QCOMPARE(B(sv_payload::encode_archive_list({})), B(empty));
}

void TestBackendRecords::damaged_payloads_are_reported_and_leave_the_list_alone()
{
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"garbage", "hello, this is not an archive"},
        {"wrong signature", "22 serialization::archivX 18 0 0 0 0\n"},
        {"library version from the future", "22 serialization::archive 99 0 0 0 0\n"},
        {"huge count", head + "0 0 99999999999999999 0 0 0 1 2 0  \n"},
        {"negative count", head + "0 0 -1 0 0 0 1\n"},
        {"huge string length", head + "0 0 1 0 0 0 1 2 99999999999999 abc\n"},
        {"id beyond 64 bits", head + "0 0 1 0 0 0 184467440737095516160 2 0 \n"},
        {"negative id", head + "0 0 1 0 0 0 -5 2 0  1 n 3 0  0  0  0  4 5 0  0  0  0  0  0 6 0  0 \n"},
        {"flag not a bool", head + "0 0 1 0 0 0 5 2 0  1 n 3 0  0  0  0  4 5 0  0  0  0  0  2 6 0  0 \n"},
        {"client list given as archive list", clients_by_hand},
    };
    for (const auto& c : cases) {
        std::vector<sv_archive_short> list(1);
        list[0].set_name("kept");
        std::string error;
        QVERIFY2(!sv_payload::decode_archive_list(c.second, list, error), c.first);
        QVERIFY2(!error.empty(), c.first);
        QCOMPARE(list.size(), std::size_t(1));
        QCOMPARE(B(list[0].get_name()), QByteArray("kept"));
    }
}

void TestBackendRecords::truncation_and_zero_padding()
{
    // Cut short anywhere before its last character, a list never decodes.
    const std::string texts[] = {archives_by_hand, plan_by_hand, clients_by_hand};
    const auto decodes = [](int kind, const std::string& text) {
        std::string error;
        std::vector<sv_archive_short> a;
        std::vector<disaster_recovery_plan_record> p;
        sv_payload::client_list c;
        return kind == 0 ? sv_payload::decode_archive_list(text, a, error)
            : kind == 1  ? sv_payload::decode_recovery_plan(text, p, error)
                         : sv_payload::decode_client_list(text, c, error);
    };
    int kind = 0;
    for (const auto& full : texts) {
        const std::string text = full.substr(0, full.find_last_not_of("\n ") + 1);
        for (std::size_t n = 0; n < text.size(); ++n) {
            std::string cut = text.substr(0, n);
            const bool ok = decodes(kind, cut);
            // The plan ends in a number, which a cut can shorten without a
            // trace ("0" of the last flag is one character): only its last
            // character may go unnoticed.
            if (ok && !(kind == 1 && n + 1 >= text.size()))
                QFAIL(qPrintable(QString("list %1 cut at %2 decoded").arg(kind).arg(n)));
            // Padding the cut with zero bytes (a short last part) changes nothing.
            cut.append(1000, '\0');
            QVERIFY(kind != 0 || !decodes(kind, cut));
        }
        ++kind;
    }
    // Zero padding after the archive is ignored; zero bytes inside it (a short
    // middle part) are damage.
    std::string padded = archives_by_hand + std::string(102400 - archives_by_hand.size(), '\0');
    std::vector<sv_archive_short> got;
    std::string error;
    QVERIFY2(sv_payload::decode_archive_list(padded, got, error), error.c_str());
    QCOMPARE(B(got.at(0).get_aux_text_3() + got.at(1).get_aux_text_3()), QByteArray("x3"));
    padded.replace(60, 5, std::string(5, '\0'));
    QVERIFY(!sv_payload::decode_archive_list(padded, got, error));
}

QTEST_APPLESS_MAIN(TestBackendRecords)
#include "tst_backend_records.moc"
