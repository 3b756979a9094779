// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

namespace Language {
/**
 * The entries of the language table that Corvane reads, by their index in a
 * language file ("5=Dienst" gives ServiceLabel). The numbers are what every
 * language file is written against: never renumber an entry. English.dat
 * beside this header lists each one with its English text; keep the two and
 * allEntries below in step.
 */
enum class Entry : int {
    SplashMakers = 0,
    SplashTitleLine1 = 1,
    SplashTitleLine2 = 2,
    SplashClose = 3,
    SplashCredit = 4, ///< the splash appends its version and makers to it
    ServiceLabel = 5,
    UsernameLabel = 6,
    PasswordLabel = 7, ///< the main window's and the security dialog's
    PathLabel = 9, ///< also the owner authentication dialog's password label
    HideCheck = 10,
    MenuSetPassword = 14,
    MenuCapture = 15,
    MenuAdd = 16,
    MenuRemove = 17,
    MenuReplace = 18, ///< also the security dialog's Reset button
    MenuReset = 19,
    MenuSetLanguage = 20, ///< also the language dialog's title
    MenuAbout = 21,
    MenuContents = 23,
    MenuExit = 24,
    HideCheckTip = 25,
    GeneratorFrame = 26,
    SuggestCheck = 27,
    GenerateButton = 28,
    StrengthFrame = 29,
    NormalOption = 30,
    HighOption = 31,
    HigherOption = 32,
    CharactersLabel = 33,
    ExpirationFrame = 34,
    DoNotExpireCheck = 35,
    ProtectFrame = 36,
    ProgramAndDatabaseOption = 37,
    ProgramOnlyOption = 38,
    NoneOption = 39,
    LengthLabel = 40,
    AcceptButton = 41, ///< also the language dialog's Ok button
    SecurityTitle = 42, ///< " Corvane" is appended to it
    OwnerTitle = 54,
    OwnerOkButton = 55,
    IdenticalRecordMessage = 68,
    NoChangesMessage = 72,
    ExpiresTodayNotice = 73,
    ExpiredNotice = 74,
    SpaceInPasswordMessage = 75,
    MenuFind = 76,
    FindTitle = 77,
    FindHint = 78,
    FindNotFound = 79,
};

/** Every entry above, in index order. */
inline constexpr std::array allEntries = { Entry::SplashMakers, Entry::SplashTitleLine1, Entry::SplashTitleLine2,
    Entry::SplashClose, Entry::SplashCredit, Entry::ServiceLabel, Entry::UsernameLabel, Entry::PasswordLabel,
    Entry::PathLabel, Entry::HideCheck, Entry::MenuSetPassword, Entry::MenuCapture, Entry::MenuAdd, Entry::MenuRemove,
    Entry::MenuReplace, Entry::MenuReset, Entry::MenuSetLanguage, Entry::MenuAbout, Entry::MenuContents,
    Entry::MenuExit, Entry::HideCheckTip, Entry::GeneratorFrame, Entry::SuggestCheck, Entry::GenerateButton,
    Entry::StrengthFrame, Entry::NormalOption, Entry::HighOption, Entry::HigherOption, Entry::CharactersLabel,
    Entry::ExpirationFrame, Entry::DoNotExpireCheck, Entry::ProtectFrame, Entry::ProgramAndDatabaseOption,
    Entry::ProgramOnlyOption, Entry::NoneOption, Entry::LengthLabel, Entry::AcceptButton, Entry::SecurityTitle,
    Entry::OwnerTitle, Entry::OwnerOkButton, Entry::IdenticalRecordMessage, Entry::NoChangesMessage,
    Entry::ExpiresTodayNotice, Entry::ExpiredNotice, Entry::SpaceInPasswordMessage, Entry::MenuFind, Entry::FindTitle,
    Entry::FindHint, Entry::FindNotFound };
} // namespace Language
