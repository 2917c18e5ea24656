// Decoding of the daemon's record lists, checked against text archives
// written by hand from the field orders (so that a field-order mistake made
// the same way in writing and reading still fails here).
#include <QtTest>

#include <sstream>
#include <string>
#include <vector>

#include <boost/archive/text_oarchive.hpp>
#include <boost/serialization/vector.hpp>

#include "backend_support.h"
#include "sv_archive_records.h"
#include "sv_payload_decode.h"

namespace {

// Two archives, written by hand: class info "0 0" of the vector, count 2,
// item version 0, class info "0 0" of sv_archive_short before the first
// element only, then the fields in their transfer order.
const std::string archives_by_hand =
    "22 serialization::archive 18 0 0 2 0 0 0 "
    // id task aux_text_1 name reference_id
    "101 202 7 aux one 12 rescue image 303 "
    // resource_type resource backup_type pool
    "12 rescue_image 8 /dev/sda 4 full 6 pool-a "
    // archive_size snapshot_size created
    "4096000000 1024 19 2026-12-01 10:00:00 "
    // creation, transmission, crypt duration, crypt algorithm
    "8 00:05:00 8 00:01:30 8 00:00:07 6 aes256 "
    // signed, verification status, aux_text_2 (empty), aux_text_3
    "1 7 0  2 x3 "
    // second record
    "18446744073709551615 0 0  6 second 1 "
    "12 rescue_image 12 /dev/nvme0n1 11 incremental 1 p "
    "0 18446744073709551615 0  "
    "2 1s 2 2s 2 3s 7 nocrypt "
    "0 0 3 two 0 \n";

// Two plan entries: the first without archives, the second with two.
// Each entry: id, resource, resource_type, resource_destination, priority,
// description, then the archive list (class info "0 0" at its first
// occurrence, count, item version); each archive: class info of
// sv_archive_drp and of sv_archive_short at their first occurrence, the
// archive's fields, the flag.
const std::string plan_by_hand =
    "22 serialization::archive 18 0 0 2 0 0 0 "
    "1 1 / 10 filesystem 9 /dev/sda1 100 7 root fs 0 0 0 0 "
    "2 5 /home 9 directory 9 /dev/sda2 5 0  2 0 0 0 0 0 "
    "11 12 0  1 a 13 1 t 1 r 1 b 1 p 14 15 1 c 1 d 1 e 1 f 1 g 1 3 0  0  1 "
    "21 22 1 x 2 bb 23 2 t2 2 r2 2 b2 2 p2 24 25 2 c2 2 d2 2 e2 2 f2 7 nocrypt 0 8 1 y 1 z 0\n";

// Three clients: class info of the vector, count, item version, class info
// of the pair, then name and hardware id of each.
const std::string clients_by_hand =
    "22 serialization::archive 18 0 0 3 0 0 0 5 alpha 4 HW-1 10 beta gamma 4 HW-2 0  4 HW-3\n";

sv_archive_short make_archive(std::uint64_t id, std::uint64_t task, const std::string& aux1,
                              const std::string& name, std::uint64_t ref, const std::string& rtype,
                              const std::string& resource, const std::string& btype,
                              const std::string& pool, std::uint64_t asize, std::uint64_t ssize,
                              const std::string& created, const std::string& cdur,
                              const std::string& tdur, const std::string& crypt_dur,
                              const std::string& crypt_alg, bool sig, std::uint32_t status,
                              const std::string& aux2, const std::string& aux3)
{
    sv_archive_short a;
    a.set_id(id);
    a.set_task_id(task);
    a.set_aux_text_1(aux1);
    a.set_name(name);
    a.set_reference_id(ref);
    a.set_resource_type(rtype);
    a.set_resource(resource);
    a.set_backup_type(btype);
    a.set_pool(pool);
    a.set_archive_size(asize);
    a.set_snapshot_size(ssize);
    a.set_created(created);
    a.set_creation_duration(cdur);
    a.set_transmission_duration(tdur);
    a.set_crypt_duration(crypt_dur);
    a.set_crypt_algorithm(crypt_alg);
    a.set_digitally_signed(sig);
    a.set_verification_status(status);
    a.set_aux_text_2(aux2);
    a.set_aux_text_3(aux3);
    return a;
}

std::vector<sv_archive_short> archives_expected()
{
    return {make_archive(101, 202, "aux one", "rescue image", 303, "rescue_image", "/dev/sda", "full",
                         "pool-a", 4096000000ULL, 1024, "2026-12-01 10:00:00", "00:05:00", "00:01:30",
                         "00:00:07", "aes256", true, 7, "", "x3"),
            make_archive(18446744073709551615ULL, 0, "", "second", 1, "rescue_image", "/dev/nvme0n1",
                         "incremental", "p", 0, 18446744073709551615ULL, "", "1s", "2s", "3s",
                         "nocrypt", false, 0, "two", "")};
}

disaster_recovery_plan_record make_entry(std::uint32_t id, const std::string& resource, const std::string& type,
                                         const std::string& destination, std::uint32_t priority,
                                         const std::string& description, std::vector<sv_archive_drp> archives)
{
    disaster_recovery_plan_record e;
    e.set_id(id);
    e.set_resource(resource);
    e.set_resource_type(type);
    e.set_resource_destination(destination);
    e.set_priority(priority);
    e.set_description(description);
    e.set_archives(std::move(archives));
    return e;
}

std::vector<disaster_recovery_plan_record> plan_expected()
{
    sv_archive_drp a, b;
    a.archive = make_archive(11, 12, "", "a", 13, "t", "r", "b", "p", 14, 15, "c", "d", "e", "f", "g",
                             true, 3, "", "");
    a.flag = true;
    b.archive = make_archive(21, 22, "x", "bb", 23, "t2", "r2", "b2", "p2", 24, 25, "c2", "d2", "e2",
                             "f2", "nocrypt", false, 8, "y", "z");
    b.flag = false;
    return {make_entry(1, "/", "filesystem", "/dev/sda1", 100, "root fs", {}),
            make_entry(2, "/home", "directory", "/dev/sda2", 5, "", {a, b})};
}

// Writes a text archive the way the Boost 1.74 text archive lays it out:
// tokens separated by one space, a string as its length, a space and its
// bytes, a newline at the end.
class hand_writer {
public:
    hand_writer() { str("serialization::archive"); num(18); }
    hand_writer& num(unsigned long long v) { add(std::to_string(v)); return *this; }
    hand_writer& str(const std::string& s) { add(std::to_string(s.size()) + " " + s); return *this; }
    std::string text() const { return out_ + "\n"; }

private:
    void add(const std::string& token)
    {
        if (!out_.empty())
            out_ += ' ';
        out_ += token;
    }
    std::string out_;
};

void write_archive_fields(hand_writer& w, const sv_archive_short& a)
{
    w.num(a.get_id()).num(a.get_task_id()).str(a.get_aux_text_1()).str(a.get_name());
    w.num(a.get_reference_id()).str(a.get_resource_type()).str(a.get_resource());
    w.str(a.get_backup_type()).str(a.get_pool()).num(a.get_archive_size()).num(a.get_snapshot_size());
    w.str(a.get_created()).str(a.get_creation_duration()).str(a.get_transmission_duration());
    w.str(a.get_crypt_duration()).str(a.get_crypt_algorithm());
    w.num(a.is_digitally_signed() ? 1 : 0).num(a.get_verification_status());
    w.str(a.get_aux_text_2()).str(a.get_aux_text_3());
}

// Every field, through the accessors, in the hand-written transfer order.
std::string fields_of(const sv_archive_short& a)
{
    hand_writer w;
    write_archive_fields(w, a);
    return w.text();
}

void compare_archive(const sv_archive_short& got, const sv_archive_short& want)
{
    QCOMPARE(B(fields_of(got)), B(fields_of(want)));
}

template <class T>
std::string boost_text(const std::vector<T>& items)
{
    std::ostringstream s;
    {
        boost::archive::text_oarchive ar(s);
        ar << items;
    }
    return s.str();
}

} // namespace

class TestBackendRecords : public QObject {
    Q_OBJECT
private slots:
    void hand_fixtures_match_the_boost_text_archive();
    void archive_list_decodes_every_field_in_transfer_order();
    void recovery_plan_decodes_resource_before_type_and_nested_archives();
    void client_list_decodes_pairs_in_order();
    void class_versions_are_stored_in_the_records();
    void empty_lists_decode_to_empty_lists();
    void damaged_payloads_are_reported_and_leave_the_list_alone();
    void every_truncation_is_reported();
    void zero_padding_after_the_archive_is_ignored();
};

void TestBackendRecords::hand_fixtures_match_the_boost_text_archive()
{
    // The hand-written fixtures are byte for byte what Boost writes for the
    // same values, so they carry real class info and tracking fields.
    QCOMPARE(B(boost_text(archives_expected())), B(archives_by_hand));
    sv_payload::client_list clients = {{"alpha", "HW-1"}, {"beta gamma", "HW-2"}, {"", "HW-3"}};
    QCOMPARE(B(boost_text(clients)), B(clients_by_hand));
    QCOMPARE(B(sv_payload::encode_recovery_plan(plan_expected())), B(plan_by_hand));
    QCOMPARE(B(sv_payload::encode_archive_list(archives_expected())), B(archives_by_hand));
    QCOMPARE(B(sv_payload::encode_client_list(clients)), B(clients_by_hand));
}

void TestBackendRecords::archive_list_decodes_every_field_in_transfer_order()
{
    std::vector<sv_archive_short> got;
    std::string error;
    QVERIFY2(sv_payload::decode_archive_list(archives_by_hand, got, error), error.c_str());
    const auto want = archives_expected();
    QCOMPARE(got.size(), want.size());
    compare_archive(got[0], want[0]);
    compare_archive(got[1], want[1]);
}

void TestBackendRecords::recovery_plan_decodes_resource_before_type_and_nested_archives()
{
    std::vector<disaster_recovery_plan_record> got;
    std::string error;
    QVERIFY2(sv_payload::decode_recovery_plan(plan_by_hand, got, error), error.c_str());
    // Plans compare through the library's encoder, which the hand fixture pins.
    QCOMPARE(B(sv_payload::encode_recovery_plan(got)), B(sv_payload::encode_recovery_plan(plan_expected())));
    QCOMPARE(B(got[0].resource() + "|" + got[0].resource_type()), QByteArray("/|filesystem"));

    // A writer that followed the declaration order (type before resource)
    // swaps the two values on this side.
    hand_writer w;
    w.num(0).num(0).num(1).num(0).num(0).num(0);
    w.num(9).str("directory").str("/srv").str("/dev/sdb1").num(1).str("d");
    w.num(0).num(0).num(0).num(0);
    QVERIFY(sv_payload::decode_recovery_plan(w.text(), got, error));
    QCOMPARE(B(got[0].resource()), QByteArray("directory"));
    QCOMPARE(B(got[0].resource_type()), QByteArray("/srv"));
}

void TestBackendRecords::client_list_decodes_pairs_in_order()
{
    sv_payload::client_list got;
    std::string error;
    QVERIFY2(sv_payload::decode_client_list(clients_by_hand, got, error), error.c_str());
    QVERIFY(got == (sv_payload::client_list{{"alpha", "HW-1"}, {"beta gamma", "HW-2"}, {"", "HW-3"}}));
    // Two pairs for one hardware id both arrive; the caller decides.
    QVERIFY(sv_payload::decode_client_list("22 serialization::archive 18 0 0 2 0 0 0 3 old 2 H1 3 new 2 H1\n", got, error));
    QVERIFY(got == (sv_payload::client_list{{"old", "H1"}, {"new", "H1"}}));
}

void TestBackendRecords::class_versions_are_stored_in_the_records()
{
    // The daemon may write other class versions; they end in `version`.
    const std::string archives_v3 =
        "22 serialization::archive 18 0 0 1 3 0 3 "
        "1 2 0  1 n 3 0  0  0  0  4 5 0  0  0  0  0  0 6 0  0 \n";
    std::vector<sv_archive_short> a;
    std::string error;
    QVERIFY2(sv_payload::decode_archive_list(archives_v3, a, error), error.c_str());
    QCOMPARE(a.size() * 10 + a[0].get_version(), std::size_t(13));
    compare_archive(a[0], make_archive(1, 2, "", "n", 3, "", "", "", "", 4, 5, "", "", "", "", "", false, 6, "", ""));
}

void TestBackendRecords::empty_lists_decode_to_empty_lists()
{
    const std::string empty = "22 serialization::archive 18 0 0 0 0\n";
    std::string error;
    std::vector<sv_archive_short> a(3);
    std::vector<disaster_recovery_plan_record> p(2);
    sv_payload::client_list c(1);
    QVERIFY(sv_payload::decode_archive_list(empty, a, error) && sv_payload::decode_recovery_plan(empty, p, error)
            && sv_payload::decode_client_list(empty, c, error));
    QVERIFY(a.empty() && p.empty() && c.empty());
    QCOMPARE(B(sv_payload::encode_archive_list({})), B(empty));
}

void TestBackendRecords::damaged_payloads_are_reported_and_leave_the_list_alone()
{
    const std::string head = "22 serialization::archive 18 ";
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"garbage", "hello, this is not an archive"},
        {"wrong signature", "22 serialization::archivX 18 0 0 0 0\n"},
        {"library version from the future", "22 serialization::archive 99 0 0 0 0\n"},
        {"count larger than data", head + "0 0 3" + archives_by_hand.substr(head.size() + 5)},
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

void TestBackendRecords::every_truncation_is_reported()
{
    // Cut short anywhere before its last character, a list never decodes.
    const std::string texts[] = {archives_by_hand, plan_by_hand, clients_by_hand};
    int kind = 0;
    for (const auto& full : texts) {
        const std::string text = full.substr(0, full.find_last_not_of("\n ") + 1);
        for (std::size_t n = 0; n < text.size(); ++n) {
            std::string cut = text.substr(0, n);
            std::string error;
            bool ok = false;
            if (kind == 0) {
                std::vector<sv_archive_short> l;
                ok = sv_payload::decode_archive_list(cut, l, error);
            } else if (kind == 1) {
                std::vector<disaster_recovery_plan_record> l;
                ok = sv_payload::decode_recovery_plan(cut, l, error);
            } else {
                sv_payload::client_list l;
                ok = sv_payload::decode_client_list(cut, l, error);
            }
            // The plan ends in a number, which a cut can shorten without a
            // trace ("0" of the last flag is one character): only its last
            // character may go unnoticed.
            if (ok && !(kind == 1 && n + 1 >= text.size()))
                QFAIL(qPrintable(QString("list %1 cut at %2 decoded").arg(kind).arg(n)));
            // Padding the cut with zero bytes (a short last part) changes nothing.
            cut.append(1000, '\0');
            if (kind == 0) {
                std::vector<sv_archive_short> l;
                QVERIFY(!sv_payload::decode_archive_list(cut, l, error));
            }
        }
        ++kind;
    }
}

void TestBackendRecords::zero_padding_after_the_archive_is_ignored()
{
    std::string padded = archives_by_hand + std::string(102400 - archives_by_hand.size(), '\0');
    std::vector<sv_archive_short> got;
    std::string error;
    QVERIFY2(sv_payload::decode_archive_list(padded, got, error), error.c_str());
    QCOMPARE(got.size(), std::size_t(2));
    QCOMPARE(B(got[0].get_aux_text_3()), QByteArray("x3"));
    // Zero bytes inside the text (a short middle part) are damage.
    std::string holed = archives_by_hand;
    holed.replace(60, 5, std::string(5, '\0'));
    QVERIFY(!sv_payload::decode_archive_list(holed, got, error));
}

QTEST_APPLESS_MAIN(TestBackendRecords)
#include "tst_backend_records.moc"
