// SPDX-License-Identifier: GPL-3.0-or-later
#include "security/OwnerCheck.h"

#include "common/DateText.h"
#include "i18n/Language.h"
#include "security/OwnerFile.h"
#include "security/OwnerRecord.h"

using namespace Qt::StringLiterals;

OwnerCheckOutcome readOwnerPassword(OwnerState &state, bool prompt, const QString &path)
{
    OwnerCheckOutcome outcome;
    const std::optional<QString> record = OwnerFile::read(path);
    if (!record)
        return outcome;

    const OwnerRecord::Fields fields = OwnerRecord::parse(*record);
    state.Reach = fields.Reach;
    if (record->isEmpty() || state.level() == 0 || !fields.complete)
        return outcome;
    if (fields.password == OwnerRecord::kNoPassword)
        return outcome;
    outcome.password = fields.password;
    outcome.expiry = fields.expiry;
    outcome.askOwner = prompt;
    // When the owner is to be asked, the password is in force only once the owner has typed it.
    if (!prompt)
        state.GoodPass = fields.password;
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

KeyProvider databaseKey(OwnerState &state)
{
    return [&state] {
        if (state.GoodPass.isEmpty())
            readOwnerPassword(state, false);
        return state.GoodPass;
    };
}
