#include "smtp/smtp_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>

#include "scripted_server.h"
#include "smtp/sock_error.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace testing;
using namespace tarnwell::literals;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

template <class Action>
std::string ErrorText(Action action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no error>";
}

const std::string kSubject(std::string_view("Наработанный трафик"_cp));

// The letter of most dialogues, and what the server receives for it after DATA.
void SetLetter(TSmtpClient& client, const std::string& to = "ivan@corp.ru") {
    client.PostMessage = TMailMessage{};
    client.Charset = "windows-1251";
    client.PostMessage.FromName = "Admin";
    client.PostMessage.FromAddress = "admin@corp.ru";
    client.PostMessage.Subject = kSubject;
    client.PostMessage.ToAddress = {to};
    client.PostMessage.Body = {"Line one", ".dot"};
}

// The subject as an encoded word, the date and the message id as Stamped leaves them.
std::string LetterData(const std::string& to = "ivan@corp.ru") {
    return "From: Admin<admin@corp.ru>\r\nTo: " + to +
           "\r\nSubject: =?windows-1251?B?zeDw4OHu8uDt7fvpIPLw4PTo6g==?=\r\nDate: <date>\r\nMessage-ID: <id>\r\n"
           "Mime-Version: 1.0\r\nContent-Type: text/plain; charset=windows-1251\r\n"
           "Content-Transfer-Encoding: 8bit\r\n\r\n\r\nLine one\r\n..dot\r\n.\r\n";
}

// What the server received, the values of Date and Message-ID, which differ from one letter to the next,
// replaced by "<date>" and "<id>".
std::string Stamped(const std::string& received) {
    static const std::regex stamps("Date: [^\r\n]+\r\nMessage-ID: <[^>\r\n]+>\r\n");
    return std::regex_replace(received, stamps, "Date: <date>\r\nMessage-ID: <id>\r\n");
}

std::string Envelope(const std::string& to = "ivan@corp.ru") {
    return "RSET\r\nMAIL FROM:<admin@corp.ru>\r\nRCPT TO:<" + to + ">\r\nDATA\r\n";
}

const std::vector<std::string> kAccepting = {"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n",
                                             "250 recipient ok\r\n", "354 go ahead\r\n"};

std::vector<std::string> Then(std::vector<std::string> first, const std::vector<std::string>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

// A client of its own for the peer, as the tables of cases make one afresh for each case.
void PointAt(TSmtpClient& session, const ScriptedServer& peer, int timeout_ms) {
    session.Host = "127.0.0.1";
    session.Port = peer.Port();
    session.UserID = "tarnwell";
    session.TimeOut = timeout_ms;
}

class SmtpDialogueTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (server) server->Stop();
    }

    void Start(const std::string& greeting, const std::vector<std::string>& replies) {
        Start(SmtpScript(greeting, replies));
    }
    void Start(std::vector<Step> script) {
        server = std::make_unique<ScriptedServer>(std::move(script));
        client.Host = "127.0.0.1";
        client.Port = server->Port();
        client.UserID = "tarnwell";
        client.TimeOut = 5000;
    }
    std::string Transcript() {
        server->WaitForClientClose();
        return Stamped(server->Received());
    }

    TSmtpClient client;
    std::unique_ptr<ScriptedServer> server;
};

TEST_F(SmtpDialogueTest, ConnectSendAndQuitWithContinuationLines) {
    Start("220-mail.corp.ru ESMTP\r\n220-second line\r\n220 ready\r\n",
          {"250-mail.corp.ru\r\n250 HELP\r\n", "250 reset\r\n", "250 sender ok\r\n", "250 recipient ok\r\n",
           "354 go ahead\r\n", "250 queued\r\n", "221 bye\r\n"});
    int connects = 0;
    int successes = 0;
    client.OnConnect = [&](TSmtpClient&) { ++connects; };
    client.OnSuccess = [&](TSmtpClient&) { ++successes; };
    EXPECT_EQ(client.Port, server->Port());
    client.Connect();
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(client.LastReply(), "250 HELP\r\n");

    SetLetter(client);
    client.SendMailMessage();
    EXPECT_EQ(successes, 1);
    EXPECT_EQ(client.LastReply(), "250 queued\r\n");
    EXPECT_TRUE(client.PostMessage.ToAddress.empty()) << "ClearParams empties the recipients";
    EXPECT_EQ(client.PostMessage.Body.size(), 2u) << "and keeps the body";
    EXPECT_FALSE(client.Busy());

    client.Disconnect();
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(Transcript(), "HELO tarnwell\r\n" + Envelope() + LetterData() + "QUIT\r\n");
}

// A refusing greeting fails Connect with its last line, after a QUIT whose reply is waited for only
// briefly: the server has said what it had to say. The reply is shown without its line end, and with its
// control bytes as "?" (escape sequences would clear the administrator's terminal).
TEST_F(SmtpDialogueTest, ARefusingGreetingFailsConnectAfterABriefQuit) {
    struct Case {
        const char* what;
        std::string greeting;
        std::vector<std::string> replies;
        std::string error;
    } cases[] = {
        {"answers QUIT", "554-no service here\r\n554 go away\r\n", {"221 bye\r\n"}, "554 go away"},
        {"never answers QUIT", "554 go away\r\n", {"<silent>"}, "554 go away"},
        {"control bytes", "554 \x1b[2J\x1b[31mcleared\x1b[0m\x07 go away\r\n", {"221 bye\r\n"},
         "554 ?[2J?[31mcleared?[0m? go away"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer peer(SmtpScript(c.greeting, c.replies));
        TSmtpClient session;
        PointAt(session, peer, 10000);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ErrorText([&] { session.Connect(); }), c.error);
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::milliseconds(TSmtpClient::kQuitWaitMs + 1000));
        EXPECT_FALSE(session.Connected());
        EXPECT_FALSE(session.Busy());
        peer.WaitForClientClose();
        EXPECT_EQ(peer.Received(), "QUIT\r\n");
    }
}

// A server that keeps a reply going, a continuation line every little while, holds the client for one
// time-out, not for one a line.
TEST_F(SmtpDialogueTest, AReplyWithoutEndIsBoundedByOneTimeOut) {
    std::vector<Step> greeting;
    for (int i = 0; i < 20; ++i) greeting.insert(greeting.end(), {Send("220-still talking\r\n"), Pause(150)});
    std::vector<Step> helo = SmtpScript("220 ready\r\n", {});
    helo.push_back(ReadLine());
    for (int i = 0; i < 20; ++i) helo.insert(helo.end(), {Send("250-still talking\r\n"), Pause(150)});
    for (const auto& script : {greeting, helo}) {
        ScriptedServer peer(script);
        TSmtpClient session;
        PointAt(session, peer, 600);
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        try {
            session.Connect();
        } catch (const ETimeOutError& e) {
            error = e.what();
        }
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(error, "Socket readln aborted");
        EXPECT_GE(waited, std::chrono::milliseconds(580));
        EXPECT_LT(waited, std::chrono::milliseconds(1500)) << "one time-out for the whole reply";
        EXPECT_FALSE(session.Connected());
    }
}

TEST_F(SmtpDialogueTest, AGreetingThatNeverEndsIsRefused) {
    std::string endless;
    for (int i = 0; i < 1500; ++i) endless += "220-still greeting\r\n";
    Start(endless + "220 ready\r\n", {"221 bye\r\n"});
    EXPECT_EQ(ErrorText([&] { client.Connect(); }), "Server reply longer than 1000 lines");
    EXPECT_FALSE(client.Connected());
}

TEST_F(SmtpDialogueTest, HeloWithAnEmptyUserIdAndItsOneRepair) {
    struct Case {
        bool repair;
        std::vector<std::string> replies;
        std::string error;
        std::string transcript;
    } cases[] = {
        {false, {"501 Syntax: HELO hostname\r\n", "221 bye\r\n"}, "Authentication failed", "HELO \r\nQUIT\r\n"},
        {true,
         {"501 Syntax: HELO hostname\r\n", "501 still no\r\n", "221 bye\r\n"},
         "Authentication failed",
         "HELO \r\nHELO fixed\r\nQUIT\r\n"},
        {true,
         {"501 Syntax: HELO hostname\r\n", "250 hello fixed\r\n", "221 bye\r\n"},
         "<no error>",
         "HELO \r\nHELO fixed\r\nQUIT\r\n"},
    };
    for (const Case& c : cases) {
        TSmtpClient session;
        ScriptedServer peer(SmtpScript("220 ready\r\n", c.replies));
        session.Host = "127.0.0.1";
        session.Port = peer.Port();
        session.TimeOut = 5000;
        int asked = 0;
        if (c.repair) {
            session.OnAuthenticationFailed = [&](bool& handled) {
                ++asked;
                session.UserID = "fixed";
                handled = true;
            };
        }
        EXPECT_EQ(ErrorText([&] { session.Connect(); }), c.error);
        if (session.Connected()) session.Disconnect();
        EXPECT_EQ(asked, c.repair ? 1 : 0);
        peer.WaitForClientClose();
        EXPECT_EQ(peer.Received(), c.transcript);
    }
}

TEST_F(SmtpDialogueTest, RefusedRecipientsAreReportedAndTheOthersStillGetTheMessage) {
    Start("220 ready\r\n",
          {"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n", "550 no such user\r\n", "250 recipient ok\r\n",
           "551 not here\r\n", "354 go ahead\r\n", "250 queued\r\n", "221 bye\r\n"});
    std::vector<std::string> refused;
    client.OnRecipientNotFound = [&](const std::string& entry) { refused.push_back(entry); };
    client.Connect();
    SetLetter(client);
    client.PostMessage.ToAddress = {"Ivan Petrov <ivan@corp.ru>", "SMTP:olga@corp.ru"};
    client.PostMessage.ToCarbonCopy = {"boss@corp.ru"};
    client.PostMessage.ToBlindCarbonCopy = {"<>"};  // an empty address gets no RCPT TO
    client.SendMailMessage();
    client.Disconnect();
    EXPECT_EQ(refused, (std::vector<std::string>{"Ivan Petrov <ivan@corp.ru>", "boss@corp.ru"}));
    std::string data = Transcript();
    EXPECT_EQ(data.substr(0, data.find("DATA\r\n") + 6),
              "HELO tarnwell\r\nRSET\r\nMAIL FROM:<admin@corp.ru>\r\nRCPT TO:<ivan@corp.ru>\r\n"
              "RCPT TO:<olga@corp.ru>\r\nRCPT TO:<boss@corp.ru>\r\nDATA\r\n");
    EXPECT_NE(data.find("To: Ivan Petrov <ivan@corp.ru>,SMTP:olga@corp.ru\r\nCC: boss@corp.ru\r\n"), std::string::npos);
}

TEST_F(SmtpDialogueTest, RefusedDataFailsTheSendButKeepsTheSessionForTheNext) {
    Start("220 ready\r\n", {"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n", "550 no such user\r\n",
                            "554 no valid recipients\r\n", "250 reset\r\n", "250 sender ok\r\n", "250 recipient ok\r\n",
                            "354 go ahead\r\n", "250 queued\r\n", "221 bye\r\n"});
    client.Connect();
    SetLetter(client, "nobody@corp.ru");
    EXPECT_EQ(ErrorText([&] { client.SendMailMessage(); }), "554 no valid recipients");
    EXPECT_EQ(client.PostMessage.ToAddress.size(), 1u) << "a failed send keeps the recipients";
    EXPECT_FALSE(client.Busy());
    SetLetter(client);
    client.SendMailMessage();
    client.Disconnect();
    EXPECT_EQ(Transcript(), "HELO tarnwell\r\n" + Envelope("nobody@corp.ru") + Envelope() + LetterData() + "QUIT\r\n");
}

// A multi-line reply to any command is read to its end. Read one line at a time, the continuation of
// the MAIL FROM reply would answer RCPT, the next replies would each move one command on, and the letter
// that the server refuses after the dot would count as sent on the "354" of DATA.
TEST_F(SmtpDialogueTest, MultiLineRepliesToEveryCommandAreReadToTheirEnd) {
    Start("220 ready\r\n", {"250 hello\r\n", "250-reset\r\n250 done\r\n", "250-sender\r\n250 ok\r\n",
                            "250-recipient\r\n250 ok\r\n", "354-go\r\n354 ahead\r\n",
                            "554-refused\r\n554 as spam\r\n", "221-bye\r\n221 now\r\n"});
    int successes = 0;
    int failures = 0;
    client.OnSuccess = [&](TSmtpClient&) { ++successes; };
    client.OnFailure = [&](TSmtpClient&) { ++failures; };
    client.Connect();
    SetLetter(client);
    EXPECT_EQ(ErrorText([&] { client.SendMailMessage(); }), "554 as spam");
    EXPECT_EQ(successes, 0);
    EXPECT_EQ(failures, 1);
    client.Disconnect();
    EXPECT_EQ(client.LastReply(), "221 now\r\n");
    EXPECT_EQ(Transcript(), "HELO tarnwell\r\n" + Envelope() + LetterData() + "QUIT\r\n");
}

TEST_F(SmtpDialogueTest, TwoMessagesOverOneSessionEachBeginWithRset) {
    Start("220 ready\r\n", Then(Then(kAccepting, {"250 queued\r\n", "250 reset\r\n", "250 sender ok\r\n",
                                                  "250 recipient ok\r\n", "354 go ahead\r\n", "250 queued\r\n"}),
                                {"221 bye\r\n"}));
    client.Connect();
    SetLetter(client);
    client.SendMailMessage();
    SetLetter(client, "olga@corp.ru");
    client.SendMailMessage();
    client.Disconnect();
    EXPECT_EQ(Transcript(), "HELO tarnwell\r\n" + Envelope() + LetterData() + Envelope("olga@corp.ru") +
                                LetterData("olga@corp.ru") + "QUIT\r\n");
}

TEST_F(SmtpDialogueTest, AServerThatClosesMidMessageFailsTheSendAndTheSession) {
    struct Case {
        const char* what;
        bool reads_data;  // the server takes the whole message, then closes instead of answering
    } cases[] = {{"closes right after 354", false}, {"closes instead of answering the dot", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSmtpClient session;
        std::vector<Step> script = SmtpScript("220 ready\r\n", kAccepting);
        if (c.reads_data) script.push_back(ReadData());
        script.push_back(Close());
        ScriptedServer peer(script);
        session.Host = "127.0.0.1";
        session.Port = peer.Port();
        session.UserID = "tarnwell";
        session.TimeOut = 5000;
        int successes = 0;
        int failures = 0;
        session.OnSuccess = [&](TSmtpClient&) { ++successes; };
        session.OnFailure = [&](TSmtpClient&) { ++failures; };
        session.Connect();
        SetLetter(session);
        std::string error = ErrorText([&] { session.SendMailMessage(); });
        EXPECT_NE(error, "<no error>");
        if (c.reads_data) {
            EXPECT_EQ(error, "Not Connected");
            EXPECT_EQ(failures, 1);
        }
        EXPECT_EQ(successes, 0);
        EXPECT_EQ(session.PostMessage.ToAddress.size(), 1u);
        EXPECT_FALSE(session.Connected());
        EXPECT_EQ(ErrorText([&] { session.SendMailMessage(); }), "Not Connected");
    }
}

// After a time-out the server may still answer the old command at any moment, so the session is closed
// at once: no QUIT, and no second wait for its answer.
TEST_F(SmtpDialogueTest, ASilentServerCostsOneTimeOutAndTheSessionIsClosed) {
    struct Case {
        const char* what;
        std::vector<Step> script;
        bool fails_connect;
        std::string transcript;
    } cases[] = {
        {"silent from the start", {}, true, ""},
        {"silent after the greeting", SmtpScript("220 ready\r\n", {"<silent>"}), true, "HELO tarnwell\r\n"},
        {"silent after HELO", SmtpScript("220 ready\r\n", {"250 hello\r\n", "<silent>"}), false,
         "HELO tarnwell\r\nRSET\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer peer(c.script);
        TSmtpClient session;
        PointAt(session, peer, 400);
        auto start = std::chrono::steady_clock::now();
        std::string error;
        try {
            session.Connect();
            SetLetter(session);
            session.SendMailMessage();
        } catch (const ETimeOutError& e) {
            error = e.what();
        }
        auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(error, "Socket readln aborted");
        EXPECT_GE(waited, std::chrono::milliseconds(380));
        EXPECT_LT(waited, std::chrono::milliseconds(700)) << "one time-out, not two";
        EXPECT_FALSE(session.Connected());
        EXPECT_FALSE(session.Busy());
        if (!c.fails_connect) {
            EXPECT_EQ(ErrorText([&] { session.SendMailMessage(); }), "Not Connected");
        }
        peer.WaitForClientClose();
        EXPECT_EQ(peer.Received(), c.transcript);
    }
}

// Nothing but a well-formed reply numbered 2xx or 3xx accepts a step. An answer that is no SMTP reply
// fails its step and ends the session at once; a well-formed refusal keeps it.
TEST_F(SmtpDialogueTest, RepliesThatAreNoSmtpRepliesFailTheirStep) {
    const std::string huge(10 * 1024 * 1024, 'x');
    const std::string too_long = "Server reply line longer than 65536 bytes";
    const std::string hello = "HELO tarnwell\r\n";
    const std::string letter = hello + Envelope() + LetterData();
    struct Case {
        const char* what;
        std::vector<Step> script;
        std::string error;
        bool invalid;  // ESmtpReplyError, the session closed
        std::string transcript;
    } cases[] = {
        {"10 MB greeting without a line end", {Send("220 " + huge)}, too_long, true, ""},
        {"10 MB greeting with its line end", {Send("220 " + huge + "\r\n")}, too_long, true, ""},
        {"over-long reply to HELO", SmtpScript("220 ready\r\n", {"250 " + huge + "\r\n"}), too_long, true, hello},
        {"greeting without a number",
         {Send("hello\r\n")},
         "Invalid server reply: expected three digits, saw 'hello'",
         true,
         ""},
        {"continuation line without a number",
         {Send("220-ready\r\nhello\r\n")},
         "Invalid server reply: expected three digits, saw 'hello'",
         true,
         ""},
        {"greeting whose last line refuses what its first accepts",
         {Send("220-ready\r\n 220 old style\r\n502 not here\r\n")},
         "Invalid server reply: the lines of one reply carry different numbers",
         true,
         ""},
        {"greeting whose first line refuses what its last accepts",
         {Send("554-not here\r\n554-go away\r\n220 ready\r\n")},
         "Invalid server reply: the lines of one reply carry different numbers",
         true,
         ""},
        {"reply to MAIL FROM whose first line refuses what its last accepts",
         SmtpScript("220 ready\r\n", {"250 hello\r\n", "250 reset\r\n", "550-no such sender\r\n250 ok\r\n"}),
         "Invalid server reply: the lines of one reply carry different numbers", true,
         hello + "RSET\r\nMAIL FROM:<admin@corp.ru>\r\n"},
        {"four digits to RSET", SmtpScript("220 ready\r\n", {"250 hello\r\n", "2500 ok\r\n"}),
         "Invalid server reply: expected three digits, saw '2500 ok'", true, hello + "RSET\r\n"},
        {"1xx to MAIL FROM",
         SmtpScript("220 ready\r\n", {"250 hello\r\n", "250 reset\r\n", "199 wait\r\n", "221 bye\r\n"}), "199 wait",
         false, hello + "RSET\r\nMAIL FROM:<admin@corp.ru>\r\nQUIT\r\n"},
        {"no number to DATA",
         SmtpScript("220 ready\r\n",
                    {"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n", "hello\r\n"}),
         "Invalid server reply: expected three digits, saw 'hello'", true, hello + Envelope()},
        {"no number to the dot", SmtpScript("220 ready\r\n", Then(kAccepting, {"\x01ok\r\n"})),
         "Invalid server reply: expected three digits, saw '?ok'", true, letter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer peer(c.script);
        TSmtpClient session;
        PointAt(session, peer, 5000);
        int successes = 0;
        session.OnSuccess = [&](TSmtpClient&) { ++successes; };
        std::string error = "<no error>";
        bool invalid = false;
        try {
            session.Connect();
            SetLetter(session);
            session.SendMailMessage();
        } catch (const ESmtpReplyError& e) {
            error = e.what();
            invalid = true;
        } catch (const std::exception& e) {
            error = e.what();
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(invalid, c.invalid);
        EXPECT_EQ(session.Connected(), !c.invalid);
        EXPECT_EQ(successes, 0);
        if (session.Connected()) session.Disconnect();
        peer.WaitForClientClose();
        EXPECT_EQ(Stamped(peer.Received()), c.transcript) << "no QUIT after a reply that is no reply";
    }
}

TEST_F(SmtpDialogueTest, QuitAnsweredWith421RaisesTheReplyAndClosesAnyway) {
    Start("220 ready\r\n", {"250 hello\r\n", "421 closing down\r\n"});
    client.Connect();
    EXPECT_EQ(ErrorText([&] { client.Disconnect(); }), "421 closing down");
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(Transcript(), "HELO tarnwell\r\nQUIT\r\n");
}

TEST_F(SmtpDialogueTest, AnIncompleteHeaderSendsNothingUnlessRepaired) {
    Start("220 ready\r\n", Then(kAccepting, {"250 queued\r\n", "221 bye\r\n"}));
    client.Connect();
    SetLetter(client);
    client.PostMessage.FromAddress.clear();
    EXPECT_EQ(ErrorText([&] { client.SendMailMessage(); }), "Incomplete Header");

    std::vector<int> kinds;
    client.OnHeaderIncomplete = [&](bool& handled, int hi_type) {
        kinds.push_back(hi_type);
        client.PostMessage.FromAddress = "admin@corp.ru";
        handled = true;
    };
    client.SendMailMessage();
    client.Disconnect();
    EXPECT_EQ(kinds, std::vector<int>{1});
    // The header was composed before the repair: its From line keeps the empty address.
    EXPECT_EQ(Transcript(),
              "HELO tarnwell\r\n" + Envelope() + Replaced(LetterData(), "<admin@corp.ru>", "<>") + "QUIT\r\n");
}

TEST_F(SmtpDialogueTest, ASendStartedDuringASendReturnsAtOnce) {
    Start("220 ready\r\n", Then(kAccepting, {"250 queued\r\n", "221 bye\r\n"}));
    client.Connect();
    SetLetter(client);
    int nested = 0;
    client.OnSendStart = [&](TSmtpClient& sender) {
        EXPECT_TRUE(sender.Busy());
        sender.SendMailMessage();
        ++nested;
    };
    client.SendMailMessage();
    client.Disconnect();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(Transcript(), "HELO tarnwell\r\n" + Envelope() + LetterData() + "QUIT\r\n");
}

TEST_F(SmtpDialogueTest, LineBreaksInEnvelopeOrHeaderValuesAreRefusedBeforeAnythingIsSent) {
    Start("220 ready\r\n", Then(kAccepting, {"250 queued\r\n", "221 bye\r\n"}));
    client.Connect();
    struct Case {
        std::function<void(TMailMessage&)> spoil;
        const char* error;
    } cases[] = {
        {[](TMailMessage& m) { m.FromAddress = "admin@corp.ru>\r\nRCPT TO:<victim@corp.ru"; },
         "Invalid character (CR, LF or NUL) in FromAddress"},
        {[](TMailMessage& m) { m.ToAddress.push_back("a@corp.ru\nDATA"); },
         "Invalid character (CR, LF or NUL) in ToAddress"},
        {[](TMailMessage& m) { m.ToBlindCarbonCopy = {"x@corp.ru\r"}; },
         "Invalid character (CR, LF or NUL) in ToBlindCarbonCopy"},
        {[](TMailMessage& m) { m.Subject = "Hi\r\nBcc: all@corp.ru"; }, "Invalid character (CR, LF or NUL) in Subject"},
        {[](TMailMessage& m) { m.FromName = std::string("Ad\0min", 6); },
         "Invalid character (CR, LF or NUL) in FromName"},
        {[](TMailMessage& m) { m.ReplyTo = "r@corp.ru\n"; }, "Invalid character (CR, LF or NUL) in ReplyTo"},
    };
    for (const Case& c : cases) {
        SetLetter(client);
        c.spoil(client.PostMessage);
        EXPECT_EQ(ErrorText([&] { client.SendMailMessage(); }), c.error);
    }
    // The repair of an incomplete header is checked too.
    SetLetter(client);
    client.PostMessage.FromAddress.clear();
    client.OnHeaderIncomplete = [&](bool& handled, int) {
        client.PostMessage.FromAddress = "a@corp.ru>\r\nQUIT";
        handled = true;
    };
    EXPECT_EQ(ErrorText([&] { client.SendMailMessage(); }), "Invalid character (CR, LF or NUL) in FromAddress");
    client.OnHeaderIncomplete = nullptr;

    // A body line that holds line breaks goes out as the lines it holds, each dot-stuffed, so it
    // cannot end the data early.
    SetLetter(client);
    client.PostMessage.Body = {"Line one", "x\r\n.\r\nQUIT\rend\n.dot"};
    client.SendMailMessage();
    client.Disconnect();
    EXPECT_EQ(Transcript(), "HELO tarnwell\r\n" + Envelope() +
                                Replaced(LetterData(), "..dot", "x\r\n..\r\nQUIT\r\nend\r\n..dot") + "QUIT\r\n");

    // A HELO name with a line break is refused before connecting.
    TSmtpClient other;
    other.UserID = "me\r\nMAIL FROM:<x>";
    EXPECT_EQ(ErrorText([&] { other.Connect(); }), "Invalid character (CR, LF or NUL) in UserID");
    EXPECT_FALSE(other.Busy());
}

TEST_F(SmtpDialogueTest, AHeaderTooLongForOneWriteIsRefusedBeforeAnyCommand) {
    Start("220 ready\r\n", Then(kAccepting, {"250 queued\r\n", "221 bye\r\n"}));
    client.Connect();
    SetLetter(client);
    // A To line of 4000 entries, some 80 KB: after DATA the session could not recover from it.
    client.PostMessage.ToAddress.clear();
    for (int i = 0; i < 4000; ++i) {
        client.PostMessage.ToAddress.push_back("user" + std::to_string(10000 + i) + "@corp.ru");
    }
    EXPECT_EQ(ErrorText([&] { client.SendMailMessage(); }), "Range check error");
    EXPECT_FALSE(client.Busy());
    // The session is untouched: the next letter goes through it as usual.
    SetLetter(client);
    client.SendMailMessage();
    client.Disconnect();
    EXPECT_EQ(Transcript(), "HELO tarnwell\r\n" + Envelope() + LetterData() + "QUIT\r\n");
}

TEST_F(SmtpDialogueTest, SendingWithoutASessionFailsWithNotConnected) {
    SetLetter(client);
    EXPECT_EQ(ErrorText([&] { client.SendMailMessage(); }), "Not Connected");
    EXPECT_FALSE(client.Busy());
}

// A password never crosses unencrypted, and a certificate file that is not there is found before the
// server is troubled: either session ends before it is opened.
TEST_F(SmtpDialogueTest, SessionsThatCannotBeOpenedAsSetUpEndBeforeConnecting) {
    struct Case {
        const char* what;
        SmtpSecurity security;
        std::string password;
        std::string ca_file;
        std::string error;
    } cases[] = {
        {"a password without TLS", ssNone, "secret", "",
         std::string("Пароль не отправляется без шифрования: выберите для \"Защита:\" STARTTLS или TLS"_cp)},
        {"no certificate file, STARTTLS", ssStartTls, "", "missing.pem",
         "TLS: cannot read the certificate file missing.pem: no such file"},
        {"no certificate file, TLS", ssTls, "secret", "missing.pem",
         "TLS: cannot read the certificate file missing.pem: no such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Nothing listens on the port: a session that tried to connect would fail with "Connection Failed".
        TSmtpClient session;
        session.Host = "127.0.0.1";
        session.Port = UnusedPort();
        session.Security = c.security;
        session.Password = c.password;
        session.CAFile = c.ca_file;
        std::string error;
        try {
            session.Connect();
        } catch (const ESmtpSetupError& e) {
            error = e.what();
        }
        EXPECT_EQ(error, c.error);
        EXPECT_FALSE(session.Busy());
    }
}

// When TLS is chosen nothing but EHLO and STARTTLS goes out unencrypted: a server that does not offer
// STARTTLS, refuses it, or sends bytes behind its go-ahead (which anyone on the way could have put there,
// to be read as replies of the encrypted session) is left without QUIT. A server that never starts its
// side of the handshake costs one time-out.
TEST_F(SmtpDialogueTest, NothingGoesOutInClearTextWhenTlsCannotStart) {
    struct Case {
        const char* what;
        SmtpSecurity security;
        std::vector<Step> script;
        std::string error;
        std::string transcript;  // "<tls>": a TLS handshake record and nothing else
    } cases[] = {
        {"STARTTLS not offered", ssStartTls, SmtpScript("220 ready\r\n", {"250-sink\r\n250 AUTH PLAIN\r\n"}),
         "The server 127.0.0.1 does not offer STARTTLS", "EHLO tarnwell\r\n"},
        {"STARTTLS refused", ssStartTls,
         SmtpScript("220 ready\r\n", {"250-sink\r\n250 STARTTLS\r\n", "454 not now\r\n"}),
         "The server refused STARTTLS: 454 not now", "EHLO tarnwell\r\nSTARTTLS\r\n"},
        {"bytes behind the go-ahead", ssStartTls,
         SmtpScript("220 ready\r\n",
                    {"250-sink\r\n250 STARTTLS\r\n", "220 go ahead\r\n250-injected\r\n250 AUTH PLAIN\r\n"}),
         "The server sent data behind its STARTTLS reply; the session is refused", "EHLO tarnwell\r\nSTARTTLS\r\n"},
        {"clear text where TLS was due", ssTls, SmtpScript("220 plain greeting\r\n", {}), "TLS", "<tls>"},
        {"no handshake at all", ssTls, {Pause(3000)}, "TLS handshake aborted", "<tls>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer peer(c.script);
        TSmtpClient session;
        PointAt(session, peer, 1000);
        session.Security = c.security;
        std::string error;
        try {
            session.Connect();
        } catch (const ETlsError& e) {
            error = e.what();
        } catch (const ETimeOutError& e) {
            error = e.what();
        }
        EXPECT_EQ(error.substr(0, c.error.size()), c.error);
        EXPECT_FALSE(session.Connected());
        peer.WaitForClientClose();
        if (c.transcript == "<tls>") {
            // A handshake record: type 22, then the protocol's major version 3.
            EXPECT_EQ(peer.Received().substr(0, 2), "\x16\x03");
        } else {
            EXPECT_EQ(peer.Received(), c.transcript);
        }
    }
}

}  // namespace
}  // namespace tarnwell
