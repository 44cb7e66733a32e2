#pragma once

#include <exception>
#include <string>

#include "smtp/smtp_client.h"

namespace tarnwell {

// The text of an error that ended a mail run: the error's own text (the message the Parts give), and,
// when the server was being talked to, a second line that names the server and says in a word why the
// session ended:
//     "Connection Failed\nсервер почты 127.0.0.1, порт 25: соединение не установлено (10061:Connection refused)"
//     "Socket readln aborted\nсервер почты mail.corp.ru, порт 587: нет ответа за 60 с"
// A port that is no number and a session that cannot be set up (ESmtpSetupError) never reached the
// server: their text stands alone.
std::string SessionFailureText(const TSmtpClient& client, const std::exception& error);

}  // namespace tarnwell
