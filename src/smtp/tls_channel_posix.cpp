#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <climits>
#include <cstdint>

#include "smtp/sock_error.h"
#include "smtp/socket_api.h"
#include "smtp/tls_channel.h"

namespace tarnwell {
namespace {

// The library's reason for the last failure, or the fallback when it recorded none. The queue is
// emptied, so that a later call does not see this failure again.
std::string LibraryReason(const char* fallback) {
    unsigned long code = ERR_get_error();
    std::string reason = code != 0 && ERR_reason_error_string(code) != nullptr ? ERR_reason_error_string(code)
                                                                                : fallback;
    ERR_clear_error();
    return reason;
}

// The channel's bytes go through the session's own socket calls rather than OpenSSL's socket BIO: that one
// writes with write(), which raises SIGPIPE when the server has hung up and so ends the program without a
// word. socket_api::Send never raises it (MSG_NOSIGNAL); a write to a closed connection is then an
// error like any other.
int SocketWrite(BIO* bio, const char* data, int size) {
    BIO_clear_retry_flags(bio);
    int error = 0;
    const auto socket = static_cast<socket_api::Handle>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio)));
    long sent = socket_api::Send(socket, data, static_cast<std::size_t>(size), false, error);
    if (sent < 0 && error == socket_api::kWouldBlock) BIO_set_retry_write(bio);
    return static_cast<int>(sent);
}

int SocketRead(BIO* bio, char* buffer, int size) {
    BIO_clear_retry_flags(bio);
    int error = 0;
    const auto socket = static_cast<socket_api::Handle>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio)));
    long got = socket_api::Receive(socket, buffer, static_cast<std::size_t>(size), false, error);
    if (got < 0 && error == socket_api::kWouldBlock) BIO_set_retry_read(bio);
    return static_cast<int>(got);
}

long SocketControl(BIO*, int command, long, void*) {
    // Nothing is buffered here: a flush has nothing to do. Every other request is not supported.
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int SocketCreate(BIO* bio) {
    BIO_set_init(bio, 1);
    return 1;
}

const BIO_METHOD* SocketMethod() {
    static BIO_METHOD* const method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "tarnwell socket");
        if (m != nullptr) {
            BIO_meth_set_write(m, SocketWrite);
            BIO_meth_set_read(m, SocketRead);
            BIO_meth_set_ctrl(m, SocketControl);
            BIO_meth_set_create(m, SocketCreate);
        }
        return m;
    }();
    return method;
}

class OpenSslChannel : public TlsChannel {
public:
    OpenSslChannel(socket_api::Handle socket, const std::string& host_name, const std::string& ca_file)
        : context_(SSL_CTX_new(TLS_client_method())) {
        ERR_clear_error();
        if (!context_) throw ETlsError("TLS: cannot set up the library: " + LibraryReason("no context"));
        SSL_CTX* ctx = context_.get();
        SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
        SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
        if (SSL_CTX_set_default_verify_paths(ctx) != 1) ERR_clear_error();
        if (!ca_file.empty() && SSL_CTX_load_verify_locations(ctx, ca_file.c_str(), nullptr) != 1) {
            throw ETlsError("TLS: cannot read the certificate file " + ca_file + ": " + LibraryReason("unreadable"));
        }
        ssl_.reset(SSL_new(ctx));
        if (!ssl_) throw ETlsError("TLS: cannot set up the library: " + LibraryReason("no session"));
        SSL* ssl = ssl_.get();
        // A send may take part of the bytes, and a retried send may come from another address (the
        // session's buffer moves on as pieces go out).
        SSL_set_mode(ssl, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
        BIO* bio = SocketMethod() != nullptr ? BIO_new(SocketMethod()) : nullptr;
        if (bio == nullptr) throw ETlsError("TLS: cannot set up the library: " + LibraryReason("no socket BIO"));
        BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(socket)));
        // The session owns the BIO from here (for reading and writing alike).
        SSL_set_bio(ssl, bio, bio);
        const bool address = socket_api::DottedAddress(host_name).has_value();
        if (address) {
            X509_VERIFY_PARAM* param = SSL_get0_param(ssl);
            if (X509_VERIFY_PARAM_set1_ip_asc(param, host_name.c_str()) != 1)
                throw ETlsError("TLS: bad server address " + host_name);
        } else {
            // The name indication is for names only; the certificate's names must include this one.
            if (SSL_set_tlsext_host_name(ssl, host_name.c_str()) != 1 || SSL_set1_host(ssl, host_name.c_str()) != 1)
                throw ETlsError("TLS: bad server name " + host_name);
        }
    }

    Step Handshake() override {
        ERR_clear_error();
        int rc = SSL_connect(ssl_.get());
        if (rc == 1) return Step::Done;
        return Failed(rc, "TLS handshake failed");
    }

    Step Send(const char* data, std::size_t size, std::size_t& sent) override {
        sent = 0;
        ERR_clear_error();
        int rc = SSL_write(ssl_.get(), data, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
        if (rc > 0) {
            sent = static_cast<std::size_t>(rc);
            return Step::Done;
        }
        return Failed(rc, "TLS send failed");
    }

    Step Receive(char* buffer, std::size_t size, std::size_t& got) override {
        got = 0;
        ERR_clear_error();
        int rc = SSL_read(ssl_.get(), buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
        if (rc > 0) {
            got = static_cast<std::size_t>(rc);
            return Step::Done;
        }
        int error = SSL_get_error(ssl_.get(), rc);
        // The server's close notice, or the connection closed without one: either way nothing more comes.
        if (error == SSL_ERROR_ZERO_RETURN || (error == SSL_ERROR_SYSCALL && ERR_peek_error() == 0)) {
            ERR_clear_error();
            return Step::Done;
        }
        return Failed(rc, "TLS receive failed");
    }

private:
    Step Failed(int rc, const char* what) {
        int error = SSL_get_error(ssl_.get(), rc);
        if (error == SSL_ERROR_WANT_READ) return Step::WantRead;
        if (error == SSL_ERROR_WANT_WRITE) return Step::WantWrite;
        long verify = SSL_get_verify_result(ssl_.get());
        if (verify != X509_V_OK) {
            ERR_clear_error();
            throw ETlsError(std::string("TLS: the server's certificate did not verify: ") +
                            X509_verify_cert_error_string(verify));
        }
        if (error == SSL_ERROR_SYSCALL && ERR_peek_error() == 0) {
            throw ETlsError(std::string(what) + ": the connection was closed");
        }
        throw ETlsError(std::string(what) + ": " + LibraryReason("protocol error"));
    }

    struct ContextFree {
        void operator()(SSL_CTX* p) const { SSL_CTX_free(p); }
    };
    struct SslFree {
        void operator()(SSL* p) const { SSL_free(p); }
    };
    std::unique_ptr<SSL_CTX, ContextFree> context_;
    std::unique_ptr<SSL, SslFree> ssl_;
};

}  // namespace

std::unique_ptr<TlsChannel> OpenTlsChannel(socket_api::Handle socket, const std::string& host_name,
                                           const std::string& ca_file) {
    return std::make_unique<OpenSslChannel>(socket, host_name, ca_file);
}

}  // namespace tarnwell
