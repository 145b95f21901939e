// The text handed to the desktop when the user clicks the author's e-mail address.
#pragma once

#include <string>

// "mailto:" + address + " ? subject=Quorvik%20Vessrin", passed on as written
// (the blank before the question mark included); the address is not altered.
std::string MailLinkText(const std::string& address);
