#include "config/ProblemRules.h"

#include <iterator>

namespace ProblemRules {

namespace {

struct RuleInfo
{
    ProblemRule rule;
    ProblemWeight weight;
    int number;
};

// Errors 1xx, warnings 2xx, notices 3xx; a number once given stays.
constexpr RuleInfo RuleTable[] = {
    {ProblemRule::ByteOrderMark, ProblemWeight::Error, 101},
    {ProblemRule::OpenQuote, ProblemWeight::Error, 102},
    {ProblemRule::CommentSemicolon, ProblemWeight::Error, 103},
    {ProblemRule::CommandTooLong, ProblemWeight::Error, 104},
    {ProblemRule::TooManyWords, ProblemWeight::Error, 105},
    {ProblemRule::AliasNameTooLong, ProblemWeight::Error, 106},
    {ProblemRule::AliasNameRefused, ProblemWeight::Error, 107},
    {ProblemRule::AliasNeverRuns, ProblemWeight::Error, 108},
    {ProblemRule::NoSuchKey, ProblemWeight::Error, 109},
    {ProblemRule::ExecRefused, ProblemWeight::Error, 110},
    {ProblemRule::ExecMissing, ProblemWeight::Error, 111},
    {ProblemRule::ExecLoop, ProblemWeight::Error, 112},
    {ProblemRule::AliasLoop, ProblemWeight::Error, 113},
    {ProblemRule::Unreadable, ProblemWeight::Error, 114},
    {ProblemRule::NearName, ProblemWeight::Warning, 201},
    {ProblemRule::ValueOutOfRange, ProblemWeight::Warning, 202},
    {ProblemRule::SettingReplaced, ProblemWeight::Warning, 203},
    {ProblemRule::BindReplaced, ProblemWeight::Warning, 204},
    {ProblemRule::KeyBoundTwice, ProblemWeight::Warning, 205},
    {ProblemRule::SourceEngineName, ProblemWeight::Warning, 206},
    {ProblemRule::ThirdPartyName, ProblemWeight::Notice, 301},
    {ProblemRule::ForwardedName, ProblemWeight::Notice, 302},
    {ProblemRule::UnknownName, ProblemWeight::Notice, 303},
    {ProblemRule::ListNotWritten, ProblemWeight::Notice, 304},
};

static_assert(std::size(RuleTable) == int(ProblemRule::ListNotWritten) + 1, "one entry per rule, in order");

const RuleInfo &ruleInfo(ProblemRule rule)
{
    return RuleTable[int(rule)];
}

} // namespace

ProblemWeight weight(ProblemRule rule)
{
    return ruleInfo(rule).weight;
}

QString code(ProblemRule rule)
{
    return QStringLiteral("TS%1").arg(ruleInfo(rule).number);
}

QString weightWord(ProblemWeight weight)
{
    switch (weight) {
    case ProblemWeight::Error:
        return QStringLiteral("error");
    case ProblemWeight::Warning:
        return QStringLiteral("warning");
    case ProblemWeight::Notice:
        break;
    }
    return QStringLiteral("notice");
}

bool parseWeight(const QString &word, ProblemWeight &weight)
{
    for (const ProblemWeight w : {ProblemWeight::Error, ProblemWeight::Warning, ProblemWeight::Notice}) {
        if (word.compare(weightWord(w), Qt::CaseInsensitive) == 0) {
            weight = w;
            return true;
        }
    }
    return false;
}

bool isAboutName(ProblemRule rule)
{
    return rule == ProblemRule::NearName || rule == ProblemRule::ThirdPartyName || rule == ProblemRule::ForwardedName
        || rule == ProblemRule::UnknownName || rule == ProblemRule::SourceEngineName;
}

} // namespace ProblemRules
