#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "smtp/ex_string_list.h"
#include "smtp/smtp_client.h"
#include "support/temp_folder.h"

namespace tarnwell {
namespace {

std::vector<std::string> HeaderOf(TSmtpClient& client) {
    client.BuildMessage();
    return client.FinalHeader().Lines();
}

// The header with its Date and Message-ID values checked for their form and replaced by "<date>" and
// "<id>", which change from one message to the next.
std::vector<std::string> StampedHeaderOf(TSmtpClient& client) {
    static const std::regex date(
        "Date: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), [0-3][0-9] [A-Z][a-z]{2} 2[0-9]{3} "
        "[0-2][0-9]:[0-5][0-9]:[0-6][0-9] [+-][0-9]{4}");
    static const std::regex id("Message-ID: <[0-9]{14}\\.[0-9]+\\.[0-9a-f]{16}@[a-z.]+>");
    std::vector<std::string> lines = HeaderOf(client);
    for (std::string& line : lines) {
        if (std::regex_match(line, date)) line = "Date: <date>";
        if (std::regex_match(line, id)) line = "Message-ID: <id>";
    }
    return lines;
}

std::string BodyOf(TSmtpClient& client) {
    return client.BodyStream().Data();
}

// A file in a folder of the test's own, removed with the test.
class TempFile {
public:
    TempFile(const std::string& name, const std::string& bytes) : path_(folder_.Write(name, bytes)) {}
    std::string Path() const { return path_.string(); }

private:
    testing_support::TempFolder folder_;
    std::filesystem::path path_;
};

TEST(BuildMessage, HeaderLinesInTheirOrder) {
    TSmtpClient client;
    TMailMessage& m = client.PostMessage;
    m.FromAddress = "admin@corp.ru";
    m.ToAddress = {"ivan@corp.ru"};
    m.Subject = "Traffic";
    // As the program's letters go: no name, no X-Mailer or Reply-To; the date of composing.
    EXPECT_EQ(
        StampedHeaderOf(client),
        (std::vector<std::string>{"From: <admin@corp.ru>", "To: ivan@corp.ru", "Subject: Traffic", "Date: <date>",
                                  "Message-ID: <id>", "Mime-Version: 1.0", "Content-Type: text/plain; charset=us-ascii",
                                  "Content-Transfer-Encoding: 8bit"}));
    m.FromName = "Admin";
    m.ToAddress = {"ivan@corp.ru", "Olga <olga@corp.ru>"};
    m.ToCarbonCopy = {"boss@corp.ru"};
    m.ToBlindCarbonCopy = {"secret@corp.ru"};
    m.Subject.clear();
    m.LocalProgram = "Tarnwell";
    m.ReplyTo = "noreply@corp.ru";
    m.Date = "01.02.2026";  // a date given with the message goes out as it is
    client.SubType = mtHtml;
    client.Charset = "windows-1251";
    EXPECT_EQ(
        StampedHeaderOf(client),
        (std::vector<std::string>{"From: Admin<admin@corp.ru>", "To: ivan@corp.ru,Olga <olga@corp.ru>",
                                  "CC: boss@corp.ru", "X-Mailer: Tarnwell", "Reply-To: noreply@corp.ru",
                                  "Date: 01.02.2026", "Message-ID: <id>", "Mime-Version: 1.0",
                                  "Content-Type: text/html; charset=windows-1251", "Content-Transfer-Encoding: 8bit"}));
}

TEST(BuildMessage, EveryMessageGetsItsOwnMessageId) {
    TSmtpClient client;
    client.PostMessage.FromAddress = "admin@corp.ru";
    std::set<std::string> ids;
    for (int i = 0; i < 100; ++i) ids.insert(HeaderOf(client)[2]);
    EXPECT_EQ(ids.size(), 100u);
    EXPECT_EQ(ids.begin()->rfind("Message-ID: <", 0), 0u);
}

TEST(BuildMessage, ContentTypeFollowsSubType) {
    struct Case {
        MailSubType sub_type;
        const char* line;
    } cases[] = {
        {mtPlain, "Content-Type: text/plain; charset=koi8-r"},
        {mtEnriched, "Content-Type: text/enriched; charset=koi8-r"},
        {mtSgml, "Content-Type: text/sgml; charset=koi8-r"},
        {mtTabSeperated, "Content-Type: text/tab-separated-values; charset=koi8-r"},
        {mtHtml, "Content-Type: text/html; charset=koi8-r"},
        {static_cast<MailSubType>(9), "Content-Type: text/plain; charset=koi8-r"},
    };
    TSmtpClient client;
    client.Charset = "koi8-r";
    for (const Case& c : cases) {
        client.SubType = c.sub_type;
        std::vector<std::string> header = HeaderOf(client);
        EXPECT_EQ(header[header.size() - 2], c.line) << c.sub_type;
    }
}

TEST(BuildMessage, BodyLinesEndInCrLfAndLeadingDotsAreDoubled) {
    TSmtpClient client;
    client.PostMessage.Body = {".", ".x", "", "a.b", " .c"};
    client.BuildMessage();
    EXPECT_EQ(BodyOf(client), "..\r\n..x\r\n\r\na.b\r\n .c\r\n");
}

TEST(BuildMessage, AttachmentsMakeAMultipartMessage) {
    TempFile file("report.bin", "abc");
    TSmtpClient client;
    client.SubType = mtHtml;
    client.Charset = "windows-1251";
    client.PostMessage.Body = {"See the file."};
    client.PostMessage.Attachments = {file.Path()};
    std::vector<std::string> starts, ends;
    client.OnEncodeStart = [&](const std::string& f) { starts.push_back(f); };
    client.OnEncodeEnd = [&](const std::string& f) { ends.push_back(f); };
    std::vector<std::string> header = HeaderOf(client);

    const std::string boundary = client.Boundary();
    EXPECT_TRUE(std::regex_match(boundary, std::regex("={20}54535[a-y]{6}====")));
    EXPECT_EQ(header[header.size() - 2], "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"");
    EXPECT_EQ(header.back(), "Content-Transfer-Encoding: 8bit");
    std::string expected =
        "--<B>\r\nContent-Type: text/plain; charset=windows-1251\r\nContent-Transfer-Encoding: 8bit\r\n\r\n"
        "See the file.\r\n"
        "--<B>\r\n"
        "Content-Type: application/octet-stream; name=\"report.bin\"\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment; filename=\"report.bin\"\r\n\r\n"
        "YWJj\r\n"
        "--<B>--\r\n";
    for (std::size_t at; (at = expected.find("<B>")) != std::string::npos;) expected.replace(at, 3, boundary);
    EXPECT_EQ(BodyOf(client), expected);
    EXPECT_EQ(starts, std::vector<std::string>{file.Path()});
    EXPECT_EQ(ends, starts);
}

TEST(BuildMessage, UuencodedLinesThatBeginWithADotAreDoubledToo) {
    // 14 bytes: the line's length character is "." (14 + 32).
    TempFile file("dot.bin", "fourteen bytes");
    TSmtpClient client;
    client.EncodeType = uuCode;
    client.PostMessage.Attachments = {file.Path()};
    client.BuildMessage();
    std::string body = BodyOf(client);
    EXPECT_NE(body.find("Content-Transfer-Encoding: x-uuencode\r\n"), std::string::npos);
    EXPECT_NE(body.find("\r\n\r\n..9F]U<G1E96X@8GET97,\r\n`\r\n--"), std::string::npos) << body;
}

TEST(BuildMessage, AMissingAttachmentIsReportedAndFailsTheBuild) {
    TSmtpClient client;
    testing_support::TempFolder folder;
    const std::string missing = folder.File("no-such-file.bin");
    client.PostMessage.Attachments = {missing};
    std::vector<std::string> reported;
    client.OnAttachmentNotFound = [&](const std::string& f) { reported.push_back(f); };
    try {
        client.BuildMessage();
        FAIL() << "built a message with a missing attachment";
    } catch (const EStreamError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    EXPECT_EQ(reported, std::vector<std::string>{missing});
}

TEST(ExtractAddress, TakesTheBareAddressOfAnEntry) {
    struct Case {
        const char* entry;
        const char* address;
    } cases[] = {
        {"ivan@corp.ru", "ivan@corp.ru"},
        {"Ivan Petrov <ivan@corp.ru>", "ivan@corp.ru"},
        {"SMTP:ivan@corp.ru", "ivan@corp.ru"},
        {"SMTP:ivan@corp.ru:extra", "ivan@corp.ru"},
        {"<ivan@corp.ru", "ivan@corp.ru"},
        {"a <b<c>", "b"},
        {"<>", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtractAddress(c.entry), c.address) << c.entry;
}

TEST(ExStringList, SetHeaderReplacesAppendsAndDeletesByNameWithoutRegardToCase) {
    TExStringList list;
    list.Add("no colon here");
    list.Add("subject: old");
    list.Add("Subject: second");
    EXPECT_EQ(list.IndexOfHeader("SUBJECT"), 1);
    EXPECT_EQ(list.IndexOfHeader("no colon here"), -1);
    EXPECT_EQ(list.IndexOfHeader("Subj"), -1);
    list.SetHeader("Subject", "new");
    list.SetHeader("X-Mailer", "Tarnwell");
    EXPECT_EQ(list.Lines(),
              (std::vector<std::string>{"no colon here", "Subject: new", "Subject: second", "X-Mailer: Tarnwell"}));
    list.SetHeader("subject", "");
    list.SetHeader("Date", "");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"no colon here", "Subject: second", "X-Mailer: Tarnwell"}));
    EXPECT_EQ(list.Text(), "no colon here\r\nSubject: second\r\nX-Mailer: Tarnwell\r\n");
}

}  // namespace
}  // namespace tarnwell
