// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/OwnerCheck.h"

#include "common/DateText.h"
#include "i18n/Language.h"
#include "security/OwnerFile.h"
#include "security/OwnerRecord.h"

using namespace Qt::StringLiterals;

namespace {
/** The owner record at path, parsed; nullopt when the file is missing or cannot be read. */
std::optional<OwnerRecord::Fields> storedFields(const QString &path)
{
    const std::optional<QString> record = OwnerFile::read(path);
    if (!record)
        return std::nullopt;
    return OwnerRecord::parse(*record);
}

/** Whether fields hold a password the owner is asked for: a level above None and a password stored. */
bool storesPassword(const OwnerRecord::Fields &fields)
{
    return fields.level != Level::None && fields.complete && fields.password != OwnerRecord::kNoPassword;
}
} // namespace

OwnerCheckOutcome readOwnerPassword(OwnerState &state, bool prompt, const QString &path)
{
    OwnerCheckOutcome outcome;
    const std::optional<OwnerRecord::Fields> fields = storedFields(path);
    // Without an owner file nothing is protected: the check starts from level None.
    state.Reach = fields ? fields->level : Level::None;
    if (!fields)
        return outcome;
    if (!storesPassword(*fields))
        return outcome;
    outcome.password = fields->password;
    outcome.expiry = fields->expiry;
    outcome.askOwner = prompt;
    // When the owner is to be asked, the password is in force only once the owner has typed it.
    if (!prompt)
        state.GoodPass = fields->password;
    return outcome;
}

ExpiryNotice expiryNotice(QStringView expiry, QDate today)
{
    if (expiry == DateText::date(today))
        return ExpiryNotice::ExpiresToday;
    // "xx-xx-xxxx" and a hand-edited text that is no date are never earlier than today.
    const std::optional<QDate> date = DateText::parseDate(expiry);
    if (date && *date < today)
        return ExpiryNotice::Expired;
    return ExpiryNotice::None;
}

QString noticeText(ExpiryNotice notice)
{
    switch (notice) {
    case ExpiryNotice::ExpiresToday:
        return Language::text(Language::Entry::ExpiresTodayNotice, u"The Password expires today"_s);
    case ExpiryNotice::Expired:
        return Language::text(Language::Entry::ExpiredNotice, u"The Password has expired"_s);
    case ExpiryNotice::None:
        break;
    }
    return {};
}

QString databaseKey(const OwnerState &state, const QString &path)
{
    if (!state.GoodPass.isEmpty())
        return state.GoodPass;
    const std::optional<OwnerRecord::Fields> fields = storedFields(path);
    return fields && storesPassword(*fields) ? fields->password : QString();
}
