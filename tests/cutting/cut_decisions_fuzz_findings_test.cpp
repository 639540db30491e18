// Faults that fuzzing the cut decisions found, kept as ordinary cases.
#include "test_page.h"

#include <gtest/gtest.h>
#include <limits>

namespace vantola {
namespace {

// With no column to read (a last column below -1), the rows from the header to the footer were
// never checked against the grid: a header of -2^31 walked two billion rows outside a grid of
// one row. Rows outside the grid are the subscript error, whatever the columns.
TEST(CutDecisionsFuzzFindings, RowsOutsideTheGridFailAtOnceWhenNoColumnIsRead) {
    PageGrid grid(0, 0);
    CutParameters parameters;
    parameters.W = -1;
    parameters.H = -1;
    parameters.lastColumnRead = -2;
    parameters.lLigneEntete = std::numeric_limits<qint32>::min();
    parameters.lNiveauBlanc = 1450;
    qint32 lLignePied = -2;
    qint64 services = 0;
    CutCallbacks callbacks;
    callbacks.service = [&services] { ++services; };
    const CutDecisions decisions = decideCuts(grid, parameters, lLignePied, callbacks);
    ASSERT_TRUE(decisions.failure);
    EXPECT_EQ(decisions.failure->number(), kErrSubscript);
    EXPECT_EQ(services, 0);
    EXPECT_TRUE(decisions.pieces.empty());
}

} // namespace
} // namespace vantola
