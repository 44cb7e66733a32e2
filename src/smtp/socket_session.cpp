#include "smtp/socket_session.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "smtp/host_lookup.h"
#include "smtp/socket_error_text.h"

namespace tarnwell {
namespace {

using socket_api::kNotConnected;
using socket_api::kWouldBlock;
using socket_api::Readiness;

// The longest single sleep of a wait: the window's events are handled at least this often.
constexpr std::chrono::milliseconds kWaitSlice{50};

// Runs its action however the scope ends: the time-out is disarmed on every way out of an operation.
template <class Action>
class ScopeExit {
public:
    explicit ScopeExit(Action action) : action_(std::move(action)) {}
    ~ScopeExit() { action_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Action action_;
};

}  // namespace

TSocketSession::TSocketSession(EventPump* pump) : pump_(pump), line_buffer_(kLineBufferSize + 4) {
    ReportStatus(8, "Create");
    InitWinsock();
}

TSocketSession::~TSocketSession() {
    closing_ = true;
    ReportStatus(8, "Destroy");
    try {
        CloseSocket();
    } catch (...) {
        // Nothing can be reported from here; the handle is released either way.
    }
    if (library_started_) socket_api::StopLibrary();
}

void TSocketSession::InitWinsock() {
    ReportStatus(8, "Initializing Winsock");
    int error = 0;
    if (!socket_api::StartLibrary(error)) {
        last_error_no_ = error;
        throw ESockError("Initializaton of windows sockets failed");
    }
    library_started_ = true;
    // Only the first socket drops its connection at once on close; the fresh ones made after a close
    // close normally.
    socket_ = socket_api::OpenTcp(true, error);
    if (socket_ == socket_api::kNoSocket) {
        last_error_no_ = error;
        socket_api::StopLibrary();
        library_started_ = false;
        throw ESockError("Initializaton of windows sockets failed");
    }
}

void TSocketSession::OpenSocket(bool drop_on_close) {
    int error = 0;
    socket_ = socket_api::OpenTcp(drop_on_close, error);
    connect_tried_ = false;
    if (socket_ == socket_api::kNoSocket) SocketError(kWouldBlock, error);
}

void TSocketSession::ReportStatus(int level, std::string_view text) {
    if (ReportLevel < level) return;
    status_ = std::string(text);
    if (closing_ || !OnStatus) return;
    try {
        OnStatus(*this, status_);
    } catch (...) {
        // A status display must never end the operation it reports on.
    }
}

std::string TSocketSession::ErrorMessage(int error_no) {
    ReportStatus(8, "Looking Up Error Message");
    return SocketErrorText(error_no);
}

std::string TSocketSession::SocketError(int ignored, int error_no) {
    last_error_no_ = error_no;
    if (error_no != ignored && error_no > 10000) throw ESockError(ErrorMessage(error_no));
    return {};
}

// --- Time-out and waits --------------------------------------------------------------------------

void TSocketSession::StartTimer() {
    ReportStatus(8, "Timer On");
    timed_out_ = false;
    timer_armed_ = TimeOut > 0;
    if (!timer_armed_) return;
    timer_due_ = span_depth_ > 0 ? span_due_ : std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeOut);
}

TSocketSession::TimeOutSpan::TimeOutSpan(TSocketSession& session) : session_(session) {
    if (session_.span_depth_++ == 0) {
        session_.span_due_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(session_.TimeOut);
    }
}

TSocketSession::TimeOutSpan::~TimeOutSpan() {
    --session_.span_depth_;
}

void TSocketSession::StopTimer() {
    ReportStatus(8, "Timer Off");
    timer_armed_ = false;
}

// The time-out counts as a cancel as well, so every wait ends on it; ResolveHost and Connect look at
// TimedOut first and report a time-out, ReadLn and the sends report an abort.
void TSocketSession::TimerFired() {
    ReportStatus(8, "Timer Triggered");
    StopTimer();
    timed_out_ = true;
    Abort();
}

void TSocketSession::Pump() {
    if (timer_armed_ && std::chrono::steady_clock::now() >= timer_due_) TimerFired();
    if (pump_) pump_->ProcessMessages();
}

std::chrono::milliseconds TSocketSession::WaitSlice() const {
    if (!timer_armed_) return kWaitSlice;
    // Rounded up, so that the last sleep before the time-out does not end a little early and spin.
    auto left = std::chrono::ceil<std::chrono::milliseconds>(timer_due_ - std::chrono::steady_clock::now());
    return std::clamp(left, std::chrono::milliseconds(0), kWaitSlice);
}

bool TSocketSession::WaitSocket(Readiness what) {
    int error = 0;
    auto result = socket_api::WaitFor(socket_, what, static_cast<int>(WaitSlice().count()), error);
    if (result == socket_api::WaitResult::Failed) SocketError(0, error);
    if (result == socket_api::WaitResult::Ready) return true;
    Pump();
    return false;
}

// --- Connecting ----------------------------------------------------------------------------------

void TSocketSession::ResolveHost() {
    ReportStatus(8, "Resolve Host");
    if (auto address = socket_api::DottedAddress(Host)) {
        remote_address_ = *address;
        return;
    }
    remote_address_ = 0;
    StartTimer();
    ScopeExit stop_timer([this] { StopTimer(); });
    HostLookup lookup(Host);
    bool finished = false;
    while (!finished && !timed_out_ && !canceled_) {
        finished = lookup.WaitFinished(WaitSlice());
        if (!finished) Pump();
    }
    if (timed_out_) throw EConnectError("Host Lookup Timed Out");
    if (canceled_) throw EConnectError("Host Lookup Canceled");
    if (!lookup.Address()) {
        last_error_no_ = lookup.ErrorNo();
        throw EHostLookupFailed("Host Lookup Failed");
    }
    remote_address_ = *lookup.Address();
    if (OnHostResolved) OnHostResolved(*this);
}

void TSocketSession::Connect() {
    ReportStatus(8, "Connecting");
    canceled_ = false;
    if (Connected()) throw ESockError("Already connected");
    // A port outside 16 bits would be cut to another one (65561 would reach port 25): refuse it.
    if (Port < 0 || Port > 65535) throw ESockError("Invalid port " + std::to_string(Port));

    // A name that gives no address has one chance of repair through OnInvalidHost. Only a lookup that
    // timed out or was cancelled is reported as such; a failed one ends as "Null Remote Address".
    for (int repairs = 0;; ++repairs) {
        try {
            ResolveHost();
        } catch (const EHostLookupFailed&) {
        }
        if (AddressHeld()) break;
        if (repairs > 0 || !OnInvalidHost) throw EConnectError("Null Remote Address");
        bool handled = false;
        OnInvalidHost(handled);
        if (!handled) throw EConnectError("Null Remote Address");
    }

    // A socket that has been through a connect attempt cannot be connected again on every system, so
    // each attempt after the first gets a fresh one.
    if (socket_ == socket_api::kNoSocket || connect_tried_) {
        if (socket_ != socket_api::kNoSocket) {
            int ignored = 0;
            socket_api::Close(socket_, ignored);
            socket_ = socket_api::kNoSocket;
        }
        OpenSocket(false);
    }
    connect_tried_ = true;
    int error = 0;
    auto notify_connected = [this] {
        connected_ = true;
        if (!OnConnect) return;
        try {
            OnConnect(*this);
        } catch (...) {
            // Raised inside the connect notice, which drops every failure.
        }
    };
    if (socket_api::Connect(socket_, remote_address_, static_cast<std::uint16_t>(Port), error) == 0) {
        notify_connected();
    } else if (error != kWouldBlock) {
        // Refused at once (no route to the network, ...): a failure to connect like the others.
        last_error_no_ = error;
        throw EConnectError(ErrorMessage(error));
    }

    StartTimer();
    {
        ScopeExit stop_timer([this] { StopTimer(); });
        bool refused = false;
        while (!connected_ && !refused && !timed_out_ && !canceled_) {
            if (!WaitSocket(Readiness::Write)) continue;
            int result = socket_api::ConnectResult(socket_);
            if (result == 0) {
                notify_connected();
            } else {
                refused = true;
                last_error_no_ = result;
            }
        }
    }
    if (connected_) return;
    if (OnConnectionFailed) OnConnectionFailed(*this);
    if (timed_out_) throw EConnectError("Connection Timed out");
    if (canceled_) throw EConnectError("Connection Canceled");
    throw EConnectError("Connection Failed");
}

void TSocketSession::Disconnect() {
    ReportStatus(8, "Disconnecting");
    CloseSocket();
}

void TSocketSession::CloseSocket() {
    ReportStatus(4, "Request Close Socket");
    connected_ = false;
    // The channel does not own the socket; it goes first, with whatever it had decrypted.
    tls_.reset();
    tls_input_.clear();
    if (socket_ == socket_api::kNoSocket) return;
    int error = 0;
    bool closed = socket_api::Close(socket_, error);
    // The handle is gone even when the system reports a failure; it must not be closed twice.
    socket_ = socket_api::kNoSocket;
    if (!closed) SocketError(kWouldBlock, error);
    if (!closing_ && OnDisconnect) OnDisconnect(*this);
    if (!closing_) OpenSocket(false);
}

bool TSocketSession::Connected() {
    if (!connected_) return false;
    // What the platform's close notice would do: a connection the peer has closed, with nothing left to
    // read, is closed here too.
    char byte = 0;
    int error = 0;
    long n = socket_api::Receive(socket_, &byte, 1, true, error);
    if (n == 0 || (n < 0 && error != kWouldBlock)) CloseSocket();
    return connected_;
}

void TSocketSession::CheckConnection() {
    ReportStatus(8, "Checking Connection");
    bool asked = false;
    while (!Connected()) {
        if (asked || !OnConnectionRequired) throw ENotConnected();
        bool handled = false;
        OnConnectionRequired(handled);
        asked = true;
        if (!handled) throw ENotConnected();
    }
}

void TSocketSession::Abort() {
    ReportStatus(8, "Abort");
    Cancel();
}

void TSocketSession::Cancel() {
    ReportStatus(8, "Canceling");
    canceled_ = true;
}

bool TSocketSession::DataAvailable() {
    ReportStatus(8, "Data Available");
    if (!tls_input_.empty()) return true;
    char byte = 0;
    int error = 0;
    return socket_api::Receive(socket_, &byte, 1, true, error) > 0;
}

// --- Sending -------------------------------------------------------------------------------------

void TSocketSession::Write(std::string_view text) {
    ReportStatus(8, "Write");
    std::size_t n = std::min(text.size(), kLineBufferSize);
    std::memcpy(line_buffer_.data(), text.data(), n);
    line_buffer_[n] = '\0';
    SendBuffer(line_buffer_.data(), 0);
}

void TSocketSession::Writeln(std::string_view text) {
    ReportStatus(8, "Writeln");
    std::string line(text);
    line += "\r\n";
    Write(line);
}

bool TSocketSession::SendAll(const char* data, std::size_t count, bool report_progress) {
    while (count > 0 && !canceled_) {
        int error = 0;
        long n = 0;
        if (tls_) {
            std::size_t sent = 0;
            TlsChannel::Step step = TlsChannel::Step::Done;
            try {
                step = tls_->Send(data, count, sent);
            } catch (const ETlsError&) {
                DropTls();
            }
            if (step != TlsChannel::Step::Done) {
                WaitTls(step);
                continue;
            }
            n = static_cast<long>(sent);
        } else {
            n = socket_api::Send(socket_, data, count, more_follows_, error);
        }
        if (n == 0) return false;
        if (n < 0) {
            // Would block: the system's send buffer is full. Sleep until it has room.
            SocketError(kWouldBlock, error);
            WaitSocket(Readiness::Write);
            continue;
        }
        data += n;
        count -= static_cast<std::size_t>(n);
        if (report_progress) {
            bytes_sent_ += n;
            if (OnPacketSent) OnPacketSent(*this);
            Pump();
        }
    }
    return true;
}

void TSocketSession::SendBuffer(const char* data, std::size_t count) {
    ReportStatus(4, "Sending Buffer");
    StartTimer();
    {
        ScopeExit stop_timer([this] { StopTimer(); });
        if (!canceled_) {
            if (count == 0) count = std::strlen(data);
            if (count > kMaxWriteBytes) throw ERangeError();
            SendAll(data, count, false);
        }
    }
    if (canceled_) ThrowAborted("Socket send aborted");
}

void TSocketSession::SendStream(TStream& stream) {
    ReportStatus(8, "SendStream");
    stream.SetPosition(0);
    if (!canceled_) {
        bytes_sent_ = 0;
        bytes_total_ = stream.Size();
        while (stream.Position() < bytes_total_ && !canceled_) {
            std::size_t piece = stream.Read(line_buffer_.data(), kLineBufferSize);
            if (piece == 0) break;
            // The time-out covers each piece, so a server that stops taking data cannot hold the
            // caller for ever, while a long stream over a slow line still goes through.
            StartTimer();
            ScopeExit stop_timer([this] { StopTimer(); });
            if (!SendAll(line_buffer_.data(), piece, true)) return;
        }
    }
    if (canceled_) ThrowAborted("Socket send aborted");
}

// --- Reading -------------------------------------------------------------------------------------

std::string TSocketSession::ReadLn() {
    ReportStatus(8, "ReadLn");
    StartTimer();
    ScopeExit stop_timer([this] { StopTimer(); });
    if (tls_) return ReadTlsLine();
    std::string line;
    char* buffer = line_buffer_.data();
    std::size_t take = 0;  // bytes up to and including the line feed, once one is pending
    for (;;) {
        // Only what fits beside the line so far is looked at, so the line never outgrows the buffer;
        // a longer line is handed out in buffer-sized pieces.
        std::size_t room = kLineBufferSize - line.size();
        // On a connection the reply is rarely there the moment the command has gone, so the wait comes
        // first; it returns at once when something is pending.
        if (connected_ && !WaitSocket(Readiness::Read)) {
            if (canceled_) break;
            continue;
        }
        int error = 0;
        long n = socket_api::Receive(socket_, buffer, room, true, error);
        if (n == 0) {
            // The peer has closed the connection and nothing is left to read.
            CloseSocket();
            return {};
        }
        if (n < 0) {
            last_error_no_ = error;
            if (error == kNotConnected) break;
            SocketError(kWouldBlock, error);
            if (!connected_) WaitSocket(Readiness::Read);
            if (canceled_) break;
            continue;
        }
        if (const void* lf = std::memchr(buffer, '\n', static_cast<std::size_t>(n))) {
            take = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer) + 1;
            break;
        }
        long got = socket_api::Receive(socket_, buffer, static_cast<std::size_t>(n), false, error);
        if (got < 0) SocketError(0, error);
        line.append(buffer, static_cast<std::size_t>(got));
        if (line.size() == kLineBufferSize) break;
        Pump();
        if (canceled_) break;
    }
    if (canceled_) ThrowAborted("Socket readln aborted");
    if (take > 0) {
        int error = 0;
        long got = socket_api::Receive(socket_, buffer, take, false, error);
        if (got < 0) SocketError(0, error);
        line.append(buffer, static_cast<std::size_t>(got));
    }
    return line;
}

std::string TSocketSession::ReadTlsLine() {
    for (;;) {
        // The same pieces as without TLS: up to and including the line feed, or a full line buffer.
        std::size_t lf = tls_input_.find('\n');
        std::size_t take = lf != std::string::npos && lf < kLineBufferSize ? lf + 1
                           : tls_input_.size() >= kLineBufferSize       ? kLineBufferSize
                                                                         : 0;
        if (take > 0) {
            std::string line = tls_input_.substr(0, take);
            tls_input_.erase(0, take);
            return line;
        }
        if (canceled_) ThrowAborted("Socket readln aborted");
        std::size_t got = 0;
        TlsChannel::Step step = TlsChannel::Step::Done;
        try {
            step = tls_->Receive(line_buffer_.data(), kLineBufferSize, got);
        } catch (const ETlsError&) {
            DropTls();
        }
        if (step != TlsChannel::Step::Done) {
            WaitTls(step);
            continue;
        }
        if (got == 0) {
            // The server has closed the connection; a piece of a line without its end is no reply.
            CloseSocket();
            return {};
        }
        tls_input_.append(line_buffer_.data(), got);
        Pump();
    }
}

void TSocketSession::WaitTls(TlsChannel::Step step) {
    WaitSocket(step == TlsChannel::Step::WantWrite ? Readiness::Write : Readiness::Read);
}

void TSocketSession::DropTls() {
    try {
        CloseSocket();
    } catch (...) {
        // The channel's failure is the one to report.
    }
    throw;
}

void TSocketSession::StartTls(const std::string& host_name, const std::string& ca_file) {
    ReportStatus(8, "Start TLS");
    try {
        tls_ = OpenTlsChannel(socket_, host_name, ca_file);
        tls_input_.clear();
        StartTimer();
        ScopeExit stop_timer([this] { StopTimer(); });
        for (;;) {
            TlsChannel::Step step = tls_->Handshake();
            if (step == TlsChannel::Step::Done) break;
            if (canceled_) ThrowAborted("TLS handshake aborted");
            WaitTls(step);
        }
    } catch (...) {
        // Half a handshake leaves nothing the server and this side could go on with.
        try {
            CloseSocket();
        } catch (...) {
        }
        throw;
    }
}

void TSocketSession::ThrowAborted(const char* text) {
    canceled_ = false;
    if (timed_out_) throw ETimeOutError(text);
    throw EAbortError(text);
}

void TSocketSession::TakeReply(std::string line, bool take_number) {
    last_reply_ = std::move(line);
    reply_number_ = 0;
    if (last_reply_.empty()) return;
    ReportStatus(1, last_reply_);
    if (!take_number) return;
    std::int64_t value = 0;
    std::size_t digits = 0;
    while (digits < last_reply_.size() && digits < 10 && last_reply_[digits] >= '0' && last_reply_[digits] <= '9')
        value = value * 10 + (last_reply_[digits++] - '0');
    if (digits == 0) return;
    if (value > 32767) throw ERangeError();
    reply_number_ = static_cast<std::int16_t>(value);
}

std::string TSocketSession::Transaction(std::string_view command) {
    ReportStatus(8, "Transaction");
    reply_number_ = 0;
    Writeln(command);
    TakeReply(ReadLn());
    return last_reply_;
}

}  // namespace tarnwell
