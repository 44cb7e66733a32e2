// TLS through Schannel (SSPI): the system's own library, so the executable needs no DLL of its own. The
// server's certificate is checked here rather than by Schannel, so that the optional CA file can add
// trusted roots: the chain is built with those roots beside the server's own certificates, and the SSL
// policy then checks chain and name.

#include <winsock2.h>
#define SECURITY_WIN32
#include <windows.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "smtp/sock_error.h"
#include "smtp/socket_api.h"
#include "smtp/socket_error_text.h"
#include "smtp/tls_channel.h"
#include "text/win32_text.h"

namespace tarnwell {
namespace {

// No certificate file of trusted roots is anywhere near this size; a bigger one is not read.
constexpr std::size_t kMaxCaFileBytes = 4 * 1024 * 1024;
// One TLS record is at most 16 KiB plus its overhead; more buffered input without a whole record is no TLS.
constexpr std::size_t kMaxPendingInput = 64 * 1024;
// SECURITY_FLAG_IGNORE_CERT_CN_INVALID of <wininet.h>: the SSL policy leaves the name to the caller.
constexpr DWORD kPolicyIgnoresName = 0x00001000;

std::string StatusText(SECURITY_STATUS status) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(status));
    return hex;
}

std::string CertificateError(DWORD error) {
    switch (error) {
        case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
            return "self-signed or untrusted root certificate";
        case static_cast<DWORD>(CERT_E_CHAINING):
            return "unable to get the issuer certificate";
        case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
            return "the certificate is not for this host";
        case static_cast<DWORD>(CERT_E_EXPIRED):
            return "certificate has expired or is not yet valid";
        case static_cast<DWORD>(CERT_E_WRONG_USAGE):
            return "certificate not meant for a server";
        default:
            return "error " + StatusText(static_cast<SECURITY_STATUS>(error));
    }
}

[[noreturn]] void NotVerified(const std::string& reason) {
    throw ETlsError("TLS: the server's certificate did not verify: " + reason);
}

// The whole file, or ETlsError.
std::string ReadCaFile(const std::string& path) {
    UniqueHandle file(CreateFileW(Cp1251ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) throw ETlsError("TLS: cannot read the certificate file " + path);
    std::string bytes;
    char buffer[16384];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
        if (bytes.size() > kMaxCaFileBytes) throw ETlsError("TLS: the certificate file " + path + " is too large");
    }
    return bytes;
}

// A memory store with every PEM certificate of the file; ETlsError when it holds none.
HCERTSTORE LoadCaStore(const std::string& path) {
    const std::string pem = ReadCaFile(path);
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr);
    if (store == nullptr) throw ETlsError("TLS: cannot make a certificate store");
    static const std::string kBegin = "-----BEGIN CERTIFICATE-----";
    static const std::string kEnd = "-----END CERTIFICATE-----";
    int added = 0;
    for (std::size_t at = pem.find(kBegin); at != std::string::npos; at = pem.find(kBegin, at + 1)) {
        std::size_t end = pem.find(kEnd, at);
        if (end == std::string::npos) break;
        const std::string block = pem.substr(at, end + kEnd.size() - at);
        DWORD size = 0;
        if (!CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()), CRYPT_STRING_BASE64HEADER,
                                  nullptr, &size, nullptr, nullptr))
            continue;
        std::string der(size, '\0');
        if (!CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()), CRYPT_STRING_BASE64HEADER,
                                  reinterpret_cast<BYTE*>(der.data()), &size, nullptr, nullptr))
            continue;
        if (CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                             size, CERT_STORE_ADD_ALWAYS, nullptr))
            ++added;
    }
    if (added == 0) {
        CertCloseStore(store, 0);
        throw ETlsError("TLS: the certificate file " + path + " holds no certificate");
    }
    return store;
}

// Whether the certificate names the IPv4 address (network byte order) among its subject alternative names.
// The system's SSL policy matches host names only everywhere; an address is checked here.
bool CertificateNamesAddress(PCCERT_CONTEXT certificate, std::uint32_t address) {
    PCERT_EXTENSION extension = CertFindExtension(szOID_SUBJECT_ALT_NAME2, certificate->pCertInfo->cExtension,
                                                  certificate->pCertInfo->rgExtension);
    if (extension == nullptr) return false;
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData, extension->Value.cbData,
                             CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size))
        return false;
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && entry.IPAddress.cbData == 4 &&
                std::memcmp(entry.IPAddress.pbData, &address, 4) == 0;
    }
    LocalFree(names);
    return found;
}

class SchannelChannel : public TlsChannel {
public:
    SchannelChannel(socket_api::Handle socket, const std::string& host_name, const std::string& ca_file)
        : socket_(socket), host_(Cp1251ToWide(host_name)), address_(socket_api::DottedAddress(host_name)) {
        if (!ca_file.empty()) ca_store_ = LoadCaStore(ca_file);
        SCHANNEL_CRED credentials{};
        credentials.dwVersion = SCHANNEL_CRED_VERSION;
        // The chain and the name are checked by VerifyServer, with the CA file's roots.
        credentials.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
        SECURITY_STATUS status =
            AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                      &credentials, nullptr, nullptr, &credentials_, nullptr);
        if (status != SEC_E_OK) throw ETlsError("TLS: cannot set up Schannel: " + StatusText(status));
        have_credentials_ = true;
    }

    ~SchannelChannel() override {
        if (have_context_) DeleteSecurityContext(&context_);
        if (have_credentials_) FreeCredentialsHandle(&credentials_);
        if (ca_store_) CertCloseStore(ca_store_, 0);
    }

    Step Handshake() override {
        if (!Flush()) return Step::WantWrite;
        if (established_) return Step::Done;
        if (!have_context_) {
            Initialize(nullptr);
            if (!Flush()) return Step::WantWrite;
        }
        for (;;) {
            if (input_.empty()) {
                if (!ReceiveMore()) return Step::WantRead;
            }
            SecBuffer in[2] = {{static_cast<unsigned long>(input_.size()), SECBUFFER_TOKEN, input_.data()},
                               {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc in_desc{SECBUFFER_VERSION, 2, in};
            SECURITY_STATUS status = Initialize(&in_desc);
            if (status == SEC_E_INCOMPLETE_MESSAGE) {
                if (!ReceiveMore()) return Step::WantRead;
                continue;
            }
            KeepExtra(in[1]);
            if (status == SEC_E_OK) {
                established_ = true;
                VerifyServer();
                if (QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK)
                    throw ETlsError("TLS handshake failed: no stream sizes");
                return Flush() ? Step::Done : Step::WantWrite;
            }
            if (status == SEC_I_CONTINUE_NEEDED) {
                if (!Flush()) return Step::WantWrite;
                continue;
            }
            throw ETlsError("TLS handshake failed: Schannel status " + StatusText(status));
        }
    }

    Step Send(const char* data, std::size_t size, std::size_t& sent) override {
        sent = 0;
        // A record made by an earlier call that could not go out whole: its bytes count once it has.
        if (taken_ == 0) {
            std::size_t n = std::min<std::size_t>(size, sizes_.cbMaximumMessage);
            std::string record(sizes_.cbHeader + n + sizes_.cbTrailer, '\0');
            std::memcpy(record.data() + sizes_.cbHeader, data, n);
            SecBuffer buffers[4] = {
                {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                {static_cast<unsigned long>(n), SECBUFFER_DATA, record.data() + sizes_.cbHeader},
                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes_.cbHeader + n},
                {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
            SECURITY_STATUS status = EncryptMessage(&context_, 0, &desc, 0);
            if (status != SEC_E_OK) throw ETlsError("TLS send failed: Schannel status " + StatusText(status));
            output_.append(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
            taken_ = n;
        }
        if (!Flush()) return Step::WantWrite;
        sent = taken_;
        taken_ = 0;
        return Step::Done;
    }

    Step Receive(char* buffer, std::size_t size, std::size_t& got) override {
        got = 0;
        for (;;) {
            if (!plain_.empty()) {
                got = std::min(size, plain_.size());
                std::memcpy(buffer, plain_.data(), got);
                plain_.erase(0, got);
                return Step::Done;
            }
            if (closed_) return Step::Done;
            if (!output_.empty() && !Flush()) return Step::WantWrite;
            if (!input_.empty() && Decrypt()) continue;
            if (!ReceiveMore()) {
                if (!peer_gone_) return Step::WantRead;
                // The connection ended; a piece of a record left over means it was cut short.
                if (!input_.empty()) throw ETlsError("TLS receive failed: the connection was closed mid-record");
                closed_ = true;
            }
        }
    }

private:
    SECURITY_STATUS Initialize(SecBufferDesc* input) {
        SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out};
        const unsigned long flags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                    ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                                    ISC_REQ_MANUAL_CRED_VALIDATION;
        unsigned long attributes = 0;
        SECURITY_STATUS status = InitializeSecurityContextW(
            &credentials_, have_context_ ? &context_ : nullptr, have_context_ ? nullptr : host_.data(), flags, 0, 0,
            input, 0, have_context_ ? nullptr : &context_, &out_desc, &attributes, nullptr);
        if (!have_context_ && (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK)) have_context_ = true;
        if (out.pvBuffer != nullptr) {
            output_.append(static_cast<const char*>(out.pvBuffer), out.cbBuffer);
            FreeContextBuffer(out.pvBuffer);
        }
        if (!have_context_) throw ETlsError("TLS handshake failed: Schannel status " + StatusText(status));
        return status;
    }

    // The bytes of input_ that the last call did not use (they begin the next record) stay; the rest goes.
    void KeepExtra(const SecBuffer& extra) {
        if (extra.BufferType == SECBUFFER_EXTRA && extra.cbBuffer > 0 && extra.cbBuffer <= input_.size()) {
            input_.erase(0, input_.size() - extra.cbBuffer);
        } else {
            input_.clear();
        }
    }

    // Decrypts one record of input_ into plain_. False when input_ holds no whole record yet.
    bool Decrypt() {
        SecBuffer buffers[4] = {{static_cast<unsigned long>(input_.size()), SECBUFFER_DATA, input_.data()},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        SECURITY_STATUS status = DecryptMessage(&context_, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) return false;
        if (status == SEC_I_CONTEXT_EXPIRED) {
            // The server's close notice: nothing more comes.
            closed_ = true;
            input_.clear();
            return true;
        }
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) {
            throw ETlsError("TLS receive failed: Schannel status " + StatusText(status));
        }
        SecBuffer* extra = nullptr;
        for (SecBuffer& b : buffers) {
            if (b.BufferType == SECBUFFER_DATA && b.cbBuffer > 0)
                plain_.append(static_cast<char*>(b.pvBuffer), b.cbBuffer);
            if (b.BufferType == SECBUFFER_EXTRA) extra = &b;
        }
        KeepExtra(extra ? *extra : SecBuffer{0, SECBUFFER_EMPTY, nullptr});
        if (status == SEC_I_RENEGOTIATE) {
            // Handshake messages after the handshake (TLS 1.3 session tickets): Schannel takes them
            // through the handshake call and answers what it must.
            SecBuffer in[2] = {{static_cast<unsigned long>(input_.size()), SECBUFFER_TOKEN, input_.data()},
                               {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc in_desc{SECBUFFER_VERSION, 2, in};
            SECURITY_STATUS again = Initialize(input_.empty() ? nullptr : &in_desc);
            if (again != SEC_E_OK && again != SEC_I_CONTINUE_NEEDED)
                throw ETlsError("TLS receive failed: Schannel status " + StatusText(again));
            KeepExtra(in[1]);
        }
        return true;
    }

    // Reads what the socket has into input_. False when nothing came (would block, or the peer is gone).
    bool ReceiveMore() {
        if (peer_gone_) return false;
        if (input_.size() >= kMaxPendingInput) throw ETlsError("TLS receive failed: a record longer than TLS allows");
        char buffer[16384];
        int error = 0;
        long n = socket_api::Receive(socket_, buffer, sizeof buffer, false, error);
        if (n > 0) {
            input_.append(buffer, static_cast<std::size_t>(n));
            return true;
        }
        if (n == 0) {
            peer_gone_ = true;
            if (!established_) throw ETlsError("TLS handshake failed: the connection was closed");
            return false;
        }
        if (error == socket_api::kWouldBlock) return false;
        throw ETlsError("TLS: " + SocketErrorText(error));
    }

    // Sends what output_ holds. False while some of it still waits for room.
    bool Flush() {
        while (!output_.empty()) {
            int error = 0;
            long n = socket_api::Send(socket_, output_.data(), output_.size(), false, error);
            if (n > 0) {
                output_.erase(0, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && error == socket_api::kWouldBlock) return false;
            throw ETlsError("TLS: " + (n == 0 ? std::string("the connection was closed") : SocketErrorText(error)));
        }
        return true;
    }

    void VerifyServer() {
        PCCERT_CONTEXT server = nullptr;
        if (QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &server) != SEC_E_OK || !server)
            NotVerified("the server sent no certificate");
        HCERTSTORE extra = CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr);
        if (extra) {
            if (server->hCertStore) CertAddStoreToCollection(extra, server->hCertStore, 0, 0);
            if (ca_store_) CertAddStoreToCollection(extra, ca_store_, 0, 0);
        }
        LPSTR usages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
        CERT_CHAIN_PARA para{};
        para.cbSize = sizeof para;
        para.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
        para.RequestedUsage.Usage.cUsageIdentifier = 1;
        para.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
        PCCERT_CHAIN_CONTEXT chain = nullptr;
        BOOL built = CertGetCertificateChain(nullptr, server, nullptr, extra, &para, 0, nullptr, &chain);
        std::string failure;
        if (!built || !chain) {
            failure = "no certificate chain";
        } else {
            // A root that the system does not trust is still good when the CA file names it.
            bool root_from_file = false;
            if (ca_store_ && chain->cChain > 0 && chain->rgpChain[0]->cElement > 0) {
                const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
                PCCERT_CONTEXT root = simple->rgpElement[simple->cElement - 1]->pCertContext;
                PCCERT_CONTEXT found =
                    CertFindCertificateInStore(ca_store_, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, root, nullptr);
                if (found) {
                    root_from_file = true;
                    CertFreeCertificateContext(found);
                }
            }
            SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
            ssl.cbStruct = sizeof ssl;
            ssl.dwAuthType = AUTHTYPE_SERVER;
            ssl.pwszServerName = host_.data();
            if (address_) {
                // The address is matched below; the policy checks the chain alone.
                ssl.fdwChecks = kPolicyIgnoresName;
                if (!CertificateNamesAddress(server, *address_)) failure = CertificateError(CERT_E_CN_NO_MATCH);
            }
            CERT_CHAIN_POLICY_PARA policy{};
            policy.cbSize = sizeof policy;
            policy.dwFlags = root_from_file ? CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG : 0;
            policy.pvExtraPolicyPara = &ssl;
            CERT_CHAIN_POLICY_STATUS status{};
            status.cbSize = sizeof status;
            if (failure.empty()) {
                if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status)) {
                    failure = "the policy check failed";
                } else if (status.dwError != 0) {
                    failure = CertificateError(status.dwError);
                }
            }
            CertFreeCertificateChain(chain);
        }
        if (extra) CertCloseStore(extra, 0);
        CertFreeCertificateContext(server);
        if (!failure.empty()) NotVerified(failure);
    }

    socket_api::Handle socket_;
    std::wstring host_;
    std::optional<std::uint32_t> address_;  // the host as an IPv4 address, when it is one
    HCERTSTORE ca_store_ = nullptr;
    CredHandle credentials_{};
    CtxtHandle context_{};
    bool have_credentials_ = false;
    bool have_context_ = false;
    bool established_ = false;
    bool peer_gone_ = false;  // the socket has reported the end of the connection
    bool closed_ = false;     // no more decrypted bytes will come
    SecPkgContext_StreamSizes sizes_{};
    std::string input_;   // received bytes not yet decrypted
    std::string output_;  // encrypted bytes not yet sent
    std::string plain_;   // decrypted bytes not yet handed out
    std::size_t taken_ = 0;  // bytes of the caller's data in output_'s last record, not yet reported sent
};

}  // namespace

std::unique_ptr<TlsChannel> OpenTlsChannel(socket_api::Handle socket, const std::string& host_name,
                                           const std::string& ca_file) {
    return std::make_unique<SchannelChannel>(socket, host_name, ca_file);
}

}  // namespace tarnwell
