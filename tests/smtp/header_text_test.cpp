#include "smtp/header_text.h"

#include <gtest/gtest.h>

#include "text/cp1251.h"

namespace tarnwell {
namespace {

std::string Cp(const char* utf8) {
    return Utf8ToCp1251(utf8);
}

// The lines of a folded header.
std::vector<std::string> LinesOf(const std::string& header) {
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        std::size_t end = header.find("\r\n", start);
        lines.push_back(header.substr(start, end - start));
        if (end == std::string::npos) return lines;
        start = end + 2;
    }
}

// What a reader sees once it has unfolded the header: the CR LF of every fold removed.
std::string Unfolded(std::string header) {
    for (std::size_t at; (at = header.find("\r\n ")) != std::string::npos;) header.erase(at, 2);
    return header;
}

TEST(HeaderText, PlainAsciiStaysAsItIsAndOtherTextBecomesEncodedWords) {
    struct Case {
        std::string header;
        std::string expected;
    } cases[] = {
        {TextHeader("Subject", "Traffic"), "Subject: Traffic"},
        {TextHeader("Subject", ""), "Subject: "},
        {TextHeader("Subject", Cp("Наработанный трафик")), "Subject: =?windows-1251?B?zeDw4OHu8uDt7fvpIPLw4PTo6g==?="},
        // Text that a reader would take for an encoded word, and a control character, are encoded too.
        {TextHeader("Subject", "=?x?"), "Subject: =?windows-1251?B?PT94Pw==?="},
        {TextHeader("Subject", "a\x01"), "Subject: =?windows-1251?B?YQE=?="},
        {MailboxHeader("From", "Admin", "admin@corp.ru"), "From: Admin<admin@corp.ru>"},
        {MailboxHeader("From", "", "admin@corp.ru"), "From: <admin@corp.ru>"},
        // An encoded word needs a blank after it, before the angle bracket as well.
        {MailboxHeader("From", Cp("Администратор"), "admin@corp.ru"),
         "From: =?windows-1251?B?wOTs6O3o8fLw4PLu8A==?= <admin@corp.ru>"},
        {AddressListHeader("To", {"ivan@corp.ru", "Olga <olga@corp.ru>", "SMTP:boss@corp.ru"}),
         "To: ivan@corp.ru,Olga <olga@corp.ru>,SMTP:boss@corp.ru"},
        {AddressListHeader("To", {"ivan@corp.ru", Cp("Начальник  <boss@corp.ru>")}),
         "To: ivan@corp.ru,=?windows-1251?B?zeD34Ov87ejq?= <boss@corp.ru>"},
        // An address itself cannot be encoded: it stays as it is.
        {AddressListHeader("To", {Cp("иван@corp.ru")}), "To: " + Cp("иван@corp.ru")},
    };
    for (const Case& c : cases) EXPECT_EQ(c.header, c.expected);
}

TEST(HeaderText, LongHeadersAreFoldedWithinTheirLineLimits) {
    std::string cyrillic;
    std::string ascii;
    for (int i = 0; i < 12; ++i) {
        cyrillic += Cp("Наработанный трафик ");
        ascii += "Traffic of the month ";
    }
    std::vector<std::string> entries;
    for (int i = 0; i < 8; ++i) entries.push_back("user" + std::to_string(i) + "@corp.ru");
    entries.push_back(Cp("Иванов Иван Иванович, начальник отдела <boss@corp.ru>"));
    const std::string headers[] = {
        TextHeader("Subject", cyrillic),
        TextHeader("Subject", ascii),
        MailboxHeader("From", cyrillic, "admin@corp.ru"),
        AddressListHeader("To", entries),
    };
    for (const std::string& header : headers) {
        SCOPED_TRACE(header);
        std::vector<std::string> lines = LinesOf(header);
        EXPECT_GT(lines.size(), 1u);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            EXPECT_LE(line.size(), line.find("=?") == std::string::npos ? kMaxHeaderLine : kMaxEncodedLine) << line;
            if (i > 0) {
                EXPECT_EQ(line[0], ' ') << "a continuation line begins with a blank";
                EXPECT_NE(line.find_first_not_of(' '), std::string::npos) << "no line of blanks alone";
            }
        }
    }
    // Plain text unfolds to itself; the address list gains nothing but the blank of each fold.
    EXPECT_EQ(Unfolded(headers[1]), "Subject: " + ascii);
    EXPECT_EQ(Unfolded(headers[3]).rfind("To: user0@corp.ru,user1@corp.ru,", 0), 0u);
    EXPECT_NE(Unfolded(headers[2]).find("?= <admin@corp.ru>"), std::string::npos);
    // A word without a blank has no place to fold.
    const std::string word(100, 'x');
    EXPECT_EQ(TextHeader("Subject", word), "Subject: " + word);
}

}  // namespace
}  // namespace tarnwell
