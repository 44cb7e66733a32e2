#include "smtp/socket_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>

#include "scripted_server.h"

namespace tarnwell {
namespace {

using namespace testing;
using Clock = std::chrono::steady_clock;

// Counts the calls of the window's event pump and runs an optional action on each.
struct CountingPump : EventPump {
    int calls = 0;
    std::function<void(int)> action;
    void ProcessMessages() override {
        ++calls;
        if (action) action(calls);
    }
};

class SocketSessionTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (server) server->Stop();
    }

    // Starts the scripted peer and connects the session to it.
    void ConnectTo(std::vector<Step> script) {
        server = std::make_unique<ScriptedServer>(std::move(script));
        session.Host = "127.0.0.1";
        session.Port = server->Port();
        session.Connect();
        ASSERT_TRUE(session.Connected());
    }

    CountingPump pump;
    TSocketSession session{&pump};
    std::unique_ptr<ScriptedServer> server;
};

TEST_F(SocketSessionTest, ReadLnReturnsExactlyOneLineWithItsLineEnd) {
    ConnectTo({Send("250 hel"), Pause(150), Send("lo\r\n"),  // one line in two pieces
               Send("251 a\r\n252 b\r\n"),                   // two lines at once
               Send("no line end, then close"), Close()});
    EXPECT_EQ(session.ReadLn(), "250 hello\r\n");
    EXPECT_GT(pump.calls, 0) << "the wait for the second piece handles window events";
    EXPECT_EQ(session.ReadLn(), "251 a\r\n");
    EXPECT_EQ(session.ReadLn(), "252 b\r\n");
    // The peer closes: the empty line, and the session is closed.
    EXPECT_EQ(session.ReadLn(), "");
    EXPECT_FALSE(session.Connected());
}

TEST_F(SocketSessionTest, ALineLongerThanTheBufferComesInPiecesAndNothingIsLost) {
    const std::string long_line = std::string(150000, 'x') + "\r\n";
    ConnectTo({Send(long_line + "250 next\r\n")});
    std::string first = session.ReadLn();
    std::string second = session.ReadLn();
    std::string third = session.ReadLn();
    EXPECT_EQ(first.size(), TSocketSession::kLineBufferSize);
    EXPECT_EQ(second.size(), TSocketSession::kLineBufferSize);
    EXPECT_EQ(first + second + third, long_line);
    EXPECT_EQ(session.ReadLn(), "250 next\r\n");
}

TEST_F(SocketSessionTest, TransactionTakesTheReplyNumberFromTheLeadingDigits) {
    ConnectTo({ReadLine(), Send("250 ok\r\n"), ReadLine(), Send("Hello\r\n"), ReadLine(), Send("354-go on\r\n"),
               ReadLine(), Send("99999 too big\r\n"), ReadLine(), Close()});
    EXPECT_EQ(session.Transaction("NOOP"), "250 ok\r\n");
    EXPECT_EQ(session.ReplyNumber(), 250);
    EXPECT_EQ(session.Transaction("A"), "Hello\r\n");
    EXPECT_EQ(session.ReplyNumber(), 0);
    session.Transaction("B");
    EXPECT_EQ(session.ReplyNumber(), 354);
    EXPECT_THROW(session.Transaction("C"), ERangeError);
    EXPECT_EQ(session.Transaction("D"), "");
    EXPECT_EQ(session.ReplyNumber(), 0);
    server->WaitForClientClose();
    EXPECT_EQ(server->Received(), "NOOP\r\nA\r\nB\r\nC\r\nD\r\n");
}

// The session's first socket resets the connection when it closes, dropping whatever the peer has not
// taken yet; the peers here answer first, as an SMTP server does, before the session closes.
TEST_F(SocketSessionTest, WriteSendsUpToTheFirstZeroByteAndRefusesOverlongTexts) {
    ConnectTo({ReadLine(), Send("250 ok\r\n")});
    session.Write(std::string("ab\0cd", 5));
    EXPECT_THROW(session.Write(std::string(65536, 'x')), ERangeError);
    session.Writeln("EF");
    EXPECT_EQ(session.ReadLn(), "250 ok\r\n");
    session.Disconnect();
    server->WaitForClientClose();
    EXPECT_EQ(server->Received(), "abEF\r\n");
}

TEST_F(SocketSessionTest, SendStreamSendsTheWholeStreamFromItsStart) {
    ConnectTo({ReadLine(), Send("250 ok\r\n")});
    MemoryStream stream;
    std::string data;
    for (int i = 0; i < 200000; ++i) data += static_cast<char>('a' + i % 26);
    data += "\r\n";
    stream.WriteBuffer(data);  // position at the end: SendStream rewinds
    int packets = 0;
    session.OnPacketSent = [&](TSocketSession&) { ++packets; };
    session.SendStream(stream);
    EXPECT_EQ(session.BytesSent(), 200002);
    EXPECT_EQ(session.BytesTotal(), 200002);
    EXPECT_GE(packets, 4) << "pieces of at most 65536 bytes";
    EXPECT_EQ(session.ReadLn(), "250 ok\r\n");
    session.Disconnect();
    server->WaitForClientClose();
    EXPECT_EQ(server->Received(), data);
}

TEST_F(SocketSessionTest, ATimeOutEndsAReadAsAnAbortAndLeavesTheConnectionOpen) {
    ConnectTo({Pause(1500), Send("250 late\r\n")});
    session.TimeOut = 300;
    auto start = Clock::now();
    try {
        session.ReadLn();
        FAIL() << "no time-out";
    } catch (const ETimeOutError& e) {
        EXPECT_STREQ(e.what(), "Socket readln aborted");
    }
    auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(280));
    EXPECT_LT(waited, std::chrono::milliseconds(1200));
    EXPECT_TRUE(session.TimedOut());
    EXPECT_FALSE(session.Canceled());
    session.TimeOut = 0;
    EXPECT_EQ(session.ReadLn(), "250 late\r\n");
}

TEST_F(SocketSessionTest, AnAbortFromAWindowEventEndsTheWait) {
    ConnectTo({Pause(400), Send("250 ok\r\n")});
    pump.action = [&](int calls) {
        if (calls == 2) session.Abort();
    };
    try {
        session.ReadLn();
        FAIL() << "no abort";
    } catch (const ETimeOutError&) {
        FAIL() << "an abort taken for a time-out";
    } catch (const EAbortError& e) {
        EXPECT_STREQ(e.what(), "Socket readln aborted");
    }
    EXPECT_FALSE(session.TimedOut());
    pump.action = nullptr;
    EXPECT_EQ(session.ReadLn(), "250 ok\r\n");
}

TEST_F(SocketSessionTest, StatusTextsAreFilteredByReportLevel) {
    ConnectTo({ReadLine(), Send("250 one\r\n"), ReadLine(), Send("250 two\r\n"), ReadLine(), Send("250 three\r\n")});
    std::vector<std::string> seen;
    session.OnStatus = [&](TSocketSession&, const std::string& status) {
        seen.push_back(status);
        throw Error("a failing status display must not end the operation");
    };
    session.ReportLevel = 0;
    session.Transaction("A");
    EXPECT_TRUE(seen.empty());
    session.ReportLevel = 1;
    session.Transaction("B");
    EXPECT_EQ(seen, std::vector<std::string>{"250 two\r\n"});
    seen.clear();
    session.ReportLevel = 8;
    session.Transaction("C");
    std::vector<std::string> expected{"Transaction", "Writeln",   "Write",  "Sending Buffer",
                                      "Timer On",    "Timer Off", "ReadLn", "Timer On"};
    ASSERT_GE(seen.size(), expected.size() + 2);
    EXPECT_EQ(std::vector<std::string>(seen.begin(), seen.begin() + 8), expected);
    EXPECT_EQ(seen[seen.size() - 2], "Timer Off");
    EXPECT_EQ(seen.back(), "250 three\r\n");
}

TEST_F(SocketSessionTest, ConnectFailuresAndRepairs) {
    // A second Connect on a connected session.
    ConnectTo({});
    EXPECT_THROW(
        {
            try {
                session.Connect();
            } catch (const ESockError& e) {
                EXPECT_STREQ(e.what(), "Already connected");
                throw;
            }
        },
        ESockError);
    session.Disconnect();
    EXPECT_FALSE(session.Connected());

    // Nobody listening: the failure is reported through OnConnectionFailed, then raised.
    int failures = 0;
    session.OnConnectionFailed = [&](TSocketSession&) { ++failures; };
    session.Port = UnusedPort();
    try {
        session.Connect();
        FAIL() << "connected to a closed port";
    } catch (const ESockError& e) {
        EXPECT_STREQ(e.what(), "Connection Failed");
    }
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(session.LastErrorNo(), 10061);

    // A port beyond 16 bits is refused rather than cut to another port.
    for (int port : {65536 + 25, -1}) {
        session.Port = port;
        try {
            session.Connect();
            FAIL() << "connected to port " << port;
        } catch (const ESockError& e) {
            EXPECT_EQ(std::string(e.what()), "Invalid port " + std::to_string(port));
        }
    }
    session.Port = UnusedPort();

    // A name without an address, unrepaired and then repaired through OnInvalidHost.
    session.Host = "no-such-host.invalid";
    session.TimeOut = 20000;
    try {
        session.Connect();
        FAIL() << "resolved an invalid name";
    } catch (const ESockError& e) {
        EXPECT_STREQ(e.what(), "Null Remote Address");
    }
    ScriptedServer other({});
    session.Port = other.Port();
    int asked = 0;
    session.OnInvalidHost = [&](bool& handled) {
        ++asked;
        session.Host = "127.0.0.1";
        handled = true;
    };
    session.Connect();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(session.Connected());
    session.Disconnect();
}

TEST_F(SocketSessionTest, AHostNameIsLookedUpAndADottedAddressIsNot) {
    server = std::make_unique<ScriptedServer>(std::vector<Step>{});
    int resolved = 0;
    int connected = 0;
    session.OnHostResolved = [&](TSocketSession&) { ++resolved; };
    session.OnConnect = [&](TSocketSession&) { ++connected; };
    session.Host = "localhost";
    session.Port = server->Port();
    session.TimeOut = 20000;
    session.Connect();
    EXPECT_EQ(resolved, 1);
    EXPECT_EQ(connected, 1);
    std::uint32_t address = session.RemoteAddress();
    unsigned char bytes[4];
    std::memcpy(bytes, &address, 4);  // network byte order
    EXPECT_EQ(bytes[0], 127);
    EXPECT_EQ(bytes[3], 1);
    session.Disconnect();

    ScriptedServer second({});
    session.Host = "127.0.0.1";
    session.Port = second.Port();
    session.Connect();
    EXPECT_EQ(resolved, 1) << "no lookup for a dotted address";
    EXPECT_EQ(connected, 2);
}

TEST_F(SocketSessionTest, ConnectTimesOutOnAHostThatNeverAnswers) {
    // A listener whose queue is full drops further connection requests without a word.
    server = std::make_unique<ScriptedServer>(std::vector<Step>{Pause(10000)});
    TSocketSession filler;
    filler.Host = "127.0.0.1";
    filler.Port = server->Port();
    filler.Connect();  // accepted by the script
    std::vector<std::unique_ptr<TSocketSession>> queued;
    session.Host = "127.0.0.1";
    session.Port = server->Port();
    session.TimeOut = 400;
    // Fill the listener's backlog, then the next attempt hangs.
    for (int i = 0; i < 8; ++i) {
        auto extra = std::make_unique<TSocketSession>();
        extra->Host = "127.0.0.1";
        extra->Port = server->Port();
        extra->TimeOut = 400;
        try {
            extra->Connect();
        } catch (const ESockError& e) {
            EXPECT_STREQ(e.what(), "Connection Timed out");
            EXPECT_TRUE(extra->TimedOut());
            return;
        }
        queued.push_back(std::move(extra));
    }
    GTEST_SKIP() << "the system queued every connection request";
}

TEST(SocketErrorText, WordsNumbersAsNumberColonText) {
    TSocketSession session;
    struct Case {
        int number;
        const char* text;
    } cases[] = {
        {10060, "10060:Connection timed out"},
        {10061, "10061:Connection refused"},
        {11004, "11004:Valid name, no data record of requested type"},
        {12345, "Unknown Error No. 12345"},
        {0, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(session.ErrorMessage(c.number), c.text) << c.number;
}

}  // namespace
}  // namespace tarnwell
