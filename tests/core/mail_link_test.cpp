// Test of the e-mail link text.
#include "core/mail_link.h"

#include <gtest/gtest.h>

namespace {

TEST(MailLinkText, AddsTheSchemeAndTheSubjectAsWritten) {
    EXPECT_EQ(MailLinkText("autor@example.org"),
              "mailto:autor@example.org ? subject=Quorvik%20Vessrin");
    EXPECT_EQ(MailLinkText(""), "mailto: ? subject=Quorvik%20Vessrin");
}

} // namespace
