// Selected inversion: the elements of Z = N^-1 at every position of the Cholesky factor's
// pattern, without forming the full inverse (the Takahashi recurrences). Going from the last
// column of L to the first, with c(j) the rows below the diagonal in column j,
//
//   Z(i, j) = -(1 / L(j,j)) * sum over k in c(j) of Z(i, k) L(k, j)     for i in c(j)
//   Z(j, j) = 1 / L(j,j)^2 - (1 / L(j,j)) * sum over k in c(j) of Z(k, j) L(k, j)
//
// Every Z(i, k) these sums need lies in the pattern and belongs to a later column, so it is
// already known: the rows of a column form a clique of the factor's graph. The pattern holds
// N's own pattern, hence the diagonal (the cofactor of every height) and the entry of every pair
// of points joined by an observation (the cofactor of every observed height difference).
//
// Columns whose patterns nest (the supernodes) are taken together in panels of dense blocks.
// Each Z(i, j) replaces L(i, j) once that is no longer needed, so the inverse can take the
// factor's own place.
#pragma once

#include "factor_layout.h"

#include <Eigen/SparseCore>

#include <functional>
#include <vector>

namespace korvane::analysis {

// Scratch space of an inversion (or a factorisation before it): grown as needed, kept for reuse.
struct InversionSpace {
    std::vector<double> values;
    std::vector<int> rows;  // -1 per row of the factor when not in use
};

class SelectedInverse {
public:
    // From L as a sparse matrix (column-major, the diagonal first in each column, rows sorted),
    // copied. `pause` is called now and then (every few thousand columns); it may throw to stop.
    SelectedInverse(const Eigen::SparseMatrix<double>& factor, const std::function<void()>& pause = {});

    // In place: L's values, laid out by `layout`, become Z's (the factor is used up). The layout
    // is read, not copied: it must outlive this object.
    struct InPlace {};
    SelectedInverse(InPlace, const FactorLayout& layout, double* values, InversionSpace& space,
                    const std::function<void()>& pause = {});

    SelectedInverse(SelectedInverse&&) = default;
    SelectedInverse& operator=(SelectedInverse&&) = default;

    // Z(row, column) for a position of the factor's pattern or its mirror image; throws
    // std::logic_error for any other position.
    double at(int row, int column) const;
    double diagonal(int column) const { return values_[layout_.outer[column]]; }

    // Where Z(row, column) stands among the values (the same for every factor of this pattern),
    // and the value at such a place; throws std::logic_error off the pattern.
    int place(int row, int column) const;
    int diagonalPlace(int column) const { return layout_.outer[column]; }
    double atPlace(int place) const { return values_[place]; }
    void prefetch(int place) const { __builtin_prefetch(values_ + place); }

private:
    void invert(InversionSpace& space, const std::function<void()>& pause);

    FactorLayout layout_;
    std::vector<int> ownPattern_;  // the layout's arrays when copied from a sparse matrix
    std::vector<double> own_;      // Z's values when not in the factor's place
    double* values_;               // as the layout places them
};

}  // namespace korvane::analysis
