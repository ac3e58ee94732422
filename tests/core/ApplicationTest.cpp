#include "core/Application.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace qb {
namespace {

TEST(Application, HaltTextNamesTheErrorsClassAndMessage)
{
    EXPECT_EQ(HaltText(std::runtime_error("disk gone")),
        QStringLiteral("SYSTEM-HALT\r\nKlasse: std::runtime_error\r\nMeldung: disk gone"));
    EXPECT_EQ(HaltText(std::out_of_range("index 7")),
        QStringLiteral("SYSTEM-HALT\r\nKlasse: std::out_of_range\r\nMeldung: index 7"));
}

} // namespace
} // namespace qb
