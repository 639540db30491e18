// Fuzzing the cut decisions: small grids (up to 64 x 64 pixels) of white, black, unreadable and
// arbitrary cells laid out in rows and columns so that white runs come easily, with any header
// and footer rows, white levels and thresholds (negative and huge ones too), both passes, the
// three rotations and the debug values on. decideCuts must never crash, read outside a container
// or hang; a failure comes back as the AppError of the result; every piece, every band and every
// column that it reports lies in the grid.
#include "cutting/cut_decisions.h"
#include "fuzz_support.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <limits>
#include <sanitizer/asan_interface.h>
#include <unistd.h>

namespace vantola {
namespace {

constexpr qint32 kLargestSide = 64;
constexpr qint32 kWhite = 16777215;
constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();

// A value near one of the interesting edges, or any value at all.
qint32 fuzzEdgeValue(FuzzedDataProvider& data, std::initializer_list<qint32> edges) {
    const int choice = data.ConsumeIntegralInRange<int>(0, int(edges.size()));
    if (choice == int(edges.size()))
        return data.ConsumeIntegral<qint32>();
    const qint32 edge = edges.begin()[choice];
    const qint32 offset = data.ConsumeIntegralInRange(-1, 1);
    qint32 value = edge;
    return __builtin_add_overflow(edge, offset, &value) ? edge : value;
}

// Four cell values: white, black, the unreadable -1, and one more near the threshold.
std::array<qint32, 4> fuzzPalette(FuzzedDataProvider& data, qint32 threshold) {
    return {fuzzEdgeValue(data, {kWhite, threshold}), fuzzEdgeValue(data, {0, threshold}),
            fuzzEdgeValue(data, {-1, kMin}), fuzzEdgeValue(data, {threshold, kMax, kWhite})};
}

// Columns 0..W - 1 of rows 0..H - 1, as the page cutter fills them (column W and row H stay 0
// unless the input asks otherwise). Either each row and each column has a kind (a row of kind 0
// to 2 is that colour throughout, a row of kind 3 takes the kind of each column), or the cells
// take their colours one by one from the input.
void fillGrid(FuzzedDataProvider& data, PageGrid& grid, qint32 W, qint32 H, qint32 threshold) {
    const std::array<qint32, 4> palette = fuzzPalette(data, threshold);
    const bool wholeGrid = data.ConsumeIntegralInRange(0, 7) == 0;
    const qint32 columns = wholeGrid ? grid.columnCount() : W;
    const qint32 rows = wholeGrid ? grid.rowCount() : H;
    if (data.ConsumeBool()) {
        std::vector<quint8> columnKinds(std::size_t(columns), 0);
        for (quint8& kind : columnKinds)
            kind = data.ConsumeIntegralInRange<quint8>(0, 3);
        for (qint32 y = 0; y < rows; ++y) {
            const quint8 rowKind = data.ConsumeIntegralInRange<quint8>(0, 3);
            for (qint32 x = 0; x < columns; ++x)
                grid.set(x, y, palette[rowKind == 3 ? columnKinds[std::size_t(x)] : rowKind]);
        }
    } else {
        for (qint32 y = 0; y < rows; ++y) {
            for (qint32 x = 0; x < columns; ++x)
                grid.set(x, y, palette[data.ConsumeIntegralInRange<quint8>(0, 3)]);
        }
    }
}

// Marks the memory between the last cell and the end of the grid's pages as out of bounds, so
// that AddressSanitizer reports a read past the last cell (the grid is mapped memory, which it
// does not watch by itself). Not for a grid that a rotation replaces: its pages are unmapped
// while still marked.
struct GridGuard {
    char* begin = nullptr;
    std::size_t size = 0;

    GridGuard(PageGrid& grid, bool replaced) {
        if (replaced || grid.columnCount() == 0 || grid.rowCount() == 0)
            return;
        const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
        begin = reinterpret_cast<char*>(grid.row(grid.rowCount() - 1) + grid.columnCount());
        const std::size_t used = std::size_t(begin - reinterpret_cast<char*>(grid.row(0)));
        size = (used + page - 1) / page * page - used;
        ASAN_POISON_MEMORY_REGION(begin, size);
    }
    ~GridGuard() { ASAN_UNPOISON_MEMORY_REGION(begin, size); }
    GridGuard(const GridGuard&) = delete;
    GridGuard& operator=(const GridGuard&) = delete;
};

bool rowInGrid(const PageGrid& grid, qint64 y) {
    return y >= 0 && y < grid.rowCount();
}

bool columnInGrid(const PageGrid& grid, qint64 x) {
    return x >= 0 && x < grid.columnCount();
}

} // namespace
} // namespace vantola

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace vantola;
    FuzzedDataProvider data(bytes, size);
    const qint32 W = data.ConsumeIntegralInRange(0, kLargestSide);
    const qint32 H = data.ConsumeIntegralInRange(0, kLargestSide);

    CutParameters parameters;
    parameters.W = W;
    parameters.H = H;
    parameters.lastColumnRead = W - 1;
    parameters.lNiveauBlanc = fuzzEdgeValue(data, {1450, 0, 838, 1677, 1678, kMin, kMax});
    const qint64 product = qint64(parameters.lNiveauBlanc) * 10000;
    parameters.lSeuilPixel = product >= kMin && product <= kMax && data.ConsumeBool()
                                 ? qint32(product)
                                 : fuzzEdgeValue(data, {0, -1, kWhite, kMin, kMax});
    parameters.iPasse = data.ConsumeBool() ? qint16(data.ConsumeIntegralInRange(1, 2))
                                           : data.ConsumeIntegral<qint16>();
    parameters.rotation = Rotation(data.ConsumeIntegralInRange(0, 2));
    parameters.lLigneEntete = data.ConsumeBool() ? data.ConsumeIntegralInRange(-2, H + 2)
                                                 : data.ConsumeIntegral<qint32>();
    qint32 lLignePied = data.ConsumeBool() ? data.ConsumeIntegralInRange(-2, H + 2)
                                           : data.ConsumeIntegral<qint32>();
    if (data.ConsumeIntegralInRange(0, 15) == 0) {
        // A caller that breaks the contract: the sizes do not match the grid.
        parameters.W = fuzzEdgeValue(data, {W, 0, kMax});
        parameters.H = fuzzEdgeValue(data, {H, 0, kMax});
        parameters.lastColumnRead = fuzzEdgeValue(data, {W - 1, W, kMax, kMin});
    }

    PageGrid grid(W, H);
    fillGrid(data, grid, W, H, parameters.lSeuilPixel);

    CutDecisions decisions;
    {
        const GridGuard guard(grid, parameters.rotation != Rotation::None);
        const PageGrid* grid0 = &grid;
        CutCallbacks callbacks;
        // Values seen by the callbacks are checked against the grid the decisions work on (the
        // turned one after a rotation).
        callbacks.progress = [](qint32 value) { FUZZ_CHECK(value >= 75 && value <= 100); };
        callbacks.service = [] {};
        callbacks.debug = [grid0](qint32 t, qint32 b, qint32 x, double quotient) {
            Q_UNUSED(quotient);
            FUZZ_CHECK(rowInGrid(*grid0, t) && rowInGrid(*grid0, b));
            FUZZ_CHECK(columnInGrid(*grid0, x));
        };
        decisions = decideCuts(grid, parameters, lLignePied, callbacks);
    }

    if (decisions.failure)
        FUZZ_CHECK(decisions.failure->number() != 0);
    for (const CutPiece& piece : decisions.pieces) {
        if (piece.kind == PieceKind::WholePage) {
            FUZZ_CHECK(decisions.pieces.size() == 1);
            continue;
        }
        // A block or a band: columns left..right and rows top..bottom of the grid.
        FUZZ_CHECK(piece.left <= piece.right && piece.top < piece.bottom);
        FUZZ_CHECK(columnInGrid(grid, piece.left) && columnInGrid(grid, piece.right));
        FUZZ_CHECK(rowInGrid(grid, piece.top) && rowInGrid(grid, piece.bottom));
        if (piece.kind == PieceKind::WholeBand)
            FUZZ_CHECK(piece.left == 0 && piece.right == decisions.R);
    }
    return 0;
}
