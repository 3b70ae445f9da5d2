#include <cmath>
#include <utility>

#include "math/mat4.h"

namespace {

using Row = double[8];

// Rows change roles by swapping these pointers, never by copying.
void pivot(double*& upper, double*& lower, int column)
{
    if (std::fabs(lower[column]) > std::fabs(upper[column])) std::swap(upper, lower);
}

// Columns 4..7 are eliminated only where the pivot row is non-zero; for an exact zero the
// subtraction would change nothing anyway, but it keeps -0.0 and NaN behaviour identical.
void eliminate(double* row, const double* pivotRow, int column)
{
    const double factor = row[column] / pivotRow[column];
    for (int c = column + 1; c < 4; ++c) row[c] -= factor * pivotRow[c];
    for (int c = 4; c < 8; ++c)
        if (pivotRow[c] != 0.0) row[c] -= factor * pivotRow[c];
}

}  // namespace

bool invertMatrix(const Mat4& m, Mat4& out)
{
    Row storage[4];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            storage[i][j] = m(i, j);
            storage[i][4 + j] = (i == j) ? 1.0 : 0.0;
        }
    }
    double* r0 = storage[0];
    double* r1 = storage[1];
    double* r2 = storage[2];
    double* r3 = storage[3];

    // The bottom-up order of the comparisons decides ties: on equal magnitudes nothing moves.
    pivot(r2, r3, 0);
    pivot(r1, r2, 0);
    pivot(r0, r1, 0);
    if (r0[0] == 0.0) return false;
    eliminate(r1, r0, 0);
    eliminate(r2, r0, 0);
    eliminate(r3, r0, 0);

    pivot(r2, r3, 1);
    pivot(r1, r2, 1);
    if (r1[1] == 0.0) return false;
    eliminate(r2, r1, 1);
    eliminate(r3, r1, 1);

    pivot(r2, r3, 2);
    if (r2[2] == 0.0) return false;
    {
        const double factor = r3[2] / r2[2];
        for (int c = 3; c < 8; ++c) r3[c] -= factor * r2[c];
    }
    if (r3[3] == 0.0) return false;

    for (int c = 4; c < 8; ++c) {
        r3[c] *= 1.0 / r3[3];
        r2[c] = (1.0 / r2[2]) * (r2[c] - r3[c] * r2[3]);
        r1[c] -= r3[c] * r1[3];
        r0[c] -= r3[c] * r0[3];
        r1[c] = (1.0 / r1[1]) * (r1[c] - r2[c] * r1[2]);
        r0[c] -= r2[c] * r0[2];
        r0[c] = (1.0 / r0[0]) * (r0[c] - r1[c] * r0[1]);
    }

    const double* finalRows[4] = {r0, r1, r2, r3};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) out(i, j) = static_cast<float>(finalRows[i][4 + j]);
    return true;
}
