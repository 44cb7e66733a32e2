#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "smtp/event_pump.h"
#include "smtp/sock_error.h"
#include "smtp/socket_api.h"
#include "smtp/stream.h"
#include "smtp/tls_channel.h"

namespace tarnwell {

// A TCP client connection: one socket, one remote host and port, line-oriented command and reply
// exchanges, raw sends of a text or a whole stream, and an optional time-out on every wait.
//
// Every operation runs on the caller's (the window's) thread and blocks it until done, but every wait
// sleeps on the socket for at most 50 ms at a time and hands the window's pending events to the event
// pump between sleeps, so the window stays usable and the processor idle. Handlers run from the pump may
// call Abort or Cancel, which ends the wait in progress. A host name is looked up on a worker thread; its
// result is taken on the caller's thread.
//
// Progress is reported through OnStatus, filtered by ReportLevel: level 1 for every reply line, 4 for
// "Sending Buffer" and "Request Close Socket", 8 for the other status texts.
class TSocketSession {
public:
    static constexpr std::size_t kLineBufferSize = 65536;
    // The most bytes that Write and SendBuffer send in one call.
    static constexpr std::size_t kMaxWriteBytes = 65535;

    explicit TSocketSession(EventPump* pump = nullptr);
    virtual ~TSocketSession();
    TSocketSession(const TSocketSession&) = delete;
    TSocketSession& operator=(const TSocketSession&) = delete;

    // --- Properties --------------------------------------------------------------------------------
    std::string Host;  // a dotted IPv4 address or a host name
    int Port = 0;
    int TimeOut = 0;  // milliseconds for each wait; 0 (or less) means no time-out
    int ReportLevel = 0;

    // --- Events ------------------------------------------------------------------------------------
    // Exceptions of OnStatus and OnConnect are dropped; those of the other handlers reach the caller of
    // the operation that raised the event.
    std::function<void(TSocketSession&)> OnConnect;     // the connection is established
    std::function<void(TSocketSession&)> OnDisconnect;  // the socket has been closed
    // Host gave no address; the handler may correct Host and set handled to have it tried once more.
    std::function<void(bool& handled)> OnInvalidHost;
    std::function<void(TSocketSession&)> OnHostResolved;
    std::function<void(TSocketSession&, const std::string& status)> OnStatus;
    std::function<void(TSocketSession&)> OnConnectionFailed;  // connecting failed, timed out or was cancelled
    std::function<void(TSocketSession&)> OnPacketSent;        // one piece of a stream has gone out
    // An operation needs a connection that is not there; the handler may connect and set handled.
    std::function<void(bool& handled)> OnConnectionRequired;

    // --- Operations --------------------------------------------------------------------------------
    // Resolves Host, connects to Host:Port and waits for the outcome. ESockError "Already connected";
    // EConnectError "Null Remote Address", "Host Lookup Timed Out", "Host Lookup Canceled", "Connection
    // Timed out", "Connection Canceled", "Connection Failed", or a socket error refused at once.
    virtual void Connect();
    // Reports "Disconnecting" and closes the socket.
    virtual void Disconnect();
    // Sends the command and a line end, reads one reply line (LastReply) and takes its leading digits
    // as ReplyNumber (0 when there are none; ERangeError beyond 32767).
    virtual std::string Transaction(std::string_view command);
    // Reports "Abort" and cancels the wait in progress.
    virtual void Abort();
    void Cancel();
    // Raises ENotConnected unless connected; OnConnectionRequired has one chance to connect.
    void CheckConnection();
    // Fills the remote address from Host: at once for a dotted address, else by a name lookup.
    void ResolveHost();
    // Sends the text up to its first zero byte (ERangeError beyond 65535 bytes).
    void Write(std::string_view text);
    void Writeln(std::string_view text);
    // Reads one line, its line feed included, and not a byte more. The empty line when the peer has
    // closed the connection (the socket is then closed too). A line longer than the 65536-byte line
    // buffer comes in pieces of 65536 bytes, only the last of which ends with the line feed.
    // EAbortError "Socket readln aborted" on Abort or Cancel, ETimeOutError with that text on the time-out.
    std::string ReadLn();
    // Sends count bytes (0: up to the first zero byte; at most 65535). EAbortError "Socket send aborted"
    // on Abort or Cancel, ETimeOutError with that text on the time-out.
    void SendBuffer(const char* data, std::size_t count);
    // Sends the stream from its start to its end in pieces of at most 65536 bytes. The time-out applies
    // to each stretch in which the server takes nothing. Aborts as SendBuffer.
    void SendStream(TStream& stream);
    // "<number>:<text>" of the socket error table, "Unknown Error No. <n>", or empty for 0.
    std::string ErrorMessage(int error_no);
    // At least one received byte is waiting to be read.
    bool DataAvailable();
    // Closes the socket (OnDisconnect) and makes a fresh one for the next Connect.
    void CloseSocket();

    // --- State -------------------------------------------------------------------------------------
    // The session is established. A close by the peer that has not been noticed yet is taken up here
    // first (once nothing is left to read), as the socket's close notice would have been.
    bool Connected();
    bool Canceled() const { return canceled_; }
    bool TimedOut() const { return timed_out_; }
    int LastErrorNo() const { return last_error_no_; }
    const std::string& Status() const { return status_; }
    const std::string& LastReply() const { return last_reply_; }
    std::int16_t ReplyNumber() const { return reply_number_; }
    std::int64_t BytesSent() const { return bytes_sent_; }
    std::int64_t BytesTotal() const { return bytes_total_; }
    std::uint32_t RemoteAddress() const { return remote_address_; }  // IPv4, network byte order; 0 for none

protected:
    // While a span is open, every wait of the session ends at one time-out counted from the span's
    // opening, instead of each wait starting its own: a reply of many lines, each one arriving just before
    // the time-out, then holds the caller for one time-out and not for one a line. Spans nest; the
    // outermost counts.
    class TimeOutSpan {
    public:
        explicit TimeOutSpan(TSocketSession& session);
        ~TimeOutSpan();
        TimeOutSpan(const TimeOutSpan&) = delete;
        TimeOutSpan& operator=(const TimeOutSpan&) = delete;

    private:
        TSocketSession& session_;
    };

    void ReportStatus(int level, std::string_view text);
    // Raises ESockError with the wording of error_no unless it is `ignored` or not a socket error number
    // (10000 or below); otherwise returns the empty text. The number is kept in LastErrorNo.
    std::string SocketError(int ignored, int error_no);
    void StartTimer();
    void StopTimer();
    void TimerFired();
    // One step of every wait: sleeps on the socket until it is ready (or 50 ms, or the time-out is due),
    // then lets the time-out fire and the window handle its events.
    bool WaitSocket(socket_api::Readiness what);
    // How long one sleep of a wait may last: 50 ms, or less when the time-out is due sooner.
    std::chrono::milliseconds WaitSlice() const;
    void Pump();
    // The reply bookkeeping of Transaction: LastReply, its report at level 1, ReplyNumber (0 when the
    // line has no leading digits, or when take_number is false).
    void TakeReply(std::string line, bool take_number = true);
    void ClearCanceled() { canceled_ = false; }
    // While set, sends tell the system that more data follows at once, so that pieces written one after
    // the other (a message's header, body and closing dot) may travel together.
    void SetMoreFollows(bool more) { more_follows_ = more; }
    void SetLastReply(std::string line) { last_reply_ = std::move(line); }
    // Makes the connection a TLS one: the handshake runs under the time-out like every wait, and from
    // then on every send and read goes through the channel. ETlsError (the session closed) when the
    // server's certificate or name does not verify or the handshake fails; the waits' own errors
    // (ETimeOutError, EAbortError) as for a read.
    void StartTls(const std::string& host_name, const std::string& ca_file);
    bool TlsActive() const { return tls_ != nullptr; }

private:
    void OpenSocket(bool drop_on_close);
    // Ends a send or read that was cancelled: clears Canceled and raises ETimeOutError when the time-out
    // did it, EAbortError otherwise.
    [[noreturn]] void ThrowAborted(const char* text);
    // Sends all count bytes, sleeping on the socket while the system's buffer is full, until done or
    // cancelled. With `report_progress` each piece that goes out counts in BytesSent and is announced
    // through OnPacketSent. False when the system took nothing at all (the connection is gone).
    bool SendAll(const char* data, std::size_t count, bool report_progress);
    // ReadLn over TLS: the same line rules, over the decrypted bytes kept in tls_input_.
    std::string ReadTlsLine();
    // Sleeps on the socket for what the channel waits for.
    void WaitTls(TlsChannel::Step step);
    // A channel failure leaves the stream unusable: the socket is closed before the failure goes on.
    [[noreturn]] void DropTls();
    void InitWinsock();
    bool AddressHeld() const { return remote_address_ != 0; }

    EventPump* pump_;
    socket_api::Handle socket_ = socket_api::kNoSocket;
    bool library_started_ = false;
    bool connect_tried_ = false;  // the socket has been used for a connect and cannot be used again
    bool connected_ = false;
    bool canceled_ = false;
    bool timed_out_ = false;
    bool closing_ = false;  // being destroyed: no events, no fresh socket
    bool timer_armed_ = false;
    bool more_follows_ = false;
    std::chrono::steady_clock::time_point timer_due_;
    int span_depth_ = 0;
    std::chrono::steady_clock::time_point span_due_;  // the open span's time-out
    int last_error_no_ = 0;
    std::string status_;
    std::string last_reply_;
    std::int16_t reply_number_ = 0;
    std::int64_t bytes_sent_ = 0;
    std::int64_t bytes_total_ = 0;
    std::uint32_t remote_address_ = 0;
    std::vector<char> line_buffer_;
    std::unique_ptr<TlsChannel> tls_;
    // Bytes decrypted but not yet handed out by ReadLn (the channel cannot be peeked like a socket).
    std::string tls_input_;
};

}  // namespace tarnwell
