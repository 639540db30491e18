#include "support/run_vantola.h"

#include <gtest/gtest.h>

namespace {

using vantola::test::runVantola;

TEST(CommandLine, HelpVersionAndUnknownCommand) {
    const auto help = runVantola({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("vantola cut PATH...")));

    const auto version = runVantola({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("vantola 0.5.0"));

    const auto unknown = runVantola({QStringLiteral("frobnicate")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("frobnicate")));
}

} // namespace
