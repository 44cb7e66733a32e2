#include "mail/session_failure.h"

#include "smtp/sock_error.h"
#include "smtp/socket_error_text.h"
#include "text/cp1251_literal.h"
#include "text/int_text.h"

namespace tarnwell {
namespace {

using namespace literals;

template <class Type>
bool Is(const std::exception& error) {
    return dynamic_cast<const Type*>(&error) != nullptr;
}

// "60 с", or "400 мс" for a time-out that is no whole number of seconds.
std::string TimeOutText(int ms) {
    if (ms % 1000 == 0) return IntToStr(ms / 1000) + std::string(" с"_cp);
    return IntToStr(ms) + std::string(" мс"_cp);
}

// Why the session ended, in a word; empty where the error's own text says it all.
std::string Reason(const TSmtpClient& client, const std::exception& error) {
    if (Is<ETimeOutError>(error) || (Is<EConnectError>(error) && client.TimedOut())) {
        return std::string("нет ответа за "_cp) + TimeOutText(client.TimeOut);
    }
    if (Is<EConnectError>(error)) {
        std::string reason(client.RemoteAddress() == 0 ? "адрес сервера не найден"_cp : "соединение не установлено"_cp);
        // The system's own reason, unless the error's text is that already.
        const std::string system = SocketErrorText(client.LastErrorNo());
        if (!system.empty() && system != error.what()) reason += " (" + system + ")";
        return reason;
    }
    if (Is<ENotConnected>(error)) return std::string("сервер закрыл соединение"_cp);
    if (Is<ESmtpReplyError>(error)) return std::string("сервер ответил не по протоколу SMTP"_cp);
    if (Is<ETlsError>(error)) return std::string("защищённое соединение (TLS) не установлено или прервано"_cp);
    if (Is<ESmtpAuthError>(error)) return std::string("вход не выполнен"_cp);
    if (Is<ESmtpRefused>(error)) return std::string("сервер отказал"_cp);
    if (Is<EAbortError>(error)) return std::string("ожидание прервано"_cp);
    if (Is<ESockError>(error)) return std::string("соединение прервано"_cp);
    return {};
}

}  // namespace

std::string SessionFailureText(const TSmtpClient& client, const std::exception& error) {
    std::string text = error.what();
    if (Is<EConvertError>(error) || Is<ESmtpSetupError>(error)) return text;
    text += std::string("\nсервер почты "_cp) + client.Host + std::string(", порт "_cp) + IntToStr(client.Port);
    const std::string reason = Reason(client, error);
    if (!reason.empty()) text += ": " + reason;
    return text;
}

}  // namespace tarnwell
