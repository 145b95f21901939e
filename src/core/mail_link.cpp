// Building the e-mail link text.
#include "core/mail_link.h"

std::string MailLinkText(const std::string& address) {
    return "mailto:" + address + " ? subject=Quorvik%20Vessrin";
}
