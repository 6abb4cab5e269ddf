#pragma once
// The request keywords: one row per keyword, naming its handler. A keyword line's
// keyword (upper-cased by parseKeywordLine) is looked up exactly; the empty keyword of a
// blank line has its row too, so a keyword without a row is an error in the request
// file. A new keyword is one row (and its handler in keywords.h).

#include <span>
#include <string>
#include <string_view>

namespace server {

class RequestRun;

using KeywordHandler = void (*)(RequestRun& run, const std::string& parameter);

struct KeywordRow {
    std::string_view keyword;
    KeywordHandler handle = nullptr;
};

// Every row, in table order.
std::span<const KeywordRow> keywordRows();
// The row of keyword (exact, case-sensitive: keywords are upper case); nullptr for none.
const KeywordRow* findKeyword(std::string_view keyword);

} // namespace server
