// SPDX-License-Identifier: GPL-3.0-or-later
// The owner password file as the start-up finds it: read, deciphered,
// parsed by position, and turned into the protection level, the password in
// force and the expiry notice.
#include "FuzzSupport.h"
#include "security/OwnerCheck.h"
#include "security/OwnerFile.h"
#include "security/OwnerRecord.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {
const QString &ownerFile()
{
    static const QString path = fuzzFolders().appPath(u"ground.lnk"_s);
    return path;
}

const QString &rewrittenFile()
{
    static const QString path = fuzzFolders().appPath(u"rewritten.lnk"_s);
    return path;
}

/** The fields by position: whatever the record, they are pieces of it in order. */
void checkFields(const QString &record)
{
    const OwnerRecord::Fields fields = OwnerRecord::parse(record);
    FUZZ_CHECK(int(fields.level) >= 0 && int(fields.level) <= 9);
    if (!fields.complete) {
        FUZZ_CHECK(record.size() < OwnerRecord::kFixedLength);
        return;
    }
    FUZZ_CHECK(fields.expiry.size() == 10 && fields.setDate.size() == 10);
    FUZZ_CHECK(fields.expiry.size() + fields.password.size() + fields.setDate.size() + 1 == record.size());
    FUZZ_CHECK(record.startsWith(fields.expiry + fields.password + fields.setDate));
    if (record.back().isDigit() && record.back().unicode() < 0x80)
        FUZZ_CHECK(OwnerRecord::build(fields.expiry, fields.password, fields.setDate, fields.level) == record);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes = fuzzBytes(data, size);
    TestFolders::write(ownerFile(), bytes.toByteArray());

    const std::optional<QString> record = OwnerFile::read(ownerFile());
    FUZZ_CHECK(record.has_value());
    checkFields(*record);

    OwnerState state;
    const OwnerCheckOutcome outcome = readOwnerPassword(state, true, ownerFile());
    FUZZ_CHECK(int(state.Reach) >= 0 && int(state.Reach) <= 9);
    if (outcome.askOwner) {
        // Only a stored password is asked for; it is not in force before the owner has typed it, and read without
        // asking it is the key the database gets.
        FUZZ_CHECK(state.Reach != Level::None);
        FUZZ_CHECK(outcome.password != OwnerRecord::kNoPassword);
        FUZZ_CHECK(state.GoodPass.isEmpty());
        OwnerState unasked;
        readOwnerPassword(unasked, false, ownerFile());
        FUZZ_CHECK(unasked.GoodPass == outcome.password);
        FUZZ_CHECK(databaseKey(unasked) == outcome.password);
        FUZZ_CHECK(databaseKey(state, ownerFile()) == outcome.password);
    } else {
        FUZZ_CHECK(state.GoodPass.isEmpty());
    }
    const ExpiryNotice notice = expiryNotice(outcome.expiry, QDate(2024, 2, 29));
    FUZZ_CHECK(noticeText(notice).isEmpty() == (notice == ExpiryNotice::None));

    // A record that was read from the file can be written back and reads the same.
    FUZZ_CHECK(OwnerFile::isStorable(*record));
    FUZZ_CHECK(OwnerFile::write(*record, rewrittenFile()));
    FUZZ_CHECK(OwnerFile::read(rewrittenFile()) == record);
    return 0;
}
